#pragma once

#include <iostream>

#include "analysis/epochcompute.h"

// How a run works, as opposed to what it computes: where its lines go, the
// form of its epochs, its threads, and the thresholds of the work its
// processes share. A user never sets these; the tests and the benchmark
// do, to compare forms, reach a limit with few taxa, or keep quiet.
struct AnalysisOptions {
    // Where progress lines and warnings go.
    std::ostream* console = &std::cout;
    // How a run's epochs are computed: the fast form, or the straightforward
    // one of the tests and the benchmark, and the kernels (null: the best
    // this processor runs).
    EpochComputeFactory epoch_compute = make_fast_epoch_compute;
    const EpochKernels* kernels = nullptr;
    // Threads of a run; 0: one per core this process may use, in an MPI group
    // shared with the group's other processes on the same machine.
    int worker_threads = 0;
    // Processes share a group's epochs from this many input positions of the
    // group on (and at least two inputs per process); below it every process
    // trains the group itself, as the group would, without exchanges.
    static constexpr long long kSharedEpochWork = 262144;
    long long shared_epoch_work = kSharedEpochWork;
    // Stop the attempts of a group with one input per process once it has
    // provably settled; tests compare with running them out.
    bool stop_settled_groups = true;
    // With a front end on process 0, every process trains each group that is
    // not shared itself, with no exchange in its epochs; after this much of
    // such work (inputs presented to a neuron at one position) the processes
    // meet to learn whether process 0 cancels the run. The same on every
    // process.
    static constexpr long long kCancelCheckWork = 1LL << 26;
    long long cancel_check_work = kCancelCheckWork;
    // A run gives up when its walk enters more than call_limit + 1 split
    // steps (the walker counts them); tests lower it to reach the limit
    // with a few taxa.
    static constexpr int kCallLimit = 100000;
    int call_limit = kCallLimit;
};
