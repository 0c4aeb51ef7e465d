#ifndef GLOW_WIDGETS_GLOW_WIDGETWINDOW_H
#define GLOW_WIDGETS_GLOW_WIDGETWINDOW_H

#include "glow/widgets/GlowWidgetRoot.h"

namespace glow {

// A window of kind Window (a subwindow or a top-level window) that is also
// the widget root of its contents: paint, mouse and keyboard go to the
// root, every other event stays the window's.
template <class Window>
class Glow_WidgetWindow : public Window, public GlowWidgetRoot {
public:
    // Deletes the widgets first, while the root and the window are whole.
    ~Glow_WidgetWindow() override { this->DeleteChildren(); }

protected:
    Glow_WidgetWindow() = default;

    bool OnBeginPaint() override { return WidgetPaintBegin(); }
    void OnEndPaint() override { WidgetPaintEnd(); }
    void OnMouseDown(int button, int x, int y, int modifiers) override {
        WidgetMouseDown(button, x, y, modifiers);
    }
    void OnMouseUp(int button, int x, int y, int modifiers) override {
        WidgetMouseUp(button, x, y, modifiers);
    }
    void OnMouseDrag(int x, int y) override { WidgetMouseDrag(x, y); }
    void OnKeyboard(int key, int x, int y, int modifiers) override {
        WidgetKeyboard(key, x, y, modifiers);
    }
};

}  // namespace glow

#endif
