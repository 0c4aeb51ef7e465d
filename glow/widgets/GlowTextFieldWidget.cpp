#include "glow/widgets/GlowTextFieldWidget.h"

#include <algorithm>

#include "glow/core/Glow.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/core/Glow_Text.h"
#include "glow/widgets/GlowWidgetRoot.h"
#include "glow/widgets/Glow_TextField_AutoScrollTimer.h"

namespace glow {

GlowTextFieldParams GlowTextFieldParams::defaults(true);

namespace {

constexpr int shiftModifier = 1;
constexpr int specialKey = 256;
constexpr int leftArrowKey = specialKey + GLUT_KEY_LEFT;
constexpr int rightArrowKey = specialKey + GLUT_KEY_RIGHT;
constexpr int backspaceKey = 8;
constexpr int deleteKey = 127;

}  // namespace

bool GlowTextFieldWidget::IsPrintable(int key) {
    return (key >= 32 && key <= 126) || (key >= 128 && key <= 255);
}

bool GlowTextFieldWidget::IsErase(int key) {
    return key == backspaceKey || key == deleteKey;
}

int GlowTextFieldWidget::FontWidth::operator()(unsigned char c) const {
    return GlowWidget::CharWidth(font_, static_cast<char>(c));
}

GlowTextFieldWidget::GlowTextFieldWidget() = default;

GlowTextFieldWidget::GlowTextFieldWidget(GlowWidgetRoot* root, const GlowTextFieldParams& params) {
    Init(root, nullptr, params);
}

GlowTextFieldWidget::~GlowTextFieldWidget() {
    Glow_TextField_AutoScrollTimer::instance->StopFor(this);
    blinkTask_.Cancel();
    blinkTask_.SetField(nullptr);
}

void GlowTextFieldWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                               const GlowTextFieldParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    style_ = params.style;
    if (params.text != nullptr) buffer_.SetText(params.text);
    font_ = params.font;
    charWidth_ = FontWidth(font_);
    scrollOffset_ = 0;
    // An initial selection outside the text is brought inside it.
    const int length = buffer_.Length();
    anchor_ = std::clamp(params.selectionStart, 0, length);
    caret_ = std::clamp(params.selectionEnd, 0, length);
    buffer_.SetSelection(anchor_, caret_);
    blinkInterval_ = std::max(0, params.blinkInterval);
    autoScrollInterval_ = std::max(0, params.autoScrollInterval);
    textMargin_ = params.textMargin;
    caretMargin_ = params.caretMargin;
    backColor_ = params.backColor;
    textColor_ = params.textColor;
    caretColor_ = params.caretColor;
    focusBackColor_ = params.focusBackColor;
    focusTextColor_ = params.focusTextColor;
    focusCaretColor_ = params.focusCaretColor;
    selectionColor_ = params.selectionColor;
    inactiveBackColor_ = params.inactiveBackColor;
    inactiveTextColor_ = params.inactiveTextColor;
    inactiveCaretColor_ = params.inactiveCaretColor;
    inactiveBorderColor_ = params.inactiveBorderColor;
    lightBevelColor_ = params.lightBevelColor;
    darkBevelColor_ = params.darkBevelColor;
    caretOn_ = true;
    autoScrollPending_ = false;
    blinkTask_.SetField(this);
    RegisterMouseEvents();
    RegisterKeyboardEvents();
}

void GlowTextFieldWidget::SetText(const char* text) {
    SetDisplayedText(Glow_OrEmpty(text));
}

void GlowTextFieldWidget::SetDisplayedText(const std::string& text) {
    buffer_.SetText(text.c_str());
    const int length = buffer_.Length();
    anchor_ = std::min(anchor_, length);
    caret_ = std::min(caret_, length);
    buffer_.SetSelection(anchor_, caret_);
    // Never scrolled further than needed to show the end of the text.
    const int area = std::max(0, Width() - 2 * textMargin_);
    const int maxOffset = std::max(0, buffer_.LineWidth(charWidth_, 0) - area);
    scrollOffset_ = std::clamp(scrollOffset_, 0, maxOffset);
    Refresh();
}

int GlowTextFieldWidget::PositionAt(int x) const {
    return buffer_.PositionAtPixel(charWidth_, 0, x - textMargin_ + scrollOffset_);
}

void GlowTextFieldWidget::SetCaret(int caret, bool extend) {
    caret_ = std::clamp(caret, 0, buffer_.Length());
    if (!extend) anchor_ = caret_;
    buffer_.SetSelection(anchor_, caret_);
}

void GlowTextFieldWidget::EnsureCaretVisible() {
    const int px = buffer_.PixelOfPosition(charWidth_, caret_, 0);
    if (px < scrollOffset_) {
        scrollOffset_ = px;
    } else if (px > scrollOffset_ + Width() - 2 * textMargin_) {
        scrollOffset_ = px - Width() + 2 * textMargin_;
    }
    if (scrollOffset_ < 0) scrollOffset_ = 0;
}

void GlowTextFieldWidget::AutoScrollStep() {
    SetCaret(PositionAt(lastMouseX_), true);
    EnsureCaretVisible();
    autoScrollPending_ = true;
    Refresh();
}

void GlowTextFieldWidget::ToggleCaret() {
    caretOn_ = !caretOn_;
    Refresh();
}

void GlowTextFieldWidget::StopAutoScroll() {
    Glow_TextField_AutoScrollTimer::instance->StopFor(this);
    autoScrollPending_ = false;
}

void GlowTextFieldWidget::OnWidgetKeyboard(int key, int, int, int modifiers) {
    if (IsPrintable(key)) {
        TypeCharacter(static_cast<char>(key));
        return;
    } else if (IsErase(key)) {
        if (buffer_.SelectionLength() > 0) {
            const int start = buffer_.SelectionStart();
            buffer_.DeleteSelection();
            SetCaret(start, false);
        } else if (caret_ > 0) {
            const int p = caret_ - 1;
            buffer_.SetSelection(p, p + 1);
            buffer_.DeleteSelection();
            SetCaret(p, false);
        } else {
            return;
        }
    } else if (key == 9) {
        RelinquishKeyboardFocus();
        Refresh();
        return;
    } else if (key == leftArrowKey) {
        if (caret_ <= 0) return;
        SetCaret(caret_ - 1, (modifiers & shiftModifier) != 0);
    } else if (key == rightArrowKey) {
        if (caret_ >= buffer_.Length()) return;
        SetCaret(caret_ + 1, (modifiers & shiftModifier) != 0);
    } else {
        return;
    }
    EnsureCaretVisible();
    Refresh();
}

void GlowTextFieldWidget::TypeCharacter(char c) {
    buffer_.ReplaceSelection(c);
    SetCaret(buffer_.SelectionEnd(), false);
    EnsureCaretVisible();
    Refresh();
}

void GlowTextFieldWidget::OnWidgetMouseDown(int, int x, int, int modifiers) {
    if (!HasKeyboardFocus()) GrabKeyboardFocus();
    lastMouseX_ = x;
    SetCaret(PositionAt(x), (modifiers & shiftModifier) != 0);
    EnsureCaretVisible();
    autoScrollPending_ = true;
    Refresh();
}

void GlowTextFieldWidget::OnWidgetMouseDrag(int x, int) {
    lastMouseX_ = x;
    SetCaret(PositionAt(x), true);
    Refresh();
}

void GlowTextFieldWidget::OnWidgetMouseUp(int, int x, int, int) {
    SetCaret(PositionAt(x), true);
    EnsureCaretVisible();
    // Only this field's own chain ends here.
    StopAutoScroll();
    Refresh();
}

void GlowTextFieldWidget::OnGotKeyboardFocus() {
    blinkTask_.Schedule(static_cast<unsigned int>(blinkInterval_));
}

void GlowTextFieldWidget::OnLostKeyboardFocus() {
    blinkTask_.Cancel();
}

void GlowTextFieldWidget::OnWidgetInvisible() {
    StopAutoScroll();
}

void GlowTextFieldWidget::OnWidgetDeactivate() {
    StopAutoScroll();
}

int GlowTextFieldWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&,
                                    int&, int&) {
    const bool hGiven = hSize != unspecifiedSize;
    const bool vGiven = vSize != unspecifiedSize;
    int w = Width();
    if (hGiven && hSize < w) return 1;
    if (hOption == expandPreferredSize || hOption == forcedSize) {
        // A rule that needs a size and has none keeps the width.
        if (hGiven) w = hSize;
    }
    if (w < CharWidth(font_, '0') + 2 * textMargin_) return 1;
    const int minH = font_.Leading() + 2 * textMargin_;
    if (vGiven && vSize < minH) return 2;
    int h;
    if (!SizeForRule(NoGrowthRule(vOption), vSize, minH, Height(), h)) return 2;
    Reshape(w, h);
    return 0;
}

void GlowTextFieldWidget::OnWidgetPaint() {
    const bool active = IsActive();
    const bool focused = HasKeyboardFocus();
    PaintFrame(active, focused);

    GLint saved[4];
    glGetIntegerv(GL_SCISSOR_BOX, saved);
    ScissorInside(textMargin_, saved);
    if (focused) PaintSelection();
    PaintText(active, focused);
    // A focused active field hides the caret in the off phase of the blink.
    if (!active || !focused || caretOn_) {
        ScissorInside(caretMargin_, saved);
        PaintCaret(active, focused);
    }
    glScissor(saved[0], saved[1], saved[2], saved[3]);

    StartPendingAutoScroll();
}

void GlowTextFieldWidget::PaintFrame(bool active, bool focused) const {
    (!active ? inactiveBackColor_ : focused ? focusBackColor_ : backColor_).Apply();
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    if (!active) {
        inactiveBorderColor_.Apply();
        DrawPixelOutline(0, 0, Width() - 1, Height() - 1);
    } else if (style_ == GlowTextFieldParams::etchedStyle) {
        DrawEtchedFrame(lightBevelColor_, darkBevelColor_);
    } else if (style_ == GlowTextFieldParams::raisedStyle) {
        DrawBevel(1.0f, lightBevelColor_, darkBevelColor_);
    } else if (style_ == GlowTextFieldParams::loweredStyle) {
        DrawBevel(1.0f, darkBevelColor_, lightBevelColor_);
    }
}

void GlowTextFieldWidget::PaintSelection() const {
    if (buffer_.SelectionLength() <= 0) return;
    const int sx = textMargin_ - scrollOffset_ +
                   buffer_.PixelOfPosition(charWidth_, buffer_.SelectionStart(), 0);
    const int ex = textMargin_ - scrollOffset_ +
                   buffer_.PixelOfPosition(charWidth_, buffer_.SelectionEnd(), 0);
    float nx0, ny0, nx1, ny1;
    NormalizeCoordinates(sx, textMargin_, nx0, ny0);
    NormalizeCoordinates(ex, textMargin_ + font_.Leading(), nx1, ny1);
    selectionColor_.Apply();
    glRectf(nx0, ny1, nx1, ny0);
}

void GlowTextFieldWidget::PaintText(bool active, bool focused) const {
    int first = 0, end = 0, offset = 0;
    buffer_.VisibleRange(charWidth_, 0, scrollOffset_, Width() - 2 * textMargin_, first, end,
                         offset);
    // A character that would start left of the widget is left out, so that
    // the raster position stays inside the viewport; never past the end.
    const std::string& text = buffer_.Text();
    while (offset > textMargin_ && first < end) {
        offset -= charWidth_(static_cast<unsigned char>(text[static_cast<size_t>(first)]));
        ++first;
    }
    if (first >= end) return;
    (!active ? inactiveTextColor_ : focused ? focusTextColor_ : textColor_).Apply();
    float nx, ny;
    NormalizeCoordinates(textMargin_ - offset, textMargin_ + font_.BaselinePos(), nx, ny);
    glRasterPos2f(nx, ny);
    for (int i = first; i < end; ++i) DrawCharacter(font_, text[static_cast<size_t>(i)]);
}

void GlowTextFieldWidget::PaintCaret(bool active, bool focused) const {
    (!active ? inactiveCaretColor_ : focused ? focusCaretColor_ : caretColor_).Apply();
    const int cx = textMargin_ - scrollOffset_ + buffer_.PixelOfPosition(charWidth_, caret_, 0);
    // Stem from one pixel below the top of the line to its bottom row, bars
    // two pixels left and right of it.
    const int top = textMargin_ + 1;
    const int bottom = textMargin_ + font_.Leading() - 1;
    DrawPixelLine(cx, top, cx, bottom);
    DrawPixelLine(cx - 2, bottom, cx + 2, bottom);
    DrawPixelLine(cx - 2, top, cx + 2, top);
}

void GlowTextFieldWidget::StartPendingAutoScroll() {
    if (!autoScrollPending_) return;
    autoScrollPending_ = false;
    Glow_TextField_AutoScrollTimer::instance->StartFor(this, autoScrollInterval_);
}

}  // namespace glow
