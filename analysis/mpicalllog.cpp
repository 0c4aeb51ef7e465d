#include "analysis/mpicalllog.h"

#include <mpi.h>

#include <algorithm>
#include <cstdio>

MpiCallLog& MpiCallLog::instance() {
    static MpiCallLog log;
    return log;
}

MpiCallLog::FileName MpiCallLog::file_name(int rank) {
    FileName name;
    std::snprintf(name.text, sizeof name.text, "tavrel-mpi-%d.log", rank);
    return name;
}

MpiCallLog::FileName MpiCallLog::growing_file_name(int rank) {
    FileName name;
    std::snprintf(name.text, sizeof name.text, "tavrel-mpi-%d.log.part", rank);
    return name;
}

double MpiCallLog::now() const {
    if (!started_) return 0.0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
}

void MpiCallLog::start() {
    if (started_) return;
    origin_ = std::chrono::steady_clock::now();
    started_ = true;
}

void MpiCallLog::set_group(int rank, int size) {
    rank_ = rank;
    size_ = size;
    if (!started_ || file_ || failed_) return;
    file_ = std::fopen(growing_file_name(rank_).c_str(), "w");
    if (!file_) {
        failed_ = true;
        return;
    }
    used_ = static_cast<std::size_t>(
        std::snprintf(buffer_, kBufferBytes,
                      "# tavrel MPI call log, rank %d of %d: call rank start_s end_s bytes"
                      " (seconds since MPI_Init)\n",
                      rank_, size_));
}

void MpiCallLog::write_buffer() {
    if (file_ && used_ > 0 && std::fwrite(buffer_, 1, used_, file_) != used_) failed_ = true;
    used_ = 0;
}

void MpiCallLog::add(const char* name, double start, double end, long long bytes) {
    if (!started_ || !file_ || finished_) return;
    if (kBufferBytes - used_ < kLongestRecord) write_buffer();
    const int written = std::snprintf(buffer_ + used_, kLongestRecord, "%s %d %.9f %.9f %lld\n",
                                      name, rank_, start, end, bytes);
    if (written > 0) used_ += std::min(static_cast<std::size_t>(written), kLongestRecord - 1);
}

bool MpiCallLog::finish() {
    if (!started_ || finished_ || rank_ < 0) return true;
    finished_ = true;
    if (!file_) return false;
    write_buffer();
    const bool flushed = std::fflush(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    const FileName growing = growing_file_name(rank_);
    if (failed_ || !flushed || !closed ||
        std::rename(growing.c_str(), own_file_name().c_str()) != 0) {
        std::remove(growing.c_str());
        return false;
    }
    return true;
}

namespace {

long long data_bytes(long long count, MPI_Datatype type) {
    int size = 0;
    PMPI_Type_size(type, &size);
    return count * size;
}

void write_log() {
    MpiCallLog& log = MpiCallLog::instance();
    if (!log.finish()) {
        std::printf("Warning: MPI call log %s could not be written\n", log.own_file_name().c_str());
        std::fflush(stdout);
    }
}

// The first entry of the log, once MPI runs and the process knows its rank.
void log_initialization(const char* name, double start) {
    MpiCallLog& log = MpiCallLog::instance();
    const double end = log.now();
    int rank = 0;
    int size = 0;
    PMPI_Comm_rank(MPI_COMM_WORLD, &rank);
    PMPI_Comm_size(MPI_COMM_WORLD, &size);
    log.set_group(rank, size);
    log.add(name, start, end, 0);
}

// Makes `call` (an MPI call's PMPI form) and logs it under `name` with the
// bytes of message data it moves on this process.
template <typename Call>
int logged(const char* name, long long bytes, const Call& call) {
    MpiCallLog& log = MpiCallLog::instance();
    const double start = log.now();
    const int result = call();
    log.add(name, start, log.now(), bytes);
    return result;
}

}  // namespace

// The program's MPI calls, recorded and passed on to MPI's profiling
// interface. MPI's own internal calls do not come through here.
extern "C" {

int MPI_Init(int* argc, char*** argv) {
    MpiCallLog& log = MpiCallLog::instance();
    log.start();
    const double start = log.now();
    const int result = PMPI_Init(argc, argv);
    log_initialization("MPI_Init", start);
    return result;
}

int MPI_Init_thread(int* argc, char*** argv, int required, int* provided) {
    MpiCallLog& log = MpiCallLog::instance();
    log.start();
    const double start = log.now();
    const int result = PMPI_Init_thread(argc, argv, required, provided);
    log_initialization("MPI_Init_thread", start);
    return result;
}

int MPI_Comm_rank(MPI_Comm comm, int* rank) {
    return logged("MPI_Comm_rank", 0, [&] { return PMPI_Comm_rank(comm, rank); });
}

int MPI_Comm_size(MPI_Comm comm, int* size) {
    return logged("MPI_Comm_size", 0, [&] { return PMPI_Comm_size(comm, size); });
}

int MPI_Comm_split_type(MPI_Comm comm, int split_type, int key, MPI_Info info, MPI_Comm* newcomm) {
    return logged("MPI_Comm_split_type", 0,
                  [&] { return PMPI_Comm_split_type(comm, split_type, key, info, newcomm); });
}

int MPI_Comm_free(MPI_Comm* comm) {
    return logged("MPI_Comm_free", 0, [&] { return PMPI_Comm_free(comm); });
}

int MPI_Bcast(void* buffer, int count, MPI_Datatype type, int root, MPI_Comm comm) {
    return logged("MPI_Bcast", data_bytes(count, type),
                  [&] { return PMPI_Bcast(buffer, count, type, root, comm); });
}

int MPI_Ibcast(void* buffer, int count, MPI_Datatype type, int root, MPI_Comm comm,
               MPI_Request* request) {
    return logged("MPI_Ibcast", data_bytes(count, type),
                  [&] { return PMPI_Ibcast(buffer, count, type, root, comm, request); });
}

int MPI_Test(MPI_Request* request, int* flag, MPI_Status* status) {
    return logged("MPI_Test", 0, [&] { return PMPI_Test(request, flag, status); });
}

int MPI_Wait(MPI_Request* request, MPI_Status* status) {
    return logged("MPI_Wait", 0, [&] { return PMPI_Wait(request, status); });
}

int MPI_Allgatherv(const void* sent, int sent_count, MPI_Datatype sent_type, void* received,
                   const int counts[], const int displacements[], MPI_Datatype received_type,
                   MPI_Comm comm) {
    // Everything gathered, this process's own block included.
    int processes = 0;
    PMPI_Comm_size(comm, &processes);
    long long gathered = 0;
    for (int q = 0; q < processes; ++q) gathered += counts[q];
    return logged("MPI_Allgatherv", data_bytes(gathered, received_type), [&] {
        return PMPI_Allgatherv(sent, sent_count, sent_type, received, counts, displacements,
                               received_type, comm);
    });
}

int MPI_Allreduce(const void* sent, void* received, int count, MPI_Datatype type, MPI_Op op,
                  MPI_Comm comm) {
    return logged("MPI_Allreduce", data_bytes(count, type),
                  [&] { return PMPI_Allreduce(sent, received, count, type, op, comm); });
}

int MPI_Abort(MPI_Comm comm, int exit_code) {
    MpiCallLog& log = MpiCallLog::instance();
    const double now = log.now();
    // The call does not return: its line ends where it starts.
    log.add("MPI_Abort", now, now, 0);
    write_log();
    return PMPI_Abort(comm, exit_code);
}

int MPI_Finalize(void) {
    const int result = logged("MPI_Finalize", 0, [] { return PMPI_Finalize(); });
    write_log();
    return result;
}

}  // extern "C"
