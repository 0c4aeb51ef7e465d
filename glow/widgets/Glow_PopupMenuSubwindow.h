#ifndef GLOW_WIDGETS_GLOW_POPUPMENUSUBWINDOW_H
#define GLOW_WIDGETS_GLOW_POPUPMENUSUBWINDOW_H

#include "glow/widgets/Glow_MenuButtonSubwindow.h"

namespace glow {

class GlowPopupMenuWidget;

// The face of a pop-up menu widget: hands the menu's selections to its
// owner and repaints the owner (a labelled pop-up's label) with the face.
class Glow_PopupMenuSubwindow : public Glow_MenuButtonSubwindow {
public:
    Glow_PopupMenuSubwindow(GlowPopupMenuWidget* owner, const char* label, GlowFont font,
                            int iconType, int spacing);
    ~Glow_PopupMenuSubwindow() override;

    void OnMenuInUse(int x, int y) override;
    void OnMenuNotInUse() override;
    void OnMenuSelection(const GlowMenuMessage& message) override;

private:
    GlowPopupMenuWidget* owner_;
};

}  // namespace glow

#endif
