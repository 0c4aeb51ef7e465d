#ifndef GLOW_CORE_GLOWFIXEDSIZEWINDOW_H
#define GLOW_CORE_GLOWFIXEDSIZEWINDOW_H

#include "glow/core/GlowWindow.h"

namespace glow {

// A top-level window that snaps back to its fixed size when resized.
class GlowFixedSizeWindow : public GlowWindow {
public:
    GlowFixedSizeWindow() = default;
    ~GlowFixedSizeWindow() override;

    void Init(const GlowWindowParams& params);
    void Init(const char* title, int x, int y, int width, int height, GlowDisplayMode mode,
              GlowEventMask eventMask);

    // A new fixed size, applied at once.
    void ForceReshape(int width, int height);
    int FixedWidth() const { return fixedWidth_; }
    int FixedHeight() const { return fixedHeight_; }

    void OnReshape(int width, int height) override;

private:
    int fixedWidth_ = 0;
    int fixedHeight_ = 0;
};

}  // namespace glow

#endif
