// The modal stack: deactivating and reactivating top-level windows.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "glow/core/Glow.h"
#include "tests/glow/core/RecordingWindow.h"
#include "tests/glow/support/GlowTestSupport.h"

using namespace glow;
using coretest::Log;
using coretest::RecordingWindow;

namespace {

RecordingWindow* MakeWindow(const std::string& name) {
    auto* w = new RecordingWindow;
    w->name = name;
    GlowWindowParams params;
    params.title = name.c_str();
    params.width = 80;
    params.height = 60;
    params.eventMask = GlowEventMask::mouseEvents;
    w->Init(params);
    return w;
}

std::vector<std::string> Notices() {
    std::vector<std::string> out;
    for (const std::string& s : Log())
        if (s.find(".activate") != std::string::npos || s.find(".deactivate") != std::string::npos)
            out.push_back(s);
    std::sort(out.begin(), out.end());
    return out;
}

class ModalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Glow::ModalCount(), 0);
        main_.reset(MakeWindow("main"));
        other_.reset(MakeWindow("other"));
        Glow::EndEvent();
        Log().clear();
    }
    void TearDown() override {
        while (Glow::ModalCount() > 0) Glow::PopModal();
        Glow::EndEvent();
    }
    std::unique_ptr<RecordingWindow> main_;
    std::unique_ptr<RecordingWindow> other_;
};

TEST_F(ModalTest, PushingAndDeletingModalWindows) {
    RecordingWindow* first = MakeWindow("first");
    Glow::PushModal(first);
    EXPECT_EQ(Glow::ModalCount(), 1);
    EXPECT_EQ(Glow::ModalTop(), first);
    EXPECT_EQ(main_->ActiveState(), GlowComponent::stateInactive);
    EXPECT_EQ(other_->ActiveState(), GlowComponent::stateInactive);
    EXPECT_TRUE(first->IsActive());
    Glow::EndEvent();
    EXPECT_EQ(Notices(), (std::vector<std::string>{"main.deactivate", "other.deactivate"}));

    // A window made while a modal one is up starts inactive, no notice.
    Log().clear();
    std::unique_ptr<RecordingWindow> late(MakeWindow("late"));
    EXPECT_EQ(late->ActiveState(), GlowComponent::stateInactive);

    RecordingWindow* second = MakeWindow("second");
    EXPECT_EQ(second->ActiveState(), GlowComponent::stateInactive);
    Glow::PushModal(second);
    Glow::PushModal(second);  // already modal: refused
    Glow::PushModal(first);   // on the stack below: refused too
    EXPECT_EQ(Glow::ModalCount(), 2);
    EXPECT_TRUE(second->IsActive());
    EXPECT_EQ(first->ActiveState(), GlowComponent::stateInactive);
    Glow::EndEvent();
    EXPECT_EQ(Notices(), (std::vector<std::string>{"first.deactivate", "second.activate"}));

    // The second closes itself during an event: deleting it at the end of
    // that event pops it, and the first's notice comes in the same pass, so
    // that the next event finds the first wholly active.
    Log().clear();
    second->onMouseDown = [second](int, int, int, int) { second->Close(); };
    glowtest::SendMouse(second, 0, GLUT_DOWN, 1, 1);
    EXPECT_EQ(Glow::ModalCount(), 1);
    EXPECT_EQ(Glow::ModalTop(), first);
    EXPECT_TRUE(first->IsActive());
    EXPECT_EQ(Notices(), (std::vector<std::string>{"first.activate"}));
    Log().clear();
    Glow::OnGlutIdle();
    EXPECT_TRUE(Notices().empty());

    // Deleting the only modal window activates the others, except those
    // deactivated explicitly.
    other_->Deactivate();  // 2 becomes 0
    Log().clear();
    delete first;
    EXPECT_EQ(Glow::ModalCount(), 0);
    EXPECT_TRUE(main_->IsActive());
    EXPECT_TRUE(late->IsActive());
    EXPECT_EQ(other_->ActiveState(), GlowComponent::stateDeactivated);
    Glow::EndEvent();
    EXPECT_EQ(Notices(), (std::vector<std::string>{"late.activate", "main.activate"}));
}

TEST_F(ModalTest, DeletingAWindowBelowTheTopChangesNoActivation) {
    RecordingWindow* lower = MakeWindow("lower");
    std::unique_ptr<RecordingWindow> upper(MakeWindow("upper"));
    Glow::PushModal(lower);
    Glow::PushModal(upper.get());
    Glow::EndEvent();
    Log().clear();
    delete lower;
    EXPECT_EQ(Glow::ModalCount(), 1);
    EXPECT_EQ(Glow::ModalTop(), upper.get());
    EXPECT_TRUE(upper->IsActive());
    EXPECT_EQ(main_->ActiveState(), GlowComponent::stateInactive);
    Glow::EndEvent();
    EXPECT_TRUE(Notices().empty());
    Glow::PopModal();
    EXPECT_TRUE(main_->IsActive());
    EXPECT_TRUE(upper->IsActive());  // the popped window keeps its state
    Glow::PopModal();                // empty: nothing
    EXPECT_EQ(Glow::ModalTop(), nullptr);
}

TEST_F(ModalTest, ActivateRespectsTheModalWindow) {
    std::unique_ptr<RecordingWindow> dialog(MakeWindow("dialog"));
    main_->Deactivate();
    Glow::PushModal(dialog.get());
    main_->Activate();  // another window is modal: waits at 2
    EXPECT_EQ(main_->ActiveState(), GlowComponent::stateInactive);
    dialog->Deactivate();
    dialog->Activate();  // the modal window itself may be active
    EXPECT_TRUE(dialog->IsActive());
    Glow::PopModal();
    EXPECT_TRUE(main_->IsActive());
}

// Inactive windows take the callbacks of their inactive mask.
TEST_F(ModalTest, InactiveWindowsGetNoClicks) {
    std::unique_ptr<RecordingWindow> dialog(MakeWindow("dialog"));
    main_->Move(0, 0);
    other_->Move(0, 300);
    dialog->Move(400, 0);
    ASSERT_TRUE(glowtest::WaitUntilMapped(main_.get()));
    ASSERT_TRUE(glowtest::WaitUntilMapped(dialog.get()));
    Glow::PushModal(dialog.get());
    std::string mainId = std::to_string(glowtest::XWindowOf(main_.get()));
    std::string dialogId = std::to_string(glowtest::XWindowOf(dialog.get()));
    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + mainId + " 5 5 click 1"));
    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + dialogId + " 5 5 click 1"));
    ASSERT_TRUE(glowtest::PumpUntil([] { return !coretest::Entries("dialog.up").empty(); }));
    EXPECT_TRUE(coretest::Entries("main.down").empty());
    Glow::PopModal();
    Log().clear();
    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + mainId + " 6 6 click 1"));
    ASSERT_TRUE(glowtest::PumpUntil([] { return !coretest::Entries("main.up").empty(); }));
}

// The window manager's close button: GLUT destroys the window and its
// subwindows at once. The toolkit forgets their GLUT windows, so that
// nothing touches them again (GLUT ends the process on an id it does not
// know). A modal window goes as if its own button had closed it; another
// window stays, without its GLUT window, until its owner deletes it (the
// main loop ends, which a test cannot see).
TEST_F(ModalTest, AWindowClosedByTheWindowSystemIsForgotten) {
    struct Witnessed : RecordingWindow {
        ~Witnessed() override { *deleted = true; }
        bool* deleted = nullptr;
    };
    // Side by side: a window that another hides entirely is not painted.
    main_->Move(0, 0);
    other_->Move(0, 300);
    ASSERT_TRUE(glowtest::WaitUntilMapped(main_.get()));
    for (const bool modal : {true, false}) {
        SCOPED_TRACE(modal ? "modal" : "not modal");
        bool deleted = false;
        auto* closed = new Witnessed;
        closed->deleted = &deleted;
        closed->name = "closed";
        closed->Init("closed", 400, 0, 80, 60, GlowDisplayMode(), GlowEventMask::mouseEvents);
        auto* inner = new coretest::RecordingSubwindow;
        inner->Init(closed, 0, 0, 40, 30, GlowDisplayMode(), GlowEventMask());
        if (modal) Glow::PushModal(closed);
        ASSERT_TRUE(glowtest::WaitUntilMapped(closed));
        const int closedId = closed->WindowId();
        const int innerId = inner->WindowId();
        ASSERT_TRUE(glowtest::RequestClose(glowtest::XWindowOf(closed)));
        ASSERT_TRUE(glowtest::PumpUntil([&] { return Glow::WindowForId(closedId) == nullptr; }));
        EXPECT_EQ(Glow::WindowForId(innerId), nullptr);
        EXPECT_EQ(Glow::ModalCount(), 0);
        EXPECT_TRUE(main_->IsActive());
        EXPECT_TRUE(other_->IsActive());
        if (modal) {
            // Deleted at the end of an event, as a window closed by the toolkit.
            EXPECT_TRUE(glowtest::PumpUntil([&] { return deleted; }));
        } else {
            EXPECT_FALSE(deleted);
            EXPECT_EQ(closed->WindowId(), 0);
            EXPECT_EQ(inner->WindowId(), 0);
            // Refreshes on the main-loop thread and from another, activation
            // changes and the deletion reach no GLUT window.
            closed->Refresh();
            std::thread([inner] { inner->Refresh(); }).join();
            closed->Deactivate();
            closed->Activate();
            glowtest::Pump(100);
            delete closed;
        }
        // The other windows go on.
        const int displays = main_->displays;
        main_->Refresh();
        EXPECT_TRUE(glowtest::PumpUntil([&] { return main_->displays > displays; }));
    }
}

}  // namespace
