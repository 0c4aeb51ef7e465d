#include "glow/widgets/Glow_NumberFormat.h"

#include <cstdio>
#include <cstring>

namespace glow {

namespace {

// A width or precision longer than this could ask printf for more than
// the text may hold (or more than an int counts).
constexpr int maxDigits = 3;

// Passes over a run of digits; false when it is too long.
bool SkipDigits(const char*& p) {
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        ++p;
        ++digits;
    }
    return digits <= maxDigits;
}

}  // namespace

Glow_NumberFormat::Glow_NumberFormat(const char* format)
    : hasFormat_(format != nullptr), format_(IsSafe(format) ? format : "%g") {}

bool Glow_NumberFormat::IsSafe(const char* format) {
    if (format == nullptr) return false;
    int conversions = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p != '\0' && std::strchr("-+ #0", *p) != nullptr) ++p;
        if (!SkipDigits(p)) return false;
        if (*p == '.') {
            ++p;
            if (!SkipDigits(p)) return false;
        }
        // Only the conversions that take a double, without a length
        // modifier ('*' and 'n' fall out here too).
        if (*p == '\0' || std::strchr("fFeEgGaA", *p) == nullptr) return false;
        ++conversions;
    }
    return conversions == 1;
}

std::string Glow_NumberFormat::Apply(double value) const {
    if (!hasFormat_) return std::string();
    char buffer[maxLength + 1];
    // Checked above: one double and nothing else.
    if (std::snprintf(buffer, sizeof buffer, format_.c_str(), value) < 0) return std::string();
    return buffer;
}

}  // namespace glow
