// The modal stack: while it holds windows, only its top window is active
// among the top-level windows.
#include <algorithm>
#include <vector>

#include "glow/core/Glow.h"
#include "glow/core/GlowWindow.h"

namespace glow {

namespace {

// Built at first use and never destroyed, as the registries are.
std::vector<GlowWindow*>& ModalStack() {
    static auto* stack = new std::vector<GlowWindow*>;
    return *stack;
}

std::vector<GlowWindow*>::iterator FindOnStack(const GlowSubwindow* window) {
    auto& stack = ModalStack();
    return std::find_if(stack.begin(), stack.end(), [window](GlowWindow* m) {
        return static_cast<const GlowSubwindow*>(m) == window;
    });
}

}  // namespace

void Glow::PushModal(GlowWindow* window) {
    if (window == nullptr) return;
    auto& stack = ModalStack();
    if (std::find(stack.begin(), stack.end(), window) != stack.end()) return;
    if (stack.empty()) {
        SetOtherTopLevelWindowsActive_(window, false);
    } else {
        stack.back()->ChangeActiveState(false, false);
        window->ChangeActiveState(true, false);
    }
    stack.push_back(window);
    window->Raise();
}

void Glow::PopModal() {
    auto& stack = ModalStack();
    if (stack.empty()) return;
    GlowWindow* top = stack.back();
    stack.pop_back();
    if (stack.empty()) {
        SetOtherTopLevelWindowsActive_(top, true);
    } else {
        top->ChangeActiveState(false, false);
        stack.back()->ChangeActiveState(true, false);
        stack.back()->Raise();
    }
}

int Glow::ModalCount() {
    return static_cast<int>(ModalStack().size());
}

GlowWindow* Glow::ModalTop() {
    const auto& stack = ModalStack();
    return stack.empty() ? nullptr : stack.back();
}

bool Glow::IsOnModalStack_(const GlowSubwindow* window) {
    return FindOnStack(window) != ModalStack().end();
}

void Glow::ForgetModalWindow_(const GlowSubwindow* window) {
    auto& stack = ModalStack();
    if (stack.empty()) return;
    if (static_cast<const GlowSubwindow*>(stack.back()) == window) {
        PopModal();
        return;
    }
    auto pos = FindOnStack(window);
    if (pos != stack.end()) stack.erase(pos);
}

void Glow::SetOtherTopLevelWindowsActive_(const GlowWindow* except, bool active) {
    // The windows are listed first: the registry is not walked while their
    // states change.
    std::vector<GlowSubwindow*> others;
    for (auto& entry : Windows())
        if (entry.second->IsTopLevel() && entry.second != except) others.push_back(entry.second);
    for (GlowSubwindow* w : others) w->ChangeActiveState(active, false);
}

}  // namespace glow
