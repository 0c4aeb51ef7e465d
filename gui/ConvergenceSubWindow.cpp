#include "gui/ConvergenceSubWindow.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "gui/RasterText.h"
#include "gui/SceneView.h"

namespace {

// Slot i is drawn at x = i + kFirstSlotX, its value as y.
constexpr float kFirstSlotX = -400.0f;
// The axes meet at the origin's corner below the first slot.
constexpr float kAxisX = -400.0f;
constexpr float kAxisY = -5.0f;
constexpr float kAxisTop = 200.0f;
constexpr float kAxisRight = 900.0f;
// Caption and scale text, below the horizontal axis.
constexpr float kCaptionX = -50.0f;
constexpr float kTextY = -50.0f;
constexpr float kZeroLabelX = -400.0f;
const char* const kCaption = "RMS Error Convergence Chart";
const char* const kZeroLabel = "0.0";
// Light blue points.
constexpr float kPointRed = 0.8f;
constexpr float kPointGreen = 0.8f;
constexpr float kPointBlue = 1.0f;

}  // namespace

ConvergenceSubWindow::ConvergenceSubWindow(glow::GlowComponent* parent,
                                           const glow::GlowSubwindowParams& params)
    : glow::GlowSubwindow(parent, params) {}

ConvergenceSubWindow::ConvergenceSubWindow(glow::GlowComponent* parent)
    : ConvergenceSubWindow(parent, SceneView::StandaloneParams()) {}

bool ConvergenceSubWindow::OnBeginPaint() {
    SceneView::BeginPaint();
    return true;
}

void ConvergenceSubWindow::OnEndPaint() {
    glColor3f(1.0f, 1.0f, 1.0f);
    glPointSize(1.0f);
    // On the model-view matrix, under the scene camera's frustum: chart
    // units span the chart's subwindow as the window lays it out.
    gluOrtho2D(0.0, kWidth, 0.0, kHeight);

    glBegin(GL_LINES);
    glVertex3f(kAxisX, kAxisY, 0.0f);
    glVertex3f(kAxisX, kAxisTop, 0.0f);
    glVertex3f(kAxisX, kAxisY, 0.0f);
    glVertex3f(kAxisRight, kAxisY, 0.0f);
    glEnd();

    RasterText::Draw(kCaptionX, kTextY, kCaption);
    RasterText::Draw(kZeroLabelX, kTextY, kZeroLabel);

    glColor3f(kPointRed, kPointGreen, kPointBlue);
    glBegin(GL_POINTS);
    for (int i = 0; i < capacity; ++i)
        glVertex2f(static_cast<float>(i) + kFirstSlotX, static_cast<float>(values_.Value(i)));
    glEnd();
}
