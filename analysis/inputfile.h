#pragma once

#include <streambuf>
#include <string>
#include <vector>

#include "analysis/analysisstatus.h"

// The sequence file, opened once for reading: a stream buffer over its file
// descriptor that remembers why a read failed, so that a directory or an
// unreadable device is an error and not an empty file.
class InputFile : public std::streambuf {
public:
    InputFile() = default;
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Whether `path` names something that can be read, without opening it:
    // a FIFO or a terminal must not lose what it holds to a mere check.
    static AnalysisStatus check(const std::string& path);

    // Opens `path`; blocks on a FIFO until a writer comes.
    AnalysisStatus open(const std::string& path);
    // After reading: the error of a read that failed, or success.
    AnalysisStatus read_status() const;

protected:
    int_type underflow() override;

private:
    static AnalysisStatus not_found(const std::string& path);
    static AnalysisStatus unreadable(const std::string& path, int error);

    std::string path_;
    int fd_ = -1;
    // errno of the read that failed; 0 while every read succeeded.
    int error_ = 0;
    std::vector<char> buffer_;
};
