#ifndef GLOW_WIDGETS_GLOWLABELWIDGET_H
#define GLOW_WIDGETS_GLOWLABELWIDGET_H

#include <GL/freeglut.h>

#include <string>

#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

struct GlowLabelParams : public GlowWidgetParams {
    // Copies defaults.
    GlowLabelParams() : GlowLabelParams(defaults) {}
    GlowLabelParams(const GlowLabelParams&) = default;
    GlowLabelParams& operator=(const GlowLabelParams&) = default;

    const char* text;  // null is an empty text
    GlowFont font;
    bool opaque;
    int hMargin;
    int vMargin;
    GlowColor backColor;
    GlowColor textColor;
    GlowColor inactiveTextColor;

    static GlowLabelParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    // Colours are the float components times 255, truncated (0.8 is 204).
    constexpr explicit GlowLabelParams(bool)
        : GlowWidgetParams{true, 0, 0, 100, 100, 0},
          text(""),
          font(GLUT_BITMAP_HELVETICA_12),
          opaque(false),
          hMargin(1),
          vMargin(0),
          backColor(Glow_WidgetColors::gray80),
          textColor(Glow_WidgetColors::black),
          inactiveTextColor(Glow_WidgetColors::black) {}
};

// Static text of one or more lines (CR, LF or CR LF break lines).
class GlowLabelWidget : public GlowWidget {
public:
    GlowLabelWidget(GlowWidget* parentWidget, const GlowLabelParams& params);
    GlowLabelWidget(GlowWidgetRoot* root, const GlowLabelParams& params);
    ~GlowLabelWidget() override;

    // Null is an empty text. The size changes only at the next auto-pack.
    void SetText(const char* text);
    const char* GetText() const { return text_.c_str(); }
    void SetTextColor(GlowColor color);
    GlowColor GetTextColor() const { return textColor_; }
    GlowFont GetFont() const { return font_; }
    void GetPreferredSize(int& width, int& height) const;
    int GetHMargin() const { return hMargin_; }
    int GetVMargin() const { return vMargin_; }
    int TextWidth() const { return textWidth_; }
    int TextHeight() const { return textHeight_; }

protected:
    GlowLabelWidget() = default;
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowLabelParams& params);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    void OnWidgetPaint() override;

private:
    void RecalcText();

    std::string text_;
    GlowFont font_;
    int textWidth_ = 0;
    int textHeight_ = 0;
    int hMargin_ = 0;
    int vMargin_ = 0;
    bool opaque_ = false;
    GlowColor backColor_;
    GlowColor textColor_;
    GlowColor inactiveTextColor_;
};

}  // namespace glow

#endif
