#include "glow/widgets/GlowPanelWidget.h"

#include <GL/freeglut.h>

namespace glow {

GlowPanelParams GlowPanelParams::defaults(true);

GlowPanelWidget::GlowPanelWidget(GlowWidget* parentWidget, const GlowPanelParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

GlowPanelWidget::GlowPanelWidget(GlowWidgetRoot* root, const GlowPanelParams& params) {
    Init(root, nullptr, params);
}

GlowPanelWidget::~GlowPanelWidget() = default;

void GlowPanelWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                           const GlowPanelParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    style_ = params.style;
    backColor_ = params.backColor;
    lightBevelColor_ = params.lightBevelColor;
    darkBevelColor_ = params.darkBevelColor;
}

namespace {

// One axis of a panel's size to fit: its preferred size is its current size.
bool PanelAxis(int given, int rule, int current, int& result) {
    result = current;
    if (rule == preferredSize || rule == expandPreferredSize) {
        return given == unspecifiedSize || given >= current;
    }
    if (rule == forcedSize) {
        if (given == unspecifiedSize || given < 4) return false;
        result = given;
    }
    return true;
}

}  // namespace

int GlowPanelWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&, int&,
                                int&) {
    int newWidth, newHeight;
    if (!PanelAxis(hSize, hOption, Width(), newWidth)) return 1;
    if (!PanelAxis(vSize, vOption, Height(), newHeight)) return 2;
    Reshape(newWidth, newHeight);
    return 0;
}

void GlowPanelWidget::OnWidgetPaint() {
    if (style_ == GlowPanelParams::transparentStyle) return;
    backColor_.Apply();
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    if (style_ == GlowPanelParams::etchedStyle) {
        DrawEtchedFrame(lightBevelColor_, darkBevelColor_);
    } else if (style_ == GlowPanelParams::raisedStyle || style_ == GlowPanelParams::loweredStyle) {
        const bool raised = style_ == GlowPanelParams::raisedStyle;
        DrawBevel(1.0f, raised ? lightBevelColor_ : darkBevelColor_,
                  raised ? darkBevelColor_ : lightBevelColor_);
    }
}

}  // namespace glow
