#include "analysis/seqvector.h"

#include <utility>

#include "analysis/check.h"
#include "analysis/textscan.h"

Base& Base::set(char letter) {
    tavrel_assert(is_nucleotide(letter));
    *this = of_nucleotide(letter);
    return *this;
}

const Base& Base::corner(int code) {
    tavrel_assert(code >= 0 && code < kLetters);
    return base_tables::kCorners[code];
}

std::size_t Base::first_non_nucleotide(const char* letters, std::size_t count) {
    // Comparisons rather than the table: the scan vectorises.
    return find_first(letters, count, [](char c) {
        return static_cast<unsigned char>(((c == 'A') + (c == 'C') + (c == 'G') + (c == 'T')) ^ 1);
    });
}

SeqVector::SeqVector() : length(0), data(nullptr), id(-1) {}

SeqVector::~SeqVector() {
    delete[] data;
}

void SeqVector::allocate(int count) {
    delete[] data;
    letters.clear();
    length = count;
    data = new Base[count];
}

void SeqVector::set_letters(std::string taxon_letters) {
    tavrel_assert(Base::first_non_nucleotide(taxon_letters.data(), taxon_letters.size()) ==
                  taxon_letters.size());
    delete[] data;
    data = nullptr;
    letters = std::move(taxon_letters);
    length = static_cast<int>(letters.size());
}
