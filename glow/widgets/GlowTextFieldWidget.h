#ifndef GLOW_WIDGETS_GLOWTEXTFIELDWIDGET_H
#define GLOW_WIDGETS_GLOWTEXTFIELDWIDGET_H

#include <GL/freeglut.h>

#include "glow/widgets/GlowTextBuffer.h"
#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_TextField_BlinkTask.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

struct GlowTextFieldParams : public GlowWidgetParams {
    enum { plainStyle = 0, etchedStyle = 2, raisedStyle = 3, loweredStyle = 4 };

    // Copies defaults.
    GlowTextFieldParams() : GlowTextFieldParams(defaults) {}
    GlowTextFieldParams(const GlowTextFieldParams&) = default;
    GlowTextFieldParams& operator=(const GlowTextFieldParams&) = default;

    int style;         // 2 etched, 3 raised, 4 lowered; others no frame
    const char* text;  // null is an empty text
    GlowFont font;
    int selectionStart;  // initial anchor
    int selectionEnd;    // initial caret
    int blinkInterval;   // milliseconds
    int autoScrollInterval;
    int textMargin;   // pixels from each edge to the text area
    int caretMargin;  // pixels from each edge to the caret's clip box
    GlowColor backColor;
    GlowColor textColor;
    GlowColor caretColor;
    GlowColor focusBackColor;
    GlowColor focusTextColor;
    GlowColor focusCaretColor;
    GlowColor selectionColor;
    GlowColor inactiveBackColor;
    GlowColor inactiveTextColor;
    GlowColor inactiveCaretColor;
    GlowColor inactiveBorderColor;
    GlowColor lightBevelColor;
    GlowColor darkBevelColor;

    static GlowTextFieldParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    // Colours are the float components times 255, truncated (0.4 is 102).
    constexpr explicit GlowTextFieldParams(bool)
        : GlowWidgetParams{false, 0, 0, 100, 24, 0},
          style(loweredStyle),
          text(""),
          font(GLUT_BITMAP_HELVETICA_12),
          selectionStart(0),
          selectionEnd(0),
          blinkInterval(500),
          autoScrollInterval(50),
          textMargin(5),
          caretMargin(2),
          backColor(Glow_WidgetColors::white),
          textColor(Glow_WidgetColors::black),
          caretColor(Glow_WidgetColors::gray40),
          focusBackColor(Glow_WidgetColors::white),
          focusTextColor(Glow_WidgetColors::black),
          focusCaretColor(Glow_WidgetColors::blue),
          selectionColor(255, 204, 204, 255),
          inactiveBackColor(Glow_WidgetColors::gray80),
          inactiveTextColor(Glow_WidgetColors::black),
          inactiveCaretColor(Glow_WidgetColors::gray40),
          inactiveBorderColor(Glow_WidgetColors::gray30),
          lightBevelColor(Glow_WidgetColors::white),
          darkBevelColor(Glow_WidgetColors::gray30) {}
};

// A one-line editable text. A click gives it the keyboard focus; it then
// takes printable keys, Backspace and Delete, the left and right arrows
// (with Shift to select) and Tab to give the focus on; dragging selects and,
// beyond an edge, scrolls. A program reads and sets the text; the field
// sends no messages.
class GlowTextFieldWidget : public GlowWidget {
public:
    GlowTextFieldWidget(GlowWidgetRoot* root, const GlowTextFieldParams& params);
    ~GlowTextFieldWidget() override;

    // The shown text; valid until the text next changes.
    const char* GetText() const { return buffer_.CString(); }
    // Copies the text (null is empty); keeps the caret, the anchor and the
    // scrolled part within it. A hidden field takes it as the typed text.
    virtual void SetText(const char* text);

    int Anchor() const { return anchor_; }
    int Caret() const { return caret_; }
    int ScrollOffset() const { return scrollOffset_; }
    bool IsCaretOn() const { return caretOn_; }
    bool IsAutoScrollPending() const { return autoScrollPending_; }
    GlowFont GetFont() const { return font_; }
    int TextMargin() const { return textMargin_; }
    const GlowTextBuffer& Buffer() const { return buffer_; }
    Glow_TextField_BlinkTask& BlinkTask() { return blinkTask_; }
    int BlinkInterval() const { return blinkInterval_; }

    // Scrolls the line just enough that the caret lies in the text area.
    void EnsureCaretVisible();
    // One auto-scroll step: the caret goes to the last mouse position.
    void AutoScrollStep();
    // The blink: flips the caret's phase and repaints.
    void ToggleCaret();

protected:
    GlowTextFieldWidget();
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowTextFieldParams& params);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    void OnWidgetPaint() override;
    void OnWidgetMouseDown(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseUp(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseDrag(int x, int y) override;
    void OnWidgetKeyboard(int key, int x, int y, int modifiers) override;
    void OnGotKeyboardFocus() override;
    void OnLostKeyboardFocus() override;
    // A field that can no longer get its mouse release ends its drag.
    void OnWidgetInvisible() override;
    void OnWidgetDeactivate() override;

    // Puts the buffer's text without touching the positions (the hidden
    // field's masking).
    void SetDisplayedText(const std::string& text);
    // Replaces the selection by c and puts the caret after it, as a typed
    // printable key does; c may be any byte.
    void TypeCharacter(char c);
    // The keys that type their own character, and the two that erase
    // (Backspace and Delete both erase before the caret).
    static bool IsPrintable(int key);
    static bool IsErase(int key);

private:
    // The character widths of the field's font.
    class FontWidth : public GlowTextBuffer::CharWidth {
    public:
        explicit FontWidth(GlowFont font) : font_(font) {}
        int operator()(unsigned char c) const override;

    private:
        GlowFont font_;
    };

    // The position under widget x.
    int PositionAt(int x) const;
    void SetCaret(int caret, bool extend);
    void StopAutoScroll();

    // The passes of OnWidgetPaint, in painting order; the selection, the
    // text and the caret are clipped to the text area by the caller.
    void PaintFrame(bool active, bool focused) const;
    void PaintSelection() const;
    void PaintText(bool active, bool focused) const;
    void PaintCaret(bool active, bool focused) const;
    // Starts the auto-scroll step that a press or a drag asked for.
    void StartPendingAutoScroll();

    GlowTextBuffer buffer_;
    GlowFont font_;
    FontWidth charWidth_{GlowFont()};
    int scrollOffset_ = 0;
    int style_ = GlowTextFieldParams::loweredStyle;
    int blinkInterval_ = 500;
    int autoScrollInterval_ = 50;
    int textMargin_ = 5;
    int caretMargin_ = 2;
    int anchor_ = 0;
    int caret_ = 0;
    int lastMouseX_ = 0;
    bool caretOn_ = true;
    bool autoScrollPending_ = false;
    Glow_TextField_BlinkTask blinkTask_;
    GlowColor backColor_;
    GlowColor textColor_;
    GlowColor caretColor_;
    GlowColor focusBackColor_;
    GlowColor focusTextColor_;
    GlowColor focusCaretColor_;
    GlowColor selectionColor_;
    GlowColor inactiveBackColor_;
    GlowColor inactiveTextColor_;
    GlowColor inactiveCaretColor_;
    GlowColor inactiveBorderColor_;
    GlowColor lightBevelColor_;
    GlowColor darkBevelColor_;
};

}  // namespace glow

#endif
