#include "glow/widgets/GlowQuickPalette.h"

#include "glow/widgets/GlowCheckBoxWidget.h"
#include "glow/widgets/GlowDismissPushButtonWidget.h"
#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/GlowLabeledHiddenTextFieldWidget.h"
#include "glow/widgets/GlowLabeledPopupMenuWidget.h"
#include "glow/widgets/GlowLabeledSliderWidget.h"
#include "glow/widgets/GlowLabeledTextFieldWidget.h"
#include "glow/widgets/GlowMenuButtonWidget.h"
#include "glow/widgets/GlowPanelWidget.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowQuickPanelWidget.h"
#include "glow/widgets/GlowQuickRadioGroupWidget.h"
#include "glow/widgets/GlowScrollBarWidget.h"
#include "glow/widgets/GlowSeparatorWidget.h"
#include "glow/widgets/GlowWidgetRoot.h"

namespace glow {

namespace {

// A record of the kind's defaults placed at the panel's origin, as every
// Add operation starts its control.
template <class Params>
Params AtOrigin() {
    Params params;
    params.x = 0;
    params.y = 0;
    return params;
}

GlowPushButtonParams ButtonParams(const char* label,
                                  TReceiver<const GlowPushButtonMessage&>* receiver) {
    auto params = AtOrigin<GlowPushButtonParams>();
    params.text = label;
    params.receiver = receiver;
    return params;
}

GlowLabeledTextFieldParams FieldParams(int width, const char* text, const char* labelText) {
    auto params = AtOrigin<GlowLabeledTextFieldParams>();
    params.width = width;
    params.text = text;
    params.labelText = labelText;
    return params;
}

// The first text field of a window takes the keyboard focus.
void FocusIfNone(GlowWidget* field) {
    if (field->WidgetRoot()->GetKeyboardFocus() == nullptr) field->GrabKeyboardFocus();
}

}  // namespace

GlowQuickPanelWidget* GlowQuickPalette::AddArrangingPanel(int style, const char* title,
                                                          int arrangement, int alignment,
                                                          int spacing, int hMargin, int vMargin) {
    return new GlowQuickPanelWidget(panel->WidgetRoot(), panel, style, title, arrangement,
                                    alignment, spacing, hMargin, vMargin);
}

GlowPanelWidget* GlowQuickPalette::AddPanel(int width, int height, int style) {
    auto params = AtOrigin<GlowPanelParams>();
    params.width = width;
    params.height = height;
    params.style = style;
    return new GlowPanelWidget(static_cast<GlowWidget*>(panel), params);
}

GlowSeparatorWidget* GlowQuickPalette::AddSeparator(int style) {
    auto params = AtOrigin<GlowSeparatorParams>();
    params.style = style;
    SizeAcross(params, 10, 4);
    return new GlowSeparatorWidget(static_cast<GlowWidget*>(panel), params);
}

GlowLabelWidget* GlowQuickPalette::AddLabel(const char* text) {
    auto params = AtOrigin<GlowLabelParams>();
    params.text = text;
    return new GlowLabelWidget(static_cast<GlowWidget*>(panel), params);
}

GlowPushButtonWidget* GlowQuickPalette::AddPushButton(
    const char* label, TReceiver<const GlowPushButtonMessage&>* receiver) {
    return new GlowPushButtonWidget(static_cast<GlowWidget*>(panel), ButtonParams(label, receiver));
}

GlowDismissPushButtonWidget* GlowQuickPalette::AddDismissButton(
    const char* label, GlowComponent* toDismiss,
    TReceiver<const GlowPushButtonMessage&>* receiver) {
    return new GlowDismissPushButtonWidget(panel, ButtonParams(label, receiver), toDismiss);
}

GlowCheckBoxWidget* GlowQuickPalette::AddCheckBox(const char* label, int state,
                                                  TReceiver<const GlowCheckBoxMessage&>* receiver) {
    auto params = AtOrigin<GlowCheckBoxParams>();
    params.text = label;
    params.state = state;
    params.receiver = receiver;
    return new GlowCheckBoxWidget(static_cast<GlowWidget*>(panel), params);
}

GlowQuickRadioGroupWidget* GlowQuickPalette::AddRadioGroup(
    int arrangement, int spacing, TReceiver<const GlowRadioButtonMessage&>* receiver) {
    return new GlowQuickRadioGroupWidget(panel, receiver, arrangement, spacing);
}

GlowLabeledTextFieldWidget* GlowQuickPalette::AddTextField(int width, const char* text,
                                                           const char* labelText) {
    auto* field = new GlowLabeledTextFieldWidget(panel, FieldParams(width, text, labelText));
    FocusIfNone(field);
    return field;
}

GlowLabeledHiddenTextFieldWidget* GlowQuickPalette::AddHiddenTextField(int width, const char* text,
                                                                       char maskChar,
                                                                       const char* labelText) {
    auto* field =
        new GlowLabeledHiddenTextFieldWidget(panel, FieldParams(width, text, labelText), maskChar);
    FocusIfNone(field);
    return field;
}

GlowMenuButtonWidget* GlowQuickPalette::AddMenuButton(const char* label, GlowMenu* menu,
                                                      int iconType) {
    auto params = AtOrigin<GlowMenuButtonParams>();
    params.text = label;
    params.menu = menu;
    params.iconType = iconType;
    return new GlowMenuButtonWidget(panel, params);
}

GlowLabeledPopupMenuWidget* GlowQuickPalette::AddPopupMenu(
    const char* labelText, TReceiver<const GlowPopupMenuMessage&>* receiver) {
    auto params = AtOrigin<GlowLabeledPopupMenuParams>();
    params.labelText = labelText;
    params.receiver = receiver;
    params.items = nullptr;
    return new GlowLabeledPopupMenuWidget(panel, params);
}

GlowScrollBarWidget* GlowQuickPalette::AddScrollBar(
    int min, int max, int span, int topEntry, TReceiver<const GlowScrollBarMessage&>* receiver) {
    auto params = AtOrigin<GlowScrollBarParams>();
    params.minimum = min;
    params.maximum = max;
    params.span = span;
    params.topEntry = topEntry;
    params.receiver = receiver;
    SizeAcross(params, 120, 20);
    return new GlowScrollBarWidget(panel, params);
}

GlowLabeledSliderWidget* GlowQuickPalette::AddSlider(
    double min, double max, double initial, int options, int numTicks, const char* minMaxFormat,
    const char* labelFormat, TReceiver<const GlowSliderMessage&>* receiver) {
    auto params = AtOrigin<GlowLabeledSliderParams>();
    params.minimum = min;
    params.maximum = max;
    params.value = initial;
    params.options = static_cast<GlowSliderOptions>(options);
    params.numTicks = numTicks;
    params.minMaxFormat = minMaxFormat;
    params.labelFormat = labelFormat;
    params.receiver = receiver;
    SizeAcross(params, 130, 30);
    params.labelPosition = panel->arrangement_ == vertical ? GlowWidgetLabelHelper::leftLabel
                                                           : GlowWidgetLabelHelper::topLabel;
    return new GlowLabeledSliderWidget(panel, params);
}

void GlowQuickPalette::SizeAcross(GlowWidgetParams& params, int length, int breadth) const {
    const bool isVertical = panel->arrangement_ == vertical;
    params.width = isVertical ? length : breadth;
    params.height = isVertical ? breadth : length;
}

int GlowQuickPalette::GetArrangement() const {
    return panel->arrangement_;
}
int GlowQuickPalette::GetAlignment() const {
    return panel->alignment_;
}
int GlowQuickPalette::GetSpacing() const {
    return panel->spacing_;
}
int GlowQuickPalette::GetHMargin() const {
    return panel->hMargin_;
}
int GlowQuickPalette::GetVMargin() const {
    return panel->vMargin_;
}

}  // namespace glow
