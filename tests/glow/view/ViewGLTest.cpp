// View transforms and the manipulator in a real GLUT window (run under Xvfb).
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "glow/core/Glow.h"
#include "glow/core/GlowWindow.h"
#include "glow/view/GlowTransformData.h"
#include "glow/view/GlowViewManipulator.h"
#include "glow/view/GlowViewTransform.h"
#include "tests/glow/support/GlowTestSupport.h"

using namespace glow;

namespace {

const double kPi = 3.14159265358979323846;

Quaternionf AxisAngle(Vector3f axis, double angle) {
    axis.Normalize();
    const float s = float(std::sin(angle / 2));
    return Quaternionf(float(std::cos(angle / 2)), s * axis.X(), s * axis.Y(), s * axis.Z());
}

void ExpectNear(const Vector3f& a, const Vector3f& b, float tol) {
    EXPECT_NEAR(a.X(), b.X(), tol);
    EXPECT_NEAR(a.Y(), b.Y(), tol);
    EXPECT_NEAR(a.Z(), b.Z(), tol);
}

// Rotation angle of q (radians, 0 to pi).
float AngleOf(const Quaternionf& q) {
    Vector3f axis;
    float angle;
    q.GetRotation(axis, angle);
    return std::fabs(angle);
}

// A top-level window that counts its paints.
class CountingWindow : public GlowWindow {
public:
    // Windows side by side, so that none hides another (GLUT paints no hidden window).
    explicit CountingWindow(const char* title, int x = 10) : GlowWindow(Params(title, x)) {}
    int paints = 0;

protected:
    bool OnBeginPaint() override {
        ++paints;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        return GlowWindow::OnBeginPaint();
    }

private:
    static GlowWindowParams Params(const char* title, int x) {
        GlowWindowParams p;
        p.title = title;
        p.width = 200;
        p.height = 200;
        p.x = x;
        p.y = 10;
        p.displayMode = GlowDisplayMode::rgbBuffer | GlowDisplayMode::doubleBuffer |
                        GlowDisplayMode::depthBuffer;
        return p;
    }
};

// Transform data that reports its own deletion.
class TrackedData : public GlowTransformData {
public:
    TrackedData(bool persistent, bool* deleted)
        : GlowTransformData(Vector3f(1, 2, 3), AxisAngle(Vector3f(0, 0, 1), 0.5), 2.0f, persistent),
          deleted_(deleted) {}
    ~TrackedData() override { *deleted_ = true; }

private:
    bool* deleted_;
};

// A child whose painting leaves another matrix mode current.
class ProjectionModeChild : public GlowComponent {
public:
    explicit ProjectionModeChild(GlowComponent* parent) : GlowComponent(parent) {}

protected:
    void OnEndPaint() override { glMatrixMode(GL_PROJECTION); }
};

// Lets the pending GLUT events (exposure, posted redisplays) through the toolkit.
void Pump() {
    glowtest::Pump(40);
}

void PumpUntilPainted(CountingWindow& w) {
    ASSERT_TRUE(glowtest::WaitUntilMapped(&w));
    ASSERT_TRUE(glowtest::PumpUntil([&w] { return w.paints > 0; }));
}

void Paint(GlowSubwindow& w) {
    glutSetWindow(w.WindowId());
    w.PaintTree();
}

GlowViewTransform* NewView(GlowComponent* parent, GlowTransformData* data) {
    GlowViewTransformParams p;
    p.data = data;
    GlowViewTransform* v = new GlowViewTransform;
    v->Init(parent, p);
    return v;
}

}  // namespace

// ---------------------------------------------------------------------------
// Transform data and view transforms

class ViewTransformTest : public testing::Test {
protected:
    void SetUp() override {
        window = new CountingWindow("view transform");
        PumpUntilPainted(*window);
        glutSetWindow(window->WindowId());
    }
    void TearDown() override {
        delete window;
        Pump();
    }
    CountingWindow* window = nullptr;
};

TEST_F(ViewTransformTest, ApplyToGLLeavesTheTransformsMatrix) {
    struct Case {
        Vector3f t;
        Quaternionf q;
        float s;
    } cases[] = {
        {Vector3f(0, 0, 0), Quaternionf(), 1.0f},
        {Vector3f(1, 0, 0), AxisAngle(Vector3f(0, 1, 0), kPi / 2), 2.0f},
        {Vector3f(-0.5f, 2, 3), AxisAngle(Vector3f(1, 2, -3), 2.5), 0.25f},
        {Vector3f(0, 0, -4), AxisAngle(Vector3f(-1, 0.5f, 1), -1.0), 3.0f},
        // w < 0: the angle comes out negative, about the same axis.
        {Vector3f(1, 1, 1), Quaternionf(-0.5f, 0.5f, -0.5f, 0.5f), 1.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.q);
        GlowTransformData data(c.t, c.q, c.s, true);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        data.ApplyToGL();
        float gl[16], mine[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, gl);
        data.GetMatrix(mine);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(gl[i], mine[i], 1e-5f) << "element " << i;

        // Independently of the matrix code: p goes to t + q(s p).
        Matrix4f m;
        data.GetMatrix(m);
        const Vector3f p(0.3f, -1.2f, 0.7f);
        ExpectNear(m * p, c.t + c.q.Rotate(p * c.s), 1e-5f);

        // The inverse undoes it.
        data.ApplyInverseToGL();
        glGetFloatv(GL_MODELVIEW_MATRIX, gl);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(gl[i], i % 5 == 0 ? 1.0f : 0.0f, 1e-5f);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ViewTransformTest, QuarterTurnAboutYWithTranslationAndScale) {
    GlowTransformData data(Vector3f(1, 0, 0), AxisAngle(Vector3f(0, 1, 0), kPi / 2), 2.0f, true);
    Matrix4f m;
    data.GetMatrix(m);
    ExpectNear(m * Vector3f(1, 0, 0), Vector3f(1, 0, -2), 1e-6f);
}

TEST_F(ViewTransformTest, PaintPushesAppliesAndPops) {
    bool deleted = false;
    TrackedData* data = new TrackedData(false, &deleted);
    GlowViewTransform* view = NewView(window, data);
    new ProjectionModeChild(view);
    Paint(*window);
    GLint modelDepth = 0, projDepth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projDepth);
    EXPECT_EQ(modelDepth, 1);
    EXPECT_EQ(projDepth, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    delete view;
    EXPECT_TRUE(deleted);
}

namespace {
// Draws one large white point at (0.5, 0, 0) of the scene.
class MarkerChild : public GlowComponent {
public:
    explicit MarkerChild(GlowComponent* parent) : GlowComponent(parent) {}

protected:
    void OnEndPaint() override {
        glPointSize(9.0f);
        glColor3f(1, 1, 1);
        glBegin(GL_POINTS);
        glVertex3f(0.5f, 0, 0);
        glEnd();
    }
};

bool LitNear(int x, int y) {
    const glowtest::Pixels p = glowtest::ReadBackBuffer(x - 2, y - 2, 5, 5);
    for (int i = 0; i < 25; ++i)
        if (p.rgba[4 * i] > 200) return true;
    return false;
}
}  // namespace

TEST_F(ViewTransformTest, ChildrenPaintUnderTheTransform) {
    GlowViewTransformParams p;
    p.rotation = AxisAngle(Vector3f(0, 0, 1), kPi / 2);  // a quarter turn, counter-clockwise
    p.translation = Vector3f(0, -0.25f, 0);
    GlowViewTransform* view = new GlowViewTransform;
    view->Init(window, p);
    new MarkerChild(view);
    glViewport(0, 0, 200, 200);
    Paint(*window);
    // (0.5, 0, 0) turned to (0, 0.5, 0), then moved down to (0, 0.25, 0): pixel (100, 125).
    EXPECT_TRUE(LitNear(100, 125));
    EXPECT_FALSE(LitNear(150, 100));
    view->GetTransformData()->SetTransform(Vector3f(), Quaternionf(), 1.0f);
    Paint(*window);
    EXPECT_TRUE(LitNear(150, 100));
    EXPECT_FALSE(LitNear(100, 125));
    delete view;
}

TEST_F(ViewTransformTest, SharedDataRefreshesEveryViewAndDiesWithTheLast) {
    CountingWindow second("second view", 300);
    PumpUntilPainted(second);
    bool deleted = false;
    TrackedData* data = new TrackedData(false, &deleted);
    GlowViewTransform* a = NewView(window, data);
    GlowViewTransform* b = NewView(&second, data);
    ASSERT_EQ(data->Clients().size(), 2u);
    Pump();
    const int paintsA = window->paints, paintsB = second.paints;
    data->SetTransform(Vector3f(0, 0, 1), Quaternionf(), 1.0f);
    Pump();
    EXPECT_GT(window->paints, paintsA);
    EXPECT_GT(second.paints, paintsB);

    delete a;
    EXPECT_FALSE(deleted);
    EXPECT_EQ(data->Clients().size(), 1u);
    delete b;
    EXPECT_TRUE(deleted);
}

TEST_F(ViewTransformTest, ShareAndUnshare) {
    bool deletedA = false, deletedB = false;
    TrackedData* dataA = new TrackedData(false, &deletedA);
    TrackedData* dataB = new TrackedData(false, &deletedB);
    dataB->SetTransform(Vector3f(5, 5, 5), Quaternionf(), 4.0f);
    GlowViewTransform* a = NewView(window, dataA);
    GlowViewTransform* b = NewView(window, dataB);

    a->ShareTransformData(b);  // a was dataA's only client
    EXPECT_TRUE(deletedA);
    EXPECT_EQ(a->GetTransformData(), dataB);
    EXPECT_EQ(dataB->Clients().size(), 2u);
    a->ShareTransformData(dataB);  // already there: nothing
    EXPECT_EQ(dataB->Clients().size(), 2u);
    a->ShareTransformData(static_cast<GlowTransformData*>(nullptr));
    EXPECT_EQ(a->GetTransformData(), dataB);

    a->UnshareTransformData();
    EXPECT_FALSE(deletedB);
    GlowTransformData* own = a->GetTransformData();
    EXPECT_NE(own, dataB);
    EXPECT_EQ(own->GetTranslation(), Vector3f(5, 5, 5));
    EXPECT_EQ(own->GetScale(), 4.0f);
    EXPECT_FALSE(own->IsPersistent());
    dataB->SetTransform(Vector3f(0, 0, 0), Quaternionf(), 1.0f);
    EXPECT_EQ(own->GetTranslation(), Vector3f(5, 5, 5));  // no longer follows

    b->UnshareTransformData();  // the only client: the old object goes, the picture stays
    EXPECT_TRUE(deletedB);
    EXPECT_EQ(b->GetTransformData()->GetTranslation(), Vector3f(0, 0, 0));
    delete a;
    delete b;
}

TEST_F(ViewTransformTest, DeletingPersistentDataLeavesEachViewACopy) {
    bool deleted = false;
    TrackedData* data = new TrackedData(true, &deleted);
    GlowViewTransform* a = NewView(window, data);
    GlowViewTransform* b = NewView(window, data);
    delete a;
    EXPECT_FALSE(deleted);  // persistent: stays without clients too
    a = NewView(window, data);
    delete data;
    EXPECT_TRUE(deleted);
    for (GlowViewTransform* v : {a, b}) {
        GlowTransformData* copy = v->GetTransformData();
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Clients().size(), 1u);
        EXPECT_EQ(copy->GetTranslation(), Vector3f(1, 2, 3));
        EXPECT_EQ(copy->GetScale(), 2.0f);
        EXPECT_FALSE(copy->IsPersistent());
    }
    EXPECT_NE(a->GetTransformData(), b->GetTransformData());
    Pump();
    const int paints = window->paints;
    a->GetTransformData()->SetTransform(Vector3f(), Quaternionf(), 1.0f);
    Pump();
    EXPECT_GT(window->paints, paints);
    delete a;
    delete b;
}

TEST_F(ViewTransformTest, NonFiniteTransformIsRefused) {
    GlowTransformData data(Vector3f(1, 2, 3), Quaternionf(), 2.0f, true);
    const float nan = std::nanf("");
    data.SetTransform(Vector3f(nan, 0, 0), Quaternionf(), 1.0f);
    data.SetTransform(Vector3f(), Quaternionf(nan, 0, 0, 0), 1.0f);
    data.SetTransform(Vector3f(), Quaternionf(), INFINITY);
    data.AddRotation(Quaternionf(0, nan, 0, 0));
    EXPECT_EQ(data.GetTranslation(), Vector3f(1, 2, 3));
    EXPECT_EQ(data.GetRotation(), Quaternionf());
    EXPECT_EQ(data.GetScale(), 2.0f);
}

TEST_F(ViewTransformTest, SpinTurnsEveryIdleTickUntilStopped) {
    const int idleBefore = Glow::NumIdleReceivers();
    GlowTransformData data(Vector3f(1, 0, 0), Quaternionf(), 1.0f, true);
    const Quaternionf step = AxisAngle(Vector3f(0, 0, 1), kPi / 18);  // 10 degrees
    data.StartSpin(step);
    data.StartSpin(step);
    EXPECT_TRUE(data.IsSpinning());
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore + 1);
    for (int i = 0; i < 9; ++i) Glow::OnGlutIdle();
    ExpectNear(data.GetTranslation(), Vector3f(0, 1, 0), 1e-5f);
    EXPECT_NEAR(AngleOf(data.GetRotation()), kPi / 2, 1e-5f);
    EXPECT_NEAR(data.GetRotation().Norm(), 1.0f, 1e-6f);
    data.StopSpin();
    data.StopSpin();
    EXPECT_FALSE(data.IsSpinning());
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore);
    const Vector3f t = data.GetTranslation();
    Glow::OnGlutIdle();
    EXPECT_EQ(data.GetTranslation(), t);
}

TEST_F(ViewTransformTest, LongSpinKeepsTheOffset) {
    GlowTransformData data(Vector3f(1, 0.5f, 0.2f), Quaternionf(), 1.0f, true);
    Quaternionf step = AxisAngle(Vector3f(0.3f, 1, 0.1f), 0.0123);
    const float length = data.GetTranslation().Length();
    data.StartSpin(step);
    for (int i = 0; i < 200000; ++i) data.SpinStep();
    data.StopSpin();
    EXPECT_NEAR(data.GetTranslation().Length(), length, length * 1e-4f);
    EXPECT_NEAR(data.GetRotation().Norm(), 1.0f, 1e-6f);
}

TEST_F(ViewTransformTest, DeletingSpinningDataUnregistersIt) {
    const int idleBefore = Glow::NumIdleReceivers();
    GlowTransformData* data = new GlowTransformData(Vector3f(), Quaternionf(), 1.0f, true);
    data->StartSpin(AxisAngle(Vector3f(0, 1, 0), 0.1));
    delete data;
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore);
    Glow::OnGlutIdle();  // nothing left to reach the deleted object
}

// ---------------------------------------------------------------------------
// View manipulator

class ManipulatorTest : public testing::Test {
protected:
    void SetUp() override {
        window = new CountingWindow("view manipulator");
        PumpUntilPainted(*window);
        glutSetWindow(window->WindowId());
        idleBefore = Glow::NumIdleReceivers();
    }
    void TearDown() override {
        delete window;
        Pump();
        EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore);
    }

    GlowViewManipulator* Make(GlowViewManipulatorParams p) {
        manip = new GlowViewManipulator(window, p);
        manip->SetSpinClock([this] { return now; });
        data = manip->GetTransformData();
        return manip;
    }
    static GlowViewManipulatorParams Spinnable() {
        GlowViewManipulatorParams p;
        p.spinnable = true;
        p.translation = Vector3f(0.5f, -0.25f, 1.0f);
        p.rotation = AxisAngle(Vector3f(1, 1, 0), 0.7);
        p.scale = 1.5f;
        return p;
    }
    // One drag step followed by its paint, 10 ms later.
    void Step(float x, float y) {
        manip->InDrag(x, y);
        Paint(*window);
        now += 10;
    }
    // A flick to the right: a rotation drag painted every 10 ms from (-0.4, 0.1) to
    // (0.2, 0.1), released a step further on, before the paint that starts the spin.
    void Flick() {
        manip->BeginRotationDrag(-0.4f, 0.1f);
        for (int i = 1; i <= 20; ++i) Step(-0.4f + 0.03f * i, 0.1f);
        manip->EndDrag(0.23f, 0.1f);
    }
    void ExpectStart(const Vector3f& t, const Quaternionf& q, float s) {
        EXPECT_EQ(data->GetTranslation(), t);
        EXPECT_EQ(data->GetRotation(), q);
        EXPECT_EQ(data->GetScale(), s);
    }

    CountingWindow* window = nullptr;
    GlowViewManipulator* manip = nullptr;
    GlowTransformData* data = nullptr;
    int now = 5000;
    int idleBefore = 0;
};

TEST_F(ManipulatorTest, DefaultsAndInit) {
    GlowViewManipulatorParams p;
    EXPECT_EQ(p.data, nullptr);
    EXPECT_EQ(p.scale, 1.0f);
    EXPECT_EQ(p.rotation, Quaternionf());
    EXPECT_EQ(p.translationRate, 1.0f);
    EXPECT_EQ(p.rotationRate, 1.0f);
    EXPECT_EQ(p.scaleRate, 1.0f);
    EXPECT_TRUE(p.axisConstraints.empty());
    EXPECT_FALSE(p.axisConstraintsActive);
    EXPECT_FALSE(p.spinnable);
    EXPECT_FALSE(p.drawOverlay);
    EXPECT_EQ(p.spinWindow, 100);
    EXPECT_EQ(p.overlayColor, GlowColor((unsigned char)127, (unsigned char)255, (unsigned char)255,
                                        (unsigned char)255));
    Make(Spinnable());
    EXPECT_FALSE(manip->IsDragging());
    EXPECT_TRUE(manip->IsSpinnable());
    EXPECT_EQ(data->GetScale(), 1.5f);
    EXPECT_EQ(data->Clients().size(), 1u);
}

TEST_F(ManipulatorTest, RotationDragAndBackRestoresTheStartExactly) {
    Make(Spinnable());
    const Vector3f t0 = data->GetTranslation();
    const Quaternionf q0 = data->GetRotation();
    manip->BeginRotationDrag(0, 0);
    EXPECT_EQ(manip->DragState(), GlowViewManipulator::rotationDrag);
    manip->InDrag(0.6f, 0);
    // 36.87 degrees about y, composed before the start rotation.
    const Quaternionf turn = data->GetRotation() * q0.Conjugate();
    Vector3f axis;
    float angle;
    turn.GetRotation(axis, angle);
    EXPECT_NEAR(angle * 57.29577951308232, 36.8698976, 1e-3);
    ExpectNear(axis, Vector3f(0, 1, 0), 1e-5f);
    ExpectNear(data->GetTranslation(), turn.Rotate(t0), 1e-6f);
    manip->InDrag(-0.3f, 0.8f);
    manip->InDrag(0, 0);
    ExpectStart(t0, q0, 1.5f);
    manip->EndDrag(0, 0);
    EXPECT_FALSE(manip->IsDragging());
    ExpectStart(t0, q0, 1.5f);
    Paint(*window);
    EXPECT_FALSE(data->IsSpinning());
}

TEST_F(ManipulatorTest, ScaleAndTranslationDrags) {
    GlowViewManipulatorParams p = Spinnable();
    Make(p);
    manip->BeginScaleDrag(0.3f, -0.5f);
    manip->InDrag(-0.9f, 0.5f);  // the horizontal position does not count
    const float r2 = std::sqrt(2.0f);
    EXPECT_FLOAT_EQ(data->GetScale(), 1.5f * r2);
    ExpectNear(data->GetTranslation(), p.translation * r2, 1e-6f);
    EXPECT_EQ(data->GetRotation(), p.rotation);
    manip->EndDrag(0.3f, -0.5f);
    ExpectStart(p.translation, p.rotation, 1.5f);

    manip->BeginTranslationDrag(0, 0);
    manip->EndDrag(0.5f, -0.25f);
    ExpectNear(data->GetTranslation(), p.translation + Vector3f(0.5f, -0.25f, 0), 0);
    EXPECT_EQ(data->GetScale(), 1.5f);
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore);  // only rotation drags use idle ticks
}

TEST_F(ManipulatorTest, NoDragNoChange) {
    Make(Spinnable());
    const Vector3f t0 = data->GetTranslation();
    const Quaternionf q0 = data->GetRotation();
    manip->InDrag(0.5f, 0.5f);
    manip->EndDrag(0.7f, -0.2f);
    ExpectStart(t0, q0, 1.5f);
    Paint(*window);
    EXPECT_FALSE(data->IsSpinning());
}

TEST_F(ManipulatorTest, OneAxisConstraint) {
    GlowViewManipulatorParams p;
    p.axisConstraints = {Vector3f(0, 1, 0)};
    p.axisConstraintsActive = true;
    Make(p);
    manip->BeginRotationDrag(0.1f, 0.3f);
    manip->InDrag(0.5f, -0.4f);
    const Quaternionf q = data->GetRotation();
    EXPECT_EQ(q.GetComponent(1), 0.0f);
    EXPECT_EQ(q.GetComponent(3), 0.0f);
    EXPECT_GT(AngleOf(q), 0.1f);
    // At the centre the ball point lies along z, which is fine for the y axis; with z as the
    // only axis it would have no projection: the transform stays where it was.
    manip->EndDrag(0.5f, -0.4f);

    GlowViewManipulatorParams pz;
    pz.axisConstraints = {Vector3f(0, 0, 1)};
    pz.axisConstraintsActive = true;
    delete manip;
    Make(pz);
    manip->BeginRotationDrag(0.4f, 0.1f);
    manip->InDrag(0.1f, 0.4f);
    const Quaternionf before = data->GetRotation();
    manip->InDrag(0, 0);
    EXPECT_EQ(data->GetRotation(), before);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(std::isnan(data->GetRotation().GetComponent(i)));
    manip->EndDrag(0, 0);
}

TEST_F(ManipulatorTest, FlickSpinsThroughIdleTicksUntilTheNextPress) {
    Make(Spinnable());
    Flick();
    EXPECT_FALSE(data->IsSpinning());  // the spin starts in the paint that follows
    Paint(*window);
    ASSERT_TRUE(data->IsSpinning());
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore + 1);  // the data's, not the drag's

    // Each tick turns by about the angle between two successive paints, about +y.
    const Vector3f b0 = GlowViewManipulator::BallPoint(0.2f, 0.1f);
    const Vector3f b1 = GlowViewManipulator::BallPoint(0.23f, 0.1f);
    const float perStep = std::atan2(b0.Cross(b1).Length(), b0.Dot(b1));
    Quaternionf prev = data->GetRotation();
    for (int i = 0; i < 5; ++i) {
        Glow::OnGlutIdle();
        const Quaternionf cur = data->GetRotation();
        const Quaternionf delta = cur * prev.Conjugate();
        Vector3f axis;
        float angle;
        delta.GetRotation(axis, angle);
        EXPECT_NEAR(angle, perStep, perStep * 0.2f);
        EXPECT_GT(axis.Y(), 0.9f);
        prev = cur;
    }

    manip->BeginTranslationDrag(0, 0);  // any press stops it
    EXPECT_FALSE(data->IsSpinning());
    const Quaternionf held = data->GetRotation();
    for (int i = 0; i < 3; ++i) Glow::OnGlutIdle();
    EXPECT_EQ(data->GetRotation(), held);
    manip->EndDrag(0, 0);
}

// The spin turns the view about the screen's axis of the flick, whatever the view's rotation
// before it: each tick composes the spin before the rotation (spin * rotation). Composed the
// other way round it would turn about the flick's axis carried along by the old rotation (a
// quarter turn about x makes +y into +z).
TEST_F(ManipulatorTest, FlickAfterATurnSpinsAboutTheScreenAxis) {
    const struct {
        const char* name;
        Vector3f axis;
    } starts[] = {{"quarter turn about x", Vector3f(1, 0, 0)},
                  {"quarter turn about z", Vector3f(0, 0, 1)}};
    for (const auto& start : starts) {
        SCOPED_TRACE(start.name);
        GlowViewManipulatorParams p = Spinnable();
        p.rotation = AxisAngle(start.axis, kPi / 2);
        Make(p);
        Flick();
        Paint(*window);
        ASSERT_TRUE(data->IsSpinning());
        const Quaternionf spin = data->GetSpin();
        Quaternionf prev = data->GetRotation();
        Vector3f prevT = data->GetTranslation();
        for (int i = 0; i < 3; ++i) {
            Glow::OnGlutIdle();
            const Quaternionf delta = data->GetRotation() * prev.Conjugate();
            Vector3f axis;
            float angle;
            delta.GetRotation(axis, angle);
            EXPECT_GT(axis.Y(), 0.9f);
            // The translation turns with the scene, about the same axis.
            ExpectNear(data->GetTranslation(), spin.Rotate(prevT), 1e-5f);
            prev = data->GetRotation();
            prevT = data->GetTranslation();
        }
        delete manip;
        manip = nullptr;
    }
}

TEST_F(ManipulatorTest, RestBeforeReleaseGivesNoSpin) {
    Make(Spinnable());
    manip->BeginRotationDrag(-0.4f, 0.1f);
    for (int i = 1; i <= 10; ++i) Step(-0.4f + 0.03f * i, 0.1f);
    // The mouse rests: idle ticks repeat the drag at the latest point and each is painted.
    for (int i = 0; i < 15; ++i) {
        Glow::OnGlutIdle();
        Paint(*window);
        now += 10;
    }
    manip->EndDrag(-0.4f + 0.03f * 10, 0.1f);  // where the mouse rests
    Paint(*window);
    EXPECT_FALSE(data->IsSpinning());
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore);
}

TEST_F(ManipulatorTest, TwoAxesGiveNoSpin) {
    GlowViewManipulatorParams p = Spinnable();
    p.axisConstraints = {Vector3f(1, 0, 0), Vector3f(0, 1, 0)};
    p.axisConstraintsActive = true;
    Make(p);
    Flick();
    Paint(*window);
    EXPECT_FALSE(data->IsSpinning());
    // With a single axis the same flick spins.
    p.axisConstraints = {Vector3f(0, 1, 0)};
    delete manip;
    Make(p);
    Flick();
    Paint(*window);
    EXPECT_TRUE(data->IsSpinning());
}

TEST_F(ManipulatorTest, PressBeforeTheSpinPaintCancelsThePendingSpin) {
    Make(Spinnable());
    Flick();
    manip->BeginTranslationDrag(0, 0);  // pressed again before any paint
    Step(0.1f, 0);
    EXPECT_FALSE(data->IsSpinning());
    manip->EndDrag(0.1f, 0);
    Paint(*window);
    EXPECT_FALSE(data->IsSpinning());
}

TEST_F(ManipulatorTest, SetSpinnable) {
    Make(Spinnable());
    manip->BeginRotationDrag(0, 0);
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore + 1);
    manip->SetSpinnable(false);
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore);
    manip->SetSpinnable(true);
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore + 1);
    manip->BeginTranslationDrag(0, 0);  // a drag begun over the rotation
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore);
    manip->EndDrag(0, 0);

    // Turning spinning off stops a running spin.
    Flick();
    Paint(*window);
    ASSERT_TRUE(data->IsSpinning());
    manip->SetSpinnable(false);
    EXPECT_FALSE(data->IsSpinning());
    EXPECT_FALSE(manip->IsSpinnable());
}

TEST_F(ManipulatorTest, DeletedWhileSpinningOrDragging) {
    Make(Spinnable());
    Flick();
    Paint(*window);
    ASSERT_TRUE(data->IsSpinning());
    delete manip;  // the data goes with its last client, and its idle receiver with it
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore);
    Glow::OnGlutIdle();

    Make(Spinnable());
    manip->BeginRotationDrag(0, 0);
    manip->InDrag(0.2f, 0.2f);
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore + 1);
    delete manip;
    EXPECT_EQ(Glow::NumIdleReceivers(), idleBefore);
    Glow::OnGlutIdle();
}

TEST_F(ManipulatorTest, EndPaintPopsTheModelViewWhateverTheModeLeft) {
    Make(Spinnable());
    new ProjectionModeChild(manip);
    manip->BeginRotationDrag(0, 0);
    manip->InDrag(0.3f, 0.2f);
    Paint(*window);
    GLint modelDepth = 0, projDepth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projDepth);
    EXPECT_EQ(modelDepth, 1);
    EXPECT_EQ(projDepth, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    manip->EndDrag(0.3f, 0.2f);
}

namespace {

struct Pixel {
    int r, g, b;
};

Pixel ReadPixel(int x, int y) {
    unsigned char p[4];
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Pixel{p[0], p[1], p[2]};
}

// Keeps the back buffer as a picture for looking at.
void Screenshot(const char* name, int w, int h) {
    glowtest::SavePicture(name, glowtest::ReadBackBuffer(0, 0, w, h));
}

bool IsOverlay(const Pixel& p) {
    return p.r == 127 && p.g == 255 && p.b == 255;
}

// Any overlay pixel within one pixel of (x, y).
bool OverlayNear(int x, int y) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (IsOverlay(ReadPixel(x + dx, y + dy))) return true;
    return false;
}

}  // namespace

TEST_F(ManipulatorTest, OverlayDrawsTheBallAndTheDrag) {
    GlowViewManipulatorParams p;
    p.drawOverlay = true;
    Make(p);
    glutSetWindow(window->WindowId());
    glViewport(0, 0, 200, 200);

    Paint(*window);
    EXPECT_FALSE(OverlayNear(187, 150));  // no overlay without a drag

    manip->BeginTranslationDrag(0, 0);
    manip->InDrag(0.5f, 0.5f);
    Paint(*window);
    Screenshot("overlay-translation", 200, 200);
    // The unit circle fills the window (points at 30, 120, 210 and 300 degrees), and the line
    // runs from the centre to (0.5, 0.5), in the overlay colour.
    EXPECT_TRUE(OverlayNear(187, 150));
    EXPECT_TRUE(OverlayNear(50, 187));
    EXPECT_TRUE(OverlayNear(13, 50));
    EXPECT_TRUE(OverlayNear(150, 13));
    EXPECT_FALSE(OverlayNear(100, 100 + 60));  // inside the circle, off the line
    EXPECT_TRUE(OverlayNear(125, 125));
    EXPECT_TRUE(OverlayNear(140, 140));
    EXPECT_FALSE(OverlayNear(60, 140));
    EXPECT_FALSE(OverlayNear(165, 135));  // beyond the end of the line
    manip->EndDrag(0.5f, 0.5f);

    manip->BeginScaleDrag(-0.5f, -0.5f);
    manip->InDrag(0.9f, 0.5f);
    Paint(*window);
    Screenshot("overlay-scale", 200, 200);
    EXPECT_TRUE(OverlayNear(50, 100));  // the vertical line at x = -0.5
    EXPECT_FALSE(OverlayNear(150, 100));
    manip->EndDrag(0.9f, 0.5f);

    manip->BeginRotationDrag(0, 0);
    manip->InDrag(0.6f, 0);
    Paint(*window);
    Screenshot("overlay-rotation", 200, 200);
    // The arc from (0, 0, 1) to (0.6, 0, 0.8), seen from the front, runs along the x axis.
    EXPECT_TRUE(OverlayNear(130, 100));
    EXPECT_FALSE(OverlayNear(100, 130));
    manip->EndDrag(0.6f, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
