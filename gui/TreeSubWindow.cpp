#include "gui/TreeSubWindow.h"

#include "glow/view/GlowViewManipulator.h"
#include "glow/view/Glow_ViewManipMath.h"
#include "gui/SceneView.h"
#include "gui/TreeViewer.h"

namespace {
// GLUT's mouse buttons.
constexpr int kLeftButton = 0;
constexpr int kMiddleButton = 1;
constexpr int kRightButton = 2;
}  // namespace

TreeSubWindow::TreeSubWindow(glow::GlowComponent* parent, const glow::GlowSubwindowParams& params)
    : glow::GlowSubwindow(parent, params), viewer(nullptr), manipulator(nullptr) {
    manipulator = new glow::GlowViewManipulator(this, glow::GlowViewManipulatorParams::defaults);
    manipulator->SetSpinnable(true);
    viewer = new TreeViewer(manipulator);
}

TreeSubWindow::TreeSubWindow(glow::GlowComponent* parent)
    : TreeSubWindow(parent, SceneView::StandaloneParams()) {}

void TreeSubWindow::NormalizeCoordinates(int x, int y, float& nx, float& ny) const {
    if (!glow::Glow_ViewManipMath::NormalizePoint(x, y, Width(), Height(), nx, ny)) {
        nx = 0.0f;
        ny = 0.0f;
    }
}

bool TreeSubWindow::OnBeginPaint() {
    SceneView::BeginPaint();
    return true;
}

void TreeSubWindow::OnMouseDown(int button, int x, int y, int /*modifiers*/) {
    if (manipulator->IsDragging()) return;
    float nx = 0.0f;
    float ny = 0.0f;
    NormalizeCoordinates(x, y, nx, ny);
    switch (button) {
        case kLeftButton:
            manipulator->BeginRotationDrag(nx, ny);
            break;
        case kMiddleButton:
            manipulator->BeginTranslationDrag(nx, ny);
            break;
        case kRightButton:
            manipulator->BeginScaleDrag(nx, ny);
            break;
        default:
            break;
    }
}

void TreeSubWindow::OnMouseDrag(int x, int y) {
    if (!manipulator->IsDragging()) return;
    float nx = 0.0f;
    float ny = 0.0f;
    NormalizeCoordinates(x, y, nx, ny);
    manipulator->InDrag(nx, ny);
}

void TreeSubWindow::OnMouseUp(int /*button*/, int x, int y, int /*modifiers*/) {
    if (!manipulator->IsDragging()) return;
    float nx = 0.0f;
    float ny = 0.0f;
    NormalizeCoordinates(x, y, nx, ny);
    manipulator->EndDrag(nx, ny);
}
