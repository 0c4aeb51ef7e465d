#pragma once

#include "analysis/processgroup.h"

// The process group of an MPI run: MPI_COMM_WORLD. The only place that
// calls MPI, so the engine builds and runs without it.
class MpiProcessGroup : public ProcessGroup {
public:
    // MPI_Init with the command line (MPI may take its own arguments out);
    // gives this process's rank.
    static int initialize(int* argc, char*** argv);
    static void finalize();

    MpiProcessGroup();

    int size() const override { return size_; }
    int rank() const override { return rank_; }
    int processes_on_node() const override { return processes_on_node_; }
    void broadcast(int* values, int count) override;
    void broadcast(char* values, int count) override;
    void all_gather(const int* sent, int sent_count, int* received, const int* counts,
                    const int* displacements) override;
    void all_gather(const double* sent, int sent_count, double* received, const int* counts,
                    const int* displacements) override;
    void largest(int* values, int count) override;

private:
    int size_;
    int rank_;
    int processes_on_node_;
};
