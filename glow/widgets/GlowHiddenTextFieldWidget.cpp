#include "glow/widgets/GlowHiddenTextFieldWidget.h"

#include "glow/core/Glow_Text.h"

namespace glow {

GlowHiddenTextFieldWidget::GlowHiddenTextFieldWidget() = default;

GlowHiddenTextFieldWidget::GlowHiddenTextFieldWidget(GlowWidgetRoot* root,
                                                     const GlowTextFieldParams& params,
                                                     char maskChar) {
    Init(root, nullptr, params, maskChar);
}

GlowHiddenTextFieldWidget::~GlowHiddenTextFieldWidget() = default;

void GlowHiddenTextFieldWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                                     const GlowTextFieldParams& params, char maskChar) {
    GlowTextFieldWidget::Init(root, parentWidget, params);
    maskChar_ = maskChar;
    SetHiddenText(params.text);
}

void GlowHiddenTextFieldWidget::SetHiddenText(const char* text) {
    hiddenText_ = Glow_OrEmpty(text);
    SetDisplayedText(std::string(hiddenText_.size(), maskChar_));
}

void GlowHiddenTextFieldWidget::OnWidgetKeyboard(int key, int x, int y, int modifiers) {
    const int start = Buffer().SelectionStart();
    const int end = Buffer().SelectionEnd();
    if (IsPrintable(key)) {
        hiddenText_.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), 1,
                            static_cast<char>(key));
        // The mask goes in directly: as a key it could be taken for another
        // (a control character would erase or move instead).
        TypeCharacter(maskChar_);
    } else if (IsErase(key)) {
        // The same characters as the shown text loses.
        if (end > start) {
            hiddenText_.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
        } else if (start > 0) {
            hiddenText_.erase(static_cast<size_t>(start - 1), 1);
        }
        GlowTextFieldWidget::OnWidgetKeyboard(key, x, y, modifiers);
    } else {
        GlowTextFieldWidget::OnWidgetKeyboard(key, x, y, modifiers);
    }
}

}  // namespace glow
