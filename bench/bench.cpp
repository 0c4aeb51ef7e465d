// The analysis engine's benchmark: simulated alignments of four sizes, the
// batch mode with all cores and with one, the straightforward formulas as
// the baseline, Debian's quicktree when installed, each kernel form the
// processor runs on one core, and MPI groups of 1, 2 and 4 processes.
// Prints figures; asserts nothing about time.
//
//   tavrel_bench TAVREL WORKDIR            the whole benchmark
//   tavrel_bench TAVREL WORKDIR SIZE...    only these sizes (as 1000x2000),
//                                          without MPI
//   tavrel_bench TAVREL WORKDIR forms      only the kernel forms, one core
//                                          on 1000 x 2000, and quicktree
//   tavrel_bench engine FORM IN OUT        one batch run in this process:
//                                          FORM is fast (the program's own
//                                          choice), straightforward, or a
//                                          kernel form (portable, avx2,
//                                          avx512)
//   tavrel_bench mpi-engine IN OUT         one MPI run in this process

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/epochkernels.h"
#include "analysis/mpiprocessgroup.h"
#include "analysis/straightforwardepochcompute.h"
#include "analysis/workerpool.h"
#include "childprocess.h"
#include "robinsonfoulds.h"
#include "simulator.h"

namespace {

struct Size {
    int taxa;
    int length;
    std::uint64_t seed;
    // The straightforward formulas take too long on the largest size.
    bool baseline;
};

const Size kSizes[] = {
    {200, 2000, 1, true}, {1000, 2000, 2, true}, {5000, 1000, 3, true}, {3000, 5000, 4, false}};
// The MPI comparison and that of the kernel forms run on the second size.
constexpr int kMpiSize = 1;
constexpr int kFormsSize = 1;
// Runs of each kernel form, of which the median counts.
constexpr int kFormRuns = 3;
const int kMpiGroups[] = {1, 2, 4};
constexpr double kMiB = 1024.0 * 1024.0;

std::string self_path;
// An alignment of two taxa (stem.txt, stem.sto): a run on it measures the
// memory that a command needs whatever its input.
std::string pair_stem;

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string last_line(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::string last;
    while (std::getline(in, line)) {
        if (!line.empty()) last = line;
    }
    return last;
}

// "key=value" fields of the counter line that the engine modes print.
long long field(const std::string& line, const std::string& key) {
    const std::size_t at = line.find(key + "=");
    if (at == std::string::npos) return -1;
    return std::atoll(line.c_str() + at + key.size() + 1);
}

double field_seconds(const std::string& line, const std::string& key) {
    const std::size_t at = line.find(key + "=");
    if (at == std::string::npos) return -1.0;
    return std::atof(line.c_str() + at + key.size() + 1);
}

void print_counters(const AnalysisModule& module) {
    const RunCounters& c = module.counters;
    const char* kernels = module.options.epoch_compute != make_fast_epoch_compute ? "none"
                          : module.options.kernels ? module.options.kernels->name
                                                   : EpochKernels::best().name;
    std::printf(
        "counters epochs=%lld presentations=%lld exchanges=%lld continued=%lld threads=%d "
        "first_epochs=%lld first_seconds=%.6f kernels=%s\n",
        c.epochs, c.presentations, c.exchanges, c.continued_attempts, c.threads,
        c.first_step_epochs, c.first_step_seconds, kernels);
}

int configure_and_run(AnalysisModule& module, const std::string& input, const std::string& output) {
    std::ostringstream progress;
    module.options.console = &progress;
    if (!module.set_input_path(input).ok() || !module.set_output_path(output).ok()) return 1;
    AnalysisModule::run(&module);
    if (!module.run_status.ok()) {
        std::fprintf(stderr, "%s\n", module.run_status.message().c_str());
        return 1;
    }
    return 0;
}

// The kernel form of this name among those the processor runs; null if none.
const EpochKernels* kernels_named(const std::string& name) {
    for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
        if (name == (*form)->name) return *form;
    }
    return nullptr;
}

// FORM: "fast" (the program's own choice of kernels), "straightforward",
// or the name of a kernel form.
int engine_mode(const std::string& form, const std::string& input, const std::string& output) {
    AnalysisModule module;
    if (form == "straightforward") {
        module.options.epoch_compute = make_straightforward_epoch_compute;
    } else if (form != "fast") {
        module.options.kernels = kernels_named(form);
        if (!module.options.kernels) {
            std::fprintf(stderr, "tavrel_bench: this processor runs no kernel form %s\n",
                         form.c_str());
            return 2;
        }
    }
    if (configure_and_run(module, input, output) != 0) return 1;
    print_counters(module);
    return 0;
}

int mpi_engine_mode(int argc, char** argv, const std::string& input, const std::string& output) {
    const int rank = MpiProcessGroup::initialize(&argc, &argv);
    int code = 0;
    {
        AnalysisModule module(rank);
        if (rank == 0) {
            code = configure_and_run(module, input, output);
        } else {
            std::ostringstream progress;
            module.options.console = &progress;
            AnalysisModule::run(&module);
            code = module.run_status.exit_code();
        }
        if (rank == 0) print_counters(module);
    }
    MpiProcessGroup::finalize();
    return code;
}

struct Figures {
    std::string what;
    ChildRun run;
    std::string tree;
    // Peak memory of the same command on the two taxa of pair_stem.
    long long base_bytes;
};

// Peak memory beyond `base` (the same run on two taxa), per input position.
double bytes_per_position(long long peak_bytes, long long positions, long long base) {
    return static_cast<double>(peak_bytes - base) / positions;
}

// A command to measure: its arguments for an alignment (stem.txt and
// stem.sto) and a tree file, which it writes or, with tree_on_stdout,
// leaves alone and prints the tree over several lines.
struct Command {
    std::function<std::vector<std::string>(const std::string& stem, const std::string& out)> argv;
    bool tree_on_stdout = false;
};

std::string tree_file_line(const std::string& path) {
    return last_line(read_text(path));
}

Figures measure(const std::string& what, const Command& command, const std::string& stem,
                const std::string& out, const ChildOptions& options) {
    const std::string pair_out = out + ".pair";
    std::remove(pair_out.c_str());
    const long long base = run_child(command.argv(pair_stem, pair_out), options).peak_bytes;
    std::remove(out.c_str());
    ChildRun run = run_child(command.argv(stem, out), options);
    std::string tree;
    if (command.tree_on_stdout) {
        for (char c : run.out) {
            if (c != '\n' && c != '\r') tree += c;
        }
    } else {
        tree = tree_file_line(out);
    }
    return {what, std::move(run), tree, base};
}

// The processor's model name, as the kernel reports it.
std::string processor_name() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 10, "model name") != 0) continue;
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos)
            return line.substr(line.find_first_not_of(" \t", colon + 1));
    }
    return "unknown processor";
}

std::string today() {
    char text[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(text, sizeof text, "%Y-%m-%d", std::gmtime(&now));
    return text;
}

void print_row(const Figures& f, long long positions, long long presentations, double baseline_rate,
               const std::string& truth) {
    const double rate = presentations > 0 && f.run.seconds > 0 ? presentations / f.run.seconds : 0;
    std::printf("  %-28s %9.2f %9.1f %7.1f", f.what.c_str(), f.run.seconds, f.run.peak_bytes / kMiB,
                bytes_per_position(f.run.peak_bytes, positions, f.base_bytes));
    if (rate > 0 && baseline_rate > 0) {
        std::printf(" %10.3f %8.1fx", rate / 1e9, rate / baseline_rate);
    } else if (rate > 0) {
        std::printf(" %10.3f %9s", rate / 1e9, "-");
    } else {
        std::printf(" %10s %9s", "-", "-");
    }
    const double rf = f.tree.empty() ? -1.0 : normalised_robinson_foulds(f.tree, truth);
    if (rf >= 0) {
        std::printf(" %6.3f", rf);
    } else {
        std::printf(" %6s", "-");
    }
    std::printf("%s\n", f.run.exit_code == 0 ? "" : "  (failed)");
}

// The simulated alignment of a size as stem.txt (sequence file), stem.sto
// (Stockholm, for quicktree) and stem.true.tre (the true tree).
std::string write_alignment(const std::string& work, const Size& size,
                            SimulatedAlignment* alignment) {
    const std::string stem =
        work + "/sim-" + std::to_string(size.taxa) + "x" + std::to_string(size.length);
    *alignment = simulate_alignment(size.taxa, size.length, size.seed);
    write_text(stem + ".txt", sequence_file_text(*alignment));
    write_text(stem + ".sto", stockholm_text(*alignment));
    write_text(stem + ".true.tre", alignment->newick + "\n");
    return stem;
}

Figures quicktree_figures(const std::string& stem) {
    const Command neighbour_joining = {
        [](const std::string& input, const std::string&) {
            return std::vector<std::string>{"quicktree", "-kimura", input + ".sto"};
        },
        true};
    return measure("quicktree -kimura", neighbour_joining, stem, stem + ".nj.tre", {});
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The batch run on one core with each kernel form the processor runs, in
// this program's engine mode (the same engine as the program's, the form
// chosen in the process), each the median of kFormRuns runs; speeds over
// the portable form, and times over quicktree's when it ran (0: not).
void form_comparison(const std::string& stem, double quicktree_seconds) {
    std::printf("  kernel forms, 1 core, median of %d runs each:\n", kFormRuns);
    std::printf("  %-28s %9s %11s %12s\n", "", "wall s", "vs portable", "of quicktree");
    double portable = 0.0;
    std::vector<std::string> lines;
    for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
        const std::string out = stem + "." + (*form)->name + ".tre";
        std::vector<double> seconds;
        bool ok = true;
        for (int r = 0; r < kFormRuns; ++r) {
            std::remove(out.c_str());
            const ChildRun run =
                run_child({self_path, "engine", (*form)->name, stem + ".txt", out}, {1, ""});
            ok = ok && run.exit_code == 0;
            seconds.push_back(run.seconds);
            lines.push_back(tree_file_line(out));
        }
        const double time = median(seconds);
        if (form == EpochKernels::available()) portable = time;
        const std::string what = std::string("form ") + (*form)->name;
        std::printf("  %-28s %9.2f %10.2fx", what.c_str(), time, portable / time);
        if (quicktree_seconds > 0) {
            std::printf(" %12.2f", time / quicktree_seconds);
        } else {
            std::printf(" %12s", "-");
        }
        std::printf("%s\n", ok ? "" : "  (failed)");
    }
    bool same = !lines.empty() && !lines[0].empty();
    for (const std::string& line : lines) same = same && line == lines[0];
    std::printf("  tree lines of all forms' runs %s\n", same ? "identical" : "DIFFER");
}

void batch_comparison(const std::string& tavrel, const std::string& work, const Size& size,
                      bool quicktree) {
    SimulatedAlignment alignment;
    const std::string stem = write_alignment(work, size, &alignment);
    const long long positions = static_cast<long long>(size.taxa) * size.length;

    std::printf("\n%d taxa x %d positions (seed %llu)\n", size.taxa, size.length,
                static_cast<unsigned long long>(size.seed));
    std::printf("  %-28s %9s %9s %7s %10s %9s %6s\n", "", "wall s", "peak MiB", "+B/pos",
                "G pres/s", "vs base", "RF");

    // The fast path's own count of presentations: the same epochs in the
    // same order as the baseline's.
    std::remove((stem + ".count.tre").c_str());
    const ChildRun counted =
        run_child({self_path, "engine", "fast", stem + ".txt", stem + ".count.tre"});
    const std::string fast_counters = last_line(counted.out);
    const long long presentations = field(fast_counters, "presentations");

    // The baseline, the program with one core, then with all of them.
    std::vector<std::string> lines = {tree_file_line(stem + ".count.tre")};
    double base_rate = 0.0;
    std::string base_counters;
    if (size.baseline) {
        const Command straightforward = {[](const std::string& input, const std::string& out) {
            return std::vector<std::string>{self_path, "engine", "straightforward", input + ".txt",
                                            out};
        }};
        const Figures base =
            measure("straightforward, 1 core", straightforward, stem, stem + ".base.tre", {1, ""});
        base_counters = last_line(base.run.out);
        const long long base_presentations = field(base_counters, "presentations");
        base_rate = base_presentations > 0 ? base_presentations / base.run.seconds : 0.0;
        print_row(base, positions, base_presentations, base_rate, alignment.newick);
        lines.push_back(base.tree);
    }
    const Command batch = {[&tavrel](const std::string& input, const std::string& out) {
        return std::vector<std::string>{tavrel,         "-nogui",       "-input_path",
                                        input + ".txt", "-output_path", out};
    }};
    const Figures one = measure("tavrel -nogui, 1 core", batch, stem, stem + ".one.tre", {1, ""});
    print_row(one, positions, presentations, base_rate, alignment.newick);
    const int cores = WorkerPool::usable_cores();
    const Figures all = measure("tavrel -nogui, " + std::to_string(cores) + " cores", batch, stem,
                                stem + ".all.tre", {});
    print_row(all, positions, presentations, base_rate, alignment.newick);
    lines.push_back(one.tree);
    lines.push_back(all.tree);
    double quicktree_seconds = 0.0;
    if (quicktree) {
        const Figures nj = quicktree_figures(stem);
        print_row(nj, positions, 0, 0, alignment.newick);
        if (nj.run.exit_code == 0) quicktree_seconds = nj.run.seconds;
        if (nj.run.exit_code == 0 && one.run.exit_code == 0 && all.run.exit_code == 0) {
            std::printf("  tavrel takes %.2f of quicktree's time on 1 core, %.2f on %d cores\n",
                        one.run.seconds / nj.run.seconds, all.run.seconds / nj.run.seconds, cores);
        }
    }
    if (one.run.exit_code == 0 && all.run.exit_code == 0) {
        std::printf("  tavrel on %d cores is %.2f times as fast as on 1 core\n", cores,
                    one.run.seconds / all.run.seconds);
    }
    bool same = !lines[0].empty();
    for (const std::string& line : lines) same = same && line == lines[0];
    std::printf("  tree lines of all %zu runs %s\n", lines.size(), same ? "identical" : "DIFFER");
    const std::string baseline_count =
        base_counters.empty()
            ? ""
            : " (baseline counts " + std::to_string(field(base_counters, "presentations")) + ")";
    std::printf("  epochs %lld, site-presentations %lld%s, attempts continued %lld\n",
                field(fast_counters, "epochs"), presentations, baseline_count.c_str(),
                field(fast_counters, "continued"));
    if (&size == &kSizes[kFormsSize]) form_comparison(stem, quicktree_seconds);
}

long long file_size(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

int count_calls(const std::string& log, const std::string& name) {
    std::istringstream in(read_text(log));
    std::string line;
    int count = 0;
    while (std::getline(in, line)) {
        if (line.compare(0, name.size() + 1, name + " ") == 0) ++count;
    }
    return count;
}

void mpi_comparison(const std::string& tavrel, const std::string& work, const Size& size) {
    const std::string input =
        work + "/sim-" + std::to_string(size.taxa) + "x" + std::to_string(size.length) + ".txt";
    std::printf("\nMPI (mpiexec -n N tavrel -mpi -nogui) on %d taxa x %d positions\n", size.taxa,
                size.length);
    const long long positions = static_cast<long long>(size.taxa) * size.length;
    std::printf("  %-3s %-6s %8s %9s %7s %10s %11s %12s %10s %8s\n", "N", "cores", "wall s",
                "peak MiB", "+B/pos", "epochs/p0", "collectives", "first ms/ep", "log KiB/p",
                "line");
    // The line of each group size: the same whatever the cores.
    std::map<int, std::string> lines;
    const int cores = WorkerPool::usable_cores();
    for (int one_core_each : {0, 1}) {
        for (int n : kMpiGroups) {
            const int given = one_core_each ? n : cores;
            if (given > cores) continue;
            const std::string dir =
                work + "/mpi-" + std::to_string(n) + "-" + std::to_string(one_core_each);
            std::filesystem::create_directories(dir);
            const std::string out = dir + "/out.tre";
            // The largest process of a group on two taxa: MPI's own memory.
            const long long group_base =
                run_child({"mpiexec", "-n", std::to_string(n), tavrel, "-mpi", "-nogui",
                           "-input_path", pair_stem + ".txt", "-output_path", dir + "/pair.tre"},
                          {given, dir})
                    .peak_bytes;
            std::remove(out.c_str());
            const ChildRun program =
                run_child({"mpiexec", "-n", std::to_string(n), tavrel, "-mpi", "-nogui",
                           "-input_path", input, "-output_path", out},
                          {given, dir});
            const std::string line = tree_file_line(out);
            if (lines.count(n) == 0) lines[n] = line;
            long long log_bytes = 0;
            for (int r = 0; r < n; ++r) {
                log_bytes += file_size(dir + "/tavrel-mpi-" + std::to_string(r) + ".log");
            }
            const std::string log = dir + "/tavrel-mpi-0.log";
            const int collectives = count_calls(log, "MPI_Allgatherv") +
                                    count_calls(log, "MPI_Allreduce") +
                                    count_calls(log, "MPI_Bcast");
            const std::string engine_out = dir + "/engine.tre";
            std::remove(engine_out.c_str());
            const ChildRun engine = run_child(
                {"mpiexec", "-n", std::to_string(n), self_path, "mpi-engine", input, engine_out},
                {given, dir});
            const std::string counters = last_line(engine.out);
            const long long first_epochs = field(counters, "first_epochs");
            const double first_seconds = field_seconds(counters, "first_seconds");
            std::printf("  %-3d %-6d %8.2f %9.1f %7.1f %10lld %11d %12.3f %10.1f %8s%s\n", n, given,
                        program.seconds, program.peak_bytes / kMiB,
                        bytes_per_position(program.peak_bytes, positions, group_base),
                        field(counters, "epochs"), collectives,
                        first_epochs > 0 ? 1e3 * first_seconds / first_epochs : 0.0,
                        log_bytes / 1024.0 / n, line == lines[n] ? "same" : "DIFFERS",
                        program.exit_code == 0 ? "" : "  (failed)");
        }
    }
    std::printf(
        "  (lines are compared with the first row's; an MPI line may differ from the\n"
        "   batch line, and from another group size's, by the order of members)\n");
}

}  // namespace

int main(int argc, char** argv) {
    self_path = std::filesystem::canonical("/proc/self/exe").string();
    if (argc == 5 && std::string(argv[1]) == "engine")
        return engine_mode(argv[2], argv[3], argv[4]);
    if (argc >= 4 && std::string(argv[1]) == "mpi-engine") {
        return mpi_engine_mode(argc, argv, argv[2], argv[3]);
    }
    std::vector<const Size*> chosen;
    const bool forms_only = argc == 4 && std::string(argv[3]) == "forms";
    for (int a = 3; a < argc && !forms_only; ++a) {
        const Size* found = nullptr;
        for (const Size& size : kSizes) {
            if (std::to_string(size.taxa) + "x" + std::to_string(size.length) == argv[a]) {
                found = &size;
            }
        }
        if (!found) {
            std::fprintf(stderr, "tavrel_bench: no size %s\n", argv[a]);
            return 2;
        }
        chosen.push_back(found);
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: tavrel_bench TAVREL WORKDIR [TAXAxLENGTH... | forms]\n");
        return 2;
    }
    const std::string tavrel = std::filesystem::absolute(argv[1]).string();
    const std::string work = std::filesystem::absolute(argv[2]).string();
    std::filesystem::create_directories(work);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    std::printf("tavrel benchmark, %s, on %s, %d usable cores (kernels: %s)\n", today().c_str(),
                processor_name().c_str(), WorkerPool::usable_cores(), EpochKernels::best().name);
    std::printf("kernel forms this processor runs:");
    for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
        std::printf(" %s", (*form)->name);
    }
    std::printf("\n");
    std::printf("wall times on a shared machine vary from run to run\n");
    std::printf(
        "pres/s: site-presentations per second (one input against one neuron at one\n"
        "position in one epoch); vs base: over the straightforward formulas; RF: "
        "normalised\nRobinson-Foulds distance to the simulator's true tree\n");
    pair_stem = work + "/pair";
    const SimulatedAlignment pair = simulate_alignment(2, 4, 1);
    write_text(pair_stem + ".txt", sequence_file_text(pair));
    write_text(pair_stem + ".sto", stockholm_text(pair));
    std::printf(
        "+B/pos: peak memory beyond that of the same run on two taxa, per input position;\n"
        "for an MPI group, of its largest process\n");
    const bool quicktree = on_path("quicktree");
    if (!quicktree) {
        std::printf(
            "quicktree is not installed (apt-get install quicktree): no comparison with "
            "neighbour joining\n");
    }
    if (forms_only) {
        const Size& size = kSizes[kFormsSize];
        SimulatedAlignment alignment;
        const std::string stem = write_alignment(work, size, &alignment);
        std::printf("\n%d taxa x %d positions (seed %llu)\n", size.taxa, size.length,
                    static_cast<unsigned long long>(size.seed));
        double quicktree_seconds = 0.0;
        if (quicktree) {
            const Figures nj = quicktree_figures(stem);
            if (nj.run.exit_code == 0) quicktree_seconds = nj.run.seconds;
            std::printf("  quicktree -kimura: %.2f s%s\n", nj.run.seconds,
                        nj.run.exit_code == 0 ? "" : "  (failed)");
        }
        form_comparison(stem, quicktree_seconds);
        return 0;
    }
    if (!chosen.empty()) {
        for (const Size* size : chosen) batch_comparison(tavrel, work, *size, quicktree);
        return 0;
    }
    for (const Size& size : kSizes) batch_comparison(tavrel, work, size, quicktree);
    if (on_path("mpiexec")) {
        mpi_comparison(tavrel, work, kSizes[kMpiSize]);
    } else {
        std::printf("\nmpiexec is not installed: no MPI figures\n");
    }
    return 0;
}
