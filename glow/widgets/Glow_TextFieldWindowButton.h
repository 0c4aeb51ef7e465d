#ifndef GLOW_WIDGETS_GLOW_TEXTFIELDWINDOWBUTTON_H
#define GLOW_WIDGETS_GLOW_TEXTFIELDWINDOWBUTTON_H

#include "glow/widgets/GlowPushButtonWidget.h"

namespace glow {

class GlowTextFieldWindow;

// A button of a text-entry window: its hit goes to the window with its
// index and the typed text, in place of the push button's own message and
// behaviour.
class Glow_TextFieldWindowButton : public GlowPushButtonWidget {
public:
    Glow_TextFieldWindowButton(GlowTextFieldWindow* window, const GlowPushButtonParams& params,
                               int index);
    ~Glow_TextFieldWindowButton() override;

    int Index() const { return index_; }

protected:
    void OnHit(int mouseButton, int modifiers) override;

private:
    GlowTextFieldWindow* window_;
    int index_;
};

}  // namespace glow

#endif
