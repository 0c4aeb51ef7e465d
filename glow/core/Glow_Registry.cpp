// The registries: the toolkit's window and menu objects by GLUT id.
#include <map>

#include "glow/core/Glow.h"

namespace glow {

namespace {

// Built at first use and never destroyed: windows and menus that outlive
// main (or go during static destruction) still find them.
std::map<int, GlowSubwindow*>& WindowRegistry() {
    static auto* registry = new std::map<int, GlowSubwindow*>;
    return *registry;
}

std::map<int, GlowMenu*>& MenuRegistry() {
    static auto* registry = new std::map<int, GlowMenu*>;
    return *registry;
}

}  // namespace

void Glow::RegisterWindow(GlowSubwindow* window, int windowId) {
    // Right after its creation a new window is GLUT's current one.
    WatchWindowDestruction_();
    WindowRegistry().emplace(windowId, window);
    ArmRefreshPoll_();
}

void Glow::UnregisterWindow(int windowId) {
    auto& registry = WindowRegistry();
    auto it = registry.find(windowId);
    if (it == registry.end()) return;
    GlowSubwindow* w = it->second;
    // A window's destructor comes here, where nothing may be thrown: memory
    // that runs out while the windows below a modal one get their activity
    // back fails the main loop instead. The window is forgotten all the same.
    try {
        ForgetModalWindow_(w);
    } catch (...) {
        KeepCallbackFailure_(std::current_exception());
    }
    // freeglut reports the end of a menu opened over this window while it
    // destroys the window: by then the object must be forgotten.
    if (menuWindow_ == w) menuWindow_ = nullptr;
    ForgetDeferredWindow_(w);
    registry.erase(windowId);
}

GlowSubwindow* Glow::WindowForId(int windowId) {
    const auto& registry = WindowRegistry();
    auto it = registry.find(windowId);
    return it != registry.end() ? it->second : nullptr;
}

const std::map<int, GlowSubwindow*>& Glow::Windows() {
    return WindowRegistry();
}

void Glow::RegisterMenu(GlowMenu* menu, int menuId) {
    MenuRegistry().emplace(menuId, menu);
}

void Glow::UnregisterMenu(int menuId) {
    MenuRegistry().erase(menuId);
}

GlowMenu* Glow::MenuForId(int menuId) {
    const auto& registry = MenuRegistry();
    auto it = registry.find(menuId);
    return it != registry.end() ? it->second : nullptr;
}

const std::map<int, GlowMenu*>& Glow::Menus() {
    return MenuRegistry();
}

}  // namespace glow
