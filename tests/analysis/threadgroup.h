#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/processgroup.h"

// The processes of an MPI group as threads of one process: every thread has
// a ThreadGroup of its own rank, and their collectives meet in memory.

// What the threads of one group share.
class Meeting {
public:
    explicit Meeting(int size);

    int size() const { return size_; }

    // Every thread waits until all have arrived.
    void barrier();

    std::mutex mutex;
    std::vector<int> ints;
    std::vector<char> chars;
    std::vector<int> gathered;
    std::vector<double> gathered_doubles;
    std::vector<int> reduced;
    // Per rank, as each passed them to its last all-gather.
    std::vector<std::vector<int>> gather_counts;
    std::vector<std::vector<int>> gather_displacements;
    // Per rank, what it sent in its last all-gather; -1 before.
    std::vector<int> sent_counts;
    // Per rank, every collective it made, in order, with its count:
    // "idle broadcast int 1", "broadcast char 16", "all_gather int 4",
    // "all_gather double 6", "largest 1".
    std::vector<std::vector<std::string>> calls;

private:
    const int size_;
    int arrived_ = 0;
    long generation_ = 0;
    bool broken_ = false;
    std::condition_variable changed_;
};

class ThreadGroup : public ProcessGroup {
public:
    ThreadGroup(Meeting* meeting, int rank) : meeting_(meeting), rank_(rank) {}

    int size() const override { return meeting_->size(); }
    int rank() const override { return rank_; }

    void broadcast(int* values, int count) override;
    void broadcast(char* values, int count) override;
    void broadcast_idle(int* values, int count) override;
    void all_gather(const int* sent, int sent_count, int* received, const int* counts,
                    const int* displacements) override;
    void all_gather(const double* sent, int sent_count, double* received, const int* counts,
                    const int* displacements) override;
    void largest(int* values, int count) override;

private:
    template <typename T>
    void gather(std::vector<T>& slot, const T* sent, int sent_count, T* received, const int* counts,
                const int* displacements);
    template <typename T>
    void share(std::vector<T>& slot, T* values, int count);
    void note(const std::string& call, int count);

    Meeting* meeting_;
    int rank_;
};

// Runs work(rank) for every rank of a group of `size` at once, each on its
// own thread, and waits for all.
void on_every_rank(int size, const std::function<void(int rank)>& work);

// A group of `size` analysis objects, each the process of its rank.
struct ModuleGroup {
    explicit ModuleGroup(int size);

    // Runs `work` for every rank at once, each on its own thread.
    void run(const std::function<void(AnalysisModule&)>& work);

    Meeting meeting;
    std::vector<std::unique_ptr<AnalysisModule>> modules;
};

// The ids of a member list.
std::vector<int> ids_of(SeqVector* const* list, int count);
