#ifndef GLOW_WIDGETS_GLOWWIDGETLABELHELPER_H
#define GLOW_WIDGETS_GLOWWIDGETLABELHELPER_H

#include "glow/widgets/GlowLabelWidget.h"

namespace glow {

// The label part of a labelled widget: shrinks to a box smaller than its
// text instead of failing.
class GlowWidgetLabelWidget : public GlowLabelWidget {
public:
    GlowWidgetLabelWidget(GlowWidget* parentWidget, const GlowLabelParams& params);
    ~GlowWidgetLabelWidget() override;

protected:
    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
};

// The fields of a labelled widget's parameter record that make and place
// its label, with their defaults.
struct Glow_WidgetLabelParams {
    constexpr Glow_WidgetLabelParams()
        : labelText(""),
          labelFont(GLUT_BITMAP_HELVETICA_12),
          labelPosition(0),
          labelWidth(100),
          labelHeight(20),
          labelSpacing(5) {}

    const char* labelText;  // null or empty: the label takes no room
    GlowFont labelFont;
    int labelPosition;  // GlowWidgetLabelHelper::leftLabel and so on
    int labelWidth;     // the label's box until the first auto-pack
    int labelHeight;
    int labelSpacing;
};

// Mix-in of labelled widgets: a label beside the widget, for which the
// widget's auto-pack reserves room. The label is a child widget of the
// labelled widget and is deleted with it.
class GlowWidgetLabelHelper {
public:
    enum { leftLabel = 0, rightLabel = 1, topLabel = 2, bottomLabel = 3 };

    // Takes the room of a label of labelWidth x labelHeight at position,
    // spacing pixels from a widget of width x height, from the sizes offered
    // to the widget (unspecifiedSize stays). Returns 0, or 1 (2) when less
    // than 2 pixels of the width (height) are left.
    static int TakeLabelRoom(int position, int labelWidth, int labelHeight, int spacing, int width,
                             int height, int& hSize, int& vSize);

    GlowWidgetLabelWidget* Label() const { return label_; }
    int LabelPosition() const { return position_; }
    int LabelSpacing() const { return spacing_; }

protected:
    GlowWidgetLabelHelper() = default;
    ~GlowWidgetLabelHelper() = default;

    // Called by the labelled widget's Init after the widget's own Init.
    void InitLabel(GlowWidget* widget, int position, int labelWidth, int labelHeight, int spacing,
                   const char* text, GlowFont font, GlowColor textColor,
                   GlowColor inactiveTextColor);
    void InitLabel(GlowWidget* widget, const Glow_WidgetLabelParams& params, GlowColor textColor,
                   GlowColor inactiveTextColor) {
        InitLabel(widget, params.labelPosition, params.labelWidth, params.labelHeight,
                  params.labelSpacing, params.labelText, params.labelFont, textColor,
                  inactiveTextColor);
    }
    // 0, or 1 (2) when the width (height) cannot be met.
    int ReserveLabelSpace(int& hSize, int& vSize, int& leftMargin, int& rightMargin, int& topMargin,
                          int& bottomMargin);
    void PlaceLabel();
    // The whole auto-pack of a labelled widget: the label's room is taken
    // from the offered sizes and added to the margins, packWidget(hSize,
    // vSize) sizes the widget itself in what is left (returning 0, 1 or 2),
    // and the label is placed beside the result.
    template <class PackWidget>
    int AutoPackWithLabel(int hSize, int vSize, int& leftMargin, int& rightMargin, int& topMargin,
                          int& bottomMargin, PackWidget packWidget) {
        int result =
            ReserveLabelSpace(hSize, vSize, leftMargin, rightMargin, topMargin, bottomMargin);
        if (result != 0) return result;
        result = packWidget(hSize, vSize);
        if (result != 0) return result;
        PlaceLabel();
        return 0;
    }

private:
    GlowWidget* widget_ = nullptr;
    GlowWidgetLabelWidget* label_ = nullptr;
    int position_ = leftLabel;
    int spacing_ = 0;
    int labelWidth_ = 0;
    int labelHeight_ = 0;
};

}  // namespace glow

#endif
