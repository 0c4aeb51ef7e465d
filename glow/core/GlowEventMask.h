#ifndef GLOW_CORE_GLOWEVENTMASK_H
#define GLOW_CORE_GLOWEVENTMASK_H

namespace glow {

// The bit set that chooses a window's GLUT callbacks; display and reshape
// are always installed.
class GlowEventMask {
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

    constexpr GlowEventMask() : bits_(0) {}
    constexpr GlowEventMask(unsigned int bits) : bits_(bits) {}
    constexpr unsigned int Bits() const { return bits_; }
    friend constexpr bool operator==(GlowEventMask a, GlowEventMask b) {
        return a.bits_ == b.bits_;
    }
    friend constexpr bool operator!=(GlowEventMask a, GlowEventMask b) {
        return a.bits_ != b.bits_;
    }

    friend constexpr GlowEventMask operator|(GlowEventMask a, GlowEventMask b) {
        return a.bits_ | b.bits_;
    }
    friend constexpr GlowEventMask operator&(GlowEventMask a, GlowEventMask b) {
        return a.bits_ & b.bits_;
    }
    GlowEventMask& operator|=(GlowEventMask o) {
        bits_ |= o.bits_;
        return *this;
    }
    GlowEventMask& operator&=(GlowEventMask o) {
        bits_ &= o.bits_;
        return *this;
    }
    constexpr bool Has(unsigned int bit) const { return (bits_ & bit) != 0; }

private:
    unsigned int bits_;
};

// The bit set of a window's GLUT display mode, handed to
// glutInitDisplayMode unchanged.
class GlowDisplayMode {
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

    constexpr GlowDisplayMode() : bits_(0) {}
    constexpr GlowDisplayMode(unsigned int bits) : bits_(bits) {}
    constexpr unsigned int Bits() const { return bits_; }
    friend constexpr bool operator==(GlowDisplayMode a, GlowDisplayMode b) {
        return a.bits_ == b.bits_;
    }
    friend constexpr bool operator!=(GlowDisplayMode a, GlowDisplayMode b) {
        return a.bits_ != b.bits_;
    }

    friend constexpr GlowDisplayMode operator|(GlowDisplayMode a, GlowDisplayMode b) {
        return a.bits_ | b.bits_;
    }
    friend constexpr GlowDisplayMode operator&(GlowDisplayMode a, GlowDisplayMode b) {
        return a.bits_ & b.bits_;
    }
    GlowDisplayMode& operator|=(GlowDisplayMode o) {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr bool Has(unsigned int bit) const { return (bits_ & bit) != 0; }

private:
    unsigned int bits_;
};

}  // namespace glow

#endif
