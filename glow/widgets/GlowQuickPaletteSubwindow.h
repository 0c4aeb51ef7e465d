#ifndef GLOW_WIDGETS_GLOWQUICKPALETTESUBWINDOW_H
#define GLOW_WIDGETS_GLOWQUICKPALETTESUBWINDOW_H

#include "glow/widgets/GlowQuickPalette.h"
#include "glow/widgets/GlowWidgetSubwindow.h"

namespace glow {

// A widget subwindow holding one quick panel; hidden until Pack.
class GlowQuickPaletteSubwindow : public GlowQuickPalette, public GlowWidgetSubwindow {
public:
    // width or height -1: the parent's extent less the position.
    GlowQuickPaletteSubwindow(GlowComponent* parent, int x, int y, int width, int height,
                              int arrangement, int alignment, int spacing, int hMargin,
                              int vMargin);
    ~GlowQuickPaletteSubwindow() override;

    // Lays the controls out at their preferred sizes, fits the subwindow
    // to them when asked, and shows it.
    void Pack(bool resizeToFit);
};

}  // namespace glow

#endif
