#ifndef GLOW_VIEW_GLOWVIEWTRANSFORM_H
#define GLOW_VIEW_GLOWVIEWTRANSFORM_H

#include "glow/core/GlowComponent.h"
#include "glow/view/Quaternionf.h"
#include "glow/view/Vector3f.h"

namespace glow {

class GlowTransformData;

// Parameters of a view transform; the default constructor copies `defaults`.
struct GlowViewTransformParams {
    GlowViewTransformParams() : GlowViewTransformParams(defaults) {}
    GlowViewTransformParams(const GlowViewTransformParams&) = default;
    GlowViewTransformParams& operator=(const GlowViewTransformParams&) = default;

    GlowTransformData* data;  // to share; null makes a new object of its own
    Vector3f translation;     // initial values of a new object
    Quaternionf rotation;
    float scale;

    static GlowViewTransformParams defaults;

protected:
    // Builds the static defaults; constexpr, so they are ready before any start-up code runs.
    constexpr explicit GlowViewTransformParams(bool)
        : data(nullptr), translation(0.0f, 0.0f, 0.0f), rotation(), scale(1.0f) {}
};

// A component that applies a shared translation, rotation and scale to the model-view matrix
// around the painting of its children.
class GlowViewTransform : public GlowComponent {
public:
    // Uninitialised: Init must follow.
    GlowViewTransform();
    ~GlowViewTransform() override;

    void Init(GlowComponent* parent, const GlowViewTransformParams& params);

    GlowTransformData* GetTransformData() const { return data_; }
    // Follow the transform of d, or of another view; null is ignored.
    void ShareTransformData(GlowTransformData* d);
    void ShareTransformData(GlowViewTransform* other);
    // Continue on a private copy of the current transform.
    void UnshareTransformData();

    void ApplyToGL();

protected:
    // Push the model-view matrix and apply the transform; the pop follows the children.
    bool OnBeginPaint() override;
    void OnEndPaint() override;

    void ConnectTo(GlowTransformData* d);
    // Leaves the current object, deleting it when it is not persistent and has no client left.
    void Disconnect();

private:
    friend class GlowTransformData;

    GlowTransformData* data_;
};

}  // namespace glow

#endif
