#ifndef GLOW_CORE_GLOWKEYBOARDDATA_H
#define GLOW_CORE_GLOWKEYBOARDDATA_H

#include "glow/core/TSender.h"

namespace glow {

class GlowSubwindow;

// A key event on its way through the keyboard filters; a filter may change
// any field, and clears continueDelivery to stop the event.
struct GlowKeyboardData {
    // Special keys arrive as GLUT's special-key code plus this offset.
    enum { specialKeyOffset = 256 };

    GlowKeyboardData() : continueDelivery(true) {}

    GlowSubwindow* subwindow;
    int key;  // 0-255 a character, 256 + GLUT code a special key
    int x;    // mouse position in the window
    int y;
    int modifiers;  // glutGetModifiers: 1 shift, 2 control, 4 alt
    bool continueDelivery;
};

// Base of keyboard filters, bound to Glow's keyboard filter sender.
class GlowKeyboardFilter : public TReceiver<GlowKeyboardData&> {
public:
    ~GlowKeyboardFilter() override = default;
    void OnMessage(GlowKeyboardData& data) override {
        if (data.continueDelivery) data.continueDelivery = Filter(data);
    }

protected:
    virtual bool Filter(GlowKeyboardData& data) = 0;
};

}  // namespace glow

#endif
