#include "tests/glow/widgets/WidgetFixture.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <sstream>

#include "glow/core/GlowKeyboardData.h"
#include "glow/core/GlowMouseData.h"

namespace widgettest {

Probe::Probe(glow::GlowWidgetRoot* root, glow::GlowWidget* parent, const std::string& name,
             Log* log, int x, int y, int width, int height, bool clipping)
    : name_(name), log_(log) {
    glow::GlowWidgetParams params;
    params.x = x;
    params.y = y;
    params.width = width;
    params.height = height;
    params.clipping = clipping;
    Init(root, parent, params);
}

void Probe::OnWidgetPaint() {
    color_.Apply();
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
}

void Probe::OnWidgetMouseDown(int button, int x, int y, int modifiers) {
    std::ostringstream s;
    s << "Down(" << button << "," << x << "," << y << "," << modifiers << ")";
    Note(s.str());
}

void Probe::OnWidgetMouseUp(int button, int x, int y, int modifiers) {
    std::ostringstream s;
    s << "Up(" << button << "," << x << "," << y << "," << modifiers << ")";
    Note(s.str());
}

void Probe::OnWidgetMouseDrag(int x, int y) {
    std::ostringstream s;
    s << "Drag(" << x << "," << y << ")";
    Note(s.str());
}

void Probe::OnWidgetKeyboard(int key, int x, int y, int modifiers) {
    std::ostringstream s;
    s << "Key(" << key << "," << x << "," << y << "," << modifiers << ")";
    Note(s.str());
    if (onKey) onKey();
}

void Probe::OnWidgetMove() {
    Note("Move");
    if (onMove) onMove();
}

void Probe::OnWidgetReshape() {
    Note("Reshape");
    if (onReshape) onReshape();
}

// glutGetModifiers knows nothing outside a real input event; the filters put
// the modifiers a test asks for into the event record.
class WidgetFixture::ModifierMouseFilter : public glow::GlowMouseFilter {
public:
    explicit ModifierMouseFilter(int* modifiers) : modifiers_(modifiers) {}

protected:
    bool Filter(glow::GlowMouseData& data) override {
        if (*modifiers_ >= 0) data.modifiers = *modifiers_;
        return true;
    }

private:
    int* modifiers_;
};

class WidgetFixture::ModifierKeyFilter : public glow::GlowKeyboardFilter {
public:
    explicit ModifierKeyFilter(int* modifiers) : modifiers_(modifiers) {}

protected:
    bool Filter(glow::GlowKeyboardData& data) override {
        if (*modifiers_ >= 0) data.modifiers = *modifiers_;
        return true;
    }

private:
    int* modifiers_;
};

void WidgetFixture::SetUp() {
    window = new glow::GlowWindow("widget test", 0, 0, kWidth, kHeight,
                                  glow::GlowDisplayMode::doubleBuffer, glow::GlowEventMask());
    subwindow = new glow::GlowWidgetSubwindow();
    subwindow->Init(
        window, 0, 0, kWidth, kHeight, glow::GlowDisplayMode::doubleBuffer,
        glow::GlowEventMask(glow::GlowEventMask::keyboardEvents | glow::GlowEventMask::mouseEvents |
                            glow::GlowEventMask::dragEvents),
        glow::GlowColor(204, 204, 204, 255));
    subwindow->SetAutoSwapBuffers(false);
    ASSERT_TRUE(glowtest::WaitUntilMapped(subwindow));
    mouseFilter_ = new ModifierMouseFilter(&nextModifiers);
    keyFilter_ = new ModifierKeyFilter(&nextModifiers);
    glow::Glow::AddMouseFilter(mouseFilter_);
    glow::Glow::AddKeyboardFilter(keyFilter_);
    log.clear();
}

void WidgetFixture::TearDown() {
    delete window;
    glow::Glow::EndEvent();
    delete mouseFilter_;
    delete keyFilter_;
    glowtest::Pump(10);
}

void WidgetFixture::Press(int x, int y, int button, int modifiers) {
    nextModifiers = modifiers;
    glowtest::SendMouse(subwindow, button, GLUT_DOWN, x, y);
}

void WidgetFixture::Release(int x, int y, int button, int modifiers) {
    nextModifiers = modifiers;
    glowtest::SendMouse(subwindow, button, GLUT_UP, x, y);
}

void WidgetFixture::Drag(int x, int y) {
    glowtest::SendMotion(subwindow, x, y);
}

void WidgetFixture::Key(unsigned char key, int modifiers) {
    nextModifiers = modifiers;
    glowtest::SendKey(subwindow, key, 5, 5);
}

void WidgetFixture::Special(int glutKey, int modifiers) {
    nextModifiers = modifiers;
    glowtest::SendSpecial(subwindow, glutKey, 5, 5);
}

void WidgetFixture::Paint() {
    glowtest::SendDisplay(subwindow);
    glFinish();
    pixels_ = glowtest::ReadBackBuffer(0, 0, kWidth, kHeight);
}

glow::GlowColor WidgetFixture::Color(int x, int y) const {
    const std::uint8_t* p = pixels_.At(x, kHeight - 1 - y);
    return glow::GlowColor(p[0], p[1], p[2], p[3]);
}

void WidgetFixture::Shot(const std::string& name) const {
    glowtest::SavePicture(name, pixels_);
}

std::string Describe(glow::GlowColor c) {
    std::ostringstream s;
    s << "(" << int(c[0]) << ", " << int(c[1]) << ", " << int(c[2]) << ")";
    return s.str();
}

}  // namespace widgettest
