#ifndef GLOW_WIDGETS_GLOWSEPARATORWIDGET_H
#define GLOW_WIDGETS_GLOWSEPARATORWIDGET_H

#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

struct GlowSeparatorParams : public GlowWidgetParams {
    enum { transparentStyle = 0, ridgeStyle = 1, grooveStyle = 2 };

    // Copies defaults.
    GlowSeparatorParams() : GlowSeparatorParams(defaults) {}
    GlowSeparatorParams(const GlowSeparatorParams&) = default;
    GlowSeparatorParams& operator=(const GlowSeparatorParams&) = default;

    int style;
    GlowColor lightColor;
    GlowColor darkColor;

    static GlowSeparatorParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs;
    // the dark colour is 0.3 grey (76).
    constexpr explicit GlowSeparatorParams(bool)
        : GlowWidgetParams{false, 0, 0, 100, 4, 0},
          style(grooveStyle),
          lightColor(Glow_WidgetColors::white),
          darkColor(Glow_WidgetColors::gray30) {}
};

// Two parallel one-pixel lines, horizontal in a widget wider than high,
// vertical otherwise.
class GlowSeparatorWidget : public GlowWidget {
public:
    GlowSeparatorWidget(GlowWidget* parentWidget, const GlowSeparatorParams& params);
    GlowSeparatorWidget(GlowWidgetRoot* root, const GlowSeparatorParams& params);
    ~GlowSeparatorWidget() override;

protected:
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowSeparatorParams& params);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    void OnWidgetPaint() override;

private:
    int style_ = GlowSeparatorParams::grooveStyle;
    GlowColor lightColor_;
    GlowColor darkColor_;
};

}  // namespace glow

#endif
