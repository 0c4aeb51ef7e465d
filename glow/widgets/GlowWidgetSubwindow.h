#ifndef GLOW_WIDGETS_GLOWWIDGETSUBWINDOW_H
#define GLOW_WIDGETS_GLOWWIDGETSUBWINDOW_H

#include "glow/core/GlowSubwindow.h"
#include "glow/widgets/Glow_WidgetColors.h"
#include "glow/widgets/Glow_WidgetWindow.h"

namespace glow {

struct GlowWidgetSubwindowParams : public GlowSubwindowParams {
    // Copies defaults.
    GlowWidgetSubwindowParams() : GlowWidgetSubwindowParams(defaults) {}
    GlowWidgetSubwindowParams(const GlowWidgetSubwindowParams&) = default;
    GlowWidgetSubwindowParams& operator=(const GlowWidgetSubwindowParams&) = default;

    GlowColor backColor;

    static GlowWidgetSubwindowParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs;
    // the back colour is 0.8 grey (0.8 x 255 truncated).
    constexpr explicit GlowWidgetSubwindowParams(bool)
        : GlowSubwindowParams(true), backColor(Glow_WidgetColors::gray80) {
        eventMask = GlowEventMask(GlowEventMask::keyboardEvents | GlowEventMask::mouseEvents |
                                  GlowEventMask::dragEvents);
    }
};

// A subwindow whose contents are widgets.
class GlowWidgetSubwindow : public Glow_WidgetWindow<GlowSubwindow> {
public:
    GlowWidgetSubwindow();
    GlowWidgetSubwindow(GlowComponent* parent, const GlowWidgetSubwindowParams& params);
    ~GlowWidgetSubwindow() override;

    void Init(GlowComponent* parent, const GlowWidgetSubwindowParams& params);
    void Init(GlowComponent* parent, int x, int y, int width, int height, GlowDisplayMode mode,
              GlowEventMask eventMask, GlowColor backColor);
};

}  // namespace glow

#endif
