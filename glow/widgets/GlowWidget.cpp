#include "glow/widgets/GlowWidget.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <set>

#include "glow/core/Glow.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/widgets/GlowWidgetRoot.h"

namespace glow {

std::map<GlowWidget*, GlowWidgetStateRecord>& GlowWidget::PendingNotifications() {
    // Built at first use and never destroyed, so that widgets deleted during
    // static destruction still find it.
    static auto* pending = new std::map<GlowWidget*, GlowWidgetStateRecord>;
    return *pending;
}

GlowWidget::GlowWidget() = default;

void GlowWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                      const GlowWidgetParams& params) {
    if (Glow::EndEventHook() == nullptr) Glow::SetEndEventHook(&GlowWidget::DeliverNotifications);
    GlowComponent::Init(parentWidget != nullptr ? static_cast<GlowComponent*>(parentWidget)
                                                : root->Subwindow());
    refcon_ = params.refcon;
    x_ = params.x;
    y_ = params.y;
    width_ = params.width;
    height_ = params.height;
    clipping_ = params.clipping;
    parentWidget_ = parentWidget;
    root_ = root;
    receivesMouse_ = false;
    receivesKeyboard_ = false;
    hasKeyboardFocus_ = false;
    refreshEnabled_ = true;
    visibility_ =
        (parentWidget != nullptr && !parentWidget->IsVisible()) ? hiddenByParent : visible;
    Refresh();
}

GlowWidget::~GlowWidget() {
    if (root_ != nullptr) {
        receivesMouse_ = false;
        receivesKeyboard_ = false;
        // Out of every list whatever the flags say: registration changes
        // earlier in this event may not be reflected in them yet.
        root_->ForgetWidget(this);
    }
    // Children go next, while this widget and its root are whole: a child
    // may still reach its parent (a radio button its group) on the way out.
    DeleteChildren();
    if (root_ != nullptr) Refresh();
    PendingNotifications().erase(this);
}

int GlowWidget::RootPositionX() const {
    int sum = 0;
    for (const GlowWidget* w = this; w != nullptr; w = w->parentWidget_) sum += w->x_;
    return sum;
}

int GlowWidget::RootPositionY() const {
    int sum = 0;
    for (const GlowWidget* w = this; w != nullptr; w = w->parentWidget_) sum += w->y_;
    return sum;
}

void GlowWidget::Move(int x, int y) {
    if (x == x_ && y == y_) return;
    RecordStateTree();
    x_ = x;
    y_ = y;
    Refresh();
}

void GlowWidget::Reshape(int width, int height) {
    if (width == width_ && height == height_) return;
    RecordStateTree();
    width_ = width;
    height_ = height;
    Refresh();
}

void GlowWidget::JoinLists() {
    if (root_ == nullptr) return;
    if (receivesMouse_) root_->RegisterMouseWidget(this);
    if (receivesKeyboard_) root_->RegisterKeyboardWidget(this);
}

void GlowWidget::LeaveLists() {
    if (root_ == nullptr) return;
    root_->UnregisterMouseWidget(this);
    root_->UnregisterKeyboardWidget(this);
}

void GlowWidget::Show() {
    if (visibility_ != hidden) return;
    if (parentWidget_ != nullptr && !parentWidget_->IsVisible()) {
        visibility_ = hiddenByParent;
        return;
    }
    RecordState();
    visibility_ = visible;
    if (IsActive()) JoinLists();
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        if (auto* w = dynamic_cast<GlowWidget*>(c)) w->PropagateVisibility(true);
    }
    Refresh();
}

void GlowWidget::Hide() {
    if (visibility_ == hiddenByParent) {
        visibility_ = hidden;
        return;
    }
    if (visibility_ != visible) return;
    RecordState();
    visibility_ = hidden;
    LeaveLists();
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        if (auto* w = dynamic_cast<GlowWidget*>(c)) w->PropagateVisibility(false);
    }
    Refresh();
}

void GlowWidget::PropagateVisibility(bool show) {
    if (show && visibility_ == hiddenByParent) {
        RecordState();
        visibility_ = visible;
        if (IsActive()) JoinLists();
    } else if (!show && visibility_ == visible) {
        RecordState();
        visibility_ = hiddenByParent;
        LeaveLists();
    } else {
        return;
    }
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        if (auto* w = dynamic_cast<GlowWidget*>(c)) w->PropagateVisibility(show);
    }
}

void GlowWidget::RegisterMouseEvents() {
    if (receivesMouse_) return;
    receivesMouse_ = true;
    if (IsActive() && visibility_ == visible && root_ != nullptr) root_->RegisterMouseWidget(this);
}

void GlowWidget::UnregisterMouseEvents() {
    if (!receivesMouse_) return;
    receivesMouse_ = false;
    if (root_ != nullptr) root_->UnregisterMouseWidget(this);
}

void GlowWidget::RegisterKeyboardEvents() {
    if (receivesKeyboard_) return;
    receivesKeyboard_ = true;
    if (IsActive() && visibility_ == visible && root_ != nullptr) {
        root_->RegisterKeyboardWidget(this);
    }
}

void GlowWidget::UnregisterKeyboardEvents() {
    if (!receivesKeyboard_) return;
    receivesKeyboard_ = false;
    if (root_ != nullptr) root_->UnregisterKeyboardWidget(this);
}

void GlowWidget::OnActivate() {
    // The state may have flipped back since the change was queued.
    if (visibility_ == visible && IsActive()) {
        JoinLists();
        Refresh();
    }
    OnWidgetActivate();
}

void GlowWidget::OnDeactivate() {
    if (visibility_ == visible) {
        LeaveLists();
        Refresh();
    }
    OnWidgetDeactivate();
}

void GlowWidget::GrabKeyboardFocus() {
    if (!hasKeyboardFocus_ && root_ != nullptr) root_->SetKeyboardFocus(this);
}

void GlowWidget::RelinquishKeyboardFocus() {
    if (hasKeyboardFocus_ && root_ != nullptr) root_->AdvanceKeyboardFocus();
}

void GlowWidget::SetFocusState(bool hasFocus) {
    if (hasFocus == hasKeyboardFocus_) return;
    RecordState();
    Refresh();
    hasKeyboardFocus_ = hasFocus;
}

void GlowWidget::Refresh() {
    if (refreshEnabled_ && root_ != nullptr && root_->Subwindow() != nullptr) {
        root_->Subwindow()->Refresh();
    }
}

void GlowWidget::NormalizeCoordinates(int x, int y, float& nx, float& ny) const {
    nx = static_cast<float>(2.0 * x / width_ - 1.0);
    ny = static_cast<float>(1.0 - 2.0 * y / height_);
}

bool GlowWidget::OnBeginPaint() {
    if (visibility_ != visible) return false;
    const int rx = RootPositionX();
    const int bottom = root_->Subwindow()->Height() - RootPositionY() - height_;
    // A widget without area draws nothing of its own: GL refuses a negative
    // viewport, and the widget's coordinates divide by its size.
    const bool hasArea = width_ > 0 && height_ > 0;
    if (hasArea) {
        glViewport(rx, bottom, width_, height_);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    if (clipping_) {
        glGetIntegerv(GL_SCISSOR_BOX, savedScissor_);
        ScissorInside(0, savedScissor_);
    }
    if (hasArea) OnWidgetPaint();
    return true;
}

void GlowWidget::ScissorInside(int margin, const int within[4]) const {
    const long long windowHeight = root_->Subwindow()->Height();
    long long x0 = static_cast<long long>(RootPositionX()) + margin;
    long long y0 = windowHeight - height_ - RootPositionY() + margin;
    long long x1 = x0 + std::max(0, width_ - 2 * margin);
    long long y1 = y0 + std::max(0, height_ - 2 * margin);
    x0 = std::max<long long>(x0, within[0]);
    y0 = std::max<long long>(y0, within[1]);
    x1 = std::min<long long>(x1, static_cast<long long>(within[0]) + within[2]);
    y1 = std::min<long long>(y1, static_cast<long long>(within[1]) + within[3]);
    // No overlap leaves an empty box, never a negative one.
    glScissor(ClampToInt(x0), ClampToInt(y0), ClampToInt(std::max(0LL, x1 - x0)),
              ClampToInt(std::max(0LL, y1 - y0)));
}

void GlowWidget::OnEndPaint() {
    if (clipping_ && visibility_ == visible) {
        glScissor(savedScissor_[0], savedScissor_[1], savedScissor_[2], savedScissor_[3]);
    }
}

int GlowWidget::AutoPack(int left, int right, int top, int bottom, int hOption, int vOption,
                         int& leftMargin, int& rightMargin, int& topMargin, int& bottomMargin) {
    const bool hasLeft = left != unspecifiedPos;
    const bool hasRight = right != unspecifiedPos;
    const bool hasTop = top != unspecifiedPos;
    const bool hasBottom = bottom != unspecifiedPos;
    const int hSize = hasLeft && hasRight ? ClampToInt(static_cast<long long>(right) - left)
                                          : static_cast<int>(unspecifiedSize);
    const int vSize = hasTop && hasBottom ? ClampToInt(static_cast<long long>(bottom) - top)
                                          : static_cast<int>(unspecifiedSize);
    leftMargin = rightMargin = topMargin = bottomMargin = 0;
    const int result = OnAutoPack(hSize, vSize, hOption & sizeOptionMask, vOption & sizeOptionMask,
                                  leftMargin, rightMargin, topMargin, bottomMargin);
    if (result != 0) return result;

    long long l = left, r = right, t = top, b = bottom;
    if (hasLeft) l += leftMargin;
    if (hasRight) r -= rightMargin;
    if (hasTop) t += topMargin;
    if (hasBottom) b -= bottomMargin;

    // A placement whose bound is missing keeps the position.
    auto place = [](int option, bool hasNear, long long nearBound, bool hasFar, long long farBound,
                    int size, int current) {
        switch (option & posOptionMask) {
            case leftPos:
                return hasNear ? ClampToInt(nearBound) : current;
            case rightPos:
                return hasFar ? ClampToInt(farBound - size) : current;
            case centerPos: {
                if (!hasNear) return current;
                const long long farEdge = hasFar ? farBound : nearBound;
                // Division of long long truncates toward zero.
                return ClampToInt((nearBound + farEdge - size) / 2);
            }
            default:
                return current;
        }
    };
    const int newX = place(hOption, hasLeft, l, hasRight, r, width_, x_);
    const int newY = place(vOption, hasTop, t, hasBottom, b, height_, y_);
    Move(newX, newY);
    return 0;
}

int GlowWidget::AutoPackWith(int left, int right, int top, int bottom, int hOption, int vOption) {
    int l, r, t, b;
    return AutoPack(left, right, top, bottom, hOption, vOption, l, r, t, b);
}

int GlowWidget::AutoPackDefault() {
    return AutoPackWith(unspecifiedPos, unspecifiedPos, unspecifiedPos, unspecifiedPos,
                        preferredSize, preferredSize);
}

int GlowWidget::ClampToInt(long long v) {
    // INT_MIN itself is the unspecified marker; a real result never takes it.
    return static_cast<int>(std::clamp<long long>(v, INT_MIN + 1LL, INT_MAX));
}

bool GlowWidget::SizeForRule(int rule, bool given, long long offered, long long preferred,
                             long long current, long long& size) {
    switch (rule) {
        case forcedSize:
            size = given ? offered : current;
            return given;
        case expandPreferredSize:
            size = given ? offered : preferred;
            return true;
        case preferredSize:
            size = preferred;
            return true;
        default:
            size = current;
            return true;
    }
}

bool GlowWidget::SizeForRule(int rule, int offered, int preferred, int current, int& size) {
    long long wide;
    const bool ok =
        SizeForRule(rule, offered != unspecifiedSize, offered, preferred, current, wide);
    // Every candidate is an int.
    size = static_cast<int>(wide);
    return ok;
}

int GlowWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&, int&, int&) {
    if (hOption != noReshape) {
        if (hSize != unspecifiedSize && hSize < width_) return 1;
        if (hOption == forcedSize && hSize != width_) return 1;
    }
    if (vOption == noReshape) return 0;
    if (vSize != unspecifiedSize && vSize < height_) return 2;
    if (vOption == forcedSize && vSize != height_) return 2;
    return 0;
}

void GlowWidget::RecordState() {
    auto& pending = PendingNotifications();
    if (pending.count(this) != 0) return;
    pending[this] =
        GlowWidgetStateRecord{visibility_ == visible, hasKeyboardFocus_, width_, height_,
                              RootPositionX(),        RootPositionY()};
}

void GlowWidget::RecordStateTree() {
    RecordState();
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        if (auto* w = dynamic_cast<GlowWidget*>(c)) w->RecordStateTree();
    }
}

void GlowWidget::DeliverNotifications() {
    auto& pending = PendingNotifications();
    // One record at a time, taken out before its widget hears of it: a
    // handler may delete widgets (their records vanish with them) or change
    // other widgets (their new records are delivered in this pass too). A
    // widget changed again after its notice keeps its new record for the
    // next end of event, so that a handler that always changes its widget
    // cannot keep the pass going.
    std::set<GlowWidget*> told;
    for (;;) {
        auto next = pending.begin();
        while (next != pending.end() && told.count(next->first) != 0) ++next;
        if (next == pending.end()) break;
        GlowWidget* widget = next->first;
        const GlowWidgetStateRecord record = next->second;
        pending.erase(next);
        told.insert(widget);
        widget->NotifyChanges(record);
    }
}

void GlowWidget::NotifyChanges(const GlowWidgetStateRecord& record) {
    // Each handler may change this widget; the checks read the state afresh.
    if (!record.wasVisible && IsVisible()) OnWidgetVisible();
    if (record.width != width_ || record.height != height_) OnWidgetReshape();
    if (record.rootX != RootPositionX() || record.rootY != RootPositionY()) OnWidgetMove();
    if (record.hadFocus && !hasKeyboardFocus_) {
        OnLostKeyboardFocus();
    } else if (!record.hadFocus && hasKeyboardFocus_) {
        OnGotKeyboardFocus();
    }
    if (record.wasVisible && !IsVisible()) OnWidgetInvisible();
}

}  // namespace glow
