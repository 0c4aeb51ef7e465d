#pragma once

// A sweep over the allocations of a run: the program linked with an
// allocator that fails at its K-th allocation (failingnew.cpp) is run for
// every K, or a sample of them, and must end soundly every time.

#include <functional>
#include <string>
#include <vector>

#include "testsupport.h"

namespace allocationsweep {

// How long one point may take before it counts as a hang.
constexpr int kBoundMsecs = 120000;
// Points beyond the count of a run without failure: run to run the count
// may differ a little (threads take their steps in another order).
constexpr int kPointsPastTheCount = 20;

// The lines of a run that are neither progress nor mpiexec's own banner.
std::vector<std::string> said(const std::vector<std::string>& out);

// The lines that may say that memory ran out, for an input of `taxa` x
// `length`.
std::vector<std::string> memory_lines(int taxa, int length);

// What a point of a sweep must give: exit code 0 and the run's tree line
// appended to the tree file, or exit code 1, one memory line and the tree
// file as it was; never another exit code, a signal, a sanitizer's report
// or a hang. Gives what went wrong, or "".
std::string judge(const BoundedResult& result, const std::string& tree_before,
                  const std::string& tree_after, const std::string& line,
                  const std::vector<std::string>& memory);

// The tree file a point's run appends to, in a folder of its own: it holds
// kOldTree when the run starts.
constexpr const char* kOldTree = "(old,tree);\n";
std::string point_tree_file(const std::string& folder);
// Makes `folder` and its point_tree_file with kOldTree in it.
void prepare_point(const std::string& folder);
// judge() of the run that appended to point_tree_file(folder); then the
// folder goes, so that a sweep of many points leaves little behind.
std::string judge_point(const BoundedResult& result, const std::string& folder,
                        const std::string& line, const std::vector<std::string>& memory);

// Every point from 1 to a little past the count.
std::vector<long long> every_point(long long count);
// About `wanted` points spread over the count, with the first and the last
// ten (the start and the end are where a run is least uniform).
std::vector<long long> sample_of_points(long long count, long long wanted);

// Runs `run` with the count of its allocations written to a file; gives
// the count (0 when the run failed) and the run's result.
long long count_allocations(BoundedRun run, BoundedResult* result);

// Runs make(k) for every k of `ks`, `parallel` at once (each on cores of
// its own as far as they go), and checks(k, result) for each; gives the
// findings in order of k, the first twenty of them, or "" when all were
// sound.
std::string sweep(const std::vector<long long>& ks, int parallel,
                  const std::function<BoundedRun(long long)>& make,
                  const std::function<std::string(long long, const BoundedResult&)>& check);

// As many runs at once as the machine has processors (two at least).
int parallel_runs();

}  // namespace allocationsweep
