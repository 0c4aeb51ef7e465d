#include "glow/widgets/Glow_ButtonTracking.h"

#include "glow/widgets/GlowWidget.h"

namespace glow {

void Glow_ButtonTracking::Down(GlowWidget* widget, int mouseButton, int mouseModifiers) {
    tracking = true;
    inside = true;
    button = mouseButton;
    modifiers = mouseModifiers;
    widget->Refresh();
}

void Glow_ButtonTracking::Drag(GlowWidget* widget, int x, int y) {
    const bool nowInside = x >= 0 && x <= widget->Width() && y >= 0 && y <= widget->Height();
    if (nowInside != inside) {
        inside = nowInside;
        widget->Refresh();
    }
}

bool Glow_ButtonTracking::Up(GlowWidget* widget) {
    if (!tracking) return false;
    tracking = false;
    widget->Refresh();
    return inside;
}

}  // namespace glow
