#include "threadgroup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <thread>

Meeting::Meeting(int size)
    : gather_counts(size),
      gather_displacements(size),
      sent_counts(size, -1),
      calls(size),
      size_(size) {}

void Meeting::barrier() {
    // A thread that waits for a collective the others never make would wait
    // for ever: after a bound far beyond any real wait the test fails, and
    // every collective of the meeting returns at once from then on.
    constexpr auto kBound = std::chrono::seconds(120);
    std::unique_lock<std::mutex> lock(mutex);
    if (broken_) return;
    const long generation = generation_;
    if (++arrived_ == size_) {
        arrived_ = 0;
        ++generation_;
        changed_.notify_all();
    } else if (!changed_.wait_for(lock, kBound,
                                  [&] { return generation_ != generation || broken_; })) {
        broken_ = true;
        changed_.notify_all();
        ADD_FAILURE() << "a thread of the group waits in a collective that the others do not make";
    }
}

void ThreadGroup::note(const std::string& call, int count) {
    // Each rank writes its own entry only.
    meeting_->calls[rank_].push_back(call + " " + std::to_string(count));
}

void ThreadGroup::broadcast(int* values, int count) {
    note("broadcast int", count);
    share(meeting_->ints, values, count);
}

void ThreadGroup::broadcast(char* values, int count) {
    note("broadcast char", count);
    share(meeting_->chars, values, count);
}

void ThreadGroup::broadcast_idle(int* values, int count) {
    note("idle broadcast int", count);
    share(meeting_->ints, values, count);
}

void ThreadGroup::all_gather(const int* sent, int sent_count, int* received, const int* counts,
                             const int* displacements) {
    note("all_gather int", sent_count);
    gather(meeting_->gathered, sent, sent_count, received, counts, displacements);
}

void ThreadGroup::all_gather(const double* sent, int sent_count, double* received,
                             const int* counts, const int* displacements) {
    note("all_gather double", sent_count);
    gather(meeting_->gathered_doubles, sent, sent_count, received, counts, displacements);
}

void ThreadGroup::largest(int* values, int count) {
    note("largest", count);
    meeting_->barrier();
    if (rank_ == 0) meeting_->reduced.assign(count, INT_MIN);
    meeting_->barrier();
    {
        std::lock_guard<std::mutex> lock(meeting_->mutex);
        for (int i = 0; i < count; ++i) {
            meeting_->reduced[i] = std::max(meeting_->reduced[i], values[i]);
        }
    }
    meeting_->barrier();
    for (int i = 0; i < count; ++i) values[i] = meeting_->reduced[i];
    meeting_->barrier();
}

template <typename T>
void ThreadGroup::gather(std::vector<T>& slot, const T* sent, int sent_count, T* received,
                         const int* counts, const int* displacements) {
    const int p = size();
    int total = 0;
    for (int q = 0; q < p; ++q) total += counts[q];
    meeting_->barrier();
    {
        std::lock_guard<std::mutex> lock(meeting_->mutex);
        if (static_cast<int>(slot.size()) < total) slot.resize(total);
        const int at = displacements[rank_];
        if (at < 0 || sent_count != counts[rank_] || at + sent_count > total) {
            ADD_FAILURE() << "rank " << rank_ << " sends " << sent_count << " at " << at << " of "
                          << total;
        } else {
            for (int j = 0; j < sent_count; ++j) slot[at + j] = sent[j];
        }
        meeting_->gather_counts[rank_].assign(counts, counts + p);
        meeting_->gather_displacements[rank_].assign(displacements, displacements + p);
        meeting_->sent_counts[rank_] = sent_count;
    }
    meeting_->barrier();
    for (int i = 0; i < total; ++i) received[i] = slot[i];
    meeting_->barrier();
}

template <typename T>
void ThreadGroup::share(std::vector<T>& slot, T* values, int count) {
    meeting_->barrier();
    if (rank_ == 0) slot.assign(values, values + count);
    meeting_->barrier();
    if (rank_ != 0) {
        EXPECT_EQ(static_cast<int>(slot.size()), count) << "broadcast sizes differ";
        for (int i = 0; i < count && i < static_cast<int>(slot.size()); ++i) {
            values[i] = slot[i];
        }
    }
    meeting_->barrier();
    if (rank_ == 0) slot.clear();
    meeting_->barrier();
}

void on_every_rank(int size, const std::function<void(int rank)>& work) {
    std::vector<std::thread> threads;
    for (int r = 0; r < size; ++r) threads.emplace_back([&work, r] { work(r); });
    for (std::thread& t : threads) t.join();
}

ModuleGroup::ModuleGroup(int size) : meeting(size) {
    for (int r = 0; r < size; ++r) {
        modules.push_back(
            std::make_unique<AnalysisModule>(r, std::make_unique<ThreadGroup>(&meeting, r)));
    }
}

void ModuleGroup::run(const std::function<void(AnalysisModule&)>& work) {
    on_every_rank(static_cast<int>(modules.size()), [&](int r) { work(*modules[r]); });
}

std::vector<int> ids_of(SeqVector* const* list, int count) {
    std::vector<int> ids;
    for (int j = 0; j < count; ++j) ids.push_back(list[j]->id);
    return ids;
}
