#ifndef GLOW_WIDGETS_GLOWQUICKPALETTE_H
#define GLOW_WIDGETS_GLOWQUICKPALETTE_H

#include "glow/core/TSender.h"

namespace glow {

class GlowCheckBoxWidget;
struct GlowWidgetParams;
class GlowComponent;
class GlowDismissPushButtonWidget;
class GlowLabelWidget;
class GlowLabeledHiddenTextFieldWidget;
class GlowLabeledPopupMenuWidget;
class GlowLabeledSliderWidget;
class GlowLabeledTextFieldWidget;
class GlowMenu;
class GlowMenuButtonWidget;
class GlowPanelWidget;
class GlowPushButtonWidget;
class GlowQuickPanelWidget;
class GlowQuickRadioGroupWidget;
class GlowScrollBarWidget;
class GlowSeparatorWidget;
struct GlowCheckBoxMessage;
struct GlowPopupMenuMessage;
struct GlowPushButtonMessage;
struct GlowRadioButtonMessage;
struct GlowScrollBarMessage;
struct GlowSliderMessage;

// Builds a column or a row of controls without coordinates: each Add call
// creates one control, at (0, 0) from its kind's defaults, in the current
// quick panel; packing then stacks them (GlowQuickPanelWidget). The
// controls belong to the panel; the returned pointers are for reading.
class GlowQuickPalette {
public:
    enum { vertical = 0, horizontal = 1 };
    enum { alignNear = 0, alignCenter = 1, alignFar = 2, alignExpand = 4 };

    // A nested palette; -1 in any of the last five inherits this panel's.
    GlowQuickPanelWidget* AddArrangingPanel(int style, const char* title, int arrangement,
                                            int alignment, int spacing, int hMargin, int vMargin);
    GlowPanelWidget* AddPanel(int width, int height, int style);
    // 10 x 4 in a vertical panel, 4 x 10 in a horizontal one.
    GlowSeparatorWidget* AddSeparator(int style);
    GlowLabelWidget* AddLabel(const char* text);
    GlowPushButtonWidget* AddPushButton(const char* label,
                                        TReceiver<const GlowPushButtonMessage&>* receiver);
    GlowDismissPushButtonWidget* AddDismissButton(
        const char* label, GlowComponent* toDismiss,
        TReceiver<const GlowPushButtonMessage&>* receiver);
    GlowCheckBoxWidget* AddCheckBox(const char* label, int state,
                                    TReceiver<const GlowCheckBoxMessage&>* receiver);
    GlowQuickRadioGroupWidget* AddRadioGroup(int arrangement, int spacing,
                                             TReceiver<const GlowRadioButtonMessage&>* receiver);
    // The first text field added to a root without a focused widget takes
    // the keyboard focus. A null labelText leaves the field's label empty:
    // it takes no room.
    GlowLabeledTextFieldWidget* AddTextField(int width, const char* text, const char* labelText);
    GlowLabeledHiddenTextFieldWidget* AddHiddenTextField(int width, const char* text, char maskChar,
                                                         const char* labelText);
    // menu stays the caller's.
    GlowMenuButtonWidget* AddMenuButton(const char* label, GlowMenu* menu, int iconType);
    // Without items; the caller adds them to the returned widget.
    GlowLabeledPopupMenuWidget* AddPopupMenu(const char* labelText,
                                             TReceiver<const GlowPopupMenuMessage&>* receiver);
    // 120 x 20 in a vertical panel, 20 x 120 in a horizontal one.
    GlowScrollBarWidget* AddScrollBar(int min, int max, int span, int topEntry,
                                      TReceiver<const GlowScrollBarMessage&>* receiver);
    // 130 x 30 with the value on its left in a vertical panel, 30 x 130 with
    // the value above it in a horizontal one. The formats are checked as
    // Glow_NumberFormat says.
    GlowLabeledSliderWidget* AddSlider(double min, double max, double initial, int options,
                                       int numTicks, const char* minMaxFormat,
                                       const char* labelFormat,
                                       TReceiver<const GlowSliderMessage&>* receiver);

    int GetArrangement() const;
    int GetAlignment() const;
    int GetSpacing() const;
    int GetHMargin() const;
    int GetVMargin() const;

    // The panel that the Add calls fill.
    GlowQuickPanelWidget* QuickPanel() const { return panel; }

protected:
    GlowQuickPalette() = default;
    ~GlowQuickPalette() = default;
    GlowQuickPalette(const GlowQuickPalette&) = delete;
    GlowQuickPalette& operator=(const GlowQuickPalette&) = delete;

    GlowQuickPanelWidget* panel = nullptr;

private:
    // A control that lies across the panel's axis: length x breadth in a
    // vertical panel, breadth x length in a horizontal one.
    void SizeAcross(GlowWidgetParams& params, int length, int breadth) const;
};

}  // namespace glow

#endif
