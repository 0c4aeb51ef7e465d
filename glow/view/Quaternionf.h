#ifndef GLOW_VIEW_QUATERNIONF_H
#define GLOW_VIEW_QUATERNIONF_H

#include <iosfwd>

#include "glow/view/Vector3f.h"

namespace glow {

// A rotation as a quaternion (w, x, y, z): w is the scalar part. The rotation by
// angle t about the unit axis u is (cos t/2, sin t/2 u).
class Quaternionf {
public:
    constexpr Quaternionf() : q_{1.0f, 0.0f, 0.0f, 0.0f} {}
    constexpr Quaternionf(float w, float x, float y, float z) : q_{w, x, y, z} {}
    // The pure quaternion (0, v).
    explicit Quaternionf(const Vector3f& v) : q_{0.0f, v.X(), v.Y(), v.Z()} {}

    void SetIdentity() { Set(1.0f, 0.0f, 0.0f, 0.0f); }
    void Set(float w, float x, float y, float z) {
        q_[0] = w;
        q_[1] = x;
        q_[2] = y;
        q_[3] = z;
    }

    // Component 0 is w, 1 x, 2 y, 3 z.
    float GetComponent(int i) const;
    void SetComponent(int i, float value);

    float W() const { return q_[0]; }
    float X() const { return q_[1]; }
    float Y() const { return q_[2]; }
    float Z() const { return q_[3]; }

    Vector3f VectorPart() const { return Vector3f(q_[1], q_[2], q_[3]); }
    void SetScalarPart(float w) { q_[0] = w; }
    // Sets x, y, z from v and w to 0.
    void SetVectorPart(const Vector3f& v) { Set(0.0f, v.X(), v.Y(), v.Z()); }

    float Norm() const;
    // Divides by the norm; a zero quaternion stays zero instead of turning into NaN.
    void Normalize();
    Quaternionf Conjugate() const { return Quaternionf(q_[0], -q_[1], -q_[2], -q_[3]); }

    // Hamilton's product: (a * b) turns by b first, then by a.
    Quaternionf operator*(const Quaternionf& b) const;
    Quaternionf& operator*=(const Quaternionf& b);

    bool operator==(const Quaternionf& b) const {
        return q_[0] == b.q_[0] && q_[1] == b.q_[1] && q_[2] == b.q_[2] && q_[3] == b.q_[3];
    }
    bool operator!=(const Quaternionf& b) const { return !(*this == b); }

    // q v q*, with the conjugate for the inverse: a pure rotation only for a unit quaternion.
    Vector3f Rotate(const Vector3f& v) const;

    // Axis (unit, (1, 0, 0) when there is no vector part) and angle in radians in (-pi, pi].
    void GetRotation(Vector3f& axis, float& angle) const;

    // Same axis, k times the angle.
    void ScaleRotation(float k);

private:
    float q_[4];
};

// "[ w x y z ]"
std::ostream& operator<<(std::ostream& out, const Quaternionf& q);
std::istream& operator>>(std::istream& in, Quaternionf& q);

}  // namespace glow

#endif
