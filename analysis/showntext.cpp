#include "analysis/showntext.h"

namespace {

constexpr char kByteOrderMark[] = "\xef\xbb\xbf";
constexpr std::size_t kByteOrderMarkLength = sizeof kByteOrderMark - 1;

bool is_utf8_continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

void append_escaped(char c, std::string* text) {
    static const char kHex[] = "0123456789abcdef";
    const unsigned char byte = static_cast<unsigned char>(c);
    *text += "\\x";
    *text += kHex[byte >> 4];
    *text += kHex[byte & 0xf];
}

// The first `length` bytes of `text`, shown.
std::string shown_prefix(const std::string& text, std::size_t length) {
    std::string shown;
    shown.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        if (text.compare(i, kByteOrderMarkLength, kByteOrderMark) == 0 &&
            i + kByteOrderMarkLength <= length) {
            for (std::size_t k = 0; k < kByteOrderMarkLength; ++k) {
                append_escaped(text[i + k], &shown);
            }
            i += kByteOrderMarkLength - 1;
        } else if (is_control_byte(text[i])) {
            append_escaped(text[i], &shown);
        } else {
            shown += text[i];
        }
    }
    return shown;
}

}  // namespace

std::string shown_text(const std::string& text) {
    return shown_prefix(text, text.size());
}

std::string shown_token(const std::string& token, bool cut) {
    std::size_t length = token.size();
    if (length > kShownTokenLength) {
        length = kShownTokenLength;
        while (length > 0 && is_utf8_continuation(token[length])) --length;
        cut = true;
    }
    std::string shown = shown_prefix(token, length);
    if (cut) shown += "...";
    return shown;
}
