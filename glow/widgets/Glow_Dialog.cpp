#include "glow/widgets/Glow_Dialog.h"

#include <algorithm>

#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/GlowWidgetMapToPushButtonFilter.h"
#include "glow/widgets/Glow_SplitAtTabs.h"

namespace glow {

namespace {

constexpr int enterKey = 13;
constexpr int escapeKey = 27;
// Extra room between the content and the row of buttons.
constexpr int rowGap = 10;

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
    const long long height =
        n > 0 ? static_cast<long long>(textHeight) + buttonHeight + 3 * s + rowGap
              : static_cast<long long>(textHeight) + 2 * s;
    layout.windowWidth = static_cast<int>(width);
    layout.windowHeight = static_cast<int>(height);
    layout.textX = spacing;
    layout.textY = spacing;
    layout.buttonY = static_cast<int>(textHeight + 2 * s + rowGap);
    long long x = (width - rowWidth) / 2;
    for (int w : buttonWidths) {
        layout.buttonX.push_back(static_cast<int>(x));
        x += w + s;
    }
    return layout;
}

Glow_Dialog::~Glow_Dialog() {
    delete enterFilter_;
    delete escapeFilter_;
}

GlowWidgetWindowParams Glow_Dialog::WindowParams(const char* title, int x, int y,
                                                 GlowColor backColor) {
    GlowWidgetWindowParams params;
    params.title = title;
    params.x = x;
    params.y = y;
    params.backColor = backColor;
    return params;
}

std::vector<std::string> Glow_Dialog::ButtonLabels(const char* buttons) {
    return Glow_SplitAtTabs(buttons != nullptr ? buttons : "OK");
}

GlowLabelWidget* Glow_Dialog::CreatePrompt(GlowWidgetRoot* root, const char* text, GlowFont font,
                                           GlowColor color, int spacing) {
    GlowLabelParams params;
    params.text = text;
    params.font = font;
    params.x = spacing;
    params.y = spacing;
    params.textColor = color;
    params.inactiveTextColor = color;
    auto* label = new GlowLabelWidget(root, params);
    label->AutoPackDefault();
    return label;
}

GlowPushButtonWidget* Glow_Dialog::Button(int index) const {
    if (index < 0 || index >= NumButtons()) return nullptr;
    return buttons_[static_cast<size_t>(index)];
}

void Glow_Dialog::Arrange(GlowFixedSizeWidgetWindow* window, int contentWidth, int contentHeight,
                          int spacing) {
    std::vector<int> widths;
    for (GlowPushButtonWidget* button : buttons_) widths.push_back(button->Width());
    // No button is read that does not exist.
    const int buttonHeight = buttons_.empty() ? 0 : buttons_.front()->Height();
    const GlowMessageWindowLayout layout = GlowMessageWindowLayout::Compute(
        contentWidth, contentHeight, widths, buttonHeight, spacing);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->Move(layout.buttonX[i], layout.buttonY);
    }
    window->ForceReshape(layout.windowWidth, layout.windowHeight);
}

void Glow_Dialog::MapKeys(GlowWidgetRoot* root, int enterButton, int escapeButton) {
    enterFilter_ = new GlowWidgetMapToPushButtonFilter(Button(enterButton), enterKey, 0);
    escapeFilter_ = new GlowWidgetMapToPushButtonFilter(Button(escapeButton), escapeKey, 0);
    root->AddKeyboardFilter(enterFilter_);
    root->AddKeyboardFilter(escapeFilter_);
}

}  // namespace glow
