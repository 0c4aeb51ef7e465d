#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysisfrontend.h"
#include "analysis/analysismodule.h"
#include "analysis/newicklabel.h"
#include "testsupport.h"

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

}  // namespace

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

TEST(Newick, NamesWithNewickCharactersAreQuoted) {
    struct Case {
        const char* name;
        const char* label;
    };
    const Case cases[] = {
        {"plain_name", "plain_name"}, {"H.sapiens", "H.sapiens"}, {"a:b", "'a:b'"},
        {"x(1)", "'x(1)'"},           {"one,two", "'one,two'"},   {"semi;", "'semi;'"},
        {"[note]", "'[note]'"},       {"O'Brien", "'O''Brien'"},  {"say\"hi\"", "'say\"hi\"'"},
        {"back\\", "'back\\'"},       {"{set}", "'{set}'"},       {"k=v", "'k=v'"},
    };
    for (const Case& c : cases) EXPECT_EQ(newick_label(c.name), c.label) << c.name;
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
