// What the processes of a group agree on before the first epoch, over the
// in-memory group: one collective, the largest refusal, a front end
// anywhere, and the first setting that differs, with process 0's line and
// every other process's silent end.

#include "analysis/settingsagreement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "threadgroup.h"

namespace {

using Settings = SettingsAgreement::Settings;

Settings defaults() {
    return {100, DistanceModel::euclidian, 0.001, 0.04, 0.25};
}

// A process of the group: its settings and front end, or a refusal of its
// own settings with an exit code.
struct Party {
    Settings settings = defaults();
    bool front_end = false;
    int refusal = 0;
};

Party refusing(int exit_code) {
    Party party;
    party.refusal = exit_code;
    return party;
}

Party with(const Settings& settings) {
    Party party;
    party.settings = settings;
    return party;
}

// What one process learnt from the agreement.
struct Learnt {
    int refusal = -1;
    bool front_end = false;
    bool ok = false;
    int exit_code = -1;
    std::string message;
    std::vector<std::string> calls;
};

std::vector<Learnt> agree(const std::vector<Party>& parties) {
    const int size = static_cast<int>(parties.size());
    Meeting meeting(size);
    std::vector<Learnt> learnt(size);
    on_every_rank(size, [&](int rank) {
        ThreadGroup group(&meeting, rank);
        const Party& party = parties[rank];
        SettingsAgreement agreement = party.refusal != 0
                                          ? SettingsAgreement(party.refusal)
                                          : SettingsAgreement(party.settings, party.front_end);
        agreement.agree(&group);
        Learnt& l = learnt[rank];
        l.refusal = agreement.refusal();
        l.front_end = agreement.front_end();
        const AnalysisStatus status = agreement.differences(rank);
        l.ok = status.ok();
        l.exit_code = status.exit_code();
        l.message = status.message();
    });
    for (int rank = 0; rank < size; ++rank) learnt[rank].calls = meeting.calls[rank];
    return learnt;
}

}  // namespace

TEST(SettingsAgreement, TheSameSettingsEverywhereAgreeInOneCollective) {
    // One reduction of 18 words: the refusal and the front end, one word
    // each; the epochs and the model, each beside its complement; the three
    // rates, two words of each double beside their complements.
    const std::vector<Learnt> learnt = agree({Party(), Party(), Party()});
    for (int rank = 0; rank < 3; ++rank) {
        SCOPED_TRACE("process " + std::to_string(rank));
        EXPECT_EQ(learnt[rank].calls, std::vector<std::string>{"largest 18"});
        EXPECT_EQ(learnt[rank].refusal, 0);
        EXPECT_FALSE(learnt[rank].front_end);
        EXPECT_TRUE(learnt[rank].ok);
        EXPECT_EQ(learnt[rank].message, "");
    }
}

TEST(SettingsAgreement, AFrontEndOnAnyProcessIsKnownToAll) {
    for (int with_front_end = -1; with_front_end < 3; ++with_front_end) {
        SCOPED_TRACE("front end on process " + std::to_string(with_front_end));
        std::vector<Party> parties(3);
        if (with_front_end >= 0) parties[with_front_end].front_end = true;
        for (const Learnt& l : agree(parties)) {
            EXPECT_EQ(l.front_end, with_front_end >= 0);
            EXPECT_TRUE(l.ok);
        }
    }
}

TEST(SettingsAgreement, TheLargestRefusalReachesEveryProcess) {
    // A refusing process brings only its exit code: its words change
    // neither the largest nor the smallest value of the others, so their
    // comparison stands as if it were not there.
    Settings fewer = defaults();
    fewer.epochs = 50;
    struct Case {
        const char* what;
        std::vector<Party> parties;
        int refusal;
        bool agreed;
        const char* line;
    };
    const std::vector<Case> cases = {
        {"one refuses", {Party(), refusing(1), Party()}, 1, true, ""},
        {"two refuse", {Party(), refusing(2), refusing(1)}, 2, true, ""},
        {"a refusal among different settings",
         {with(fewer), Party(), refusing(1)},
         1,
         false,
         "Error: epochs must be the same on every MPI process, not from 50 to 100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<Learnt> learnt = agree(c.parties);
        for (const Learnt& l : learnt) {
            EXPECT_EQ(l.refusal, c.refusal);
            EXPECT_FALSE(l.front_end);
        }
        EXPECT_EQ(learnt[0].ok, c.agreed);
        EXPECT_EQ(learnt[0].message, c.line);
    }
}

TEST(SettingsAgreement, TheFirstDifferenceIsProcessZerosLineAndTheOthersEndSilently) {
    struct Case {
        const char* what;
        // Process 0's settings, then process 1's and 2's.
        Settings zero, one, two;
        const char* line;
    };
    Settings epochs7 = defaults();
    epochs7.epochs = 7;
    Settings epochs250 = defaults();
    epochs250.epochs = 250;
    Settings jc = defaults();
    jc.model = DistanceModel::jc;
    Settings f84 = defaults();
    f84.model = DistanceModel::f84;
    Settings k2p = defaults();
    k2p.model = DistanceModel::k2p;
    Settings conscience = defaults();
    conscience.conscience_learning_rate = 0.002;
    // A rate one unit in the last place apart: only the low word of the
    // double differs.
    Settings kohonen = defaults();
    kohonen.kohonen_learning_rate = std::nextafter(0.04, 1.0);
    // A power of two apart: only the high word differs.
    Settings threshold = defaults();
    threshold.convergence_threshold = 0.5;
    Settings all_rates = conscience;
    all_rates.kohonen_learning_rate = kohonen.kohonen_learning_rate;
    all_rates.convergence_threshold = 0.5;
    Settings epochs_and_model = jc;
    epochs_and_model.epochs = 7;
    const Settings same = defaults();
    const std::vector<Case> cases = {
        {"fewer epochs elsewhere", same, epochs7, same,
         "Error: epochs must be the same on every MPI process, not from 7 to 100"},
        {"from the fewest to the most", epochs250, epochs7, same,
         "Error: epochs must be the same on every MPI process, not from 7 to 250"},
        {"a model elsewhere", same, same, jc,
         "Error: distance_metric must be the same on every MPI process, not from Euclidian to JC"},
        {"two models, neither the default", k2p, f84, k2p,
         "Error: distance_metric must be the same on every MPI process, not from K2P to F84"},
        {"the conscience rate", same, conscience, same,
         "Error: conscience_learning_rate must be the same on every MPI process"},
        {"the Kohonen rate in its last bit", same, same, kohonen,
         "Error: kohonen_learning_rate must be the same on every MPI process"},
        {"the threshold in its high word", threshold, same, same,
         "Error: convergence_threshold must be the same on every MPI process"},
        {"epochs come before the model", same, epochs_and_model, same,
         "Error: epochs must be the same on every MPI process, not from 7 to 100"},
        {"the rates in order", same, all_rates, same,
         "Error: conscience_learning_rate must be the same on every MPI process"},
        {"between two processes other than 0", same, same, conscience,
         "Error: conscience_learning_rate must be the same on every MPI process"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<Learnt> learnt = agree({with(c.zero), with(c.one), with(c.two)});
        EXPECT_FALSE(learnt[0].ok);
        EXPECT_EQ(learnt[0].exit_code, 1);
        EXPECT_EQ(learnt[0].message, c.line);
        for (int rank = 1; rank < 3; ++rank) {
            EXPECT_FALSE(learnt[rank].ok) << rank;
            EXPECT_EQ(learnt[rank].exit_code, 1) << rank;
            EXPECT_EQ(learnt[rank].message, "") << rank;
        }
        for (const Learnt& l : learnt) EXPECT_EQ(l.refusal, 0);
    }
}
