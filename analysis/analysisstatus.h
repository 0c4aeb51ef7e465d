#pragma once

#include <string>

// What a step of the analysis tells its caller: success, or the line to
// show the user and the exit code that batch mode ends with. The engine
// never ends the process itself; batch mode prints the line, the window
// shows it in a message window.
class AnalysisStatus {
public:
    static AnalysisStatus success() { return AnalysisStatus(0, std::string()); }
    static AnalysisStatus failure(std::string line, int exit_code = 1) {
        return AnalysisStatus(exit_code, std::move(line));
    }
    // A failure that another process has already reported: no line of its own.
    static AnalysisStatus silent_failure(int exit_code) {
        return AnalysisStatus(exit_code, std::string());
    }

    bool ok() const { return exit_code_ == 0; }
    int exit_code() const { return exit_code_; }
    const std::string& message() const { return message_; }

private:
    AnalysisStatus(int exit_code, std::string message)
        : exit_code_(exit_code), message_(std::move(message)) {}

    int exit_code_;
    std::string message_;
};
