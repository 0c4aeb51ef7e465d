#ifndef GLOW_VIEW_GLOWTRANSFORMDATA_H
#define GLOW_VIEW_GLOWTRANSFORMDATA_H

#include <vector>

#include "glow/core/GlowIdleMessage.h"
#include "glow/core/TReceiver.h"
#include "glow/view/Matrix4f.h"
#include "glow/view/Quaternionf.h"
#include "glow/view/Vector3f.h"

namespace glow {

class GlowTransformData;
class GlowViewTransform;

// Turns the idle ticks into spin steps of its transform data.
class Glow_TransformData_IdleReceiver : public TReceiver<const GlowIdleMessage&> {
public:
    explicit Glow_TransformData_IdleReceiver(GlowTransformData* data) : owner(data) {}
    ~Glow_TransformData_IdleReceiver() override = default;
    void OnMessage(const GlowIdleMessage& message) override;

    GlowTransformData* owner;
};

// A translation, a rotation and a uniform scale that any number of view transforms share:
// a point p of the scene becomes translation + rotation(scale p). Every change asks the
// subwindow of each view transform for a redisplay. While spinning, a fixed rotation is
// composed onto the transform at every idle tick.
class GlowTransformData {
public:
    // persistent false: the object deletes itself when its last view transform lets go;
    // true: it stays until its owner deletes it.
    GlowTransformData(const Vector3f& translation, const Quaternionf& rotation, float scale,
                      bool persistent);
    GlowTransformData(const GlowTransformData&) = delete;
    GlowTransformData& operator=(const GlowTransformData&) = delete;
    // View transforms still using this object keep their picture on a copy of their own.
    virtual ~GlowTransformData();

    const Vector3f& GetTranslation() const { return translation_; }
    const Quaternionf& GetRotation() const { return rotation_; }
    float GetScale() const { return scale_; }
    bool IsPersistent() const { return persistent_; }
    bool IsSpinning() const { return spinning_; }
    const Quaternionf& GetSpin() const { return spin_; }
    const std::vector<GlowViewTransform*>& Clients() const { return clients_; }

    // A transform with a NaN or an infinity in it is refused: it would hide the scene for good.
    void SetTransform(const Vector3f& translation, const Quaternionf& rotation, float scale);
    // Turns the whole transform, translation included, by q about the origin.
    void AddRotation(const Quaternionf& q);

    // Starting while spinning only replaces the spin.
    void StartSpin(const Quaternionf& q);
    void StopSpin();
    void SpinStep();

    void RefreshClients();

    // Multiply the current OpenGL matrix by the transform, or by its inverse.
    void ApplyToGL() const;
    void ApplyInverseToGL() const;
    // m = m T R S, the product that ApplyToGL leaves on the OpenGL matrix.
    void GetMatrix(Matrix4f& m) const;
    // The transform's matrix, 16 floats column-major.
    void GetMatrix(float* out) const;

private:
    friend class GlowViewTransform;

    Vector3f translation_;
    Quaternionf rotation_;
    float scale_;
    Quaternionf spin_;
    bool spinning_;
    bool persistent_;
    Glow_TransformData_IdleReceiver idleReceiver_;
    std::vector<GlowViewTransform*> clients_;
};

}  // namespace glow

#endif
