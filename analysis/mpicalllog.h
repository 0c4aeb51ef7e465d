#pragma once

#include <chrono>
#include <string>
#include <vector>

// The record of every MPI call of one process, kept by the profiling layer
// in mpicalllog.cpp (which defines the MPI functions the program calls and
// passes each on to its PMPI form). Recording starts when MPI_Init (or
// MPI_Init_thread) is entered; the log is written to the working directory
// when MPI_Finalize (or MPI_Abort) is called, so only MPI runs write one.
//
// File: tavrel-mpi-<rank>.log. First line a header, then one line per call
// in the order made: name, rank, start and end in seconds since MPI_Init
// was entered, and the bytes of message data of the call on this process.
class MpiCallLog {
public:
    struct Call {
        const char* name;
        double start;
        double end;
        long long bytes;
    };

    static MpiCallLog& instance();

    // The name of the log of process `rank`.
    static std::string file_name(int rank);

    // Seconds since MPI_Init was entered (0 before).
    double now() const;
    void start();
    bool started() const { return started_; }
    // The name of this process's log.
    std::string own_file_name() const { return file_name(rank_); }
    void set_group(int rank, int size);
    void add(const char* name, double start, double end, long long bytes);
    // Writes the log once; later calls do nothing. False when the file
    // could not be written.
    bool write();

private:
    MpiCallLog() = default;

    bool started_ = false;
    bool written_ = false;
    int rank_ = -1;
    int size_ = 0;
    std::chrono::steady_clock::time_point origin_;
    std::vector<Call> calls_;
};
