#include <gtest/gtest.h>

#include <climits>

#include "glow/widgets/GlowWidget.h"

using glow::GlowWidget;

namespace {

struct RuleCase {
    int rule;
    int offered;  // unspecifiedSize: none offered
    bool ok;
    int size;  // with preferred 30 and current 50
};

TEST(SizeForRule, EachRuleWithAndWithoutAnOfferedSize) {
    const int none = glow::unspecifiedSize;
    const RuleCase cases[] = {
        {glow::forcedSize, 70, true, 70},
        {glow::forcedSize, none, false, 50},
        {glow::expandPreferredSize, 70, true, 70},
        {glow::expandPreferredSize, none, true, 30},
        {glow::preferredSize, 70, true, 30},
        {glow::preferredSize, none, true, 30},
        {glow::noReshape, 70, true, 50},
        {glow::noReshape, none, true, 50},
        {7, 70, true, 50},  // not a rule: the size is kept
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "rule " << c.rule << " offered " << c.offered);
        int size = -1;
        EXPECT_EQ(GlowWidget::SizeForRule(c.rule, c.offered, 30, 50, size), c.ok);
        EXPECT_EQ(size, c.size);
        // The wide form gives the same with the offer stated apart.
        long long wide = -1;
        EXPECT_EQ(GlowWidget::SizeForRule(c.rule, c.offered != none, c.offered, 30, 50, wide),
                  c.ok);
        EXPECT_EQ(wide, c.size);
    }
}

TEST(SizeForRule, WideSizesAndAxesThatDoNotGrow) {
    // Sizes past the int range pass through the wide form untouched.
    const long long big = 3LL * INT_MAX;
    long long size = 0;
    EXPECT_TRUE(GlowWidget::SizeForRule(glow::preferredSize, false, 0, big, 1, size));
    EXPECT_EQ(size, big);
    EXPECT_TRUE(GlowWidget::SizeForRule(glow::forcedSize, true, -big, 0, 1, size));
    EXPECT_EQ(size, -big);

    EXPECT_EQ(GlowWidget::NoGrowthRule(glow::expandPreferredSize), glow::preferredSize);
    for (int rule : {glow::noReshape, glow::preferredSize, glow::forcedSize})
        EXPECT_EQ(GlowWidget::NoGrowthRule(rule), rule);
    int grown = 0;
    EXPECT_TRUE(GlowWidget::SizeForRule(GlowWidget::NoGrowthRule(glow::expandPreferredSize), 70, 30,
                                        50, grown));
    EXPECT_EQ(grown, 30);
}

}  // namespace
