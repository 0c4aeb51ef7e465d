#include "glow/widgets/Glow_MessageWindowButton.h"

#include "glow/widgets/GlowMessageWindow.h"

namespace glow {

Glow_MessageWindowButton::Glow_MessageWindowButton(GlowMessageWindow* window,
                                                   const GlowPushButtonParams& params, int index)
    : window_(window), index_(index) {
    Init(window, nullptr, params);
}

Glow_MessageWindowButton::~Glow_MessageWindowButton() = default;

void Glow_MessageWindowButton::OnHit(int mouseButton, int modifiers) {
    window_->OnButtonHit(index_, mouseButton, modifiers);
}

}  // namespace glow
