#ifndef GLOW_WIDGETS_GLOWFIXEDSIZEWIDGETWINDOW_H
#define GLOW_WIDGETS_GLOWFIXEDSIZEWIDGETWINDOW_H

#include "glow/core/GlowFixedSizeWindow.h"
#include "glow/widgets/Glow_WidgetColors.h"
#include "glow/widgets/Glow_WidgetWindow.h"

namespace glow {

struct GlowWidgetWindowParams : public GlowWindowParams {
    // Copies defaults.
    GlowWidgetWindowParams() : GlowWidgetWindowParams(defaults) {}
    GlowWidgetWindowParams(const GlowWidgetWindowParams&) = default;
    GlowWidgetWindowParams& operator=(const GlowWidgetWindowParams&) = default;

    GlowColor backColor;

    static GlowWidgetWindowParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs;
    // the back colour is 0.8 grey (0.8 x 255 truncated).
    constexpr explicit GlowWidgetWindowParams(bool)
        : GlowWindowParams(true), backColor(Glow_WidgetColors::gray80) {
        eventMask = GlowEventMask(GlowEventMask::keyboardEvents | GlowEventMask::mouseEvents |
                                  GlowEventMask::dragEvents);
    }
};

// A top-level window of fixed size whose contents are widgets.
class GlowFixedSizeWidgetWindow : public Glow_WidgetWindow<GlowFixedSizeWindow> {
public:
    GlowFixedSizeWidgetWindow();
    ~GlowFixedSizeWidgetWindow() override;

    void Init(const GlowWidgetWindowParams& params);
    void Init(const char* title, int x, int y, int width, int height, GlowDisplayMode mode,
              GlowEventMask eventMask, GlowColor backColor);
};

}  // namespace glow

#endif
