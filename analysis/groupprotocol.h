#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "analysis/analysisstatus.h"
#include "analysis/sequencefile.h"

class ProcessGroup;
class SeqVector;
class SettingsAgreement;

// The steps that a process of an MPI group takes with the others, in the
// order a run takes them; groupmessages.h lays out what each step sends and
// ProcessGroup makes the calls. Every process takes the same steps in the
// same order, process 0 at the root of every broadcast.
class GroupProtocol {
public:
    // `group` stays with its owner and outlives the protocol.
    explicit GroupProtocol(ProcessGroup* group);
    GroupProtocol(const GroupProtocol&) = delete;
    GroupProtocol& operator=(const GroupProtocol&) = delete;

    int rank() const;
    // The processes of the group on this process's machine.
    int processes_on_node() const;

    // 1. The input. Process 0 shares `data`, read from `input_path`, or
    // refuses an input that no group can share (then the others still wait).
    AnalysisStatus share_input(const SequenceData& data, const std::string& input_path);
    // Every other process: process 0's input, or, when process 0 makes no
    // run, its silent end with the exit code it gave.
    AnalysisStatus receive_input(SequenceData* data);
    // Process 0 without an input to share: the others end with
    // `exit_code`, silently (0 when process 0 ends normally without a run).
    // Once; nothing once they have had the input.
    void release(int exit_code);
    // Process 0 has shared an input or released the group: the others wait
    // for nothing more from it before the run.
    bool served() const;
    // The run refused its settings before its first epoch and the others
    // wait for process 0's next input.
    void serve_again();
    // From another thread of process 0, while a run may be under way on
    // this one (its window has quit): whether the run will make no further
    // call with the others, so that the process may end without waiting for
    // it. So it is when the others have not had the input yet (they are
    // told now that none comes and end with `exit_code`; the run then
    // shares its input with no one), and when every process has done its
    // part of the run.
    bool leave(int exit_code);
    // leave has said so.
    bool left() const;

    // 2. The settings agreement, one collective.
    void agree(SettingsAgreement* agreement);

    // 3. After an epoch whose inputs the processes share: each process's
    // member lists, which hold only the inputs it classified, go to every
    // process, and the lists then hold every input of the group of n, in
    // process order, taxa taken by id from `taxa`. What the processes said
    // together: whether any converged, and whether process 0 cancels.
    struct Heard {
        bool converged;
        bool cancelled;
    };
    Heard exchange_members(SeqVector** members[2], int counts[2], int n, bool converged,
                           bool cancel, const std::vector<SeqVector*>& taxa);
    // Then every process's part of the neurons' update: part q of
    // sizes[q] values at places[q] of `all`.
    void gather_parts(const std::vector<double>& own, const std::vector<int>& sizes,
                      const std::vector<int>& places, std::vector<double>* all);

    // 4. The splits of a level that the processes trained apart: every
    // process's block of ints to all. Block q is sizes[q] ints at places[q]
    // of `received`.
    void share_blocks(const std::vector<int>& sent, std::vector<int>* received,
                      std::vector<int>* sizes, std::vector<int>* places);

    // 5. Among epochs that every process trains alone: whether process 0
    // cancels the run (`cancel` there).
    bool meet(bool cancel);

    // 6. Every process has done its part of the run; process 0 writes the
    // tree only after this.
    void agree_end();

private:
    // release, with input_step_ held.
    void release_held(int exit_code);

    ProcessGroup* group_;
    // Keeps the input step, which a run takes on one thread, apart from
    // leave on another.
    mutable std::mutex input_step_;
    bool served_ = false;
    // The run under way has made its last call with the others.
    bool finished_ = false;
    bool left_ = false;
    // The exit code that the others were released with.
    int released_code_ = 0;
    // Scratch of the exchange after an epoch, kept so that the epochs do not
    // allocate.
    std::vector<int> exchange_counts_;
    std::vector<int> exchange_displacements_;
    std::vector<int> exchange_sent_;
    std::vector<int> exchange_received_;
};
