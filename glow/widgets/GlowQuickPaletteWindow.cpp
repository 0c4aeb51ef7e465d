#include "glow/widgets/GlowQuickPaletteWindow.h"

#include "glow/widgets/GlowQuickPanelWidget.h"

namespace glow {

GlowQuickPaletteWindow::GlowQuickPaletteWindow(const char* title, int x, int y, int arrangement,
                                               int alignment, int spacing, int hMargin,
                                               int vMargin) {
    const GlowWidgetWindowParams& d = GlowWidgetWindowParams::defaults;
    GlowFixedSizeWidgetWindow::Init(title, x, y, 100, 100, d.displayMode, d.eventMask, d.backColor);
    panel = new GlowQuickPanelWidget(this, nullptr, GlowPanelParams::plainStyle, nullptr,
                                     arrangement, alignment, spacing, hMargin, vMargin);
    // Hidden until Pack, so the controls never show at their starting places.
    Hide();
}

GlowQuickPaletteWindow::~GlowQuickPaletteWindow() {
    // The panel is a widget of this window and goes with its children.
    panel = nullptr;
}

void GlowQuickPaletteWindow::Pack() {
    panel->AutoPackDefault();
    ForceReshape(panel->Width(), panel->Height());
    Show();
}

}  // namespace glow
