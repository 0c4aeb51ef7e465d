#include "glow/widgets/GlowSubwindowInWidget.h"

#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/GlowWidgetRoot.h"

namespace glow {

GlowSubwindowInWidget::GlowSubwindowInWidget() = default;

GlowSubwindowInWidget::~GlowSubwindowInWidget() = default;

void GlowSubwindowInWidget::Init(GlowWidget* owner, int x, int y, int width, int height,
                                 GlowDisplayMode mode, GlowEventMask eventMask) {
    owner_ = owner;
    offsetX_ = x;
    offsetY_ = y;
    GlowSubwindowParams params;
    params.x = owner->RootPositionX() + x;
    params.y = owner->RootPositionY() + y;
    params.width = width;
    params.height = height;
    params.displayMode = mode;
    params.eventMask = eventMask;
    GlowSubwindow::Init(owner, params);
    // A widget made hidden gets no notice of it: its subwindow starts hidden.
    if (!owner->IsVisible()) Hide();
}

void GlowSubwindowInWidget::FollowOwnerPosition() {
    Move(owner_->RootPositionX() + offsetX_, owner_->RootPositionY() + offsetY_);
}

void GlowSubwindowInWidget::FollowOwnerSize() {
    Reshape(owner_->Width(), owner_->Height());
}

void GlowSubwindowInWidget::FollowOwnerVisibility() {
    if (owner_->IsVisible()) {
        Show();
    } else {
        Hide();
    }
}

void GlowSubwindowInWidget::OnKeyboard(int key, int x, int y, int modifiers) {
    GlowSubwindow* window = owner_->WidgetRoot()->Subwindow();
    window->OnKeyboard(key, x + owner_->RootPositionX() + offsetX_,
                       y + owner_->RootPositionY() + offsetY_, modifiers);
}

}  // namespace glow
