#ifndef GLOW_WIDGETS_GLOWLABELEDSLIDERWIDGET_H
#define GLOW_WIDGETS_GLOWLABELEDSLIDERWIDGET_H

#include <GL/freeglut.h>

#include "glow/widgets/GlowSliderWidget.h"
#include "glow/widgets/Glow_BarAxis.h"
#include "glow/widgets/Glow_NumberFormat.h"

namespace glow {

class GlowWidgetLabelWidget;

struct GlowLabeledSliderParams : public GlowSliderParams {
    // Copies defaults.
    GlowLabeledSliderParams() : GlowLabeledSliderParams(defaults) {}
    GlowLabeledSliderParams(const GlowLabeledSliderParams&) = default;
    GlowLabeledSliderParams& operator=(const GlowLabeledSliderParams&) = default;

    // printf format of the value label, given one double; null: no text.
    // An unsafe format shows "%g" (Glow_NumberFormat).
    const char* labelFormat;
    GlowFont labelFont;
    int labelPosition;  // GlowWidgetLabelHelper::leftLabel (0), right 1, above 2, below 3
    int labelWidth;     // the value label's box until the first auto-pack
    int labelHeight;
    int labelSpacing;
    GlowColor labelTextColor;
    GlowColor labelInactiveTextColor;
    // Format of the minimum and maximum labels at the ends; null: no text.
    const char* minMaxFormat;
    GlowFont minMaxFont;
    int minMaxSize;  // depth of their band until the first auto-pack
    GlowColor minMaxTextColor;
    GlowColor minMaxInactiveTextColor;

    static GlowLabeledSliderParams defaults;

protected:
    // The slider's constants, then the labels'.
    constexpr explicit GlowLabeledSliderParams(bool)
        : GlowSliderParams(true),
          labelFormat(nullptr),
          labelFont(GLUT_BITMAP_HELVETICA_12),
          labelPosition(0),
          labelWidth(100),
          labelHeight(15),
          labelSpacing(5),
          labelTextColor(Glow_WidgetColors::black),
          labelInactiveTextColor(Glow_WidgetColors::gray30),
          minMaxFormat(nullptr),
          minMaxFont(GLUT_BITMAP_HELVETICA_12),
          minMaxSize(15),
          minMaxTextColor(Glow_WidgetColors::black),
          minMaxInactiveTextColor(Glow_WidgetColors::gray30) {}
};

// A slider with a label beside it that shows its value, and labels of its
// minimum and maximum at its ends on the tick side. The labels are child
// widgets; auto-pack reserves their room as margins.
class GlowLabeledSliderWidget : public GlowSliderWidget {
public:
    GlowLabeledSliderWidget();
    GlowLabeledSliderWidget(GlowWidget* parentWidget, const GlowLabeledSliderParams& params);
    ~GlowLabeledSliderWidget() override;

    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
              const GlowLabeledSliderParams& params);

    GlowWidgetLabelWidget* ValueLabel() const { return valueLabel_; }
    GlowWidgetLabelWidget* MinLabel() const { return minLabel_; }
    GlowWidgetLabelWidget* MaxLabel() const { return maxLabel_; }
    int LabelWidth() const { return labelWidth_; }
    int LabelHeight() const { return labelHeight_; }
    int MinMaxSize() const { return minMaxSize_; }

protected:
    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    // Shows the value and the range as they are now, then paints the slider.
    void OnWidgetPaint() override;

private:
    bool IsHorizontal() const { return !Glow_BarAxis::Of(*this).vertical; }
    // Gives a label a new text without asking for another repaint.
    static void SetLabelText(GlowWidgetLabelWidget* label, const std::string& text);
    void SizeMinMaxLabels();
    void PlaceMinMaxLabels();
    void PlaceValueLabel();
    // Re-formats the end labels whose number changed; true when one did.
    bool UpdateMinMaxLabels();

    GlowWidgetLabelWidget* valueLabel_ = nullptr;
    Glow_NumberFormat labelFormat_;
    double shownValue_ = 0;
    int labelPosition_ = 0;
    int labelWidth_ = 0;
    int labelHeight_ = 0;
    int labelSpacing_ = 0;
    GlowWidgetLabelWidget* minLabel_ = nullptr;
    GlowWidgetLabelWidget* maxLabel_ = nullptr;
    Glow_NumberFormat minMaxFormat_;
    double shownMinimum_ = 0;
    double shownMaximum_ = 0;
    int minMaxSize_ = 0;
};

}  // namespace glow

#endif
