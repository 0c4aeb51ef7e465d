#include "glow/core/Glow_Assert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace glow {

namespace {

// "GlowComponent" rather than ".../glow/core/GlowComponent.cpp".
void WriteFileStem(const char* file) {
    const char* slash = std::strrchr(file, '/');
    const char* stem = slash ? slash + 1 : file;
    const char* dot = std::strrchr(stem, '.');
    const int length = dot ? static_cast<int>(dot - stem) : static_cast<int>(std::strlen(stem));
    std::fprintf(stderr, "%.*s", length, stem);
}

}  // namespace

void Glow_AssertionFailed(const char* expression, const char* file, int line) {
    // What the program wrote before stays in front of the message.
    std::fflush(stdout);
    std::fprintf(stderr, "Assertion failed: %s, file ", expression);
    WriteFileStem(file);
    std::fprintf(stderr, ", line %d\n", line);
    std::fflush(stderr);
    std::_Exit(3);
}

}  // namespace glow
