#ifndef GLOW_WIDGETS_GLOWTEXTFIELDWINDOW_H
#define GLOW_WIDGETS_GLOWTEXTFIELDWINDOW_H

#include <GL/freeglut.h>

#include <string>

#include "glow/core/TSender.h"
#include "glow/widgets/GlowFixedSizeWidgetWindow.h"
#include "glow/widgets/Glow_Dialog.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

class GlowHiddenTextFieldWidget;
class GlowTextFieldWidget;
class GlowTextFieldWindow;
class Glow_TextFieldWindowButton;

// Sent when a button of a text-entry window is pressed.
struct GlowTextFieldWindowMessage {
    GlowTextFieldWindow* window = nullptr;
    std::string text;  // what was typed: for a hidden field the typed text, not the masks
    int buttonIndex = 0;
    int mouseButton = 0;  // 0 when Enter or Escape pressed it
    int modifiers = 0;    // 0 when Enter or Escape pressed it
};

using GlowTextFieldWindowReceiver = TReceiver<const GlowTextFieldWindowMessage&>;

struct GlowTextFieldWindowParams {
    // Copies defaults.
    GlowTextFieldWindowParams() : GlowTextFieldWindowParams(defaults) {}
    GlowTextFieldWindowParams(const GlowTextFieldWindowParams&) = default;
    GlowTextFieldWindowParams& operator=(const GlowTextFieldWindowParams&) = default;

    const char* title;
    int x;  // -1: the window system places the window
    int y;
    const char* labelText;  // the prompt above the field
    GlowFont labelFont;
    const char* text;  // initial text of the field
    GlowFont textFont;
    int fieldWidth;
    char maskChar;  // 0: a plain field; else a hidden field showing this
    GlowFont buttonFont;
    const char* buttons;                    // labels separated by tabs; null is "OK"
    int spacing;                            // margins and gaps
    int enterButton;                        // index of the button Enter presses; others: none
    int escapeButton;                       // index of the button Escape presses; others: none
    GlowTextFieldWindowReceiver* receiver;  // may be null
    GlowColor backColor;
    GlowColor labelColor;
    // The field's focused colours and its selection colour.
    GlowColor fieldBackColor;
    GlowColor selectionColor;
    GlowColor fieldTextColor;
    GlowColor caretColor;

    static GlowTextFieldWindowParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    constexpr explicit GlowTextFieldWindowParams(bool)
        : title("Enter text"),
          x(-1),
          y(-1),
          labelText(""),
          labelFont(GLUT_BITMAP_HELVETICA_12),
          text(""),
          textFont(GLUT_BITMAP_HELVETICA_12),
          fieldWidth(100),
          maskChar(0),
          buttonFont(GLUT_BITMAP_HELVETICA_12),
          buttons("OK"),
          spacing(10),
          enterButton(0),
          escapeButton(1),
          receiver(nullptr),
          backColor(Glow_WidgetColors::gray80),
          labelColor(Glow_WidgetColors::black),
          fieldBackColor(Glow_WidgetColors::white),
          selectionColor(229, 229, 178, 255),
          fieldTextColor(Glow_WidgetColors::black),
          caretColor(102, 102, 127, 255) {}
};

// A fixed-size window with a prompt, a text field (plain or hidden) that
// has the keyboard focus, and a centred row of buttons. The first press of
// a button (by mouse, or Enter and Escape mapped to buttons) sends one
// message with its index and the typed text, then closes the window, which
// is deleted at the end of that event. Not modal by itself.
class GlowTextFieldWindow : public GlowFixedSizeWidgetWindow {
public:
    GlowTextFieldWindow(const char* title, int x, int y, const char* labelText, int fieldWidth,
                        const char* text, const char* buttons,
                        GlowTextFieldWindowReceiver* receiver);
    explicit GlowTextFieldWindow(const GlowTextFieldWindowParams& params);
    ~GlowTextFieldWindow() override;

    TSender<const GlowTextFieldWindowMessage&>& Sender() { return sender_; }
    GlowTextFieldWidget* TextField() const { return textField_; }
    GlowWidget* Prompt() const { return prompt_; }
    int NumButtons() const { return dialog_.NumButtons(); }
    // Null outside 0 to NumButtons() - 1.
    Glow_TextFieldWindowButton* Button(int index) const;
    // What the user typed: the field's text, or a hidden field's typed text.
    const char* TypedText() const;

    // A button was pressed: the message with a copy of text, then the close.
    virtual void OnButtonHit(int buttonIndex, const char* text, int mouseButton, int modifiers);

protected:
    void Init(const char* title, int x, int y, const char* labelText, int fieldWidth,
              const char* text, const char* buttons, GlowTextFieldWindowReceiver* receiver);
    void Init(const GlowTextFieldWindowParams& params);

private:
    TSender<const GlowTextFieldWindowMessage&> sender_;
    Glow_Dialog dialog_;
    GlowTextFieldWidget* textField_ = nullptr;
    // The same field when it is hidden, else null.
    GlowHiddenTextFieldWidget* hiddenField_ = nullptr;
    GlowWidget* prompt_ = nullptr;
    bool hit_ = false;
};

}  // namespace glow

#endif
