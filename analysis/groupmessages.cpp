#include "analysis/groupmessages.h"

#include <climits>
#include <cstring>

#include "analysis/analysismodule.h"
#include "analysis/check.h"
#include "analysis/processgroup.h"

namespace {

// The count that releases the group instead of an input.
constexpr int kNoInput = -1;

SeqVector* taxon_of(const std::vector<SeqVector*>& taxa, int id) {
    tavrel_assert(id >= 0 && id < static_cast<int>(taxa.size()));
    return taxa[id];
}

}  // namespace

namespace input_message {

long long body_bytes(const SequenceData& data) {
    long long bytes = static_cast<long long>(data.num_seqs) * data.seq_len;
    for (const CharString& name : data.names) bytes += name.getLength();
    return bytes;
}

void send(ProcessGroup* group, const SequenceData& data, bool* sent) {
    const long long packed_len = body_bytes(data);
    tavrel_assert(packed_len <= INT_MAX);
    std::vector<int> name_lengths(data.num_seqs);
    for (int i = 0; i < data.num_seqs; ++i) name_lengths[i] = data.names[i].getLength();
    // Packed before the others hear that an input comes: should memory run
    // out here, they can still be told that none does.
    std::vector<char> packed(static_cast<std::size_t>(packed_len));
    long long m = 0;
    for (int i = 0; i < data.num_seqs; ++i) {
        std::memcpy(packed.data() + m, data.names[i].c_str(), name_lengths[i]);
        m += name_lengths[i];
        std::memcpy(packed.data() + m, data.sequences[i].data(), data.seq_len);
        m += data.seq_len;
    }
    tavrel_assert(m == packed_len);
    int counts[2] = {data.num_seqs, data.seq_len};
    *sent = true;
    group->broadcast_idle(&counts[0], 1);
    group->broadcast(&counts[1], 1);
    group->broadcast(name_lengths.data(), data.num_seqs);
    group->broadcast(packed.data(), static_cast<int>(packed_len));
}

void send_release(ProcessGroup* group, int exit_code) {
    int counts[2] = {kNoInput, exit_code};
    group->broadcast_idle(&counts[0], 1);
    group->broadcast(&counts[1], 1);
}

bool receive(ProcessGroup* group, SequenceData* data, int* exit_code) {
    // The wait for process 0's run, which a window starts when it pleases.
    group->broadcast_idle(&data->num_seqs, 1);
    group->broadcast(&data->seq_len, 1);
    if (data->num_seqs < 0) {
        *exit_code = data->seq_len;
        *data = SequenceData();
        return false;
    }
    std::vector<int> name_lengths(data->num_seqs);
    group->broadcast(name_lengths.data(), data->num_seqs);
    long long packed_len = static_cast<long long>(data->num_seqs) * data->seq_len;
    for (int length : name_lengths) packed_len += length;
    std::vector<char> packed(static_cast<std::size_t>(packed_len));
    group->broadcast(packed.data(), static_cast<int>(packed_len));
    const char* m = packed.data();
    for (int i = 0; i < data->num_seqs; ++i) {
        CharString name;
        for (int j = 0; j < name_lengths[i]; ++j) name += *m++;
        data->names.push_back(name);
        data->sequences.emplace_back(m, data->seq_len);
        m += data->seq_len;
    }
    return true;
}

}  // namespace input_message

namespace member_message {

void layout(int n, int processes, std::vector<int>* counts, std::vector<int>* displacements) {
    counts->resize(processes);
    displacements->resize(processes);
    for (int q = 0; q < processes; ++q) {
        // The inputs q, q + processes, ... and the flags.
        (*counts)[q] = n / processes + (q < n % processes ? 1 : 0) + 1;
        (*displacements)[q] = q == 0 ? 0 : (*displacements)[q - 1] + (*counts)[q - 1];
    }
}

void pack(SeqVector* const* const members[2], const int counts[2], int flags,
          std::vector<int>* block) {
    block->clear();
    for (int k = 0; k < kNeurons; ++k) {
        for (int j = 0; j < counts[k]; ++j)
            block->push_back(AnalysisModule::pair(members[k][j]->id, k));
    }
    block->push_back(flags);
}

int unpack(const int* received, const std::vector<int>& counts,
           const std::vector<int>& displacements, const std::vector<SeqVector*>& taxa,
           SeqVector** members[2], int member_counts[2]) {
    for (int k = 0; k < kNeurons; ++k) member_counts[k] = 0;
    int flags = 0;
    for (std::size_t q = 0; q < counts.size(); ++q) {
        const int* block = received + displacements[q];
        const int codes = counts[q] - 1;
        for (int j = 0; j < codes; ++j) {
            int x = 0;
            int y = 0;
            AnalysisModule::unpair(block[j], &x, &y);
            tavrel_assert(y >= 0 && y < kNeurons);
            members[y][member_counts[y]++] = taxon_of(taxa, x);
        }
        flags |= block[codes];
    }
    return flags;
}

}  // namespace member_message

namespace split_message {

void pack(const std::vector<SeqVector*> sides[2], int zero_partitions, bool farthest_pair,
          std::vector<int>* sent) {
    sent->push_back(static_cast<int>(sides[0].size()));
    sent->push_back(static_cast<int>(sides[1].size()));
    for (int k = 0; k < kNeurons; ++k) {
        for (const SeqVector* taxon : sides[k]) sent->push_back(taxon->id);
    }
    sent->push_back(zero_partitions);
    sent->push_back(farthest_pair ? 1 : 0);
}

const int* unpack(const int* at, int n, const std::vector<SeqVector*>& taxa,
                  std::vector<SeqVector*> sides[2], int* zero_partitions, bool* farthest_pair) {
    const int first = *at++;
    const int second = *at++;
    tavrel_assert(first + second == n);
    sides[0].clear();
    sides[1].clear();
    for (int j = 0; j < first; ++j) sides[0].push_back(taxon_of(taxa, *at++));
    for (int j = 0; j < second; ++j) sides[1].push_back(taxon_of(taxa, *at++));
    *zero_partitions = *at++;
    *farthest_pair = *at++ != 0;
    return at;
}

}  // namespace split_message

namespace end_message {

void agree(ProcessGroup* group) {
    int done = 1;
    group->largest(&done, 1);
}

}  // namespace end_message
