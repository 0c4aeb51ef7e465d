#include "glow/view/Vector3f.h"

#include <cmath>
#include <istream>

namespace glow {

float Vector3f::Dot(const Vector3f& b) const {
    double sum = double(v_[0]) * b.v_[0] + double(v_[1]) * b.v_[1] + double(v_[2]) * b.v_[2];
    return float(sum);
}

Vector3f Vector3f::Cross(const Vector3f& b) const {
    return Vector3f(v_[1] * b.v_[2] - v_[2] * b.v_[1], v_[2] * b.v_[0] - v_[0] * b.v_[2],
                    v_[0] * b.v_[1] - v_[1] * b.v_[0]);
}

float Vector3f::Length() const {
    double sq = double(v_[0]) * v_[0] + double(v_[1]) * v_[1] + double(v_[2]) * v_[2];
    return float(std::sqrt(sq));
}

void Vector3f::Normalize() {
    float m = Length();
    if (m != 0.0f) {
        v_[0] /= m;
        v_[1] /= m;
        v_[2] /= m;
    }
}

Vector3f Vector3f::Normalized() const {
    Vector3f copy(*this);
    copy.Normalize();
    return copy;
}

std::istream& operator>>(std::istream& in, Vector3f& v) {
    char c = 0;
    if (!(in >> c) || c != '[') return in;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    in >> x >> y >> z;
    // A failed read keeps the old value rather than storing whatever the stream left behind.
    if (in) v.Set(x, y, z);
    in >> c;
    return in;
}

}  // namespace glow
