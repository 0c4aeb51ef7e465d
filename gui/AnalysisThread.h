#ifndef GUI_ANALYSISTHREAD_H
#define GUI_ANALYSISTHREAD_H

#include <pthread.h>

#include <atomic>
#include <exception>
#include <functional>

#include "glow/core/GlowDeferredTask.h"

class AnalysisModule;
class AnalysisStatus;

// One run of the analysis on a POSIX thread of its own, so that the window
// stays live while it runs. The main loop looks now and then whether the
// run has ended; then it joins the thread and hands the run's outcome to
// the owner, on the main-loop thread. One run at a time.
class AnalysisThread : public glow::GlowDeferredTask {
public:
    using FinishHandler = std::function<void(const AnalysisStatus&)>;

    explicit AnalysisThread(FinishHandler onFinish);
    // Waits for a run still under way, without handing its outcome over.
    ~AnalysisThread() override;
    AnalysisThread(const AnalysisThread&) = delete;
    AnalysisThread& operator=(const AnalysisThread&) = delete;

    // Starts AnalysisModule::run on `module`, which no other run may use
    // meanwhile; false when no thread could be made. None may be running.
    bool Start(AnalysisModule* module);
    // From the start of a run until its outcome has been handed over.
    bool IsRunning() const { return module_ != nullptr; }
    // The run has returned; its thread may not have been joined yet.
    bool HasEnded() const { return ended_.load(std::memory_order_acquire); }
    // Waits for the run under way, joins its thread and hands its outcome
    // over; nothing when none runs.
    void Finish();

protected:
    // The main loop's look: finish an ended run, or look again later.
    void Execute() override;

private:
    static void* Main(void* self);
    // Joins the thread and forgets the run; gives the module it ran on.
    AnalysisModule* Join();

    FinishHandler onFinish_;
    AnalysisModule* module_ = nullptr;
    pthread_t thread_{};
    std::atomic<bool> ended_{false};
    // What left the run instead of its status; ended_ publishes it.
    std::exception_ptr escaped_;
};

#endif
