#include "glow/widgets/GlowWidgetSubwindow.h"

namespace glow {

GlowWidgetSubwindowParams GlowWidgetSubwindowParams::defaults(true);

GlowWidgetSubwindow::GlowWidgetSubwindow() = default;

GlowWidgetSubwindow::GlowWidgetSubwindow(GlowComponent* parent,
                                         const GlowWidgetSubwindowParams& params) {
    Init(parent, params);
}

GlowWidgetSubwindow::~GlowWidgetSubwindow() {
    DeleteChildren();
}

void GlowWidgetSubwindow::Init(GlowComponent* parent, const GlowWidgetSubwindowParams& params) {
    GlowSubwindow::Init(parent, params);
    GlowWidgetRoot::Init(this, params.backColor);
}

void GlowWidgetSubwindow::Init(GlowComponent* parent, int x, int y, int width, int height,
                               GlowDisplayMode mode, GlowEventMask eventMask, GlowColor backColor) {
    GlowSubwindow::Init(parent, x, y, width, height, mode, eventMask);
    GlowWidgetRoot::Init(this, backColor);
}

bool GlowWidgetSubwindow::OnBeginPaint() {
    return WidgetPaintBegin();
}
void GlowWidgetSubwindow::OnEndPaint() {
    WidgetPaintEnd();
}
void GlowWidgetSubwindow::OnMouseDown(int button, int x, int y, int modifiers) {
    WidgetMouseDown(button, x, y, modifiers);
}
void GlowWidgetSubwindow::OnMouseUp(int button, int x, int y, int modifiers) {
    WidgetMouseUp(button, x, y, modifiers);
}
void GlowWidgetSubwindow::OnMouseDrag(int x, int y) {
    WidgetMouseDrag(x, y);
}
void GlowWidgetSubwindow::OnKeyboard(int key, int x, int y, int modifiers) {
    WidgetKeyboard(key, x, y, modifiers);
}

}  // namespace glow
