#include "glow/core/GlowColor.h"

#include <GL/gl.h>

namespace glow {

namespace {

// Truncates toward zero after clamping, so a component a little outside
// 0 to 1 (rounding in the caller) gives 0 or 255 instead of wrapping.
unsigned char ToByte(double component) {
    if (!(component > 0.0)) return 0;  // also NaN
    if (component >= 1.0) return 255;
    return static_cast<unsigned char>(component * 255.0);
}

unsigned char ToByte(float component) {
    if (!(component > 0.0f)) return 0;
    if (component >= 1.0f) return 255;
    return static_cast<unsigned char>(component * 255.0f);
}

}  // namespace

const GlowColor GlowColor::black{0, 0, 0, 255};
const GlowColor GlowColor::blue{0, 0, 255, 255};
const GlowColor GlowColor::green{0, 255, 0, 255};
const GlowColor GlowColor::cyan{0, 255, 255, 255};
const GlowColor GlowColor::red{255, 0, 0, 255};
const GlowColor GlowColor::magenta{255, 0, 255, 255};
const GlowColor GlowColor::yellow{255, 255, 0, 255};
const GlowColor GlowColor::white{255, 255, 255, 255};
const GlowColor GlowColor::gray{128, 128, 128, 255};

void GlowColor::SetFromFloats(float r, float g, float b, float a) {
    rgba_[0] = ToByte(r);
    rgba_[1] = ToByte(g);
    rgba_[2] = ToByte(b);
    rgba_[3] = ToByte(a);
}

void GlowColor::SetFromDoubles_(double r, double g, double b, double a) {
    rgba_[0] = ToByte(r);
    rgba_[1] = ToByte(g);
    rgba_[2] = ToByte(b);
    rgba_[3] = ToByte(a);
}

void GlowColor::Apply() const {
    glColor4ubv(rgba_);
}

}  // namespace glow
