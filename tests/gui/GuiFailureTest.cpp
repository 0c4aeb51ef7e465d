// The front end when memory runs out in the window after a run has appended
// its line: the line is told all the same, before the window ends. Each case
// runs in a child process of its own (a failed window ends GLUT), which
// starts GLUT, builds the front end and reports what it saw; its standard
// output goes to a file. This program links the failing operator new.
#include <GL/freeglut.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysismodule.h"
#include "glow/core/Glow.h"
#include "glow/core/GlowWindow.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowQuickPaletteSubwindow.h"
#include "glow/widgets/GlowTextFieldWidget.h"
#include "gui/GUI.h"
#include "tests/analysis/testsupport.h"
#include "tests/glow/support/ChildProcess.h"
#include "tests/glow/support/FailingAllocation.h"
#include "tests/glow/support/GlowTestSupport.h"
#include "tests/gui/FiveTaxa.h"

namespace {

constexpr int kRunMsecs = 60000;

using guitest::kFiveTaxa;

// A press and release in the middle of a palette widget, as GLUT delivers
// them.
void Click(GUI& gui, glow::GlowWidget* widget) {
    const int x = widget->RootPositionX() + widget->Width() / 2;
    const int y = widget->RootPositionY() + widget->Height() / 2;
    glowtest::SendMouse(gui.palette, 0, GLUT_DOWN, x, y);
    glowtest::SendMouse(gui.palette, 0, GLUT_UP, x, y);
}

// A window whose paint finds memory gone.
class ShortOfMemoryWindow : public glow::GlowWindow {
public:
    ShortOfMemoryWindow() {
        glow::GlowWindowParams params;
        params.title = "short of memory";
        params.width = 50;
        params.height = 50;
        Init(params);
    }

protected:
    void OnEndPaint() override { throw std::bad_alloc(); }
};

// In the child: standard output into `path`, the front end built, `input`
// opened and run to its end, without the main loop's look at the ended run
// yet. Gives the front end, or null when that went wrong.
GUI* RunToItsEnd(const std::string& input, const std::string& path) {
    const int out = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || dup2(out, STDOUT_FILENO) < 0) return nullptr;
    glowtest::InitGlut();
    auto* gui = new GUI(new AnalysisModule);
    if (!glowtest::WaitUntilMapped(gui->palette)) return nullptr;
    gui->inputPathField->SetText(input.c_str());
    Click(*gui, gui->openButton);
    // "File Opened", closed with Enter.
    if (glow::Glow::ModalTop() == nullptr) return nullptr;
    glowtest::SendKey(glow::Glow::ModalTop(), '\r');
    glow::Glow::EndEvent();
    Click(*gui, gui->runButton);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRunMsecs);
    while (!gui->analysisThread.HasEnded()) {
        if (std::chrono::steady_clock::now() > deadline) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return gui;
}

// What GUI::Run ended with.
std::string RunOutcome(GUI& gui) {
    try {
        gui.Run();
        return "returned";
    } catch (const std::bad_alloc&) {
        return "bad_alloc";
    } catch (...) {
        return "another exception";
    }
}

class GuiFailureTest : public testing::Test {
protected:
    // The lines the child wrote, progress lines left out.
    std::vector<std::string> Said() const { return without_progress(lines_of(read_file(out))); }

    TempDir dir;
    const std::string input = dir.write("five.seq", kFiveTaxa);
    const std::string out = dir.path("stdout.txt");
    const std::vector<std::string> told = {"Open File Button Pressed",
                                           "Tree appended to " + input + ".tre"};
};

// The main loop's look at the ended run finds memory gone: telling where
// the tree went needs none.
TEST_F(GuiFailureTest, TheAppendedLineIsToldWhenMemoryRunsOutAsItIsTold) {
    const glowtest::ChildResult child = glowtest::InChild([this] {
        GUI* gui = RunToItsEnd(input, out);
        if (gui == nullptr) return std::string("no run");
        glowtest::FailThisThreadsAllocationAfter(0);
        glow::Glow::OnGlutTimer(gui->analysisThread.TimerId());
        glowtest::StopFailingAllocations();
        return std::string(gui->analysisThread.IsRunning() ? "running" : "finished");
    });
    glowtest::ExpectEndedNormally(child);
    EXPECT_EQ(child.report, "finished");
    EXPECT_EQ(Said(), told);
    EXPECT_EQ(lines_of(read_file(input + ".tre")).size(), 1u);
}

// The window fails (a paint) between the run's end and the main loop's look
// at it: the run is finished and told before the failure goes on.
TEST_F(GuiFailureTest, AWindowThatFailsAfterARunHasEndedTellsTheRunFirst) {
    const glowtest::ChildResult child = glowtest::InChild([this] {
        GUI* gui = RunToItsEnd(input, out);
        if (gui == nullptr) return std::string("no run");
        glowtest::SendDisplay(new ShortOfMemoryWindow);
        return RunOutcome(*gui);
    });
    glowtest::ExpectEndedNormally(child);
    EXPECT_EQ(child.report, "bad_alloc");
    EXPECT_EQ(Said(), told);
    EXPECT_EQ(lines_of(read_file(input + ".tre")).size(), 1u);
}

}  // namespace
