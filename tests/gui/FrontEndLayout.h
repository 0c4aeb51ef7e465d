#ifndef TESTS_GUI_FRONTENDLAYOUT_H
#define TESTS_GUI_FRONTENDLAYOUT_H

// The tree view and the chart as the front end lays them out (the tree view
// 600 by 450 at (200, 0), the chart 650 by 150 under it), in a window wide
// enough to show the chart whole; and what their paints draw, read through
// OpenGL feedback or from the back buffer.

#include <string>
#include <vector>

#include "tests/glow/support/GlowTestSupport.h"

namespace glow {
class GlowSubwindow;
class GlowWindow;
}  // namespace glow
class ConvergenceSubWindow;
class TreeNode;
class TreeSubWindow;

namespace guitest {

class FrontEndLayout {
public:
    static constexpr int kTreeWidth = 600;
    static constexpr int kTreeHeight = 450;
    static constexpr int kChartWidth = 650;
    static constexpr int kChartHeight = 150;

    // Waits until both subwindows are on the screen and painted.
    FrontEndLayout();
    ~FrontEndLayout();
    FrontEndLayout(const FrontEndLayout&) = delete;
    FrontEndLayout& operator=(const FrontEndLayout&) = delete;

    glow::GlowWindow* window;
    TreeSubWindow* tree;
    ConvergenceSubWindow* chart;
};

// One primitive of a paint, in window coordinates of its subwindow (pixels
// from the bottom left): a line from (x0, y0) to (x1, y1), a point or the
// bitmap of one character at (x0, y0).
struct Drawn {
    enum Kind { line, point, bitmap } kind;
    float x0, y0, x1, y1;
};
// The displayed tree written as Newick text, children in edge order: a node
// with children is "(" its children ")", any other its label.
std::string NewickOf(const TreeNode* node);

// Paints the subwindow's component tree in feedback mode.
std::vector<Drawn> PaintFeedback(glow::GlowSubwindow* window);
// Paints it into the back buffer, without a swap, and reads the whole of it.
glowtest::Pixels PaintPixels(glow::GlowSubwindow* window);

}  // namespace guitest

#endif
