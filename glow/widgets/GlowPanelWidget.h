#ifndef GLOW_WIDGETS_GLOWPANELWIDGET_H
#define GLOW_WIDGETS_GLOWPANELWIDGET_H

#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

struct GlowPanelParams : public GlowWidgetParams {
    enum {
        transparentStyle = 0,
        plainStyle = 1,
        etchedStyle = 2,
        raisedStyle = 3,
        loweredStyle = 4
    };

    // Copies defaults.
    GlowPanelParams() : GlowPanelParams(defaults) {}
    GlowPanelParams(const GlowPanelParams&) = default;
    GlowPanelParams& operator=(const GlowPanelParams&) = default;

    int style;
    GlowColor backColor;
    GlowColor lightBevelColor;
    GlowColor darkBevelColor;

    static GlowPanelParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    // Colours are the float components times 255, truncated (0.8 is 204).
    constexpr explicit GlowPanelParams(bool)
        : GlowWidgetParams{true, 0, 0, 100, 100, 0},
          style(plainStyle),
          backColor(Glow_WidgetColors::gray80),
          lightBevelColor(Glow_WidgetColors::white),
          darkBevelColor(Glow_WidgetColors::gray40) {}
};

// A container drawn as a plain, etched, raised or lowered rectangle (or not
// at all) behind its child widgets.
class GlowPanelWidget : public GlowWidget {
public:
    GlowPanelWidget(GlowWidget* parentWidget, const GlowPanelParams& params);
    GlowPanelWidget(GlowWidgetRoot* root, const GlowPanelParams& params);
    ~GlowPanelWidget() override;

    int GetStyle() const { return style_; }

protected:
    GlowPanelWidget() = default;
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowPanelParams& params);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    void OnWidgetPaint() override;

private:
    int style_ = GlowPanelParams::plainStyle;
    GlowColor backColor_;
    GlowColor lightBevelColor_;
    GlowColor darkBevelColor_;
};

}  // namespace glow

#endif
