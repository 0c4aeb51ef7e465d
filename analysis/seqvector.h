#pragma once

#include "analysis/charstring.h"

// One nucleotide as a corner of the unit cube: A (0,0,0), C (0,1,1),
// G (1,1,0), T (1,0,1). z is 0 for the purines and 1 for the pyrimidines.
// A neuron's Bases take any real coordinates.
struct Base {
    double x;
    double y;
    double z;

    Base() { set('A'); }

    // Only the four upper-case letters are nucleotides.
    static bool is_nucleotide(char letter);

    // The letter must be a nucleotide; the sequence reader refuses others.
    Base& set(char letter);
    Base& set(const char* letter) { return set(*letter); }
};

// A named vector of Bases with an id that is unique within a run: the
// taxa of a run are numbered 0 to num_seqs - 1 and the neurons follow.
// The vector owns its Bases.
class SeqVector {
public:
    SeqVector();
    ~SeqVector();
    SeqVector(const SeqVector&) = delete;
    SeqVector& operator=(const SeqVector&) = delete;

    // Gives the vector `count` Bases, each the letter A.
    void allocate(int count);

    // The next vector built takes id 0; a run calls this before building
    // its taxa so that they can index the run's table by id.
    static void restart_ids();

    CharString name;
    int length;
    Base* data;
    int id;

private:
    static int next_id;
};
