// The analysis object: its settings and paths, its runs from a sequence
// file to a tree line, what a refused resource does to a run, and its
// exchange with the other processes of a group.

#include "analysis/analysismodule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <limits>
#include <mutex>
#include <new>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "analysis/analysisfrontend.h"
#include "testsupport.h"
#include "threadgroup.h"

namespace {

struct RunOutcome {
    AnalysisStatus status = AnalysisStatus::success();
    std::vector<std::string> console;
    std::string tree_file;
};

// One run of a module on a sequence file made from `contents`.
RunOutcome run_on(AnalysisModule& module, const std::string& contents) {
    TempDir dir;
    const std::string input = dir.write("input.txt", contents);
    const std::string output = dir.path("out.tre");
    EXPECT_TRUE(module.set_input_path(input).ok());
    EXPECT_TRUE(module.set_output_path(output).ok());
    std::ostringstream console;
    module.options.console = &console;
    AnalysisModule::run(&module);
    module.options.console = &std::cout;
    return {module.run_status, lines_of(console.str()), read_file(output)};
}

RunOutcome run_on(const std::string& contents) {
    AnalysisModule module;
    return run_on(module, contents);
}

int count_lines(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.compare(0, prefix.size(), prefix) == 0;
    }));
}

std::unique_ptr<EpochCompute> refuse_memory(const EpochSetup&) {
    throw std::bad_alloc();
}

std::unique_ptr<EpochCompute> refuse_resource(const EpochSetup&) {
    throw std::system_error(EAGAIN, std::generic_category());
}

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

}  // namespace

TEST(SequencePaths, OpeningRules) {
    TempDir dir;
    AnalysisModule module;
    const std::string missing = dir.path("missing.txt");
    EXPECT_EQ(module.set_input_path(missing).message(),
              "Error: Input file " + missing + " not found");
    EXPECT_EQ(module.input_path, "");

    const std::string missing_dir = dir.path("no/such/dir/out.tre");
    EXPECT_EQ(module.set_output_path(missing_dir).message(),
              "Error: Output file " + missing_dir + " could not be created");
    EXPECT_FALSE(file_exists(missing_dir));

    // The paths are copies: the caller's text may change afterwards.
    std::string fresh = dir.path("out.tre");
    EXPECT_TRUE(module.set_output_path(fresh).ok());
    const std::string accepted = fresh;
    fresh.assign(fresh.size(), 'x');
    EXPECT_EQ(module.output_path, accepted);
    fresh = accepted;
    EXPECT_TRUE(file_exists(fresh));
    EXPECT_EQ(read_file(fresh), "");

    // Appending: an existing tree file keeps its lines.
    const std::string kept = dir.write("kept.tre", "(a,b);\n");
    EXPECT_TRUE(module.set_output_path(kept).ok());
    EXPECT_EQ(read_file(kept), "(a,b);\n");
}

TEST(Settings, DistanceModelByName) {
    AnalysisModule module;
    EXPECT_EQ(module.distance_metric, euclidian_distance);
    EXPECT_TRUE(module.set_distance_metric("K2P"));
    EXPECT_EQ(module.distance_metric, k2p_distance);
    EXPECT_FALSE(module.set_distance_metric("Euclidean"));
    EXPECT_EQ(module.distance_metric, k2p_distance);
}

TEST(Settings, RunnableSettingsOnly) {
    struct Case {
        int epochs;
        double conscience, kohonen, threshold;
        const char* message;  // empty: accepted
    };
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {100, 0.001, 0.04, 0.25, ""},
        {1, 0.0, 0.0, -1.0, ""},
        {0, 0.001, 0.04, 0.25, "Error: epochs must be at least 1, not 0"},
        {-5, 0.001, 0.04, 0.25, "Error: epochs must be at least 1, not -5"},
        {100, 1.0, 0.04, 0.25,
         "Error: conscience_learning_rate must be at least 0 and below 1, not 1"},
        {100, -0.1, 0.04, 0.25,
         "Error: conscience_learning_rate must be at least 0 and below 1, not -0.1"},
        {100, 0.001, -0.5, 0.25,
         "Error: kohonen_learning_rate must be a finite number of at least 0, not -0.5"},
        {100, 0.001, inf, 0.25,
         "Error: kohonen_learning_rate must be a finite number of at least 0, not inf"},
        {100, 0.001, 0.04, nan, "Error: convergence_threshold must be a finite number, not nan"},
    };
    for (const Case& c : cases) {
        AnalysisModule module;
        module.set_epochs(c.epochs);
        module.set_conscience_learning_rate(c.conscience);
        module.set_kohonen_learning_rate(c.kohonen);
        module.set_convergence_threshold(c.threshold);
        const AnalysisStatus status = module.check_settings();
        EXPECT_EQ(status.message(), c.message);
        EXPECT_EQ(status.ok(), std::string(c.message).empty());
    }
}

TEST(Newick, SmallRuns) {
    struct Case {
        const char* file;
        const char* line;
    };
    const Case cases[] = {
        {"0 0", ";\n"},
        {"", ";\n"},
        {"1 4 a ACGT", "a;\n"},
        {"2 4 a ACGT b TTTT", "(a,b);\n"},
    };
    for (const Case& c : cases) {
        const RunOutcome outcome = run_on(c.file);
        EXPECT_TRUE(outcome.status.ok()) << c.file;
        EXPECT_EQ(outcome.tree_file, c.line) << c.file;
    }
}

TEST(Newick, ThreeTaxaSplitIntoOneAndTwo) {
    const RunOutcome outcome = run_on("3 4 a AAAA b AAAT c GGGG");
    ASSERT_TRUE(outcome.status.ok());
    const std::vector<std::string> lines = lines_of(outcome.tree_file);
    ASSERT_EQ(lines.size(), 1u);
    std::vector<std::string> names = newick_names(lines[0]);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c"}));
    // One bare name and one pair, in either order.
    const std::string& t = lines[0];
    EXPECT_TRUE(t.size() == 10u && t[0] == '(' && t.substr(t.size() - 2) == ");") << t;
    EXPECT_EQ(std::count(t.begin(), t.end(), '('), 2) << t;
    EXPECT_EQ(outcome.console,
              (std::vector<std::string>{"Num_seqs: 3",
                                        "Num_seqs: " + std::string(1, t[1] == '(' ? '2' : '1'),
                                        "Num_seqs: " + std::string(1, t[1] == '(' ? '1' : '2')}));
}

// A name that needs quotes reaches the tree line in its Newick form.
TEST(Newick, QuotedNamesInTheTreeLine) {
    EXPECT_EQ(run_on("2 1 it's A b(2) C").tree_file, "('it''s','b(2)');\n");
}

TEST(Partition, EverySimulatedTaxonAppearsOnce) {
    const int taxa = 40;
    const RunOutcome outcome = run_on(simulated_file(taxa, 120, 11));
    ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
    const std::vector<std::string> lines = lines_of(outcome.tree_file);
    ASSERT_EQ(lines.size(), 1u);
    std::vector<std::string> names = newick_names(lines[0]);
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected;
    for (int i = 0; i < taxa; ++i) expected.push_back("taxon_" + std::to_string(i));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '('),
              std::count(lines[0].begin(), lines[0].end(), ')'));
    // A binary tree of n leaves has n - 1 inner nodes, each one call, plus the single leaves.
    EXPECT_GE(count_lines(outcome.console, "Num_seqs: "), taxa / 2);
}

TEST(Partition, SameInputSameLineAndASecondRunInTheSameProcessToo) {
    const std::string file = simulated_file(25, 80, 3);
    for (const char* model : {"Euclidian", "JC", "F81", "F84", "K2P"}) {
        AnalysisModule module;
        ASSERT_TRUE(module.set_distance_metric(model));
        const RunOutcome first = run_on(module, file);
        const RunOutcome second = run_on(module, file);
        const RunOutcome fresh = run_on(file + " ");
        ASSERT_TRUE(first.status.ok()) << model;
        EXPECT_EQ(first.tree_file, second.tree_file) << model;
        EXPECT_EQ(first.console, second.console) << model;
        if (std::string(model) == "Euclidian") {
            EXPECT_EQ(first.tree_file, fresh.tree_file);
        }
    }
}

TEST(Partition, FirstEpochIsDecidedByTheBiases) {
    // Both neurons are equal in the first epoch: input 0 ties and goes to
    // neuron 0, then neuron 1 has the smaller bias and takes input 1, then
    // neuron 0 again by a hair. One epoch leaves sides {a, c} and {b}.
    AnalysisModule module;
    module.set_epochs(1);
    const RunOutcome outcome = run_on(module, "3 4 a AAAA b CCCC c GGGG");
    ASSERT_TRUE(outcome.status.ok());
    EXPECT_EQ(outcome.tree_file, "((a,c),b);\n");
    EXPECT_EQ(outcome.console,
              (std::vector<std::string>{"Num_seqs: 3", "Num_seqs: 2", "Num_seqs: 1"}));
}

TEST(Partition, IdenticalTaxaEndInTheFarthestPairSplit) {
    // No conscience: every input of an epoch goes to the same neuron, so no
    // attempt ever finds two sides.
    AnalysisModule module;
    module.set_conscience_learning_rate(0.0);
    module.set_epochs(1);
    const RunOutcome outcome = run_on(module, "4 3 a ACG b ACG c ACG d ACG");
    ASSERT_TRUE(outcome.status.ok());
    EXPECT_EQ(outcome.tree_file, "(((a,b),c),d);\n");
    EXPECT_EQ(count_lines(outcome.console,
                          "Warning: no split found for 4 taxa; splitting by the "
                          "farthest pair"),
              1);
    EXPECT_EQ(count_lines(outcome.console, "Warning: no split found for 3 taxa;"), 1);
    // The winner is the farther neuron (the models are negated distances), so
    // the two neurons take every input of an epoch in turn and each moves
    // only every other epoch, by a factor 0.96 per member. An attempt
    // converges once the winner is within RMS 0.25 of the taxa, from
    // sqrt(0.75): after 31 moves or more (0.96^31 < 0.25 / sqrt(0.75)). Four
    // taxa: epoch 17 (8 turns of 4 moves); three taxa: epoch 23 (11 turns of
    // 3). Budgets 1, 2, 4, 8 and 16 fail without converging; budget 32
    // converges with a side empty and is not repeated: six lines per step.
    EXPECT_EQ(count_lines(outcome.console, "Error: Zero partition"), 12);
}

TEST(Partition, FarthestPairSplitTakesTheFirstFarthestTaxa) {
    // Every attempt converges at once with a side empty, so every step
    // ends in the farthest-pair split. Any two different letters are at
    // squared distance 2: all taxa tie. The first farthest from a is b, the
    // first farthest from b is a; c and d are as far from both and go with
    // b's side: {b, c, d} and {a}. Then {b, c, d} splits into {c, d} and {b}.
    AnalysisModule module;
    module.set_conscience_learning_rate(0.0);
    module.set_convergence_threshold(10.0);
    const RunOutcome outcome = run_on(module, "4 1 a A b C c G d T");
    ASSERT_TRUE(outcome.status.ok());
    EXPECT_EQ(outcome.tree_file, "(((c,d),b),a);\n");
}

TEST(Partition, KohonenStepMovesEachCoordinateByTheRate) {
    AnalysisModule module;
    module.set_kohonen_learning_rate(0.25);
    SeqVector neuron, taxon;
    neuron.allocate(2);
    taxon.set_letters("GC");  // (1, 1, 0), (0, 1, 1)
    struct Point {
        double x, y, z;
    };
    const Point start[] = {{0.5, 0.25, 0.75}, {1.0, 0.0, 0.5}};
    for (int i = 0; i < 2; ++i) {
        neuron.data[i].x = start[i].x;
        neuron.data[i].y = start[i].y;
        neuron.data[i].z = start[i].z;
    }
    module.kohonen_update(&neuron, &taxon);
    // n + 0.25 (x - n), coordinate by coordinate.
    const Point expected[] = {{0.625, 0.4375, 0.5625}, {0.75, 0.25, 0.625}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(neuron.data[i].x, expected[i].x) << i;
        EXPECT_EQ(neuron.data[i].y, expected[i].y) << i;
        EXPECT_EQ(neuron.data[i].z, expected[i].z) << i;
    }
}

TEST(Partition, TwoModulesOnTwoThreadsRunAsEachDoesAlone) {
    // Different base frequencies under F81 and F84, so that constants
    // shared between the runs would change a line; ThreadSanitizer sees any
    // state the two share.
    TempDir dir;
    struct Job {
        std::string input;
        const char* model;
        std::string output;
        std::string alone;
    };
    Job jobs[] = {
        {dir.write("a.txt", simulated_file(30, 90, 21)), "F81", dir.path("a.tre"), ""},
        {dir.write("b.txt",
                   "8 6\nb1 AAAAGC\nb2 AAAGGC\nb3 AATAGC\nb4 GAAAGT\n"
                   "b5 CCTTAA\nb6 CCTTGA\nb7 CTTTAA\nb8 CCTCAA\n"),
         "F84", dir.path("b.tre"), ""},
    };
    auto run_job = [](const Job& job) {
        AnalysisModule module;
        std::ostringstream console;
        module.options.console = &console;
        EXPECT_TRUE(module.set_distance_metric(job.model));
        EXPECT_TRUE(module.set_input_path(job.input).ok());
        EXPECT_TRUE(module.set_output_path(job.output).ok());
        AnalysisModule::run(&module);
        EXPECT_TRUE(module.run_status.ok()) << module.run_status.message();
    };
    for (Job& job : jobs) {
        run_job(job);
        job.alone = read_file(job.output);
        ASSERT_EQ(lines_of(job.alone).size(), 1u);
    }
    std::thread first(run_job, std::cref(jobs[0]));
    std::thread second(run_job, std::cref(jobs[1]));
    first.join();
    second.join();
    for (const Job& job : jobs) EXPECT_EQ(read_file(job.output), job.alone + job.alone);
}

TEST(Partition, ConvergedAttemptWithAnEmptySideIsNotRepeated) {
    AnalysisModule module;
    module.set_conscience_learning_rate(0.0);
    module.set_epochs(INT_MAX / 2 + 1);
    module.set_convergence_threshold(10.0);  // every attempt converges in its first epoch
    const RunOutcome outcome = run_on(module, "3 2 a AC b AC c AC");
    ASSERT_TRUE(outcome.status.ok());
    // Converged with a side empty: one attempt, no repeats; the pair left needs no split.
    EXPECT_EQ(count_lines(outcome.console, "Error: Zero partition"), 1);
    EXPECT_EQ(count_lines(outcome.console, "Warning: no split found"), 1);
}

TEST(Partition, CallLimitEndsTheRunWithoutAppending) {
    const std::string file = "5 2 a AA b AC c CC d GG e TT";
    struct Case {
        int limit;
        bool finishes;
    };
    // Five taxa need at least five calls (two splits of three or more
    // taxa, at least three groups of one or two): a limit of 3 lets 4
    // calls pass, a limit of 8 lets 9 pass.
    const Case cases[] = {{3, false}, {8, true}};
    for (const Case& c : cases) {
        TempDir dir;
        const std::string out = dir.write("out.tre", "(kept,line);\n");
        AnalysisModule module;
        module.options.call_limit = c.limit;
        const std::string input = dir.write("in.txt", file);
        ASSERT_TRUE(module.set_input_path(input).ok());
        ASSERT_TRUE(module.set_output_path(out).ok());
        std::ostringstream console;
        module.options.console = &console;
        AnalysisModule::run(&module);
        if (c.finishes) {
            EXPECT_TRUE(module.run_status.ok()) << c.limit;
            EXPECT_EQ(lines_of(read_file(out)).size(), 2u) << c.limit;
        } else {
            EXPECT_EQ(module.run_status.message(), "Hardcoded limit reached... exiting");
            EXPECT_EQ(module.run_status.exit_code(), 1);
            EXPECT_EQ(read_file(out), "(kept,line);\n");
            // The recursion stops at the limit: no progress line after it.
            EXPECT_EQ(count_lines(lines_of(console.str()), "Num_seqs: "), c.limit + 2);
        }
        // A second run of the same module counts its own calls afresh.
        module.options.call_limit = AnalysisOptions::kCallLimit;
        AnalysisModule::run(&module);
        EXPECT_TRUE(module.run_status.ok());
    }
}

TEST(Partition, FrontEndSeesTheTreeGrowAndTheErrors) {
    AnalysisModule module;
    RecordingFrontEnd front;
    module.gui = &front;
    const RunOutcome outcome = run_on(module, "3 4 a AAAA b AAAT c GGGG");
    ASSERT_TRUE(outcome.status.ok());
    ASSERT_EQ(front.log.size(), 3u);
    EXPECT_EQ(front.log[0], "split 0 2 0");
    // Children 1 and 2 receive a leaf and a pair, in Newick order.
    const std::string& t = outcome.tree_file;
    if (t[1] == '(') {
        EXPECT_EQ(front.log[1].substr(0, 9), "leaves 1 ");
        EXPECT_EQ(front.log[2].substr(0, 7), "leaf 2 ");
    } else {
        EXPECT_EQ(front.log[1].substr(0, 7), "leaf 1 ");
        EXPECT_EQ(front.log[2].substr(0, 9), "leaves 2 ");
    }
    ASSERT_FALSE(front.values.empty());
    // The first value of a fresh neuron: RMS error sqrt(0.75) = 0.866 gives 86.
    EXPECT_EQ(front.values[0], 86);
    for (int v : front.values) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 142);
    }
}

TEST(RunRefusal, RefusedResourcesEndTheRunWithALineAndAppendNothing) {
    struct Case {
        EpochComputeFactory factory;
        std::string line;
    };
    const Case cases[] = {
        {refuse_memory, "Error: not enough memory to analyse 4 x 6 positions"},
        {refuse_resource,
         "Error: The system refused the run a resource: Resource temporarily unavailable"},
    };
    TempDir dir;
    const std::string input =
        dir.write("in.txt", "4 6\nalpha ACGTAC\nbeta ACGTAA\ngamma TTGCAC\ndelta TTGCAA\n");
    const std::string out = dir.write("out.tre", "(old,tree);\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        AnalysisModule module;
        std::ostringstream console;
        module.options.console = &console;
        ASSERT_TRUE(module.set_input_path(input).ok());
        ASSERT_TRUE(module.set_output_path(out).ok());
        module.options.epoch_compute = c.factory;
        AnalysisModule::run(&module);
        EXPECT_EQ(module.run_status.message(), c.line);
        EXPECT_EQ(module.run_status.exit_code(), 1);
        EXPECT_EQ(read_file(out), "(old,tree);\n");

        // The object is whole: its next run appends its line.
        module.options.epoch_compute = make_fast_epoch_compute;
        AnalysisModule::run(&module);
        EXPECT_TRUE(module.run_status.ok()) << module.run_status.message();
        const std::vector<std::string> tree = lines_of(read_file(out));
        ASSERT_EQ(tree.size(), 2u);
        // The sample's line with the default settings (cli_test.cpp derives
        // it from the training rules).
        EXPECT_EQ(tree[1], "((beta,delta),(alpha,gamma));");
        dir.write("out.tre", "(old,tree);\n");
    }
}

// The exchange after a shared epoch, between the analysis objects of a
// group: each process is a thread, and the collectives meet in memory.
TEST(MpiExchange, TwoProcessesFiveTaxa) {
    ModuleGroup group(2);
    std::vector<SeqVector*> taxa = make_taxa(*group.modules[0], 5);
    for (auto& m : group.modules) m->vectors_by_id = taxa;
    // Process 0 classified inputs 0, 2, 4 and process 1 inputs 1, 3.
    const std::vector<std::vector<std::vector<int>>> classified = {{{0, 4}, {2}}, {{3}, {1}}};
    // Only process 1 converged: every process learns that one did.
    for (const bool converged_on_1 : {true, false}) {
        SCOPED_TRACE(converged_on_1 ? "process 1 converged" : "none converged");
        std::vector<std::vector<int>> lists[2];
        bool any[2] = {!converged_on_1, !converged_on_1};
        std::mutex results;
        group.run([&](AnalysisModule& m) {
            std::vector<SeqVector*> storage(10);
            SeqVector** members[2] = {storage.data(), storage.data() + 5};
            int counts[2] = {0, 0};
            for (int k = 0; k < 2; ++k) {
                for (int id : classified[m.rank][k]) members[k][counts[k]++] = taxa[id];
            }
            const bool converged =
                m.mpi_synch_partitions(members, counts, 5, 2, converged_on_1 && m.rank == 1);
            std::lock_guard<std::mutex> lock(results);
            any[m.rank] = converged;
            lists[m.rank].push_back(ids_of(members[0], counts[0]));
            lists[m.rank].push_back(ids_of(members[1], counts[1]));
        });
        for (int r = 0; r < 2; ++r) {
            // Each block: the codes of the process's inputs, then its flag.
            EXPECT_EQ(group.meeting.gather_counts[r], (std::vector<int>{4, 3})) << r;
            EXPECT_EQ(group.meeting.gather_displacements[r], (std::vector<int>{0, 4})) << r;
            // The block of process 0, then that of process 1, each neuron 0's first.
            EXPECT_EQ(lists[r][0], (std::vector<int>{0, 4, 3})) << r;
            EXPECT_EQ(lists[r][1], (std::vector<int>{2, 1})) << r;
            EXPECT_EQ(any[r], converged_on_1) << r;
        }
        EXPECT_EQ(group.meeting.sent_counts, (std::vector<int>{4, 3}));
    }
}

TEST(MpiExchange, MoreProcessesThanTaxa) {
    ModuleGroup group(3);
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
        m.mpi_synch_partitions(members, counts, 2, 2, false);
        std::lock_guard<std::mutex> lock(results);
        lists[m.rank].push_back(ids_of(members[0], counts[0]));
        lists[m.rank].push_back(ids_of(members[1], counts[1]));
    });
    // The surplus process sends its flag alone.
    EXPECT_EQ(group.meeting.sent_counts, (std::vector<int>{2, 2, 1}));
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(group.meeting.gather_counts[r], (std::vector<int>{2, 2, 1})) << r;
        EXPECT_EQ(group.meeting.gather_displacements[r], (std::vector<int>{0, 2, 4})) << r;
        EXPECT_EQ(lists[r][0], (std::vector<int>{1})) << r;
        EXPECT_EQ(lists[r][1], (std::vector<int>{0})) << r;
    }
}
