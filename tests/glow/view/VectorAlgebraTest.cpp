#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "glow/view/Matrix4f.h"
#include "glow/view/Quaternionf.h"
#include "glow/view/Vector3f.h"
#include "tests/glow/support/FailedCheck.h"

using glow::Matrix4f;
using glow::Quaternionf;
using glow::Vector3f;

namespace {

const double kPi = 3.14159265358979323846;

void ExpectNear(const Vector3f& a, const Vector3f& b, float tol, const std::string& what = "") {
    EXPECT_NEAR(a.X(), b.X(), tol) << what;
    EXPECT_NEAR(a.Y(), b.Y(), tol) << what;
    EXPECT_NEAR(a.Z(), b.Z(), tol) << what;
}

void ExpectNear(const Quaternionf& a, const Quaternionf& b, float tol) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(a.GetComponent(i), b.GetComponent(i), tol) << i;
}

void ExpectNear(const Matrix4f& a, const Matrix4f& b, float tol, const std::string& what = "") {
    for (int16_t r = 0; r < 4; ++r)
        for (int16_t c = 0; c < 4; ++c)
            EXPECT_NEAR(a.Get(r, c), b.Get(r, c), tol) << what << " at (" << r << ", " << c << ")";
}

Matrix4f FromRows(const float (&e)[16]) {
    Matrix4f m;
    for (int16_t r = 0; r < 4; ++r)
        for (int16_t c = 0; c < 4; ++c) m.Set(r, c, e[4 * r + c]);
    return m;
}

Quaternionf AxisAngle(Vector3f axis, double angle) {
    axis.Normalize();
    const float s = float(std::sin(angle / 2));
    return Quaternionf(float(std::cos(angle / 2)), s * axis.X(), s * axis.Y(), s * axis.Z());
}

struct Random {
    std::mt19937 gen{20261210};
    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(gen); }
    Vector3f Vec() { return Vector3f(Uniform(-2, 2), Uniform(-2, 2), Uniform(-2, 2)); }
    Quaternionf Rotation() {
        Quaternionf q(Uniform(-1, 1), Uniform(-1, 1), Uniform(-1, 1), Uniform(-1, 1));
        q.Normalize();
        return q;
    }
    // Diagonally dominant, so well conditioned and not symmetric.
    Matrix4f Invertible() {
        Matrix4f m;
        for (int16_t r = 0; r < 4; ++r)
            for (int16_t c = 0; c < 4; ++c) m.Set(r, c, Uniform(-1, 1) + (r == c ? 5.0f : 0.0f));
        return m;
    }
};

}  // namespace

TEST(Vector3fTest, NormalizeKeepsZeroAndScalesOthers) {
    Vector3f zero(0.0f);
    zero.Normalize();
    EXPECT_EQ(zero, Vector3f(0, 0, 0));
    Vector3f v(3, 0, 4);
    v.Normalize();
    ExpectNear(v, Vector3f(0.6f, 0, 0.8f), 1e-7f);
    EXPECT_EQ(Vector3f(0, 0, 0).Normalized(), Vector3f(0, 0, 0));
    ExpectNear(Vector3f(0, -2, 0).Normalized(), Vector3f(0, -1, 0), 0);
}

TEST(Vector3fTest, DotCrossAndArithmetic) {
    const Vector3f a(1, 2, 3), b(-4, 5, 0.5f);
    EXPECT_FLOAT_EQ(a.Dot(b), -4 + 10 + 1.5f);
    EXPECT_EQ(a.Cross(b), Vector3f(2 * 0.5f - 3 * 5, 3 * -4 - 1 * 0.5f, 1 * 5 - 2 * -4));
    EXPECT_EQ(Vector3f(1, 0, 0).Cross(Vector3f(0, 1, 0)), Vector3f(0, 0, 1));
    EXPECT_EQ(a + b, Vector3f(-3, 7, 3.5f));
    EXPECT_EQ(a - b, Vector3f(5, -3, 2.5f));
    EXPECT_EQ(a * 2.0f, Vector3f(2, 4, 6));
    EXPECT_EQ(2.0f * a, Vector3f(2, 4, 6));
    EXPECT_EQ(a / 2.0f, Vector3f(0.5f, 1, 1.5f));
    EXPECT_TRUE(a != Vector3f(1, 2, 3.0001f));
    EXPECT_FALSE(a != Vector3f(1, 2, 3));
    const float* p = a.Array();
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[2], 3);
}

TEST(QuaternionfTest, GetRotationTable) {
    const float c60 = float(std::cos(kPi / 3)), s60 = float(std::sin(kPi / 3));
    struct Case {
        Quaternionf q;
        float angle;
        Vector3f axis;
    } cases[] = {
        {Quaternionf(), 0.0f, Vector3f(1, 0, 0)},
        {Quaternionf(-1, 0, 0, 0), 0.0f, Vector3f(1, 0, 0)},
        {Quaternionf(c60, s60, 0, 0), 2.0943951f, Vector3f(1, 0, 0)},
        {Quaternionf(-c60, -s60, 0, 0), -2.0943951f, Vector3f(-1, 0, 0)},
        {Quaternionf(0, 0, 0, 1), float(kPi), Vector3f(0, 0, 1)},
        // A w that rounding pushed past 1 is clamped, not turned into NaN.
        {Quaternionf(1.0000001f, 0, 0, 0), 0.0f, Vector3f(1, 0, 0)},
    };
    for (const Case& c : cases) {
        Vector3f axis(7.0f);
        float angle = 7.0f;
        c.q.GetRotation(axis, angle);
        std::ostringstream what;
        what << c.q;
        EXPECT_NEAR(angle, c.angle, 1e-6f) << what.str();
        ExpectNear(axis, c.axis, 1e-6f, what.str());
    }
}

TEST(QuaternionfTest, ScaleRotationTable) {
    const Quaternionf x120 = AxisAngle(Vector3f(1, 0, 0), 2 * kPi / 3);
    struct Case {
        Quaternionf q;
        float k;
        Quaternionf expected;
    } cases[] = {
        {x120, 0.5f, AxisAngle(Vector3f(1, 0, 0), kPi / 3)},
        {x120, 0.0f, Quaternionf()},
        {x120, 1.0f, x120},
        {AxisAngle(Vector3f(0, 1, 1), 0.3), 3.0f, AxisAngle(Vector3f(0, 1, 1), 0.9)},
        {Quaternionf(), 0.5f, Quaternionf()},
        {Quaternionf(), 10.0f, Quaternionf()},
        // 1 - w*w is negative here; it counts as no rotation instead of giving NaN.
        {Quaternionf(1.0000001f, 0, 0, 0), 0.5f, Quaternionf(1.0000001f, 0, 0, 0)},
    };
    for (Case c : cases) {
        Quaternionf q = c.q;
        q.ScaleRotation(c.k);
        std::ostringstream what;
        what << c.q << " by " << c.k;
        SCOPED_TRACE(what.str());
        ExpectNear(q, c.expected, 1e-6f);
        for (int i = 0; i < 4; ++i) EXPECT_FALSE(std::isnan(q.GetComponent(i)));
    }
}

TEST(QuaternionfTest, NormalizeLeavesZeroQuaternionZero) {
    Quaternionf zero(0, 0, 0, 0);
    zero.Normalize();
    EXPECT_EQ(zero, Quaternionf(0, 0, 0, 0));
    Quaternionf q(1, 2, 2, 4);
    q.Normalize();
    ExpectNear(q, Quaternionf(0.2f, 0.4f, 0.4f, 0.8f), 1e-7f);
    EXPECT_NEAR(q.Norm(), 1.0f, 1e-7f);
}

TEST(QuaternionfTest, RotateQuarterTurnAboutZ) {
    const float h = float(std::sqrt(0.5));
    ExpectNear(Quaternionf(h, 0, 0, h).Rotate(Vector3f(1, 0, 0)), Vector3f(0, 1, 0), 1e-6f);
    ExpectNear(Quaternionf(h, 0, 0, h).Rotate(Vector3f(0, 0, 2)), Vector3f(0, 0, 2), 1e-6f);
    // Quarter turn about y: x goes to -z (counter-clockwise seen from +y).
    ExpectNear(Quaternionf(h, 0, h, 0).Rotate(Vector3f(1, 0, 0)), Vector3f(0, 0, -1), 1e-6f);
}

TEST(QuaternionfTest, ProductRotatesRightOperandFirst) {
    Random rnd;
    for (int i = 0; i < 200; ++i) {
        const Quaternionf q1 = rnd.Rotation(), q2 = rnd.Rotation();
        const Vector3f v = rnd.Vec();
        ExpectNear((q1 * q2).Rotate(v), q1.Rotate(q2.Rotate(v)), 2e-5f);
        Quaternionf q = q1;
        q *= q2;
        EXPECT_EQ(q, q1 * q2);
    }
}

TEST(QuaternionfTest, ProductComponents) {
    // i * j = k, j * i = -k, and the conjugate undoes a unit quaternion.
    EXPECT_EQ(Quaternionf(0, 1, 0, 0) * Quaternionf(0, 0, 1, 0), Quaternionf(0, 0, 0, 1));
    EXPECT_EQ(Quaternionf(0, 0, 1, 0) * Quaternionf(0, 1, 0, 0), Quaternionf(0, 0, 0, -1));
    EXPECT_EQ(Quaternionf(1, 2, 3, 4) * Quaternionf(5, 6, 7, 8), Quaternionf(-60, 12, 30, 24));
    const Quaternionf q = AxisAngle(Vector3f(1, 2, 3), 1.0);
    ExpectNear(q * q.Conjugate(), Quaternionf(), 1e-6f);
}

TEST(QuaternionfTest, MatrixFromAxisAngleRotatesLikeTheQuaternion) {
    Random rnd;
    for (int i = 0; i < 200; ++i) {
        const Quaternionf q = rnd.Rotation();
        Vector3f axis;
        float angle;
        q.GetRotation(axis, angle);
        Matrix4f m;
        m.SetRotation(axis.X(), axis.Y(), axis.Z(), angle);
        const Vector3f v = rnd.Vec();
        ExpectNear(m * v, q.Rotate(v), 2e-5f);
    }
}

TEST(QuaternionfTest, ComponentsAndParts) {
    Quaternionf q;
    EXPECT_EQ(q, Quaternionf(1, 0, 0, 0));
    q.SetComponent(2, 5.0f);
    EXPECT_EQ(q.GetComponent(0), 1.0f);
    EXPECT_EQ(q.GetComponent(2), 5.0f);
    EXPECT_EQ(q.VectorPart(), Vector3f(0, 5, 0));
    q.SetVectorPart(Vector3f(1, 2, 3));
    EXPECT_EQ(q, Quaternionf(0, 1, 2, 3));
    q.SetScalarPart(4);
    EXPECT_EQ(q, Quaternionf(4, 1, 2, 3));
    EXPECT_EQ(Quaternionf(Vector3f(1, 2, 3)), Quaternionf(0, 1, 2, 3));
    EXPECT_EQ(q.Conjugate(), Quaternionf(4, -1, -2, -3));
    EXPECT_FLOAT_EQ(Quaternionf(1, 1, 1, 1).Norm(), 2.0f);
    q.SetIdentity();
    EXPECT_EQ(q, Quaternionf());
}

TEST(Matrix4fTest, LayoutIsColumnMajor) {
    Matrix4f t;
    t.SetTranslation(1, 2, 3);
    EXPECT_EQ(t.Array()[12], 1);
    EXPECT_EQ(t.Array()[13], 2);
    EXPECT_EQ(t.Array()[14], 3);
    EXPECT_EQ(t.Get(0, 3), 1);
    Matrix4f m;
    m.Set(1, 2, 9);
    EXPECT_EQ(m.Array()[4 * 2 + 1], 9);
    ExpectNear(t * Vector3f(1, 1, 1), Vector3f(2, 3, 4), 0);
    Matrix4f s;
    s.SetScale(2, 3, 4);
    EXPECT_EQ(s * Vector3f(1, 1, 1), Vector3f(2, 3, 4));
    Matrix4f b;
    b.SetBasis(Vector3f(1, 2, 3), Vector3f(4, 5, 6), Vector3f(7, 8, 9));
    EXPECT_EQ(b.Get(1, 0), 2);
    EXPECT_EQ(b.Get(0, 2), 7);
    EXPECT_EQ(b.Get(3, 1), 0);
    EXPECT_EQ(b.Get(3, 3), 1);
}

TEST(Matrix4fTest, ProductAppliesRightOperandFirst) {
    Matrix4f t, r;
    t.SetTranslation(1, 0, 0);
    r.SetRotation(0, 0, 1, float(kPi / 2));
    ExpectNear((t * r) * Vector3f(1, 0, 0), Vector3f(1, 1, 0), 1e-6f);
    ExpectNear((r * t) * Vector3f(1, 0, 0), Vector3f(0, 2, 0), 1e-6f);
    Matrix4f m = t;
    m *= r;
    EXPECT_EQ(m, t * r);
    m = t;
    m *= m;  // the product goes through a temporary
    Matrix4f t2;
    t2.SetTranslation(2, 0, 0);
    EXPECT_EQ(m, t2);
}

TEST(Matrix4fTest, ElementwiseOperators) {
    Random rnd;
    const Matrix4f a = rnd.Invertible(), b = rnd.Invertible();
    const Matrix4f sum = a + b, diff = a - b, neg = -a, twice = a * 2.0f, twice2 = 2.0f * a,
                   half = a / 2.0f;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(sum.Array()[i], a.Array()[i] + b.Array()[i]);
        EXPECT_EQ(diff.Array()[i], a.Array()[i] - b.Array()[i]);
        EXPECT_EQ(neg.Array()[i], -a.Array()[i]);
        EXPECT_EQ(twice.Array()[i], a.Array()[i] * 2);
        EXPECT_EQ(twice2.Array()[i], a.Array()[i] * 2);
        EXPECT_EQ(half.Array()[i], a.Array()[i] / 2);
    }
}

TEST(Matrix4fTest, RowOperationsAndTranspose) {
    const Matrix4f m = FromRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    Matrix4f r = m;
    r.ScaleRow(1, 2);
    EXPECT_EQ(r, FromRows({1, 2, 3, 4, 10, 12, 14, 16, 9, 10, 11, 12, 13, 14, 15, 16}));
    r = m;
    r.SwapRows(0, 3);
    EXPECT_EQ(r, FromRows({13, 14, 15, 16, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3, 4}));
    r = m;
    r.AddScaledRow(0, -5, 1);
    EXPECT_EQ(r, FromRows({1, 2, 3, 4, 0, -4, -8, -12, 9, 10, 11, 12, 13, 14, 15, 16}));
    const Matrix4f t = FromRows({1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16});
    EXPECT_EQ(m.Transpose(), t);
    r = m;
    r.SetTranspose(r);
    EXPECT_EQ(r, t);
}

TEST(Matrix4fTest, DeterminantAndCofactors) {
    Matrix4f id, s;
    EXPECT_EQ(id.Determinant(), 1.0f);
    EXPECT_EQ(id.Cofactors(), id);
    s.SetScale(2, 3, 4);
    EXPECT_EQ(s.Determinant(), 24.0f);
    const Matrix4f m = FromRows({2, 0, 1, 3, 1, -1, 0, 2, 0, 4, 1, -2, 3, 1, 2, 1});
    // Minors worked out by hand: rows (-1 0 2, 4 1 -2, 1 2 1) and (1 0 2, 0 1 -2, 3 2 1).
    EXPECT_FLOAT_EQ(m.Cofactor(0, 0), 9);
    EXPECT_FLOAT_EQ(m.Cofactor(1, 0), 1);  // minor -1, odd position
    EXPECT_FLOAT_EQ(m.Determinant(), -6);
    // Expanding along another row gives the same: the signs of the cofactors are right.
    float row2 = 0;
    for (int16_t col = 0; col < 4; ++col) row2 += m.Get(2, col) * m.Cofactor(col, 2);
    EXPECT_FLOAT_EQ(row2, -6);
    Matrix4f c = m;
    c.SetCofactors(c);
    EXPECT_EQ(c, m.Cofactors());
    for (int16_t r = 0; r < 4; ++r)
        for (int16_t col = 0; col < 4; ++col) EXPECT_EQ(c.Get(r, col), m.Cofactor(col, r));
}

TEST(Matrix4fTest, CofactorsOverDeterminantGiveTheInverse) {
    const Matrix4f m = FromRows({2, 0, 1, 3, 1, -1, 0, 2, 0, 4, 1, -2, 3, 1, 2, 1});
    ASSERT_NE(m, m.Transpose());
    const float det = m.Determinant();
    ASSERT_NE(det, 0.0f);
    ExpectNear(m.Cofactors().Transpose() / det, m.Inverse(), 1e-5f);
    ExpectNear(m * m.Inverse(), Matrix4f(), 1e-5f);
}

TEST(Matrix4fTest, DeterminantOfProduct) {
    Random rnd;
    for (int i = 0; i < 50; ++i) {
        const Matrix4f a = rnd.Invertible(), b = rnd.Invertible();
        const float expected = a.Determinant() * b.Determinant();
        EXPECT_NEAR((a * b).Determinant(), expected, std::fabs(expected) * 1e-5f);
    }
}

TEST(Matrix4fTest, InverseTimesMatrixIsIdentity) {
    Random rnd;
    for (int i = 0; i < 100; ++i) {
        const Matrix4f m = rnd.Invertible();
        ExpectNear(m * m.Inverse(), Matrix4f(), 1e-5f);
        ExpectNear(m.Inverse() * m, Matrix4f(), 1e-5f);
    }
}

TEST(Matrix4fTest, InverseCases) {
    Matrix4f t, tinv;
    t.SetTranslation(1, 2, 3);
    tinv.SetTranslation(-1, -2, -3);
    Matrix4f d, dinv;
    d.SetScale(2, 4, 8);
    dinv.SetScale(0.5f, 0.25f, 0.125f);
    Matrix4f zero;
    zero.SetZero();
    // Element (0, 0) is zero: rows 0 and 1 must change places first; |a(1,0)| = |a(2,0)|.
    const Matrix4f tie = FromRows({0, 1, 0, 0, 2, 0, 0, 1, -2, 0, 1, 0, 0, 0, 0, 1});
    const Matrix4f tieInv = FromRows({0, 0.5f, 0, -0.5f, 1, 0, 0, 0, 0, 1, 1, -1, 0, 0, 0, 1});
    struct Case {
        const char* name;
        Matrix4f m;
        Matrix4f expected;
        float tol;
    } cases[] = {
        {"translation", t, tinv, 0},
        {"diagonal", d, dinv, 0},
        {"pivot tie", tie, tieInv, 0},
        {"zero column", FromRows({1, 0, 2, 3, 4, 0, 5, 6, 7, 0, 8, 9, 1, 0, 1, 1}), zero, 0},
        // Row 2 = row 0 + row 1: the pivot of column 2 comes out exactly zero.
        {"dependent rows", FromRows({1, 0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 1}), zero, 0},
        {"zero", zero, zero, 0},
    };
    for (const Case& c : cases) {
        ExpectNear(c.m.Inverse(), c.expected, c.tol, c.name);
        Matrix4f self = c.m;
        self.SetInverse(self);
        EXPECT_EQ(self, c.m.Inverse()) << c.name;
    }
}

TEST(Matrix4fTest, NearlySingularIsStillInverted) {
    const Matrix4f m = FromRows({1, 0, 0, 0, 0, 1, 0, 0, 1, 1, 1e-3f, 0, 0, 0, 0, 1});
    const Matrix4f inv = m.Inverse();
    EXPECT_NE(inv, Matrix4f().operator*(0.0f));
    ExpectNear(m * inv, Matrix4f(), 1e-3f);
}

TEST(TextFormTest, Output) {
    std::ostringstream q, m;
    q << Quaternionf();
    EXPECT_EQ(q.str(), "[ 1 0 0 0 ]");
    Matrix4f t;
    t.SetTranslation(1, 2, 3.5f);
    m << t;
    EXPECT_EQ(m.str(), "[ 1 0 0 1 0 1 0 2 0 0 1 3.5 0 0 0 1 ]");
}

TEST(TextFormTest, RoundTrip) {
    Matrix4f m = FromRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, -16.5f});
    std::stringstream s;
    s << m << " " << Quaternionf(0.5f, -1, 2, 3);
    Matrix4f back;
    Quaternionf q;
    s >> back >> q;
    EXPECT_TRUE(bool(s));
    EXPECT_EQ(back, m);
    EXPECT_EQ(q, Quaternionf(0.5f, -1, 2, 3));
    std::istringstream v("[ 1 -2 3.25 ] rest");
    Vector3f vec;
    v >> vec;
    EXPECT_EQ(vec, Vector3f(1, -2, 3.25f));
    std::string rest;
    v >> rest;
    EXPECT_EQ(rest, "rest");
}

TEST(TextFormTest, InputNotStartingWithBracket) {
    const Matrix4f before = FromRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    Matrix4f m = before;
    std::istringstream sm("x  y z");
    sm >> m;
    EXPECT_EQ(m, before);
    std::string rest;
    sm >> rest;
    EXPECT_EQ(rest, "z");  // the letter and the next non-blank character are gone

    Quaternionf q(1, 2, 3, 4);
    std::istringstream sq("x y z");
    sq >> q;
    EXPECT_EQ(q, Quaternionf(1, 2, 3, 4));
    sq >> rest;
    EXPECT_EQ(rest, "z");

    Vector3f v(1, 2, 3);
    std::istringstream sv("x y z");
    sv >> v;
    EXPECT_EQ(v, Vector3f(1, 2, 3));
    sv >> rest;
    EXPECT_EQ(rest, "y");  // only the letter is gone
}

TEST(TextFormTest, FailedReadKeepsTheOldValue) {
    Matrix4f m;
    std::istringstream sm("[ 1 2 oops ]");
    sm >> m;
    EXPECT_TRUE(sm.fail());
    EXPECT_EQ(m, Matrix4f());
    Quaternionf q(0, 1, 0, 0);
    std::istringstream sq("[ 1 2");
    sq >> q;
    EXPECT_TRUE(sq.fail());
    EXPECT_EQ(q, Quaternionf(0, 1, 0, 0));
    Vector3f v(4, 5, 6);
    std::istringstream sv("[ 1 x 3 ]");
    sv >> v;
    EXPECT_TRUE(sv.fail());
    EXPECT_EQ(v, Vector3f(4, 5, 6));
}

// An index out of range is the caller's fault: the check ends the process
// in every build, rather than reading or writing beside the values.
TEST(IndexCheckDeathTest, IndicesOutOfRangeEndTheProgram) {
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* expression;
        const char* file;
    };
    const char* const matrixIndex = "InRange(row) && InRange(col)";
    const char* const quaternionIndex = "i >= 0 && i < 4";
    const std::vector<Case> cases = {
        {"Get row 4", [] { Matrix4f().Get(4, 0); }, matrixIndex, "Matrix4f"},
        {"Get column -1", [] { Matrix4f().Get(0, -1); }, matrixIndex, "Matrix4f"},
        {"Set column 4", [] { Matrix4f().Set(0, 4, 1.0f); }, matrixIndex, "Matrix4f"},
        {"ScaleRow 4", [] { Matrix4f().ScaleRow(4, 2.0f); }, "InRange(row)", "Matrix4f"},
        {"SwapRows -1", [] { Matrix4f().SwapRows(0, -1); }, "InRange(row1) && InRange(row2)",
         "Matrix4f"},
        {"AddScaledRow 4", [] { Matrix4f().AddScaledRow(4, 1.0f, 0); },
         "InRange(src) && InRange(dst)", "Matrix4f"},
        {"Cofactor column 4", [] { Matrix4f().Cofactor(4, 0); }, matrixIndex, "Matrix4f"},
        {"GetComponent 4", [] { Quaternionf().GetComponent(4); }, quaternionIndex, "Quaternionf"},
        {"SetComponent -1", [] { Quaternionf().SetComponent(-1, 1.0f); }, quaternionIndex,
         "Quaternionf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(c.call(), testing::ExitedWithCode(3),
                    glowtest::FailedCheck(c.expression, c.file));
    }
}
