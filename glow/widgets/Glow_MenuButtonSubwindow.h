#ifndef GLOW_WIDGETS_GLOW_MENUBUTTONSUBWINDOW_H
#define GLOW_WIDGETS_GLOW_MENUBUTTONSUBWINDOW_H

#include <string>

#include "glow/core/GlowFont.h"
#include "glow/widgets/GlowSubwindowInWidget.h"
#include "glow/widgets/Glow_MenuButtonColors.h"

namespace glow {

class GlowMenu;

// The face of a menu button or a pop-up menu: a raised box with a label
// and an icon, pressed while its menu is shown. Every mouse button of the
// subwindow opens the menu.
class Glow_MenuButtonSubwindow : public GlowSubwindowInWidget {
public:
    enum { noIcon = 0, menuIcon = 1, arrowIcon = 2 };

    // Over the whole of owner.
    Glow_MenuButtonSubwindow(GlowWidget* owner, const char* label, GlowFont font, int iconType,
                             int spacing);
    ~Glow_MenuButtonSubwindow() override;

    // Null is an empty label.
    void SetText(const char* label);
    const char* GetText() const { return label_.c_str(); }
    // Null detaches the menu.
    void SetMenu(GlowMenu* menu);
    void SetColors(const Glow_MenuButtonColors& colors) { colors_ = colors; }
    const Glow_MenuButtonColors& Colors() const { return colors_; }
    int IconType() const { return iconType_; }
    bool IsDown() const { return down_; }

    // The face's preferred size with text as its label (null: the label
    // it shows).
    void GetPreferredSize(int& width, int& height, const char* text) const;

    void OnMenuInUse(int x, int y) override;
    void OnMenuNotInUse() override;

protected:
    // Paints the face over the cleared subwindow.
    void OnEndPaint() override;

private:
    void PaintIcon(int width, int height, const GlowColor& color) const;

    std::string label_;
    GlowFont font_;
    int iconType_ = noIcon;
    int labelWidth_ = 0;
    int spacing_ = 0;
    bool down_ = false;
    // Black until the owner copies its parameters' colours in.
    Glow_MenuButtonColors colors_{Glow_WidgetColors::black};
};

}  // namespace glow

#endif
