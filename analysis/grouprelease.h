#pragma once

#include "analysis/groupprotocol.h"

// Process 0 of an MPI group ends its part in one of two ways: the other
// processes get the input, or they learn that none comes and which exit
// code to end with. The guard makes sure of the second, with the code it was
// given, when it goes out of scope; it does nothing without a group, on
// other processes, or once the others have been served.
class GroupRelease {
public:
    // `protocol` is the group's, or null without one.
    explicit GroupRelease(GroupProtocol* protocol) : protocol_(protocol) {}
    ~GroupRelease() {
        if (protocol_) protocol_->release(exit_code_);
    }
    GroupRelease(const GroupRelease&) = delete;
    GroupRelease& operator=(const GroupRelease&) = delete;

    // The exit code that process 0 ends with; given back unchanged.
    int ending(int exit_code) {
        exit_code_ = exit_code;
        return exit_code;
    }

private:
    GroupProtocol* protocol_;
    // An end that names no code is an error.
    int exit_code_ = 1;
};
