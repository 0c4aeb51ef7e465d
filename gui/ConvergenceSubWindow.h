#ifndef GUI_CONVERGENCESUBWINDOW_H
#define GUI_CONVERGENCESUBWINDOW_H

#include "glow/core/GlowSubwindow.h"
#include "gui/ConvergenceRing.h"

// The strip under the tree view that plots the RMS error of the analysis as
// it trains, one point per classified input from left to right, in a ring of
// 1300 slots that the analysis thread fills and every paint draws whole.
// Mouse events do nothing.
class ConvergenceSubWindow : public glow::GlowSubwindow {
public:
    static constexpr int capacity = ConvergenceRing::capacity;
    // The chart's size in the window's layout, in pixels, and its units.
    static constexpr int kWidth = 650;
    static constexpr int kHeight = 150;

    ConvergenceSubWindow(glow::GlowComponent* parent, const glow::GlowSubwindowParams& params);
    // 400 by 400 pixels at (0, 0), with a depth buffer, for mouse buttons and
    // drags.
    explicit ConvergenceSubWindow(glow::GlowComponent* parent);

    // Safe from any thread; asks for no redisplay (the caller does).
    void AddValue(int value) { values_.Add(value); }
    const ConvergenceRing& Values() const { return values_; }

protected:
    bool OnBeginPaint() override;
    // Axes, caption, "0.0" and every slot as a point.
    void OnEndPaint() override;

private:
    ConvergenceRing values_;
};

#endif
