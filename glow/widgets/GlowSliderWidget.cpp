#include "glow/widgets/GlowSliderWidget.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "glow/widgets/Glow_BarAxis.h"
#include "glow/widgets/Glow_Bevels.h"

namespace glow {

GlowSliderParams GlowSliderParams::defaults(true);

namespace {

// The least slider: this long along its travel and this broad across.
constexpr int leastLength = 130;
constexpr int leastBreadth = 30;
constexpr float tickLineWidth = 2.0f;

void Quad(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y1);
    glVertex2f(x2, y2);
    glVertex2f(x3, y3);
    glEnd();
}

}  // namespace

GlowSliderWidget::GlowSliderWidget() = default;

GlowSliderWidget::~GlowSliderWidget() = default;

void GlowSliderWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                            const GlowSliderParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    dragging_ = false;
    options_ = params.options;
    minimum_ = params.minimum;
    maximum_ = params.maximum;
    // Powers and logarithms of a range that reaches 0 or below are not
    // numbers: such a range is mapped linearly.
    if (Has(logarithmic) && !(minimum_ > 0 && maximum_ > 0)) {
        options_ = static_cast<GlowSliderOptions>(options_ & ~logarithmic);
    }
    value_ = params.value;
    if (value_ > maximum_) value_ = maximum_;
    if (value_ < minimum_ || std::isnan(value_)) value_ = minimum_;
    numTicks_ = std::max(0, params.numTicks);
    if (params.receiver != nullptr) sender_.Bind(params.receiver);
    colors_ = params;
    RegisterMouseEvents();
}

// ---------------------------------------------------------------------------
// Mapping between the value and the travel

double GlowSliderWidget::PositionFraction(double value, double minimum, double maximum,
                                          GlowSliderOptions options) {
    if (!(maximum > minimum)) return 0.0;
    if ((options & logarithmic) != 0 && minimum > 0) {
        return std::log(value / minimum) / std::log(maximum / minimum);
    }
    return (value - minimum) / (maximum - minimum);
}

double GlowSliderWidget::ValueAtFraction(double t, double minimum, double maximum,
                                         GlowSliderOptions options) {
    t = std::clamp(t, 0.0, 1.0);
    const bool isReversed = (options & reversed) != 0;
    const double from = isReversed ? maximum : minimum;
    const double to = isReversed ? minimum : maximum;
    if ((options & logarithmic) != 0 && minimum > 0 && maximum > 0) {
        return std::pow(from, 1.0 - t) * std::pow(to, t);
    }
    return (1.0 - t) * from + t * to;
}

int GlowSliderWidget::ThumbCentre(int length, int breadth, double t) {
    const int half = breadth / 2;
    return half + static_cast<int>(std::trunc((length - 2 * half) * t));
}

double GlowSliderWidget::TickX(int numTicks, int index, double r) {
    if (numTicks <= 1) return 0.0;
    return (2.0 * index / (numTicks - 1) - 1.0) * (1.0 - r);
}

double GlowSliderWidget::TickPosition(int length, int breadth, int numTicks, int index) {
    if (length <= 0) return length / 2.0;
    const double r = static_cast<double>(breadth) / length;
    return (TickX(numTicks, index, r) + 1.0) / 2.0 * length;
}

void GlowSliderWidget::SetValueFromPoint(int px, int py) {
    const Glow_BarAxis axis = Glow_BarAxis::Of(*this);
    const int travel = axis.length - axis.breadth;
    // A slider as broad as it is long (or broader) has no travel: the value
    // stays where it is.
    if (travel <= 0) return;
    const double t = static_cast<double>(axis.Along(px, py) - axis.breadth / 2) / travel;
    value_ = ValueAtFraction(t, minimum_, maximum_, options_);
}

// ---------------------------------------------------------------------------
// The mouse

void GlowSliderWidget::OnWidgetMouseDown(int button, int x, int y, int modifiers) {
    if (!HasThumb()) return;
    double t = PositionFraction(value_, minimum_, maximum_, options_);
    if (Has(reversed)) t = 1.0 - t;
    const Glow_BarAxis axis = Glow_BarAxis::Of(*this);
    const int along = axis.Along(x, y);
    const int half = axis.breadth / 2;
    const int centre = ThumbCentre(axis.length, axis.breadth, t);
    // A press that misses the thumb does nothing.
    if (!(centre - half < along && along < centre + half)) return;
    grabX_ = axis.vertical ? 0 : centre - x;
    grabY_ = axis.vertical ? centre - y : 0;
    dragging_ = true;
    mouseButton_ = button;
    modifiers_ = modifiers;
    Refresh();
}

void GlowSliderWidget::OnWidgetMouseDrag(int x, int y) {
    if (!dragging_) return;
    SetValueFromPoint(x + grabX_, y + grabY_);
    // Every drag event is announced, whether or not the value changed.
    OnDragged(mouseButton_, modifiers_);
    Refresh();
}

void GlowSliderWidget::OnWidgetMouseUp(int, int x, int y, int) {
    if (!dragging_) return;
    SetValueFromPoint(x + grabX_, y + grabY_);
    EndDrag();
}

void GlowSliderWidget::EndDrag() {
    if (!dragging_) return;
    dragging_ = false;
    OnReleased(mouseButton_, modifiers_);
    Refresh();
}

void GlowSliderWidget::OnDragged(int mouseButton, int modifiers) {
    sender_.Send(GlowSliderMessage{this, value_, false, mouseButton, modifiers});
}

void GlowSliderWidget::OnReleased(int mouseButton, int modifiers) {
    sender_.Send(GlowSliderMessage{this, value_, true, mouseButton, modifiers});
}

// ---------------------------------------------------------------------------
// Painting and size

// The light falls from the top left on screen in every orientation: the
// options swap the colours of the faces that their mirroring turns round.
const GlowColor& GlowSliderWidget::LeftFacing() const {
    return Has(reversed) ? colors_.darkBevelColor : colors_.lightBevelColor;
}
const GlowColor& GlowSliderWidget::RightFacing() const {
    return Has(reversed) ? colors_.lightBevelColor : colors_.darkBevelColor;
}
const GlowColor& GlowSliderWidget::UpFacing() const {
    return Has(ticksFlipped) ? colors_.darkBevelColor : colors_.lightBevelColor;
}
const GlowColor& GlowSliderWidget::DownFacing() const {
    return Has(ticksFlipped) ? colors_.lightBevelColor : colors_.darkBevelColor;
}

// The thumb is as long as the slider is broad.
GlowSliderWidget::PaintUnits::PaintUnits(const Glow_BarAxis& axis)
    : Glow_BevelUnits(static_cast<float>(axis.length), static_cast<float>(axis.breadth)),
      length(static_cast<float>(axis.length)),
      breadth(static_cast<float>(axis.breadth)),
      r(breadth / length) {}

void GlowSliderWidget::OnWidgetPaint() {
    // Drawn in a frame along the travel: x from -1 at the minimum end to +1,
    // y from -1 on the tick side to +1.
    const Glow_BarAxis axis = Glow_BarAxis::Of(*this);
    if (!axis.vertical) {
        if (Has(ticksFlipped)) glScalef(1.0f, -1.0f, 1.0f);
        if (Has(reversed)) glScalef(-1.0f, 1.0f, 1.0f);
    } else {
        if (Has(ticksFlipped)) glScalef(-1.0f, 1.0f, 1.0f);
        if (!Has(reversed)) glScalef(1.0f, -1.0f, 1.0f);
        glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    }
    const PaintUnits u(axis);
    PaintTrough(u);
    PaintTicks(u);
    if (!HasThumb()) return;
    const double t = PositionFraction(value_, minimum_, maximum_, options_);
    PaintThumb(u, static_cast<float>((2 * t - 1) * (1 - u.r)));
}

void GlowSliderWidget::PaintTrough(const PaintUnits& u) const {
    // Room for the ticks below the trough when there are any.
    const float bottom = numTicks_ == 0 ? -0.25f : -0.1f;
    const float top = numTicks_ == 0 ? 0.25f : 0.4f;
    const bool active = IsActive();
    (active ? colors_.troughColor : colors_.inactiveTroughColor).Apply();
    glRectf(-1.0f, bottom, 1.0f, top);
    if (active) {
        // Sunken: each inner face looks into the trough.
        Glow_Bevels::Frame(-1.0f, bottom, 1.0f, top, u.bA, u.bX, RightFacing(), DownFacing(),
                           LeftFacing(), UpFacing());
    } else {
        colors_.inactiveBorderColor.Apply();
        Glow_Bevels::Outline(-1.0f, bottom, 1.0f, top, u.pA, u.pX);
    }
}

void GlowSliderWidget::PaintTicks(const PaintUnits& u) const {
    if (numTicks_ <= 0) return;
    (IsActive() ? colors_.tickColor : colors_.inactiveTickColor).Apply();
    glLineWidth(tickLineWidth);
    glBegin(GL_LINES);
    for (int i = 0; i < numTicks_; ++i) {
        const float x = static_cast<float>(TickX(numTicks_, i, u.r));
        glVertex2f(x, -0.5f);
        glVertex2f(x, -1.0f);
    }
    glEnd();
    glLineWidth(1.0f);
}

void GlowSliderWidget::PaintThumb(const PaintUnits& u, float c) const {
    const bool active = IsActive();
    const Glow_SliderColors& colors = colors_;
    const float length = u.length;
    const float breadth = u.breadth;
    const float r = u.r;
    const float bA = u.bA;
    const float bX = u.bX;
    const float pA = u.pA;
    const float pX = u.pX;
    (!active     ? colors.inactiveThumbColor
     : dragging_ ? colors.pressedThumbColor
                 : colors.thumbColor)
        .Apply();
    const float left = c - r;
    const float right = c + r;
    // The grip: six lines, 3.5 pixels either side of the centre.
    auto grip = [&](float y0, float y1) {
        const float leftLines[] = {c - 7 / length, c - 1 / length, c + 5 / length};
        const float rightLines[] = {c - 5 / length, c + 1 / length, c + 7 / length};
        LeftFacing().Apply();
        Glow_Bevels::Lines(leftLines, 3, y0, y1);
        RightFacing().Apply();
        Glow_Bevels::Lines(rightLines, 3, y0, y1);
    };
    if (numTicks_ > 0) {
        // A pointer whose tip points at the ticks.
        glBegin(GL_POLYGON);
        glVertex2f(c, -0.5f);
        glVertex2f(left, 0.0f);
        glVertex2f(left, 1.0f);
        glVertex2f(right, 1.0f);
        glVertex2f(right, 0.0f);
        glEnd();
        if (!active) {
            colors.inactiveBorderColor.Apply();
            glBegin(GL_LINE_LOOP);
            glVertex2f(c, -0.5f);
            glVertex2f(left + pA, 0.0f);
            glVertex2f(left + pA, 1.0f - pX);
            glVertex2f(right - pA, 1.0f - pX);
            glVertex2f(right - pA, 0.0f);
            glEnd();
            return;
        }
        DownFacing().Apply();
        glBegin(GL_QUAD_STRIP);
        glVertex2f(left, 0.0f);
        glVertex2f(left + bA, bX);
        glVertex2f(c, -0.5f);
        glVertex2f(c, -0.5f + 6 / breadth);
        glVertex2f(right, 0.0f);
        glVertex2f(right - bA, bX);
        glEnd();
        LeftFacing().Apply();
        Quad(left, 0.0f, left + bA, bX, left + bA, 1.0f - bX, left, 1.0f);
        UpFacing().Apply();
        Quad(left, 1.0f, left + bA, 1.0f - bX, right - bA, 1.0f - bX, right, 1.0f);
        RightFacing().Apply();
        Quad(right, 1.0f, right - bA, 1.0f - bX, right - bA, bX, right, 0.0f);
        grip(3 * bX - 0.5f, 1.0f - 2 * bX);
        return;
    }
    glRectf(left, -1.0f, right, 1.0f);
    if (!active) {
        colors.inactiveBorderColor.Apply();
        Glow_Bevels::Outline(left, -1.0f, right, 1.0f, pA, pX);
        return;
    }
    Glow_Bevels::Frame(left, -1.0f, right, 1.0f, bA, bX, LeftFacing(), UpFacing(), RightFacing(),
                       DownFacing());
    grip(2 * bX - 1.0f, 1.0f - 2 * bX);
}

int GlowSliderWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&, int&,
                                 int&) {
    const bool vertical = Glow_BarAxis::Of(*this).vertical;
    const int leastWidth = vertical ? leastBreadth : leastLength;
    const int leastHeight = vertical ? leastLength : leastBreadth;
    if (hSize != unspecifiedSize && hSize < leastWidth) return 1;
    if (vSize != unspecifiedSize && vSize < leastHeight) return 2;
    int width, height;
    if (!SizeForRule(hOption, hSize, leastWidth, Width(), width)) return 1;
    if (!SizeForRule(vOption, vSize, leastHeight, Height(), height)) return 2;
    Reshape(width, height);
    return 0;
}

}  // namespace glow
