#ifndef GLOW_WIDGETS_GLOW_BOXTEXT_H
#define GLOW_WIDGETS_GLOW_BOXTEXT_H

#include "glow/widgets/GlowWidget.h"

namespace glow {

// What radio buttons and check boxes share: a square box as wide as the
// widget is high, then one line of text.
class Glow_BoxText {
public:
    // Size to fit: height first (leading + 1), then the width
    // (text + spacing + height + 1); neither grows on expand.
    static int AutoPack(GlowWidget* widget, int textWidth, int spacing, GlowFont font, int hSize,
                        int vSize, int hOption, int vOption);
    // Narrows the widget to the width it needs when it is wider.
    static void TrimWidth(GlowWidget* widget, int textWidth, int spacing);
    // Box fill and bevel (or the inactive outline); returns the box's right
    // edge in normalised x.
    static float DrawBox(const GlowWidget* widget, bool active, bool pressed, const GlowColor& box,
                         const GlowColor& light, const GlowColor& dark,
                         const GlowColor& inactiveBorder);
    static void DrawText(const GlowWidget* widget, float boxRight, int spacing, GlowFont font,
                         const char* text);

private:
    // Box, spacing and text side by side at a height.
    static long long NeededWidth(int textWidth, int spacing, int height) {
        return static_cast<long long>(textWidth) + spacing + height + 1;
    }
};

}  // namespace glow

#endif
