#ifndef GLOW_WIDGETS_GLOWMESSAGEWINDOW_H
#define GLOW_WIDGETS_GLOWMESSAGEWINDOW_H

#include <GL/freeglut.h>

#include "glow/core/GlowColor.h"
#include "glow/core/GlowFont.h"
#include "glow/core/TSender.h"
#include "glow/widgets/GlowFixedSizeWidgetWindow.h"
#include "glow/widgets/Glow_Dialog.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

class GlowMessageWindow;
class Glow_MessageWindowButton;

// Sent when a button of a message window is pressed.
struct GlowMessageWindowMessage {
    GlowMessageWindow* window;
    int buttonIndex;  // 0 for the first label
    int mouseButton;  // 0 when Enter or Escape pressed it
    int modifiers;    // 0 when Enter or Escape pressed it
};

using GlowMessageWindowReceiver = TReceiver<const GlowMessageWindowMessage&>;

struct GlowMessageWindowParams {
    // Copies defaults.
    GlowMessageWindowParams() : GlowMessageWindowParams(defaults) {}
    GlowMessageWindowParams(const GlowMessageWindowParams&) = default;
    GlowMessageWindowParams& operator=(const GlowMessageWindowParams&) = default;

    const char* title;
    int x;  // -1: the window system places the window
    int y;
    const char* text;  // null is an empty text
    GlowFont textFont;
    GlowFont buttonFont;
    const char* buttons;                  // labels separated by tabs; null is "OK"
    int spacing;                          // margins and gaps between buttons
    int enterButton;                      // index of the button Enter presses; others: none
    int escapeButton;                     // index of the button Escape presses; others: none
    GlowMessageWindowReceiver* receiver;  // may be null
    GlowColor backColor;
    GlowColor textColor;

    static GlowMessageWindowParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    constexpr explicit GlowMessageWindowParams(bool)
        : title("Note"),
          x(-1),
          y(-1),
          text(""),
          textFont(GLUT_BITMAP_HELVETICA_12),
          buttonFont(GLUT_BITMAP_HELVETICA_12),
          buttons("OK"),
          spacing(10),
          enterButton(0),
          escapeButton(1),
          receiver(nullptr),
          backColor(Glow_WidgetColors::gray80),
          textColor(Glow_WidgetColors::black) {}
};

// A fixed-size window with a text and a centred row of buttons. The first
// press of a button (by mouse, or Enter and Escape mapped to buttons) sends
// one message with its index and closes the window, which is deleted at the
// end of that event. Not modal by itself: the creator may push it.
class GlowMessageWindow : public GlowFixedSizeWidgetWindow {
public:
    GlowMessageWindow(const char* title, int x, int y, const char* text, const char* buttons,
                      GlowMessageWindowReceiver* receiver);
    explicit GlowMessageWindow(const GlowMessageWindowParams& params);
    ~GlowMessageWindow() override;

    TSender<const GlowMessageWindowMessage&>& Sender() { return sender_; }
    int NumButtons() const { return dialog_.NumButtons(); }
    // Null outside 0 to NumButtons() - 1.
    Glow_MessageWindowButton* Button(int index) const;
    GlowWidget* TextLabel() const { return textLabel_; }

    // A button was pressed: the message, then the close.
    virtual void OnButtonHit(int buttonIndex, int mouseButton, int modifiers);

protected:
    void Init(const char* title, int x, int y, const char* text, const char* buttons,
              GlowMessageWindowReceiver* receiver);
    void Init(const GlowMessageWindowParams& params);

private:
    TSender<const GlowMessageWindowMessage&> sender_;
    Glow_Dialog dialog_;
    GlowWidget* textLabel_ = nullptr;
    bool hit_ = false;
};

}  // namespace glow

#endif
