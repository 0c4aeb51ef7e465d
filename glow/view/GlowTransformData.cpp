#include "glow/view/GlowTransformData.h"

#include <GL/gl.h>

#include <cmath>

#include "glow/core/Glow.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/view/GlowViewTransform.h"

namespace glow {

namespace {
const double kDegreesPerRadian = 57.29577951308232;

bool IsFinite(const Vector3f& v) {
    return std::isfinite(v.X()) && std::isfinite(v.Y()) && std::isfinite(v.Z());
}

bool IsFinite(const Quaternionf& q) {
    for (int i = 0; i < 4; ++i)
        if (!std::isfinite(q.GetComponent(i))) return false;
    return true;
}
// q's rotation of v, worked out in double from q normalised. A spin applies the same
// rotation again and again: float rounding in the same direction at every tick would make the
// scene's offset grow or shrink without end.
Vector3f RotateKeepingLength(const Quaternionf& q, const Vector3f& v) {
    double w = q.GetComponent(0), x = q.GetComponent(1), y = q.GetComponent(2),
           z = q.GetComponent(3);
    const double n = std::sqrt(w * w + x * x + y * y + z * z);
    if (n == 0.0) return q.Rotate(v);
    w /= n;
    x /= n;
    y /= n;
    z /= n;
    const double vx = v.X(), vy = v.Y(), vz = v.Z();
    // v + 2w (u x v) + 2 u x (u x v), u the vector part.
    const double cx = y * vz - z * vy, cy = z * vx - x * vz, cz = x * vy - y * vx;
    const double ccx = y * cz - z * cy, ccy = z * cx - x * cz, ccz = x * cy - y * cx;
    return Vector3f(float(vx + 2 * (w * cx + ccx)), float(vy + 2 * (w * cy + ccy)),
                    float(vz + 2 * (w * cz + ccz)));
}

}  // namespace

void Glow_TransformData_IdleReceiver::OnMessage(const GlowIdleMessage&) {
    owner->SpinStep();
}

GlowTransformData::GlowTransformData(const Vector3f& translation, const Quaternionf& rotation,
                                     float scale, bool persistent)
    : translation_(translation),
      rotation_(rotation),
      scale_(scale),
      spinning_(false),
      persistent_(persistent),
      idleReceiver_(this) {}

GlowTransformData::~GlowTransformData() {
    // Through the service, so that the GLUT idle callback goes away with the last receiver.
    StopSpin();
    const std::vector<GlowViewTransform*> clients = clients_;
    clients_.clear();
    for (GlowViewTransform* client : clients)
        client->ConnectTo(new GlowTransformData(translation_, rotation_, scale_, false));
}

void GlowTransformData::SetTransform(const Vector3f& translation, const Quaternionf& rotation,
                                     float scale) {
    if (!IsFinite(translation) || !IsFinite(rotation) || !std::isfinite(scale)) return;
    translation_ = translation;
    rotation_ = rotation;
    scale_ = scale;
    RefreshClients();
}

void GlowTransformData::AddRotation(const Quaternionf& q) {
    if (!IsFinite(q)) return;
    const Vector3f translation = RotateKeepingLength(q, translation_);
    Quaternionf rotation = q * rotation_;
    rotation.Normalize();
    if (!IsFinite(translation) || !IsFinite(rotation)) return;
    translation_ = translation;
    rotation_ = rotation;
    RefreshClients();
}

void GlowTransformData::StartSpin(const Quaternionf& q) {
    spin_ = q;
    if (!spinning_) {
        Glow::AddIdleReceiver(&idleReceiver_);
        spinning_ = true;
    }
}

void GlowTransformData::StopSpin() {
    if (!spinning_) return;
    Glow::RemoveIdleReceiver(&idleReceiver_);
    spinning_ = false;
}

void GlowTransformData::SpinStep() {
    AddRotation(spin_);
}

void GlowTransformData::RefreshClients() {
    for (GlowViewTransform* client : clients_) {
        GlowSubwindow* window = client->ParentSubwindow();
        if (window != nullptr) window->Refresh();
    }
}

void GlowTransformData::ApplyToGL() const {
    Vector3f axis;
    float angle;
    rotation_.GetRotation(axis, angle);
    glTranslatef(translation_.X(), translation_.Y(), translation_.Z());
    glRotatef(float(angle * kDegreesPerRadian), axis.X(), axis.Y(), axis.Z());
    glScalef(scale_, scale_, scale_);
}

void GlowTransformData::ApplyInverseToGL() const {
    Vector3f axis;
    float angle;
    rotation_.GetRotation(axis, angle);
    const float inv = 1.0f / scale_;
    glScalef(inv, inv, inv);
    glRotatef(float(-angle * kDegreesPerRadian), axis.X(), axis.Y(), axis.Z());
    glTranslatef(-translation_.X(), -translation_.Y(), -translation_.Z());
}

void GlowTransformData::GetMatrix(Matrix4f& m) const {
    Vector3f axis;
    float angle;
    rotation_.GetRotation(axis, angle);
    Matrix4f step;
    step.SetTranslation(translation_.X(), translation_.Y(), translation_.Z());
    m *= step;
    step.SetRotation(axis.X(), axis.Y(), axis.Z(), angle);
    m *= step;
    step.SetScale(scale_, scale_, scale_);
    m *= step;
}

void GlowTransformData::GetMatrix(float* out) const {
    Matrix4f m;
    GetMatrix(m);
    for (int i = 0; i < 16; ++i) out[i] = m.Array()[i];
}

}  // namespace glow
