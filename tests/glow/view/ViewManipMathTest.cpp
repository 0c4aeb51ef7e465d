#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "glow/view/Glow_ViewManipMath.h"
#include "glow/view/Glow_ViewManipSpinHistory.h"

using glow::Glow_ViewManipMath;
using glow::Glow_ViewManipSpinHistory;
using glow::Quaternionf;
using glow::Vector3f;

namespace {

void ExpectNear(const Vector3f& a, const Vector3f& b, float tol) {
    EXPECT_NEAR(a.X(), b.X(), tol);
    EXPECT_NEAR(a.Y(), b.Y(), tol);
    EXPECT_NEAR(a.Z(), b.Z(), tol);
}

float AngleBetween(const Vector3f& a, const Vector3f& b) {
    return float(std::atan2(double(a.Cross(b).Length()), double(a.Dot(b))));
}

// The manipulator halves its rotation rate: at 0.5 a drag turns by the angle between the
// ball points.
const float kRate = 0.5f;

}  // namespace

TEST(ViewManipMathTest, BallPointTable) {
    struct Case {
        float x, y;
        Vector3f expected;
    } cases[] = {
        {0, 0, Vector3f(0, 0, 1)},
        {0.6f, 0, Vector3f(0.6f, 0, 0.8f)},
        {0, -0.6f, Vector3f(0, -0.6f, 0.8f)},
        {1, 0, Vector3f(1, 0, 0)},
        {2, 0, Vector3f(2, 0, 0)},
        {-1, -1, Vector3f(-1, -1, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
        ExpectNear(Glow_ViewManipMath::BallPoint(c.x, c.y), c.expected, 1e-7f);
    }
}

TEST(ViewManipMathTest, DragToTheRightTurnsAboutY) {
    Vector3f startBall, currentBall;
    Quaternionf q;
    ASSERT_TRUE(
        Glow_ViewManipMath::DragRotation(0, 0, 0.6f, 0, nullptr, kRate, startBall, currentBall, q));
    ExpectNear(startBall, Vector3f(0, 0, 1), 0);
    ExpectNear(currentBall, Vector3f(0.6f, 0, 0.8f), 1e-7f);
    Vector3f axis;
    float angle;
    q.GetRotation(axis, angle);
    EXPECT_NEAR(angle * 57.29577951308232, 36.8698976, 1e-4);
    ExpectNear(axis, Vector3f(0, 1, 0), 1e-6f);
    // The point facing the viewer follows the mouse.
    ExpectNear(q.Rotate(Vector3f(0, 0, 1)), Vector3f(0.6f, 0, 0.8f), 1e-6f);
}

TEST(ViewManipMathTest, RateScalesTheAngle) {
    Vector3f s, c;
    Quaternionf q;
    ASSERT_TRUE(Glow_ViewManipMath::DragRotation(0, 0, 0, 0.6f, nullptr, 1.0f, s, c, q));
    Vector3f axis;
    float angle;
    q.GetRotation(axis, angle);
    EXPECT_NEAR(angle, 2 * AngleBetween(s, c), 1e-6f);
    ExpectNear(axis, Vector3f(-1, 0, 0), 1e-6f);  // upwards turns the front towards +y
}

TEST(ViewManipMathTest, BackAtTheStartPointIsExactlyNoRotation) {
    Vector3f s(9.0f), c(9.0f);
    Quaternionf q(0, 1, 0, 0);
    ASSERT_TRUE(
        Glow_ViewManipMath::DragRotation(0.3f, -0.2f, 0.3f, -0.2f, nullptr, kRate, s, c, q));
    EXPECT_EQ(q, Quaternionf());
    EXPECT_EQ(s, c);
    const Vector3f t(1.5f, -2.25f, 0.1f);
    EXPECT_EQ(q.Rotate(t), t);
    const Quaternionf start(0.6f, 0.0f, 0.8f, 0.0f);
    EXPECT_EQ(q * start, start);
}

TEST(ViewManipMathTest, OneAxisConstraintTurnsAboutThatAxisOnly) {
    const std::vector<Vector3f> axes = {Vector3f(0, 1, 0)};
    const float drags[][4] = {
        {0.1f, 0.2f, 0.5f, -0.3f}, {0, 0, -0.7f, 0.6f}, {-0.5f, 0.5f, 0.9f, -0.9f}};
    for (const auto& d : drags) {
        Vector3f s, c;
        Quaternionf q;
        ASSERT_TRUE(
            Glow_ViewManipMath::DragRotation(d[0], d[1], d[2], d[3], &axes, kRate, s, c, q));
        EXPECT_EQ(q.GetComponent(1), 0.0f);
        EXPECT_EQ(q.GetComponent(3), 0.0f);
        EXPECT_NE(q.GetComponent(2), 0.0f);
        EXPECT_NEAR(q.Norm(), 1.0f, 1e-6f);
    }
}

TEST(ViewManipMathTest, ConstraintChoosesTheMostPerpendicularAxis) {
    const std::vector<Vector3f> axes = {Vector3f(1, 0, 0), Vector3f(0, 1, 0)};
    struct Case {
        float x, y;
        int axisComponent;  // of the quaternion's vector part that is not zero
    } cases[] = {
        {0.5f, 0.1f, 2},   // nearly perpendicular to y
        {0.1f, 0.5f, 1},   // nearly perpendicular to x
        {0.3f, 0.3f, 1},   // a tie: the first axis wins
        {-0.3f, 0.3f, 1},  // the absolute value counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
        Vector3f s, cur;
        Quaternionf q;
        ASSERT_TRUE(
            Glow_ViewManipMath::DragRotation(0.2f, -0.1f, c.x, c.y, &axes, kRate, s, cur, q));
        for (int i = 1; i < 4; ++i) {
            if (i == c.axisComponent)
                EXPECT_NE(q.GetComponent(i), 0.0f);
            else
                EXPECT_EQ(q.GetComponent(i), 0.0f);
        }
    }
}

TEST(ViewManipMathTest, ConstrainedPointAlongTheAxisChangesNothing) {
    // The ball point at the centre lies along z: its projection onto the xy plane vanishes.
    const std::vector<Vector3f> axes = {Vector3f(0, 0, 1)};
    Vector3f s(7.0f), c(8.0f);
    Quaternionf q(0.5f, 0.5f, 0.5f, 0.5f);
    EXPECT_FALSE(Glow_ViewManipMath::DragRotation(0.4f, 0.1f, 0, 0, &axes, kRate, s, c, q));
    EXPECT_EQ(s, Vector3f(7.0f));
    EXPECT_EQ(c, Vector3f(8.0f));
    EXPECT_EQ(q, Quaternionf(0.5f, 0.5f, 0.5f, 0.5f));
    // Away from the centre the same constraint turns about z.
    ASSERT_TRUE(Glow_ViewManipMath::DragRotation(0.4f, 0.1f, 0.1f, 0.4f, &axes, kRate, s, c, q));
    EXPECT_EQ(q.GetComponent(1), 0.0f);
    EXPECT_EQ(q.GetComponent(2), 0.0f);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(std::isnan(q.GetComponent(i)));
}

TEST(ViewManipMathTest, ConstrainedDragAcrossTheBallIsHalfATurn) {
    // Outside the ball every point on the left projects to (-1, 0, 0) and every point on the
    // right to (1, 0, 0): from one side to the other is half a turn about y.
    const std::vector<Vector3f> axes = {Vector3f(0, 1, 0)};
    Vector3f s, c;
    Quaternionf q;
    ASSERT_TRUE(
        Glow_ViewManipMath::DragRotation(-0.95f, 0.9f, 0.95f, -0.9f, &axes, kRate, s, c, q));
    EXPECT_EQ(s, Vector3f(-1, 0, 0));
    EXPECT_EQ(c, Vector3f(1, 0, 0));
    ExpectNear(q.Rotate(s), c, 1e-6f);
    Vector3f axis;
    float angle;
    q.GetRotation(axis, angle);
    EXPECT_NEAR(std::fabs(angle), 3.14159265f, 1e-6f);
    ExpectNear(axis, Vector3f(0, 1, 0), 1e-6f);
    // Just before the opposite point the turn is nearly half a turn too: no jump back to zero.
    ASSERT_TRUE(Glow_ViewManipMath::DragRotation(-0.95f, 0.9f, 0.9f, 0.1f, &axes, kRate, s, c, q));
    q.GetRotation(axis, angle);
    EXPECT_GT(std::fabs(angle), 2.5f);
}

TEST(ViewManipMathTest, ArcRotationOfAZeroPointIsUndefined) {
    Quaternionf q;
    EXPECT_FALSE(Glow_ViewManipMath::ArcRotation(Vector3f(0, 0, 0), Vector3f(0, 0, 1), kRate, q));
    EXPECT_FALSE(Glow_ViewManipMath::ArcRotation(Vector3f(1, 0, 0), Vector3f(0, 0, 0), kRate, q));
    EXPECT_EQ(q, Quaternionf());
}

TEST(ViewManipMathTest, NormalizePoint) {
    struct Case {
        int x, y, width, height;
        float nx, ny;
    } cases[] = {
        {200, 150, 400, 300, 0, 0},         {0, 0, 400, 300, -1, 1},
        {400, 300, 400, 300, 1, -1},        {100, 225, 400, 300, -0.5f, -0.5f},
        {-40, 330, 400, 300, -1.2f, -1.2f},  // outside the window while the button is held
    };
    for (const Case& c : cases) {
        float nx = 9, ny = 9;
        ASSERT_TRUE(Glow_ViewManipMath::NormalizePoint(c.x, c.y, c.width, c.height, nx, ny));
        EXPECT_FLOAT_EQ(nx, c.nx) << c.x << ", " << c.y;
        EXPECT_FLOAT_EQ(ny, c.ny) << c.x << ", " << c.y;
    }
    // A window without width or height maps nothing, instead of dividing by zero.
    const int empty[][2] = {{0, 300}, {400, 0}, {0, 0}, {-1, 300}};
    for (const auto& e : empty) {
        float nx = 9, ny = 9;
        EXPECT_FALSE(Glow_ViewManipMath::NormalizePoint(10, 10, e[0], e[1], nx, ny));
        EXPECT_EQ(nx, 9);
        EXPECT_EQ(ny, 9);
    }
}

TEST(ViewManipMathTest, ScaleFactor) {
    EXPECT_FLOAT_EQ(Glow_ViewManipMath::ScaleFactor(-0.5f, 0.5f, 0.5f), std::sqrt(2.0f));
    EXPECT_EQ(Glow_ViewManipMath::ScaleFactor(-0.5f, -0.5f, 0.5f), 1.0f);
    EXPECT_FLOAT_EQ(Glow_ViewManipMath::ScaleFactor(1.0f, -1.0f, 0.5f), 0.5f);
    // A drag over the whole height at rate 1 (halved by the manipulator) doubles the scale.
    EXPECT_FLOAT_EQ(Glow_ViewManipMath::ScaleFactor(-1.0f, 1.0f, 0.5f), 2.0f);
}

class SpinHistoryTest : public testing::Test {
protected:
    int now = 1000;
    Glow_ViewManipSpinHistory history{100, [this] { return now; }};

    // One paint per `step` milliseconds while the mouse moves along x from x0 by dx a paint.
    void Move(float x0, float dx, int paints, int step) {
        for (int i = 0; i < paints; ++i) {
            history.Record(Glow_ViewManipMath::BallPoint(x0 + dx * i, 0.1f));
            now += step;
        }
    }
    void Rest(const Vector3f& p, int ms, int step) {
        for (int t = 0; t < ms; t += step) {
            history.Record(p);
            now += step;
        }
    }
};

TEST_F(SpinHistoryTest, FlickSpinsAtTheAverageStep) {
    Move(-0.5f, 0.02f, 30, 10);
    const Vector3f current = history.Entries().back().point;
    // Entries of the last 100 ms (plus the one just at the edge) remain.
    const std::deque<Glow_ViewManipSpinHistory::Entry> kept = history.Entries();
    Quaternionf spin;
    ASSERT_TRUE(history.TakeSpin(current, kRate, spin));
    EXPECT_TRUE(history.Empty());
    EXPECT_NEAR(spin.Norm(), 1.0f, 1e-6f);

    // Recompute what remains after the release's trim: nothing older than now - 100.
    size_t first = 0;
    while (kept.size() - first > 2 && kept[first].time < now - 100) ++first;
    const Vector3f p0 = kept[first].point, p1 = kept.back().point;
    const int steps = int(kept.size() - first) - 1;
    ASSERT_GE(steps, 2);
    Vector3f axis;
    float angle;
    spin.GetRotation(axis, angle);
    EXPECT_NEAR(angle, AngleBetween(p0, p1) / steps, 1e-5f);
    EXPECT_GT(axis.Y(), 0.9f);  // moving right turns about +y
}

TEST_F(SpinHistoryTest, RestLongerThanTheWindowGivesNoSpin) {
    Move(-0.5f, 0.02f, 20, 10);
    const Vector3f p = Glow_ViewManipMath::BallPoint(0.2f, 0.1f);
    Rest(p, 150, 10);
    Quaternionf spin(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_FALSE(history.TakeSpin(p, kRate, spin));
    EXPECT_EQ(spin, Quaternionf(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_TRUE(history.Empty());
}

TEST_F(SpinHistoryTest, RestThenASmallMoveAtTheReleaseGivesNoSpin) {
    Move(-0.5f, 0.02f, 20, 10);
    const Vector3f p = Glow_ViewManipMath::BallPoint(0.2f, 0.1f);
    Rest(p, 150, 10);
    Quaternionf spin;
    EXPECT_FALSE(history.TakeSpin(Glow_ViewManipMath::BallPoint(0.21f, 0.1f), kRate, spin));
    EXPECT_EQ(spin, Quaternionf());
}

TEST_F(SpinHistoryTest, ZeroRateGivesNoSpin) {
    Move(-0.5f, 0.02f, 20, 10);
    Quaternionf spin;
    EXPECT_FALSE(history.TakeSpin(Glow_ViewManipMath::BallPoint(0.0f, 0.1f), 0.0f, spin));
}

TEST_F(SpinHistoryTest, ShortRestStillSpins) {
    Move(-0.5f, 0.02f, 20, 10);
    const Vector3f p = Glow_ViewManipMath::BallPoint(0.0f, 0.1f);
    Rest(p, 50, 10);
    Quaternionf spin;
    EXPECT_TRUE(history.TakeSpin(p, kRate, spin));
}

TEST_F(SpinHistoryTest, ReleaseLongAfterTheLastPaintUsesTheLastPoints) {
    // Only three entries are left however old they are, and the release keeps two of them.
    Move(-0.5f, 0.1f, 5, 10);
    now += 5000;
    history.Record(Glow_ViewManipMath::BallPoint(0.1f, 0.1f));
    EXPECT_EQ(history.Size(), 3u);
    now += 5000;
    Quaternionf spin;
    EXPECT_TRUE(history.TakeSpin(Glow_ViewManipMath::BallPoint(0.1f, 0.1f), kRate, spin));
}

TEST_F(SpinHistoryTest, OneEntryTurnsTowardsTheCurrentPoint) {
    const Vector3f p0 = Glow_ViewManipMath::BallPoint(0, 0);
    const Vector3f current = Glow_ViewManipMath::BallPoint(0.6f, 0);
    history.Record(p0);
    Quaternionf spin;
    ASSERT_TRUE(history.TakeSpin(current, kRate, spin));
    ExpectNear(spin.Rotate(p0), current, 1e-6f);
}

TEST_F(SpinHistoryTest, EmptyHistoryGivesNoSpin) {
    Quaternionf spin;
    EXPECT_FALSE(history.TakeSpin(Vector3f(0, 0, 1), kRate, spin));
    EXPECT_EQ(spin, Quaternionf());
}

TEST_F(SpinHistoryTest, RecordKeepsTheWindowAndAtLeastThree) {
    Move(-0.5f, 0.01f, 50, 10);
    // The oldest entry kept is the first one not older than now - window at the last record.
    const int last = history.Entries().back().time;
    EXPECT_GE(history.Entries().front().time, last - 100);
    EXPECT_EQ(history.Size(), 11u);
    now += 1000;
    history.Record(Vector3f(0, 0, 1));
    EXPECT_EQ(history.Size(), 3u);
}
