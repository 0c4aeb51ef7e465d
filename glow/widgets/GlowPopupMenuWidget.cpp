#include "glow/widgets/GlowPopupMenuWidget.h"

#include <algorithm>

#include "glow/core/GlowMenu.h"
#include "glow/widgets/Glow_PopupMenuSubwindow.h"
#include "glow/widgets/Glow_SplitAtTabs.h"

namespace glow {

GlowPopupMenuParams GlowPopupMenuParams::defaults(true);

GlowPopupMenuWidget::GlowPopupMenuWidget() = default;

GlowPopupMenuWidget::~GlowPopupMenuWidget() {
    // Off the face's buttons before it goes; GLUT's own menu waits while a
    // menu is open.
    if (Face() != nullptr) Face()->SetMenu(nullptr);
    delete menu_;
    menu_ = nullptr;
}

void GlowPopupMenuWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                               const GlowPopupMenuParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    hasMark_ = params.mark != nullptr;
    mark_ = hasMark_ ? params.mark : "";
    menu_ = new GlowMenu;
    // Selections go to the window in which the menu was used: the face.
    menu_->SetDeliveryMode(GlowMenu::windowMessages);
    for (const std::string& item : Glow_SplitAtTabs(params.items)) {
        menu_->AddEntry(item.c_str(), menu_->NumItems());
    }
    current_ = NumItems() == 0 ? -1 : std::clamp(params.initial, 0, NumItems() - 1);
    AttachFace(new Glow_PopupMenuSubwindow(this, "", params.font,
                                           Glow_MenuButtonSubwindow::arrowIcon, params.spacing),
               params);
    Face()->SetMenu(menu_);
    ShowCurrent();
    if (params.receiver != nullptr) sender_.Bind(params.receiver);
}

int GlowPopupMenuWidget::NumItems() const {
    return menu_->NumItems();
}

const char* GlowPopupMenuWidget::GetItemLabel(int index) const {
    return menu_->GetItemLabel(index);
}

void GlowPopupMenuWidget::ShowCurrent() {
    Face()->SetText(current_ >= 0 ? menu_->GetItemLabel(current_) : "");
    if (current_ >= 0 && hasMark_) menu_->SetItemMark(current_, mark_.c_str());
}

int GlowPopupMenuWidget::AddItem(const char* label) {
    const int index = NumItems();
    menu_->AddEntry(label, index);
    if (index == 0) {
        current_ = 0;
        ShowCurrent();
    }
    return index;
}

void GlowPopupMenuWidget::RemoveItem(int index) {
    if (!ValidItem(index)) return;
    menu_->RemoveItem(index);
    // The items after it move up one place, and so do their codes.
    for (int i = index; i < NumItems(); ++i) menu_->SetItemCode(i, i);
    if (index == current_) {
        current_ = NumItems() > 0 ? 0 : -1;
        ShowCurrent();
    } else if (index < current_) {
        --current_;
    }
}

void GlowPopupMenuWidget::SetItemLabel(int index, const char* label) {
    if (!ValidItem(index)) return;
    menu_->SetItemLabel(index, label);
    if (index == current_) Face()->SetText(menu_->GetItemLabel(index));
}

void GlowPopupMenuWidget::SetCurrentItem(int index) {
    if (!ValidItem(index) || index == current_) return;
    if (current_ >= 0) menu_->UnmarkItem(current_);
    current_ = index;
    ShowCurrent();
}

void GlowPopupMenuWidget::SetMark(const char* mark) {
    hasMark_ = mark != nullptr;
    mark_ = hasMark_ ? mark : "";
    if (current_ >= 0) menu_->SetItemMark(current_, hasMark_ ? mark_.c_str() : nullptr);
}

void GlowPopupMenuWidget::OnItemChosen(int item) {
    // A code of no item (the menu changed under the selection) is dropped.
    if (!ValidItem(item)) return;
    SetCurrentItem(item);
    sender_.Send(GlowPopupMenuMessage{this, item});
}

int GlowPopupMenuWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&,
                                    int&, int&) {
    // Wide enough for the longest item and the arrow.
    int prefWidth, prefHeight;
    Face()->GetPreferredSize(prefWidth, prefHeight, "");
    for (int i = 0; i < NumItems(); ++i) {
        int w, h;
        Face()->GetPreferredSize(w, h, menu_->GetItemLabel(i));
        prefWidth = std::max(prefWidth, w);
    }
    return PackFace(prefWidth, prefHeight, hSize, vSize, hOption, vOption);
}

}  // namespace glow
