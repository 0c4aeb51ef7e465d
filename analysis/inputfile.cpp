#include "analysis/inputfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "analysis/showntext.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

// A path that names nothing, or runs through something that is not a folder.
bool is_missing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

}  // namespace

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

AnalysisStatus InputFile::not_found(const std::string& path) {
    return AnalysisStatus::failure("Error: Input file " + shown_text(path) + " not found");
}

AnalysisStatus InputFile::unreadable(const std::string& path, int error) {
    return AnalysisStatus::failure("Error: Input file " + shown_text(path) +
                                   " could not be read: " + std::strerror(error));
}

AnalysisStatus InputFile::check(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        return is_missing(error) ? not_found(path) : unreadable(path, error);
    }
    if (S_ISDIR(info.st_mode)) return unreadable(path, EISDIR);
    if (::access(path.c_str(), R_OK) != 0) return unreadable(path, errno);
    return AnalysisStatus::success();
}

AnalysisStatus InputFile::open(const std::string& path) {
    path_ = path;
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        return is_missing(error) ? not_found(path) : unreadable(path, error);
    }
    buffer_.resize(kBufferSize);
    return AnalysisStatus::success();
}

AnalysisStatus InputFile::read_status() const {
    if (error_ != 0) return unreadable(path_, error_);
    return AnalysisStatus::success();
}

InputFile::int_type InputFile::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (fd_ < 0 || error_ != 0) return traits_type::eof();
    ssize_t got;
    do {
        got = ::read(fd_, buffer_.data(), buffer_.size());
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        error_ = errno;
        return traits_type::eof();
    }
    if (got == 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
    return traits_type::to_int_type(*gptr());
}
