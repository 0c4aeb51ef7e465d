#ifndef TESTS_GLOW_WIDGETS_WIDGETFIXTURE_H
#define TESTS_GLOW_WIDGETS_WIDGETFIXTURE_H

// A widget subwindow in a real window under Xvfb, events sent through the
// toolkit's GLUT callbacks, a probe widget that logs its handlers and a
// receiver that records its messages.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "glow/core/Glow.h"
#include "glow/core/GlowWindow.h"
#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/GlowWidgetSubwindow.h"
#include "tests/glow/support/GlowTestSupport.h"

namespace widgettest {

using Log = std::vector<std::string>;

// Logs every handler as "<name>.<Handler>" (mouse and key handlers with
// their arguments) and fills its rectangle with its colour.
class Probe : public glow::GlowWidget {
public:
    Probe(glow::GlowWidgetRoot* root, glow::GlowWidget* parent, const std::string& name, Log* log,
          int x, int y, int width, int height, bool clipping = false);

    void SetColor(glow::GlowColor c) { color_ = c; }
    // Called from the matching handler, after it is logged.
    std::function<void()> onMove, onReshape, onKey;

protected:
    void OnWidgetPaint() override;
    void OnWidgetMouseDown(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseUp(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseDrag(int x, int y) override;
    void OnWidgetKeyboard(int key, int x, int y, int modifiers) override;
    void OnGotKeyboardFocus() override { Note("GotFocus"); }
    void OnLostKeyboardFocus() override { Note("LostFocus"); }
    void OnWidgetMove() override;
    void OnWidgetReshape() override;
    void OnWidgetVisible() override { Note("Visible"); }
    void OnWidgetInvisible() override { Note("Invisible"); }
    void OnWidgetActivate() override { Note("Activate"); }
    void OnWidgetDeactivate() override { Note("Deactivate"); }

private:
    void Note(const std::string& what) { log_->push_back(name_ + "." + what); }

    std::string name_;
    Log* log_;
    glow::GlowColor color_{255, 0, 0, 255};
};

// Keeps a copy of every message it receives.
template <class Message>
class Recorder : public glow::TReceiver<const Message&> {
public:
    void OnMessage(const Message& m) override { messages.push_back(m); }
    std::vector<Message> messages;
};

// One window with a widget subwindow of kWidth x kHeight filling it, back
// colour 0.8 grey, painted without swapping so that the back buffer can be
// read.
class WidgetFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;

    void SetUp() override;
    void TearDown() override;

    glow::GlowWidgetRoot* Root() { return subwindow; }

    // Each event is followed by end-of-event processing, as GLUT's are.
    void Press(int x, int y, int button = 0, int modifiers = 0);
    void Release(int x, int y, int button = 0, int modifiers = 0);
    void Drag(int x, int y);
    void Click(int x, int y, int button = 0, int modifiers = 0) {
        Press(x, y, button, modifiers);
        Release(x, y, button, modifiers);
    }
    void Key(unsigned char key, int modifiers = 0);
    void Special(int glutKey, int modifiers = 0);
    // Ends the current (test-made) event.
    void EndEvent() { glow::Glow::EndEvent(); }

    // Paints the subwindow into its back buffer and reads it; Color is a
    // pixel in window coordinates from the top left.
    void Paint();
    glow::GlowColor Color(int x, int y) const;
    // Keeps the last painting as a picture named name.
    void Shot(const std::string& name) const;

    glow::GlowWindow* window = nullptr;
    glow::GlowWidgetSubwindow* subwindow = nullptr;
    Log log;
    // The modifiers the next event carries; -1 leaves GLUT's own value
    // (for real X input through xdotool).
    int nextModifiers = 0;

private:
    class ModifierMouseFilter;
    class ModifierKeyFilter;
    ModifierMouseFilter* mouseFilter_ = nullptr;
    ModifierKeyFilter* keyFilter_ = nullptr;
    glowtest::Pixels pixels_;
};

inline bool SameColor(glow::GlowColor a, glow::GlowColor b) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

std::string Describe(glow::GlowColor c);

}  // namespace widgettest

#define EXPECT_COLOR(actual, expected)                               \
    EXPECT_TRUE(::widgettest::SameColor((actual), (expected)))       \
        << "got " << ::widgettest::Describe(actual) << ", expected " \
        << ::widgettest::Describe(expected)

#endif
