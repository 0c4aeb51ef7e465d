#include "glow/widgets/GlowScrollBarWidget.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "glow/widgets/Glow_BarAxis.h"
#include "glow/widgets/Glow_Bevels.h"
#include "glow/widgets/Glow_ScrollBar_TimerFunc.h"

namespace glow {

GlowScrollBarParams GlowScrollBarParams::defaults(true);

namespace {

// A bar is at least this long and this broad; auto-pack gives it the
// preferred breadth across.
constexpr int leastSide = 16;
constexpr int preferredBreadth = 20;
// An arrow box is a square as long as the bar is broad: two of them fit
// when the bar is more than four times as long as broad, four when more
// than eight times.
constexpr float oneArrowRatio = 4.0f;
constexpr float twoArrowsRatio = 8.0f;

}  // namespace

GlowScrollBarWidget::Geometry GlowScrollBarWidget::GetGeometry(int width, int height, int minimum,
                                                               int maximum, int span,
                                                               int topEntry) {
    Geometry g;
    const Glow_BarAxis axis(width, height);
    g.length = static_cast<float>(axis.length);
    g.breadth = static_cast<float>(axis.breadth);
    // A bar without area has no parts but the thumb over the whole trough.
    if (g.length <= 0 || g.breadth <= 0) return g;
    g.arrowMode = g.breadth * twoArrowsRatio < g.length  ? 2
                  : g.breadth * oneArrowRatio < g.length ? 1
                                                         : 0;
    const double a = 2.0 * g.breadth / g.length;
    const double troughStart = g.arrowMode * a - 1.0;
    const double troughEnd = 1.0 - g.arrowMode * a;
    const double troughLength = troughEnd - troughStart;
    const double range = static_cast<double>(maximum) - minimum;
    const double fromMinimum = static_cast<double>(topEntry) - minimum;
    g.arrowSize = static_cast<float>(a);
    g.troughStart = static_cast<float>(troughStart);
    g.troughEnd = static_cast<float>(troughEnd);
    g.thumbStart = g.troughStart;
    g.thumbEnd = g.troughEnd;
    // An empty range leaves the thumb over the whole trough.
    if (!(range > 0)) return g;

    // A span beyond the range never draws the thumb over the arrows.
    double thumbLength = std::min(troughLength, troughLength / range * span);
    double thumbStart = troughStart + troughLength / range * fromMinimum;
    if (thumbLength < a) {
        // The least thumb is square; the rest of the trough is shared out.
        thumbLength = std::min(a, troughLength);
        const double freeEntries = range - span;
        thumbStart = freeEntries > 0
                         ? troughStart + (troughLength - thumbLength) / freeEntries * fromMinimum
                         : troughStart;
    }
    thumbStart = std::clamp(thumbStart, troughStart, troughEnd - thumbLength);
    g.thumbStart = static_cast<float>(thumbStart);
    g.thumbEnd = static_cast<float>(thumbStart + thumbLength);
    return g;
}

void GlowScrollBarWidget::Geometry::ArrowBox(int arrowPart, bool inner, float& start,
                                             float& end) const {
    const float a = arrowSize;
    if (arrowPart == minusArrowPart) {
        start = inner ? 1.0f - 2 * a : -1.0f;
        end = inner ? 1.0f - a : -1.0f + a;
    } else {
        start = inner ? -1.0f + a : 1.0f - a;
        end = inner ? -1.0f + 2 * a : 1.0f;
    }
}

GlowScrollBarWidget::Geometry GlowScrollBarWidget::GetGeometry() const {
    return GetGeometry(Width(), Height(), minimum_, maximum_, span_, topEntry_);
}

GlowScrollBarWidget::GlowScrollBarWidget() = default;

GlowScrollBarWidget::GlowScrollBarWidget(GlowWidget* parentWidget,
                                         const GlowScrollBarParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

GlowScrollBarWidget::~GlowScrollBarWidget() {
    Glow_ScrollBar_TimerFunc::instance->CancelFor(this);
}

void GlowScrollBarWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                               const GlowScrollBarParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    minimum_ = params.minimum;
    maximum_ = params.maximum;
    span_ = params.span;
    topEntry_ = static_cast<int>(Clamped(params.topEntry));
    firstDelay_ = params.firstDelay;
    repeatInterval_ = params.repeatInterval;
    pendingDelay_ = 0;
    arrowStep_ = params.arrowStep;
    pageStep_ = params.pageStep;
    if (params.receiver != nullptr) sender_.Bind(params.receiver);
    colors_ = params;
    part_ = noPart;
    inPart_ = false;
    RegisterMouseEvents();
}

long long GlowScrollBarWidget::Clamped(long long entry) const {
    const long long last = static_cast<long long>(maximum_) - span_;
    return std::max<long long>(std::min(entry, last), minimum_);
}

bool GlowScrollBarWidget::PointToPosition(int x, int y, float& position) const {
    const Glow_BarAxis axis = Glow_BarAxis::Of(*this);
    if (axis.length <= 0) {
        position = 0;
        return false;
    }
    position = static_cast<float>(2.0 * axis.Along(x, y) / axis.length - 1.0);
    const int across = axis.Across(x, y);
    return position >= -1 && position <= 1 && across >= 0 && across <= axis.breadth;
}

// ---------------------------------------------------------------------------
// Steps and messages

void GlowScrollBarWidget::Send(int part, bool released, int mouseButton, int modifiers) {
    sender_.Send(GlowScrollBarMessage{this, part, topEntry_, released, mouseButton, modifiers});
}

void GlowScrollBarWidget::MoveTopEntry(int delta) {
    topEntry_ = static_cast<int>(Clamped(static_cast<long long>(topEntry_) + delta));
    Refresh();
}

void GlowScrollBarWidget::OnPartHit(int part, int mouseButton, int modifiers) {
    const int page = pageStep_ == -1 ? span_ : pageStep_;
    switch (part) {
        case minusArrowPart:
            MoveTopEntry(-arrowStep_);
            break;
        case plusArrowPart:
            MoveTopEntry(arrowStep_);
            break;
        case minusPagePart:
            MoveTopEntry(-page);
            break;
        case plusPagePart:
            MoveTopEntry(page);
            break;
        default:
            return;
    }
    // Also when the top entry was at its limit already.
    Send(part, false, mouseButton, modifiers);
}

void GlowScrollBarWidget::OnDragged(int mouseButton, int modifiers) {
    Send(thumbPart, false, mouseButton, modifiers);
}

void GlowScrollBarWidget::OnReleased(int part, int mouseButton, int modifiers) {
    Send(part, true, mouseButton, modifiers);
}

void GlowScrollBarWidget::StepPart(bool first) {
    const int part = part_;
    OnPartHit(part, mouseButton_, modifiers_);
    Refresh();
    if (inPart_ && (part == minusPagePart || part == plusPagePart)) {
        // The steps stop once the thumb has come to the mouse.
        const Geometry g = GetGeometry();
        const bool stillBeside =
            part == minusPagePart ? g.troughStart <= lastPosition_ && lastPosition_ <= g.thumbStart
                                  : g.thumbEnd <= lastPosition_ && lastPosition_ <= g.troughEnd;
        if (!stillBeside) {
            inPart_ = false;
            pendingDelay_ = 0;
        }
    }
    // The next paint turns the wanted delay into the repeat timer.
    if (inPart_) pendingDelay_ = first ? firstDelay_ : repeatInterval_;
}

// ---------------------------------------------------------------------------
// The mouse

void GlowScrollBarWidget::OnWidgetMouseDown(int button, int x, int y, int modifiers) {
    // Another button holds the bar already.
    if (part_ != noPart) return;
    const Geometry g = GetGeometry();
    if (g.length <= 0 || g.breadth <= 0) return;
    float position;
    PointToPosition(x, y, position);
    lastPosition_ = position;
    mouseButton_ = button;
    modifiers_ = modifiers;
    inPart_ = true;
    innerArrow_ = false;
    const float a = g.arrowSize;
    if (g.arrowMode >= 1) {
        // From each end inwards: the arrow toward that end, then (with two
        // arrows at each end) the arrow away from it.
        if (position < a - 1) {
            part_ = minusArrowPart;
        } else if (position > 1 - a) {
            part_ = plusArrowPart;
        } else if (g.arrowMode == 2 && position < 2 * a - 1) {
            part_ = plusArrowPart;
            innerArrow_ = true;
        } else if (g.arrowMode == 2 && position > 1 - 2 * a) {
            part_ = minusArrowPart;
            innerArrow_ = true;
        }
    }
    if (part_ == noPart) {
        if (position < g.thumbStart) {
            part_ = minusPagePart;
        } else if (position > g.thumbEnd) {
            part_ = plusPagePart;
        } else {
            part_ = thumbPart;
            grabOffset_ = position - g.thumbStart;
            lastPosition_ = g.thumbStart;
            Refresh();
            return;
        }
    }
    StepPart(true);
}

void GlowScrollBarWidget::OnWidgetMouseDrag(int x, int y) {
    if (part_ == noPart) return;
    if (part_ == thumbPart) {
        if (DragThumbTo(x, y)) {
            OnDragged(mouseButton_, modifiers_);
            Refresh();
        }
    } else if (TrackPress(x, y)) {
        Refresh();
    }
}

void GlowScrollBarWidget::OnWidgetMouseUp(int, int x, int y, int) {
    if (part_ == noPart) return;
    // The last position counts, but sends no drag message of its own.
    if (part_ == thumbPart) DragThumbTo(x, y);
    EndGesture();
}

void GlowScrollBarWidget::EndGesture() {
    if (part_ == noPart) return;
    Glow_ScrollBar_TimerFunc::instance->CancelFor(this);
    pendingDelay_ = 0;
    const int part = part_;
    part_ = noPart;
    inPart_ = false;
    OnReleased(part, mouseButton_, modifiers_);
    Refresh();
}

bool GlowScrollBarWidget::EntryAtThumb(const Geometry& g, double thumbStart, int minimum,
                                       int maximum, int span, int& entry) {
    // A thumb over the whole trough has nowhere to go.
    const double freeLength =
        (static_cast<double>(g.troughEnd) - g.troughStart) - (g.thumbEnd - g.thumbStart);
    if (!(freeLength > 0)) return false;
    const double freeEntries = static_cast<double>(maximum) - span - minimum;
    const double t = (thumbStart - g.troughStart) * freeEntries / freeLength;
    // An exact half goes up; the result is brought into the range (the
    // minimum winning) before it becomes an int.
    const double last = static_cast<double>(maximum) - span;
    const double wanted =
        std::max(std::min(minimum + std::floor(t + 0.5), last), static_cast<double>(minimum));
    if (std::isnan(wanted)) return false;
    entry = static_cast<int>(wanted);
    return true;
}

bool GlowScrollBarWidget::DragThumbTo(int x, int y) {
    float position;
    PointToPosition(x, y, position);
    int newTop;
    if (!EntryAtThumb(GetGeometry(), static_cast<double>(position) - grabOffset_, minimum_,
                      maximum_, span_, newTop)) {
        return false;
    }
    if (newTop == topEntry_) return false;
    topEntry_ = newTop;
    return true;
}

bool GlowScrollBarWidget::InHeldPart(const Geometry& g, float position) const {
    switch (part_) {
        case minusPagePart:
            return g.troughStart <= position && position <= g.thumbStart;
        case plusPagePart:
            return g.thumbEnd <= position && position <= g.troughEnd;
        case minusArrowPart:
        case plusArrowPart: {
            float start, end;
            g.ArrowBox(part_, innerArrow_, start, end);
            return start <= position && position <= end;
        }
        default:
            return false;
    }
}

bool GlowScrollBarWidget::TrackPress(int x, int y) {
    const Geometry g = GetGeometry();
    float position;
    const bool onBar = PointToPosition(x, y, position);
    bool inHeld = false;
    if (onBar) {
        lastPosition_ = position;
        inHeld = InHeldPart(g, position);
    }
    if (inHeld && !inPart_) {
        // Back in the part: the steps resume 1 ms after the next paint.
        inPart_ = true;
        pendingDelay_ = 1;
        return true;
    }
    if (!inHeld && inPart_) {
        inPart_ = false;
        pendingDelay_ = 0;
        Glow_ScrollBar_TimerFunc::instance->CancelFor(this);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Painting and size

void GlowScrollBarWidget::OnWidgetPaint() {
    const Geometry g = GetGeometry();
    const Glow_BevelUnits u(g.length, g.breadth);
    const bool active = IsActive();
    const Glow_ScrollBarColors& c = colors_;
    if (Glow_BarAxis::Of(*this).vertical) {
        // Drawn as a horizontal bar: its minimum end at the top, the light
        // still from the top left.
        glRotatef(-90.0f, 0.0f, 0.0f, 1.0f);
        glScalef(1.0f, -1.0f, 1.0f);
    }
    const float thumbLength = g.thumbEnd - g.thumbStart;

    (!active                  ? c.inactiveTroughColor
     : part_ == minusPagePart ? c.pressedTroughColor
                              : c.troughColor)
        .Apply();
    glRectf(-1.0f, -1.0f, g.thumbStart, 1.0f);
    (!active                 ? c.inactiveTroughColor
     : part_ == plusPagePart ? c.pressedTroughColor
                             : c.troughColor)
        .Apply();
    glRectf(g.thumbEnd, -1.0f, 1.0f, 1.0f);
    if (!active) {
        c.inactiveBorderColor.Apply();
        Glow_Bevels::Outline(-1.0f, -1.0f, 1.0f, 1.0f, u.pA, u.pX);
    }
    if (part_ == thumbPart) {
        // Where the thumb was when the drag began, sunken.
        const float o = lastPosition_;
        c.dragOriginColor.Apply();
        glRectf(o, -1.0f, o + thumbLength, 1.0f);
        Glow_Bevels::Raised(o, -1.0f, o + thumbLength, 1.0f, u.bA, u.bX, c.lightBevelColor,
                            c.darkBevelColor, true);
    }
    if (g.arrowMode >= 1) {
        DrawArrowBox(g, u, minusArrowPart, false, active);
        DrawArrowBox(g, u, plusArrowPart, false, active);
    }
    if (g.arrowMode == 2) {
        DrawArrowBox(g, u, plusArrowPart, true, active);
        DrawArrowBox(g, u, minusArrowPart, true, active);
    }
    DrawThumb(g, u, active);

    if (pendingDelay_ > 0) {
        Glow_ScrollBar_TimerFunc::instance->Start(pendingDelay_, this);
        pendingDelay_ = 0;
    }
}

void GlowScrollBarWidget::DrawArrowBox(const Geometry& g, const Glow_BevelUnits& u, int boxPart,
                                       bool inner, bool active) const {
    const Glow_ScrollBarColors& c = colors_;
    float start, end;
    g.ArrowBox(boxPart, inner, start, end);
    const bool held = part_ == boxPart;
    (!active ? c.inactiveArrowBoxColor : held ? c.pressedArrowBoxColor : c.arrowBoxColor).Apply();
    glRectf(start, -1.0f, end, 1.0f);
    if (active) {
        Glow_Bevels::Raised(start, -1.0f, end, 1.0f, u.bA, u.bX, c.lightBevelColor,
                            c.darkBevelColor, held);
    } else {
        c.inactiveBorderColor.Apply();
        Glow_Bevels::Outline(start, -1.0f, end, 1.0f, u.pA, u.pX);
    }
    (!active ? c.inactiveArrowColor : held ? c.pressedArrowColor : c.arrowColor).Apply();
    const float a = g.arrowSize;
    // The tip, then the base of the triangle.
    const float tip = boxPart == minusArrowPart ? start + 0.3f * a : start + 0.7f * a;
    const float base = boxPart == minusArrowPart ? start + 0.6f * a : start + 0.4f * a;
    glBegin(GL_TRIANGLES);
    glVertex2f(tip, 0.0f);
    glVertex2f(base, -0.6f);
    glVertex2f(base, 0.6f);
    glEnd();
}

void GlowScrollBarWidget::DrawThumb(const Geometry& g, const Glow_BevelUnits& u,
                                    bool active) const {
    const Glow_ScrollBarColors& c = colors_;
    (!active              ? c.inactiveThumbColor
     : part_ == thumbPart ? c.pressedThumbColor
                          : c.thumbColor)
        .Apply();
    glRectf(g.thumbStart, -1.0f, g.thumbEnd, 1.0f);
    if (!active) {
        c.inactiveBorderColor.Apply();
        Glow_Bevels::Outline(g.thumbStart, -1.0f, g.thumbEnd, 1.0f, u.pA, u.pX);
        return;
    }
    Glow_Bevels::Raised(g.thumbStart, -1.0f, g.thumbEnd, 1.0f, u.bA, u.bX, c.lightBevelColor,
                        c.darkBevelColor);
    // The grip: six lines across, 4.5 pixels either side of the centre.
    const float centre = (g.thumbStart + g.thumbEnd) / 2;
    const float L = g.length;
    const float light[] = {centre - 9 / L, centre - 1 / L, centre + 7 / L};
    const float dark[] = {centre - 7 / L, centre + 1 / L, centre + 9 / L};
    const float y0 = -1.0f + 3 * u.bX;
    const float y1 = 1.0f - 2 * u.bX;
    c.lightBevelColor.Apply();
    Glow_Bevels::Lines(light, 3, y0, y1);
    c.darkBevelColor.Apply();
    Glow_Bevels::Lines(dark, 3, y0, y1);
}

int GlowScrollBarWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&,
                                    int&, int&) {
    if (hSize != unspecifiedSize && hSize < leastSide) return 1;
    if (vSize != unspecifiedSize && vSize < leastSide) return 2;
    // Along the bar any rule but keep takes a given size (a forced rule
    // needs one); across it the bar keeps its preferred breadth unless
    // forced.
    auto along = [](int rule) { return rule == preferredSize ? expandPreferredSize : rule; };
    int width = Width();
    int height = Height();
    if (!Glow_BarAxis(width, height).vertical) {
        if (!SizeForRule(along(hOption), hSize, width, width, width)) return 1;
        if (!SizeForRule(NoGrowthRule(vOption), vSize, preferredBreadth, height, height)) return 2;
    } else {
        if (!SizeForRule(NoGrowthRule(hOption), hSize, preferredBreadth, width, width)) return 1;
        if (!SizeForRule(along(vOption), vSize, height, height, height)) return 2;
    }
    Reshape(width, height);
    return 0;
}

}  // namespace glow
