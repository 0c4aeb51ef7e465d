#include "glow/core/GlowMenu.h"

#include <GL/freeglut.h>

#include <set>

#include "glow/core/Glow.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/core/Glow_Context.h"
#include "glow/core/Glow_Text.h"

namespace glow {

namespace {

// Every live menu, also those whose GLUT menu is not created yet: a menu
// going away is dropped from all of them.
std::set<GlowMenu*>& LiveMenus() {
    static std::set<GlowMenu*> menus;
    return menus;
}

}  // namespace

GlowMenu::GlowMenu() {
    LiveMenus().insert(this);
    if (Glow::MenuChangesDeferred_()) {
        // freeglut ends the process on a menu created while one is open.
        Glow::DeferMenuCreation_(this);
    } else {
        CreateGlutMenu_();
    }
}

GlowMenu::~GlowMenu() {
    LiveMenus().erase(this);
    for (GlowMenu* other : LiveMenus()) other->RemoveSubmenuItems_(this);
    for (auto& entry : Glow::Windows()) {
        GlowSubwindow* w = entry.second;
        bool changed = false;
        for (GlowMenu*& m : w->buttonMenus_) {
            if (m == this) {
                m = nullptr;
                changed = true;
            }
        }
        if (changed) {
            Glow_WindowContext context(w->windowId_);
            w->SyncButtonMenus_(w->MaskInForce_());
        }
    }
    Glow::ForgetDeferredMenu_(this);
    if (menuId_ != 0) {
        Glow::UnregisterMenu(menuId_);
        if (Glow::MenuChangesDeferred_()) {
            Glow::DeferMenuDestruction_(menuId_);
        } else {
            DestroyGlutMenu_(menuId_);
        }
        menuId_ = 0;
    }
}

void GlowMenu::CreateGlutMenu_() {
    menuId_ = glutCreateMenu(Glow::OnGlutMenu);
    Glow::RegisterMenu(this, menuId_);
    if (!items_.empty()) RewriteAll_();
}

void GlowMenu::DestroyGlutMenu_(int menuId) {
    glutDestroyMenu(menuId);
    for (auto& entry : Glow::Windows()) {
        for (int& id : entry.second->attachedMenuIds_)
            if (id == menuId) id = 0;
    }
}

bool GlowMenu::CanWriteGlut_() const {
    if (menuId_ == 0 || Glow::MenuChangesDeferred_()) return false;
    for (const Glow_MenuItem& item : items_)
        if (item.submenu != nullptr && item.submenu->MenuId() == 0) return false;
    return true;
}

bool GlowMenu::WriteNowOrDefer_() {
    if (CanWriteGlut_()) return true;
    // A menu that GLUT does not have yet gets all its items when it is made.
    if (menuId_ != 0) Glow::DeferMenuRewrite_(this);
    return false;
}

std::string GlowMenu::ItemText(int index) const {
    if (!ValidIndex_(index)) return std::string();
    const Glow_MenuItem& item = items_[index];
    return item.hasMark ? item.mark + item.label : item.label;
}

void GlowMenu::WriteItems_(int first, int last) {
    for (int i = first; i < last; ++i) {
        std::string text = ItemText(i);
        const Glow_MenuItem& item = items_[i];
        int count = glutGet(GLUT_MENU_NUM_ITEMS);
        if (item.submenu != nullptr) {
            if (i < count) {
                glutChangeToSubMenu(i + 1, text.c_str(), item.submenu->MenuId());
            } else {
                glutAddSubMenu(text.c_str(), item.submenu->MenuId());
            }
        } else {
            if (i < count) {
                glutChangeToMenuEntry(i + 1, text.c_str(), item.code);
            } else {
                glutAddMenuEntry(text.c_str(), item.code);
            }
        }
    }
}

void GlowMenu::Rewrite_(int first, int last) {
    if (!WriteNowOrDefer_()) return;
    Glow_MenuContext context(menuId_);
    WriteItems_(first, last);
}

void GlowMenu::RewriteAll_() {
    if (menuId_ == 0) return;
    Glow_MenuContext context(menuId_);
    int n = NumItems();
    WriteItems_(0, n);
    for (int count = glutGet(GLUT_MENU_NUM_ITEMS); count > n; --count) glutRemoveMenuItem(count);
}

void GlowMenu::RemoveSubmenuItems_(GlowMenu* submenu) {
    for (int i = NumItems() - 1; i >= 0; --i)
        if (items_[i].submenu == submenu) RemoveItem(i);
}

const char* GlowMenu::GetItemLabel(int index) const {
    return ValidIndex_(index) ? items_[index].label.c_str() : nullptr;
}

const char* GlowMenu::GetItemMark(int index) const {
    return ValidIndex_(index) && items_[index].hasMark ? items_[index].mark.c_str() : nullptr;
}

int GlowMenu::GetItemCode(int index) const {
    return ValidIndex_(index) ? items_[index].code : 0;
}

GlowMenu* GlowMenu::GetItemSubmenu(int index) const {
    return ValidIndex_(index) ? items_[index].submenu : nullptr;
}

bool GlowMenu::IsItemMarked(int index) const {
    return ValidIndex_(index) && items_[index].hasMark;
}

bool GlowMenu::IsItemSubmenu(int index) const {
    return ValidIndex_(index) && items_[index].submenu != nullptr;
}

void GlowMenu::AddEntry(const char* label, int code) {
    InsertEntry(NumItems(), label, code);
}

void GlowMenu::AddSubmenu(const char* label, GlowMenu* submenu) {
    InsertSubmenu(NumItems(), label, submenu);
}

void GlowMenu::InsertEntry(int index, const char* label, int code) {
    if (index < 0 || index > NumItems()) return;
    Glow_MenuItem item;
    item.label = Glow_OrEmpty(label);
    item.code = code;
    items_.insert(items_.begin() + index, item);
    Rewrite_(index, NumItems());
}

void GlowMenu::InsertSubmenu(int index, const char* label, GlowMenu* submenu) {
    if (index < 0 || index > NumItems() || submenu == nullptr || submenu == this) return;
    Glow_MenuItem item;
    item.label = Glow_OrEmpty(label);
    item.submenu = submenu;
    items_.insert(items_.begin() + index, item);
    Rewrite_(index, NumItems());
}

void GlowMenu::RemoveItem(int index) {
    if (!ValidIndex_(index)) return;
    items_.erase(items_.begin() + index);
    if (!WriteNowOrDefer_()) return;
    Glow_MenuContext context(menuId_);
    glutRemoveMenuItem(index + 1);
}

void GlowMenu::SetItemLabel(int index, const char* label) {
    if (!ValidIndex_(index)) return;
    items_[index].label = Glow_OrEmpty(label);
    Rewrite_(index, index + 1);
}

void GlowMenu::SetItemMark(int index, const char* mark) {
    if (!ValidIndex_(index)) return;
    Glow_MenuItem& item = items_[index];
    item.hasMark = mark != nullptr;
    item.mark = Glow_OrEmpty(mark);
    Rewrite_(index, index + 1);
}

void GlowMenu::ToggleItemMark(int index, const char* mark) {
    if (!ValidIndex_(index)) return;
    if (items_[index].hasMark) {
        UnmarkItem(index);
    } else {
        SetItemMark(index, mark);  // a null mark leaves the item unmarked
    }
}

void GlowMenu::UnmarkItem(int index) {
    SetItemMark(index, nullptr);
}

void GlowMenu::UnmarkAllItems() {
    for (Glow_MenuItem& item : items_) {
        item.hasMark = false;
        item.mark.clear();
    }
    Rewrite_(0, NumItems());
}

int GlowMenu::NextMarkedItem(int after) const {
    for (int i = after < -1 ? 0 : after + 1; i < NumItems(); ++i)
        if (items_[i].hasMark) return i;
    return -1;
}

void GlowMenu::SetItemEntry(int index, const char* label, int code) {
    if (!ValidIndex_(index)) return;
    Glow_MenuItem& item = items_[index];
    item.label = Glow_OrEmpty(label);
    item.hasMark = false;
    item.mark.clear();
    item.code = code;
    item.submenu = nullptr;
    Rewrite_(index, index + 1);
}

void GlowMenu::SetItemCode(int index, int code) {
    if (!ValidIndex_(index)) return;
    items_[index].code = code;
    items_[index].submenu = nullptr;
    Rewrite_(index, index + 1);
}

void GlowMenu::NumberItemsByIndex() {
    for (int i = 0; i < NumItems(); ++i)
        if (items_[i].submenu == nullptr) items_[i].code = i;
    Rewrite_(0, NumItems());
}

void GlowMenu::SetItemSubmenu(int index, const char* label, GlowMenu* submenu) {
    if (!ValidIndex_(index) || submenu == nullptr || submenu == this) return;
    Glow_MenuItem& item = items_[index];
    item.label = Glow_OrEmpty(label);
    item.hasMark = false;
    item.mark.clear();
    item.code = 0;
    item.submenu = submenu;
    Rewrite_(index, index + 1);
}

void GlowMenu::SetItemSubmenu(int index, GlowMenu* submenu) {
    if (!ValidIndex_(index) || submenu == nullptr || submenu == this) return;
    items_[index].code = 0;
    items_[index].submenu = submenu;
    Rewrite_(index, index + 1);
}

void GlowMenu::HandleSelection(int code, GlowSubwindow* window, int x, int y) {
    if (deliveryMode_ == noMessages) return;
    GlowMenuMessage message{code, this, window, x, y};
    if (deliveryMode_ == windowMessages) {
        // Used over a window the toolkit does not know: nobody to hand it to.
        if (window != nullptr) window->OnMenuSelection(message);
    } else {
        sender_.Send(message);
    }
}

}  // namespace glow
