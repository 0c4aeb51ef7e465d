// The Newick form of a taxon name.

#include "analysis/newicklabel.h"

#include <gtest/gtest.h>

#include "analysis/charstring.h"

TEST(Newick, NamesWithNewickCharactersAreQuoted) {
    struct Case {
        const char* name;
        const char* label;
    };
    const Case cases[] = {
        {"plain_name", "plain_name"}, {"H.sapiens", "H.sapiens"}, {"a:b", "'a:b'"},
        {"x(1)", "'x(1)'"},           {"one,two", "'one,two'"},   {"semi;", "'semi;'"},
        {"[note]", "'[note]'"},       {"O'Brien", "'O''Brien'"},  {"say\"hi\"", "'say\"hi\"'"},
        {"back\\", "'back\\'"},       {"{set}", "'{set}'"},       {"k=v", "'k=v'"},
    };
    for (const Case& c : cases) EXPECT_EQ(newick_label(c.name), c.label) << c.name;
}
