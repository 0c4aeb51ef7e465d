#pragma once

#include <cstddef>
#include <string>

// Text from outside the program (a file's token, a path, a name) as a
// message shows it: every message is one line that says what it names, so
// a control byte (0 to 31 and 127) and a UTF-8 byte-order mark, which a
// terminal shows as nothing, are written as \xNN.
std::string shown_text(const std::string& text);

// A token of a file as a message repeats it: at most kShownTokenLength
// bytes, cut before a character rather than inside one, shown as
// shown_text shows it, and "..." when the token goes on (`cut`: it went on
// past what was read of it).
constexpr std::size_t kShownTokenLength = 40;
std::string shown_token(const std::string& token, bool cut = false);

// Whether `c` is a control byte: 0 to 31 and 127.
inline bool is_control_byte(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}
