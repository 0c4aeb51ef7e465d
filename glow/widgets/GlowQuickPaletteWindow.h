#ifndef GLOW_WIDGETS_GLOWQUICKPALETTEWINDOW_H
#define GLOW_WIDGETS_GLOWQUICKPALETTEWINDOW_H

#include "glow/widgets/GlowFixedSizeWidgetWindow.h"
#include "glow/widgets/GlowQuickPalette.h"

namespace glow {

// A fixed-size top-level widget window holding one quick panel; hidden
// until Pack, which gives it exactly the panel's size.
class GlowQuickPaletteWindow : public GlowQuickPalette, public GlowFixedSizeWidgetWindow {
public:
    GlowQuickPaletteWindow(const char* title, int x, int y, int arrangement, int alignment,
                           int spacing, int hMargin, int vMargin);
    ~GlowQuickPaletteWindow() override;

    void Pack();
};

}  // namespace glow

#endif
