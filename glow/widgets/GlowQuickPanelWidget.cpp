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
    const bool isVertical = arrangement_ != horizontal;
    const long long spacing = spacing_;
    const long long hMargin = hMargin_;
    const long long vMargin = vMargin_;
    long long pos = isVertical ? vMargin : hMargin;
    long long maxCross = 0;
    long long minWidth = pos;

    // First pass: every child at its preferred size, one after the other.
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        GlowWidget* child = TakingPart(c);
        if (child == nullptr) continue;
        if (child == titleLabel_) {
            if (GetStyle() == GlowPanelParams::etchedStyle) {
                child->AutoPackWith(hMargin_, unspecifiedPos, 0, unspecifiedPos,
                                    preferredSize | leftPos, preferredSize | centerPos);
                topMargin = child->Height() / 2;
                if (isVertical) pos += child->Height() / 2;
            } else {
                child->AutoPackWith(hMargin_, unspecifiedPos, unspecifiedPos, 0,
                                    preferredSize | leftPos, preferredSize | bottomPos);
                topMargin = child->Height();
            }
            minWidth = child->Width() + 2 * hMargin;
            continue;
        }
        int l = 0, r = 0, t = 0, b = 0;
        if (isVertical) {
            child->AutoPack(hMargin_, unspecifiedPos, ClampToInt(pos), unspecifiedPos,
                            preferredSize | leftPos, preferredSize | topPos, l, r, t, b);
            maxCross = std::max(maxCross, static_cast<long long>(child->Width()) + l + r);
            pos += static_cast<long long>(child->Height()) + t + b + spacing;
        } else {
            child->AutoPack(ClampToInt(pos), unspecifiedPos, vMargin_, unspecifiedPos,
                            preferredSize | leftPos, preferredSize | topPos, l, r, t, b);
            maxCross = std::max(maxCross, static_cast<long long>(child->Height()) + t + b);
            pos += static_cast<long long>(child->Width()) + l + r + spacing;
        }
    }

    // Preferred size; an empty panel (or negative settings) never below 0.
    long long prefWidth, prefHeight;
    if (isVertical) {
        prefWidth = std::max(minWidth, maxCross + 2 * hMargin);
        prefHeight = pos - spacing + vMargin;
    } else {
        prefWidth = std::max(minWidth, pos - spacing + hMargin);
        prefHeight = maxCross + 2 * vMargin;
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

    // Second pass: every child aligned across the axis.
    const long long cross = isVertical ? width - 2 * hMargin : height - 2 * vMargin;
    const int rule = (alignment_ & alignExpand) != 0 ? expandPreferredSize : preferredSize;
    const int align = alignment_ & 3;
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        GlowWidget* child = TakingPart(c);
        if (child == nullptr || child == titleLabel_) continue;
        if (isVertical) {
            const int place = align == alignNear     ? leftPos
                              : align == alignCenter ? centerPos
                                                     : rightPos;
            child->AutoPackWith(hMargin_, ClampToInt(hMargin + cross), unspecifiedPos,
                                unspecifiedPos, rule | place, noReshape);
        } else {
            const int place = align == alignFar      ? bottomPos
                              : align == alignCenter ? centerPos
                                                     : topPos;
            child->AutoPackWith(unspecifiedPos, unspecifiedPos, vMargin_,
                                ClampToInt(vMargin + cross), noReshape, rule | place);
        }
    }

    Reshape(ClampToInt(width), ClampToInt(height));
    return 0;
}

}  // namespace glow
