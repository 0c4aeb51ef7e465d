#ifndef GUI_RASTERTEXT_H
#define GUI_RASTERTEXT_H

// Text of the tree's labels and the chart's captions: the toolkit's default
// bitmap font (12-point Helvetica) from a point of the current coordinates.
class RasterText {
public:
    RasterText() = delete;

    // The characters run to the right of (x, y); nothing shows when that
    // point lies outside the view.
    static void Draw(float x, float y, const char* text);
};

#endif
