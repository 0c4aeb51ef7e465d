#include "analysis/settingsagreement.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "analysis/processgroup.h"

namespace {

const char* const kDoubleNames[] = {
    "conscience_learning_rate",
    "kohonen_learning_rate",
    "convergence_threshold",
};

}  // namespace

SettingsAgreement::SettingsAgreement(const Settings& settings, bool front_end) {
    words_[kRefusal] = 0;
    words_[kFrontEnd] = front_end ? 1 : 0;
    put(kEpochs, settings.epochs);
    put(kModel, static_cast<int>(settings.model));
    const double rates[kDoubles] = {settings.conscience_learning_rate,
                                    settings.kohonen_learning_rate, settings.convergence_threshold};
    for (int i = 0; i < kDoubles; ++i) put_double(kRates + i * kWordsPerDouble, rates[i]);
}

SettingsAgreement::SettingsAgreement(int refusal_exit_code) {
    // INT_MIN in a word and in its complement's place changes neither the
    // largest nor the smallest value of the others.
    for (int& word : words_) word = INT_MIN;
    words_[kRefusal] = refusal_exit_code;
    words_[kFrontEnd] = 0;
}

void SettingsAgreement::put(int at, int value) {
    words_[at] = value;
    words_[at + 1] = ~value;
}

void SettingsAgreement::put_double(int at, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    put(at, static_cast<int>(static_cast<std::uint32_t>(bits >> 32)));
    put(at + 2, static_cast<int>(static_cast<std::uint32_t>(bits)));
}

void SettingsAgreement::agree(ProcessGroup* group) {
    group->largest(words_, kWords);
}

bool SettingsAgreement::same(int at) const {
    return words_[at] == smallest(at);
}

AnalysisStatus SettingsAgreement::differences(int rank) const {
    std::string line;
    if (!same(kEpochs)) {
        line = "Error: epochs must be the same on every MPI process, not from " +
               std::to_string(smallest(kEpochs)) + " to " + std::to_string(words_[kEpochs]);
    } else if (!same(kModel)) {
        line =
            std::string("Error: distance_metric must be the same on every MPI process, not from ") +
            distance_model_name(static_cast<DistanceModel>(smallest(kModel))) + " to " +
            distance_model_name(static_cast<DistanceModel>(words_[kModel]));
    } else {
        for (int i = 0; i < kDoubles && line.empty(); ++i) {
            const int at = kRates + i * kWordsPerDouble;
            if (!same(at) || !same(at + 2)) {
                line = std::string("Error: ") + kDoubleNames[i] +
                       " must be the same on every MPI process";
            }
        }
    }
    if (line.empty()) return AnalysisStatus::success();
    // Process 0 shows the line; the others end with it, silently.
    if (rank != 0) return AnalysisStatus::silent_failure(1);
    return AnalysisStatus::failure(line);
}
