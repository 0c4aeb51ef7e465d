#ifndef GLOW_WIDGETS_GLOWFIXEDSIZEWIDGETWINDOW_H
#define GLOW_WIDGETS_GLOWFIXEDSIZEWIDGETWINDOW_H

#include "glow/core/GlowFixedSizeWindow.h"
#include "glow/widgets/GlowWidgetRoot.h"

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
        : GlowWindowParams(true), backColor(204, 204, 204, 255) {
        eventMask = GlowEventMask(GlowEventMask::keyboardEvents | GlowEventMask::mouseEvents |
                                  GlowEventMask::dragEvents);
    }
};

// A top-level window of fixed size whose contents are widgets.
class GlowFixedSizeWidgetWindow : public GlowFixedSizeWindow, public GlowWidgetRoot {
public:
    GlowFixedSizeWidgetWindow();
    // Deletes the widgets first, while the root and the window are whole.
    ~GlowFixedSizeWidgetWindow() override;

    void Init(const GlowWidgetWindowParams& params);
    void Init(const char* title, int x, int y, int width, int height, GlowDisplayMode mode,
              GlowEventMask eventMask, GlowColor backColor);

protected:
    bool OnBeginPaint() override;
    void OnEndPaint() override;
    void OnMouseDown(int button, int x, int y, int modifiers) override;
    void OnMouseUp(int button, int x, int y, int modifiers) override;
    void OnMouseDrag(int x, int y) override;
    void OnKeyboard(int key, int x, int y, int modifiers) override;
};

}  // namespace glow

#endif
