#ifndef TESTS_GLOW_WIDGETS_GLOWTEXTFIELDTESTFIXTURE_H
#define TESTS_GLOW_WIDGETS_GLOWTEXTFIELDTESTFIXTURE_H

// A top-level window holding one widget subwindow, with helpers that feed
// events through the widget root, each followed by the end of the event,
// and read back what the subwindow painted.

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "glow/core/Glow.h"
#include "glow/core/GlowWindow.h"
#include "glow/widgets/GlowWidgetSubwindow.h"
#include "tests/glow/support/GlowTestSupport.h"

namespace fieldtest {

using Rgb = std::array<int, 3>;

inline std::string Str(const Rgb& c) {
    return "(" + std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]) +
           ")";
}

class WidgetWindowTest : public ::testing::Test {
protected:
    static constexpr int windowWidth = 400;
    static constexpr int windowHeight = 300;

    void SetUp() override {
        glowtest::InitGlut();
        window = new glow::GlowWindow("widgets", 0, 0, windowWidth, windowHeight,
                                      glow::GlowDisplayMode::rgbBuffer, glow::GlowEventMask());
        glow::GlowWidgetSubwindowParams params;
        params.x = 0;
        params.y = 0;
        params.width = windowWidth;
        params.height = windowHeight;
        sub = new glow::GlowWidgetSubwindow(window, params);
        sub->SetAutoSwapBuffers(false);
        ASSERT_TRUE(glowtest::WaitUntilMapped(sub));
    }

    void TearDown() override {
        delete window;
        glow::Glow::EndEvent();
        glowtest::Pump(5);
    }

    void End() { glow::Glow::EndEvent(); }
    void Key(int key, int modifiers = 0) {
        sub->WidgetKeyboard(key, 0, 0, modifiers);
        End();
    }
    void Special(int glutKey, int modifiers = 0) { Key(256 + glutKey, modifiers); }
    void Press(int x, int y, int modifiers = 0, int button = 0) {
        sub->WidgetMouseDown(button, x, y, modifiers);
        End();
    }
    void Drag(int x, int y) {
        sub->WidgetMouseDrag(x, y);
        End();
    }
    void Release(int x, int y, int modifiers = 0, int button = 0) {
        sub->WidgetMouseUp(button, x, y, modifiers);
        End();
    }

    // Paints the subwindow into its back buffer and reads it.
    glowtest::Pixels Paint() {
        glowtest::SendDisplay(sub);
        glutSetWindow(sub->WindowId());
        return glowtest::ReadBackBuffer(0, 0, windowWidth, windowHeight);
    }
    // The colour at window pixel (x, y), y from the top.
    static Rgb At(const glowtest::Pixels& p, int x, int y) {
        const std::uint8_t* c = p.At(x, p.height - 1 - y);
        return {c[0], c[1], c[2]};
    }
    static int Count(const glowtest::Pixels& p, int x0, int y0, int x1, int y1, const Rgb& color) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (At(p, x, y) == color) ++n;
        return n;
    }
    static void Save(const glowtest::Pixels& p, const std::string& name) {
        glowtest::SavePicture(name, p);
    }

    glow::GlowWindow* window = nullptr;
    glow::GlowWidgetSubwindow* sub = nullptr;
};

}  // namespace fieldtest

#endif
