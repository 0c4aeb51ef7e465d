#include "glow/view/Quaternionf.h"

#include <cmath>
#include <istream>
#include <ostream>

#include "glow/core/Glow_Assert.h"

namespace glow {

namespace {
const double kTwoPi = 6.283185307179586;
const float kFloatEpsilon = 1.1920928955078125e-07f;

float Clamp(float v, float lo, float hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
}  // namespace

float Quaternionf::GetComponent(int i) const {
    glow_assert(i >= 0 && i < 4);
    return q_[i];
}

void Quaternionf::SetComponent(int i, float value) {
    glow_assert(i >= 0 && i < 4);
    q_[i] = value;
}

float Quaternionf::Norm() const {
    double sq = double(q_[0]) * q_[0] + double(q_[1]) * q_[1] + double(q_[2]) * q_[2] +
                double(q_[3]) * q_[3];
    return float(std::sqrt(sq));
}

void Quaternionf::Normalize() {
    float n = Norm();
    if (n == 0.0f) return;
    for (float& c : q_) c /= n;
}

Quaternionf Quaternionf::operator*(const Quaternionf& b) const {
    const float w1 = q_[0], x1 = q_[1], y1 = q_[2], z1 = q_[3];
    const float w2 = b.q_[0], x2 = b.q_[1], y2 = b.q_[2], z2 = b.q_[3];
    return Quaternionf(w1 * w2 - x1 * x2 - y1 * y2 - z1 * z2, w1 * x2 + x1 * w2 + y1 * z2 - z1 * y2,
                       w1 * y2 - x1 * z2 + y1 * w2 + z1 * x2,
                       w1 * z2 + x1 * y2 - y1 * x2 + z1 * w2);
}

Quaternionf& Quaternionf::operator*=(const Quaternionf& b) {
    *this = *this * b;
    return *this;
}

Vector3f Quaternionf::Rotate(const Vector3f& v) const {
    return ((*this * Quaternionf(v)) * Conjugate()).VectorPart();
}

void Quaternionf::GetRotation(Vector3f& axis, float& angle) const {
    const float c = Clamp(q_[0], -1.0f, 1.0f);
    angle = float(2.0 * std::acos(double(c)));
    // Keeps the angle in (-pi, pi], so q and -q give the same glRotatef.
    if (c < 0.0f) angle = float(angle - kTwoPi);
    if (q_[1] == 0.0f && q_[2] == 0.0f && q_[3] == 0.0f) {
        axis.Set(1.0f, 0.0f, 0.0f);
    } else {
        axis.Set(q_[1], q_[2], q_[3]);
        axis.Normalize();
    }
}

void Quaternionf::ScaleRotation(float k) {
    // Rounding can push w a hair past 1; the square root must not see a negative number.
    const double oneMinusW2 = 1.0 - double(q_[0]) * q_[0];
    const float s = float(std::sqrt(oneMinusW2 > 0.0 ? oneMinusW2 : 0.0));
    if (s >= -kFloatEpsilon && s <= kFloatEpsilon) return;
    Normalize();
    const double a = std::acos(double(Clamp(q_[0], -1.0f, 1.0f))) * k;
    const float f = float(std::sin(a) / s);
    q_[0] = float(std::cos(a));
    q_[1] *= f;
    q_[2] *= f;
    q_[3] *= f;
}

std::ostream& operator<<(std::ostream& out, const Quaternionf& q) {
    out << "[ ";
    for (int i = 0; i < 4; ++i) out << q.GetComponent(i) << " ";
    return out << "]";
}

std::istream& operator>>(std::istream& in, Quaternionf& q) {
    char c = 0;
    in >> c;
    if (in && c == '[') {
        float w = 0.0f, x = 0.0f, y = 0.0f, z = 0.0f;
        in >> w >> x >> y >> z;
        // A failed read keeps the old value rather than storing whatever the stream left behind.
        if (in) q.Set(w, x, y, z);
    }
    in >> c;
    return in;
}

}  // namespace glow
