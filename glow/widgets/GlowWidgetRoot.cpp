#include "glow/widgets/GlowWidgetRoot.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "glow/core/GlowSubwindow.h"
#include "glow/widgets/GlowWidget.h"

namespace glow {

namespace {

void Remove(std::vector<GlowWidget*>& list, GlowWidget* widget) {
    list.erase(std::remove(list.begin(), list.end(), widget), list.end());
}

bool Contains(const std::vector<GlowWidget*>& list, const GlowWidget* widget) {
    return std::find(list.begin(), list.end(), widget) != list.end();
}

}  // namespace

GlowWidgetRoot::GlowWidgetRoot() : backColor_(0, 0, 0, 255) {}

GlowWidgetRoot::~GlowWidgetRoot() {
    // The widget windows delete their widgets before this runs; whatever is
    // still listed only loses its registration. Each step shortens a list, so
    // the loops end.
    while (!mouseWidgets_.empty()) {
        GlowWidget* w = mouseWidgets_.front();
        mouseWidgets_.erase(mouseWidgets_.begin());
        w->UnregisterMouseEvents();
    }
    focus_ = nullptr;
    while (!keyboardWidgets_.empty()) {
        GlowWidget* w = keyboardWidgets_.front();
        keyboardWidgets_.erase(keyboardWidgets_.begin());
        w->SetFocusState(false);
        w->UnregisterKeyboardEvents();
    }
    for (GlowWidget*& w : buttonWidgets_) w = nullptr;
}

void GlowWidgetRoot::Init(GlowSubwindow* subwindow, GlowColor backColor) {
    subwindow_ = subwindow;
    backColor_ = backColor;
    focus_ = nullptr;
    for (GlowWidget*& w : buttonWidgets_) w = nullptr;
}

void GlowWidgetRoot::RegisterMouseWidget(GlowWidget* widget) {
    if (widget != nullptr && !Contains(mouseWidgets_, widget)) mouseWidgets_.push_back(widget);
}

void GlowWidgetRoot::UnregisterMouseWidget(GlowWidget* widget) {
    Remove(mouseWidgets_, widget);
    // Its coming drags and release reach nobody.
    for (GlowWidget*& w : buttonWidgets_) {
        if (w == widget) w = nullptr;
    }
}

void GlowWidgetRoot::RegisterKeyboardWidget(GlowWidget* widget) {
    if (widget != nullptr && !Contains(keyboardWidgets_, widget)) {
        keyboardWidgets_.push_back(widget);
    }
}

GlowWidget* GlowWidgetRoot::NextFocus(GlowWidget* from, GlowWidget* leaving) const {
    // The ring after from, wrapping, passing over the widget that is leaving
    // and widgets whose removal waits for the end of the event.
    const auto start = std::find(keyboardWidgets_.begin(), keyboardWidgets_.end(), from);
    const std::size_t n = keyboardWidgets_.size();
    const std::size_t first = start == keyboardWidgets_.end()
                                  ? 0
                                  : static_cast<std::size_t>(start - keyboardWidgets_.begin()) + 1;
    for (std::size_t k = 0; k < n; ++k) {
        GlowWidget* w = keyboardWidgets_[(first + k) % n];
        if (w != leaving && w->IsActive() && w->IsVisible()) return w;
    }
    return nullptr;
}

void GlowWidgetRoot::UnregisterKeyboardWidget(GlowWidget* widget) {
    const auto it = std::find(keyboardWidgets_.begin(), keyboardWidgets_.end(), widget);
    if (it == keyboardWidgets_.end()) return;
    if (focus_ == widget) {
        widget->SetFocusState(false);
        focus_ = NextFocus(widget, widget);
        if (focus_ != nullptr) focus_->SetFocusState(true);
    }
    // Passing the focus on changes no list: the widget is still where it
    // was found.
    keyboardWidgets_.erase(it);
}

void GlowWidgetRoot::ForgetWidget(GlowWidget* widget) {
    UnregisterKeyboardWidget(widget);
    UnregisterMouseWidget(widget);
    if (focus_ == widget) focus_ = nullptr;
}

bool GlowWidgetRoot::SetKeyboardFocus(GlowWidget* widget) {
    if (widget == nullptr) {
        if (focus_ != nullptr) {
            focus_->SetFocusState(false);
            focus_ = nullptr;
        }
        return true;
    }
    if (!Contains(keyboardWidgets_, widget)) return false;
    if (widget == focus_) return true;
    if (focus_ != nullptr) focus_->SetFocusState(false);
    focus_ = widget;
    widget->SetFocusState(true);
    return true;
}

void GlowWidgetRoot::AdvanceKeyboardFocus() {
    if (keyboardWidgets_.empty()) return;
    GlowWidget* next = NextFocus(focus_, nullptr);
    if (next == nullptr) return;  // nobody else can take it
    if (focus_ != nullptr) focus_->SetFocusState(false);
    focus_ = next;
    focus_->SetFocusState(true);
}

void GlowWidgetRoot::AddKeyboardFilter(GlowWidgetKeyboardFilter* filter) {
    if (filter != nullptr && !keyboardFilters_.HasReceiver(filter)) keyboardFilters_.Bind(filter);
}

GlowWidget* GlowWidgetRoot::ButtonWidget(int button) const {
    return button >= 0 && button < 3 ? buttonWidgets_[button] : nullptr;
}

GlowWidget* GlowWidgetRoot::FindWidget(int& x, int& y) const {
    for (GlowWidget* w : mouseWidgets_) {
        const long long rx = w->RootPositionX();
        const long long ry = w->RootPositionY();
        if (rx <= x && x <= rx + w->Width() && ry <= y && y <= ry + w->Height()) {
            x -= static_cast<int>(rx);
            y -= static_cast<int>(ry);
            return w;
        }
    }
    return nullptr;
}

void GlowWidgetRoot::WidgetMouseDown(int button, int x, int y, int modifiers) {
    // GLUT reports the wheel as buttons 3 and 4; they are no gesture.
    if (button < 0 || button > 2) return;
    GlowWidget* w = FindWidget(x, y);
    if (w == nullptr) return;
    buttonWidgets_[button] = w;
    w->OnWidgetMouseDown(button, x, y, modifiers);
}

void GlowWidgetRoot::WidgetMouseUp(int button, int x, int y, int modifiers) {
    if (button < 0 || button > 2) return;
    GlowWidget* w = buttonWidgets_[button];
    buttonWidgets_[button] = nullptr;
    if (w == nullptr) return;
    w->OnWidgetMouseUp(button, x - w->RootPositionX(), y - w->RootPositionY(), modifiers);
}

void GlowWidgetRoot::WidgetMouseDrag(int x, int y) {
    GlowWidget* told[3] = {nullptr, nullptr, nullptr};
    for (int i = 0; i < 3; ++i) {
        // Read afresh: an earlier handler may have unregistered a widget.
        GlowWidget* w = buttonWidgets_[i];
        if (w == nullptr || w == told[0] || w == told[1]) continue;
        told[i] = w;
        w->OnWidgetMouseDrag(x - w->RootPositionX(), y - w->RootPositionY());
    }
}

void GlowWidgetRoot::WidgetKeyboard(int key, int x, int y, int modifiers) {
    GlowWidgetKeyboardData data;
    data.root = this;
    data.key = key;
    data.x = x;
    data.y = y;
    data.modifiers = modifiers;
    data.continueDelivery = true;
    keyboardFilters_.Send(data);
    if (!data.continueDelivery || focus_ == nullptr) return;
    focus_->OnWidgetKeyboard(data.key, data.x - focus_->RootPositionX(),
                             data.y - focus_->RootPositionY(), data.modifiers);
}

bool GlowWidgetRoot::WidgetPaintBegin() {
    const int w = subwindow_->Width();
    const int h = subwindow_->Height();
    glViewport(0, 0, w, h);
    glClearColor(backColor_[0] / 255.0f, backColor_[1] / 255.0f, backColor_[2] / 255.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, w, h);
    return true;
}

void GlowWidgetRoot::WidgetPaintEnd() {
    glDisable(GL_SCISSOR_TEST);
}

}  // namespace glow
