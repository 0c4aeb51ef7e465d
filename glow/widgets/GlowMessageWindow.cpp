#include "glow/widgets/GlowMessageWindow.h"

#include <algorithm>

#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/GlowWidgetMapToPushButtonFilter.h"
#include "glow/widgets/Glow_MessageWindowButton.h"

namespace glow {

GlowMessageWindowParams GlowMessageWindowParams::defaults(true);

namespace {

constexpr int enterKey = 13;
constexpr int escapeKey = 27;

}  // namespace

GlowMessageWindowLayout GlowMessageWindowLayout::Compute(int textWidth, int textHeight,
                                                         const std::vector<int>& buttonWidths,
                                                         int buttonHeight, int spacing) {
    GlowMessageWindowLayout layout;
    const long long s = spacing;
    const long long n = static_cast<long long>(buttonWidths.size());
    long long rowWidth = 0;
    for (int w : buttonWidths) rowWidth += w;
    if (n > 0) rowWidth += s * (n - 1);
    const long long width = std::max(rowWidth + 2 * s, static_cast<long long>(textWidth) + 2 * s);
    // Without buttons there is no row: the window ends a margin below the text.
    const long long height = n > 0 ? static_cast<long long>(textHeight) + buttonHeight + 3 * s + 10
                                   : static_cast<long long>(textHeight) + 2 * s;
    layout.windowWidth = static_cast<int>(width);
    layout.windowHeight = static_cast<int>(height);
    layout.textX = spacing;
    layout.textY = spacing;
    layout.buttonY = static_cast<int>(textHeight + 2 * s + 10);
    long long x = (width - rowWidth) / 2;
    for (int w : buttonWidths) {
        layout.buttonX.push_back(static_cast<int>(x));
        x += w + s;
    }
    return layout;
}

std::vector<std::string> GlowMessageWindow::SplitLabels(const char* buttons) {
    std::vector<std::string> labels;
    std::string label;
    for (const char* p = buttons != nullptr ? buttons : "OK";; ++p) {
        if (*p == '\t' || *p == '\0') {
            if (!label.empty()) labels.push_back(label);
            label.clear();
            if (*p == '\0') break;
        } else {
            label += *p;
        }
    }
    return labels;
}

GlowMessageWindow::GlowMessageWindow(const char* title, int x, int y, const char* text,
                                     const char* buttons, GlowMessageWindowReceiver* receiver) {
    Init(title, x, y, text, buttons, receiver);
}

GlowMessageWindow::GlowMessageWindow(const GlowMessageWindowParams& params) {
    Init(params);
}

GlowMessageWindow::~GlowMessageWindow() {
    delete enterFilter_;
    enterFilter_ = nullptr;
    delete escapeFilter_;
    escapeFilter_ = nullptr;
    buttons_.clear();
    textLabel_ = nullptr;
}

Glow_MessageWindowButton* GlowMessageWindow::Button(int index) const {
    if (index < 0 || index >= NumButtons()) return nullptr;
    return buttons_[static_cast<size_t>(index)];
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
    GlowWidgetWindowParams windowParams;
    windowParams.title = p.title;
    windowParams.x = p.x;
    windowParams.y = p.y;
    windowParams.backColor = p.backColor;
    GlowFixedSizeWidgetWindow::Init(windowParams);

    const std::vector<std::string> labels = SplitLabels(p.buttons);
    std::vector<int> widths;
    int buttonHeight = 0;
    for (size_t i = 0; i < labels.size(); ++i) {
        GlowPushButtonParams buttonParams;
        buttonParams.text = labels[i].c_str();
        buttonParams.font = p.buttonFont;
        auto* button = new Glow_MessageWindowButton(this, buttonParams, static_cast<int>(i));
        button->AutoPackDefault();
        buttons_.push_back(button);
        widths.push_back(button->Width());
        if (i == 0) buttonHeight = button->Height();
    }

    GlowLabelParams labelParams;
    labelParams.text = p.text;
    labelParams.font = p.textFont;
    labelParams.x = p.spacing;
    labelParams.y = p.spacing;
    labelParams.textColor = p.textColor;
    labelParams.inactiveTextColor = p.textColor;
    auto* label = new GlowLabelWidget(static_cast<GlowWidgetRoot*>(this), labelParams);
    label->AutoPackDefault();
    textLabel_ = label;

    const GlowMessageWindowLayout layout = GlowMessageWindowLayout::Compute(
        label->Width(), label->Height(), widths, buttonHeight, p.spacing);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->Move(layout.buttonX[i], layout.buttonY);
    }
    ForceReshape(layout.windowWidth, layout.windowHeight);

    if (p.receiver != nullptr) sender_.Bind(p.receiver);

    enterFilter_ = new GlowWidgetMapToPushButtonFilter(Button(p.enterButton), enterKey, 0);
    escapeFilter_ = new GlowWidgetMapToPushButtonFilter(Button(p.escapeButton), escapeKey, 0);
    AddKeyboardFilter(enterFilter_);
    AddKeyboardFilter(escapeFilter_);
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
