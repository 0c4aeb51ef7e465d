#pragma once

#include <cstddef>
#include <streambuf>
#include <string>

// Reads the white-space separated tokens of a text one at a time, never
// holding more of a token than its caller can use: a hostile file of one
// endless token costs no more memory or time than the limit.
class TokenReader {
public:
    enum class Result {
        kEnd,      // no token before the end of the text
        kWhole,    // the whole token, at most the limit
        kTooLong,  // the token goes on past the limit; the rest stays unread
    };

    explicit TokenReader(std::streambuf* source) : source_(source) {}

    // Skips white space, then reads the next token into `token`: all of
    // it, or its first `limit` characters when it is longer.
    Result next(std::string* token, std::size_t limit);
    // The same for a number: its leading zeros take no room, however many
    // they are. They are skipped and counted in `*zeros`; `token` holds
    // what follows them.
    Result next_number(std::string* token, std::size_t limit, std::size_t* zeros);
    // The same for a token expected to be `limit` characters long, read a
    // block at a time into a string of its own size. When the token is
    // shorter, text after it may be read too: the caller reads no further.
    Result next_block(std::string* token, std::size_t limit);

    // White space as C's isspace gives it in the "C" locale.
    // Without branches, so that scans over text vectorise.
    static bool is_space(int c) {
        return (c == ' ') | (static_cast<unsigned>(c - '\t') <= '\r' - '\t');
    }

private:
    // Skips white space; false at the end of the text.
    bool skip_space();
    // Reads the rest of the token that has begun, as next does.
    Result rest_of_token(std::string* token, std::size_t limit);

    std::streambuf* source_;
};
