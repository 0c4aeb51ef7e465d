#include "analysis/check.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tavrel_detail {

namespace {
// "analysismodule" rather than ".../analysis/analysismodule.cpp".
void write_file_stem(const char* file) {
    const char* slash = std::strrchr(file, '/');
    const char* stem = slash ? slash + 1 : file;
    const char* dot = std::strrchr(stem, '.');
    const int length = dot ? static_cast<int>(dot - stem) : static_cast<int>(std::strlen(stem));
    std::fprintf(stderr, "%.*s", length, stem);
}
}  // namespace

void assertion_failed(const char* expression, const char* file, int line) {
    std::fflush(stdout);
    std::fprintf(stderr, "Assertion failed: %s, file ", expression);
    write_file_stem(file);
    std::fprintf(stderr, ", line %d\n", line);
    std::fflush(stderr);
    std::_Exit(3);
}

}  // namespace tavrel_detail
