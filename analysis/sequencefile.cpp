#include "analysis/sequencefile.h"

#include <climits>
#include <istream>
#include <unordered_map>
#include <utility>

#include "analysis/seqvector.h"
#include "analysis/tokenreader.h"

namespace {

constexpr std::size_t kMaxNameLength = 99;
// How much of a bad token a message repeats.
constexpr std::size_t kShownLength = 40;
// No count needs more characters than a message shows of it.
constexpr std::size_t kMaxCountLength = kShownLength;
// How many taxa a warning about a repeated name lists.
constexpr std::size_t kListedTaxa = 10;

bool is_control(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool is_utf8_continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

// A token as a message repeats it: at most kShownLength bytes, cut before a
// character rather than inside one, control bytes written as \xNN so that
// the message stays one line of text, and "..." when the token goes on
// (`cut`: it went on past what was read of it).
std::string shown(const std::string& token, bool cut = false) {
    std::size_t length = token.size();
    if (length > kShownLength) {
        length = kShownLength;
        while (length > 0 && is_utf8_continuation(token[length])) --length;
        cut = true;
    }
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(token[i]);
        if (is_control(token[i])) {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xf];
        } else {
            text += token[i];
        }
    }
    if (cut) text += "...";
    return text;
}

// A count of the sequence file: decimal digits only, 0 or more and within
// the int range; a minus sign is recognised only to say so.
AnalysisStatus parse_count(TokenReader::Result read, const std::string& token, const char* what,
                           int* count) {
    const auto refuse = [&](const char* reason) {
        return AnalysisStatus::failure(std::string("Error: ") + what + reason +
                                       shown(token, read == TokenReader::Result::kTooLong));
    };
    if (read == TokenReader::Result::kTooLong) return refuse(" is not a whole number: ");
    const bool negative = token[0] == '-';
    const std::size_t first_digit = negative ? 1 : 0;
    if (first_digit == token.size()) return refuse(" is not a whole number: ");
    long long value = 0;
    for (std::size_t i = first_digit; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9') return refuse(" is not a whole number: ");
        value = value * 10 + (token[i] - '0');
        if (value > INT_MAX) return refuse(" is not a whole number: ");
    }
    if (negative) return refuse(value == 0 ? " is not a whole number: " : " is negative: ");
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
    Result read = tokens.next(&token, kMaxCountLength);
    if (read == Result::kEnd) return AnalysisStatus::success();
    AnalysisStatus status = parse_count(read, token, "Sequence count", &data->num_seqs);
    if (!status.ok()) return status;
    read = tokens.next(&token, kMaxCountLength);
    if (read == Result::kEnd) {
        if (data->num_seqs == 0) return AnalysisStatus::success();
        return AnalysisStatus::failure("Error: File ends before the sequence length");
    }
    status = parse_count(read, token, "Sequence length", &data->seq_len);
    if (!status.ok()) return status;
    const int num_seqs = data->num_seqs;
    const std::size_t seq_len = static_cast<std::size_t>(data->seq_len);

    if (num_seqs == 0) {
        read = tokens.next(&token, kShownLength);
        if (read != Result::kEnd) {
            return AnalysisStatus::failure("Error: Sequence count is 0 but the file goes on with " +
                                           shown(token, read == Result::kTooLong));
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
            return AnalysisStatus::failure("Error: Name of taxon " + taxon_number(i) +
                                           " is longer than 99 characters: " + shown(name, true));
        }
        for (char c : name) {
            if (is_control(c)) {
                return AnalysisStatus::failure("Error: Name of taxon " + taxon_number(i) +
                                               " holds a control character: " + shown(name));
            }
        }
        // A string of its own, moved into the data: the text is held once.
        std::string sequence;
        read = tokens.next_block(&sequence, seq_len);
        if (read == Result::kEnd) {
            return AnalysisStatus::failure("Error: File ends before the sequence of taxon " + name);
        }
        const std::size_t bad = Base::first_non_nucleotide(sequence.data(), sequence.size());
        if (bad < sequence.size()) {
            return AnalysisStatus::failure("UNKNOWN BASE: " + shown(std::string(1, sequence[bad])));
        }
        if (read == Result::kTooLong) {
            return AnalysisStatus::failure("Error: Sequence of taxon " + name +
                                           " is longer than the sequence length " +
                                           std::to_string(seq_len));
        }
        if (sequence.size() < seq_len) {
            return AnalysisStatus::failure(
                "Error: Sequence of taxon " + name + " has " + std::to_string(sequence.size()) +
                " characters, fewer than the sequence length " + std::to_string(seq_len));
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
        warnings.push_back("Warning: taxon name " + std::string(data.names[taxa[0]].c_str()) +
                           " appears more than once (taxa " + listed_taxa(taxa) + ")");
    }
    return warnings;
}
