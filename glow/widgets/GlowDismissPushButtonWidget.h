#ifndef GLOW_WIDGETS_GLOWDISMISSPUSHBUTTONWIDGET_H
#define GLOW_WIDGETS_GLOWDISMISSPUSHBUTTONWIDGET_H

#include "glow/widgets/GlowPushButtonWidget.h"

namespace glow {

// A push button that, after its hit, closes a component (at the end of the
// event).
class GlowDismissPushButtonWidget : public GlowPushButtonWidget {
public:
    GlowDismissPushButtonWidget(GlowWidget* parentWidget, const GlowPushButtonParams& params,
                                GlowComponent* toDismiss);
    ~GlowDismissPushButtonWidget() override;

    GlowComponent* ToDismiss() const { return toDismiss_; }

protected:
    void OnHit(int mouseButton, int modifiers) override;

private:
    GlowComponent* toDismiss_ = nullptr;
};

}  // namespace glow

#endif
