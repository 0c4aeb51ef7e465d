#include "gui/AnalysisThread.h"

#include "analysis/analysismodule.h"
#include "analysis/check.h"
#include "analysis/currentrefusal.h"

namespace {
// How often the main loop looks whether a run has ended.
constexpr unsigned int kPollMsecs = 50;
}  // namespace

AnalysisThread::AnalysisThread(FinishHandler onFinish) : onFinish_(std::move(onFinish)) {}

AnalysisThread::~AnalysisThread() {
    if (IsRunning()) Join();
}

bool AnalysisThread::Start(AnalysisModule* module) {
    tavrel_assert(!IsRunning() && module != nullptr);
    ended_.store(false, std::memory_order_relaxed);
    module_ = module;
    if (pthread_create(&thread_, nullptr, Main, this) != 0) {
        module_ = nullptr;
        return false;
    }
    Schedule(kPollMsecs);
    return true;
}

void* AnalysisThread::Main(void* self) {
    auto* thread = static_cast<AnalysisThread*>(self);
    // Nothing may leave a thread's start routine. The run reports its own
    // refusals; one that came while it made that report (memory that ran
    // out again) goes to the main loop's thread instead.
    try {
        AnalysisModule::run(thread->module_);
    } catch (...) {
        thread->escaped_ = std::current_exception();
    }
    thread->ended_.store(true, std::memory_order_release);
    return nullptr;
}

AnalysisModule* AnalysisThread::Join() {
    pthread_join(thread_, nullptr);
    AnalysisModule* module = module_;
    module_ = nullptr;
    Cancel();
    return module;
}

void AnalysisThread::Finish() {
    if (!IsRunning()) return;
    // The join orders the run's last writes before this thread's reads.
    const AnalysisModule* module = Join();
    if (escaped_ == nullptr) {
        onFinish_(module->run_status);
        return;
    }
    // The run's status is that of an earlier run, if any.
    const std::exception_ptr escaped = escaped_;
    escaped_ = nullptr;
    AnalysisStatus status = AnalysisStatus::success();
    try {
        std::rethrow_exception(escaped);
    } catch (...) {
        // Other processes of a group may wait for this one's run.
        status = current_refusal(kNoMemory).ending_group(module->mpi_mode);
    }
    onFinish_(status);
}

void AnalysisThread::Execute() {
    if (!IsRunning()) return;
    if (HasEnded()) {
        Finish();
    } else {
        Schedule(kPollMsecs);
    }
}
