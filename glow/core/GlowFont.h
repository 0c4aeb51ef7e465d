#ifndef GLOW_CORE_GLOWFONT_H
#define GLOW_CORE_GLOWFONT_H

namespace glow {

// A GLUT bitmap font with the line metrics GLUT does not provide: the height
// of a line (leading) and the distance from the top of a line to its
// baseline. The metrics are shared by every GlowFont of the same font.
class GlowFont {
public:
    // Helvetica 12, the toolkit's default font.
    GlowFont();
    constexpr GlowFont(void* glutFont) : font_(glutFont) {}
    GlowFont(const GlowFont&) = default;
    GlowFont& operator=(const GlowFont&) = default;
    GlowFont& operator=(void* glutFont) {
        font_ = glutFont;
        return *this;
    }

    operator void*() const { return font_; }
    bool operator==(void* glutFont) const { return font_ == glutFont; }
    bool operator==(const GlowFont& o) const { return font_ == o.font_; }
    bool operator!=(const GlowFont& o) const { return font_ != o.font_; }

    // 0 for a font that is not one of the named bitmap fonts.
    int Leading() const;
    int BaselinePos() const;

    // glutBitmapWidth of a byte of text: ch counts as 0..255 (its low eight
    // bits), so that a char above 127 measures as the Latin-1 glyph that
    // GLUT draws for it. 0 for a font that is not one of the named ones.
    // Every width of text in the toolkit comes from here.
    int CharWidth(int ch) const;
    int StringWidth(const char* str) const;

    // Replace a named font's metric; other fonts are ignored.
    static void SetLeading(GlowFont font, int pixels);
    static void SetBaselinePos(GlowFont font, int pixels);

    static const GlowFont fixed8x13;
    static const GlowFont fixed9x15;
    static const GlowFont helvetica10;
    static const GlowFont helvetica12;
    static const GlowFont helvetica18;
    static const GlowFont timesRoman10;
    static const GlowFont timesRoman24;

private:
    void* font_;
};

}  // namespace glow

#endif
