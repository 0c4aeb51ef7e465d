#include "glow/widgets/GlowTextFieldWindow.h"

#include <algorithm>

#include "glow/core/Glow_Text.h"
#include "glow/widgets/GlowHiddenTextFieldWidget.h"
#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/Glow_TextFieldWindowButton.h"

namespace glow {

GlowTextFieldWindowParams GlowTextFieldWindowParams::defaults(true);

GlowTextFieldWindow::GlowTextFieldWindow(const char* title, int x, int y, const char* labelText,
                                         int fieldWidth, const char* text, const char* buttons,
                                         GlowTextFieldWindowReceiver* receiver) {
    Init(title, x, y, labelText, fieldWidth, text, buttons, receiver);
}

GlowTextFieldWindow::GlowTextFieldWindow(const GlowTextFieldWindowParams& params) {
    Init(params);
}

// The field, the prompt and the buttons go with the window's children, the
// key filters with the dialog's parts.
GlowTextFieldWindow::~GlowTextFieldWindow() {
    dialog_.ForgetButtons();
    textField_ = nullptr;
    hiddenField_ = nullptr;
    prompt_ = nullptr;
}

Glow_TextFieldWindowButton* GlowTextFieldWindow::Button(int index) const {
    // Every button of this window is one of its own kind.
    return static_cast<Glow_TextFieldWindowButton*>(dialog_.Button(index));
}

const char* GlowTextFieldWindow::TypedText() const {
    return hiddenField_ != nullptr ? hiddenField_->GetHiddenText() : textField_->GetText();
}

void GlowTextFieldWindow::Init(const char* title, int x, int y, const char* labelText,
                               int fieldWidth, const char* text, const char* buttons,
                               GlowTextFieldWindowReceiver* receiver) {
    GlowTextFieldWindowParams params;
    params.title = title;
    params.x = x;
    params.y = y;
    params.labelText = labelText;
    params.fieldWidth = fieldWidth;
    params.text = text;
    params.buttons = buttons;
    params.receiver = receiver;
    params.enterButton = 0;
    params.escapeButton = 1;
    Init(params);
}

void GlowTextFieldWindow::Init(const GlowTextFieldWindowParams& p) {
    const int s = p.spacing;
    GlowFixedSizeWidgetWindow::Init(Glow_Dialog::WindowParams(p.title, p.x, p.y, p.backColor));
    dialog_.CreateButtons(p.buttons, p.buttonFont,
                          [this](const GlowPushButtonParams& params, int index) {
                              return new Glow_TextFieldWindowButton(this, params, index);
                          });
    prompt_ = Glow_Dialog::CreatePrompt(this, p.labelText, p.labelFont, p.labelColor, s);

    GlowTextFieldParams field;
    field.x = s;
    field.y = prompt_->Height() + 2 * s;
    field.width = p.fieldWidth;
    field.text = p.text;
    field.font = p.textFont;
    field.focusBackColor = p.fieldBackColor;
    field.focusTextColor = p.fieldTextColor;
    field.focusCaretColor = p.caretColor;
    field.selectionColor = p.selectionColor;
    if (p.maskChar != 0) {
        hiddenField_ = new GlowHiddenTextFieldWidget(this, field, p.maskChar);
        textField_ = hiddenField_;
    } else {
        textField_ = new GlowTextFieldWidget(this, field);
    }
    textField_->AutoPackDefault();
    textField_->GrabKeyboardFocus();

    // The prompt and the field, one above the other, are the content.
    dialog_.Arrange(this, std::max(prompt_->Width(), textField_->Width()),
                    prompt_->Height() + s + textField_->Height(), s);
    if (p.receiver != nullptr) sender_.Bind(p.receiver);
    dialog_.MapKeys(this, p.enterButton, p.escapeButton);
}

void GlowTextFieldWindow::OnButtonHit(int buttonIndex, const char* text, int mouseButton,
                                      int modifiers) {
    // One message per window: a second press before the deletion is ignored.
    if (hit_) return;
    hit_ = true;
    GlowTextFieldWindowMessage message;
    message.window = this;
    message.text = Glow_OrEmpty(text);
    message.buttonIndex = buttonIndex;
    message.mouseButton = mouseButton;
    message.modifiers = modifiers;
    sender_.Send(message);
    Close();
}

}  // namespace glow
