#ifndef TESTS_GLOW_CORE_RECORDINGWINDOW_H
#define TESTS_GLOW_CORE_RECORDINGWINDOW_H

// Windows and subwindows that write every handler call to a shared log.

#include <functional>
#include <string>
#include <vector>

#include "glow/core/GlowSubwindow.h"
#include "glow/core/GlowWindow.h"

namespace coretest {

inline std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

inline std::string Str(int v) {
    return std::to_string(v);
}

template <class Base>
class Recording : public Base {
public:
    std::string name = "w";
    std::function<void(int button, int x, int y, int modifiers)> onMouseDown;
    std::function<void(int key, int x, int y, int modifiers)> onKeyboard;
    std::function<void()> onPaint;
    std::function<void()> onMenuInUse;
    std::function<void()> onMenuNotInUse;
    std::function<void(const glow::GlowMenuMessage&)> onMenuSelection;
    int displays = 0;
    int reshapes = 0;

    void OnReshape(int width, int height) override {
        ++reshapes;
        Log().push_back(name + ".reshape " + Str(width) + " " + Str(height));
        Base::OnReshape(width, height);
    }
    void OnMouseEnter() override { Log().push_back(name + ".enter"); }
    void OnMouseExit() override { Log().push_back(name + ".exit"); }
    void OnMouseDown(int button, int x, int y, int modifiers) override {
        Log().push_back(name + ".down " + Str(button) + " " + Str(x) + " " + Str(y) + " " +
                        Str(modifiers));
        if (onMouseDown) onMouseDown(button, x, y, modifiers);
    }
    void OnMouseUp(int button, int x, int y, int modifiers) override {
        Log().push_back(name + ".up " + Str(button) + " " + Str(x) + " " + Str(y) + " " +
                        Str(modifiers));
    }
    void OnMenuInUse(int x, int y) override {
        Log().push_back(name + ".menuInUse " + Str(x) + " " + Str(y));
        if (onMenuInUse) onMenuInUse();
    }
    void OnMenuNotInUse() override {
        Log().push_back(name + ".menuNotInUse");
        if (onMenuNotInUse) onMenuNotInUse();
    }
    void OnMouseMotion(int x, int y) override {
        Log().push_back(name + ".motion " + Str(x) + " " + Str(y));
    }
    void OnMouseDrag(int x, int y) override {
        Log().push_back(name + ".drag " + Str(x) + " " + Str(y));
    }
    void OnKeyboard(int key, int x, int y, int modifiers) override {
        Log().push_back(name + ".key " + Str(key) + " " + Str(x) + " " + Str(y) + " " +
                        Str(modifiers));
        if (onKeyboard) onKeyboard(key, x, y, modifiers);
    }
    void OnVisible() override { Log().push_back(name + ".visible"); }
    void OnInvisible() override { Log().push_back(name + ".invisible"); }
    void OnMenuSelection(const glow::GlowMenuMessage& m) override {
        Log().push_back(name + ".selection " + Str(m.code));
        if (onMenuSelection) onMenuSelection(m);
    }

protected:
    void OnActivate() override { Log().push_back(name + ".activate"); }
    void OnDeactivate() override { Log().push_back(name + ".deactivate"); }
    void OnEndPaint() override {
        ++displays;
        if (onPaint) onPaint();
    }
};

using RecordingWindow = Recording<glow::GlowWindow>;

// A small top-level window at (x, 10), for the tests that run their work in
// a child process of its own.
inline RecordingWindow* MakeSmallWindow(int x, const char* title) {
    auto* window = new RecordingWindow;
    glow::GlowWindowParams params;
    params.x = x;
    params.y = 10;
    params.width = 120;
    params.height = 90;
    params.title = title;
    window->Init(params);
    return window;
}
using RecordingSubwindow = Recording<glow::GlowSubwindow>;

// Log entries that start with the prefix.
inline std::vector<std::string> Entries(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& s : Log())
        if (s.compare(0, prefix.size(), prefix) == 0) out.push_back(s);
    return out;
}

}  // namespace coretest

#endif
