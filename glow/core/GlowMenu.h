#ifndef GLOW_CORE_GLOWMENU_H
#define GLOW_CORE_GLOWMENU_H

#include <string>
#include <vector>

#include "glow/core/GlowMenuMessage.h"
#include "glow/core/TSender.h"

namespace glow {

class GlowMenu;

// One item of a menu: a plain entry (label, code) or a submenu (not owned).
// The mark text, when there is one, shows directly in front of the label.
struct Glow_MenuItem {
    std::string label;
    std::string mark;
    bool hasMark = false;
    int code = 0;
    GlowMenu* submenu = nullptr;
};

// A GLUT pop-up menu with its items. Selections are dropped (mode 0), sent
// through the menu's sender (mode 1, the initial mode) or handed to the
// window in which the menu was used (mode 2).
//
// Item indexes count from 0; an index outside the list is refused (the call
// does nothing, or answers null or -1). GLUT changes made while a menu is
// open are carried out once no menu is open any more.
class GlowMenu {
public:
    enum { noMessages = 0, senderMessages = 1, windowMessages = 2 };

    GlowMenu();
    GlowMenu(const GlowMenu&) = delete;
    GlowMenu& operator=(const GlowMenu&) = delete;
    // Detaches the menu from every window button and removes it from every
    // menu that has it as a submenu.
    virtual ~GlowMenu();

    // The GLUT menu id; 0 while the menu waits to be created (it was made
    // while another menu was open).
    int MenuId() const { return menuId_; }

    int DeliveryMode() const { return deliveryMode_; }
    void SetDeliveryMode(int mode) { deliveryMode_ = mode; }

    TSender<const GlowMenuMessage&>& Sender() { return sender_; }
    void Bind(GlowMenuReceiver* receiver) { sender_.Bind(receiver); }
    void Unbind(GlowMenuReceiver* receiver) { sender_.Unbind(receiver); }

    int NumItems() const { return static_cast<int>(items_.size()); }
    // Null for an index outside the list.
    const char* GetItemLabel(int index) const;
    const char* GetItemMark(int index) const;
    int GetItemCode(int index) const;
    GlowMenu* GetItemSubmenu(int index) const;
    bool IsItemMarked(int index) const;
    bool IsItemSubmenu(int index) const;

    void AddEntry(const char* label, int code);
    void AddSubmenu(const char* label, GlowMenu* submenu);
    // index may be NumItems(), which appends.
    void InsertEntry(int index, const char* label, int code);
    void InsertSubmenu(int index, const char* label, GlowMenu* submenu);
    void RemoveItem(int index);

    void SetItemLabel(int index, const char* label);
    // Null means no mark.
    void SetItemMark(int index, const char* mark);
    void ToggleItemMark(int index, const char* mark);
    void UnmarkItem(int index);
    void UnmarkAllItems();
    // Smallest marked index after `after` (-1 searches from the start), or -1.
    int NextMarkedItem(int after) const;

    void SetItemEntry(int index, const char* label, int code);
    void SetItemCode(int index, int code);
    void NumberItemsByIndex();
    void SetItemSubmenu(int index, const char* label, GlowMenu* submenu);
    void SetItemSubmenu(int index, GlowMenu* submenu);

    // The text GLUT shows for an item: its mark followed by its label.
    std::string ItemText(int index) const;

    // Called by Glow's menu callback with the code and where the menu was used.
    virtual void HandleSelection(int code, GlowSubwindow* window, int x, int y);

private:
    friend class Glow;

    bool ValidIndex_(int index) const { return index >= 0 && index < NumItems(); }
    // Rewrites GLUT items [first, last) from the item list; while a menu is
    // open the whole menu is rewritten later instead.
    void Rewrite_(int first, int last);
    // Creates the GLUT menu (deferred when made while a menu was open).
    void CreateGlutMenu_();
    // Brings the whole GLUT menu in line with the item list.
    void RewriteAll_();
    // Drops every item that opens the given menu.
    void RemoveSubmenuItems_(GlowMenu* submenu);
    // Writes GLUT items [first, last) of the current GLUT menu.
    void WriteItems_(int first, int last);
    bool CanWriteGlut_() const;
    // True when GLUT may be written now; otherwise the whole menu is
    // rewritten once it may.
    bool WriteNowOrDefer_();
    // glutDestroyMenu, and forgets the id wherever GLUT had it attached.
    static void DestroyGlutMenu_(int menuId);

    int menuId_ = 0;
    int deliveryMode_ = senderMessages;
    std::vector<Glow_MenuItem> items_;
    TSender<const GlowMenuMessage&> sender_;
};

}  // namespace glow

#endif
