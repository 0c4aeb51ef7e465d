#pragma once

#include <memory>

// The collective operations that a run shares with the other processes of
// its group. Every process calls them in the same order; process 0 is the
// root of every broadcast.
class ProcessGroup {
public:
    virtual ~ProcessGroup() = default;

    virtual int size() const = 0;
    virtual int rank() const = 0;
    // How many of the group's processes share this process's machine (and
    // so its cores); all of them unless the group knows better.
    virtual int processes_on_node() const { return size(); }

    virtual void broadcast(int* values, int count) = 0;
    virtual void broadcast(char* values, int count) = 0;
    // The broadcast that opens a run, or says that none comes: the other
    // processes may wait for it as long as a window stays open, and wait
    // without keeping a processor busy. Every process makes it in this form.
    virtual void broadcast_idle(int* values, int count) { broadcast(values, count); }
    // Gathers every process's block of codes into `received`, block q of
    // counts[q] codes at displacements[q].
    virtual void all_gather(const int* sent, int sent_count, int* received, const int* counts,
                            const int* displacements) = 0;
    virtual void all_gather(const double* sent, int sent_count, double* received, const int* counts,
                            const int* displacements) = 0;
    // Entry by entry, the largest of every process's `values`, left in
    // `values` on every process.
    virtual void largest(int* values, int count) = 0;
};

// The group of this MPI run, MPI_COMM_WORLD; MPI must be running. Made in
// mpiprocessgroup.cpp, the one file of the engine that calls MPI (the
// program's MPI call log, mpicalllog.cpp, defines the MPI functions it
// calls and passes each on to its PMPI form).
std::unique_ptr<ProcessGroup> make_mpi_process_group();
