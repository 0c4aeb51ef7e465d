#include "glow/view/GlowViewManipulator.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include "glow/core/Glow.h"
#include "glow/view/GlowTransformData.h"
#include "glow/view/Glow_ViewManipMath.h"

namespace glow {

namespace {
int ElapsedMilliseconds() {
    return glutGet(GLUT_ELAPSED_TIME);
}
}  // namespace

GlowViewManipulatorParams GlowViewManipulatorParams::defaults(true);

GlowViewManipulatorParams::GlowViewManipulatorParams(bool)
    : GlowViewTransformParams(true),
      translationRate(1.0f),
      rotationRate(1.0f),
      scaleRate(1.0f),
      axisConstraints(),
      axisConstraintsActive(false),
      spinnable(false),
      drawOverlay(false),
      spinWindow(100),
      overlayColor(0.5, 1.0, 1.0, 1.0) {}

void Glow_ViewManip_IdleReceiver::OnMessage(const GlowIdleMessage&) {
    owner->InDrag(owner->lastX_, owner->lastY_);
}

GlowViewManipulator::GlowViewManipulator(GlowComponent* parent,
                                         const GlowViewManipulatorParams& params)
    : idleReceiver_(this), spinHistory_(100, ElapsedMilliseconds) {
    Init(parent, params);
}

GlowViewManipulator::~GlowViewManipulator() {
    // Through the service, so that the GLUT idle callback goes away with the last receiver.
    Glow::RemoveIdleReceiver(&idleReceiver_);
}

void GlowViewManipulator::Init(GlowComponent* parent, const GlowViewManipulatorParams& params) {
    GlowViewTransform::Init(parent, params);
    overlayColor_ = params.overlayColor;
    drawOverlay_ = params.drawOverlay;
    axisConstraintsActive_ = params.axisConstraintsActive;
    axisConstraints_ = params.axisConstraints;
    translationRate_ = params.translationRate;
    // Halved: at rate 1 a drag turns by the angle between the ball points (the quaternion
    // between two unit vectors turns by twice their angle), and a drag over the whole height
    // doubles or halves the scale.
    rotationRate_ = 0.5f * params.rotationRate;
    scaleRate_ = 0.5f * params.scaleRate;
    dragState_ = notDragging;
    spinnable_ = params.spinnable;
    spinHistory_.SetWindow(params.spinWindow);
    spinPending_ = false;
}

void GlowViewManipulator::SetSpinClock(std::function<int()> clock) {
    spinHistory_.SetClock(clock ? clock : std::function<int()>(ElapsedMilliseconds));
}

Vector3f GlowViewManipulator::BallPoint(float x, float y) {
    return Glow_ViewManipMath::BallPoint(x, y);
}

void GlowViewManipulator::BeginDrag_(int kind, float x, float y) {
    GlowTransformData* d = GetTransformData();
    d->StopSpin();
    // A press also cancels a spin that a release asked for but no paint has started yet.
    spinPending_ = false;
    spinHistory_.Clear();
    startX_ = lastX_ = x;
    startY_ = lastY_ = y;
    dragState_ = kind;
    if (kind == rotationDrag) startBallPoint_ = currentBallPoint_ = BallPoint(x, y);
    startTranslation_ = d->GetTranslation();
    startRotation_ = d->GetRotation();
    startScale_ = d->GetScale();
    // A drag begun over another one must not leave the idle receiver of a rotation bound.
    if (kind == rotationDrag && spinnable_)
        Glow::AddIdleReceiver(&idleReceiver_);
    else
        Glow::RemoveIdleReceiver(&idleReceiver_);
}

void GlowViewManipulator::BeginRotationDrag(float x, float y) {
    BeginDrag_(rotationDrag, x, y);
}

void GlowViewManipulator::BeginTranslationDrag(float x, float y) {
    BeginDrag_(translationDrag, x, y);
}

void GlowViewManipulator::BeginScaleDrag(float x, float y) {
    BeginDrag_(scaleDrag, x, y);
}

void GlowViewManipulator::InDrag(float x, float y) {
    lastX_ = x;
    lastY_ = y;
    GlowTransformData* d = GetTransformData();
    switch (dragState_) {
        case scaleDrag: {
            const float f = Glow_ViewManipMath::ScaleFactor(startY_, lastY_, scaleRate_);
            d->SetTransform(startTranslation_ * f, startRotation_, startScale_ * f);
            break;
        }
        case translationDrag: {
            const Vector3f move((lastX_ - startX_) * translationRate_,
                                (lastY_ - startY_) * translationRate_, 0.0f);
            d->SetTransform(startTranslation_ + move, startRotation_, startScale_);
            break;
        }
        case rotationDrag: {
            Quaternionf q;
            const std::vector<Vector3f>* axes =
                axisConstraintsActive_ ? &axisConstraints_ : nullptr;
            // A step without a defined rotation (a constrained point along its axis) keeps
            // the transform as it is.
            if (!Glow_ViewManipMath::DragRotation(startX_, startY_, lastX_, lastY_, axes,
                                                  rotationRate_, startBallPoint_, currentBallPoint_,
                                                  q))
                break;
            d->SetTransform(q.Rotate(startTranslation_), q * startRotation_, startScale_);
            break;
        }
        default:
            break;
    }
}

void GlowViewManipulator::EndDrag(float x, float y) {
    if (dragState_ == notDragging) return;
    InDrag(x, y);
    if (dragState_ == rotationDrag && spinnable_) {
        Glow::RemoveIdleReceiver(&idleReceiver_);
        spinPending_ = true;
    }
    dragState_ = notDragging;
}

void GlowViewManipulator::SetSpinnable(bool spinnable) {
    if (!spinnable && spinnable_) {
        GetTransformData()->StopSpin();
        spinPending_ = false;
        spinHistory_.Clear();
    }
    if (dragState_ == rotationDrag) {
        if (spinnable && !spinnable_) {
            Glow::AddIdleReceiver(&idleReceiver_);
            spinnable_ = true;
            return;
        }
        if (!spinnable && spinnable_) Glow::RemoveIdleReceiver(&idleReceiver_);
    }
    spinnable_ = spinnable;
}

void GlowViewManipulator::DrawArc(const Vector3f& a, const Vector3f& b, int depth) {
    if (depth > 0) {
        const Vector3f m = (a + b).Normalized();
        DrawArc(a, m, depth - 1);
        DrawArc(m, b, depth - 1);
    } else {
        glVertex2fv(a.Array());
        glVertex2fv(b.Array());
    }
}

void GlowViewManipulator::DrawOverlay_() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();

    GLboolean lighting = GL_FALSE;
    GLint depthFunc = GL_LESS;
    glGetBooleanv(GL_LIGHTING, &lighting);
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_ALWAYS);

    overlayColor_.Apply();
    glBegin(GL_LINES);
    DrawArc(Vector3f(1, 0, 0), Vector3f(0, 1, 0), 4);
    DrawArc(Vector3f(0, 1, 0), Vector3f(-1, 0, 0), 4);
    DrawArc(Vector3f(-1, 0, 0), Vector3f(0, -1, 0), 4);
    DrawArc(Vector3f(0, -1, 0), Vector3f(1, 0, 0), 4);
    if (dragState_ == scaleDrag) {
        glVertex2f(startX_, startY_);
        glVertex2f(startX_, lastY_);
    } else if (dragState_ == translationDrag) {
        glVertex2f(startX_, startY_);
        glVertex2f(lastX_, lastY_);
    } else if (dragState_ == rotationDrag) {
        DrawArc(startBallPoint_, currentBallPoint_, 4);
    }
    glEnd();

    glDepthFunc(GLenum(depthFunc));
    if (lighting) glEnable(GL_LIGHTING);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

bool GlowViewManipulator::RecordsSpin_() const {
    // Limited to two or more axes a drag may switch axes on the way: no spin follows it.
    return !(axisConstraintsActive_ && axisConstraints_.size() >= 2);
}

void GlowViewManipulator::SpinBookkeeping_() {
    if (dragState_ == rotationDrag) {
        if (RecordsSpin_()) spinHistory_.Record(currentBallPoint_);
        return;
    }
    if (!spinPending_ || spinHistory_.Empty()) return;
    spinPending_ = false;
    Quaternionf spin;
    if (spinHistory_.TakeSpin(currentBallPoint_, rotationRate_, spin))
        GetTransformData()->StartSpin(spin);
}

void GlowViewManipulator::OnEndPaint() {
    if (dragState_ != notDragging && drawOverlay_) DrawOverlay_();
    if (spinnable_) SpinBookkeeping_();
    GlowViewTransform::OnEndPaint();
}

}  // namespace glow
