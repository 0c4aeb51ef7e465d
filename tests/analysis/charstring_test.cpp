#include "analysis/charstring.h"

#include <gtest/gtest.h>

TEST(CharString, EmptyTextHoldsOneNul) {
    const CharString empty("");
    EXPECT_EQ(empty.getLength(), 0);
    EXPECT_STREQ(empty.c_str(), "");
    const CharString null_text(nullptr);
    EXPECT_EQ(null_text.getLength(), 0);
    EXPECT_STREQ(null_text.c_str(), "");
}

TEST(CharString, AppendAddsExactlyOneCharacterEachTime) {
    CharString s;
    s += 'a';
    EXPECT_EQ(s.getLength(), 1);
    s += 'b';
    s += 'c';
    EXPECT_EQ(s.getLength(), 3);
    EXPECT_STREQ(s.c_str(), "abc");
}

TEST(CharString, CopiesOwnTheirBuffers) {
    CharString original("taxon");
    CharString copy(original);
    CharString assigned;
    assigned = original;
    original += 'X';
    EXPECT_STREQ(copy.c_str(), "taxon");
    EXPECT_STREQ(assigned.c_str(), "taxon");
    EXPECT_NE(copy.c_str(), original.c_str());
}

TEST(CharString, SelfAssignmentKeepsTheText) {
    CharString s("weight");
    CharString& same = s;
    s = same;
    EXPECT_STREQ(s.c_str(), "weight");
    // Assigning a string its own text through a pointer reads the old buffer first.
    s = s.c_str();
    EXPECT_STREQ(s.c_str(), "weight");
    EXPECT_EQ(s.getLength(), 6);
}

TEST(CharString, EqualityIsExactAndCaseSensitive) {
    EXPECT_EQ(CharString("JC") == CharString("JC"), 1);
    EXPECT_EQ(CharString("JC") == CharString("jc"), 0);
    EXPECT_EQ(CharString("Euclidian") == CharString("Euclidean"), 0);
}

TEST(CharString, SubscriptWithinTheText) {
    CharString s("abc");
    EXPECT_EQ(s[0], 'a');
    EXPECT_EQ(s[2], 'c');
    s[1] = 'B';
    EXPECT_STREQ(s.c_str(), "aBc");
}

TEST(CharStringDeathTest, SubscriptOutsideTheTextFailsTheAssertion) {
    CharString s("abc");
    const char* expected =
        "Assertion failed: subscript >= 0 && subscript <= length - 1, file charstring, line";
    EXPECT_EXIT((void)s[-1], testing::ExitedWithCode(3), expected);
    EXPECT_EXIT((void)s[3], testing::ExitedWithCode(3), expected);
}
