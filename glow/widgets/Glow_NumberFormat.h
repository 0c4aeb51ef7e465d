#ifndef GLOW_WIDGETS_GLOW_NUMBERFORMAT_H
#define GLOW_WIDGETS_GLOW_NUMBERFORMAT_H

#include <string>

namespace glow {

// A caller's printf format for one double, checked before it ever reaches
// printf. A safe format holds exactly one floating conversion (f, F, e, E,
// g, G, a or A, with flags, a width and a precision of at most three digits
// each) and any number of "%%"; anything else (another conversion, a second
// one, a '*', a length modifier, "%n") is replaced by "%g". Without a format
// there is no text at all.
class Glow_NumberFormat {
public:
    // The longest text, in characters; a longer result is cut.
    static constexpr int maxLength = 999;

    Glow_NumberFormat() = default;
    // Null: no format.
    explicit Glow_NumberFormat(const char* format);

    static bool IsSafe(const char* format);

    bool HasFormat() const { return hasFormat_; }
    // The format in use: the caller's when safe, else "%g".
    const std::string& Format() const { return format_; }
    // The number through the format; empty without a format.
    std::string Apply(double value) const;

private:
    bool hasFormat_ = false;
    std::string format_;
};

}  // namespace glow

#endif
