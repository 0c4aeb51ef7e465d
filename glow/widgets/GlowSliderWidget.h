#ifndef GLOW_WIDGETS_GLOWSLIDERWIDGET_H
#define GLOW_WIDGETS_GLOWSLIDERWIDGET_H

#include "glow/core/TSender.h"
#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_Bevels.h"
#include "glow/widgets/Glow_SliderColors.h"

namespace glow {

class GlowSliderWidget;
struct Glow_BarAxis;

// Option bits of a slider, combined with |.
enum GlowSliderOptions : int {
    noSliderOptions = 0,
    ticksFlipped = 1,  // ticks above a horizontal slider, left of a vertical one
    reversed = 2,      // minimum at the right or bottom end
    logarithmic = 4    // geometric mapping; needs a minimum and a maximum above 0
};

inline GlowSliderOptions operator|(GlowSliderOptions a, GlowSliderOptions b) {
    return static_cast<GlowSliderOptions>(static_cast<int>(a) | static_cast<int>(b));
}
inline GlowSliderOptions operator&(GlowSliderOptions a, GlowSliderOptions b) {
    return static_cast<GlowSliderOptions>(static_cast<int>(a) & static_cast<int>(b));
}

// Sent for every drag event of the thumb and once at its release.
struct GlowSliderMessage {
    GlowSliderWidget* widget;
    double value;   // after the event
    bool released;  // only in the message of the release
    int mouseButton;
    int modifiers;
};

struct GlowSliderParams : public GlowWidgetParams, public Glow_SliderColors {
    // Copies defaults.
    GlowSliderParams() : GlowSliderParams(defaults) {}
    GlowSliderParams(const GlowSliderParams&) = default;
    GlowSliderParams& operator=(const GlowSliderParams&) = default;

    GlowSliderOptions options;
    double minimum;
    double maximum;
    double value;
    int numTicks;  // 0: none
    TReceiver<const GlowSliderMessage&>* receiver;

    static GlowSliderParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    constexpr explicit GlowSliderParams(bool)
        : GlowWidgetParams{false, 0, 0, 130, 30, 0},
          Glow_SliderColors(),
          options(noSliderOptions),
          minimum(0.0),
          maximum(1.0),
          value(0.0),
          numTicks(0),
          receiver(nullptr) {}
};

// Sets a value between a minimum and a maximum by dragging a thumb along a
// trough; the mapping is linear or geometric, optional ticks spread evenly
// along the trough. The slider runs along its longer side; a square one
// runs from left to right and has no travel.
class GlowSliderWidget : public GlowWidget {
public:
    GlowSliderWidget();
    ~GlowSliderWidget() override;

    // A logarithmic range with a minimum or a maximum at or below 0 is
    // taken as linear.
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowSliderParams& params);

    double GetValue() const { return value_; }
    double GetMinimum() const { return minimum_; }
    double GetMaximum() const { return maximum_; }
    GlowSliderOptions GetOptions() const { return options_; }
    int GetNumTicks() const { return numTicks_; }
    bool IsDragging() const { return dragging_; }
    TSender<const GlowSliderMessage&>& Sender() { return sender_; }

    // Where value lies along the travel, 0 at the minimum end and 1 at the
    // maximum end (before any reversal); 0 for an empty range.
    static double PositionFraction(double value, double minimum, double maximum,
                                   GlowSliderOptions options);
    // The value at fraction t (0 to 1) of the travel from the near end (the
    // left or top); reversed sliders count from the maximum.
    static double ValueAtFraction(double t, double minimum, double maximum,
                                  GlowSliderOptions options);
    // Pixel centre of the thumb along the slider of the given length and
    // breadth at fraction t from the near end.
    static int ThumbCentre(int length, int breadth, double t);
    // Widget pixels along the slider of the tick marks' centres, as the
    // paint draws them.
    static double TickPosition(int length, int breadth, int numTicks, int index);

protected:
    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    void OnWidgetPaint() override;
    void OnWidgetMouseDown(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseUp(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseDrag(int x, int y) override;
    // A slider that can no longer get its release ends its drag at once.
    void OnWidgetDeactivate() override { EndDrag(); }
    void OnWidgetInvisible() override { EndDrag(); }

    virtual void OnDragged(int mouseButton, int modifiers);
    virtual void OnReleased(int mouseButton, int modifiers);

private:
    // The value for the wanted thumb centre (px, py), in widget pixels.
    void SetValueFromPoint(int px, int py);
    void EndDrag();
    bool HasThumb() const { return maximum_ > minimum_; }
    bool Has(GlowSliderOptions option) const { return (options_ & option) != 0; }
    // Where tick index stands along the travel, in the normalised frame
    // (-1 to 1), on a slider r times as broad as it is long: the thumb's
    // centre at the fraction index / (numTicks - 1); a single tick in the
    // middle.
    static double TickX(int numTicks, int index, double r);

    // The sizes of one paint in the normalised frame along the travel.
    struct PaintUnits : Glow_BevelUnits {
        explicit PaintUnits(const Glow_BarAxis& axis);

        float length;   // pixels along the travel
        float breadth;  // pixels across
        float r;        // half the thumb's length
    };
    // Painting in the normalised frame along the travel.
    void PaintTrough(const PaintUnits& u) const;
    void PaintTicks(const PaintUnits& u) const;
    void PaintThumb(const PaintUnits& u, float c) const;
    const GlowColor& LeftFacing() const;
    const GlowColor& RightFacing() const;
    const GlowColor& UpFacing() const;
    const GlowColor& DownFacing() const;

    TSender<const GlowSliderMessage&> sender_;
    GlowSliderOptions options_ = noSliderOptions;
    int grabX_ = 0;
    int grabY_ = 0;
    double minimum_ = 0;
    double maximum_ = 1;
    double value_ = 0;
    int numTicks_ = 0;
    int mouseButton_ = 0;
    int modifiers_ = 0;
    bool dragging_ = false;
    Glow_SliderColors colors_;
};

}  // namespace glow

#endif
