#include "analysis/treefile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file

AnalysisStatus not_created(const std::string& path) {
    return AnalysisStatus::failure("Error: Output file " + path + " could not be created");
}

AnalysisStatus not_written(const std::string& path, int error) {
    return AnalysisStatus::failure("Error: Output file " + path +
                                   " could not be written: " + std::strerror(error));
}

// While it lives, a write past the file size limit (SIGXFSZ) or into a pipe
// without a reader (SIGPIPE) fails with an error the writer handles, instead
// of ending the process with the file half written.
class WriteSignalsIgnored {
public:
    WriteSignalsIgnored() {
        struct sigaction ignore;
        std::memset(&ignore, 0, sizeof ignore);
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, &file_size_);
        sigaction(SIGPIPE, &ignore, &pipe_);
    }
    ~WriteSignalsIgnored() {
        sigaction(SIGXFSZ, &file_size_, nullptr);
        sigaction(SIGPIPE, &pipe_, nullptr);
    }
    WriteSignalsIgnored(const WriteSignalsIgnored&) = delete;
    WriteSignalsIgnored& operator=(const WriteSignalsIgnored&) = delete;

private:
    struct sigaction file_size_;
    struct sigaction pipe_;
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

// Writes all of `text`; gives 0 or the errno of the write that failed.
int write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) return errno;
        if (wrote == 0) return EIO;
        done += static_cast<std::size_t>(wrote);
    }
    return 0;
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
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return not_written(path, error);
    }
    // Only a regular file can be cut back; what went into a pipe is gone.
    const bool regular = S_ISREG(info.st_mode);
    const off_t before = regular ? info.st_size : 0;
    const bool glued = regular && ends_without_newline(fd, before);

    int error = 0;
    {
        WriteSignalsIgnored signals;
        error = glued ? write_all(fd, "\n" + line) : write_all(fd, line);
    }
    if (error != 0 && regular) {
        // Nothing of the line may stay: a later run would glue to it.
        while (::ftruncate(fd, before) != 0 && errno == EINTR) {
        }
    }
    // Some file systems report a failed write only when the file is closed.
    // Don't retry close in case of EINTR: the descriptor is gone either way.
    if (::close(fd) != 0 && error == 0 && errno != EINTR) {
        error = errno;
        // The descriptor is gone: cut back by name, as far as that goes.
        if (regular && ::truncate(path.c_str(), before) != 0) {
        }
    }
    if (error != 0) return not_written(path, error);
    return AnalysisStatus::success();
}
