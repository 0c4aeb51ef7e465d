// The exchange between the processes of a group, in one process: each
// process is a thread with its own analysis object, and the group's
// collectives meet in memory.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/processgroup.h"
#include "testsupport.h"

namespace {

// What the threads of one group share.
class Meeting {
public:
    explicit Meeting(int size) : size_(size) {}

    int size() const { return size_; }

    // Every thread waits until all have arrived.
    void barrier() {
        std::unique_lock<std::mutex> lock(mutex_);
        const long generation = generation_;
        if (++arrived_ == size_) {
            arrived_ = 0;
            ++generation_;
            changed_.notify_all();
        } else {
            changed_.wait(lock, [&] { return generation_ != generation; });
        }
    }

    std::mutex mutex_;
    std::vector<int> ints;
    std::vector<char> chars;
    std::vector<int> gathered;
    std::vector<int> reduced;
    std::vector<std::vector<int>> gather_counts;  // per rank, as each passed them
    std::vector<std::vector<int>> gather_displacements;
    std::vector<int> sent_counts;

private:
    const int size_;
    int arrived_ = 0;
    long generation_ = 0;
    std::condition_variable changed_;
};

class ThreadGroup : public ProcessGroup {
public:
    ThreadGroup(Meeting* meeting, int rank) : meeting_(meeting), rank_(rank) {}

    int size() const override { return meeting_->size(); }
    int rank() const override { return rank_; }

    void broadcast(int* values, int count) override { share(meeting_->ints, values, count); }
    void broadcast(char* values, int count) override { share(meeting_->chars, values, count); }

    void all_gather(const int* sent, int sent_count, int* received, const int* counts,
                    const int* displacements) override {
        const int p = size();
        int total = 0;
        for (int q = 0; q < p; ++q) total += counts[q];
        meeting_->barrier();
        {
            std::lock_guard<std::mutex> lock(meeting_->mutex_);
            if (static_cast<int>(meeting_->gathered.size()) < total) {
                meeting_->gathered.resize(total);
            }
            for (int j = 0; j < sent_count; ++j) {
                meeting_->gathered[displacements[rank_] + j] = sent[j];
            }
            meeting_->gather_counts[rank_].assign(counts, counts + p);
            meeting_->gather_displacements[rank_].assign(displacements, displacements + p);
            meeting_->sent_counts[rank_] = sent_count;
        }
        meeting_->barrier();
        for (int i = 0; i < total; ++i) received[i] = meeting_->gathered[i];
        meeting_->barrier();
    }

    bool any(bool flag) override {
        int value = flag ? 1 : 0;
        largest(&value, 1);
        return value != 0;
    }

    void largest(int* values, int count) override {
        meeting_->barrier();
        if (rank_ == 0) meeting_->reduced.assign(count, INT_MIN);
        meeting_->barrier();
        {
            std::lock_guard<std::mutex> lock(meeting_->mutex_);
            for (int i = 0; i < count; ++i) {
                meeting_->reduced[i] = std::max(meeting_->reduced[i], values[i]);
            }
        }
        meeting_->barrier();
        for (int i = 0; i < count; ++i) values[i] = meeting_->reduced[i];
        meeting_->barrier();
    }

private:
    template <typename T>
    void share(std::vector<T>& slot, T* values, int count) {
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

    Meeting* meeting_;
    int rank_;
};

// A group of `size` analysis objects, each the process of its rank.
struct Group {
    explicit Group(int size) : meeting(size) {
        meeting.gather_counts.resize(size);
        meeting.gather_displacements.resize(size);
        meeting.sent_counts.assign(size, -1);
        for (int r = 0; r < size; ++r) {
            modules.push_back(
                std::make_unique<AnalysisModule>(r, std::make_unique<ThreadGroup>(&meeting, r)));
        }
    }

    // Runs `work` for every rank at once, each on its own thread.
    void run(const std::function<void(AnalysisModule&)>& work) {
        std::vector<std::thread> threads;
        for (auto& m : modules) threads.emplace_back([&work, &m] { work(*m); });
        for (std::thread& t : threads) t.join();
    }

    Meeting meeting;
    std::vector<std::unique_ptr<AnalysisModule>> modules;
};

// Taxa with ids 0 to count - 1, as a run builds them.
std::vector<SeqVector*> make_taxa(AnalysisModule& builder, int count) {
    SequenceData data;
    data.num_seqs = count;
    data.seq_len = 1;
    for (int i = 0; i < count; ++i) {
        data.names.emplace_back(("t" + std::to_string(i)).c_str());
        data.sequences.push_back("A");
    }
    return builder.build_vectors(data);
}

std::vector<int> ids_of(SeqVector** list, int count) {
    std::vector<int> ids;
    for (int j = 0; j < count; ++j) ids.push_back(list[j]->id);
    return ids;
}

}  // namespace

TEST(MpiPair, CodesOfTheTableAndTheirInverse) {
    struct Case {
        int x, y, code;
    };
    const Case cases[] = {{0, 0, 0},
                          {0, 1, 1},
                          {1, 0, 2},
                          {2, 0, 3},
                          {2, 1, 6},
                          {5, 1, 21},
                          // The largest taxon id of an MPI run, on either neuron.
                          {AnalysisModule::kMaxMpiTaxa - 1, 0, 2147302920},
                          {AnalysisModule::kMaxMpiTaxa - 1, 1, 2147395597}};
    for (const Case& c : cases) {
        EXPECT_EQ(AnalysisModule::pair(c.x, c.y), c.code) << c.x << ", " << c.y;
        int x = -1;
        int y = -1;
        AnalysisModule::unpair(c.code, &x, &y);
        EXPECT_EQ(x, c.x) << c.code;
        EXPECT_EQ(y, c.y) << c.code;
    }
    // Every id of an MPI run comes back through its code.
    for (int x = 0; x < AnalysisModule::kMaxMpiTaxa; ++x) {
        for (int y = 0; y < 2; ++y) {
            int back_x = -1;
            int back_y = -1;
            AnalysisModule::unpair(AnalysisModule::pair(x, y), &back_x, &back_y);
            if (back_x != x || back_y != y) {
                FAIL() << "pair(" << x << ", " << y << ") decodes to " << back_x << ", " << back_y;
            }
        }
    }
}

TEST(MpiPairDeathTest, CodeBeyondTheIntRangeIsRefused) {
    EXPECT_EXIT(AnalysisModule::pair(AnalysisModule::kMaxMpiTaxa, 1), testing::ExitedWithCode(3),
                "Assertion failed");
}

TEST(MpiExchange, TwoProcessesFiveTaxa) {
    Group group(2);
    std::vector<SeqVector*> taxa = make_taxa(*group.modules[0], 5);
    for (auto& m : group.modules) m->vectors_by_id = taxa;
    // Process 0 classified inputs 0, 2, 4 and process 1 inputs 1, 3.
    const std::vector<std::vector<std::vector<int>>> classified = {{{0, 4}, {2}}, {{3}, {1}}};
    std::vector<std::vector<int>> lists[2];
    std::mutex results;
    group.run([&](AnalysisModule& m) {
        std::vector<SeqVector*> storage(10);
        SeqVector** members[2] = {storage.data(), storage.data() + 5};
        int counts[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            for (int id : classified[m.rank][k]) members[k][counts[k]++] = taxa[id];
        }
        m.mpi_synch_partitions(members, counts, 5, 2);
        std::lock_guard<std::mutex> lock(results);
        lists[m.rank].push_back(ids_of(members[0], counts[0]));
        lists[m.rank].push_back(ids_of(members[1], counts[1]));
    });
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(group.meeting.gather_counts[r], (std::vector<int>{3, 2})) << r;
        EXPECT_EQ(group.meeting.gather_displacements[r], (std::vector<int>{0, 3})) << r;
        // The block of process 0, then that of process 1, each neuron 0's first.
        EXPECT_EQ(lists[r][0], (std::vector<int>{0, 4, 3})) << r;
        EXPECT_EQ(lists[r][1], (std::vector<int>{2, 1})) << r;
    }
    EXPECT_EQ(group.meeting.sent_counts, (std::vector<int>{3, 2}));
}

TEST(MpiExchange, MoreProcessesThanTaxa) {
    Group group(3);
    std::vector<SeqVector*> taxa = make_taxa(*group.modules[0], 2);
    for (auto& m : group.modules) m->vectors_by_id = taxa;
    std::vector<std::vector<int>> lists[3];
    std::mutex results;
    group.run([&](AnalysisModule& m) {
        std::vector<SeqVector*> storage(4);
        SeqVector** members[2] = {storage.data(), storage.data() + 2};
        int counts[2] = {0, 0};
        // Input 0 goes to neuron 1 on process 0, input 1 to neuron 0 on
        // process 1; process 2 has no input.
        if (m.rank == 0) members[1][counts[1]++] = taxa[0];
        if (m.rank == 1) members[0][counts[0]++] = taxa[1];
        m.mpi_synch_partitions(members, counts, 2, 2);
        std::lock_guard<std::mutex> lock(results);
        lists[m.rank].push_back(ids_of(members[0], counts[0]));
        lists[m.rank].push_back(ids_of(members[1], counts[1]));
    });
    EXPECT_EQ(group.meeting.sent_counts, (std::vector<int>{1, 1, 0}));
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(group.meeting.gather_counts[r], (std::vector<int>{1, 1, 0})) << r;
        EXPECT_EQ(group.meeting.gather_displacements[r], (std::vector<int>{0, 1, 2})) << r;
        EXPECT_EQ(lists[r][0], (std::vector<int>{1})) << r;
        EXPECT_EQ(lists[r][1], (std::vector<int>{0})) << r;
    }
}

// How the processes end when process 0 makes no run, or when a process
// other than 0 refuses its own settings: each process's own status.
TEST(MpiEnd, EveryProcessEndsWithTheSameCode) {
    TempDir dir;
    const std::string output = dir.path("out.tre");
    const AnalysisStatus refused = AnalysisStatus::failure("Error: refused here", 1);
    const AnalysisStatus usage = AnalysisStatus::failure("Syntax Error: here", 2);

    struct Case {
        const char* what;
        int released_code;  // process 0 makes no run and ends with this; 0: it runs
        std::vector<const AnalysisStatus*> refusals;  // per process other than 0; null: none
        int exit_code;                                // of every process
        std::vector<std::string> messages;            // of processes 1 to n - 1
        int other_epochs = 0;  // the budget of processes 1 to n - 1 when not the default
        std::string process_zero_message = "";                 // when process 0 runs
        std::string process_zero_file = "3 2 a AC b AG c TT";  // what process 0 reads
    };
    const Case cases[] = {
        {"process 0 fails", 1, {nullptr, nullptr}, 1, {"", ""}},
        {"process 0 usage", 2, {nullptr, &refused}, 2, {"", ""}},
        {"one refuses", 0, {nullptr, &refused}, 1, {"", "Error: refused here"}},
        {"two refuse", 0, {&usage, &refused}, 2, {"Syntax Error: here", "Error: refused here"}},
        {"budgets differ",
         0,
         {nullptr, nullptr},
         1,
         {"", ""},
         7,
         "Error: epochs must be the same on every MPI process, not from 7 to 100"},
        {"a refusal goes first", 0, {nullptr, &usage}, 2, {"", "Syntax Error: here"}, 7},
        // The run itself tells the others when it fails before sharing its input.
        {"process 0's file is refused",
         0,
         {nullptr, nullptr},
         1,
         {"", ""},
         0,
         "UNKNOWN BASE: X",
         "2 2 a AC b AX"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string input = dir.write("in.txt", c.process_zero_file);
        Group group(3);
        std::vector<AnalysisStatus> ends(3, AnalysisStatus::success());
        group.run([&](AnalysisModule& m) {
            AnalysisStatus end = AnalysisStatus::success();
            if (m.rank == 0) {
                if (c.released_code) {
                    m.release_group(c.released_code);
                    end = AnalysisStatus::failure("process 0's own line", c.released_code);
                } else {
                    EXPECT_TRUE(m.set_input_path(input).ok());
                    EXPECT_TRUE(m.set_output_path(output).ok());
                    AnalysisModule::run(&m);
                    end = m.run_status;
                }
            } else {
                const AnalysisStatus* refusal = c.refusals[m.rank - 1];
                if (c.other_epochs) m.set_epochs(c.other_epochs);
                if (refusal) {
                    end = m.refuse_run(*refusal);
                } else {
                    AnalysisModule::run(&m);
                    end = m.run_status;
                }
            }
            ends[m.rank] = end;
        });
        for (int r = 0; r < 3; ++r) EXPECT_EQ(ends[r].exit_code(), c.exit_code) << r;
        if (!c.released_code) {
            EXPECT_EQ(ends[0].message(), c.process_zero_message);
        }
        for (int r = 1; r < 3; ++r) EXPECT_EQ(ends[r].message(), c.messages[r - 1]) << r;
        EXPECT_EQ(read_file(output), "") << "no tree line";
    }
}
