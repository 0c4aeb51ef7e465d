#pragma once

// What the training of split steps did, for the progress lines, the
// benchmark and the tests: small values that the trainer fills, the tree
// keeps per step and the run adds up.

// Epochs and what they did.
struct EpochCounts {
    long long epochs = 0;
    // An input compared with a neuron at one position in one epoch.
    long long presentations = 0;
    // Exchanges with the other processes after an epoch.
    long long exchanges = 0;
    // Attempts that went on from where the failed one before ended.
    long long continued_attempts = 0;

    void add(const EpochCounts& other) {
        epochs += other.epochs;
        presentations += other.presentations;
        exchanges += other.exchanges;
        continued_attempts += other.continued_attempts;
    }
};

// What a split step did besides the split: the lines it reports after its
// "Num_seqs" line, and its work.
struct StepOutcome {
    int zero_partitions = 0;
    bool farthest_pair = false;
    EpochCounts work;
    double seconds = 0.0;
};

// What a run did on this process.
struct RunCounters : EpochCounts {
    int threads = 1;
    // The training of the first group (all taxa): epochs and seconds.
    long long first_step_epochs = 0;
    double first_step_seconds = 0.0;
};
