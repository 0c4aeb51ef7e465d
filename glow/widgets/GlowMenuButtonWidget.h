#ifndef GLOW_WIDGETS_GLOWMENUBUTTONWIDGET_H
#define GLOW_WIDGETS_GLOWMENUBUTTONWIDGET_H

#include <GL/freeglut.h>

#include "glow/widgets/Glow_MenuWidget.h"

namespace glow {

class GlowMenu;

struct GlowMenuButtonParams : public GlowWidgetParams, public Glow_MenuButtonColors {
    // Copies defaults.
    GlowMenuButtonParams() : GlowMenuButtonParams(defaults) {}
    GlowMenuButtonParams(const GlowMenuButtonParams&) = default;
    GlowMenuButtonParams& operator=(const GlowMenuButtonParams&) = default;

    GlowMenu* menu;    // the client's; not owned
    const char* text;  // null is an empty text
    GlowFont font;
    int iconType;  // GlowMenuButtonWidget::noIcon, menuIcon or arrowIcon
    int spacing;   // pixels between the edges and the label

    static GlowMenuButtonParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    constexpr explicit GlowMenuButtonParams(bool)
        : GlowWidgetParams{false, 0, 0, 100, 25, 0},
          Glow_MenuButtonColors(),
          menu(nullptr),
          text(""),
          font(GLUT_BITMAP_HELVETICA_12),
          iconType(Glow_MenuButtonSubwindow::menuIcon),
          spacing(10) {}
};

// A raised box with a label and an optional icon; pressing any mouse button
// on it pops up the client's menu, whose selections reach the client through
// the menu itself. A menu deleted by the client leaves the button without a
// menu.
class GlowMenuButtonWidget : public Glow_MenuWidget {
public:
    enum {
        noIcon = Glow_MenuButtonSubwindow::noIcon,
        menuIcon = Glow_MenuButtonSubwindow::menuIcon,
        arrowIcon = Glow_MenuButtonSubwindow::arrowIcon
    };

    GlowMenuButtonWidget();
    GlowMenuButtonWidget(GlowWidget* parentWidget, const GlowMenuButtonParams& params);
    ~GlowMenuButtonWidget() override;

    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowMenuButtonParams& params);

    // The menu the mouse buttons open, or null.
    GlowMenu* GetMenu() const;
    // Null is an empty text. The size changes only at the next auto-pack.
    void SetText(const char* text) { Face()->SetText(text); }
    const char* GetText() const { return Face()->GetText(); }
    bool IsDown() const { return Face()->IsDown(); }

protected:
    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
};

}  // namespace glow

#endif
