#include "glow/widgets/GlowLabeledSliderWidget.h"

#include <algorithm>

#include "glow/widgets/GlowWidgetLabelHelper.h"

namespace glow {

GlowLabeledSliderParams GlowLabeledSliderParams::defaults(true);

namespace {

// The text of a label made with a format: null without one.
const char* LabelText(const Glow_NumberFormat& format, const std::string& text) {
    return format.HasFormat() ? text.c_str() : nullptr;
}

}  // namespace

GlowLabeledSliderWidget::GlowLabeledSliderWidget() = default;

GlowLabeledSliderWidget::GlowLabeledSliderWidget(GlowWidget* parentWidget,
                                                 const GlowLabeledSliderParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

// The labels go with the other children.
GlowLabeledSliderWidget::~GlowLabeledSliderWidget() = default;

void GlowLabeledSliderWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                                   const GlowLabeledSliderParams& params) {
    GlowSliderWidget::Init(root, parentWidget, params);
    labelSpacing_ = params.labelSpacing;
    labelPosition_ = params.labelPosition;
    labelWidth_ = params.labelWidth;
    labelHeight_ = params.labelHeight;
    shownValue_ = GetValue();

    GlowLabelParams label;
    labelFormat_ = Glow_NumberFormat(params.labelFormat);
    std::string text = labelFormat_.Apply(shownValue_);
    label.text = LabelText(labelFormat_, text);
    label.font = params.labelFont;
    label.textColor = params.labelTextColor;
    label.inactiveTextColor = params.labelInactiveTextColor;
    valueLabel_ = new GlowWidgetLabelWidget(this, label);

    shownMinimum_ = GetMinimum();
    shownMaximum_ = GetMaximum();
    minMaxSize_ = params.minMaxSize;
    minMaxFormat_ = Glow_NumberFormat(params.minMaxFormat);
    label.font = params.minMaxFont;
    label.textColor = params.minMaxTextColor;
    label.inactiveTextColor = params.minMaxInactiveTextColor;
    text = minMaxFormat_.Apply(shownMinimum_);
    label.text = LabelText(minMaxFormat_, text);
    minLabel_ = new GlowWidgetLabelWidget(this, label);
    text = minMaxFormat_.Apply(shownMaximum_);
    label.text = LabelText(minMaxFormat_, text);
    maxLabel_ = new GlowWidgetLabelWidget(this, label);

    SizeMinMaxLabels();
    PlaceMinMaxLabels();
    PlaceValueLabel();
}

void GlowLabeledSliderWidget::SetLabelText(GlowWidgetLabelWidget* label, const std::string& text) {
    label->SetRefreshEnabled(false);
    label->SetText(text.c_str());
    label->SetRefreshEnabled(true);
}

void GlowLabeledSliderWidget::SizeMinMaxLabels() {
    for (GlowWidgetLabelWidget* label : {minLabel_, maxLabel_}) {
        int w, h;
        label->GetPreferredSize(w, h);
        label->Reshape(w, h);
    }
}

void GlowLabeledSliderWidget::PlaceMinMaxLabels() {
    const int W = Width();
    const int H = Height();
    const int m = minMaxSize_;
    const bool flipped = (GetOptions() & ticksFlipped) != 0;
    GlowWidgetLabelWidget* start = minLabel_;
    GlowWidgetLabelWidget* end = maxLabel_;
    if ((GetOptions() & reversed) != 0) std::swap(start, end);
    // Each end box is as long as the thumb: a label no larger is centred on
    // the thumb's end position, a larger one aligned with the slider's end.
    if (IsHorizontal()) {
        const int top = flipped ? -m : H;
        const int bottom = flipped ? 0 : H + m;
        const int across = flipped ? bottomPos : topPos;
        start->AutoPackWith(0, H, top, bottom, start->Width() > H ? leftPos : centerPos, across);
        end->AutoPackWith(W - H, W, top, bottom, end->Width() > H ? rightPos : centerPos, across);
    } else {
        const int left = flipped ? -m : W;
        const int right = flipped ? 0 : W + m;
        const int across = flipped ? rightPos : leftPos;
        start->AutoPackWith(left, right, 0, W, across, start->Height() > W ? topPos : centerPos);
        end->AutoPackWith(left, right, H - W, H, across, end->Height() > W ? bottomPos : centerPos);
    }
}

void GlowLabeledSliderWidget::PlaceValueLabel() {
    const int W = Width();
    const int H = Height();
    // The room that the end labels take on each side.
    int eL = 0, eR = 0, eT = 0, eB = 0;
    if (minMaxFormat_.HasFormat()) {
        const bool flipped = (GetOptions() & ticksFlipped) != 0;
        int& band = IsHorizontal() ? (flipped ? eT : eB) : (flipped ? eL : eR);
        band = minMaxSize_;
    }
    const int lw = labelWidth_;
    const int lh = labelHeight_;
    const int sp = labelSpacing_;
    switch (labelPosition_) {
        case GlowWidgetLabelHelper::leftLabel:
            valueLabel_->AutoPackWith(-eL - lw - sp, -eL - sp, (H - lh) / 2, (H + lh) / 2,
                                      expandPreferredSize | rightPos,
                                      expandPreferredSize | centerPos);
            break;
        case GlowWidgetLabelHelper::rightLabel:
            valueLabel_->AutoPackWith(W + eR + sp, W + eR + sp + lw, (H - lh) / 2, (H + lh) / 2,
                                      expandPreferredSize | leftPos,
                                      expandPreferredSize | centerPos);
            break;
        case GlowWidgetLabelHelper::topLabel:
            valueLabel_->AutoPackWith((W - lw) / 2, (W + lw) / 2, -eT - lh - sp, -eT - sp,
                                      expandPreferredSize | centerPos,
                                      expandPreferredSize | bottomPos);
            break;
        case GlowWidgetLabelHelper::bottomLabel:
            valueLabel_->AutoPackWith((W - lw) / 2, (W + lw) / 2, H + eB + sp, H + eB + sp + lh,
                                      expandPreferredSize | centerPos,
                                      expandPreferredSize | topPos);
            break;
        default:
            break;
    }
}

bool GlowLabeledSliderWidget::UpdateMinMaxLabels() {
    bool changed = false;
    if (GetMinimum() != shownMinimum_) {
        shownMinimum_ = GetMinimum();
        if (minMaxFormat_.HasFormat()) {
            SetLabelText(minLabel_, minMaxFormat_.Apply(shownMinimum_));
            changed = true;
        }
    }
    if (GetMaximum() != shownMaximum_) {
        shownMaximum_ = GetMaximum();
        if (minMaxFormat_.HasFormat()) {
            SetLabelText(maxLabel_, minMaxFormat_.Apply(shownMaximum_));
            changed = true;
        }
    }
    return changed;
}

int GlowLabeledSliderWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption,
                                        int& leftMargin, int& rightMargin, int& topMargin,
                                        int& bottomMargin) {
    UpdateMinMaxLabels();
    SizeMinMaxLabels();
    const bool flipped = (GetOptions() & ticksFlipped) != 0;
    if (minMaxFormat_.HasFormat()) {
        // The end labels' band is a margin, not taken from the given size.
        if (IsHorizontal()) {
            minMaxSize_ = std::max(minLabel_->Height(), maxLabel_->Height());
            (flipped ? topMargin : bottomMargin) = minMaxSize_;
        } else {
            minMaxSize_ = std::max(minLabel_->Width(), maxLabel_->Width());
            (flipped ? leftMargin : rightMargin) = minMaxSize_;
        }
    }
    if (labelFormat_.HasFormat()) {
        valueLabel_->GetPreferredSize(labelWidth_, labelHeight_);
        const int W = Width();
        const int H = Height();
        const bool beside = labelPosition_ == GlowWidgetLabelHelper::leftLabel ||
                            labelPosition_ == GlowWidgetLabelHelper::rightLabel;
        const bool stacked = labelPosition_ == GlowWidgetLabelHelper::topLabel ||
                             labelPosition_ == GlowWidgetLabelHelper::bottomLabel;
        const int result = GlowWidgetLabelHelper::TakeLabelRoom(
            labelPosition_, labelWidth_, labelHeight_, labelSpacing_, W, H, hSize, vSize);
        if (result != 0) return result;
        switch (labelPosition_) {
            case GlowWidgetLabelHelper::leftLabel:
                leftMargin += labelWidth_ + labelSpacing_;
                break;
            case GlowWidgetLabelHelper::rightLabel:
                rightMargin += labelWidth_ + labelSpacing_;
                break;
            case GlowWidgetLabelHelper::topLabel:
                topMargin += labelHeight_ + labelSpacing_;
                break;
            case GlowWidgetLabelHelper::bottomLabel:
                bottomMargin += labelHeight_ + labelSpacing_;
                break;
            default:
                break;
        }
        // A label larger than the slider across centres the slider on it.
        if (beside && labelHeight_ > H) {
            topMargin = std::max(topMargin, (labelHeight_ - H) / 2);
            bottomMargin = std::max(bottomMargin, (labelHeight_ - H) / 2);
        }
        if (stacked && labelWidth_ > W) {
            leftMargin = std::max(leftMargin, (labelWidth_ - W) / 2);
            rightMargin = std::max(rightMargin, (labelWidth_ - W) / 2);
        }
    }
    const int result = GlowSliderWidget::OnAutoPack(hSize, vSize, hOption, vOption, leftMargin,
                                                    rightMargin, topMargin, bottomMargin);
    if (result != 0) return result;
    PlaceMinMaxLabels();
    PlaceValueLabel();
    return 0;
}

void GlowLabeledSliderWidget::OnWidgetPaint() {
    if (GetValue() != shownValue_) {
        shownValue_ = GetValue();
        if (labelFormat_.HasFormat()) SetLabelText(valueLabel_, labelFormat_.Apply(shownValue_));
    }
    if (UpdateMinMaxLabels()) {
        SizeMinMaxLabels();
        PlaceMinMaxLabels();
    }
    GlowSliderWidget::OnWidgetPaint();
}

}  // namespace glow
