// The benchmark's engine mode: one batch run in the benchmark's own
// process, with the kernel form named on its command line. It is how the
// benchmark runs each form the processor has, and the one place where a
// form is chosen by name.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/epochkernels.h"
#include "tests/analysis/testsupport.h"

namespace {

// The engine mode on `input`, writing `out`; its standard error follows
// its standard output.
ProgramResult run_engine(const std::string& form, const std::string& input,
                         const std::string& out) {
    return run_command("( " + shell_quote(TAVREL_BENCH) + " engine " + shell_quote(form) + " " +
                       shell_quote(input) + " " + shell_quote(out) + " 2>&1 )");
}

}  // namespace

TEST(BenchEngine, EachKernelFormByNameWritesTheStraightforwardLine) {
    TempDir dir;
    const std::string input = dir.write("sim.txt", simulated_file(40, 300, 3));
    const ProgramResult plain = run_engine("straightforward", input, dir.path("plain.tre"));
    ASSERT_EQ(plain.exit_code, 0);
    const std::string line = read_file(dir.path("plain.tre"));
    ASSERT_EQ(lines_of(line).size(), 1u);
    // The program's own choice, then every form this processor runs.
    std::vector<std::string> forms = {"fast"};
    for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
        forms.push_back((*form)->name);
    }
    for (const std::string& form : forms) {
        SCOPED_TRACE(form);
        const std::string out = dir.path(form + ".tre");
        const ProgramResult run = run_engine(form, input, out);
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_EQ(read_file(out), line);
        // The counters name the kernels the run was given.
        const std::string used = form == "fast" ? EpochKernels::best().name : form;
        ASSERT_FALSE(run.out.empty());
        EXPECT_NE(run.out.back().find(" kernels=" + used), std::string::npos) << run.out.back();
    }
}

TEST(BenchEngine, AFormThatTheProcessorDoesNotRunIsRefusedBeforeTheRun) {
    TempDir dir;
    const std::string input = dir.write("sim.txt", simulated_file(12, 40, 5));
    // Names of no form, and the x86 forms wherever this processor lacks them.
    std::vector<std::string> names = {"avx1024", "AVX2", "portable ", ""};
    for (const char* x86 : {"avx2", "avx512"}) {
        bool runs = false;
        for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
            runs = runs || std::string((*form)->name) == x86;
        }
        if (!runs) names.push_back(x86);
    }
    for (const std::string& name : names) {
        SCOPED_TRACE("'" + name + "'");
        const std::string out = dir.path("out.tre");
        const ProgramResult run = run_engine(name, input, out);
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_EQ(run.out, std::vector<std::string>{
                               "tavrel_bench: this processor runs no kernel form " + name});
        EXPECT_FALSE(file_exists(out));
    }
}
