#include "analysis/tokenreader.h"

#include <algorithm>

#include "analysis/textscan.h"

namespace {

using traits = std::streambuf::traits_type;

// What next_block reads at most at a time: a token longer than this grows
// only as its text comes, whatever length it claims.
constexpr std::size_t kBlock = 64 * 1024;

// is_space as find_first wants it.
unsigned char is_space_char(char c) {
    return TokenReader::is_space(static_cast<unsigned char>(c));
}

}  // namespace

bool TokenReader::skip_space() {
    int c = source_->sgetc();
    while (c != traits::eof() && is_space(c)) c = source_->snextc();
    return c != traits::eof();
}

TokenReader::Result TokenReader::next(std::string* token, std::size_t limit) {
    token->clear();
    if (!skip_space()) return Result::kEnd;
    return rest_of_token(token, limit);
}

TokenReader::Result TokenReader::next_number(std::string* token, std::size_t limit,
                                             std::size_t* zeros) {
    token->clear();
    *zeros = 0;
    if (!skip_space()) return Result::kEnd;
    int c = source_->sgetc();
    for (; c == '0'; c = source_->snextc()) ++*zeros;
    return rest_of_token(token, limit);
}

TokenReader::Result TokenReader::rest_of_token(std::string* token, std::size_t limit) {
    int c = source_->sgetc();
    while (c != traits::eof() && !is_space(c)) {
        if (token->size() == limit) return Result::kTooLong;
        token->push_back(traits::to_char_type(c));
        c = source_->snextc();
    }
    return Result::kWhole;
}

TokenReader::Result TokenReader::next_block(std::string* token, std::size_t limit) {
    token->clear();
    if (!skip_space()) return Result::kEnd;
    std::size_t size = 0;
    while (size < limit) {
        const std::size_t block = std::min(limit - size, kBlock);
        token->resize(size + block);
        char* const start = &(*token)[size];
        const std::size_t got =
            static_cast<std::size_t>(source_->sgetn(start, static_cast<std::streamsize>(block)));
        const std::size_t end = find_first(start, got, is_space_char);
        size += end;
        if (end < block) {
            // The token ended early, at white space or the end of the text.
            token->resize(size);
            return Result::kWhole;
        }
    }
    // A long token grew block by block: it keeps no more room than it needs.
    token->shrink_to_fit();
    const int c = source_->sgetc();
    return c == traits::eof() || is_space(c) ? Result::kWhole : Result::kTooLong;
}
