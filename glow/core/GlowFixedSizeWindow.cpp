#include "glow/core/GlowFixedSizeWindow.h"

#include <algorithm>

namespace glow {

GlowFixedSizeWindow::~GlowFixedSizeWindow() = default;

void GlowFixedSizeWindow::Init(const GlowWindowParams& params) {
    fixedWidth_ = std::max(params.width, 1);
    fixedHeight_ = std::max(params.height, 1);
    GlowWindow::Init(params);
}

void GlowFixedSizeWindow::Init(const char* title, int x, int y, int width, int height,
                               GlowDisplayMode mode, GlowEventMask eventMask) {
    fixedWidth_ = std::max(width, 1);
    fixedHeight_ = std::max(height, 1);
    GlowWindow::Init(title, x, y, width, height, mode, eventMask);
}

void GlowFixedSizeWindow::ForceReshape(int width, int height) {
    fixedWidth_ = std::max(width, 1);
    fixedHeight_ = std::max(height, 1);
    Reshape(fixedWidth_, fixedHeight_);
}

void GlowFixedSizeWindow::OnReshape(int width, int height) {
    if (width == fixedWidth_ && height == fixedHeight_) {
        GlowSubwindow::OnReshape(width, height);
    } else {
        Reshape(fixedWidth_, fixedHeight_);
    }
}

}  // namespace glow
