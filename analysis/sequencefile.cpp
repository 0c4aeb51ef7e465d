#include "analysis/sequencefile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <istream>

#include "analysis/seqvector.h"

namespace {

constexpr int kMaxNameLength = 99;

// A count of the sequence file: a whole decimal number, 0 or more.
AnalysisStatus parse_count(const std::string& token, const char* what, int* count) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(token.c_str(), &end, 10);
    if (end == token.c_str() || *end != '\0' || errno == ERANGE || value > INT_MAX ||
        value < INT_MIN) {
        return AnalysisStatus::failure(std::string("Error: ") + what +
                                       " is not a whole number: " + token);
    }
    if (value < 0) {
        return AnalysisStatus::failure(std::string("Error: ") + what + " is negative: " + token);
    }
    *count = static_cast<int>(value);
    return AnalysisStatus::success();
}

}  // namespace

AnalysisStatus read_sequence_data(std::istream& in, SequenceData* data) {
    *data = SequenceData();
    std::string token;
    // A file without tokens holds no taxa.
    if (!(in >> token)) return AnalysisStatus::success();
    AnalysisStatus status = parse_count(token, "Sequence count", &data->num_seqs);
    if (!status.ok()) return status;
    if (!(in >> token)) {
        if (data->num_seqs == 0) return AnalysisStatus::success();
        return AnalysisStatus::failure("Error: File ends before the sequence length");
    }
    status = parse_count(token, "Sequence length", &data->seq_len);
    if (!status.ok()) return status;
    const int num_seqs = data->num_seqs;
    const std::size_t seq_len = static_cast<std::size_t>(data->seq_len);

    if (num_seqs == 0) {
        if (in >> token) {
            return AnalysisStatus::failure("Error: Sequence count is 0 but the file goes on with " +
                                           token);
        }
        return AnalysisStatus::success();
    }

    std::string name;
    std::string sequence;
    for (int i = 0; i < num_seqs; ++i) {
        if (!(in >> name)) {
            return AnalysisStatus::failure("Error: File ends after " + std::to_string(i) + " of " +
                                           std::to_string(num_seqs) + " taxa");
        }
        if (name.size() > static_cast<std::size_t>(kMaxNameLength)) {
            return AnalysisStatus::failure(
                "Error: Name of taxon " + std::to_string(i + 1) +
                " is longer than 99 characters: " + name.substr(0, kMaxNameLength) + "...");
        }
        if (!(in >> sequence)) {
            return AnalysisStatus::failure("Error: File ends before the sequence of taxon " + name);
        }
        const std::size_t checked = std::min(sequence.size(), seq_len);
        for (std::size_t j = 0; j < checked; ++j) {
            if (!Base::is_nucleotide(sequence[j])) {
                return AnalysisStatus::failure(std::string("UNKNOWN BASE: ") + sequence[j]);
            }
        }
        if (sequence.size() != seq_len) {
            return AnalysisStatus::failure("Error: Sequence of taxon " + name + " has " +
                                           std::to_string(sequence.size()) + " characters, " +
                                           (sequence.size() > seq_len ? "more" : "fewer") +
                                           " than the sequence length " + std::to_string(seq_len));
        }
        data->names.emplace_back(name.c_str());
        data->sequences.push_back(sequence);
    }
    return AnalysisStatus::success();
}
