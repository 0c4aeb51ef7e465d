#include "glow/widgets/GlowWidgetMapToPushButtonFilter.h"

namespace glow {

GlowWidgetMapToPushButtonFilter::~GlowWidgetMapToPushButtonFilter() = default;

bool GlowWidgetMapToPushButtonFilter::Filter(GlowWidgetKeyboardData& data) {
    if (button_ == nullptr || data.key != key_) return true;
    if ((modifiers_ & data.modifiers) != modifiers_) return true;
    button_->Hit(0, 0);
    return false;
}

}  // namespace glow
