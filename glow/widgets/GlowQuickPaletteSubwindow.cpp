#include "glow/widgets/GlowQuickPaletteSubwindow.h"

#include "glow/widgets/GlowQuickPanelWidget.h"

namespace glow {

GlowQuickPaletteSubwindow::GlowQuickPaletteSubwindow(GlowComponent* parent, int x, int y, int width,
                                                     int height, int arrangement, int alignment,
                                                     int spacing, int hMargin, int vMargin) {
    const GlowWidgetSubwindowParams& d = GlowWidgetSubwindowParams::defaults;
    GlowWidgetSubwindow::Init(parent, x, y, width, height, d.displayMode, d.eventMask, d.backColor);
    panel = new GlowQuickPanelWidget(this, nullptr, GlowPanelParams::plainStyle, nullptr,
                                     arrangement, alignment, spacing, hMargin, vMargin);
    // Hidden until Pack, so the controls never show at their starting places.
    Hide();
}

GlowQuickPaletteSubwindow::~GlowQuickPaletteSubwindow() {
    // The panel is a widget of this window and goes with its children.
    panel = nullptr;
}

void GlowQuickPaletteSubwindow::Pack(bool resizeToFit) {
    panel->AutoPackDefault();
    if (resizeToFit) Reshape(panel->Width(), panel->Height());
    Show();
}

}  // namespace glow
