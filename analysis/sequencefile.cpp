#include "analysis/sequencefile.h"

#include <algorithm>
#include <climits>
#include <istream>
#include <unordered_map>
#include <utility>

#include "analysis/seqvector.h"
#include "analysis/showntext.h"
#include "analysis/tokenreader.h"

namespace {

constexpr std::size_t kMaxNameLength = 99;
// No count needs more digits than a message shows of a token, leading
// zeros aside.
constexpr std::size_t kMaxCountLength = kShownTokenLength;
// How many taxa a warning about a repeated name lists.
constexpr std::size_t kListedTaxa = 10;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool all_digits(const std::string& token) {
    for (char c : token) {
        if (!is_digit(c)) return false;
    }
    return !token.empty();
}

// A count of the sequence file: decimal digits only, 0 or more and within
// the int range; a minus sign is recognised only to say so. `token` is what
// follows the count's `zeros` leading zeros.
AnalysisStatus parse_count(TokenReader::Result read, std::size_t zeros, const std::string& token,
                           const char* what, int* count) {
    const bool cut = read == TokenReader::Result::kTooLong;
    // The count as it was written, as far as a message shows it.
    const std::string written = std::string(std::min(zeros, kShownTokenLength), '0') + token;
    const auto refuse = [&](const char* reason) {
        return AnalysisStatus::failure(std::string("Error: ") + what + reason +
                                       shown_token(written, cut));
    };
    const auto too_large = [&] {
        return AnalysisStatus::failure(std::string("Error: ") + what +
                                       " is too large: " + shown_token(written, cut) +
                                       " (the largest is " + std::to_string(INT_MAX) + ")");
    };
    // Digits past what is read of a count: more digits than the int range
    // holds, the first of them no zero.
    if (cut) return all_digits(token) ? too_large() : refuse(" is not a whole number: ");
    const bool negative = zeros == 0 && token[0] == '-';
    const std::string digits = token.substr(negative ? 1 : 0);
    const bool only_zeros = zeros > 0 && token.empty();
    if (!only_zeros && !all_digits(digits)) return refuse(" is not a whole number: ");
    long long value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > INT_MAX) break;
    }
    if (negative) return refuse(value == 0 ? " is not a whole number: " : " is negative: ");
    if (value > INT_MAX) return too_large();
    *count = static_cast<int>(value);
    return AnalysisStatus::success();
}

std::string taxon_number(int index) {
    return std::to_string(index + 1);
}

// The taxon numbers of a warning: "1 and 4", "1, 4 and 7", or the first
// kListedTaxa and how many more.
std::string listed_taxa(const std::vector<int>& taxa) {
    const std::size_t listed = taxa.size() > kListedTaxa ? kListedTaxa : taxa.size();
    std::string text;
    for (std::size_t i = 0; i < listed; ++i) {
        if (i > 0) text += (i + 1 == listed && listed == taxa.size()) ? " and " : ", ";
        text += taxon_number(taxa[i]);
    }
    if (listed < taxa.size()) text += " and " + std::to_string(taxa.size() - listed) + " more";
    return text;
}

}  // namespace

AnalysisStatus read_sequence_data(std::istream& in, SequenceData* data) {
    *data = SequenceData();
    if (!in.rdbuf()) return AnalysisStatus::success();
    TokenReader tokens(in.rdbuf());
    std::string token;
    using Result = TokenReader::Result;

    // A file without tokens holds no taxa.
    std::size_t zeros = 0;
    Result read = tokens.next_number(&token, kMaxCountLength, &zeros);
    if (read == Result::kEnd) return AnalysisStatus::success();
    AnalysisStatus status = parse_count(read, zeros, token, "Sequence count", &data->num_seqs);
    if (!status.ok()) return status;
    read = tokens.next_number(&token, kMaxCountLength, &zeros);
    if (read == Result::kEnd) {
        if (data->num_seqs == 0) return AnalysisStatus::success();
        return AnalysisStatus::failure("Error: File ends before the sequence length");
    }
    status = parse_count(read, zeros, token, "Sequence length", &data->seq_len);
    if (!status.ok()) return status;
    const int num_seqs = data->num_seqs;
    const std::size_t seq_len = static_cast<std::size_t>(data->seq_len);

    if (num_seqs == 0) {
        read = tokens.next(&token, kShownTokenLength);
        if (read != Result::kEnd) {
            return AnalysisStatus::failure("Error: Sequence count is 0 but the file goes on with " +
                                           shown_token(token, read == Result::kTooLong));
        }
        return AnalysisStatus::success();
    }
    // No position to read: no taxon could be told from another.
    if (seq_len == 0) {
        return AnalysisStatus::failure(
            "Error: Sequence length is 0; every sequence needs at least one position");
    }

    std::string name;
    for (int i = 0; i < num_seqs; ++i) {
        read = tokens.next(&name, kMaxNameLength);
        if (read == Result::kEnd) {
            return AnalysisStatus::failure("Error: File ends after " + std::to_string(i) + " of " +
                                           std::to_string(num_seqs) + " taxa");
        }
        if (read == Result::kTooLong) {
            return AnalysisStatus::failure(
                "Error: Name of taxon " + taxon_number(i) +
                " is longer than 99 characters: " + shown_token(name, true));
        }
        for (char c : name) {
            if (is_control_byte(c)) {
                return AnalysisStatus::failure("Error: Name of taxon " + taxon_number(i) +
                                               " holds a control character: " + shown_token(name));
            }
        }
        // A string of its own, moved into the data: the text is held once.
        std::string sequence;
        read = tokens.next_block(&sequence, seq_len);
        if (read == Result::kEnd) {
            return AnalysisStatus::failure("Error: File ends before the sequence of taxon " +
                                           shown_text(name));
        }
        const std::size_t bad = Base::first_non_nucleotide(sequence.data(), sequence.size());
        if (bad < sequence.size()) {
            return AnalysisStatus::failure("UNKNOWN BASE: " +
                                           shown_token(std::string(1, sequence[bad])));
        }
        if (read == Result::kTooLong) {
            return AnalysisStatus::failure("Error: Sequence of taxon " + shown_text(name) +
                                           " is longer than the sequence length " +
                                           std::to_string(seq_len));
        }
        if (sequence.size() < seq_len) {
            return AnalysisStatus::failure("Error: Sequence of taxon " + shown_text(name) +
                                           " has " + std::to_string(sequence.size()) +
                                           " characters, fewer than the sequence length " +
                                           std::to_string(seq_len));
        }
        data->names.emplace_back(name.c_str());
        data->sequences.push_back(std::move(sequence));
    }
    return AnalysisStatus::success();
}

std::vector<std::string> repeated_name_warnings(const SequenceData& data) {
    // The taxa of every name, names in the order of their first taxon.
    std::unordered_map<std::string, std::size_t> index_of;
    std::vector<std::vector<int>> taxa_of;
    for (int i = 0; i < static_cast<int>(data.names.size()); ++i) {
        const auto found = index_of.emplace(data.names[i].c_str(), taxa_of.size());
        if (found.second) taxa_of.emplace_back();
        taxa_of[found.first->second].push_back(i);
    }
    std::vector<std::string> warnings;
    for (const std::vector<int>& taxa : taxa_of) {
        if (taxa.size() < 2) continue;
        warnings.push_back("Warning: taxon name " + shown_text(data.names[taxa[0]].c_str()) +
                           " appears more than once (taxa " + listed_taxa(taxa) + ")");
    }
    return warnings;
}
