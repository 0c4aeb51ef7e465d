#pragma once

#include <string>

// What a step of the analysis tells its caller: success, or the line to
// show the user and the exit code that batch mode ends with. The engine
// never ends the process itself; batch mode prints the line, the window
// shows it in a message window.
class AnalysisStatus {
public:
    static AnalysisStatus success() { return AnalysisStatus(true, 0, std::string()); }
    static AnalysisStatus failure(std::string line, int exit_code = 1) {
        return AnalysisStatus(false, exit_code, std::move(line));
    }
    // An end that another process has decided and reported: no line of its
    // own. It stops the step even with exit code 0 (process 0 of an MPI
    // group quit its window before any run).
    static AnalysisStatus silent_failure(int exit_code) {
        return AnalysisStatus(false, exit_code, std::string());
    }

    bool ok() const { return ok_; }
    int exit_code() const { return exit_code_; }
    const std::string& message() const { return message_; }

private:
    AnalysisStatus(bool ok, int exit_code, std::string message)
        : ok_(ok), exit_code_(exit_code), message_(std::move(message)) {}

    bool ok_;
    int exit_code_;
    std::string message_;
};
