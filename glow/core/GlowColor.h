#ifndef GLOW_CORE_GLOWCOLOR_H
#define GLOW_CORE_GLOWCOLOR_H

namespace glow {

// An RGBA colour of four bytes (alpha 255 is opaque).
class GlowColor {
public:
    // Leaves the four bytes unset.
    GlowColor() = default;
    constexpr GlowColor(unsigned char level, unsigned char alpha)
        : rgba_{level, level, level, alpha} {}
    constexpr GlowColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
        : rgba_{r, g, b, a} {}
    // Integer literals are bytes too (without these they would be ambiguous
    // between the byte and the float forms).
    constexpr GlowColor(int level, int alpha)
        : GlowColor(static_cast<unsigned char>(level), static_cast<unsigned char>(alpha)) {}
    constexpr GlowColor(int r, int g, int b, int a)
        : GlowColor(static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                    static_cast<unsigned char>(b), static_cast<unsigned char>(a)) {}
    // Components from 0 to 1; each byte is the component times 255,
    // truncated (0.8 gives 204). Components outside 0 to 1 are clamped.
    GlowColor(float r, float g, float b, float a = 1.0f) { SetFromFloats(r, g, b, a); }
    GlowColor(double r, double g, double b, double a = 1.0) { SetFromDoubles_(r, g, b, a); }

    void SetFromFloats(float r, float g, float b, float a = 1.0f);

    // glColor4ubv of the four bytes.
    void Apply() const;

    unsigned char& operator[](int i) { return rgba_[i]; }
    const unsigned char& operator[](int i) const { return rgba_[i]; }
    const unsigned char* Bytes() const { return rgba_; }

    bool operator==(const GlowColor& o) const {
        return rgba_[0] == o.rgba_[0] && rgba_[1] == o.rgba_[1] && rgba_[2] == o.rgba_[2] &&
               rgba_[3] == o.rgba_[3];
    }
    bool operator!=(const GlowColor& o) const { return !(*this == o); }

    static const GlowColor black;
    static const GlowColor blue;
    static const GlowColor green;
    static const GlowColor cyan;
    static const GlowColor red;
    static const GlowColor magenta;
    static const GlowColor yellow;
    static const GlowColor white;
    static const GlowColor gray;

private:
    void SetFromDoubles_(double r, double g, double b, double a);

    unsigned char rgba_[4];
};

}  // namespace glow

#endif
