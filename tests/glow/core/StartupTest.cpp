// Toolkit services used by start-up code in other files, before main runs:
// their state must be ready whatever order the files are initialised in.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "glow/core/Glow.h"
#include "glow/core/GlowComponent.h"
#include "tests/glow/core/RecordingWindow.h"
#include "tests/glow/support/GlowTestSupport.h"

using namespace glow;

namespace {

// Pass every event on; they count what they see.
struct CountingMouseFilter : GlowMouseFilter {
    int calls = 0;
    bool Filter(GlowMouseData&) override {
        ++calls;
        return true;
    }
};

struct CountingKeyFilter : GlowKeyboardFilter {
    int calls = 0;
    bool Filter(GlowKeyboardData&) override {
        ++calls;
        return true;
    }
};

struct StartupComponent : GlowComponent {
    explicit StartupComponent(std::vector<std::string>* journal) : journal_(journal) {
        Init(nullptr);
    }
    ~StartupComponent() override { journal_->push_back("deleted"); }
    void OnDeactivate() override { journal_->push_back("deactivated"); }
    std::vector<std::string>* journal_;
};

// Built before main, in this file's static initialisation; never freed
// (the component deletes itself at the first end of event).
std::vector<std::string>* const startupJournal = new std::vector<std::string>;

CountingMouseFilter* const startupMouseFilter = [] {
    auto* filter = new CountingMouseFilter;
    Glow::AddMouseFilter(filter);
    return filter;
}();

CountingKeyFilter* const startupKeyFilter = [] {
    auto* filter = new CountingKeyFilter;
    Glow::AddKeyboardFilter(filter);
    return filter;
}();

// Deactivated and closed before main: its notice and its deletion wait for
// the first end of event, whichever test runs it.
const bool startupComponentQueued = [] {
    auto* component = new StartupComponent(startupJournal);
    component->Deactivate();
    component->Close();
    return true;
}();

}  // namespace

TEST(StartupTest, FiltersBoundBeforeMainSeeEvents) {
    auto* win = new coretest::RecordingWindow;
    win->name = "w";
    GlowWindowParams params;
    params.title = "startup";
    params.eventMask = GlowEventMask::keyboardEvents | GlowEventMask::mouseEvents;
    win->Init(params);
    const int mouseBefore = startupMouseFilter->calls;
    const int keysBefore = startupKeyFilter->calls;
    glowtest::SendMouse(win, 0, GLUT_DOWN, 5, 5);
    glowtest::SendKey(win, 'k');
    EXPECT_EQ(startupMouseFilter->calls, mouseBefore + 1);
    EXPECT_EQ(startupKeyFilter->calls, keysBefore + 1);
    delete win;
}

TEST(StartupTest, ComponentQueuedBeforeMainIsServedAtTheEndOfAnEvent) {
    ASSERT_TRUE(startupComponentQueued);
    Glow::EndEvent();
    EXPECT_EQ(*startupJournal, (std::vector<std::string>{"deactivated", "deleted"}));
}
