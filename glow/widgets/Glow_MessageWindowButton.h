#ifndef GLOW_WIDGETS_GLOW_MESSAGEWINDOWBUTTON_H
#define GLOW_WIDGETS_GLOW_MESSAGEWINDOWBUTTON_H

#include "glow/widgets/GlowPushButtonWidget.h"

namespace glow {

class GlowMessageWindow;

// A button of a message window: its hit goes to the window with its index,
// in place of the push button's own message and behaviour.
class Glow_MessageWindowButton : public GlowPushButtonWidget {
public:
    Glow_MessageWindowButton(GlowMessageWindow* window, const GlowPushButtonParams& params,
                             int index);
    ~Glow_MessageWindowButton() override;

    int Index() const { return index_; }

protected:
    void OnHit(int mouseButton, int modifiers) override;

private:
    GlowMessageWindow* window_;
    int index_;
};

}  // namespace glow

#endif
