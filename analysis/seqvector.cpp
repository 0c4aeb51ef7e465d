#include "analysis/seqvector.h"

#include "analysis/check.h"

bool Base::is_nucleotide(char letter) {
    return letter == 'A' || letter == 'C' || letter == 'G' || letter == 'T';
}

Base& Base::set(char letter) {
    switch (letter) {
        case 'A':
            x = 0.0;
            y = 0.0;
            z = 0.0;
            break;
        case 'C':
            x = 0.0;
            y = 1.0;
            z = 1.0;
            break;
        case 'G':
            x = 1.0;
            y = 1.0;
            z = 0.0;
            break;
        case 'T':
            x = 1.0;
            y = 0.0;
            z = 1.0;
            break;
        default:
            tavrel_assert(is_nucleotide(letter));
    }
    return *this;
}

SeqVector::SeqVector() : length(0), data(nullptr), id(-1) {}

SeqVector::~SeqVector() {
    delete[] data;
}

void SeqVector::allocate(int count) {
    delete[] data;
    length = count;
    data = new Base[count];
}
