// The default parameter records: every value, and ready for records that
// other files build during start-up.

#include <gtest/gtest.h>

#include "glow/widgets/GlowCheckBoxWidget.h"
#include "glow/widgets/GlowFixedSizeWidgetWindow.h"
#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/GlowPanelWidget.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowRadioButtonWidget.h"
#include "glow/widgets/GlowRadioGroupWidget.h"
#include "glow/widgets/GlowSeparatorWidget.h"
#include "glow/widgets/GlowWidgetSubwindow.h"

using glow::GlowColor;

namespace {

// Built by this file's start-up code, which may run before the library's:
// the defaults they copy must already be there.
const glow::GlowPushButtonParams startupButton;
const glow::GlowRadioGroupParams startupGroup;
const glow::GlowWidgetSubwindowParams startupSubwindow;

::testing::AssertionResult Bytes(GlowColor c, int r, int g, int b, int a = 255) {
    if (c[0] == r && c[1] == g && c[2] == b && c[3] == a) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << int(c[0]) << ", " << int(c[1]) << ", "
                                         << int(c[2]) << ", " << int(c[3]) << ")";
}

}  // namespace

TEST(ParamsDefaults, ReadyAtStartUp) {
    EXPECT_EQ(startupButton.height, 25);
    EXPECT_STREQ(startupButton.text, "");
    EXPECT_TRUE(Bytes(startupButton.boxColor, 178, 178, 178));
    EXPECT_EQ(startupGroup.style, glow::GlowPanelParams::transparentStyle);
    EXPECT_FALSE(startupGroup.clipping);
    EXPECT_TRUE(Bytes(startupGroup.darkBevelColor, 102, 102, 102));
    EXPECT_EQ(startupSubwindow.width, -1);
    EXPECT_TRUE(Bytes(startupSubwindow.backColor, 204, 204, 204));
}

TEST(ParamsDefaults, Values) {
    const glow::GlowLabelParams label;
    EXPECT_TRUE(label.clipping);
    EXPECT_EQ(label.width, 100);
    EXPECT_EQ(label.hMargin, 1);
    EXPECT_EQ(label.vMargin, 0);
    EXPECT_FALSE(label.opaque);
    EXPECT_TRUE(label.font == glow::GlowFont::helvetica12);
    EXPECT_TRUE(Bytes(label.backColor, 204, 204, 204));
    EXPECT_TRUE(Bytes(label.inactiveTextColor, 0, 0, 0));

    const glow::GlowPushButtonParams b;
    EXPECT_FALSE(b.clipping);
    EXPECT_EQ(b.behavior, 0);
    EXPECT_EQ(b.receiver, nullptr);
    EXPECT_TRUE(Bytes(b.downBoxColor, 127, 127, 127));
    EXPECT_TRUE(Bytes(b.downTextColor, 204, 204, 255));
    EXPECT_TRUE(Bytes(b.pressedTextColor, 255, 178, 178));
    EXPECT_TRUE(Bytes(b.inactiveDownBoxColor, 178, 178, 178));
    EXPECT_TRUE(Bytes(b.inactiveBorderColor, 76, 76, 76));
    EXPECT_TRUE(Bytes(b.darkBevelColor, 51, 51, 51));

    const glow::GlowCheckBoxParams c;
    EXPECT_EQ(c.height, 16);
    EXPECT_EQ(c.spacing, 5);
    EXPECT_TRUE(Bytes(c.markColor, 0, 0, 255));
    EXPECT_TRUE(Bytes(c.pressedBoxColor, 102, 102, 102));
    EXPECT_TRUE(Bytes(c.pressedTextColor, 204, 0, 0));

    const glow::GlowRadioButtonParams r;
    EXPECT_EQ(r.height, 16);
    EXPECT_TRUE(Bytes(r.pressedBoxColor, 127, 127, 127));
    EXPECT_TRUE(Bytes(r.pressedSpotColor, 255, 178, 178));
    EXPECT_TRUE(Bytes(r.inactiveSpotColor, 76, 76, 76));

    const glow::GlowPanelParams p;
    EXPECT_TRUE(p.clipping);
    EXPECT_EQ(p.style, glow::GlowPanelParams::plainStyle);
    EXPECT_TRUE(Bytes(p.lightBevelColor, 255, 255, 255));

    const glow::GlowSeparatorParams s;
    EXPECT_EQ(s.height, 4);
    EXPECT_TRUE(Bytes(s.darkColor, 76, 76, 76));

    const glow::GlowWidgetWindowParams w;
    EXPECT_EQ(w.width, 100);
    EXPECT_EQ(w.x, -1);
    EXPECT_EQ(w.eventMask.Bits(), 7u);
    EXPECT_EQ(w.inactiveEventMask.Bits(), 0u);
    EXPECT_EQ(w.displayMode.Bits(), 2u);
    EXPECT_STREQ(w.title, "");
    EXPECT_EQ(w.iconTitle, nullptr);
    EXPECT_TRUE(Bytes(w.backColor, 204, 204, 204));

    // Changing a default changes the records made afterwards.
    glow::GlowLabelParams::defaults.hMargin = 4;
    EXPECT_EQ(glow::GlowLabelParams().hMargin, 4);
    glow::GlowLabelParams::defaults.hMargin = 1;
}
