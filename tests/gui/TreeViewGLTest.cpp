// The tree view in a real window under Xvfb: what a paint draws and where,
// the picture, and the mouse through the toolkit's callbacks and through X.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "analysis/seqvector.h"
#include "glow/core/Glow.h"
#include "glow/core/GlowWindow.h"
#include "glow/view/GlowTransformData.h"
#include "glow/view/GlowViewManipulator.h"
#include "gui/ConvergenceSubWindow.h"
#include "gui/TreeSubWindow.h"
#include "gui/TreeViewer.h"
#include "gui/treegraphic.h"
#include "tests/gui/FrontEndLayout.h"

using guitest::Drawn;
using guitest::FrontEndLayout;

namespace {

constexpr int kDown = GLUT_DOWN;
constexpr int kUp = GLUT_UP;
constexpr int kCentreX = FrontEndLayout::kTreeWidth / 2;
constexpr int kCentreY = FrontEndLayout::kTreeHeight / 2;

// A point of the tree's plane in window pixels of the tree view: the camera
// maps (X, Y) to normalised device coordinates (0.4 X, 0.4 Y).
struct Pixel {
    float x, y;
};
Pixel OnScreen(double x, double y) {
    return {static_cast<float>((0.4 * x + 1) * FrontEndLayout::kTreeWidth / 2),
            static_cast<float>((0.4 * y + 1) * FrontEndLayout::kTreeHeight / 2)};
}

constexpr float kTolerance = 0.01f;

void ExpectLine(const Drawn& d, Pixel from, Pixel to) {
    ASSERT_EQ(d.kind, Drawn::line);
    EXPECT_NEAR(d.x0, from.x, kTolerance);
    EXPECT_NEAR(d.y0, from.y, kTolerance);
    EXPECT_NEAR(d.x1, to.x, kTolerance);
    EXPECT_NEAR(d.y1, to.y, kTolerance);
}

void ExpectBitmapAt(const Drawn& d, Pixel at) {
    ASSERT_EQ(d.kind, Drawn::bitmap);
    EXPECT_NEAR(d.x0, at.x, kTolerance);
    EXPECT_NEAR(d.y0, at.y, kTolerance);
}

std::string Kinds(const std::vector<Drawn>& drawn) {
    std::string kinds;
    for (const Drawn& d : drawn) kinds += "LPB"[d.kind];
    return kinds;
}

class TreeViewTest : public testing::Test {
protected:
    void SetUp() override {
        layout = new FrontEndLayout;
        view = layout->tree;
        tree = view->viewer->tree;
        data = view->manipulator->GetTransformData();
    }
    void TearDown() override { delete layout; }

    // The tree of the drawing tests: the root split, its left child split
    // again with a named leaf, its right child given two leaves.
    void Grow() {
        TreeNode** top = nullptr;
        tree->Split(tree->root, &top, 2, 0);
        TreeNode** left = nullptr;
        tree->Split(top[0], &left, 2, 1);
        SeqVector taxon;
        taxon.name = "t";
        tree->MakeLeaf(left[1], &taxon);
        tree->AddLeaves(top[1], CharString("a"), CharString("b"));
    }

    void Paint() {
        glutSetWindow(view->WindowId());
        view->PaintTree();
    }

    void ExpectUntransformed() {
        EXPECT_EQ(data->GetTranslation(), glow::Vector3f());
        EXPECT_EQ(data->GetRotation(), glow::Quaternionf());
        EXPECT_EQ(data->GetScale(), 1.0f);
    }

    FrontEndLayout* layout = nullptr;
    TreeSubWindow* view = nullptr;
    TreeGraphic* tree = nullptr;
    glow::GlowTransformData* data = nullptr;
};

}  // namespace

TEST_F(TreeViewTest, DrawsOneLinePerEdgeAndOneBitmapPerCharacter) {
    // Before any run: "root" at 0.4 of the half-height above the centre.
    std::vector<Drawn> drawn = guitest::PaintFeedback(view);
    ASSERT_EQ(Kinds(drawn), "BBBB");
    ExpectBitmapAt(drawn[0], OnScreen(0, 1));
    EXPECT_NEAR(drawn[0].y0, kCentreY + 0.4f * kCentreY, kTolerance);
    for (int i = 1; i < 4; ++i) {
        EXPECT_GT(drawn[i].x0, drawn[i - 1].x0);  // the text runs to the right
        EXPECT_EQ(drawn[i].y0, drawn[0].y0);
    }

    Grow();
    drawn = guitest::PaintFeedback(view);
    // Pre-order: each node's label, then per edge its line and the subtree.
    // Unnamed inner nodes draw no bitmap.
    ASSERT_EQ(Kinds(drawn),
              "BBBB"
              "LLLB"
              "LLBLB");
    const Pixel root = OnScreen(0, 1), left = OnScreen(-2, 0.5), right = OnScreen(2, 0.5);
    ExpectLine(drawn[4], root, left);
    // (-3, 0) lies left of the square that the camera shows: the line ends
    // at the view's edge, halfway down to the child.
    ExpectLine(drawn[5], left, {0, OnScreen(0, 0.25).y});
    ExpectLine(drawn[6], left, OnScreen(-1, 0));
    ExpectBitmapAt(drawn[7], OnScreen(-1, 0));  // "t"
    ExpectLine(drawn[8], root, right);
    ExpectLine(drawn[9], right, OnScreen(2.2, -0.3));
    ExpectBitmapAt(drawn[10], OnScreen(2.2, -0.3));  // "a", right of its parent
    ExpectLine(drawn[11], right, OnScreen(1.8, -0.3));
    ExpectBitmapAt(drawn[12], OnScreen(1.8, -0.3));  // "b"

    // A second run splits the root again: the old subtree is gone.
    TreeNode** children = nullptr;
    tree->Split(tree->root, &children, 2, 0);
    drawn = guitest::PaintFeedback(view);
    ASSERT_EQ(Kinds(drawn), "BBBBLL");
    ExpectLine(drawn[4], root, left);
    ExpectLine(drawn[5], root, right);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TreeViewTest, PictureIsWhiteOnBlack) {
    Grow();
    const glowtest::Pixels picture = guitest::PaintPixels(view);
    EXPECT_TRUE(glowtest::SavePicture("gui_tree_view", picture));
    int white = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.At(x, y);
            const bool isBlack = p[0] == 0 && p[1] == 0 && p[2] == 0;
            const bool isWhite = p[0] == 255 && p[1] == 255 && p[2] == 255;
            ASSERT_TRUE(isBlack || isWhite) << "pixel " << x << ", " << y;
            if (isWhite) ++white;
        }
    }
    // The middle of the line from the root to its right child is lit, a
    // point between the two children is not.
    const Pixel mid = OnScreen(1, 0.75);
    bool lit = false;
    for (int dy = -1; dy <= 1; ++dy)
        lit = lit || picture.At(static_cast<int>(mid.x), static_cast<int>(mid.y) + dy)[0] == 255;
    EXPECT_TRUE(lit);
    const Pixel empty = OnScreen(0, 0.2);
    EXPECT_EQ(picture.At(static_cast<int>(empty.x), static_cast<int>(empty.y))[0], 0);
    // Six lines and seven characters light more than the lines alone.
    EXPECT_GT(white, 400);
}

TEST_F(TreeViewTest, DragsWithEachMouseButtonThroughX) {
    const std::string xid = std::to_string(glowtest::XWindowOf(view));
    // Press at the centre, move, rest, release: the way a user drags.
    auto drag = [&](int xButton, int toX, int toY) {
        ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + xid + " " + std::to_string(kCentreX) +
                                      " " + std::to_string(kCentreY)));
        glowtest::Pump(40);
        ASSERT_TRUE(glowtest::Xdotool("mousedown " + std::to_string(xButton)));
        ASSERT_TRUE(glowtest::PumpUntil([&] { return view->manipulator->IsDragging(); }));
        ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + xid + " " + std::to_string(toX) +
                                      " " + std::to_string(toY)));
        glowtest::Pump(150);
        ASSERT_TRUE(glowtest::Xdotool("mouseup " + std::to_string(xButton)));
        ASSERT_TRUE(glowtest::PumpUntil([&] { return !view->manipulator->IsDragging(); }));
        glowtest::Pump(40);
    };
    auto reset = [&] {
        data->StopSpin();
        data->SetTransform(glow::Vector3f(), glow::Quaternionf(), 1.0f);
    };

    // Left: turns about the vertical axis, by the angle between the ball
    // points of (0, 0) and (1/3, 0).
    drag(1, kCentreX + 100, kCentreY);
    EXPECT_FALSE(data->IsSpinning());
    glow::Vector3f axis;
    float angle = 0;
    data->GetRotation().GetRotation(axis, angle);
    EXPECT_NEAR(std::fabs(angle), std::asin(1.0 / 3.0), 1e-4);
    EXPECT_NEAR(std::fabs(axis.Y()), 1.0f, 1e-4f);
    EXPECT_EQ(data->GetTranslation(), glow::Vector3f());
    EXPECT_EQ(data->GetScale(), 1.0f);
    reset();

    // Middle: moves the tree with the mouse, right and up.
    drag(2, kCentreX + 100, kCentreY - 50);
    EXPECT_NEAR(data->GetTranslation().X(), 1.0f / 3.0f, 1e-5f);
    EXPECT_NEAR(data->GetTranslation().Y(), 2.0f / 9.0f, 1e-5f);
    EXPECT_EQ(data->GetTranslation().Z(), 0.0f);
    EXPECT_EQ(data->GetRotation(), glow::Quaternionf());
    reset();

    // Right: an upward drag enlarges the tree, twofold over the whole height.
    drag(3, kCentreX + 100, kCentreY - 50);
    EXPECT_NEAR(data->GetScale(), std::pow(2.0, 1.0 / 9.0), 1e-5);
    EXPECT_EQ(data->GetRotation(), glow::Quaternionf());
    reset();

    // The picture follows: after an upward move the root's label is higher.
    const float before = guitest::PaintFeedback(view)[0].y0;
    drag(2, kCentreX, kCentreY - 45);  // 0.2 of the square: 0.08 of the view
    EXPECT_NEAR(guitest::PaintFeedback(view)[0].y0 - before, 0.08f * kCentreY, 0.05f);
    reset();
}

TEST_F(TreeViewTest, MouseButtonsFollowTheDragRules) {
    using glow::GlowViewManipulator;
    GlowViewManipulator* m = view->manipulator;
    struct Case {
        int button;
        int drag;
    };
    const Case cases[] = {{0, GlowViewManipulator::rotationDrag},
                          {1, GlowViewManipulator::translationDrag},
                          {2, GlowViewManipulator::scaleDrag},
                          {3, GlowViewManipulator::notDragging},
                          {4, GlowViewManipulator::notDragging}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "button " << c.button);
        glowtest::SendMouse(view, c.button, kDown, kCentreX, kCentreY);
        EXPECT_EQ(m->DragState(), c.drag);
        glowtest::SendMouse(view, c.button, kUp, kCentreX, kCentreY);
        EXPECT_FALSE(m->IsDragging());
    }
    ExpectUntransformed();

    // A second button during a drag is ignored; releasing it ends the drag.
    glowtest::SendMouse(view, 0, kDown, kCentreX, kCentreY);
    glowtest::SendMouse(view, 1, kDown, kCentreX, kCentreY);
    EXPECT_EQ(m->DragState(), GlowViewManipulator::rotationDrag);
    glowtest::SendMouse(view, 1, kUp, kCentreX, kCentreY);
    EXPECT_FALSE(m->IsDragging());
    glowtest::SendMouse(view, 0, kUp, kCentreX, kCentreY);
    ExpectUntransformed();

    // Drag motion without a drag does nothing; with one it drives it.
    glowtest::SendMotion(view, 10, 10);
    ExpectUntransformed();
    glowtest::SendMouse(view, 2, kDown, kCentreX, kCentreY);
    glowtest::SendMotion(view, kCentreX, 0);  // to the top edge: half the height
    EXPECT_FLOAT_EQ(data->GetScale(), std::sqrt(2.0f));
    glowtest::SendMouse(view, 2, kUp, kCentreX, kCentreY);
    EXPECT_FLOAT_EQ(data->GetScale(), 1.0f);  // released back at the start
}

TEST_F(TreeViewTest, NormalizedCoordinatesAndReshape) {
    struct Case {
        int x, y;
        float nx, ny;
    };
    const Case cases[] = {{kCentreX, kCentreY, 0, 0},
                          {0, 0, -1, 1},
                          {FrontEndLayout::kTreeWidth, FrontEndLayout::kTreeHeight, 1, -1},
                          {150, 0, -0.5f, 1}};
    for (const Case& c : cases) {
        float nx = 9, ny = 9;
        view->NormalizeCoordinates(c.x, c.y, nx, ny);
        EXPECT_FLOAT_EQ(nx, c.nx) << c.x << ", " << c.y;
        EXPECT_FLOAT_EQ(ny, c.ny) << c.x << ", " << c.y;
    }

    // A reshape sets the viewport and nothing else.
    glowtest::SendReshape(view, 300, 200);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 200);
    ExpectUntransformed();

    // A window without width or height maps every point to the centre.
    const int sizes[][2] = {{0, 200}, {300, 0}, {0, 0}};
    for (const auto& size : sizes) {
        glowtest::SendReshape(view, size[0], size[1]);
        float nx = 9, ny = 9;
        view->NormalizeCoordinates(50, 60, nx, ny);
        EXPECT_EQ(nx, 0.0f);
        EXPECT_EQ(ny, 0.0f);
        glowtest::SendMouse(view, 0, kDown, 50, 60);
        glowtest::SendMotion(view, 70, 80);
        glowtest::SendMouse(view, 0, kUp, 70, 80);
        ExpectUntransformed();
    }
    glowtest::SendReshape(view, FrontEndLayout::kTreeWidth, FrontEndLayout::kTreeHeight);
}

TEST_F(TreeViewTest, AFlickLeavesTheTreeTurningUntilTheNextPress) {
    int now = 1000;
    view->manipulator->SetSpinClock([&now] { return now; });
    glowtest::SendMouse(view, 0, kDown, 180, kCentreY);
    for (int i = 1; i <= 20; ++i) {
        glowtest::SendMotion(view, 180 + 9 * i, kCentreY);
        Paint();
        now += 10;
    }
    glowtest::SendMouse(view, 0, kUp, 360, kCentreY);
    Paint();
    ASSERT_TRUE(data->IsSpinning());
    const glow::Quaternionf before = data->GetRotation();
    glow::Glow::OnGlutIdle();
    EXPECT_NE(data->GetRotation(), before);

    glowtest::SendMouse(view, 1, kDown, kCentreX, kCentreY);
    EXPECT_FALSE(data->IsSpinning());
    glowtest::SendMouse(view, 1, kUp, kCentreX, kCentreY);
}

// The flick as a user makes it, through X: press, quick moves, release while
// the mouse still moves, on the program's own clock. Afterwards no event
// comes, and the screen shows the tree at a new angle at every look.
TEST_F(TreeViewTest, AFlickThroughXKeepsTheTreeTurningOnItsOwn) {
    Grow();
    view->Refresh();
    const int left = view->GlobalX();
    const int top = view->GlobalY();
    auto screen = [&] {
        return glowtest::ReadScreen(left, top, FrontEndLayout::kTreeWidth,
                                    FrontEndLayout::kTreeHeight);
    };
    glowtest::Pump(100);
    const glowtest::Pixels still = screen();
    EXPECT_TRUE(glowtest::SavePicture("gui_tree_view_before_flick", still));
    glowtest::Pump(100);
    ASSERT_TRUE(screen().rgba == still.rgba) << "the view changes without a flick";

    // One gesture in one xdotool call, on a thread of its own while this
    // one runs the main loop, so that the moves are painted as they come.
    // A release is a flick only when paints of the moves fall within the
    // last 100 ms before it; on a loaded machine the loop may miss them, and
    // a user would flick again: so may the test, as often as a busy machine
    // needs.
    const std::string w = "--window " + std::to_string(glowtest::XWindowOf(view));
    std::string gesture =
        "mousemove " + w + " 100 " + std::to_string(kCentreY) + " mousedown 1 sleep 0.1";
    for (int x = 140; x <= 420; x += 40)
        gesture += " mousemove " + w + " " + std::to_string(x) + " " + std::to_string(kCentreY) +
                   " sleep 0.02";
    gesture += " mouseup 1";
    constexpr int kFlicks = 20;
    for (int attempt = 1; attempt <= kFlicks && !data->IsSpinning(); ++attempt) {
        SCOPED_TRACE(testing::Message() << "attempt " << attempt);
        std::atomic<bool> done{false}, sent{false};
        std::thread flick([&] {
            sent = glowtest::Xdotool(gesture);
            done = true;
        });
        glowtest::PumpUntil([&] { return done && !view->manipulator->IsDragging(); });
        flick.join();
        ASSERT_TRUE(sent);
        glowtest::PumpUntil([&] { return data->IsSpinning(); }, 1000);
    }
    ASSERT_TRUE(data->IsSpinning()) << kFlicks << " flicks left no spin";

    // The loop alone turns it: each look at the screen finds a new picture.
    glowtest::Pixels before = screen();
    for (int look = 1; look <= 3; ++look) {
        SCOPED_TRACE(testing::Message() << "look " << look);
        const glow::Quaternionf rotation = data->GetRotation();
        ASSERT_TRUE(glowtest::PumpUntil([&] { return data->GetRotation() != rotation; }));
        ASSERT_TRUE(glowtest::PumpUntil([&] { return screen().rgba != before.rgba; }));
        before = screen();
    }
    EXPECT_TRUE(glowtest::SavePicture("gui_tree_view_spinning", before));
    EXPECT_TRUE(data->IsSpinning());
}

TEST_F(TreeViewTest, ADeepTreeDraws) {
    TreeNode* node = tree->root;
    for (int depth = 0; depth < 100000; ++depth) {
        TreeNode** children = nullptr;
        tree->Split(node, &children, 2, depth);
        node = children[1 - depth % 2];
    }
    Paint();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // Near the root the zigzag is on the screen: its first levels are drawn.
    const std::string kinds = Kinds(guitest::PaintFeedback(view));
    EXPECT_EQ(kinds.substr(0, 10), "BBBBLLLLLL");
}

TEST_F(TreeViewTest, ViewsMadeWithoutParameters) {
    // 400 by 400 pixels at the parent's corner, with a depth buffer, for
    // mouse buttons and drags; the tree view spins after a flick.
    TreeSubWindow* plainTree = new TreeSubWindow(layout->window);
    ConvergenceSubWindow* plainChart = new ConvergenceSubWindow(layout->window);
    for (glow::GlowSubwindow* w : {static_cast<glow::GlowSubwindow*>(plainTree),
                                   static_cast<glow::GlowSubwindow*>(plainChart)}) {
        EXPECT_EQ(w->Width(), 400);
        EXPECT_EQ(w->Height(), 400);
        EXPECT_EQ(w->DisplayMode(), glow::GlowDisplayMode(glow::GlowDisplayMode::rgbBuffer |
                                                          glow::GlowDisplayMode::depthBuffer |
                                                          glow::GlowDisplayMode::doubleBuffer));
        EXPECT_EQ(w->EventMask(), glow::GlowEventMask(glow::GlowEventMask::mouseEvents |
                                                      glow::GlowEventMask::dragEvents));
    }
    EXPECT_TRUE(plainTree->manipulator->IsSpinnable());
    EXPECT_EQ(plainTree->viewer->Parent(), plainTree->manipulator);
    EXPECT_EQ(plainChart->Values().Count(), 0);
    delete plainTree;
    delete plainChart;
}
