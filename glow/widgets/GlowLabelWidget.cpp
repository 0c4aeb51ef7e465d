#include "glow/widgets/GlowLabelWidget.h"

#include "glow/core/Glow_Text.h"

namespace glow {

GlowLabelParams GlowLabelParams::defaults(true);

GlowLabelWidget::GlowLabelWidget(GlowWidget* parentWidget, const GlowLabelParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

GlowLabelWidget::GlowLabelWidget(GlowWidgetRoot* root, const GlowLabelParams& params) {
    Init(root, nullptr, params);
}

GlowLabelWidget::~GlowLabelWidget() = default;

void GlowLabelWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                           const GlowLabelParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    text_ = Glow_OrEmpty(params.text);
    font_ = params.font;
    RecalcText();
    opaque_ = params.opaque;
    hMargin_ = params.hMargin;
    vMargin_ = params.vMargin;
    backColor_ = params.backColor;
    textColor_ = params.textColor;
    inactiveTextColor_ = params.inactiveTextColor;
}

void GlowLabelWidget::SetText(const char* text) {
    // The argument may be the current text; assignment copes with that.
    text_ = Glow_OrEmpty(text);
    RecalcText();
    Refresh();
}

void GlowLabelWidget::SetTextColor(GlowColor color) {
    textColor_ = color;
    Refresh();
}

void GlowLabelWidget::GetPreferredSize(int& width, int& height) const {
    width = textWidth_ + 2 * hMargin_;
    height = textHeight_ + 2 * vMargin_;
}

void GlowLabelWidget::RecalcText() {
    int lines = 1;
    int lineWidth = 0;
    textWidth_ = 0;
    for (const char* p = text_.c_str(); *p != '\0'; ++p) {
        if (*p == '\r') {
            ++lines;
            lineWidth = 0;
            if (p[1] == '\n') ++p;
        } else if (*p == '\n') {
            ++lines;
            lineWidth = 0;
        } else {
            lineWidth += CharWidth(font_, *p);
            if (lineWidth > textWidth_) textWidth_ = lineWidth;
        }
    }
    textHeight_ = lines * font_.Leading();
}

int GlowLabelWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&, int&,
                                int&) {
    int prefWidth, prefHeight;
    GetPreferredSize(prefWidth, prefHeight);
    int newWidth, newHeight;
    if (hSize != unspecifiedSize && hSize < prefWidth) return 1;
    if (!SizeForRule(hOption, hSize, prefWidth, Width(), newWidth)) return 1;
    if (vSize != unspecifiedSize && vSize < prefHeight) return 2;
    if (!SizeForRule(vOption, vSize, prefHeight, Height(), newHeight)) return 2;
    Reshape(newWidth, newHeight);
    return 0;
}

void GlowLabelWidget::OnWidgetPaint() {
    if (opaque_) {
        backColor_.Apply();
        glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    }
    int py = font_.BaselinePos() + vMargin_;
    const int px = hMargin_;
    float nx, ny;
    (IsActive() ? textColor_ : inactiveTextColor_).Apply();
    NormalizeCoordinates(px, py, nx, ny);
    glRasterPos2f(nx, ny);
    for (const char* p = text_.c_str(); *p != '\0'; ++p) {
        if (*p == '\n' || (*p == '\r' && p[1] != '\0' && p[1] != '\n')) {
            py += font_.Leading();
            NormalizeCoordinates(px, py, nx, ny);
            glRasterPos2f(nx, ny);
        } else {
            DrawCharacter(font_, *p);
        }
    }
}

}  // namespace glow
