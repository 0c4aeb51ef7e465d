#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>

// The record of every MPI call of one process, kept by the profiling layer
// in mpicalllog.cpp (which defines the MPI functions the program calls and
// passes each on to its PMPI form). Recording starts when MPI_Init (or
// MPI_Init_thread) is entered, so only MPI runs write a log.
//
// File: tavrel-mpi-<rank>.log in the working directory. First line a
// header, then one line per call in the order made: name, rank, start and
// end in seconds since MPI_Init was entered, and the bytes of message data
// of the call on this process. The lines go through a buffer of fixed size
// into a file beside the final name, which takes that name when MPI is
// finalised (or aborted): the log appears whole, replacing an older one,
// and its memory stays the same however long the run. It allocates
// nothing: it runs inside MPI_Init and MPI_Finalize, where a refusal of
// memory could not be answered.
class MpiCallLog {
public:
    static MpiCallLog& instance();

    // A file name, held in place.
    struct FileName {
        char text[64];
        const char* c_str() const { return text; }
    };
    // The name of the log of process `rank`, and of the file it grows in.
    static FileName file_name(int rank);
    static FileName growing_file_name(int rank);

    // Seconds since MPI_Init was entered (0 before).
    double now() const;
    void start();
    // The name of this process's log.
    FileName own_file_name() const { return file_name(rank_); }
    // This process's place in the group: the log can start its file.
    void set_group(int rank, int size);
    void add(const char* name, double start, double end, long long bytes);
    // Writes what is left and gives the log its name; once, later calls do
    // nothing. False when the log could not be written.
    bool finish();

    // Bytes of records held in memory at most.
    static constexpr std::size_t kBufferBytes = 64 * 1024;
    // A record line is never longer than this.
    static constexpr std::size_t kLongestRecord = 256;

private:
    MpiCallLog() = default;
    void write_buffer();

    bool started_ = false;
    bool finished_ = false;
    bool failed_ = false;
    int rank_ = -1;
    int size_ = 0;
    std::chrono::steady_clock::time_point origin_;
    std::FILE* file_ = nullptr;
    char buffer_[kBufferBytes];
    std::size_t used_ = 0;
};
