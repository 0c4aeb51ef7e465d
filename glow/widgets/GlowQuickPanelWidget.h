#ifndef GLOW_WIDGETS_GLOWQUICKPANELWIDGET_H
#define GLOW_WIDGETS_GLOWQUICKPANELWIDGET_H

#include "glow/widgets/GlowPanelWidget.h"
#include "glow/widgets/GlowQuickPalette.h"

namespace glow {

class GlowLabelWidget;

// A panel that stacks its visible child widgets along its axis with a fixed
// spacing and margins, takes the size the stack needs and aligns the
// children across the axis. An optional title sits on (etched style) or
// above (other styles) its top edge.
class GlowQuickPanelWidget : public GlowQuickPalette, public GlowPanelWidget {
public:
    // -1 in any of the last five takes the parent quick panel's value, or
    // the fixed default (vertical, near, spacing 8, margins 10) without one.
    GlowQuickPanelWidget(GlowWidgetRoot* root, GlowQuickPanelWidget* parentWidget, int style,
                         const char* title, int arrangement, int alignment, int spacing,
                         int hMargin, int vMargin);
    ~GlowQuickPanelWidget() override;

    GlowLabelWidget* TitleLabel() const { return titleLabel_; }

    static constexpr int defaultArrangement = vertical;
    static constexpr int defaultAlignment = alignNear;
    static constexpr int defaultSpacing = 8;
    static constexpr int defaultHMargin = 10;
    static constexpr int defaultVMargin = 10;

protected:
    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;

private:
    friend class GlowQuickPalette;

    // Working values of the stacking pass: the next free coordinate along
    // the axis, the largest extent across it, the least width (the title's).
    struct Stack {
        long long pos = 0;
        long long maxCross = 0;
        long long minWidth = 0;
    };

    bool IsVertical() const { return arrangement_ != horizontal; }
    // First pass: the title, and every other child at its preferred size,
    // one after the other. topMargin becomes the title's room on top.
    Stack StackChildren(int& topMargin);
    // Puts the title on (etched style) or above the top edge; returns the
    // room it takes above the panel.
    int PlaceTitle(Stack& stack);
    void StackChild(GlowWidget* child, Stack& stack) const;
    // Second pass: every child placed across the axis within cross pixels.
    void AlignChildren(long long cross) const;

    GlowLabelWidget* titleLabel_ = nullptr;
    int arrangement_ = vertical;
    int alignment_ = alignNear;
    int spacing_ = 0;
    int hMargin_ = 0;
    int vMargin_ = 0;
};

}  // namespace glow

#endif
