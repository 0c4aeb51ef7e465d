#ifndef GLOW_WIDGETS_GLOWWIDGETMAPTOPUSHBUTTONFILTER_H
#define GLOW_WIDGETS_GLOWWIDGETMAPTOPUSHBUTTONFILTER_H

#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowWidgetRoot.h"

namespace glow {

// Turns one key, with at least the given modifiers held, into a hit of a
// push button and stops that key.
class GlowWidgetMapToPushButtonFilter : public GlowWidgetKeyboardFilter {
public:
    GlowWidgetMapToPushButtonFilter(GlowPushButtonWidget* button, int key, int modifiers)
        : button_(button), key_(key), modifiers_(modifiers) {}
    ~GlowWidgetMapToPushButtonFilter() override;

protected:
    bool Filter(GlowWidgetKeyboardData& data) override;

private:
    GlowPushButtonWidget* button_;
    int key_;
    int modifiers_;
};

}  // namespace glow

#endif
