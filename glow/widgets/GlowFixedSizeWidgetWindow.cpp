#include "glow/widgets/GlowFixedSizeWidgetWindow.h"

namespace glow {

GlowWidgetWindowParams GlowWidgetWindowParams::defaults(true);

GlowFixedSizeWidgetWindow::GlowFixedSizeWidgetWindow() = default;

GlowFixedSizeWidgetWindow::~GlowFixedSizeWidgetWindow() {
    DeleteChildren();
}

void GlowFixedSizeWidgetWindow::Init(const GlowWidgetWindowParams& params) {
    GlowFixedSizeWindow::Init(params);
    GlowWidgetRoot::Init(this, params.backColor);
}

void GlowFixedSizeWidgetWindow::Init(const char* title, int x, int y, int width, int height,
                                     GlowDisplayMode mode, GlowEventMask eventMask,
                                     GlowColor backColor) {
    GlowFixedSizeWindow::Init(title, x, y, width, height, mode, eventMask);
    GlowWidgetRoot::Init(this, backColor);
}

bool GlowFixedSizeWidgetWindow::OnBeginPaint() {
    return WidgetPaintBegin();
}
void GlowFixedSizeWidgetWindow::OnEndPaint() {
    WidgetPaintEnd();
}
void GlowFixedSizeWidgetWindow::OnMouseDown(int button, int x, int y, int modifiers) {
    WidgetMouseDown(button, x, y, modifiers);
}
void GlowFixedSizeWidgetWindow::OnMouseUp(int button, int x, int y, int modifiers) {
    WidgetMouseUp(button, x, y, modifiers);
}
void GlowFixedSizeWidgetWindow::OnMouseDrag(int x, int y) {
    WidgetMouseDrag(x, y);
}
void GlowFixedSizeWidgetWindow::OnKeyboard(int key, int x, int y, int modifiers) {
    WidgetKeyboard(key, x, y, modifiers);
}

}  // namespace glow
