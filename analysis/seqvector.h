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

// A named vector of Bases with an id that is unique within a run: the run
// that builds the vectors numbers its taxa 0 to num_seqs - 1 and its
// neurons after them. The vector owns its Bases.
class SeqVector {
public:
    SeqVector();
    ~SeqVector();
    SeqVector(const SeqVector&) = delete;
    SeqVector& operator=(const SeqVector&) = delete;

    // Gives the vector `count` Bases, each the letter A.
    void allocate(int count);

    CharString name;
    int length;
    Base* data;
    // -1 until the run that builds the vector numbers it.
    int id;
};
