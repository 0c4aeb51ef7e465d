#pragma once

#include <string>

// What a step of the analysis tells its caller: success, or the line to
// show the user and the exit code that batch mode ends with. The engine
// never ends the process itself; batch mode prints the line, the window
// shows it in a message window, and main ends a group that must end now.
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
    // The same status, ending the group at once when `now`: a failure of one
    // process of an MPI group while the others may wait for it in a
    // collective that it will never make (main ends the group, after the
    // line).
    AnalysisStatus ending_group(bool now) const {
        AnalysisStatus status = *this;
        status.ends_group_now_ = !ok_ && now;
        return status;
    }

    bool ok() const { return ok_; }
    bool ends_group_now() const { return ends_group_now_; }
    int exit_code() const { return exit_code_; }
    const std::string& message() const { return message_; }

private:
    AnalysisStatus(bool ok, int exit_code, std::string message)
        : ok_(ok), exit_code_(exit_code), message_(std::move(message)) {}

    bool ok_;
    bool ends_group_now_ = false;
    int exit_code_;
    std::string message_;
};
