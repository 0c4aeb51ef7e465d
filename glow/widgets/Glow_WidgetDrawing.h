#ifndef GLOW_WIDGETS_GLOW_WIDGETDRAWING_H
#define GLOW_WIDGETS_GLOW_WIDGETDRAWING_H

#include "glow/core/GlowColor.h"
#include "glow/core/GlowFont.h"

namespace glow {

// The text and drawing helpers of the widgets, and of the toolkit's own
// subwindows that look like widgets: text widths, lines of text, pixel-exact
// fills and lines, bevels and etched frames. They draw in a viewport of
// width x height pixels whose normalised coordinates run from -1 to 1 (a
// widget's own, as its paint set-up leaves it). GlowWidget offers them for
// its own viewport.
class Glow_WidgetDrawing {
public:
    Glow_WidgetDrawing() = delete;

    // Pixel width of one character and of a string, as GlowFont measures
    // them (bytes as 0..255, Latin-1 above 127), and drawing likewise, so
    // that text measures as wide as it is drawn.
    static int CharWidth(GlowFont font, char c);
    static int StringWidth(GlowFont font, const char* text);
    static void DrawCharacter(GlowFont font, char c);
    // One line of text from normalised x, centred in the viewport's height.
    static void DrawTextLine(float x, int height, GlowFont font, const char* text);

    // Viewport pixels, y downwards, both corners included: fills the pixels
    // from (left, top) to (right, bottom); draws the one-pixel outline of
    // that rectangle; draws a horizontal or vertical one-pixel line.
    static void FillPixels(int width, int height, int left, int top, int right, int bottom);
    static void DrawPixelOutline(int width, int height, int left, int top, int right, int bottom);
    static void DrawPixelLine(int width, int height, int x0, int y0, int x1, int y1);
    // A two-pixel bevel round the box from the left edge to normalised x
    // right: the left and top edges in topLeft, the bottom and right edges
    // in bottomRight.
    static void DrawBevel(int width, int height, float right, const GlowColor& topLeft,
                          const GlowColor& bottomRight);
    // An etched frame: the dark outline one pixel in from the right and
    // bottom, the light one a pixel right of and below it.
    static void DrawEtchedFrame(int width, int height, const GlowColor& light,
                                const GlowColor& dark);
};

}  // namespace glow

#endif
