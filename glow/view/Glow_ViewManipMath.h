#ifndef GLOW_VIEW_GLOW_VIEWMANIPMATH_H
#define GLOW_VIEW_GLOW_VIEWMANIPMATH_H

#include <vector>

#include "glow/view/Quaternionf.h"
#include "glow/view/Vector3f.h"

namespace glow {

// The arithmetic of the view manipulator's drags, apart from any window so that it can be
// checked on its own. Points lie in the square from -1 to 1, x to the right, y up.
class Glow_ViewManipMath {
public:
    // The virtual ball's point under (x, y): on the unit hemisphere facing the viewer inside
    // the unit circle, (x, y, 0) outside it.
    static Vector3f BallPoint(float x, float y);

    // The rotation carrying the ball point `from` to `to`, with `rate` times its angle (a
    // rate of 0.5 turns by the angle between the points). False when either point is the zero
    // vector, which gives no rotation at all.
    static bool ArcRotation(const Vector3f& from, const Vector3f& to, float rate, Quaternionf& q);

    // Picks the axis to which `current` is most nearly perpendicular (the first of equals) and
    // projects both points onto the plane through the origin normal to it, normalised. False,
    // with both points unchanged, when a projection is the zero vector (a point along the axis).
    // The axis used comes back in chosen when that is not null.
    static bool ConstrainToAxis(const std::vector<Vector3f>& axes, Vector3f& start,
                                Vector3f& current, Vector3f* chosen = nullptr);

    // The rotation of a rotation drag from (startX, startY) to (lastX, lastY), limited to one
    // of `axes` when that is not null and not empty; the ball points used come back in
    // startBall and currentBall. False when the step has no defined rotation: then nothing
    // that came in is changed.
    static bool DragRotation(float startX, float startY, float lastX, float lastY,
                             const std::vector<Vector3f>* axes, float rate, Vector3f& startBall,
                             Vector3f& currentBall, Quaternionf& q);

    // Window pixels (from the top left, y down) to the square: the left edge gives -1, the
    // right edge (x = width) +1, the top edge +1 and the bottom edge -1. False, with nx and ny
    // unchanged, for a window without width or height, where there is no square to map to.
    static bool NormalizePoint(int x, int y, int width, int height, float& nx, float& ny);

    // Factor of a scale drag: 2 to the power (lastY - startY) * rate.
    static float ScaleFactor(float startY, float lastY, float rate);
};

}  // namespace glow

#endif
