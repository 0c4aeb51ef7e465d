#ifndef GLOW_CORE_GLOWMOUSEDATA_H
#define GLOW_CORE_GLOWMOUSEDATA_H

#include "glow/core/TSender.h"

namespace glow {

class GlowSubwindow;

// A mouse button event on its way through the mouse filters; a filter may
// change any field, and clears continueDelivery to stop the event.
struct GlowMouseData {
    enum { mouseDown = 1, mouseUp = 2 };

    GlowMouseData() : continueDelivery(true) {}

    GlowSubwindow* subwindow;  // the window whose handler is called
    int kind;                  // mouseDown or mouseUp
    int button;                // 0 left, 1 middle, 2 right
    int x;                     // window coordinates, origin top left
    int y;
    int modifiers;  // glutGetModifiers: 1 shift, 2 control, 4 alt
    bool continueDelivery;
};

// Base of mouse filters, bound to Glow's mouse filter sender.
class GlowMouseFilter : public TReceiver<GlowMouseData&> {
public:
    ~GlowMouseFilter() override = default;
    // Runs Filter while the record still continues; stores its answer there.
    void OnMessage(GlowMouseData& data) override {
        if (data.continueDelivery) data.continueDelivery = Filter(data);
    }

protected:
    // False stops the event.
    virtual bool Filter(GlowMouseData& data) = 0;
};

}  // namespace glow

#endif
