#ifndef GUI_SCENEVIEW_H
#define GUI_SCENEVIEW_H

#include "glow/core/GlowSubwindow.h"

// What the tree view and the chart share: the picture each paint starts
// from, and the placement of either when it is made without parameters.
class SceneView {
public:
    SceneView() = delete;

    // Clears to black and sets up drawing in lines without depth test or
    // lighting, seen through a frustum from five units in front of the plane
    // z = 0, so that the square from -2.5 to 2.5 of that plane fills the
    // viewport. Leaves the model-view matrix current.
    static void BeginPaint();

    // 400 by 400 pixels at (0, 0), with a depth buffer, for mouse buttons
    // and drags.
    static glow::GlowSubwindowParams StandaloneParams();
    // The given place and size (-1: the rest of the parent's), for mouse
    // buttons and drags, in the default display mode.
    static glow::GlowSubwindowParams Placement(int x, int y, int width, int height);
};

#endif
