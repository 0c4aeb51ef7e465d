#include "analysis/tokenreader.h"

TokenReader::Result TokenReader::next(std::string* token, std::size_t limit) {
    using traits = std::streambuf::traits_type;
    token->clear();
    int c = source_->sgetc();
    while (c != traits::eof() && is_space(c)) c = source_->snextc();
    if (c == traits::eof()) return Result::kEnd;
    while (c != traits::eof() && !is_space(c)) {
        if (token->size() == limit) return Result::kTooLong;
        token->push_back(traits::to_char_type(c));
        c = source_->snextc();
    }
    return Result::kWhole;
}
