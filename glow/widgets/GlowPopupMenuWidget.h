#ifndef GLOW_WIDGETS_GLOWPOPUPMENUWIDGET_H
#define GLOW_WIDGETS_GLOWPOPUPMENUWIDGET_H

#include <GL/freeglut.h>

#include <string>

#include "glow/core/TSender.h"
#include "glow/widgets/Glow_MenuWidget.h"

namespace glow {

class GlowMenu;
class GlowPopupMenuWidget;

// Sent when the user chooses an item, also the current one again.
struct GlowPopupMenuMessage {
    GlowPopupMenuWidget* widget;
    int item;
};

struct GlowPopupMenuParams : public GlowWidgetParams, public Glow_MenuButtonColors {
    // Copies defaults.
    GlowPopupMenuParams() : GlowPopupMenuParams(defaults) {}
    GlowPopupMenuParams(const GlowPopupMenuParams&) = default;
    GlowPopupMenuParams& operator=(const GlowPopupMenuParams&) = default;

    const char* items;  // item labels separated by tabs; null: none
    int initial;        // the first current item, brought into range
    const char* mark;   // put in front of the current item; null: none
    GlowFont font;
    int spacing;
    TReceiver<const GlowPopupMenuMessage&>* receiver;

    static GlowPopupMenuParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    constexpr explicit GlowPopupMenuParams(bool)
        : GlowWidgetParams{false, 0, 0, 200, 24, 0},
          Glow_MenuButtonColors(),
          items(nullptr),
          initial(-1),
          mark("> "),
          font(GLUT_BITMAP_HELVETICA_12),
          spacing(10),
          receiver(nullptr) {}
};

// A selector: the face shows the current item, its menu lists every item
// with a mark in front of the current one, and choosing an item makes it
// current and sends a message. Item i has the menu code i at all times.
// An index that names no item is ignored.
class GlowPopupMenuWidget : public Glow_MenuWidget {
public:
    GlowPopupMenuWidget();
    ~GlowPopupMenuWidget() override;

    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowPopupMenuParams& params);

    // Appends an item; the first one becomes current. Returns its index.
    int AddItem(const char* label);
    // The first remaining item becomes current (and marked) when the current
    // one goes.
    void RemoveItem(int index);
    void SetItemLabel(int index, const char* label);
    // Makes an item current without sending a message.
    void SetCurrentItem(int index);
    // Null: no mark.
    void SetMark(const char* mark);

    int NumItems() const;
    // Null for an index that names no item.
    const char* GetItemLabel(int index) const;
    // -1 exactly when there is no item.
    int GetCurrentItem() const { return current_; }
    // Null when there is no mark.
    const char* GetMark() const { return hasMark_ ? mark_.c_str() : nullptr; }
    // The widget's own menu (owned by it).
    GlowMenu* Menu() const { return menu_; }
    bool IsDown() const { return Face()->IsDown(); }
    TSender<const GlowPopupMenuMessage&>& Sender() { return sender_; }

    // The user chose item from the menu.
    virtual void OnItemChosen(int item);

protected:
    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;

private:
    bool ValidItem(int index) const { return index >= 0 && index < NumItems(); }
    // Shows the current item on the face and marks it.
    void ShowCurrent();

    std::string mark_;
    bool hasMark_ = false;
    GlowMenu* menu_ = nullptr;
    int current_ = -1;
    TSender<const GlowPopupMenuMessage&> sender_;
};

}  // namespace glow

#endif
