#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "analysis/analysismodule.h"
#include "testsupport.h"

namespace {

using namespace std::string_literals;

struct BadInput {
    std::string contents;
    std::string message;
};

// The file's text is given in memory; the path form only opens the file.
class SequenceFile : public testing::Test {
protected:
    AnalysisStatus read(const std::string& contents, SequenceData* data) {
        std::istringstream in(contents);
        return module_.read_input(in, data);
    }

    AnalysisModule module_;
};

}  // namespace

TEST_F(SequenceFile, TokensMaySpreadOverLinesInAnyMix) {
    SequenceData data;
    ASSERT_TRUE(read("3\t4 a\n\nACGT b ACGA\r\n  c   TTGT\n", &data).ok());
    EXPECT_EQ(data.num_seqs, 3);
    EXPECT_EQ(data.seq_len, 4);
    const std::vector<SeqVector*> taxa = module_.build_vectors(data);
    ASSERT_EQ(taxa.size(), 3u);
    const char* names[] = {"a", "b", "c"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(taxa[i]->name.c_str(), names[i]);
        EXPECT_EQ(taxa[i]->id, i);
        EXPECT_EQ(taxa[i]->length, 4);
    }
    // c's first letter is T = (1, 0, 1); b's last is A.
    EXPECT_EQ(taxa[2]->base(0).x, 1.0);
    EXPECT_EQ(taxa[2]->base(0).z, 1.0);
    EXPECT_EQ(taxa[1]->base(3).y, 0.0);
}

TEST_F(SequenceFile, NothingAfterTheLastPairIsRead) {
    SequenceData data;
    ASSERT_TRUE(read("1 2 a AC trailing words (ignored) 12", &data).ok());
    EXPECT_EQ(data.num_seqs, 1);
}

TEST_F(SequenceFile, EmptyFileAndZeroCountHoldNoTaxa) {
    for (const char* contents : {"", "  \n", "0", "0 10", "0 0\n"}) {
        SequenceData data;
        EXPECT_TRUE(read(contents, &data).ok()) << contents;
        EXPECT_EQ(data.num_seqs, 0);
    }
}

// A count is its value, however many zeros lead it: they are skipped, not
// held, and the 40 digits a count may have are those that follow them.
TEST_F(SequenceFile, CountsMayHaveAnyNumberOfLeadingZeros) {
    const std::string pair = " a ACGT b TTGA";
    struct Case {
        std::string contents;
        int num_seqs;
        int seq_len;
    };
    const Case cases[] = {
        {std::string(40, '0') + "2 4" + pair, 2, 4},
        {"2 " + std::string(100, '0') + "4" + pair, 2, 4},
        {std::string(1000 * 1000, '0') + "2 0004" + pair, 2, 4},
        {std::string(60, '0') + "1 " + std::string(60, '0') + "1 a A", 1, 1},
        {std::string(100, '0'), 0, 0},
        {"0 " + std::string(100, '0'), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contents.substr(0, 60));
        SequenceData data;
        const AnalysisStatus status = read(c.contents, &data);
        ASSERT_TRUE(status.ok()) << status.message();
        EXPECT_EQ(data.num_seqs, c.num_seqs);
        EXPECT_EQ(data.seq_len, c.seq_len);
        EXPECT_EQ(static_cast<int>(data.names.size()), c.num_seqs);
    }
}

TEST_F(SequenceFile, NameOfNinetyNineCharactersIsTheLongestAllowed) {
    SequenceData data;
    const std::string name(99, 'n');
    ASSERT_TRUE(read("1 1 " + name + " A", &data).ok());
    EXPECT_STREQ(data.names[0].c_str(), name.c_str());
}

TEST_F(SequenceFile, BadInputGetsOneClearLine) {
    const std::string x40(40, 'x');
    // 'x' and 19 two-byte letters fill 39 bytes; the 40th byte would cut
    // the next letter in two, so the echo stops before it.
    std::string accented = "x";
    for (int i = 0; i < 50; ++i) accented += "\u00e9";
    const std::string accented_shown = accented.substr(0, 39) + "...";
    // clang-format off
    const BadInput cases[] = {
        {"three 4", "Error: Sequence count is not a whole number: three"},
        {"3x 4", "Error: Sequence count is not a whole number: 3x"},
        {"+3 4", "Error: Sequence count is not a whole number: +3"},
        {"-0 4", "Error: Sequence count is not a whole number: -0"},
        // Too large for a count: the int range ends at 2147483647.
        {"2147483648 4", "Error: Sequence count is too large: 2147483648 (the largest is 2147483647)"},
        {"4294967297 4", "Error: Sequence count is too large: 4294967297 (the largest is 2147483647)"},
        {"99999999999999999999999 4",
         "Error: Sequence count is too large: 99999999999999999999999 (the largest is 2147483647)"},
        {"0000000000000000000000000000002147483648 4",
         "Error: Sequence count is too large: 0000000000000000000000000000002147483648 (the largest "
         "is 2147483647)"},
        {"2 2147483648", "Error: Sequence length is too large: 2147483648 (the largest is 2147483647)"},
        {"-2147483649 4", "Error: Sequence count is negative: -2147483649"},
        // A byte-order mark shows: the count does not look like a number.
        {"\xef\xbb\xbf" "3 4", "Error: Sequence count is not a whole number: \\xef\\xbb\\xbf3"},
        {"-3 4", "Error: Sequence count is negative: -3"},
        {"2 four", "Error: Sequence length is not a whole number: four"},
        {"2 -4", "Error: Sequence length is negative: -4"},
        {"2", "Error: File ends before the sequence length"},
        {"0 4 a ACGT", "Error: Sequence count is 0 but the file goes on with a"},
        {"3 4 a ACGT b ACGA", "Error: File ends after 2 of 3 taxa"},
        {"2 4 a ACGT b", "Error: File ends before the sequence of taxon b"},
        {"2 4 a ACGT b ACGTA", "Error: Sequence of taxon b is longer than the sequence length 4"},
        {"2 4 a ACG b ACGT",
         "Error: Sequence of taxon a has 3 characters, fewer than the sequence length 4"},
        {"2 4 a ACGT b ACNT", "UNKNOWN BASE: N"},
        {"1 4 a acgt", "UNKNOWN BASE: a"},
        // A count is digits only: a NUL byte does not end it.
        {"2\0x 1\na A\nb C\n"s, "Error: Sequence count is not a whole number: 2\\x00x"},
        {"2 1\0 a A b C"s, "Error: Sequence length is not a whole number: 1\\x00"},
        // A name holding a control byte is refused, not cut short.
        {"2 1\n\0x A\nb C\n"s, "Error: Name of taxon 1 holds a control character: \\x00x"},
        {"2 1\na\0x A\na\0y C\n"s, "Error: Name of taxon 1 holds a control character: a\\x00x"},
        {"2 1 a A b\x1b[0m C", "Error: Name of taxon 2 holds a control character: b\\x1b[0m"},
        {"1 1 del\x7f A", "Error: Name of taxon 1 holds a control character: del\\x7f"},
        {"1 4 a AC\0T"s, "UNKNOWN BASE: \\x00"},
        // No taxon can be told from another without a position.
        {"2 0\na\nb\n", "Error: Sequence length is 0; every sequence needs at least one position"},
        {"1 0 a A", "Error: Sequence length is 0; every sequence needs at least one position"},
        // A bad token is echoed in at most 40 characters.
        {"2 1 a A " + std::string(100, 'x') + " C",
         "Error: Name of taxon 2 is longer than 99 characters: " + x40 + "..."},
        {"1 1 " + accented + " A",
         "Error: Name of taxon 1 is longer than 99 characters: " + accented_shown},
        {std::string(200, 'x'), "Error: Sequence count is not a whole number: " + x40 + "..."},
        {"3 " + std::string(41, '7'), "Error: Sequence length is too large: " +
                                          std::string(40, '7') + "... (the largest is 2147483647)"},
        // Leading zeros take no room of the 40 digits, but show as written.
        {std::string(45, '0') + std::string(41, '7') + " 4",
         "Error: Sequence count is too large: " + std::string(40, '0') +
             "... (the largest is 2147483647)"},
        {"3 " + std::string(45, '0') + "2147483648",
         "Error: Sequence length is too large: " + std::string(40, '0') +
             "... (the largest is 2147483647)"},
        {"0003x 4", "Error: Sequence count is not a whole number: 0003x"},
        {"-0003 4", "Error: Sequence count is negative: -0003"},
        {"00-3 4", "Error: Sequence count is not a whole number: 00-3"},
        {std::string(41, '0') + "x 4",
         "Error: Sequence count is not a whole number: " + std::string(40, '0') + "..."},
        {"0 1 " + std::string(60, 'y'),
         "Error: Sequence count is 0 but the file goes on with " + std::string(40, 'y') + "..."},
    };
    // clang-format on
    for (const BadInput& c : cases) {
        SequenceData data;
        const AnalysisStatus status = read(c.contents, &data);
        EXPECT_FALSE(status.ok()) << c.message;
        EXPECT_EQ(status.exit_code(), 1) << c.message;
        EXPECT_EQ(status.message(), c.message);
    }
}

// A hostile file of one endless token costs no more than the token's limit:
// the reader stops there and refuses.
TEST_F(SequenceFile, ReadsNoTokenPastItsLimit) {
    const std::size_t endless = 10 * 1000 * 1000;
    struct Case {
        std::string before;  // the text before the endless token
        char filler;         // what the endless token is made of
        std::size_t limit;   // how much of it may be read
    };
    const Case cases[] = {{"", '7', 40}, {"1 1 ", 'x', 99}, {"1 5 a ", 'A', 5}};
    for (const Case& c : cases) {
        std::istringstream in(c.before + std::string(endless, c.filler));
        SequenceData data;
        EXPECT_FALSE(module_.read_input(in, &data).ok()) << c.before;
        const std::streamoff consumed = in.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in);
        EXPECT_LE(consumed, static_cast<std::streamoff>(c.before.size() + c.limit + 1)) << c.before;
    }
}

TEST_F(SequenceFile, RepeatedNamesAreWarnedAboutOncePerName) {
    struct Case {
        std::string contents;
        std::vector<std::string> warnings;
    };
    std::string twelve = "12 1";
    for (int i = 0; i < 12; ++i) twelve += " z A";
    const Case cases[] = {
        {"3 1 a A b C a G", {"Warning: taxon name a appears more than once (taxa 1 and 3)"}},
        {"5 1 b A a C b G a T b A",
         {"Warning: taxon name b appears more than once (taxa 1, 3 and 5)",
          "Warning: taxon name a appears more than once (taxa 2 and 4)"}},
        {twelve,
         {"Warning: taxon name z appears more than once (taxa 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 "
          "and 2 more)"}},
        // Names are compared byte for byte.
        {"3 1 a A A C a_ G", {}},
    };
    for (const Case& c : cases) {
        std::ostringstream console;
        module_.options.console = &console;
        SequenceData data;
        // The run goes on: the names are kept as they are.
        ASSERT_TRUE(read(c.contents, &data).ok()) << c.contents;
        EXPECT_EQ(static_cast<int>(data.names.size()), data.num_seqs);
        EXPECT_EQ(lines_of(console.str()), c.warnings) << c.contents;
    }
}

TEST_F(SequenceFile, UnknownLetterIsReportedBeforeAShortToken) {
    SequenceData data;
    EXPECT_EQ(read("1 5 a AXG", &data).message(), "UNKNOWN BASE: X");
}

// Sequences are read and checked a block at a time: every length around
// the blocks' edges reads back whole and every fault is found where it is.
TEST_F(SequenceFile, LongSequencesReadAndFailAsShortOnes) {
    const std::size_t block = 64 * 1024;
    for (const std::size_t length :
         {std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{1000},
          block - 1, block, block + 1, 2 * block + 70}) {
        SCOPED_TRACE(length);
        std::string a(length, 'A');
        for (std::size_t i = 0; i < length; ++i) a[i] = "ACGT"[(i * 7 + i / 5) % 4];
        const std::string b(length, 'T');
        const std::string head = "2 " + std::to_string(length) + "\n";
        SequenceData data;
        ASSERT_TRUE(read(head + "a " + a + "\r\nb\t" + b, &data).ok());
        EXPECT_EQ(data.sequences, (std::vector<std::string>{a, b}));

        const std::string fewer = "Error: Sequence of taxon a has " + std::to_string(length - 1) +
                                  " characters, fewer than the sequence length " +
                                  std::to_string(length);
        struct Fault {
            std::string sequence;
            std::string message;
        };
        std::vector<Fault> faults = {
            {a + "G", "Error: Sequence of taxon a is longer than the sequence length " +
                          std::to_string(length)},
        };
        if (length > 1) {
            faults.push_back({a.substr(0, length - 1), fewer});
            faults.push_back({a.substr(0, length - 1) + " G", fewer});
            faults.push_back({a.substr(0, length - 1) + "\vGA", fewer});
        }
        // A bad letter anywhere, and before a token that ends early.
        for (const std::size_t at : {std::size_t{0}, length / 2, length - 1}) {
            std::string bad = a;
            bad[at] = 'u';
            faults.push_back({bad, "UNKNOWN BASE: u"});
            faults.push_back({bad.substr(0, at + 1), "UNKNOWN BASE: u"});
        }
        for (const Fault& fault : faults) {
            EXPECT_EQ(read(head + "a " + fault.sequence + "\nb " + b, &data).message(),
                      fault.message);
        }
    }
    // A length the file does not hold costs no more than the file.
    SequenceData data;
    EXPECT_EQ(read("1 2000000000 a ACGT", &data).message(),
              "Error: Sequence of taxon a has 4 characters, fewer than the sequence length "
              "2000000000");
}
