#include "analysis/groupprotocol.h"

#include <climits>

#include "analysis/check.h"
#include "analysis/groupmessages.h"
#include "analysis/processgroup.h"
#include "analysis/settingsagreement.h"
#include "analysis/showntext.h"

GroupProtocol::GroupProtocol(ProcessGroup* group) : group_(group) {}

int GroupProtocol::rank() const {
    return group_->rank();
}

int GroupProtocol::processes_on_node() const {
    return group_->processes_on_node();
}

AnalysisStatus GroupProtocol::share_input(const SequenceData& data, const std::string& input_path) {
    if (data.num_seqs > member_message::kMaxTaxa) {
        return AnalysisStatus::failure("Error: An MPI run takes at most " +
                                       std::to_string(member_message::kMaxTaxa) + " taxa, not " +
                                       std::to_string(data.num_seqs));
    }
    if (input_message::body_bytes(data) > INT_MAX) {
        return AnalysisStatus::failure("Error: Input file " + shown_text(input_path) +
                                       " is too large to share between MPI processes");
    }
    const std::lock_guard<std::mutex> held(input_step_);
    // Released meanwhile from another thread: the others have gone.
    if (left_) return AnalysisStatus::silent_failure(released_code_);
    finished_ = false;
    input_message::send(group_, data, &served_);
    return AnalysisStatus::success();
}

AnalysisStatus GroupProtocol::receive_input(SequenceData* data) {
    int exit_code = 0;
    if (!input_message::receive(group_, data, &exit_code)) {
        return AnalysisStatus::silent_failure(exit_code);
    }
    return AnalysisStatus::success();
}

void GroupProtocol::release(int exit_code) {
    const std::lock_guard<std::mutex> held(input_step_);
    release_held(exit_code);
}

void GroupProtocol::release_held(int exit_code) {
    if (rank() != 0 || served_) return;
    tavrel_assert(exit_code >= 0);
    served_ = true;
    released_code_ = exit_code;
    input_message::send_release(group_, exit_code);
}

bool GroupProtocol::served() const {
    const std::lock_guard<std::mutex> held(input_step_);
    return served_;
}

void GroupProtocol::serve_again() {
    const std::lock_guard<std::mutex> held(input_step_);
    served_ = false;
}

bool GroupProtocol::leave(int exit_code) {
    const std::lock_guard<std::mutex> held(input_step_);
    if (rank() != 0) return false;
    if (!served_) {
        release_held(exit_code);
        left_ = true;
    } else if (finished_) {
        left_ = true;
    }
    return left_;
}

bool GroupProtocol::left() const {
    const std::lock_guard<std::mutex> held(input_step_);
    return left_;
}

void GroupProtocol::agree(SettingsAgreement* agreement) {
    agreement->agree(group_);
}

GroupProtocol::Heard GroupProtocol::exchange_members(SeqVector** members[2], int counts[2], int n,
                                                     bool converged, bool cancel,
                                                     const std::vector<SeqVector*>& taxa) {
    const int flags = (converged ? member_message::kConvergedFlag : 0) |
                      (cancel ? member_message::kCancelFlag : 0);
    const int processes = group_->size();
    const int own = group_->rank();
    member_message::layout(n, processes, &exchange_counts_, &exchange_displacements_);
    member_message::pack(members, counts, flags, &exchange_sent_);
    tavrel_assert(static_cast<int>(exchange_sent_.size()) == exchange_counts_[own]);
    exchange_received_.resize(n + processes);
    group_->all_gather(exchange_sent_.data(), exchange_counts_[own], exchange_received_.data(),
                       exchange_counts_.data(), exchange_displacements_.data());
    const int all_flags = member_message::unpack(exchange_received_.data(), exchange_counts_,
                                                 exchange_displacements_, taxa, members, counts);
    return {(all_flags & member_message::kConvergedFlag) != 0,
            (all_flags & member_message::kCancelFlag) != 0};
}

void GroupProtocol::gather_parts(const std::vector<double>& own, const std::vector<int>& sizes,
                                 const std::vector<int>& places, std::vector<double>* all) {
    group_->all_gather(own.data(), static_cast<int>(own.size()), all->data(), sizes.data(),
                       places.data());
}

void GroupProtocol::share_blocks(const std::vector<int>& sent, std::vector<int>* received,
                                 std::vector<int>* sizes, std::vector<int>* places) {
    const int processes = group_->size();
    // First every block's size, one int from each process.
    const std::vector<int> ones(processes, 1);
    std::vector<int> each(processes);
    for (int q = 0; q < processes; ++q) each[q] = q;
    sizes->assign(processes, 0);
    const int size = static_cast<int>(sent.size());
    group_->all_gather(&size, 1, sizes->data(), ones.data(), each.data());
    places->assign(processes, 0);
    for (int q = 1; q < processes; ++q) (*places)[q] = (*places)[q - 1] + (*sizes)[q - 1];
    received->resize(static_cast<std::size_t>(places->back()) + sizes->back());
    group_->all_gather(sent.data(), size, received->data(), sizes->data(), places->data());
}

bool GroupProtocol::meet(bool cancel) {
    int said = cancel ? 1 : 0;
    group_->broadcast(&said, 1);
    return said != 0;
}

void GroupProtocol::agree_end() {
    end_message::agree(group_);
    const std::lock_guard<std::mutex> held(input_step_);
    finished_ = true;
}
