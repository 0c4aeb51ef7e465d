#include "gui/SceneView.h"

#include <GL/gl.h>

namespace {
constexpr double kHalfWidth = 0.5;
constexpr double kNear = 1.0;
constexpr double kFar = 12.0;
constexpr double kEyeDistance = 5.0;
constexpr int kStandaloneSize = 400;
}  // namespace

void SceneView::BeginPaint() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_NORMALIZE);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-kHalfWidth, kHalfWidth, -kHalfWidth, kHalfWidth, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(0.0, 0.0, -kEyeDistance);
}

glow::GlowSubwindowParams SceneView::StandaloneParams() {
    glow::GlowSubwindowParams params = Placement(0, 0, kStandaloneSize, kStandaloneSize);
    params.displayMode = glow::GlowDisplayMode::rgbBuffer | glow::GlowDisplayMode::depthBuffer |
                         glow::GlowDisplayMode::doubleBuffer;
    return params;
}

glow::GlowSubwindowParams SceneView::Placement(int x, int y, int width, int height) {
    glow::GlowSubwindowParams params;
    params.x = x;
    params.y = y;
    params.width = width;
    params.height = height;
    params.eventMask = glow::GlowEventMask::mouseEvents | glow::GlowEventMask::dragEvents;
    return params;
}
