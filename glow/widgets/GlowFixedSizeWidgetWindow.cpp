#include "glow/widgets/GlowFixedSizeWidgetWindow.h"

namespace glow {

GlowWidgetWindowParams GlowWidgetWindowParams::defaults(true);

GlowFixedSizeWidgetWindow::GlowFixedSizeWidgetWindow() = default;

GlowFixedSizeWidgetWindow::~GlowFixedSizeWidgetWindow() = default;

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

}  // namespace glow
