#include "epochsupport.h"

#include <cstring>
#include <string>

#include "analysis/analysismodule.h"

std::uint64_t bits(double value) {
    std::uint64_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

std::vector<SeqVector*> random_taxa(AnalysisModule& builder, int n, int length,
                                    std::mt19937& random, int min_letters) {
    SequenceData data;
    data.num_seqs = n;
    data.seq_len = length;
    const char letters[] = "ACGT";
    std::vector<int> column_letters(length);
    for (int& count : column_letters) {
        count = min_letters + static_cast<int>(random() % (5 - min_letters));
    }
    for (int t = 0; t < n; ++t) {
        data.names.emplace_back(("t" + std::to_string(t)).c_str());
        std::string sequence(length, 'A');
        for (int i = 0; i < length; ++i) sequence[i] = letters[random() % column_letters[i]];
        data.sequences.push_back(sequence);
    }
    return builder.build_vectors(data);
}
