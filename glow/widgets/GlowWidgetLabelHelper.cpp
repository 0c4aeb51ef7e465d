#include "glow/widgets/GlowWidgetLabelHelper.h"

#include <algorithm>

namespace glow {

GlowWidgetLabelWidget::GlowWidgetLabelWidget(GlowWidget* parentWidget,
                                             const GlowLabelParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

GlowWidgetLabelWidget::~GlowWidgetLabelWidget() = default;

int GlowWidgetLabelWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&,
                                      int&, int&) {
    const bool hGiven = hSize != unspecifiedSize;
    const bool vGiven = vSize != unspecifiedSize;
    if (hGiven && hSize < 2) return 1;
    if (vGiven && vSize < 2) return 2;
    int prefWidth, prefHeight;
    GetPreferredSize(prefWidth, prefHeight);
    if (hGiven && hSize < prefWidth) prefWidth = hSize;
    if (vGiven && vSize < prefHeight) prefHeight = vSize;
    int newWidth, newHeight;
    if (!SizeForRule(hOption, hSize, prefWidth, Width(), newWidth)) return 1;
    if (!SizeForRule(vOption, vSize, prefHeight, Height(), newHeight)) return 2;
    Reshape(newWidth, newHeight);
    return 0;
}

void GlowWidgetLabelHelper::InitLabel(GlowWidget* widget, int position, int labelWidth,
                                      int labelHeight, int spacing, const char* text, GlowFont font,
                                      GlowColor textColor, GlowColor inactiveTextColor) {
    widget_ = widget;
    position_ = position;
    labelWidth_ = labelWidth;
    labelHeight_ = labelHeight;
    spacing_ = spacing;
    GlowLabelParams params;
    params.text = text;
    params.font = font;
    params.textColor = textColor;
    params.inactiveTextColor = inactiveTextColor;
    label_ = new GlowWidgetLabelWidget(widget, params);
    PlaceLabel();
}

int GlowWidgetLabelHelper::TakeLabelRoom(int position, int labelWidth, int labelHeight, int spacing,
                                         int width, int height, int& hSize, int& vSize) {
    const bool beside = position == leftLabel || position == rightLabel;
    const bool stacked = position == topLabel || position == bottomLabel;
    if (hSize != unspecifiedSize) {
        long long size = hSize;
        if (beside) size -= static_cast<long long>(labelWidth) + spacing;
        if (stacked && labelWidth > width) size -= labelWidth - width;
        if (size < 2) return 1;
        hSize = static_cast<int>(size);
    }
    if (vSize != unspecifiedSize) {
        long long size = vSize;
        if (stacked) size -= static_cast<long long>(labelHeight) + spacing;
        if (beside && labelHeight > height) size -= labelHeight - height;
        if (size < 2) return 2;
        vSize = static_cast<int>(size);
    }
    return 0;
}

int GlowWidgetLabelHelper::ReserveLabelSpace(int& hSize, int& vSize, int& leftMargin,
                                             int& rightMargin, int& topMargin, int& bottomMargin) {
    // A label without text (null is empty) takes no room.
    if (label_ == nullptr || label_->GetText()[0] == '\0') return 0;
    label_->GetPreferredSize(labelWidth_, labelHeight_);
    const int w = widget_->Width();
    const int h = widget_->Height();
    const int result =
        TakeLabelRoom(position_, labelWidth_, labelHeight_, spacing_, w, h, hSize, vSize);
    if (result != 0) return result;
    const bool beside = position_ == leftLabel || position_ == rightLabel;
    const bool stacked = position_ == topLabel || position_ == bottomLabel;
    switch (position_) {
        case leftLabel:
            leftMargin = std::max(leftMargin, labelWidth_ + spacing_);
            break;
        case rightLabel:
            rightMargin = std::max(rightMargin, labelWidth_ + spacing_);
            break;
        case topLabel:
            topMargin = std::max(topMargin, labelHeight_ + spacing_);
            break;
        case bottomLabel:
            bottomMargin = std::max(bottomMargin, labelHeight_ + spacing_);
            break;
        default:
            break;
    }
    if (beside && labelHeight_ > h) {
        topMargin = std::max(topMargin, (labelHeight_ - h) / 2);
        bottomMargin = std::max(bottomMargin, (labelHeight_ - h) / 2);
    }
    if (stacked && labelWidth_ > w) rightMargin = std::max(rightMargin, labelWidth_ - w);
    return 0;
}

void GlowWidgetLabelHelper::PlaceLabel() {
    if (label_ == nullptr) return;
    const int w = widget_->Width();
    const int h = widget_->Height();
    const int lw = labelWidth_;
    const int lh = labelHeight_;
    const int sp = spacing_;
    switch (position_) {
        case leftLabel:
            label_->AutoPackWith(-lw - sp, -sp, (h - lh - 1) / 2, (h + lh + 1) / 2,
                                 preferredSize | rightPos, preferredSize | centerPos);
            break;
        case rightLabel:
            label_->AutoPackWith(w + sp, w + sp + lw, (h - lh - 1) / 2, (h + lh + 1) / 2,
                                 preferredSize | leftPos, preferredSize | centerPos);
            break;
        case topLabel:
            label_->AutoPackWith(0, w, -lh - sp, -sp, preferredSize | leftPos,
                                 preferredSize | bottomPos);
            break;
        case bottomLabel:
            label_->AutoPackWith(0, w, h + sp, h + sp + lh, preferredSize | leftPos,
                                 preferredSize | topPos);
            break;
        default:
            break;
    }
}

}  // namespace glow
