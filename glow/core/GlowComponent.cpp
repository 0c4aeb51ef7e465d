#include "glow/core/GlowComponent.h"

#include "glow/core/Glow.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/core/GlowWindow.h"
#include "glow/core/Glow_Assert.h"

namespace glow {

GlowComponent::GlowComponent()
    : parent_(nullptr),
      next_(nullptr),
      prev_(nullptr),
      numChildren_(0),
      firstChild_(nullptr),
      lastChild_(nullptr),
      activeState_(stateActive),
      initState_(initNotYet) {}

GlowComponent::GlowComponent(GlowComponent* parent) : GlowComponent() {
    Init(parent);
}

GlowComponent::~GlowComponent() {
    DeleteChildren();
    if (parent_ != nullptr) parent_->UnlinkChild(this);
    Glow::ForgetComponent_(this);
}

GlowSubwindow* GlowComponent::EnclosingSubwindow() {
    return parent_ != nullptr ? parent_->EnclosingSubwindow() : nullptr;
}

void GlowComponent::Init(GlowComponent* parent) {
    activeState_ = stateActive;
    parent_ = next_ = prev_ = firstChild_ = lastChild_ = nullptr;
    numChildren_ = 0;
    if (parent != nullptr) {
        parent->AppendChild(this);
        if (parent->activeState_ != stateActive) activeState_ = stateInactive;
    }
    initState_ = initDone;
}

void GlowComponent::Close() {
    Glow::QueueDeletion_(this);
    initState_ = initClosing;
}

void GlowComponent::Activate() {
    if (activeState_ != stateDeactivated) return;
    bool mayBeActive;
    if (parent_ == nullptr) {
        mayBeActive =
            Glow::ModalCount() == 0 || static_cast<GlowComponent*>(Glow::ModalTop()) == this;
    } else {
        mayBeActive = parent_->IsActive();
    }
    if (mayBeActive) {
        ChangeActiveState(true, true);
    } else {
        activeState_ = stateInactive;
    }
}

void GlowComponent::Deactivate() {
    if (activeState_ == stateActive) {
        ChangeActiveState(false, true);
    } else if (activeState_ == stateInactive) {
        activeState_ = stateDeactivated;
    }
}

void GlowComponent::ChangeActiveState(bool activate, bool isExplicit) {
    if (activate) {
        if (activeState_ == stateInactive || (isExplicit && activeState_ == stateDeactivated)) {
            activeState_ = stateActive;
        } else {
            return;
        }
    } else {
        if (activeState_ != stateActive) return;
        activeState_ = isExplicit ? stateDeactivated : stateInactive;
    }
    if (GlowSubwindow* sub = dynamic_cast<GlowSubwindow*>(this)) sub->ApplyActiveState(activate);
    Glow::QueueActivation_(this, activate);
    for (GlowComponent* child = firstChild_; child != nullptr; child = child->next_) {
        child->ChangeActiveState(activate, false);
    }
    if (GlowSubwindow* enclosing = EnclosingSubwindow()) enclosing->Refresh();
}

GlowComponent* GlowComponent::Root() {
    GlowComponent* c = this;
    while (c->parent_ != nullptr) c = c->parent_;
    return c;
}

GlowSubwindow* GlowComponent::ParentSubwindow() const {
    return parent_ != nullptr ? parent_->EnclosingSubwindow() : nullptr;
}

void GlowComponent::AppendChild(GlowComponent* child) {
    child->parent_ = this;
    if (firstChild_ != nullptr) {
        lastChild_->next_ = child;
    } else {
        firstChild_ = child;
    }
    child->prev_ = lastChild_;
    child->next_ = nullptr;
    lastChild_ = child;
    ++numChildren_;
}

void GlowComponent::UnlinkChild(GlowComponent* child) {
    glow_assert(child->parent_ == this);
    if (child->next_ != nullptr) {
        child->next_->prev_ = child->prev_;
    } else {
        lastChild_ = child->prev_;
    }
    if (child->prev_ != nullptr) {
        child->prev_->next_ = child->next_;
    } else {
        firstChild_ = child->next_;
    }
    child->parent_ = child->next_ = child->prev_ = nullptr;
    --numChildren_;
}

void GlowComponent::MoveChildBefore(GlowComponent* child, GlowComponent* before) {
    if (child == before || child == nullptr || child->parent_ != this) return;
    if (before != nullptr && before->parent_ != this) return;
    UnlinkChild(child);
    if (before == nullptr) {
        AppendChild(child);
        return;
    }
    child->parent_ = this;
    child->next_ = before;
    child->prev_ = before->prev_;
    if (before->prev_ != nullptr) {
        before->prev_->next_ = child;
    } else {
        firstChild_ = child;
    }
    before->prev_ = child;
    ++numChildren_;
}

void GlowComponent::DeleteChildren() {
    while (firstChild_ != nullptr) delete firstChild_;
}

void GlowComponent::PaintTree() {
    if (OnBeginPaint()) {
        for (GlowComponent* child = firstChild_; child != nullptr; child = child->next_) {
            if (dynamic_cast<GlowSubwindow*>(child) == nullptr) child->PaintTree();
        }
    }
    OnEndPaint();
}

}  // namespace glow
