#include "analysis/mpiprocessgroup.h"

#include <mpi.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

namespace {

// The pauses between the tests of an idle broadcast: short at first, so
// that a batch run starts at once, then long, so that an open window's
// wait costs next to nothing.
constexpr std::chrono::milliseconds kFirstPause(1);
constexpr std::chrono::milliseconds kLongestPause(100);
// How long an aborting process waits at most for mpiexec to read its last
// lines.
constexpr int kOutputDrainLooks = 200;
constexpr std::chrono::milliseconds kOutputDrainPause(5);
// How a process ends whose process manager has already gone.
constexpr int kExitManagerGone = 1;
// Set in the environment of every process that a process manager
// (mpiexec's proxy) starts.
constexpr const char* kManagedRankVariable = "PMI_RANK";

// mpiexec's proxy starts every process in a session of its own, and each
// holds copies of the proxy's pipes. When a process aborts, mpiexec may kill
// the proxy before the proxy has ended the other processes; one that waits
// in a collective would then live on, and mpiexec would wait for ever for
// its pipes to close. The kernel ends the process with its proxy instead.
void end_with_process_manager() {
    if (std::getenv(kManagedRankVariable) == nullptr) return;
    const pid_t manager = ::getppid();
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) return;
    // Gone before the request was made: the kernel will not send it.
    if (::getppid() != manager) std::_Exit(kExitManagerGone);
}

// MPI_Init learns the machine's layout through hwloc, whose GL component
// opens a connection to every X server on displays :0 to :9 to look for
// GPUs. The program needs none of them, and an X server that fails such a
// connection ends the process in MPI_Init (Xlib's handler exits), leaving
// the others of its group waiting. A choice of components of the user's own
// stands.
void keep_mpi_off_x_servers() {
    constexpr const char* kComponentsVariable = "HWLOC_COMPONENTS";
    constexpr const char* kWithoutGl = "-gl";
    constexpr int kKeepExisting = 0;
    ::setenv(kComponentsVariable, kWithoutGl, kKeepExisting);
}

}  // namespace

int MpiProcessGroup::granted_thread_level_ = -1;

int MpiProcessGroup::initialize(int* argc, char*** argv, bool threaded) {
    end_with_process_manager();
    keep_mpi_off_x_servers();
    if (threaded) {
        MPI_Init_thread(argc, argv, MPI_THREAD_SERIALIZED, &granted_thread_level_);
    } else {
        MPI_Init(argc, argv);
    }
    // mpiexec merges the standard output of every process, and MPI_Init
    // leaves standard output unbuffered: each piece of a line would be a
    // write of its own, and the lines of different processes would mix.
    // Line buffering (with a buffer of its own, or the unbuffered stream's
    // one-character buffer stays) makes each line one write.
    static char line_buffer[BUFSIZ];
    std::setvbuf(stdout, line_buffer, _IOLBF, sizeof line_buffer);
    int rank = 0;
    MPI_Comm_rank(MPI_COMM_WORLD, &rank);
    return rank;
}

AnalysisStatus MpiProcessGroup::thread_support() {
    if (granted_thread_level_ < 0 || granted_thread_level_ >= MPI_THREAD_SERIALIZED) {
        return AnalysisStatus::success();
    }
    return AnalysisStatus::failure("Error: MPI grants thread level " +
                                   std::to_string(granted_thread_level_) +
                                   ", the window needs MPI_THREAD_SERIALIZED (" +
                                   std::to_string(MPI_THREAD_SERIALIZED) + "); run with -nogui");
}

void MpiProcessGroup::abort(int exit_code) {
    std::fflush(stdout);
    // mpiexec reads this process's output through a pipe and may stop
    // reading once it hears of the abort: the line that says why goes first.
    for (int look = 0; look < kOutputDrainLooks; ++look) {
        int unread = 0;
        if (::ioctl(STDOUT_FILENO, FIONREAD, &unread) != 0 || unread == 0) break;
        std::this_thread::sleep_for(kOutputDrainPause);
    }
    MPI_Abort(MPI_COMM_WORLD, exit_code);
    // MPI_Abort does not return; should it, the process still ends.
    std::_Exit(exit_code);
}

void MpiProcessGroup::finalize() {
    MPI_Finalize();
}

MpiProcessGroup::MpiProcessGroup() : size_(1), rank_(0), processes_on_node_(1) {
    MPI_Comm_size(MPI_COMM_WORLD, &size_);
    MPI_Comm_rank(MPI_COMM_WORLD, &rank_);
    // The processes that can share memory are those of this machine: they
    // share its cores between their threads.
    MPI_Comm node;
    MPI_Comm_split_type(MPI_COMM_WORLD, MPI_COMM_TYPE_SHARED, rank_, MPI_INFO_NULL, &node);
    MPI_Comm_size(node, &processes_on_node_);
    MPI_Comm_free(&node);
}

void MpiProcessGroup::broadcast(int* values, int count) {
    MPI_Bcast(values, count, MPI_INT, 0, MPI_COMM_WORLD);
}

void MpiProcessGroup::broadcast(char* values, int count) {
    MPI_Bcast(values, count, MPI_CHAR, 0, MPI_COMM_WORLD);
}

void MpiProcessGroup::broadcast_idle(int* values, int count) {
    MPI_Request request;
    MPI_Ibcast(values, count, MPI_INT, 0, MPI_COMM_WORLD, &request);
    if (rank_ == 0) {
        MPI_Wait(&request, MPI_STATUS_IGNORE);
        return;
    }
    // MPICH polls inside a blocking wait and keeps a processor busy for as
    // long as it lasts; a test now and then between sleeps does not.
    std::chrono::milliseconds pause = kFirstPause;
    int done = 0;
    for (;;) {
        MPI_Test(&request, &done, MPI_STATUS_IGNORE);
        if (done) return;
        std::this_thread::sleep_for(pause);
        pause = std::min(2 * pause, kLongestPause);
    }
}

void MpiProcessGroup::all_gather(const int* sent, int sent_count, int* received, const int* counts,
                                 const int* displacements) {
    MPI_Allgatherv(sent, sent_count, MPI_INT, received, counts, displacements, MPI_INT,
                   MPI_COMM_WORLD);
}

void MpiProcessGroup::all_gather(const double* sent, int sent_count, double* received,
                                 const int* counts, const int* displacements) {
    MPI_Allgatherv(sent, sent_count, MPI_DOUBLE, received, counts, displacements, MPI_DOUBLE,
                   MPI_COMM_WORLD);
}

void MpiProcessGroup::largest(int* values, int count) {
    MPI_Allreduce(MPI_IN_PLACE, values, count, MPI_INT, MPI_MAX, MPI_COMM_WORLD);
}

std::unique_ptr<ProcessGroup> make_mpi_process_group() {
    return std::make_unique<MpiProcessGroup>();
}
