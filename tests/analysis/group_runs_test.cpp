// Whole runs of a group in one process: each process is a thread with its
// own analysis object, and the group's collectives meet in memory.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/straightforwardepochcompute.h"
#include "testsupport.h"
#include "threadgroup.h"

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
        ModuleGroup group(3);
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

// Every form of the epochs and every way of sharing them gives the group's
// line: the processes sharing a group's epochs, or one process training it
// alone as the group would, with either form of the arithmetic, and with a
// window on process 0 (every process then grows the tree in recursion
// order, and all must run process 0's epochs, failed attempts included).
TEST(MpiPaths, EveryFormAndWayOfSharingWritesTheGroupsLine) {
    TempDir dir;
    struct Input {
        std::string file;
        std::vector<std::string> tuning;  // conscience rate, epochs
    };
    const Input inputs[] = {
        {dir.write("sim.txt", simulated_file(40, 150, 3)), {"0.001", "100"}},
        // Without conscience most attempts fail: attempts go on from the
        // one before, and groups of one input per process settle.
        {dir.write("hard.txt", simulated_file(17, 60, 8)), {"0", "3"}},
    };
    struct Way {
        const char* what;
        EpochComputeFactory form;
        long long shared_work;
        int threads;
        bool window = false;
    };
    const Way ways[] = {
        {"fast, groups shared from the default size", make_fast_epoch_compute,
         AnalysisOptions::kSharedEpochWork, 1},
        {"fast, every group shared", make_fast_epoch_compute, 0, 2},
        {"fast, no group shared", make_fast_epoch_compute, LLONG_MAX, 2},
        {"straightforward, every group shared", make_straightforward_epoch_compute, 0, 1},
        {"straightforward, no group shared", make_straightforward_epoch_compute, LLONG_MAX, 1},
        {"fast, every group shared, a window on process 0", make_fast_epoch_compute, 0, 2, true},
        {"fast, no group shared, a window on process 0", make_fast_epoch_compute, LLONG_MAX, 2,
         true},
    };
    for (const Input& input : inputs) {
        std::string first;
        for (const Way& way : ways) {
            SCOPED_TRACE(way.what);
            const std::string output = dir.path("out.tre");
            std::remove(output.c_str());
            ModuleGroup group(3);
            RecordingFrontEnd window;
            group.run([&](AnalysisModule& m) {
                m.options.epoch_compute = way.form;
                m.options.shared_epoch_work = way.shared_work;
                m.options.worker_threads = way.threads;
                m.set_conscience_learning_rate(std::stod(input.tuning[0]));
                m.set_epochs(std::stoi(input.tuning[1]));
                std::ostringstream quiet;
                m.options.console = &quiet;
                if (m.rank == 0) {
                    EXPECT_TRUE(m.set_input_path(input.file).ok());
                    EXPECT_TRUE(m.set_output_path(output).ok());
                    if (way.window) m.gui = &window;
                }
                AnalysisModule::run(&m);
                EXPECT_TRUE(m.run_status.ok()) << m.run_status.message();
                m.options.console = &std::cout;
            });
            const std::string line = read_file(output);
            ASSERT_EQ(lines_of(line).size(), 1u);
            if (first.empty()) first = line;
            EXPECT_EQ(line, first);
        }
    }
}

// A group of one input per process can settle: equal neurons that the
// update no longer moves, and every process's conscience the same. Its
// attempts stop there; the lines must be those of running them out.
TEST(MpiPaths, SettledGroupsEndAsIfEveryEpochRan) {
    TempDir dir;
    const std::string inputs[] = {
        dir.write("equal.txt", "3 2 a AC b AC c AC"),
        dir.write("close.txt", "3 4 a ACGT b ACGA c ACTT"),
        dir.write("four.txt", "4 3 a ACG b ACG c TCG d ACC"),
    };
    int settled = 0;
    for (const std::string& input : inputs) {
        for (const char* conscience : {"0.001", "0.2"}) {
            SCOPED_TRACE(input + " c=" + conscience);
            struct Outcome {
                std::string tree;
                std::vector<std::string> console;
                long long epochs = 0;
            };
            Outcome outcomes[2];
            for (const bool stop : {false, true}) {
                const std::string output = dir.path("out.tre");
                std::remove(output.c_str());
                ModuleGroup group(4);
                std::vector<std::string> consoles(4);
                group.run([&](AnalysisModule& m) {
                    m.options.stop_settled_groups = stop;
                    m.options.worker_threads = 1;
                    m.set_conscience_learning_rate(std::stod(conscience));
                    m.set_convergence_threshold(0.0);
                    m.set_epochs(2000);
                    std::ostringstream console;
                    m.options.console = &console;
                    if (m.rank == 0) {
                        EXPECT_TRUE(m.set_input_path(input).ok());
                        EXPECT_TRUE(m.set_output_path(output).ok());
                    }
                    AnalysisModule::run(&m);
                    EXPECT_TRUE(m.run_status.ok()) << m.run_status.message();
                    m.options.console = &std::cout;
                    consoles[m.rank] = console.str();
                    if (m.rank == 0) outcomes[stop].epochs = m.counters.epochs;
                });
                outcomes[stop].tree = read_file(output);
                outcomes[stop].console = lines_of(consoles[0]);
                for (int r = 1; r < 4; ++r) EXPECT_EQ(consoles[r], consoles[0]) << r;
            }
            EXPECT_EQ(outcomes[true].tree, outcomes[false].tree);
            EXPECT_EQ(outcomes[true].console, outcomes[false].console);
            EXPECT_LE(outcomes[true].epochs, outcomes[false].epochs);
            if (outcomes[true].epochs < outcomes[false].epochs) ++settled;
        }
    }
    // The inputs are chosen so that some groups do settle.
    EXPECT_GT(settled, 0);
}

// The window's "Quit" during a run of a group: process 0 asks to cancel,
// every process learns it at its next exchange (after a shared epoch, or at
// a meeting between unshared ones), and all end together, silently with
// exit code 0, with nothing appended. Even a request after the last
// exchange keeps the tree out.
TEST(MpiCancel, EveryProcessEndsTheCancelledRunTogether) {
    TempDir dir;
    const std::string input = dir.write("sim.txt", simulated_file(40, 150, 3));
    const std::string output = dir.path("out.tre");
    // A window that asks to cancel the run at its n-th call.
    class QuittingWindow : public RecordingFrontEnd {
    public:
        QuittingWindow(AnalysisModule* module, std::size_t quit_at)
            : module_(module), quit_at_(quit_at) {}
        void add_value(int value) override {
            RecordingFrontEnd::add_value(value);
            note();
        }
        void make_leaf(TreeNode* n, SeqVector* taxon) override {
            RecordingFrontEnd::make_leaf(n, taxon);
            note();
        }
        void add_leaves(TreeNode* n, const CharString& a, const CharString& b) override {
            RecordingFrontEnd::add_leaves(n, a, b);
            note();
        }

    private:
        void note() {
            if (calls.size() == quit_at_) module_->cancel_run();
        }
        AnalysisModule* module_;
        std::size_t quit_at_;
    };
    struct Case {
        const char* what;
        long long shared_work;
        // 0: the last call of the window.
        std::size_t quit_at;
    };
    const Case cases[] = {
        {"during shared epochs", 0, 500},
        {"during unshared epochs", LLONG_MAX, 500},
        {"after the last exchange", LLONG_MAX, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The calls of the window in a whole run, and the epochs it takes.
        std::size_t window_calls = 0;
        long long whole_run_epochs = 0;
        for (const bool quit : {false, true}) {
            std::remove(output.c_str());
            ModuleGroup group(3);
            std::vector<long long> epochs(3, 0);
            std::vector<AnalysisStatus> ends(3, AnalysisStatus::success());
            QuittingWindow window(group.modules[0].get(), !quit       ? 0
                                                          : c.quit_at ? c.quit_at
                                                                      : window_calls);
            group.run([&](AnalysisModule& m) {
                m.options.shared_epoch_work = c.shared_work;
                m.options.cancel_check_work = 1 << 16;
                m.options.worker_threads = 1;
                std::ostringstream quiet;
                m.options.console = &quiet;
                if (m.rank == 0) {
                    EXPECT_TRUE(m.set_input_path(input).ok());
                    EXPECT_TRUE(m.set_output_path(output).ok());
                    m.gui = &window;
                }
                AnalysisModule::run(&m);
                m.options.console = &std::cout;
                epochs[m.rank] = m.counters.epochs;
                ends[m.rank] = m.run_status;
            });
            if (!quit) {
                ASSERT_TRUE(ends[0].ok()) << ends[0].message();
                window_calls = window.calls.size();
                whole_run_epochs = epochs[0];
                continue;
            }
            EXPECT_EQ(read_file(output), "");
            EXPECT_FALSE(ends[0].ok());
            for (int r = 0; r < 3; ++r) {
                EXPECT_EQ(ends[r].exit_code(), 0) << r;
                EXPECT_EQ(ends[r].message(), "") << r;
                // Every process stopped at the same epoch.
                EXPECT_EQ(epochs[r], epochs[0]) << r;
            }
            if (c.quit_at != 0) {
                EXPECT_LT(epochs[0], whole_run_epochs);
            }
        }
    }
}
