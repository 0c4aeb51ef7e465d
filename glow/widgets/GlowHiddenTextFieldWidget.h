#ifndef GLOW_WIDGETS_GLOWHIDDENTEXTFIELDWIDGET_H
#define GLOW_WIDGETS_GLOWHIDDENTEXTFIELDWIDGET_H

#include <string>

#include "glow/widgets/GlowTextFieldWidget.h"

namespace glow {

// A text field that shows one mask character for every typed character
// (a password field). GetText gives the masks; GetHiddenText the typed text.
class GlowHiddenTextFieldWidget : public GlowTextFieldWidget {
public:
    GlowHiddenTextFieldWidget(GlowWidgetRoot* root, const GlowTextFieldParams& params,
                              char maskChar);
    ~GlowHiddenTextFieldWidget() override;

    const char* GetHiddenText() const { return hiddenText_.c_str(); }
    char MaskChar() const { return maskChar_; }
    // The typed text becomes a copy of text (null is empty); the field shows
    // as many mask characters.
    void SetHiddenText(const char* text);
    // The same as SetHiddenText: the typed text and the masks stay in step.
    void SetText(const char* text) override { SetHiddenText(text); }

protected:
    GlowHiddenTextFieldWidget();
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowTextFieldParams& params,
              char maskChar);

    void OnWidgetKeyboard(int key, int x, int y, int modifiers) override;

private:
    std::string hiddenText_;
    char maskChar_ = '*';
};

}  // namespace glow

#endif
