#ifndef GLOW_VIEW_MATRIX4F_H
#define GLOW_VIEW_MATRIX4F_H

#include <cstdint>
#include <iosfwd>

#include "glow/view/Vector3f.h"

namespace glow {

// A 4 by 4 transform stored column-major, as OpenGL's matrix functions take it:
// row r, column c is element 4c + r. Vectors are columns multiplied from the right.
class Matrix4f {
public:
    Matrix4f() { SetIdentity(); }

    float Get(int16_t row, int16_t col) const;
    void Set(int16_t row, int16_t col, float value);
    // The sixteen elements, column-major.
    const float* Array() const { return m_; }

    void SetIdentity();
    void SetZero();
    void SetTranslation(float x, float y, float z);
    void SetScale(float x, float y, float z);
    // Counter-clockwise by angle (radians) about the axis (x, y, z), which must be a unit vector.
    void SetRotation(float x, float y, float z, float angle);
    void SetBasis(const Vector3f& a, const Vector3f& b, const Vector3f& c);

    Matrix4f operator*(float s) const;
    Matrix4f operator/(float s) const;
    Matrix4f operator-() const;
    Matrix4f operator+(const Matrix4f& m) const;
    Matrix4f operator-(const Matrix4f& m) const;
    Matrix4f operator*(const Matrix4f& m) const;
    Matrix4f& operator*=(const Matrix4f& m);
    // The point v (with w = 1) transformed and divided by the resulting w.
    Vector3f operator*(const Vector3f& v) const;

    bool operator==(const Matrix4f& m) const;
    bool operator!=(const Matrix4f& m) const { return !(*this == m); }

    void SetTranspose(const Matrix4f& m);
    Matrix4f Transpose() const;

    void ScaleRow(int16_t row, float factor);
    void SwapRows(int16_t row1, int16_t row2);
    // Row dst += factor * row src.
    void AddScaledRow(int16_t src, float factor, int16_t dst);

    // The signed minor of the element in row `row` and column `col`.
    float Cofactor(int16_t col, int16_t row) const;
    // The matrix of cofactors (not transposed).
    void SetCofactors(const Matrix4f& m);
    Matrix4f Cofactors() const;
    float Determinant() const;

    // Gauss-Jordan with partial pivoting; a singular matrix gives the zero matrix.
    // m may be this matrix itself.
    void SetInverse(const Matrix4f& m);
    Matrix4f Inverse() const;

private:
    float& At(int r, int c) { return m_[4 * c + r]; }
    float At(int r, int c) const { return m_[4 * c + r]; }

    float m_[16];
};

Matrix4f operator*(float s, const Matrix4f& m);

// "[ " then the elements row by row, each followed by " ", then "]".
std::ostream& operator<<(std::ostream& out, const Matrix4f& m);
std::istream& operator>>(std::istream& in, Matrix4f& m);

}  // namespace glow

#endif
