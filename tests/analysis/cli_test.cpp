#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "testsupport.h"

namespace {

const char kSample[] = "4 6\nalpha ACGTAC\nbeta ACGTAA\ngamma TTGCAC\ndelta TTGCAA\n";

// The sample's line with the default settings. The first epoch's biases
// alone decide (the neurons are equal): alpha to neuron 0, beta to 1, gamma
// to 0, delta to 1. alpha and beta differ only at the last position, as do
// gamma and delta, so each neuron then moves alike at positions 1 to 5 and
// the neurons differ at the last one only, neuron 0 towards C, neuron 1
// towards A. The winner is the farther neuron (the model values are negated
// distances), and the biases differ too little to overrule it: in every
// epoch alpha and gamma (C) go to the neuron farther from C and move it
// past the other, beta and delta (A) to the other neuron. So the two
// exchange their members every epoch, no RMS error comes near 0.25 (each
// neuron is pulled between ACGT and TTGC), and after the 100th epoch,
// even, neuron 0 holds beta and delta: side 0. Each pair keeps input order.
const char kSampleLine[] = "((beta,delta),(alpha,gamma));";

}  // namespace

TEST(CliDriver, MessagesAndExitCodes) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kSample);
    const std::string out = dir.path("out.tre");
    const std::string missing = dir.path("missing.txt");
    const std::string bad_dir = dir.path("none/out.tre");
    const std::string bad_letter = dir.write("bad.txt", "2 3 a ACG b ACX");
    const std::string truncated = dir.write("short.txt", "3 3 a ACG b ACG");

    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> lines;  // without the progress lines
        int exit_code;
        std::string tree;  // the one line appended to out; empty: none
    };
    const std::string input_syntax = "Syntax Error: nogui argument requires input_path argument";
    const std::string output_syntax = "Syntax Error: nogui argument requires output_path argument";
    // The line of the settings that the last occurrences give.
    const std::string k2p_out = dir.path("k2p.tre");
    ASSERT_EQ(run_tavrel(
                  {"-nogui", "-input_path", in, "-output_path", k2p_out, "-distance_metric", "K2P"})
                  .exit_code,
              0);
    const std::vector<std::string> k2p = lines_of(read_file(k2p_out));
    ASSERT_EQ(k2p.size(), 1u);
    // clang-format off
    const Case cases[] = {
        {{"-nogui", "-input_path", in, "-output_path", out}, {}, 0, kSampleLine},
        {{"-nogui"}, {input_syntax, output_syntax}, 2, ""},
        {{"-nogui", "-output_path", out}, {input_syntax}, 2, ""},
        {{"-nogui", "-output_path", out, "-distance_metric", "jc"},
         {input_syntax, "Unknown distance metric (model)"}, 1, ""},
        {{"-nogui", "-input_path", missing}, {"Error: Input file " + missing + " not found"}, 1,
         ""},
        {{"-nogui", "-input_path", in, "-output_path", bad_dir},
         {"Error: Output file " + bad_dir + " could not be created"}, 1, ""},
        {{"-nogui", "-input_path", in, "-output_path", out, "-distance_metric", "Euclidean"},
         {"Unknown distance metric (model)"}, 1, ""},
        {{"-nogui", "-input_path", in, "-output_path", out, "-epochs"},
         {"Syntax Error: -epochs requires a value"}, 2, ""},
        {{"-nogui", "-input_path", in, "-output_path"},
         {"Syntax Error: -output_path requires a value"}, 2, ""},
        {{"-nogui", "-input_path", in, "-output_path", out, "-epochs", "none"},
         {"Error: epochs must be at least 1, not 0"}, 1, ""},
        {{"-nogui", "-input_path", in, "-output_path", out, "-conscience_learning_rate", "1"},
         {"Error: conscience_learning_rate must be at least 0 and below 1, not 1"}, 1, ""},
        {{"-nogui", "-input_path", in, "-output_path", out, "-kohonen_learning_rate", "-2"},
         {"Error: kohonen_learning_rate must be a finite number of at least 0, not -2"}, 1,
         ""},
        {{"-nogui", "-input_path", in, "-output_path", out, "-convergence_threshold", "inf"},
         {"Error: convergence_threshold must be a finite number, not inf"}, 1, ""},
        {{"-nogui", "-input_path", bad_letter, "-output_path", out}, {"UNKNOWN BASE: X"}, 1,
         ""},
        {{"-nogui", "-input_path", truncated, "-output_path", out},
         {"Error: File ends after 2 of 3 taxa"}, 1, ""},
        // The window mode ignores the batch options; it needs a display.
        {{"-input_path", in, "-output_path", out, "-display", ":4242"},
         {"Error: cannot open the display :4242; run with -nogui for batch mode"}, 1, ""},
        // The last occurrence of an option counts.
        {{"-nogui", "-input_path", missing, "-input_path", in, "-output_path", out,
          "-distance_metric", "nonsense", "-distance_metric", "K2P"},
         {}, 0, k2p[0]},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::remove(out.c_str());
        const ProgramResult result = run_tavrel(c.args);
        std::string shown;
        for (const std::string& a : c.args) shown += a + " ";
        EXPECT_EQ(result.exit_code, c.exit_code) << shown;
        EXPECT_EQ(without_progress(result.out), c.lines) << shown;
        const std::vector<std::string> tree = lines_of(read_file(out));
        if (!c.tree.empty()) {
            ASSERT_EQ(tree.size(), 1u) << shown;
            EXPECT_EQ(tree[0], c.tree) << shown;
        } else {
            EXPECT_TRUE(tree.empty()) << shown;
        }
    }
}

TEST(CliDriver, PathsAndDisplayNamesShowTheirControlBytes) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kSample);
    const std::string out = dir.path("out.tre");
    const std::string folder = dir.path("");
    struct Case {
        std::vector<std::string> args;
        std::string line;
        int exit_code;
    };
    // clang-format off
    const Case cases[] = {
        {{"-nogui", "-input_path", folder + "no\nsuch", "-output_path", out},
         "Error: Input file " + folder + "no\\x0asuch not found", 1},
        {{"-nogui", "-input_path", folder + "\x1b[31mred", "-output_path", out},
         "Error: Input file " + folder + "\\x1b[31mred not found", 1},
        {{"-nogui", "-input_path", in, "-output_path", folder + "none\r/x\x7f.tre"},
         "Error: Output file " + folder + "none\\x0d/x\\x7f.tre could not be created", 1},
        {{"-nogui", "-input_path", folder + "\xef\xbb\xbf" "in.txt", "-output_path", out},
         "Error: Input file " + folder + "\\xef\\xbb\\xbfin.txt not found", 1},
        // GLUT's option without a value is a usage error, like the program's own.
        {{"-display"}, "Syntax Error: -display requires a value", 2},
        {{"-display", ":4242\n2"},
         "Error: cannot open the display :4242\\x0a2; run with -nogui for batch mode", 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        const ProgramResult result = run_tavrel(c.args);
        EXPECT_EQ(result.exit_code, c.exit_code) << c.line;
        EXPECT_EQ(result.out, std::vector<std::string>{c.line});
        EXPECT_FALSE(std::filesystem::exists(out)) << c.line;
    }
}

TEST(CliDriver, WindowModeWithoutADisplaySaysSo) {
    const ProgramResult result = run_command("env -u DISPLAY " + shell_quote(tavrel_bin()));
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.out, std::vector<std::string>{"Error: cannot open the display (DISPLAY is "
                                                   "not set); run with -nogui for batch mode"});
}

TEST(CliDriver, BothPathsAbsentCreateNoFile) {
    TempDir dir;
    const ProgramResult result =
        run_command("cd " + dir.path("") + " && '" + tavrel_bin() + "' -nogui");
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path("")));
}

TEST(CliDriver, EveryRunAppendsOneWholeLine) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kSample);
    const std::string out = dir.write("out.tre", "(old,tree);\n");
    const std::vector<std::string> args = {"-nogui",       "-input_path", in,
                                           "-output_path", out,           "-distance_metric",
                                           "JC",           "-epochs",     "50"};
    const ProgramResult first = run_tavrel(args);
    const ProgramResult second = run_tavrel(args);
    EXPECT_EQ(first.exit_code, 0);
    EXPECT_EQ(first.out, second.out);
    const std::vector<std::string> tree = lines_of(read_file(out));
    ASSERT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree[0], "(old,tree);");
    EXPECT_EQ(tree[1], tree[2]);
    std::vector<std::string> names = newick_names(tree[1]);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "beta", "delta", "gamma"}));
    EXPECT_EQ(first.out.front(), "Num_seqs: 4");
}

// The input path is checked before the output path is looked at: a folder
// (or a missing file) as input leaves nothing behind at the output path,
// and its error is the one shown even when the output path is bad as well.
TEST(CliDriver, BadInputIsRefusedBeforeTheOutputIsTouched) {
    TempDir dir;
    const std::string folder = dir.path("folder");
    std::filesystem::create_directory(folder);
    const std::string missing = dir.path("missing.txt");
    const std::string out = dir.path("new.tre");
    const std::string bad_out = dir.path("none/out.tre");
    const std::string folder_error =
        "Error: Input file " + folder + " could not be read: Is a directory";
    const std::string missing_error = "Error: Input file " + missing + " not found";
    struct Case {
        std::string input;
        std::string output;
        std::string line;
    };
    const Case cases[] = {
        {folder, out, folder_error},       {folder, bad_out, folder_error},
        {folder, folder, folder_error},    {missing, out, missing_error},
        {missing, bad_out, missing_error},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input + " -> " + c.output);
        const ProgramResult result =
            run_tavrel({"-nogui", "-input_path", c.input, "-output_path", c.output});
        EXPECT_EQ(result.exit_code, 1);
        EXPECT_EQ(result.out, std::vector<std::string>{c.line});
        // Only the empty folder made here: no tree file, no folder for one.
        std::vector<std::string> entries;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path("")))
            entries.push_back(entry.path().string());
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(entries, std::vector<std::string>{folder});
        std::filesystem::remove(out);
    }
}

// -nogui and -mpi choose the mode wherever they stand, also as the value of
// another option, which they are as well: `-output_path -mpi` appends to the
// file -mpi as an MPI process (which leaves its call log), and
// `-input_path -nogui` runs in batch, on the input file -nogui.
TEST(CliDriver, ModeFlagsCountAlsoAsAnotherOptionsValue) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kSample);
    const std::string folder = shell_quote(dir.path(""));
    const std::string program =
        " env -u DISPLAY " + without_leak_check() + shell_quote(tavrel_bin());
    const ProgramResult mpi =
        run_command("cd " + folder + " &&" + program + " -nogui -input_path " + shell_quote(in) +
                    " -output_path -mpi");
    EXPECT_EQ(mpi.exit_code, 0);
    const std::vector<std::string> tree = lines_of(read_file(dir.path("-mpi")));
    ASSERT_EQ(tree.size(), 1u);
    std::vector<std::string> names = newick_names(tree[0]);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "beta", "delta", "gamma"}));
    EXPECT_TRUE(file_exists(dir.path("tavrel-mpi-0.log")));

    const ProgramResult batch =
        run_command("cd " + folder + " &&" + program + " -input_path -nogui -output_path out.tre");
    EXPECT_EQ(batch.exit_code, 1);
    EXPECT_EQ(batch.out, std::vector<std::string>{"Error: Input file -nogui not found"});
    EXPECT_FALSE(file_exists(dir.path("out.tre")));
}
