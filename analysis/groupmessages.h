#pragma once

#include <vector>

#include "analysis/sequencefile.h"

class ProcessGroup;
class SeqVector;

// What travels between the processes of an MPI group, in the order a run
// sends it. Every process makes the same calls in the same order; process 0
// is the root of every broadcast.
//
// 1. The input, from process 0 (input_message): the taxon count by the idle
//    broadcast, which the others wait in while a window waits for "Run
//    Analysis"; the sequence length; the names' lengths; then taxon by
//    taxon the name's bytes and the sequence's letters. A count of -1
//    releases the group instead: no input comes, and the length word
//    carries the exit code that every process ends with, silently.
// 2. The settings agreement: one reduction of int words, each setting beside
//    its complement (SettingsAgreement).
// 3. Per epoch of a group whose epochs the processes share: one all-gather of
//    each process's members as pair codes with its flags (member_message),
//    then one of the parts of the Kohonen update, in doubles.
// 4. Without a front end, per level of the tree whose steps are spread over
//    the processes, one all-gather of each process's block size and one of
//    the blocks (split_message).
// 5. With a front end, among epochs that every process trains alone: now
//    and then one int broadcast from process 0, whether it cancels the run.
// 6. At the end of the run, before process 0 writes the tree: one reduction
//    of one int (end_message). A process that fails before it ends the
//    group, so the tree is written only once every process has done its
//    part.

// Message 1.
namespace input_message {
// Sends `data` (names and letters) to the other processes; `*sent` turns
// true as the first word goes out, once nothing can fail before it.
void send(ProcessGroup* group, const SequenceData& data, bool* sent);
// Tells the other processes that no input comes, and to end with
// `exit_code`.
void send_release(ProcessGroup* group, int exit_code);
// Receives process 0's input into `data`; false, with the exit code, when
// process 0 released the group instead.
bool receive(ProcessGroup* group, SequenceData* data, int* exit_code);
// The bytes of the names and letters of `data`, which travel in one
// broadcast: over INT_MAX cannot.
long long body_bytes(const SequenceData& data);
}  // namespace input_message

// Message 3: a process's block is a pair code per input it classified (see
// AnalysisModule::pair), neuron 0's members first, then its flags.
namespace member_message {
constexpr int kConvergedFlag = 1;
constexpr int kCancelFlag = 2;
// Block q's length and place among the blocks of a group of n inputs.
void layout(int n, int processes, std::vector<int>* counts, std::vector<int>* displacements);
// This process's block.
void pack(SeqVector* const* const members[2], const int counts[2], int flags,
          std::vector<int>* block);
// Every block into the member lists, in process order; gives the flags of
// all blocks or-ed together.
int unpack(const int* received, const std::vector<int>& counts,
           const std::vector<int>& displacements, const std::vector<SeqVector*>& taxa,
           SeqVector** members[2], int member_counts[2]);
}  // namespace member_message

// Message 4: per step a process trained, in level order, the two side
// sizes, the taxon ids of each side in order, the failed attempts and
// whether the farthest pair split it.
namespace split_message {
void pack(const std::vector<SeqVector*> sides[2], int zero_partitions, bool farthest_pair,
          std::vector<int>* sent);
// Reads one step of `n` taxa from `at` and gives where the next begins.
const int* unpack(const int* at, int n, const std::vector<SeqVector*>& taxa,
                  std::vector<SeqVector*> sides[2], int* zero_partitions, bool* farthest_pair);
}  // namespace split_message

// Message 6.
namespace end_message {
void agree(ProcessGroup* group);
}  // namespace end_message
