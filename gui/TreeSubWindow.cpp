#include "gui/TreeSubWindow.h"

#include "glow/view/GlowViewManipulator.h"
#include "glow/view/Glow_ViewManipMath.h"
#include "gui/SceneCamera.h"
#include "gui/TreeViewer.h"

namespace {
// Placement of a tree view made without parameters.
constexpr int kDefaultSize = 400;
// GLUT's mouse buttons.
constexpr int kLeftButton = 0;
constexpr int kMiddleButton = 1;
constexpr int kRightButton = 2;
}  // namespace

TreeSubWindow::TreeSubWindow(glow::GlowComponent* parent, const glow::GlowSubwindowParams& params)
    : glow::GlowSubwindow(parent, params), viewer(nullptr), manipulator(nullptr) {
    BuildView_();
}

TreeSubWindow::TreeSubWindow(glow::GlowComponent* parent)
    : glow::GlowSubwindow(parent, 0, 0, kDefaultSize, kDefaultSize,
                          glow::GlowDisplayMode::rgbBuffer | glow::GlowDisplayMode::depthBuffer |
                              glow::GlowDisplayMode::doubleBuffer,
                          glow::GlowEventMask::mouseEvents | glow::GlowEventMask::dragEvents),
      viewer(nullptr),
      manipulator(nullptr) {
    BuildView_();
}

void TreeSubWindow::BuildView_() {
    manipulator = new glow::GlowViewManipulator(this, glow::GlowViewManipulatorParams::defaults);
    manipulator->SetSpinnable(true);
    viewer = new TreeViewer(manipulator);
}

void TreeSubWindow::NormalizeCoordinates(int x, int y, float& nx, float& ny) const {
    if (!glow::Glow_ViewManipMath::NormalizePoint(x, y, Width(), Height(), nx, ny)) {
        nx = 0.0f;
        ny = 0.0f;
    }
}

bool TreeSubWindow::OnBeginPaint() {
    SceneCamera::Begin();
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
