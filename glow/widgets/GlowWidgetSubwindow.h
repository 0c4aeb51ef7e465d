#ifndef GLOW_WIDGETS_GLOWWIDGETSUBWINDOW_H
#define GLOW_WIDGETS_GLOWWIDGETSUBWINDOW_H

#include "glow/core/GlowSubwindow.h"
#include "glow/widgets/GlowWidgetRoot.h"

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
        : GlowSubwindowParams(true), backColor(204, 204, 204, 255) {
        eventMask = GlowEventMask(GlowEventMask::keyboardEvents | GlowEventMask::mouseEvents |
                                  GlowEventMask::dragEvents);
    }
};

// A subwindow whose contents are widgets.
class GlowWidgetSubwindow : public GlowSubwindow, public GlowWidgetRoot {
public:
    GlowWidgetSubwindow();
    GlowWidgetSubwindow(GlowComponent* parent, const GlowWidgetSubwindowParams& params);
    // Deletes the widgets first, while the root and the window are whole.
    ~GlowWidgetSubwindow() override;

    void Init(GlowComponent* parent, const GlowWidgetSubwindowParams& params);
    void Init(GlowComponent* parent, int x, int y, int width, int height, GlowDisplayMode mode,
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
