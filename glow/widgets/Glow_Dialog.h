#ifndef GLOW_WIDGETS_GLOW_DIALOG_H
#define GLOW_WIDGETS_GLOW_DIALOG_H

#include <string>
#include <vector>

#include "glow/core/GlowColor.h"
#include "glow/core/GlowFont.h"
#include "glow/widgets/GlowFixedSizeWidgetWindow.h"
#include "glow/widgets/GlowPushButtonWidget.h"

namespace glow {

class GlowLabelWidget;
class GlowWidgetMapToPushButtonFilter;

// Where the parts of a ready-made dialog go: its content (the message, or
// the prompt with its field) at the top, a centred row of buttons below.
struct GlowMessageWindowLayout {
    int windowWidth = 0;
    int windowHeight = 0;
    int textX = 0;
    int textY = 0;
    std::vector<int> buttonX;
    int buttonY = 0;

    // Content of textWidth x textHeight, buttons of the given widths (all as
    // high as buttonHeight), spacing s. Without buttons there is no row.
    static GlowMessageWindowLayout Compute(int textWidth, int textHeight,
                                           const std::vector<int>& buttonWidths, int buttonHeight,
                                           int spacing);
};

// What the ready-made dialogs (the message window and the text-entry
// window) share: the window's parameters, the prompt, and the row of
// buttons with Enter and Escape mapped to two of them. The buttons are
// child widgets of the window; the key filters belong to this object.
class Glow_Dialog {
public:
    Glow_Dialog() = default;
    Glow_Dialog(const Glow_Dialog&) = delete;
    Glow_Dialog& operator=(const Glow_Dialog&) = delete;
    // Deletes the key filters, which unbind themselves from the root.
    ~Glow_Dialog();

    static GlowWidgetWindowParams WindowParams(const char* title, int x, int y,
                                               GlowColor backColor);
    // The labels of a buttons string: split at tabs, no empty label; null
    // is "OK".
    static std::vector<std::string> ButtonLabels(const char* buttons);
    // The text at (spacing, spacing) in its preferred size.
    static GlowLabelWidget* CreatePrompt(GlowWidgetRoot* root, const char* text, GlowFont font,
                                         GlowColor color, int spacing);

    // One button per label, made by make(params, index) and given its
    // preferred size.
    template <class MakeButton>
    void CreateButtons(const char* buttons, GlowFont font, MakeButton make) {
        const std::vector<std::string> labels = ButtonLabels(buttons);
        for (size_t i = 0; i < labels.size(); ++i) {
            GlowPushButtonParams params;
            params.text = labels[i].c_str();
            params.font = font;
            GlowPushButtonWidget* button = make(params, static_cast<int>(i));
            button->AutoPackDefault();
            buttons_.push_back(button);
        }
    }
    // Fixes the window's size for content of contentWidth x contentHeight
    // and moves the buttons into their row.
    void Arrange(GlowFixedSizeWidgetWindow* window, int contentWidth, int contentHeight,
                 int spacing);
    // Enter and Escape press the buttons of these indexes; an index that
    // names no button leaves its key alone.
    void MapKeys(GlowWidgetRoot* root, int enterButton, int escapeButton);

    int NumButtons() const { return static_cast<int>(buttons_.size()); }
    // Null outside 0 to NumButtons() - 1.
    GlowPushButtonWidget* Button(int index) const;
    // Forgets the buttons (the window deletes them with its children).
    void ForgetButtons() { buttons_.clear(); }

private:
    std::vector<GlowPushButtonWidget*> buttons_;
    GlowWidgetMapToPushButtonFilter* enterFilter_ = nullptr;
    GlowWidgetMapToPushButtonFilter* escapeFilter_ = nullptr;
};

}  // namespace glow

#endif
