#pragma once

#include "analysis/analysisstatus.h"
#include "analysis/processgroup.h"

// The process group of an MPI run: MPI_COMM_WORLD. The only place of the
// engine that calls MPI, so the engine builds and runs without it; below it
// the call log of mpicalllog.cpp records each call and passes it on to
// PMPI.
class MpiProcessGroup : public ProcessGroup {
public:
    // MPI_Init with the command line (MPI may take its own arguments out);
    // gives this process's rank. With `threaded`, MPI_Init_thread asking
    // that one thread at a time, not only the main one, may call MPI (the
    // window's analysis thread makes the calls of its run).
    static int initialize(int* argc, char*** argv, bool threaded = false);
    // Whether MPI grants what a threaded initialize asked for; a refusal
    // names the level it grants. Success after an initialize without threads.
    static AnalysisStatus thread_support();
    static void finalize();
    // Ends every process of the group at once with `exit_code`, for a
    // process that the others may wait for in a collective it will never
    // make.
    [[noreturn]] static void abort(int exit_code);

    MpiProcessGroup();

    int size() const override { return size_; }
    int rank() const override { return rank_; }
    int processes_on_node() const override { return processes_on_node_; }
    void broadcast(int* values, int count) override;
    void broadcast(char* values, int count) override;
    void broadcast_idle(int* values, int count) override;
    void all_gather(const int* sent, int sent_count, int* received, const int* counts,
                    const int* displacements) override;
    void all_gather(const double* sent, int sent_count, double* received, const int* counts,
                    const int* displacements) override;
    void largest(int* values, int count) override;

private:
    // The thread level that MPI_Init_thread granted, or -1 when initialize
    // asked for none.
    static int granted_thread_level_;

    int size_;
    int rank_;
    int processes_on_node_;
};
