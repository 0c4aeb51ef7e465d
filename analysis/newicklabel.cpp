#include "analysis/newicklabel.h"

#include <cstring>

#include "analysis/charstring.h"

namespace {

bool needs_quotes(const char* text) {
    return std::strpbrk(text, "(),;:[]'\"\\{}=") != nullptr;
}

}  // namespace

std::string newick_label(const CharString& name) {
    const char* text = name.c_str();
    if (!needs_quotes(text)) return text;
    std::string quoted = "'";
    for (const char* c = text; *c; ++c) {
        if (*c == '\'') quoted += '\'';
        quoted += *c;
    }
    quoted += '\'';
    return quoted;
}
