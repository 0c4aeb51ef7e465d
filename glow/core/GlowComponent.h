#ifndef GLOW_CORE_GLOWCOMPONENT_H
#define GLOW_CORE_GLOWCOMPONENT_H

#include <cstdint>

namespace glow {

class GlowSubwindow;

// Base of everything that lives in a window: a tree of components, each
// owning its children, with an activation state whose notices arrive at the
// end of the event and with deferred deletion (Close).
class GlowComponent {
public:
    enum { stateDeactivated = 0, stateActive = 1, stateInactive = 2 };
    enum { initClosing = 0, initDone = 1, initNotYet = -1 };

    GlowComponent();
    explicit GlowComponent(GlowComponent* parent);
    GlowComponent(const GlowComponent&) = delete;
    GlowComponent& operator=(const GlowComponent&) = delete;
    // Deletes the children first, unlinks from the parent and forgets any
    // notice or deletion still queued for this component.
    virtual ~GlowComponent();

    // The subwindow that contains this component (a subwindow: itself).
    virtual GlowSubwindow* EnclosingSubwindow();

    void Init(GlowComponent* parent);

    // Deletion at the end of the current event.
    void Close();

    void Activate();
    void Deactivate();
    void ChangeActiveState(bool activate, bool isExplicit);

    bool IsActive() const { return activeState_ == stateActive; }
    bool IsTopLevel() const { return parent_ == nullptr; }
    bool IsClosing() const { return initState_ == initClosing; }
    bool IsInitialized() const { return initState_ != initNotYet; }
    int ActiveState() const { return activeState_; }

    GlowComponent* Parent() const { return parent_; }
    GlowComponent* Next() const { return next_; }
    GlowComponent* Prev() const { return prev_; }
    GlowComponent* FirstChild() const { return firstChild_; }
    GlowComponent* LastChild() const { return lastChild_; }
    int NumChildren() const { return numChildren_; }
    GlowComponent* Root();
    // Null for a top-level component, else the parent's enclosing subwindow.
    GlowSubwindow* ParentSubwindow() const;

    // A null before moves the child to the end; child must be a child of this.
    void MoveChildBefore(GlowComponent* child, GlowComponent* before);
    void DeleteChildren();

    // OnBeginPaint, the children that are not subwindows, OnEndPaint.
    void PaintTree();

protected:
    virtual void OnActivate() {}
    virtual void OnDeactivate() {}
    // False skips the children.
    virtual bool OnBeginPaint() { return true; }
    virtual void OnEndPaint() {}

    void AppendChild(GlowComponent* child);
    void UnlinkChild(GlowComponent* child);

    // Sets the state without a notice or any other effect (a window created
    // while another is modal starts inactive this way).
    void SetActiveStateQuietly(int state) { activeState_ = static_cast<std::int16_t>(state); }

private:
    friend class Glow;  // delivers the notices

    GlowComponent* parent_;
    GlowComponent* next_;
    GlowComponent* prev_;
    std::int32_t numChildren_;
    GlowComponent* firstChild_;
    GlowComponent* lastChild_;
    std::int16_t activeState_;
    std::int16_t initState_;
};

}  // namespace glow

#endif
