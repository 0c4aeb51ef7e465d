#include "glow/widgets/Glow_TextFieldWindowButton.h"

#include "glow/widgets/GlowTextFieldWindow.h"

namespace glow {

Glow_TextFieldWindowButton::Glow_TextFieldWindowButton(GlowTextFieldWindow* window,
                                                       const GlowPushButtonParams& params,
                                                       int index)
    : window_(window), index_(index) {
    Init(window, nullptr, params);
}

Glow_TextFieldWindowButton::~Glow_TextFieldWindowButton() = default;

void Glow_TextFieldWindowButton::OnHit(int mouseButton, int modifiers) {
    window_->OnButtonHit(index_, window_->TypedText(), mouseButton, modifiers);
}

}  // namespace glow
