#ifndef GLOW_WIDGETS_GLOW_BEVELS_H
#define GLOW_WIDGETS_GLOW_BEVELS_H

#include "glow/core/GlowColor.h"

namespace glow {

// The sizes of bevels and outlines in a frame that spans length x breadth
// pixels from -1 to 1 each way.
struct Glow_BevelUnits {
    Glow_BevelUnits(float length, float breadth);

    float bA;  // a bevel's depth (two pixels) along the length
    float bX;  // and across
    float pA;  // one pixel along the length
    float pX;  // and across
};

// Bevels and grips drawn in a widget's normalised frame (after any
// orientation transform of its own): every widget's bevels, and the grips of
// scroll bars and sliders.
class Glow_Bevels {
public:
    // A frame of four faces mitred at the corners just inside the box from
    // (left, bottom) to (right, top): bx deep along x, by deep along y, each
    // face in its colour.
    static void Frame(float left, float bottom, float right, float top, float bx, float by,
                      const GlowColor& leftFace, const GlowColor& topFace,
                      const GlowColor& rightFace, const GlowColor& bottomFace);
    // A raised frame is light on its left and top faces; a sunken one dark.
    static void Raised(float left, float bottom, float right, float top, float bx, float by,
                       const GlowColor& light, const GlowColor& dark, bool sunken = false);
    // Vertical lines at the given x, from y0 to y1.
    static void Lines(const float* xs, int count, float y0, float y1);
    // The one-pixel outline of a box whose pixels are px wide and py high:
    // a line loop through the centres of its edge pixels, so that every edge
    // shows whatever the rasteriser does with lines on pixel boundaries.
    static void Outline(float left, float bottom, float right, float top, float px, float py);
};

}  // namespace glow

#endif
