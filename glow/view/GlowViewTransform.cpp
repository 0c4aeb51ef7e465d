#include "glow/view/GlowViewTransform.h"

#include <GL/gl.h>

#include <algorithm>

#include "glow/view/GlowTransformData.h"

namespace glow {

GlowViewTransformParams GlowViewTransformParams::defaults(true);

GlowViewTransform::GlowViewTransform() : data_(nullptr) {}

GlowViewTransform::~GlowViewTransform() {
    Disconnect();
    data_ = nullptr;
}

void GlowViewTransform::Init(GlowComponent* parent, const GlowViewTransformParams& params) {
    GlowComponent::Init(parent);
    GlowTransformData* d = params.data;
    if (d == nullptr)
        d = new GlowTransformData(params.translation, params.rotation, params.scale, false);
    ConnectTo(d);
}

void GlowViewTransform::ConnectTo(GlowTransformData* d) {
    data_ = d;
    d->clients_.push_back(this);
}

void GlowViewTransform::Disconnect() {
    if (data_ == nullptr) return;
    std::vector<GlowViewTransform*>& clients = data_->clients_;
    clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
    if (!data_->persistent_ && clients.empty()) delete data_;
}

void GlowViewTransform::ShareTransformData(GlowTransformData* d) {
    if (d == nullptr || d == data_) return;
    Disconnect();
    ConnectTo(d);
}

void GlowViewTransform::ShareTransformData(GlowViewTransform* other) {
    if (other != nullptr) ShareTransformData(other->data_);
}

void GlowViewTransform::UnshareTransformData() {
    if (data_ == nullptr) return;
    GlowTransformData* copy =
        new GlowTransformData(data_->translation_, data_->rotation_, data_->scale_, false);
    Disconnect();
    ConnectTo(copy);
}

void GlowViewTransform::ApplyToGL() {
    if (data_ != nullptr) data_->ApplyToGL();
}

bool GlowViewTransform::OnBeginPaint() {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    ApplyToGL();
    return true;
}

void GlowViewTransform::OnEndPaint() {
    // Whatever matrix mode the children left behind, the push was on the model-view stack.
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

}  // namespace glow
