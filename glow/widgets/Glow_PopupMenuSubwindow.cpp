#include "glow/widgets/Glow_PopupMenuSubwindow.h"

#include "glow/widgets/GlowPopupMenuWidget.h"

namespace glow {

Glow_PopupMenuSubwindow::Glow_PopupMenuSubwindow(GlowPopupMenuWidget* owner, const char* label,
                                                 GlowFont font, int iconType, int spacing)
    : Glow_MenuButtonSubwindow(owner, label, font, iconType, spacing), owner_(owner) {}

Glow_PopupMenuSubwindow::~Glow_PopupMenuSubwindow() = default;

void Glow_PopupMenuSubwindow::OnMenuInUse(int x, int y) {
    Glow_MenuButtonSubwindow::OnMenuInUse(x, y);
    owner_->Refresh();
}

void Glow_PopupMenuSubwindow::OnMenuNotInUse() {
    Glow_MenuButtonSubwindow::OnMenuNotInUse();
    owner_->Refresh();
}

void Glow_PopupMenuSubwindow::OnMenuSelection(const GlowMenuMessage& message) {
    owner_->OnItemChosen(message.code);
}

}  // namespace glow
