#ifndef GLOW_WIDGETS_GLOWSCROLLBARWIDGET_H
#define GLOW_WIDGETS_GLOWSCROLLBARWIDGET_H

#include "glow/core/TSender.h"
#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_ScrollBarColors.h"

namespace glow {

class GlowScrollBarWidget;
struct Glow_BevelUnits;

// Sent for every step, for every thumb drag that moves the top entry, and
// once when the button is released.
struct GlowScrollBarMessage {
    GlowScrollBarWidget* widget;
    int part;
    int topEntry;   // after the change
    bool released;  // only in the message of the release
    int mouseButton;
    int modifiers;
};

struct GlowScrollBarParams : public GlowWidgetParams, public Glow_ScrollBarColors {
    // Copies defaults.
    GlowScrollBarParams() : GlowScrollBarParams(defaults) {}
    GlowScrollBarParams(const GlowScrollBarParams&) = default;
    GlowScrollBarParams& operator=(const GlowScrollBarParams&) = default;

    int minimum;
    int maximum;  // the top entry runs up to maximum - span
    int span;     // entries visible at once: the thumb's length
    int topEntry;
    int firstDelay;      // milliseconds from the first step to the first repeat
    int repeatInterval;  // milliseconds between later repeats
    int arrowStep;
    int pageStep;  // -1: the span
    TReceiver<const GlowScrollBarMessage&>* receiver;

    static GlowScrollBarParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    constexpr explicit GlowScrollBarParams(bool)
        : GlowWidgetParams{false, 0, 0, 120, 20, 0},
          Glow_ScrollBarColors(),
          minimum(0),
          maximum(1),
          span(1),
          topEntry(0),
          firstDelay(400),
          repeatInterval(50),
          arrowStep(1),
          pageStep(-1),
          receiver(nullptr) {}
};

// Chooses an integer, the top entry, between a minimum and a maximum as a
// list view chooses its first visible line: arrows step by arrowStep, the
// trough beside the thumb by a page, and the thumb can be dragged. A held
// arrow or page area repeats its step. The bar runs along its longer side;
// a square bar runs from left to right.
class GlowScrollBarWidget : public GlowWidget {
public:
    enum {
        noPart = 0,
        minusArrowPart = 1,
        plusArrowPart = 2,
        minusPagePart = 3,
        plusPagePart = 4,
        thumbPart = 5
    };

    // Where the parts lie, in the normalised coordinate along the bar
    // (-1 at the minimum end, +1 at the maximum end).
    struct Geometry {
        float length = 0;   // pixels along the bar
        float breadth = 0;  // pixels across
        int arrowMode = 0;  // 0 no arrows, 1 one at each end, 2 two at each end
        float arrowSize = 0;
        float troughStart = -1;
        float troughEnd = 1;
        float thumbStart = -1;
        float thumbEnd = 1;

        // The box of an arrow part: the outer one at the end it points to,
        // or the inner one (two arrows at each end) at the other end.
        void ArrowBox(int arrowPart, bool inner, float& start, float& end) const;
    };
    static Geometry GetGeometry(int width, int height, int minimum, int maximum, int span,
                                int topEntry);
    Geometry GetGeometry() const;
    // The top entry for a thumb dragged to start at thumbStart, rounded to
    // the nearest entry (a half up) and clamped; false when the thumb cannot
    // move (it fills the trough).
    static bool EntryAtThumb(const Geometry& g, double thumbStart, int minimum, int maximum,
                             int span, int& entry);

    GlowScrollBarWidget();
    GlowScrollBarWidget(GlowWidget* parentWidget, const GlowScrollBarParams& params);
    ~GlowScrollBarWidget() override;

    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowScrollBarParams& params);

    int GetMinimum() const { return minimum_; }
    int GetMaximum() const { return maximum_; }
    int GetSpan() const { return span_; }
    int GetTopEntry() const { return topEntry_; }
    int GetPart() const { return part_; }
    bool IsInPart() const { return inPart_; }
    int PendingDelay() const { return pendingDelay_; }
    TSender<const GlowScrollBarMessage&>& Sender() { return sender_; }

    // Widget pixels to the normalised position along the bar; true when
    // the point lies on the bar.
    bool PointToPosition(int x, int y, float& position) const;

    // One step of the held part; first is the step of the press. Called by
    // the shared repeat timer for the later steps.
    void StepPart(bool first);

protected:
    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    void OnWidgetPaint() override;
    void OnWidgetMouseDown(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseUp(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseDrag(int x, int y) override;
    // A bar that can no longer get its release ends the gesture at once.
    void OnWidgetDeactivate() override { EndGesture(); }
    void OnWidgetInvisible() override { EndGesture(); }

    // A thumb drag moved the top entry.
    virtual void OnDragged(int mouseButton, int modifiers);
    // One step of an arrow or page part: moves and sends.
    virtual void OnPartHit(int part, int mouseButton, int modifiers);
    // The gesture ended.
    virtual void OnReleased(int part, int mouseButton, int modifiers);

private:
    // The top entry clamped into the range: at most maximum - span, at
    // least minimum (the minimum wins when the span exceeds the range).
    long long Clamped(long long entry) const;
    void MoveTopEntry(int delta);
    bool DragThumbTo(int x, int y);
    bool TrackPress(int x, int y);
    // Whether position lies in the held arrow or page part.
    bool InHeldPart(const Geometry& g, float position) const;
    void EndGesture();
    void Send(int part, bool released, int mouseButton, int modifiers);

    void DrawArrowBox(const Geometry& g, const Glow_BevelUnits& u, int boxPart, bool inner,
                      bool active) const;
    void DrawThumb(const Geometry& g, const Glow_BevelUnits& u, bool active) const;

    TSender<const GlowScrollBarMessage&> sender_;
    float grabOffset_ = 0;
    int minimum_ = 0;
    int maximum_ = 1;
    int topEntry_ = 0;
    int span_ = 1;
    int mouseButton_ = 0;
    int modifiers_ = 0;
    int part_ = noPart;
    bool innerArrow_ = false;
    bool inPart_ = false;
    int firstDelay_ = 400;
    int repeatInterval_ = 50;
    int pendingDelay_ = 0;
    float lastPosition_ = 0;
    int pageStep_ = -1;
    int arrowStep_ = 1;
    Glow_ScrollBarColors colors_;
};

}  // namespace glow

#endif
