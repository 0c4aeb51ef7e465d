#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "robinsonfoulds.h"
#include "simulator.h"

TEST(Simulator, SameSeedSameAlignmentAndEveryTaxonInTheTree) {
    const SimulatedAlignment a = simulate_alignment(30, 80, 5);
    const SimulatedAlignment b = simulate_alignment(30, 80, 5);
    EXPECT_EQ(sequence_file_text(a), sequence_file_text(b));
    EXPECT_EQ(a.newick, b.newick);
    EXPECT_NE(sequence_file_text(simulate_alignment(30, 80, 6)), sequence_file_text(a));
    ASSERT_EQ(a.sequences.size(), 30u);
    for (const std::string& sequence : a.sequences) {
        EXPECT_EQ(sequence.size(), 80u);
        EXPECT_EQ(sequence.find_first_not_of("ACGT"), std::string::npos);
    }
    std::vector<std::string> taxa = newick_taxa(a.newick);
    std::sort(taxa.begin(), taxa.end());
    std::vector<std::string> names = a.names;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(taxa, names);
    EXPECT_EQ(sequence_file_text(a).substr(0, 6), "30 80\n");
    EXPECT_EQ(stockholm_text(a).substr(0, 15), "# STOCKHOLM 1.0");
    EXPECT_EQ(normalised_robinson_foulds(a.newick, a.newick), 0.0);
}

TEST(RobinsonFoulds, SplitsShared) {
    struct Case {
        const char* first;
        const char* second;
        double distance;
    };
    const Case cases[] = {
        // The same unrooted tree: rooted elsewhere, with lengths and labels.
        {"((a,b),(c,(d,e)));", "(e,d,(c,(a:0.1,b:0.2)0.9));", 0.0},
        {"((a,b),(c,d),e);", "((a,c),(b,d),e);", 1.0},
        {"((a,b),(c,d),e);", "((a,b),(c,e),d);", 0.5},
        {"('x y',('it''s',c),d);", "(d,(c,'it''s'),'x y');", 0.0},
        // Different taxa, or no tree at all.
        {"((a,b),(c,d));", "((a,b),(c,x));", -1.0},
        {"((a,b),(c,d);", "((a,b),(c,d));", -1.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(normalised_robinson_foulds(c.first, c.second), c.distance)
            << c.first << " " << c.second;
    }
}
