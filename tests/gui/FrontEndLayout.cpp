#include "tests/gui/FrontEndLayout.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "glow/core/GlowWindow.h"
#include "gui/ConvergenceSubWindow.h"
#include "gui/SceneView.h"
#include "gui/TreeSubWindow.h"
#include "gui/treegraphic.h"

namespace guitest {

namespace {

constexpr int kPaletteWidth = 200;
constexpr int kWindowWidth = kPaletteWidth + FrontEndLayout::kChartWidth;
constexpr int kWindowHeight = FrontEndLayout::kTreeHeight + FrontEndLayout::kChartHeight;
// Room for every primitive of the busiest paint (the chart's 1300 points).
constexpr int kFeedbackFloats = 1 << 18;

}  // namespace

FrontEndLayout::FrontEndLayout() {
    glow::GlowWindowParams params;
    params.title = "tree view and chart";
    params.x = 0;
    params.y = 0;
    params.width = kWindowWidth;
    params.height = kWindowHeight;
    window = new glow::GlowWindow(params);
    tree =
        new TreeSubWindow(window, SceneView::Placement(kPaletteWidth, 0, kTreeWidth, kTreeHeight));
    chart = new ConvergenceSubWindow(
        window, SceneView::Placement(kPaletteWidth, kTreeHeight, kChartWidth, kChartHeight));
    EXPECT_TRUE(glowtest::WaitUntilMapped(tree));
    EXPECT_TRUE(glowtest::WaitUntilMapped(chart));
    glowtest::Pump(100);
}

FrontEndLayout::~FrontEndLayout() {
    delete window;
    glowtest::Pump(40);
}

std::string NewickOf(const TreeNode* node) {
    if (node->numChildren == 0) return node->label.c_str();
    std::string text = "(";
    for (int i = 0; i < node->numChildren; ++i)
        text += (i > 0 ? "," : "") + NewickOf(node->edges[i].child);
    return text + ")";
}

std::vector<Drawn> PaintFeedback(glow::GlowSubwindow* window) {
    glutSetWindow(window->WindowId());
    std::vector<GLfloat> buffer(kFeedbackFloats);
    glFeedbackBuffer(kFeedbackFloats, GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    window->PaintTree();
    const GLint size = glRenderMode(GL_RENDER);
    std::vector<Drawn> drawn;
    EXPECT_GE(size, 0) << "feedback buffer too small";
    for (GLint i = 0; i < size;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        switch (token) {
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN:
                drawn.push_back(
                    {Drawn::line, buffer[i], buffer[i + 1], buffer[i + 2], buffer[i + 3]});
                i += 4;
                break;
            case GL_POINT_TOKEN:
                drawn.push_back({Drawn::point, buffer[i], buffer[i + 1], 0, 0});
                i += 2;
                break;
            case GL_BITMAP_TOKEN:
                drawn.push_back({Drawn::bitmap, buffer[i], buffer[i + 1], 0, 0});
                i += 2;
                break;
            default:
                ADD_FAILURE() << "unexpected feedback token " << token;
                return drawn;
        }
    }
    return drawn;
}

glowtest::Pixels PaintPixels(glow::GlowSubwindow* window) {
    glutSetWindow(window->WindowId());
    window->PaintTree();
    glFinish();
    return glowtest::ReadBackBuffer(0, 0, window->Width(), window->Height());
}

}  // namespace guitest
