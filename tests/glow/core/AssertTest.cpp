// The toolkit's own checks hold in every build, NDEBUG or not: a broken
// invariant ends the process with exit code 3 and one line on standard
// error naming the expression, the file and the line, as the program's own
// checks do. Each case ends a child process of its own; none makes a GLUT
// window, as every check fires before one would be made.
#include <gtest/gtest.h>

#include "glow/core/GlowComponent.h"
#include "glow/core/GlowSubwindow.h"
#include "tests/glow/support/FailedCheck.h"

using glow::GlowComponent;
using glow::GlowSubwindow;
using glow::GlowSubwindowParams;
using glowtest::FailedCheck;

namespace {

// A component that can be told to unlink any component as its child.
class Unlinking : public GlowComponent {
public:
    Unlinking() { Init(nullptr); }
    void DropChild(GlowComponent* child) { UnlinkChild(child); }
};

}  // namespace

TEST(GlowAssertDeathTest, ASubwindowNeedsAParentInsideAWindow) {
    // Without the check: a null dereference, or a GLUT window inside none.
    GlowSubwindowParams params;
    EXPECT_EXIT(
        {
            GlowSubwindow subwindow;
            subwindow.Init(nullptr, params);
        },
        testing::ExitedWithCode(3), FailedCheck("parent != nullptr", "GlowSubwindow"));
    EXPECT_EXIT(
        {
            GlowComponent outside;
            outside.Init(nullptr);
            GlowSubwindow subwindow;
            subwindow.Init(&outside, params);
        },
        testing::ExitedWithCode(3), FailedCheck("enclosing != nullptr", "GlowSubwindow"));
}

TEST(GlowAssertDeathTest, UnlinkingAComponentThatIsNotAChildFails) {
    // Without the check the parent's count would go below zero and its
    // list would lose its children, silently.
    EXPECT_EXIT(
        {
            Unlinking parent;
            GlowComponent kept(&parent);
            GlowComponent stranger;
            stranger.Init(nullptr);
            parent.DropChild(&stranger);
        },
        testing::ExitedWithCode(3), FailedCheck("child->parent_ == this", "GlowComponent"));
}
