#include "glow/view/Matrix4f.h"

#include <cmath>
#include <istream>
#include <ostream>

#include "glow/core/Glow_Assert.h"

namespace glow {

namespace {
bool InRange(int i) {
    return i >= 0 && i < 4;
}
}  // namespace

float Matrix4f::Get(int16_t row, int16_t col) const {
    glow_assert(InRange(row) && InRange(col));
    return At(row, col);
}

void Matrix4f::Set(int16_t row, int16_t col, float value) {
    glow_assert(InRange(row) && InRange(col));
    At(row, col) = value;
}

void Matrix4f::SetIdentity() {
    for (int i = 0; i < 16; ++i) m_[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Matrix4f::SetZero() {
    for (float& e : m_) e = 0.0f;
}

void Matrix4f::SetTranslation(float x, float y, float z) {
    SetIdentity();
    At(0, 3) = x;
    At(1, 3) = y;
    At(2, 3) = z;
}

void Matrix4f::SetScale(float x, float y, float z) {
    SetZero();
    At(0, 0) = x;
    At(1, 1) = y;
    At(2, 2) = z;
    At(3, 3) = 1.0f;
}

void Matrix4f::SetRotation(float x, float y, float z, float angle) {
    const float c = float(std::cos(double(angle)));
    const float s = float(std::sin(double(angle)));
    const float t = 1.0f - c;
    SetIdentity();
    At(0, 0) = x * x + (1.0f - x * x) * c;
    At(0, 1) = t * x * y - s * z;
    At(0, 2) = t * z * x + s * y;
    At(1, 0) = t * x * y + s * z;
    At(1, 1) = y * y + (1.0f - y * y) * c;
    At(1, 2) = t * y * z - s * x;
    At(2, 0) = t * z * x - s * y;
    At(2, 1) = t * y * z + s * x;
    At(2, 2) = z * z + (1.0f - z * z) * c;
}

void Matrix4f::SetBasis(const Vector3f& a, const Vector3f& b, const Vector3f& c) {
    SetIdentity();
    const Vector3f* cols[3] = {&a, &b, &c};
    for (int col = 0; col < 3; ++col) {
        At(0, col) = cols[col]->X();
        At(1, col) = cols[col]->Y();
        At(2, col) = cols[col]->Z();
        At(3, col) = 0.0f;
    }
}

Matrix4f Matrix4f::operator*(float s) const {
    Matrix4f r;
    for (int i = 0; i < 16; ++i) r.m_[i] = m_[i] * s;
    return r;
}

Matrix4f operator*(float s, const Matrix4f& m) {
    return m * s;
}

Matrix4f Matrix4f::operator/(float s) const {
    Matrix4f r;
    for (int i = 0; i < 16; ++i) r.m_[i] = m_[i] / s;
    return r;
}

Matrix4f Matrix4f::operator-() const {
    Matrix4f r;
    for (int i = 0; i < 16; ++i) r.m_[i] = -m_[i];
    return r;
}

Matrix4f Matrix4f::operator+(const Matrix4f& m) const {
    Matrix4f r;
    for (int i = 0; i < 16; ++i) r.m_[i] = m_[i] + m.m_[i];
    return r;
}

Matrix4f Matrix4f::operator-(const Matrix4f& m) const {
    Matrix4f r;
    for (int i = 0; i < 16; ++i) r.m_[i] = m_[i] - m.m_[i];
    return r;
}

Matrix4f Matrix4f::operator*(const Matrix4f& m) const {
    Matrix4f r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += At(row, k) * m.At(k, col);
            r.At(row, col) = sum;
        }
    }
    return r;
}

Matrix4f& Matrix4f::operator*=(const Matrix4f& m) {
    // The product goes through a temporary, so m may be this matrix.
    *this = *this * m;
    return *this;
}

Vector3f Matrix4f::operator*(const Vector3f& v) const {
    const float in[4] = {v.X(), v.Y(), v.Z(), 1.0f};
    float out[4];
    for (int row = 0; row < 4; ++row) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) sum += At(row, k) * in[k];
        out[row] = sum;
    }
    return Vector3f(out[0], out[1], out[2]) / out[3];
}

bool Matrix4f::operator==(const Matrix4f& m) const {
    for (int i = 0; i < 16; ++i)
        if (m_[i] != m.m_[i]) return false;
    return true;
}

void Matrix4f::SetTranspose(const Matrix4f& m) {
    const Matrix4f src(m);  // m may be this matrix
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) At(row, col) = src.At(col, row);
}

Matrix4f Matrix4f::Transpose() const {
    Matrix4f r;
    r.SetTranspose(*this);
    return r;
}

void Matrix4f::ScaleRow(int16_t row, float factor) {
    glow_assert(InRange(row));
    for (int col = 0; col < 4; ++col) At(row, col) *= factor;
}

void Matrix4f::SwapRows(int16_t row1, int16_t row2) {
    glow_assert(InRange(row1) && InRange(row2));
    for (int col = 0; col < 4; ++col) {
        const float t = At(row1, col);
        At(row1, col) = At(row2, col);
        At(row2, col) = t;
    }
}

void Matrix4f::AddScaledRow(int16_t src, float factor, int16_t dst) {
    glow_assert(InRange(src) && InRange(dst));
    for (int col = 0; col < 4; ++col) At(dst, col) += factor * At(src, col);
}

float Matrix4f::Cofactor(int16_t col, int16_t row) const {
    glow_assert(InRange(row) && InRange(col));
    int cols[3], rows[3];
    for (int i = 0, n = 0; i < 4; ++i)
        if (i != col) cols[n++] = i;
    for (int i = 0, n = 0; i < 4; ++i)
        if (i != row) rows[n++] = i;
    // e(i, j): i-th remaining column, j-th remaining row.
    auto e = [&](int i, int j) { return At(rows[j], cols[i]); };
    float det = e(0, 0) * e(1, 1) * e(2, 2) + e(1, 0) * e(2, 1) * e(0, 2) +
                e(2, 0) * e(0, 1) * e(1, 2) - e(2, 0) * e(1, 1) * e(0, 2) -
                e(1, 0) * e(0, 1) * e(2, 2) - e(0, 0) * e(2, 1) * e(1, 2);
    return ((col + row) % 2 == 1) ? -det : det;
}

void Matrix4f::SetCofactors(const Matrix4f& m) {
    const Matrix4f src(m);  // m may be this matrix
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) At(row, col) = src.Cofactor(col, row);
}

Matrix4f Matrix4f::Cofactors() const {
    Matrix4f r;
    r.SetCofactors(*this);
    return r;
}

float Matrix4f::Determinant() const {
    float det = 0.0f;
    for (int col = 0; col < 4; ++col) det += At(0, col) * Cofactor(col, 0);
    return det;
}

void Matrix4f::SetInverse(const Matrix4f& m) {
    Matrix4f a(m);  // m may be this matrix
    SetIdentity();
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        float best = std::fabs(a.At(c, c));
        for (int r = c + 1; r < 4; ++r) {
            // Strictly larger only: on a tie the upper row stays the pivot.
            if (std::fabs(a.At(r, c)) > best) {
                best = std::fabs(a.At(r, c));
                pivot = r;
            }
        }
        if (best == 0.0f) {
            SetZero();
            return;
        }
        if (pivot != c) {
            a.SwapRows(pivot, c);
            SwapRows(pivot, c);
        }
        const float f = 1.0f / a.At(c, c);
        a.ScaleRow(c, f);
        ScaleRow(c, f);
        for (int r = 0; r < 4; ++r) {
            if (r == c || a.At(r, c) == 0.0f) continue;
            const float g = -a.At(r, c);
            a.AddScaledRow(c, g, r);
            AddScaledRow(c, g, r);
        }
    }
}

Matrix4f Matrix4f::Inverse() const {
    Matrix4f r;
    r.SetInverse(*this);
    return r;
}

std::ostream& operator<<(std::ostream& out, const Matrix4f& m) {
    out << "[ ";
    for (int16_t row = 0; row < 4; ++row)
        for (int16_t col = 0; col < 4; ++col) out << m.Get(row, col) << " ";
    return out << "]";
}

std::istream& operator>>(std::istream& in, Matrix4f& m) {
    char c = 0;
    in >> c;
    if (in && c == '[') {
        float e[16];
        for (float& x : e) in >> x;
        // A failed read keeps the old value rather than storing whatever the stream left behind.
        if (in) {
            for (int16_t row = 0; row < 4; ++row)
                for (int16_t col = 0; col < 4; ++col) m.Set(row, col, e[4 * row + col]);
        }
    }
    in >> c;
    return in;
}

}  // namespace glow
