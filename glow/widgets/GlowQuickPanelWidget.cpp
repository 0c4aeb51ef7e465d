#include "glow/widgets/GlowQuickPanelWidget.h"

#include <algorithm>

#include "glow/widgets/GlowLabelWidget.h"

namespace glow {

namespace {

int Inherit(int value, GlowQuickPanelWidget* parent, int (GlowQuickPalette::*get)() const,
            int fallback) {
    if (value != -1) return value;
    return parent != nullptr ? (parent->*get)() : fallback;
}

// A child that is laid out: a visible widget that is not being deleted.
GlowWidget* TakingPart(GlowComponent* c) {
    auto* w = dynamic_cast<GlowWidget*>(c);
    return w != nullptr && w->IsVisible() && !w->IsClosing() ? w : nullptr;
}

}  // namespace

GlowQuickPanelWidget::GlowQuickPanelWidget(GlowWidgetRoot* root, GlowQuickPanelWidget* parentWidget,
                                           int style, const char* title, int arrangement,
                                           int alignment, int spacing, int hMargin, int vMargin) {
    GlowPanelParams params;
    params.clipping = false;
    params.style = style;
    Init(root, parentWidget, params);
    panel = this;
    arrangement_ =
        Inherit(arrangement, parentWidget, &GlowQuickPalette::GetArrangement, defaultArrangement);
    alignment_ =
        Inherit(alignment, parentWidget, &GlowQuickPalette::GetAlignment, defaultAlignment);
    spacing_ = Inherit(spacing, parentWidget, &GlowQuickPalette::GetSpacing, defaultSpacing);
    hMargin_ = Inherit(hMargin, parentWidget, &GlowQuickPalette::GetHMargin, defaultHMargin);
    vMargin_ = Inherit(vMargin, parentWidget, &GlowQuickPalette::GetVMargin, defaultVMargin);
    if (title != nullptr && title[0] != '\0') {
        GlowLabelParams labelParams;
        labelParams.opaque = true;
        labelParams.hMargin = 3;
        labelParams.x = 0;
        labelParams.y = 0;
        labelParams.text = title;
        titleLabel_ = new GlowLabelWidget(static_cast<GlowWidget*>(this), labelParams);
    }
}

GlowQuickPanelWidget::~GlowQuickPanelWidget() {
    // The title label goes with the other children.
    titleLabel_ = nullptr;
}

int GlowQuickPanelWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&,
                                     int& topMargin, int&) {
    const Stack stack = StackChildren(topMargin);

    // Preferred size; an empty panel (or negative settings) never below 0.
    const long long spacing = spacing_;
    const long long hMargin = hMargin_;
    const long long vMargin = vMargin_;
    long long prefWidth, prefHeight;
    if (IsVertical()) {
        prefWidth = std::max(stack.minWidth, stack.maxCross + 2 * hMargin);
        prefHeight = stack.pos - spacing + vMargin;
    } else {
        prefWidth = std::max(stack.minWidth, stack.pos - spacing + hMargin);
        prefHeight = stack.maxCross + 2 * vMargin;
    }
    prefWidth = std::max(0LL, prefWidth);
    prefHeight = std::max(0LL, prefHeight);

    const bool hGiven = hSize != unspecifiedSize;
    const bool vGiven = vSize != unspecifiedSize;
    long long width, height;
    if (!SizeForRule(hOption, hGiven, hSize, prefWidth, Width(), width)) return 1;
    if (width < prefWidth) return 1;
    // A given height includes the title's room above the panel.
    const long long offeredHeight = vGiven ? static_cast<long long>(vSize) - topMargin : 0;
    if (!SizeForRule(vOption, vGiven, offeredHeight, prefHeight, Height(), height)) return 2;
    if (height < prefHeight) return 2;

    AlignChildren(IsVertical() ? width - 2 * hMargin : height - 2 * vMargin);
    Reshape(ClampToInt(width), ClampToInt(height));
    return 0;
}

GlowQuickPanelWidget::Stack GlowQuickPanelWidget::StackChildren(int& topMargin) {
    Stack stack;
    stack.pos = IsVertical() ? vMargin_ : hMargin_;
    stack.minWidth = stack.pos;
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        GlowWidget* child = TakingPart(c);
        if (child == nullptr) continue;
        if (child == titleLabel_) {
            topMargin = PlaceTitle(stack);
        } else {
            StackChild(child, stack);
        }
    }
    return stack;
}

int GlowQuickPanelWidget::PlaceTitle(Stack& stack) {
    int topMargin;
    if (GetStyle() == GlowPanelParams::etchedStyle) {
        // Across the top edge; a column starts below its lower half.
        titleLabel_->AutoPackWith(hMargin_, unspecifiedPos, 0, unspecifiedPos,
                                  preferredSize | leftPos, preferredSize | centerPos);
        topMargin = titleLabel_->Height() / 2;
        if (IsVertical()) stack.pos += titleLabel_->Height() / 2;
    } else {
        // Wholly above the panel.
        titleLabel_->AutoPackWith(hMargin_, unspecifiedPos, unspecifiedPos, 0,
                                  preferredSize | leftPos, preferredSize | bottomPos);
        topMargin = titleLabel_->Height();
    }
    stack.minWidth = titleLabel_->Width() + 2 * static_cast<long long>(hMargin_);
    return topMargin;
}

void GlowQuickPanelWidget::StackChild(GlowWidget* child, Stack& stack) const {
    const long long spacing = spacing_;
    int l = 0, r = 0, t = 0, b = 0;
    if (IsVertical()) {
        child->AutoPack(hMargin_, unspecifiedPos, ClampToInt(stack.pos), unspecifiedPos,
                        preferredSize | leftPos, preferredSize | topPos, l, r, t, b);
        stack.maxCross = std::max(stack.maxCross, static_cast<long long>(child->Width()) + l + r);
        stack.pos += static_cast<long long>(child->Height()) + t + b + spacing;
    } else {
        child->AutoPack(ClampToInt(stack.pos), unspecifiedPos, vMargin_, unspecifiedPos,
                        preferredSize | leftPos, preferredSize | topPos, l, r, t, b);
        stack.maxCross = std::max(stack.maxCross, static_cast<long long>(child->Height()) + t + b);
        stack.pos += static_cast<long long>(child->Width()) + l + r + spacing;
    }
}

void GlowQuickPanelWidget::AlignChildren(long long cross) const {
    const int rule = (alignment_ & alignExpand) != 0 ? expandPreferredSize : preferredSize;
    const int align = alignment_ & 3;
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        GlowWidget* child = TakingPart(c);
        if (child == nullptr || child == titleLabel_) continue;
        if (IsVertical()) {
            const int place = align == alignNear     ? leftPos
                              : align == alignCenter ? centerPos
                                                     : rightPos;
            child->AutoPackWith(hMargin_, ClampToInt(hMargin_ + cross), unspecifiedPos,
                                unspecifiedPos, rule | place, noReshape);
        } else {
            const int place = align == alignFar      ? bottomPos
                              : align == alignCenter ? centerPos
                                                     : topPos;
            child->AutoPackWith(unspecifiedPos, unspecifiedPos, vMargin_,
                                ClampToInt(vMargin_ + cross), noReshape, rule | place);
        }
    }
}

}  // namespace glow
