#include "analysis/treefile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "analysis/blockedsignals.h"
#include "analysis/showntext.h"

namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file

// Held while a line goes into a regular file (or is cut back); held for
// good once appends stop.
std::mutex appending;

AnalysisStatus not_created(const std::string& path) {
    return AnalysisStatus::failure("Error: Output file " + shown_text(path) +
                                   " could not be created");
}

AnalysisStatus not_written(const std::string& path, int error) {
    return AnalysisStatus::failure("Error: Output file " + shown_text(path) +
                                   " could not be written: " + std::strerror(error));
}

// What a write raises itself: SIGPIPE into a pipe without a reader, SIGXFSZ
// past the file size limit.
constexpr int kWriteSignals[] = {SIGPIPE, SIGXFSZ};

sigset_t write_signals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : kWriteSignals) sigaddset(&signals, signal);
    return signals;
}

// While it lives, a write that raises one of kWriteSignals fails with an
// error the writer handles instead of ending the process. Only this
// thread's mask changes: the signal that such a write sends to its own
// thread waits, blocked, and is taken away before the mask is given back.
class WriteSignalsBlocked {
public:
    WriteSignalsBlocked() : blocked_(write_signals()) {}
    ~WriteSignalsBlocked() {
        sigset_t raised;
        sigemptyset(&raised);
        // One that the caller blocked itself is the caller's to take.
        for (int signal : kWriteSignals) {
            if (!blocked_.was_blocked(signal)) sigaddset(&raised, signal);
        }
        const timespec no_wait = {0, 0};
        const int saved = errno;
        for (;;) {
            const int taken = sigtimedwait(&raised, nullptr, &no_wait);
            if (taken < 0 && errno != EINTR) break;
        }
        errno = saved;
    }
    WriteSignalsBlocked(const WriteSignalsBlocked&) = delete;
    WriteSignalsBlocked& operator=(const WriteSignalsBlocked&) = delete;

private:
    BlockedSignals blocked_;
};

// An exclusive lock on a whole open file while it lives, for every run of
// this program that appends to it. The lock belongs to the open file, not
// to the process: it also keeps apart two runs in one process, and another
// descriptor of the file may be closed meanwhile. A file system that
// grants no lock gets the line without one.
class FileLock {
public:
    explicit FileLock(int fd) : fd_(fd) { apply(F_WRLCK); }
    ~FileLock() { apply(F_UNLCK); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    // Waits for the lock; a signal meanwhile still ends the process, with
    // nothing written.
    void apply(short type) {
        struct flock lock;
        std::memset(&lock, 0, sizeof lock);
        lock.l_type = type;
        lock.l_whence = SEEK_SET;  // from the start to the end, however long
        while (::fcntl(fd_, F_OFD_SETLKW, &lock) != 0 && errno == EINTR) {
        }
    }

    int fd_;
};

// Opens the tree file for appending. A regular file (or a new one) is opened
// for reading too, to see its last byte; a pipe or a device only for writing,
// so that the process never becomes its own reader.
int open_for_append(const std::string& path) {
    constexpr int kAppend = O_APPEND | O_CREAT | O_CLOEXEC;
    struct stat info;
    const bool regular = ::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode);
    int fd = regular ? ::open(path.c_str(), O_RDWR | kAppend, kNewFileMode) : -1;
    // A file that may be written but not read still takes the line.
    if (fd < 0) fd = ::open(path.c_str(), O_WRONLY | kAppend, kNewFileMode);
    return fd;
}

// Whether a file of `size` bytes has text on its last line that a new line
// would be glued to; false when that byte cannot be read.
bool ends_without_newline(int fd, off_t size) {
    char last = '\n';
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n';
}

// Writes a newline first when `newline_first`, then all of `line`, in one
// write unless the system takes less; gives 0 or the errno of the write
// that failed.
int write_line(int fd, bool newline_first, const std::string& line) {
    char newline = '\n';
    iovec parts[2] = {{&newline, newline_first ? 1u : 0u},
                      {const_cast<char*>(line.data()), line.size()}};
    int first = 0;
    for (;;) {
        while (first < 2 && parts[first].iov_len == 0) ++first;
        if (first == 2) return 0;
        const ssize_t wrote = ::writev(fd, parts + first, 2 - first);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) return errno;
        if (wrote == 0) return EIO;
        std::size_t done = static_cast<std::size_t>(wrote);
        for (; done > 0; ++first) {
            const std::size_t taken = done < parts[first].iov_len ? done : parts[first].iov_len;
            parts[first].iov_base = static_cast<char*>(parts[first].iov_base) + taken;
            parts[first].iov_len -= taken;
            done -= taken;
            if (parts[first].iov_len > 0) break;
        }
    }
}

// Some file systems (NFS) report a failed write only when the file is
// closed. Closing a second descriptor tells, while this one keeps the lock.
// Gives 0 or the errno of that close.
int close_error(int fd) {
    const int extra = ::dup(fd);
    if (extra < 0) return 0;
    // Don't retry close in case of EINTR: the descriptor is gone either way.
    return ::close(extra) != 0 && errno != EINTR ? errno : 0;
}

// The whole append to a regular file, under its lock: the length and the
// last byte are read, the line is written, and a write that fails is cut
// back, with nothing that another run appended in between. Gives 0 or the
// errno that failed.
int append_locked(int fd, const std::string& line) {
    struct stat info;
    if (::fstat(fd, &info) != 0) return errno;
    const off_t before = info.st_size;
    int error = write_line(fd, ends_without_newline(fd, before), line);
    if (error == 0) error = close_error(fd);
    // Nothing of the line may stay: a later run would glue to it.
    while (error != 0 && ::ftruncate(fd, before) != 0 && errno == EINTR) {
    }
    return error;
}

}  // namespace

AnalysisStatus check_tree_file(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode) || ::access(path.c_str(), W_OK) != 0) return not_created(path);
        return AnalysisStatus::success();
    }
    if (errno != ENOENT) return not_created(path);
    // O_NONBLOCK: should a FIFO appear meanwhile, fail rather than wait.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, kNewFileMode);
    if (fd < 0) return not_created(path);
    ::close(fd);
    return AnalysisStatus::success();
}

AnalysisStatus append_tree_line(const std::string& path, const std::string& line) {
    const int fd = open_for_append(path);
    if (fd < 0) return not_written(path, errno);
    struct stat info;
    int error = ::fstat(fd, &info) != 0 ? errno : 0;
    const bool regular = error == 0 && S_ISREG(info.st_mode);
    if (regular) {
        const FileLock lock(fd);
        // From here the line goes in whole or not at all: a request to end
        // the process waits until it has, as does an end on another thread.
        const std::lock_guard<std::mutex> whole(appending);
        const BlockedSignals held(BlockedSignals::termination());
        const WriteSignalsBlocked write_signals;
        error = append_locked(fd, line);
    } else if (error == 0) {
        // What went into a pipe or a device is gone: nothing to cut back,
        // and no reason to keep a request to end the process waiting on a
        // slow reader.
        const WriteSignalsBlocked write_signals;
        error = write_line(fd, false, line);
    }
    // A regular file's close has been tried under the lock already.
    if (::close(fd) != 0 && error == 0 && !regular && errno != EINTR) error = errno;
    if (error != 0) return not_written(path, error);
    return AnalysisStatus::success();
}

void stop_tree_appends() {
    appending.lock();
}
