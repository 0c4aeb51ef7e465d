#pragma once

#include "analysis/analysisstatus.h"
#include "analysis/distancemodels.h"

class ProcessGroup;

// What the processes of an MPI group agree on before the first epoch, in
// one collective: whether a process refused its own settings (then every
// process ends with the largest exit code), whether a front end is attached
// anywhere, and that every process runs with the same settings. The
// exchange after every epoch needs the same epochs everywhere, and a split
// must not depend on which process classifies which taxa.
//
// Each setting travels as int words, each beside its complement, so that
// the largest of both gives the largest and the smallest word over all
// processes: they are equal exactly when every process has the same value.
class SettingsAgreement {
public:
    struct Settings {
        int epochs;
        DistanceModel model;
        double conscience_learning_rate;
        double kohonen_learning_rate;
        double convergence_threshold;
    };

    // A process that takes part with its settings and its front end.
    SettingsAgreement(const Settings& settings, bool front_end);
    // A process that refused its own settings: it brings its exit code and
    // takes no part in the comparison.
    explicit SettingsAgreement(int refusal_exit_code);

    // The collective; every process of the group calls it once.
    void agree(ProcessGroup* group);

    // After agree(): the largest refusal exit code, 0 when none refused.
    int refusal() const { return words_[kRefusal]; }
    // After agree(): whether any process has a front end attached.
    bool front_end() const { return words_[kFrontEnd] != 0; }
    // After agree(): the first setting that differs between processes, as
    // the line process 0 shows (other processes end silently); success
    // when all agree.
    AnalysisStatus differences(int rank) const;

private:
    static constexpr int kRefusal = 0;
    static constexpr int kFrontEnd = 1;
    static constexpr int kEpochs = 2;
    static constexpr int kModel = 4;
    static constexpr int kRates = 6;
    // Two words per double, each beside its complement.
    static constexpr int kWordsPerDouble = 4;
    static constexpr int kDoubles = 3;
    static constexpr int kWords = kRates + kDoubles * kWordsPerDouble;

    void put(int at, int value);
    void put_double(int at, double value);
    bool same(int at) const;
    int smallest(int at) const { return ~words_[at + 1]; }

    int words_[kWords];
};
