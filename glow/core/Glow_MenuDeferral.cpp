// GLUT changes that freeglut refuses (by ending the process) while a menu
// is open, kept until no menu is open (Glow::MenuChangesDeferred_).
#include <GL/freeglut.h>

#include <algorithm>
#include <set>
#include <vector>

#include "glow/core/Glow.h"
#include "glow/core/GlowMenu.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/core/Glow_Context.h"

namespace glow {

namespace {

// Built at first use and never destroyed: menus and windows deleted during
// static destruction still find them.
struct DeferredMenuChanges {
    std::vector<GlowMenu*> creations;
    std::set<GlowMenu*> rewrites;
    std::set<GlowSubwindow*> buttonSyncs;
    std::vector<int> destructions;
};

DeferredMenuChanges& Deferred() {
    static auto* deferred = new DeferredMenuChanges;
    return *deferred;
}

}  // namespace

void Glow::DeferMenuCreation_(GlowMenu* menu) {
    Deferred().creations.push_back(menu);
}

void Glow::DeferMenuRewrite_(GlowMenu* menu) {
    Deferred().rewrites.insert(menu);
}

void Glow::DeferMenuDestruction_(int menuId) {
    Deferred().destructions.push_back(menuId);
}

void Glow::DeferButtonMenuSync_(GlowSubwindow* window) {
    Deferred().buttonSyncs.insert(window);
}

void Glow::ForgetDeferredMenu_(GlowMenu* menu) {
    auto& creations = Deferred().creations;
    creations.erase(std::remove(creations.begin(), creations.end(), menu), creations.end());
    Deferred().rewrites.erase(menu);
}

void Glow::ForgetDeferredWindow_(GlowSubwindow* window) {
    Deferred().buttonSyncs.erase(window);
}

void Glow::FlushDeferredMenuChanges_() {
    if (MenuChangesDeferred_()) return;
    DeferredMenuChanges& deferred = Deferred();
    if (!deferred.creations.empty()) {
        std::vector<GlowMenu*> menus;
        menus.swap(deferred.creations);
        int saved = glutGetMenu();
        for (GlowMenu* m : menus) m->CreateGlutMenu_();
        if (saved != 0) glutSetMenu(saved);
        // Buttons given one of these menus before it existed in GLUT.
        std::set<GlowMenu*> created(menus.begin(), menus.end());
        for (auto& entry : Windows()) {
            for (GlowMenu* m : entry.second->buttonMenus_)
                if (m != nullptr && created.count(m) != 0)
                    deferred.buttonSyncs.insert(entry.second);
        }
    }
    if (!deferred.rewrites.empty()) {
        std::set<GlowMenu*> menus;
        menus.swap(deferred.rewrites);
        for (GlowMenu* m : menus) m->RewriteAll_();
    }
    if (!deferred.buttonSyncs.empty()) {
        std::set<GlowSubwindow*> windows;
        windows.swap(deferred.buttonSyncs);
        for (GlowSubwindow* w : windows) {
            Glow_WindowContext context(w->windowId_);
            w->SyncButtonMenus_(w->MaskInForce_());
        }
    }
    if (!deferred.destructions.empty()) {
        std::vector<int> ids;
        ids.swap(deferred.destructions);
        for (int id : ids) GlowMenu::DestroyGlutMenu_(id);
    }
}

}  // namespace glow
