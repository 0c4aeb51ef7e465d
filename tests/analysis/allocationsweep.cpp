#include "allocationsweep.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

namespace allocationsweep {

namespace {

constexpr std::size_t kFindingsShown = 20;

}  // namespace

std::vector<std::string> said(const std::vector<std::string>& out) {
    std::vector<std::string> kept;
    for (const std::string& line : out) {
        if (!is_progress_line(line) && !line.empty() && line[0] != '=') kept.push_back(line);
    }
    return kept;
}

std::vector<std::string> memory_lines(int taxa, int length) {
    const std::string counts = std::to_string(taxa) + " x " + std::to_string(length);
    return {"Error: not enough memory", "Error: not enough memory to read the input",
            "Error: not enough memory to read " + counts + " positions",
            "Error: not enough memory to analyse " + counts + " positions"};
}

std::string judge(const BoundedResult& result, const std::string& tree_before,
                  const std::string& tree_after, const std::string& line,
                  const std::vector<std::string>& memory) {
    if (result.timed_out) {
        return "did not end within the bound (hang)\n" + result.hang_report;
    }
    if (result.err.find("Sanitizer") != std::string::npos ||
        result.err.find("runtime error") != std::string::npos) {
        return "a sanitizer reported: " + result.err;
    }
    if (!WIFEXITED(result.wait_status)) return "ended by " + status_text(result.wait_status);
    const int code = WEXITSTATUS(result.wait_status);
    const std::vector<std::string> lines = said(result.out);
    std::string shown;
    for (const std::string& l : lines) shown += " [" + l + "]";
    if (code == 0) {
        if (tree_after != tree_before + line + "\n") return "exit code 0 without its tree line";
        if (!lines.empty()) return "exit code 0 with" + shown;
        return "";
    }
    if (code != 1) return status_text(result.wait_status) + shown + " " + result.err;
    if (lines.size() != 1 || std::find(memory.begin(), memory.end(), lines[0]) == memory.end()) {
        return "exit code 1 without its memory line:" + shown;
    }
    if (tree_after != tree_before) return "exit code 1 and the tree file changed";
    return "";
}

std::vector<long long> every_point(long long count) {
    std::vector<long long> ks;
    for (long long k = 1; k <= count + kPointsPastTheCount; ++k) ks.push_back(k);
    return ks;
}

std::vector<long long> sample_of_points(long long count, long long wanted) {
    constexpr long long kEnds = 10;
    std::vector<long long> ks;
    const long long step = std::max(1LL, count / wanted);
    for (long long k = 1; k <= kEnds; ++k) ks.push_back(k);
    for (long long k = kEnds + 1; k < count - kEnds; k += step) ks.push_back(k);
    for (long long k = std::max(kEnds + 1, count - kEnds); k <= count + kPointsPastTheCount; ++k) {
        ks.push_back(k);
    }
    return ks;
}

std::string point_tree_file(const std::string& folder) {
    return folder + "/out.tre";
}

void prepare_point(const std::string& folder) {
    std::filesystem::create_directories(folder);
    std::ofstream(point_tree_file(folder)) << kOldTree;
}

std::string judge_point(const BoundedResult& result, const std::string& folder,
                        const std::string& line, const std::vector<std::string>& memory) {
    const std::string what =
        judge(result, kOldTree, read_file(point_tree_file(folder)), line, memory);
    std::filesystem::remove_all(folder);
    return what;
}

long long count_allocations(BoundedRun run, BoundedResult* result) {
    const std::string count_file = run.dir + "/allocation-count";
    run.environment.push_back("TAVREL_NEW_COUNT_FILE=" + count_file);
    *result = run_bounded(run);
    const long long count = std::atoll(read_file(count_file).c_str());
    std::remove(count_file.c_str());
    return count;
}

std::string sweep(const std::vector<long long>& ks, int parallel,
                  const std::function<BoundedRun(long long)>& make,
                  const std::function<std::string(long long, const BoundedResult&)>& check) {
    std::mutex mutex;
    std::vector<std::pair<long long, std::string>> found;
    run_in_parallel(static_cast<int>(ks.size()), parallel, [&](int i) {
        BoundedRun run = make(ks[i]);
        run.first_core = i * run.cores;
        const std::string what = check(ks[i], run_bounded(run));
        if (what.empty()) return;
        std::lock_guard<std::mutex> lock(mutex);
        found.emplace_back(ks[i], what);
    });
    if (found.empty()) return "";
    std::sort(found.begin(), found.end());
    std::string text = std::to_string(found.size()) + " points ended wrongly";
    for (std::size_t i = 0; i < found.size() && i < kFindingsShown; ++i) {
        text += "\nallocation " + std::to_string(found[i].first) + ": " + found[i].second;
    }
    return text;
}

int parallel_runs() {
    return std::max(2u, std::thread::hardware_concurrency());
}

}  // namespace allocationsweep
