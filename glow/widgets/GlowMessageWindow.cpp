#include "glow/widgets/GlowMessageWindow.h"

#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/Glow_MessageWindowButton.h"

namespace glow {

GlowMessageWindowParams GlowMessageWindowParams::defaults(true);

GlowMessageWindow::GlowMessageWindow(const char* title, int x, int y, const char* text,
                                     const char* buttons, GlowMessageWindowReceiver* receiver) {
    Init(title, x, y, text, buttons, receiver);
}

GlowMessageWindow::GlowMessageWindow(const GlowMessageWindowParams& params) {
    Init(params);
}

// The buttons and the label go with the window's children, the key
// filters with the dialog's parts.
GlowMessageWindow::~GlowMessageWindow() {
    dialog_.ForgetButtons();
    textLabel_ = nullptr;
}

Glow_MessageWindowButton* GlowMessageWindow::Button(int index) const {
    // Every button of this window is one of its own kind.
    return static_cast<Glow_MessageWindowButton*>(dialog_.Button(index));
}

void GlowMessageWindow::Init(const char* title, int x, int y, const char* text, const char* buttons,
                             GlowMessageWindowReceiver* receiver) {
    GlowMessageWindowParams params;
    params.title = title;
    params.x = x;
    params.y = y;
    params.text = text;
    params.buttons = buttons;
    params.receiver = receiver;
    params.enterButton = 0;
    params.escapeButton = 1;
    Init(params);
}

void GlowMessageWindow::Init(const GlowMessageWindowParams& p) {
    GlowFixedSizeWidgetWindow::Init(Glow_Dialog::WindowParams(p.title, p.x, p.y, p.backColor));
    dialog_.CreateButtons(p.buttons, p.buttonFont,
                          [this](const GlowPushButtonParams& params, int index) {
                              return new Glow_MessageWindowButton(this, params, index);
                          });
    textLabel_ = Glow_Dialog::CreatePrompt(this, p.text, p.textFont, p.textColor, p.spacing);
    dialog_.Arrange(this, textLabel_->Width(), textLabel_->Height(), p.spacing);
    if (p.receiver != nullptr) sender_.Bind(p.receiver);
    dialog_.MapKeys(this, p.enterButton, p.escapeButton);
}

void GlowMessageWindow::OnButtonHit(int buttonIndex, int mouseButton, int modifiers) {
    // One message per window: a second press before the deletion is ignored.
    if (hit_) return;
    hit_ = true;
    GlowMessageWindowMessage message{this, buttonIndex, mouseButton, modifiers};
    sender_.Send(message);
    Close();
}

}  // namespace glow
