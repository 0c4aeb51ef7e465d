#include "glow/view/Glow_ViewManipSpinHistory.h"

#include <utility>

#include "glow/view/Glow_ViewManipMath.h"

namespace glow {

Glow_ViewManipSpinHistory::Glow_ViewManipSpinHistory(int window, Clock clock)
    : window_(window), clock_(std::move(clock)) {}

void Glow_ViewManipSpinHistory::Trim(int now, size_t keep) {
    // In long: now - window must not overflow for a clock near its limits.
    while (entries_.size() > keep && long(entries_.front().time) < long(now) - window_)
        entries_.pop_front();
}

void Glow_ViewManipSpinHistory::Record(const Vector3f& point) {
    const int now = clock_();
    entries_.push_back(Entry{point, now});
    Trim(now, 3);
}

bool Glow_ViewManipSpinHistory::TakeSpin(const Vector3f& current, float rate, Quaternionf& spin) {
    if (entries_.empty()) return false;
    Trim(clock_(), 2);
    bool spinning = false;
    const Vector3f& p0 = entries_.front().point;
    if (current != p0) {
        Vector3f p1 = current;
        int steps = 1;
        if (entries_.size() >= 2) {
            p1 = entries_.back().point;
            steps = int(entries_.size()) - 1;
        }
        Quaternionf q;
        // The newest entry can equal the oldest while the release point differs (a rest, then
        // a small move at the release): that spin would turn nothing and only keep the idle
        // ticks busy.
        if (Glow_ViewManipMath::ArcRotation(p0, p1, rate / float(steps), q) &&
            q.VectorPart() != Vector3f(0, 0, 0)) {
            spin = q;
            spinning = true;
        }
    }
    entries_.clear();
    return spinning;
}

}  // namespace glow
