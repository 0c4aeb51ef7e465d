#ifndef GLOW_VIEW_VECTOR3F_H
#define GLOW_VIEW_VECTOR3F_H

#include <iosfwd>

namespace glow {

// A point or direction in three dimensions, in single precision.
class Vector3f {
public:
    constexpr Vector3f() : v_{0.0f, 0.0f, 0.0f} {}
    constexpr Vector3f(float x, float y, float z) : v_{x, y, z} {}
    constexpr explicit Vector3f(float v) : v_{v, v, v} {}

    void Set(float x, float y, float z) {
        v_[0] = x;
        v_[1] = y;
        v_[2] = z;
    }
    void Set(float v) { Set(v, v, v); }

    float X() const { return v_[0]; }
    float Y() const { return v_[1]; }
    float Z() const { return v_[2]; }

    // The components as an array, in the order x, y, z (for glVertex*fv).
    const float* Array() const { return v_; }

    Vector3f operator+(const Vector3f& b) const {
        return Vector3f(v_[0] + b.v_[0], v_[1] + b.v_[1], v_[2] + b.v_[2]);
    }
    Vector3f operator-(const Vector3f& b) const {
        return Vector3f(v_[0] - b.v_[0], v_[1] - b.v_[1], v_[2] - b.v_[2]);
    }
    Vector3f operator*(float s) const { return Vector3f(v_[0] * s, v_[1] * s, v_[2] * s); }
    Vector3f operator/(float s) const { return Vector3f(v_[0] / s, v_[1] / s, v_[2] / s); }

    bool operator==(const Vector3f& b) const {
        return v_[0] == b.v_[0] && v_[1] == b.v_[1] && v_[2] == b.v_[2];
    }
    bool operator!=(const Vector3f& b) const { return !(*this == b); }

    // Summed in double so that nearly opposite terms cancel without losing the rest.
    float Dot(const Vector3f& b) const;
    Vector3f Cross(const Vector3f& b) const;
    float Length() const;

    // Divides by the length; a zero vector stays as it is.
    void Normalize();
    // A unit copy, or the zero vector when the length is zero.
    Vector3f Normalized() const;

private:
    float v_[3];
};

inline Vector3f operator*(float s, const Vector3f& v) {
    return v * s;
}

// Reads "[ x y z ]". Anything but '[' first is consumed alone and leaves the vector as it was.
std::istream& operator>>(std::istream& in, Vector3f& v);

}  // namespace glow

#endif
