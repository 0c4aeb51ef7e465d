// The analysis engine's benchmark: simulated alignments of three sizes, the
// batch mode with all cores and with one, the straightforward formulas as
// the baseline, Debian's quicktree when installed, and MPI groups of 1, 2
// and 4 processes. Prints figures; asserts nothing about time.
//
//   tavrel_bench TAVREL WORKDIR            the whole benchmark
//   tavrel_bench engine FORM IN OUT        one batch run in this process
//   tavrel_bench mpi-engine IN OUT         one MPI run in this process

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/analysismodule.h"
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
};

const Size kSizes[] = {{200, 2000, 1}, {1000, 2000, 2}, {5000, 1000, 3}};
// The MPI comparison runs on the second size.
constexpr int kMpiSize = 1;
const int kMpiGroups[] = {1, 2, 4};
constexpr double kMiB = 1024.0 * 1024.0;

std::string self_path;
// Peak memory of a run on a single taxon: the program and its libraries.
long long base_bytes = 0;

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
    const AnalysisModule::RunCounters& c = module.counters;
    std::printf(
        "counters epochs=%lld presentations=%lld exchanges=%lld continued=%lld threads=%d "
        "first_epochs=%lld first_seconds=%.6f\n",
        c.epochs, c.presentations, c.exchanges, c.continued_attempts, c.threads,
        c.first_step_epochs, c.first_step_seconds);
}

int configure_and_run(AnalysisModule& module, const std::string& input, const std::string& output) {
    std::ostringstream progress;
    module.console = &progress;
    if (!module.set_input_path(input).ok() || !module.set_output_path(output).ok()) return 1;
    AnalysisModule::run(&module);
    if (!module.run_status.ok()) {
        std::fprintf(stderr, "%s\n", module.run_status.message().c_str());
        return 1;
    }
    return 0;
}

int engine_mode(const std::string& form, const std::string& input, const std::string& output) {
    AnalysisModule module;
    if (form == "straightforward") module.epoch_compute = make_straightforward_epoch_compute;
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
            module.console = &progress;
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
};

void print_row(const Figures& f, long long positions, long long presentations, double baseline_rate,
               const std::string& truth) {
    const double rate = presentations > 0 && f.run.seconds > 0 ? presentations / f.run.seconds : 0;
    std::printf("  %-28s %9.2f %9.1f %7.1f", f.what.c_str(), f.run.seconds, f.run.peak_bytes / kMiB,
                static_cast<double>(f.run.peak_bytes) / positions);
    if (rate > 0) {
        std::printf(" %10.3f %8.1fx", rate / 1e9, baseline_rate > 0 ? rate / baseline_rate : 0.0);
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

std::string tree_file_line(const std::string& path) {
    return last_line(read_text(path));
}

void batch_comparison(const std::string& tavrel, const std::string& work, const Size& size,
                      bool quicktree) {
    const std::string stem =
        work + "/sim-" + std::to_string(size.taxa) + "x" + std::to_string(size.length);
    const SimulatedAlignment alignment = simulate_alignment(size.taxa, size.length, size.seed);
    write_text(stem + ".txt", sequence_file_text(alignment));
    write_text(stem + ".sto", stockholm_text(alignment));
    write_text(stem + ".true.tre", alignment.newick + "\n");
    const long long positions = static_cast<long long>(size.taxa) * size.length;

    std::printf("\n%d taxa x %d positions (seed %llu)\n", size.taxa, size.length,
                static_cast<unsigned long long>(size.seed));
    std::printf("  %-28s %9s %9s %7s %10s %9s %6s\n", "", "wall s", "peak MiB", "+B/pos",
                "G pres/s", "vs base", "RF");

    std::vector<Figures> rows;
    // The baseline and the program with one core, then with all of them.
    Figures base{"straightforward, 1 core", {}, ""};
    std::remove((stem + ".base.tre").c_str());
    base.run = run_child(
        {self_path, "engine", "straightforward", stem + ".txt", stem + ".base.tre"}, {1, ""});
    base.tree = tree_file_line(stem + ".base.tre");
    const std::string base_counters = last_line(base.run.out);
    const long long presentations = field(base_counters, "presentations");

    Figures one{"tavrel -nogui, 1 core", {}, ""};
    std::remove((stem + ".one.tre").c_str());
    one.run = run_child(
        {tavrel, "-nogui", "-input_path", stem + ".txt", "-output_path", stem + ".one.tre"},
        {1, ""});
    one.tree = tree_file_line(stem + ".one.tre");

    const int cores = WorkerPool::usable_cores();
    Figures all{"tavrel -nogui, " + std::to_string(cores) + " cores", {}, ""};
    std::remove((stem + ".all.tre").c_str());
    all.run = run_child(
        {tavrel, "-nogui", "-input_path", stem + ".txt", "-output_path", stem + ".all.tre"});
    all.tree = tree_file_line(stem + ".all.tre");

    // The fast path's own count of presentations, which must equal the
    // baseline's: the same epochs in the same order.
    std::remove((stem + ".count.tre").c_str());
    const ChildRun counted =
        run_child({self_path, "engine", "fast", stem + ".txt", stem + ".count.tre"});
    const std::string fast_counters = last_line(counted.out);

    const double base_rate = presentations > 0 ? presentations / base.run.seconds : 0.0;
    print_row(base, positions, presentations, base_rate, alignment.newick);
    print_row(one, positions, presentations, base_rate, alignment.newick);
    print_row(all, positions, presentations, base_rate, alignment.newick);
    if (quicktree) {
        Figures nj{"quicktree -kimura", run_child({"quicktree", "-kimura", stem + ".sto"}), ""};
        std::string tree;
        for (char c : nj.run.out) {
            if (c != '\n' && c != '\r') tree += c;
        }
        nj.tree = tree;
        print_row(nj, positions, 0, 0, alignment.newick);
        if (nj.run.exit_code == 0 && all.run.exit_code == 0) {
            std::printf("  tavrel (%d cores) takes %.2f of quicktree's time\n", cores,
                        all.run.seconds / nj.run.seconds);
        }
    }
    const bool same = !base.tree.empty() && base.tree == one.tree && base.tree == all.tree &&
                      base.tree == tree_file_line(stem + ".count.tre");
    std::printf("  tree lines of all four runs %s\n", same ? "identical" : "DIFFER");
    std::printf(
        "  epochs %lld, site-presentations %lld (fast path counts %lld), attempts "
        "continued %lld\n",
        field(base_counters, "epochs"), presentations, field(fast_counters, "presentations"),
        field(fast_counters, "continued"));
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
    std::printf("  %-3s %-6s %8s %9s %10s %11s %12s %10s %8s\n", "N", "cores", "wall s", "peak MiB",
                "epochs/p0", "collectives", "first ms/ep", "log KiB/p", "line");
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
            std::printf("  %-3d %-6d %8.2f %9.1f %10lld %11d %12.3f %10.1f %8s%s\n", n, given,
                        program.seconds, program.peak_bytes / kMiB, field(counters, "epochs"),
                        collectives, first_epochs > 0 ? 1e3 * first_seconds / first_epochs : 0.0,
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
    if (argc != 3) {
        std::fprintf(stderr, "usage: tavrel_bench TAVREL WORKDIR\n");
        return 2;
    }
    const std::string tavrel = std::filesystem::absolute(argv[1]).string();
    const std::string work = std::filesystem::absolute(argv[2]).string();
    std::filesystem::create_directories(work);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    std::printf(
        "tavrel benchmark: %d usable cores; wall times on a shared machine vary from run "
        "to run\n",
        WorkerPool::usable_cores());
    std::printf(
        "pres/s: site-presentations per second (one input against one neuron at one\n"
        "position in one epoch); vs base: over the straightforward formulas; RF: "
        "normalised\nRobinson-Foulds distance to the simulator's true tree\n");
    const std::string single = work + "/single.txt";
    write_text(single, "1 4 a ACGT\n");
    base_bytes =
        run_child({tavrel, "-nogui", "-input_path", single, "-output_path", work + "/single.tre"})
            .peak_bytes;
    std::printf(
        "+B/pos: peak memory beyond that of a run on one taxon (%.1f MiB), per input\n"
        "position\n",
        base_bytes / kMiB);
    const bool quicktree = on_path("quicktree");
    if (!quicktree) {
        std::printf(
            "quicktree is not installed (apt-get install quicktree): no comparison with "
            "neighbour joining\n");
    }
    for (const Size& size : kSizes) batch_comparison(tavrel, work, size, quicktree);
    if (on_path("mpiexec")) {
        mpi_comparison(tavrel, work, kSizes[kMpiSize]);
    } else {
        std::printf("\nmpiexec is not installed: no MPI figures\n");
    }
    return 0;
}
