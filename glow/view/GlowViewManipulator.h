#ifndef GLOW_VIEW_GLOWVIEWMANIPULATOR_H
#define GLOW_VIEW_GLOWVIEWMANIPULATOR_H

#include <functional>
#include <vector>

#include "glow/core/GlowColor.h"
#include "glow/core/GlowIdleMessage.h"
#include "glow/core/TReceiver.h"
#include "glow/view/GlowViewTransform.h"
#include "glow/view/Glow_ViewManipSpinHistory.h"
#include "glow/view/Quaternionf.h"
#include "glow/view/Vector3f.h"

namespace glow {

class GlowViewManipulator;

// Parameters of a view manipulator; the default constructor copies `defaults`.
struct GlowViewManipulatorParams : public GlowViewTransformParams {
    GlowViewManipulatorParams() : GlowViewManipulatorParams(defaults) {}
    GlowViewManipulatorParams(const GlowViewManipulatorParams&) = default;
    GlowViewManipulatorParams& operator=(const GlowViewManipulatorParams&) = default;

    float translationRate;                  // scene units per unit of mouse movement
    float rotationRate;                     // factor on the angle of a drag and of a spin
    float scaleRate;                        // factor on the exponent of a scale drag
    std::vector<Vector3f> axisConstraints;  // unit axes to which rotation drags may be limited
    bool axisConstraintsActive;
    bool spinnable;  // a rotation drag released while moving leaves a spin
    bool drawOverlay;
    int spinWindow;  // milliseconds of drag history from which a spin is computed
    GlowColor overlayColor;

    static GlowViewManipulatorParams defaults;

protected:
    explicit GlowViewManipulatorParams(bool);
};

// Repeats the drag at its latest point while the mouse rests, so that the spin history
// keeps filling.
class Glow_ViewManip_IdleReceiver : public TReceiver<const GlowIdleMessage&> {
public:
    explicit Glow_ViewManip_IdleReceiver(GlowViewManipulator* manipulator) : owner(manipulator) {}
    ~Glow_ViewManip_IdleReceiver() override = default;
    void OnMessage(const GlowIdleMessage& message) override;

    GlowViewManipulator* owner;
};

// A view transform driven by mouse drags given in the square from -1 to 1 (x right, y up):
// rotation on a virtual ball filling the unit circle, optionally about one of a set of axes;
// translation parallel to the screen; scaling with the vertical movement. A spinnable
// manipulator keeps the scene turning after a rotation drag released while moving.
class GlowViewManipulator : public GlowViewTransform {
public:
    enum { notDragging = 0, rotationDrag = 1, translationDrag = 2, scaleDrag = 3 };
    // A ball point of a recent paint and its time in milliseconds.
    using SpinHistoryEntry = Glow_ViewManipSpinHistory::Entry;

    GlowViewManipulator(GlowComponent* parent, const GlowViewManipulatorParams& params);
    ~GlowViewManipulator() override;

    void Init(GlowComponent* parent, const GlowViewManipulatorParams& params);

    // A begin does not end a drag in progress: ask IsDragging first.
    void BeginRotationDrag(float x, float y);
    void BeginTranslationDrag(float x, float y);
    void BeginScaleDrag(float x, float y);
    void InDrag(float x, float y);
    void EndDrag(float x, float y);
    bool IsDragging() const { return dragState_ != notDragging; }
    int DragState() const { return dragState_; }

    void SetSpinnable(bool spinnable);
    bool IsSpinnable() const { return spinnable_; }

    // The spin history's clock in milliseconds: glutGet(GLUT_ELAPSED_TIME) unless replaced.
    void SetSpinClock(std::function<int()> clock);

    static Vector3f BallPoint(float x, float y);
    // Line segments (2^depth of them) along the arc from a to b, inside a glBegin(GL_LINES).
    static void DrawArc(const Vector3f& a, const Vector3f& b, int depth);

protected:
    // Overlay, spin bookkeeping, then the pop of the view transform's push.
    void OnEndPaint() override;

private:
    friend class Glow_ViewManip_IdleReceiver;

    void BeginDrag_(int kind, float x, float y);
    void DrawOverlay_();
    void SpinBookkeeping_();
    bool RecordsSpin_() const;

    Glow_ViewManip_IdleReceiver idleReceiver_;
    float startScale_ = 1.0f;
    Quaternionf startRotation_;
    Vector3f startTranslation_;
    float scaleRate_ = 0.5f;
    float translationRate_ = 1.0f;
    float rotationRate_ = 0.5f;
    std::vector<Vector3f> axisConstraints_;
    bool axisConstraintsActive_ = false;
    int dragState_ = notDragging;
    float startX_ = 0.0f;
    float startY_ = 0.0f;
    float lastX_ = 0.0f;
    float lastY_ = 0.0f;
    Vector3f startBallPoint_;
    Vector3f currentBallPoint_;
    Glow_ViewManipSpinHistory spinHistory_;
    bool spinnable_ = false;
    bool spinPending_ = false;
    GlowColor overlayColor_;
    bool drawOverlay_ = false;
};

}  // namespace glow

#endif
