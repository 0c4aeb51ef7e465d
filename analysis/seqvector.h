#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/charstring.h"

// One nucleotide as a corner of the unit cube: A (0,0,0), C (0,1,1),
// G (1,1,0), T (1,0,1). z is 0 for the purines and 1 for the pyrimidines.
// A neuron's Bases take any real coordinates.
struct Base {
    double x;
    double y;
    double z;

    Base() { set('A'); }
    constexpr Base(double x_coordinate, double y_coordinate, double z_coordinate)
        : x(x_coordinate), y(y_coordinate), z(z_coordinate) {}

    // Only the four upper-case letters are nucleotides.
    static bool is_nucleotide(char letter);
    // The index of the first of `count` letters that is no nucleotide, or
    // `count`: a whole sequence's check.
    static std::size_t first_non_nucleotide(const char* letters, std::size_t count);

    // The letter must be a nucleotide; the sequence reader refuses others.
    Base& set(char letter);
    Base& set(const char* letter) { return set(*letter); }

    // The four letters as small codes, in the order A, C, G, T, for the
    // look-up tables of the fast epoch.
    static constexpr int kLetters = 4;
    // The Base of a letter code: the same doubles that set() gives.
    static const Base& corner(int code);

    // A letter's code and its Base, without a check, for letters already
    // known to be nucleotides (a taxon's, which were checked when it was
    // made).
    static constexpr std::uint8_t code_of_nucleotide(char letter);
    static const Base& of_nucleotide(char letter);
};

namespace base_tables {

// Which bytes are nucleotides.
struct LetterCodes {
    bool nucleotide[256] = {};

    constexpr LetterCodes() {
        for (const char letter : {'A', 'C', 'G', 'T'}) {
            nucleotide[static_cast<unsigned char>(letter)] = true;
        }
    }
};

inline constexpr LetterCodes kLetterCodes;
inline constexpr Base kCorners[Base::kLetters] = {
    {0.0, 0.0, 0.0}, {0.0, 1.0, 1.0}, {1.0, 1.0, 0.0}, {1.0, 0.0, 1.0}};

}  // namespace base_tables

inline bool Base::is_nucleotide(char letter) {
    return base_tables::kLetterCodes.nucleotide[static_cast<unsigned char>(letter)];
}

// By arithmetic rather than a table, so that loops over letters vectorise:
// bits 1-2 xor bits 2-3 of A, C, G, T are 0, 1, 2, 3 (any byte gives a code
// of 0 to 3).
constexpr std::uint8_t Base::code_of_nucleotide(char letter) {
    const unsigned byte = static_cast<unsigned char>(letter);
    return static_cast<std::uint8_t>(((byte >> 1) ^ (byte >> 2)) & 3u);
}

static_assert(Base::code_of_nucleotide('A') == 0 && Base::code_of_nucleotide('C') == 1 &&
                  Base::code_of_nucleotide('G') == 2 && Base::code_of_nucleotide('T') == 3,
              "the letter codes are in the order A, C, G, T");

inline const Base& Base::of_nucleotide(char letter) {
    return base_tables::kCorners[code_of_nucleotide(letter)];
}

// A named vector of Bases with an id that is unique within a run: the run
// that builds the vectors numbers its taxa 0 to num_seqs - 1 and its
// neurons after them. A neuron holds its Bases; a taxon holds only its
// letters, one byte per position, and its Bases are the letters' corners.
class SeqVector {
public:
    SeqVector();
    ~SeqVector();
    SeqVector(const SeqVector&) = delete;
    SeqVector& operator=(const SeqVector&) = delete;

    // Gives the vector `count` Bases of its own, each the letter A.
    void allocate(int count);
    // Makes the vector a taxon of these letters, each a nucleotide.
    void set_letters(std::string taxon_letters);

    // The Base at position i.
    const Base& base(int i) const { return data ? data[i] : Base::of_nucleotide(letters[i]); }

    // Calls use(at) once, where at(i) gives the Base at position i: loops
    // over positions inside `use` choose between Bases and letters once,
    // not at every position.
    template <typename Use>
    void with_bases(const Use& use) const {
        if (data) {
            const Base* bases = data;
            use([bases](int i) -> const Base& { return bases[i]; });
        } else {
            const char* text = letters.data();
            use([text](int i) -> const Base& { return Base::of_nucleotide(text[i]); });
        }
    }

    CharString name;
    int length;
    // A neuron's Bases; null for a taxon.
    Base* data;
    // A taxon's letters; empty for a neuron.
    std::string letters;
    // -1 until the run that builds the vector numbers it.
    int id;
};
