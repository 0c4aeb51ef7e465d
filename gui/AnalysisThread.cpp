#include "gui/AnalysisThread.h"

#include "analysis/analysismodule.h"
#include "analysis/check.h"

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
    AnalysisModule::run(thread->module_);
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
    onFinish_(module->run_status);
}

void AnalysisThread::Execute() {
    if (!IsRunning()) return;
    if (HasEnded()) {
        Finish();
    } else {
        Schedule(kPollMsecs);
    }
}
