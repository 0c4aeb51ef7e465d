#include "glow/view/Glow_ViewManipMath.h"

#include <cmath>

namespace glow {

Vector3f Glow_ViewManipMath::BallPoint(float x, float y) {
    const float d = x * x + y * y;
    if (d < 1.0f) return Vector3f(x, y, float(std::sqrt(1.0 - double(d))));
    return Vector3f(x, y, 0.0f);
}

bool Glow_ViewManipMath::ArcRotation(const Vector3f& from, const Vector3f& to, float rate,
                                     Quaternionf& q) {
    Quaternionf r;
    r.SetVectorPart(from.Cross(to));
    r.SetScalarPart(from.Dot(to));
    // A zero quaternion has no rotation in it; scaling it would give a quaternion that is
    // not a rotation and shrinks whatever it is applied to.
    if (r.Norm() == 0.0f) return false;
    r.Normalize();
    r.ScaleRotation(rate);
    q = r;
    return true;
}

bool Glow_ViewManipMath::ConstrainToAxis(const std::vector<Vector3f>& axes, Vector3f& start,
                                         Vector3f& current, Vector3f* chosen) {
    if (axes.empty()) return true;
    const Vector3f* axis = &axes[0];
    float bound = 2.0f;
    for (const Vector3f& a : axes) {
        const float v = std::fabs(current.Dot(a));
        if (v < bound) {
            bound = v;
            axis = &a;
        }
    }
    const Vector3f& a = *axis;
    const Vector3f s = (start - a * start.Dot(a)).Normalized();
    const Vector3f c = (current - a * current.Dot(a)).Normalized();
    const Vector3f zero;
    if (s == zero || c == zero) return false;
    start = s;
    current = c;
    if (chosen != nullptr) *chosen = a;
    return true;
}

bool Glow_ViewManipMath::DragRotation(float startX, float startY, float lastX, float lastY,
                                      const std::vector<Vector3f>* axes, float rate,
                                      Vector3f& startBall, Vector3f& currentBall, Quaternionf& q) {
    Vector3f s = BallPoint(startX, startY);
    Vector3f c = BallPoint(lastX, lastY);
    Quaternionf r;
    if (lastX != startX || lastY != startY) {
        Vector3f axis;
        const bool constrained = axes != nullptr && !axes->empty();
        if (constrained && !ConstrainToAxis(*axes, s, c, &axis)) return false;
        if (constrained && s.Cross(c) == Vector3f(0, 0, 0) && s.Dot(c) < 0.0f) {
            // Opposite points (every point outside the ball projects to one of two opposite
            // points) are half a turn apart about the axis; the arc between them has no axis
            // of its own and would come out as no rotation at all.
            const double a = 3.141592653589793 * rate;
            const float sa = float(std::sin(a));
            r = Quaternionf(float(std::cos(a)), sa * axis.X(), sa * axis.Y(), sa * axis.Z());
        } else if (!ArcRotation(s, c, rate, r)) {
            return false;
        }
    }
    startBall = s;
    currentBall = c;
    q = r;
    return true;
}

bool Glow_ViewManipMath::NormalizePoint(int x, int y, int width, int height, float& nx, float& ny) {
    if (width <= 0 || height <= 0) return false;
    nx = float(2.0L * x / width - 1.0L);
    ny = float(1.0L - 2.0L * y / height);
    return true;
}

float Glow_ViewManipMath::ScaleFactor(float startY, float lastY, float rate) {
    return float(std::pow(2.0, double(lastY - startY) * double(rate)));
}

}  // namespace glow
