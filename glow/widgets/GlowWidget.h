#ifndef GLOW_WIDGETS_GLOWWIDGET_H
#define GLOW_WIDGETS_GLOWWIDGET_H

#include <climits>
#include <cstdint>
#include <map>

#include "glow/core/GlowColor.h"
#include "glow/core/GlowComponent.h"
#include "glow/core/GlowFont.h"
#include "glow/widgets/Glow_WidgetDrawing.h"

namespace glow {

class GlowWidgetRoot;

// Auto-pack options of one axis: a size rule in the low four bits and a
// placement in the next four, combined with |.
enum GlowPackOptions : int {
    noReshape = 0,            // keep the current size
    preferredSize = 1,        // the widget's preferred size
    expandPreferredSize = 2,  // grow to the given size
    forcedSize = 3,           // exactly the given size
    sizeOptionMask = 0x0f,

    noMove = 0x00,  // keep the current position
    leftPos = 0x10,
    topPos = 0x10,
    rightPos = 0x20,
    bottomPos = 0x20,
    centerPos = 0x30,
    posOptionMask = 0xf0,

    // A bound or a size that is not given.
    unspecifiedSize = INT_MIN,
    unspecifiedPos = INT_MIN
};

inline GlowPackOptions operator|(GlowPackOptions a, GlowPackOptions b) {
    return static_cast<GlowPackOptions>(static_cast<int>(a) | static_cast<int>(b));
}
inline GlowPackOptions operator&(GlowPackOptions a, GlowPackOptions b) {
    return static_cast<GlowPackOptions>(static_cast<int>(a) & static_cast<int>(b));
}
inline GlowPackOptions& operator|=(GlowPackOptions& a, GlowPackOptions b) {
    return a = a | b;
}

// The fields that begin every widget's parameter record.
struct GlowWidgetParams {
    bool clipping = false;
    int x = 0;
    int y = 0;
    int width = 100;
    int height = 100;
    std::intptr_t refcon = 0;
};

// What a widget looked like before its first change in the current event.
struct GlowWidgetStateRecord {
    bool wasVisible;
    bool hadFocus;
    int width;
    int height;
    int rootX;
    int rootY;
};

// Base of every widget: a rectangle in a widget window, served by the
// window's widget root for painting, mouse and keyboard. Changes of
// visibility, size, position and focus are reported to the widget at the
// end of the event in which they happened.
class GlowWidget : public GlowComponent {
public:
    ~GlowWidget() override;

    void Move(int x, int y);
    void Reshape(int width, int height);
    int PositionX() const { return x_; }
    int PositionY() const { return y_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int RootPositionX() const;
    int RootPositionY() const;

    void Show();
    void Hide();
    bool IsVisible() const { return visibility_ == visible; }

    void RegisterMouseEvents();
    void UnregisterMouseEvents();
    void RegisterKeyboardEvents();
    void UnregisterKeyboardEvents();
    bool ReceivesMouse() const { return receivesMouse_; }
    bool ReceivesKeyboard() const { return receivesKeyboard_; }

    void GrabKeyboardFocus();
    void RelinquishKeyboardFocus();
    bool HasKeyboardFocus() const { return hasKeyboardFocus_; }
    // The root's way to set or clear the focus flag.
    void SetFocusState(bool hasFocus);

    GlowWidgetRoot* WidgetRoot() const { return root_; }
    GlowWidget* ParentWidget() const { return parentWidget_; }
    std::intptr_t GetRefCon() const { return refcon_; }
    void SetRefCon(std::intptr_t refcon) { refcon_ = refcon; }

    void Refresh();
    void SetRefreshEnabled(bool enabled) { refreshEnabled_ = enabled; }
    bool IsRefreshEnabled() const { return refreshEnabled_; }

    // Widget-local pixels to the -1..1 coordinates of the widget's viewport.
    void NormalizeCoordinates(int x, int y, float& nx, float& ny) const;

    // Sizes and places the widget in a box of its parent's coordinates; any
    // bound may be unspecifiedPos. Returns 0, or 1 (2) when the width
    // (height) cannot be met; on failure the widget is not moved.
    int AutoPack(int left, int right, int top, int bottom, int hOption, int vOption,
                 int& leftMargin, int& rightMargin, int& topMargin, int& bottomMargin);
    int AutoPackWith(int left, int right, int top, int bottom, int hOption, int vOption);
    int AutoPackDefault();

    // The size of one axis under a size rule, for OnAutoPack: forcedSize
    // takes the offered size, expandPreferredSize the offered size or, when
    // none is offered, the preferred one, preferredSize the preferred one,
    // any other rule keeps the current size. False when forcedSize has no
    // offered size. The first form takes unspecifiedSize as none offered.
    static bool SizeForRule(int rule, int offered, int preferred, int current, int& size);
    static bool SizeForRule(int rule, bool given, long long offered, long long preferred,
                            long long current, long long& size);
    // The rule of an axis that does not grow: expandPreferredSize acts as
    // preferredSize.
    static int NoGrowthRule(int rule) {
        return rule == expandPreferredSize ? static_cast<int>(preferredSize) : rule;
    }

    // The end-of-event pass that delivers the recorded changes.
    static void DeliverNotifications();

    void RecordState();
    void RecordStateTree();

    // The text and drawing helpers of Glow_WidgetDrawing, in the widget's
    // own viewport (see there).
    static int CharWidth(GlowFont font, char c) { return Glow_WidgetDrawing::CharWidth(font, c); }
    static int StringWidth(GlowFont font, const char* text) {
        return Glow_WidgetDrawing::StringWidth(font, text);
    }
    static void DrawCharacter(GlowFont font, char c) { Glow_WidgetDrawing::DrawCharacter(font, c); }
    void FillPixels(int left, int top, int right, int bottom) const {
        Glow_WidgetDrawing::FillPixels(width_, height_, left, top, right, bottom);
    }
    void DrawPixelOutline(int left, int top, int right, int bottom) const {
        Glow_WidgetDrawing::DrawPixelOutline(width_, height_, left, top, right, bottom);
    }
    void DrawPixelLine(int x0, int y0, int x1, int y1) const {
        Glow_WidgetDrawing::DrawPixelLine(width_, height_, x0, y0, x1, y1);
    }
    void DrawBevel(float right, const GlowColor& topLeft, const GlowColor& bottomRight) const {
        Glow_WidgetDrawing::DrawBevel(width_, height_, right, topLeft, bottomRight);
    }
    static void DrawBevel(int width, int height, float right, const GlowColor& topLeft,
                          const GlowColor& bottomRight) {
        Glow_WidgetDrawing::DrawBevel(width, height, right, topLeft, bottomRight);
    }
    void DrawEtchedFrame(const GlowColor& light, const GlowColor& dark) const {
        Glow_WidgetDrawing::DrawEtchedFrame(width_, height_, light, dark);
    }
    void DrawTextLine(float x, GlowFont font, const char* text) const {
        Glow_WidgetDrawing::DrawTextLine(x, height_, font, text);
    }
    static void DrawTextLine(float x, int height, GlowFont font, const char* text) {
        Glow_WidgetDrawing::DrawTextLine(x, height, font, text);
    }

protected:
    GlowWidget();
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowWidgetParams& params);

    // Scissors to the widget's rectangle shrunk by margin on every side,
    // within the box `within` (x, y, width, height in window pixels, as
    // GL_SCISSOR_BOX gives it); where they do not overlap the box is empty.
    void ScissorInside(int margin, const int within[4]) const;

    // Bounds and sizes may be unspecifiedPos; sums of two given values are
    // computed wide and brought back into range so that no placement
    // overflows.
    static int ClampToInt(long long v);

    void OnActivate() override;
    void OnDeactivate() override;
    bool OnBeginPaint() override;
    void OnEndPaint() override;

    virtual int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                           int& rightMargin, int& topMargin, int& bottomMargin);
    virtual void OnWidgetPaint() {}
    virtual void OnWidgetMouseDown(int /*button*/, int /*x*/, int /*y*/, int /*modifiers*/) {}
    virtual void OnWidgetMouseUp(int /*button*/, int /*x*/, int /*y*/, int /*modifiers*/) {}
    virtual void OnWidgetMouseDrag(int /*x*/, int /*y*/) {}
    virtual void OnWidgetKeyboard(int /*key*/, int /*x*/, int /*y*/, int /*modifiers*/) {}
    virtual void OnGotKeyboardFocus() {}
    virtual void OnLostKeyboardFocus() {}
    virtual void OnWidgetMove() {}
    virtual void OnWidgetReshape() {}
    virtual void OnWidgetVisible() {}
    virtual void OnWidgetInvisible() {}
    virtual void OnWidgetActivate() {}
    virtual void OnWidgetDeactivate() {}

private:
    friend class GlowWidgetRoot;

    enum : std::int16_t { hidden = 0, visible = 1, hiddenByParent = 2 };

    void NotifyChanges(const GlowWidgetStateRecord& record);
    void PropagateVisibility(bool show);
    // Puts the widget into the root's lists it wants, or takes it out of all.
    void JoinLists();
    void LeaveLists();

    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool refreshEnabled_ = false;
    bool clipping_ = false;
    int savedScissor_[4] = {0, 0, 0, 0};
    GlowWidgetRoot* root_ = nullptr;
    GlowWidget* parentWidget_ = nullptr;
    bool receivesMouse_ = false;
    bool receivesKeyboard_ = false;
    bool hasKeyboardFocus_ = false;
    std::int16_t visibility_ = hidden;
    std::intptr_t refcon_ = 0;

    static std::map<GlowWidget*, GlowWidgetStateRecord>& PendingNotifications();
};

}  // namespace glow

#endif
