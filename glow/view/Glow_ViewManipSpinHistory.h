#ifndef GLOW_VIEW_GLOW_VIEWMANIPSPINHISTORY_H
#define GLOW_VIEW_GLOW_VIEWMANIPSPINHISTORY_H

#include <deque>
#include <functional>

#include "glow/view/Quaternionf.h"
#include "glow/view/Vector3f.h"

namespace glow {

// The ball points of a rotation drag's recent paints with their times, from which the spin
// that a flick leaves behind is computed. The clock is given by the owner (milliseconds), so
// that the rules can be exercised without waiting for real time.
class Glow_ViewManipSpinHistory {
public:
    struct Entry {
        Vector3f point;
        int time;
    };
    using Clock = std::function<int()>;

    // window: milliseconds of history from which a spin is computed.
    Glow_ViewManipSpinHistory(int window, Clock clock);

    void SetClock(Clock clock) { clock_ = clock; }
    void SetWindow(int window) { window_ = window; }
    int Window() const { return window_; }

    // Appends the point at the current time and drops entries older than the window,
    // keeping at least three.
    void Record(const Vector3f& point);

    // At the end of a drag whose last ball point is `current`: drops entries older than the
    // window (keeping at least two) and, if the mouse was still moving, gives the average
    // rotation between two successive entries, with `rate` times its angle, in spin.
    // Returns whether there is a spin; a rotation by nothing is none. The history is empty
    // afterwards.
    bool TakeSpin(const Vector3f& current, float rate, Quaternionf& spin);

    bool Empty() const { return entries_.empty(); }
    size_t Size() const { return entries_.size(); }
    const std::deque<Entry>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

private:
    void Trim(int now, size_t keep);

    std::deque<Entry> entries_;
    int window_;
    Clock clock_;
};

}  // namespace glow

#endif
