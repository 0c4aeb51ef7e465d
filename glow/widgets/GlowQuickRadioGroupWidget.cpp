#include "glow/widgets/GlowQuickRadioGroupWidget.h"

#include <algorithm>
#include <climits>

#include "glow/widgets/GlowQuickPalette.h"
#include "glow/widgets/GlowRadioButtonWidget.h"

namespace glow {

GlowQuickRadioGroupWidget::GlowQuickRadioGroupWidget(
    GlowWidget* parentWidget, TReceiver<const GlowRadioButtonMessage&>* receiver, int arrangement,
    int spacing) {
    GlowRadioGroupParams params;
    params.x = 0;
    params.y = 0;
    params.receiver = receiver;
    Init(parentWidget, params);
    arrangement_ = arrangement;
    spacing_ = spacing;
}

GlowQuickRadioGroupWidget::~GlowQuickRadioGroupWidget() = default;

GlowRadioButtonWidget* GlowQuickRadioGroupWidget::AddRadioButton(const char* label) {
    GlowRadioButtonParams params;
    params.x = 0;
    params.y = 0;
    params.text = label;
    return new GlowRadioButtonWidget(this, params);
}

int GlowQuickRadioGroupWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&,
                                          int&, int&, int&) {
    const bool isVertical = arrangement_ != GlowQuickPalette::horizontal;
    long long pos = 0;
    long long maxCross = 0;
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        auto* button = dynamic_cast<GlowRadioButtonWidget*>(c);
        if (button == nullptr || !button->IsVisible() || button->IsClosing()) continue;
        const int at = ClampToInt(pos);
        if (isVertical) {
            button->AutoPackWith(0, unspecifiedPos, at, unspecifiedPos, preferredSize | leftPos,
                                 preferredSize | topPos);
            maxCross = std::max<long long>(maxCross, button->Width());
            pos += static_cast<long long>(button->Height()) + spacing_;
        } else {
            button->AutoPackWith(at, unspecifiedPos, 0, unspecifiedPos, preferredSize | leftPos,
                                 preferredSize | topPos);
            maxCross = std::max<long long>(maxCross, button->Height());
            pos += static_cast<long long>(button->Width()) + spacing_;
        }
    }
    // An empty group (or a negative spacing) is never smaller than nothing.
    const long long along = std::max(0LL, pos - spacing_);
    const long long prefWidth = isVertical ? maxCross : along;
    const long long prefHeight = isVertical ? along : maxCross;

    const bool hGiven = hSize != unspecifiedSize;
    const bool vGiven = vSize != unspecifiedSize;
    long long width, height;
    if (hGiven && hSize < prefWidth) return 1;
    if (!SizeForRule(hOption, hGiven, hSize, prefWidth, Width(), width)) return 1;
    if (vGiven && vSize < prefHeight) return 2;
    if (!SizeForRule(vOption, vGiven, vSize, prefHeight, Height(), height)) return 2;
    Reshape(static_cast<int>(std::min<long long>(width, INT_MAX)),
            static_cast<int>(std::min<long long>(height, INT_MAX)));
    return 0;
}

}  // namespace glow
