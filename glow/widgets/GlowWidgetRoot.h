#ifndef GLOW_WIDGETS_GLOWWIDGETROOT_H
#define GLOW_WIDGETS_GLOWWIDGETROOT_H

#include <vector>

#include "glow/core/GlowColor.h"
#include "glow/core/TSender.h"

namespace glow {

class GlowSubwindow;
class GlowWidget;
class GlowWidgetRoot;

// The record a key travels in through a widget root's keyboard filters.
struct GlowWidgetKeyboardData {
    GlowWidgetRoot* root = nullptr;
    int key = 0;
    int x = 0;
    int y = 0;
    int modifiers = 0;
    bool continueDelivery = true;
};

// Base of a widget root's keyboard filters: Filter returns false to stop the
// key before the later filters and the focused widget.
class GlowWidgetKeyboardFilter : public TReceiver<GlowWidgetKeyboardData&> {
public:
    ~GlowWidgetKeyboardFilter() override = default;
    void OnMessage(GlowWidgetKeyboardData& data) override {
        if (data.continueDelivery) data.continueDelivery = Filter(data);
    }

protected:
    virtual bool Filter(GlowWidgetKeyboardData& data) = 0;
};

// The part of a widget window that serves its widgets: painting set-up, hit
// testing, mouse routing per button, keyboard filters and the focus ring.
// Each widget is at most once in each list.
class GlowWidgetRoot {
public:
    GlowWidgetRoot();
    GlowWidgetRoot(const GlowWidgetRoot&) = delete;
    GlowWidgetRoot& operator=(const GlowWidgetRoot&) = delete;
    virtual ~GlowWidgetRoot();

    void Init(GlowSubwindow* subwindow, GlowColor backColor);
    GlowSubwindow* Subwindow() const { return subwindow_; }
    GlowColor BackColor() const { return backColor_; }

    // Called by the widget base only. Registering a listed widget and
    // unregistering an unlisted one change nothing.
    void RegisterMouseWidget(GlowWidget* widget);
    void UnregisterMouseWidget(GlowWidget* widget);
    void RegisterKeyboardWidget(GlowWidget* widget);
    void UnregisterKeyboardWidget(GlowWidget* widget);

    // A widget that is not in the focus ring is refused (false).
    bool SetKeyboardFocus(GlowWidget* widget);
    void AdvanceKeyboardFocus();
    GlowWidget* GetKeyboardFocus() const { return focus_; }

    void AddKeyboardFilter(GlowWidgetKeyboardFilter* filter);

    // Hit test in window pixels; on a hit x and y become widget-local.
    GlowWidget* FindWidget(int& x, int& y) const;

    void WidgetMouseDown(int button, int x, int y, int modifiers);
    void WidgetMouseUp(int button, int x, int y, int modifiers);
    void WidgetMouseDrag(int x, int y);
    void WidgetKeyboard(int key, int x, int y, int modifiers);

    bool WidgetPaintBegin();
    void WidgetPaintEnd();

    const std::vector<GlowWidget*>& MouseWidgets() const { return mouseWidgets_; }
    const std::vector<GlowWidget*>& KeyboardWidgets() const { return keyboardWidgets_; }
    // The widget that got the press of button 0, 1 or 2 and not its release.
    GlowWidget* ButtonWidget(int button) const;

private:
    friend class GlowWidget;

    // Drops the widget from every list and button entry; the widget's
    // destructor calls it.
    void ForgetWidget(GlowWidget* widget);
    GlowWidget* NextFocus(GlowWidget* from, GlowWidget* leaving) const;

    GlowColor backColor_;
    std::vector<GlowWidget*> mouseWidgets_;
    std::vector<GlowWidget*> keyboardWidgets_;
    GlowWidget* focus_ = nullptr;
    GlowWidget* buttonWidgets_[3] = {nullptr, nullptr, nullptr};
    GlowSubwindow* subwindow_ = nullptr;
    TSender<GlowWidgetKeyboardData&> keyboardFilters_;
};

}  // namespace glow

#endif
