#ifndef GLOW_CORE_GLOWEVENTMASK_H
#define GLOW_CORE_GLOWEVENTMASK_H

#include "glow/core/Glow_BitSet.h"

namespace glow {

// The bit set that chooses a window's GLUT callbacks; display and reshape
// are always installed.
class GlowEventMask : public Glow_BitSet<GlowEventMask> {
public:
    enum : unsigned int {
        noEvents = 0,
        keyboardEvents = 1,     // glutKeyboardFunc and glutSpecialFunc
        mouseEvents = 2,        // glutMouseFunc
        dragEvents = 4,         // glutMotionFunc
        motionEvents = 8,       // glutPassiveMotionFunc
        visibilityEvents = 16,  // glutVisibilityFunc
        focusEvents = 32,       // glutEntryFunc
        menuEvents = 64,        // the window's button menus are attached
        allEvents = 127
    };

    using Glow_BitSet::Glow_BitSet;
};

// The bit set of a window's GLUT display mode, handed to
// glutInitDisplayMode unchanged.
class GlowDisplayMode : public Glow_BitSet<GlowDisplayMode> {
public:
    enum : unsigned int {
        rgbBuffer = 0,       // GLUT_RGB
        indexBuffer = 1,     // GLUT_INDEX
        singleBuffer = 0,    // GLUT_SINGLE
        doubleBuffer = 2,    // GLUT_DOUBLE
        accumBuffer = 4,     // GLUT_ACCUM
        alphaBuffer = 8,     // GLUT_ALPHA
        depthBuffer = 16,    // GLUT_DEPTH
        stencilBuffer = 32,  // GLUT_STENCIL
        multisample = 128,   // GLUT_MULTISAMPLE
        stereoBuffer = 256   // GLUT_STEREO
    };

    using Glow_BitSet::Glow_BitSet;
};

}  // namespace glow

#endif
