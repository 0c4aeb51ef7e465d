#include "glow/widgets/GlowMenuButtonWidget.h"

namespace glow {

GlowMenuButtonParams GlowMenuButtonParams::defaults(true);

GlowMenuButtonWidget::GlowMenuButtonWidget() = default;

GlowMenuButtonWidget::GlowMenuButtonWidget(GlowWidget* parentWidget,
                                           const GlowMenuButtonParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

// The menu is the client's: the button leaves it alone.
GlowMenuButtonWidget::~GlowMenuButtonWidget() = default;

void GlowMenuButtonWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                                const GlowMenuButtonParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    AttachFace(new Glow_MenuButtonSubwindow(this, params.text, params.font, params.iconType,
                                            params.spacing),
               params);
    if (params.menu != nullptr) Face()->SetMenu(params.menu);
}

GlowMenu* GlowMenuButtonWidget::GetMenu() const {
    // The face's own record, which a deleted menu clears.
    return Face()->ButtonMenu(0);
}

int GlowMenuButtonWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&,
                                     int&, int&) {
    int prefWidth, prefHeight;
    Face()->GetPreferredSize(prefWidth, prefHeight, nullptr);
    return PackFace(prefWidth, prefHeight, hSize, vSize, hOption, vOption);
}

}  // namespace glow
