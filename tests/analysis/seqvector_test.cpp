// The nucleotides as corners of the unit cube, and the vectors of them.

#include "analysis/seqvector.h"

#include <gtest/gtest.h>

TEST(Base, LettersAreCornersOfTheUnitCube) {
    struct Case {
        char letter;
        double x, y, z;
    };
    const Case cases[] = {{'A', 0, 0, 0}, {'C', 0, 1, 1}, {'G', 1, 1, 0}, {'T', 1, 0, 1}};
    for (const Case& c : cases) {
        Base b;
        b.set(c.letter);
        EXPECT_EQ(b.x, c.x) << c.letter;
        EXPECT_EQ(b.y, c.y) << c.letter;
        EXPECT_EQ(b.z, c.z) << c.letter;
    }
    const Base fresh;
    EXPECT_EQ(fresh.x + fresh.y + fresh.z, 0.0);
}

TEST(Base, OnlyUpperCaseACGTAreNucleotides) {
    for (int c = 0; c < 256; ++c) {
        const bool expected = c == 'A' || c == 'C' || c == 'G' || c == 'T';
        EXPECT_EQ(Base::is_nucleotide(static_cast<char>(c)), expected) << c;
    }
}

TEST(SeqVector, UnnumberedUntilARunNumbersIt) {
    SeqVector c;
    EXPECT_EQ(c.id, -1);
    c.allocate(3);
    EXPECT_EQ(c.length, 3);
    EXPECT_EQ(c.data[2].x, 0.0);
}
