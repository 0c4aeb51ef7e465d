#include "glow/widgets/GlowSeparatorWidget.h"

namespace glow {

GlowSeparatorParams GlowSeparatorParams::defaults(true);

GlowSeparatorWidget::GlowSeparatorWidget(GlowWidget* parentWidget,
                                         const GlowSeparatorParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

GlowSeparatorWidget::GlowSeparatorWidget(GlowWidgetRoot* root, const GlowSeparatorParams& params) {
    Init(root, nullptr, params);
}

GlowSeparatorWidget::~GlowSeparatorWidget() = default;

void GlowSeparatorWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                               const GlowSeparatorParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    style_ = params.style;
    lightColor_ = params.lightColor;
    darkColor_ = params.darkColor;
}

int GlowSeparatorWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&,
                                    int&, int&) {
    const bool hGiven = hSize != unspecifiedSize;
    const bool vGiven = vSize != unspecifiedSize;
    if (hGiven && hSize < 2) return 1;
    if (vGiven && vSize < 2) return 2;
    const bool vertical = Width() <= Height();
    // The thickness axis: forced takes the given size, preferred and expand
    // a thickness of 4. The length axis takes the given size under any rule.
    auto length = [](int given, bool isGiven, int rule, int current) {
        if (rule == forcedSize && !isGiven) return -1;
        return rule != noReshape && isGiven ? given : current;
    };
    int newWidth, newHeight;
    if (vertical) {
        if (!SizeForRule(NoGrowthRule(hOption), hSize, 4, Width(), newWidth)) return 1;
        newHeight = length(vSize, vGiven, vOption, Height());
        if (newHeight < 0) return 2;
    } else {
        if (!SizeForRule(NoGrowthRule(vOption), vSize, 4, Height(), newHeight)) return 2;
        newWidth = length(hSize, hGiven, hOption, Width());
        if (newWidth < 0) return 1;
    }
    Reshape(newWidth, newHeight);
    return 0;
}

void GlowSeparatorWidget::OnWidgetPaint() {
    if (style_ == GlowSeparatorParams::transparentStyle) return;
    const GlowColor& first = style_ == GlowSeparatorParams::ridgeStyle ? lightColor_ : darkColor_;
    const GlowColor& second = style_ == GlowSeparatorParams::grooveStyle ? lightColor_ : darkColor_;
    const int w = Width();
    const int h = Height();
    // The pair sits on the two pixels around the centre.
    if (w <= h) {
        first.Apply();
        DrawPixelLine(w / 2 - 1, 0, w / 2 - 1, h - 1);
        second.Apply();
        DrawPixelLine(w / 2, 0, w / 2, h - 1);
    } else {
        first.Apply();
        DrawPixelLine(0, h / 2 - 1, w - 1, h / 2 - 1);
        second.Apply();
        DrawPixelLine(0, h / 2, w - 1, h / 2);
    }
}

}  // namespace glow
