// The default parameter records: every value, and ready for records that
// other files build during start-up.

#include <gtest/gtest.h>

#include "glow/widgets/GlowCheckBoxWidget.h"
#include "glow/widgets/GlowFixedSizeWidgetWindow.h"
#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/GlowLabeledPopupMenuWidget.h"
#include "glow/widgets/GlowLabeledSliderWidget.h"
#include "glow/widgets/GlowMenuButtonWidget.h"
#include "glow/widgets/GlowPanelWidget.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowRadioButtonWidget.h"
#include "glow/widgets/GlowRadioGroupWidget.h"
#include "glow/widgets/GlowScrollBarWidget.h"
#include "glow/widgets/GlowSeparatorWidget.h"
#include "glow/widgets/GlowTextFieldWindow.h"
#include "glow/widgets/GlowWidgetSubwindow.h"

using glow::GlowColor;

namespace {

// Built by this file's start-up code, which may run before the library's:
// the defaults they copy must already be there.
const glow::GlowPushButtonParams startupButton;
const glow::GlowRadioGroupParams startupGroup;
const glow::GlowWidgetSubwindowParams startupSubwindow;
const glow::GlowLabeledSliderParams startupSlider;
const glow::GlowLabeledPopupMenuParams startupPopup;

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
    EXPECT_EQ(startupSlider.width, 130);
    EXPECT_TRUE(Bytes(startupSlider.pressedThumbColor, 204, 153, 153));
    EXPECT_EQ(startupSlider.labelHeight, 15);
    EXPECT_EQ(startupPopup.width, 200);
    EXPECT_STREQ(startupPopup.mark, "> ");
    EXPECT_TRUE(Bytes(startupPopup.hiliteLabelTextColor, 204, 0, 0));
}

// The menus', scroll bars', sliders' and text-entry window's colours, each
// the float colour of its record's table as GlowColor's float constructor
// makes it.
TEST(ParamsDefaults, ColoursOfTheFurtherControlsAreTheirFloatColours) {
    using F = GlowColor;
    const glow::GlowMenuButtonParams m;
    const glow::GlowPopupMenuParams pm;
    const glow::GlowLabeledPopupMenuParams lp;
    const glow::GlowScrollBarParams sb;
    const glow::GlowSliderParams sl;
    const glow::GlowLabeledSliderParams ls;
    const glow::GlowTextFieldWindowParams tw;
    const struct {
        const char* name;
        GlowColor actual;
        GlowColor expected;
    } cases[] = {
        {"menu box", m.boxColor, F(0.7f, 0.7f, 0.7f)},
        {"menu text", m.textColor, F(0.0f, 0.0f, 0.0f)},
        {"menu icon", m.iconColor, F(0.0f, 0.0f, 1.0f)},
        {"menu pressed box", m.pressedBoxColor, F(0.5f, 0.5f, 0.5f)},
        {"menu pressed text", m.pressedTextColor, F(1.0f, 0.7f, 0.7f)},
        {"menu pressed icon", m.pressedIconColor, F(1.0f, 0.7f, 0.7f)},
        {"menu inactive box", m.inactiveBoxColor, F(0.7f, 0.7f, 0.7f)},
        {"menu inactive text", m.inactiveTextColor, F(0.3f, 0.3f, 0.3f)},
        {"menu inactive icon", m.inactiveIconColor, F(0.3f, 0.3f, 0.3f)},
        {"menu inactive border", m.inactiveBorderColor, F(0.3f, 0.3f, 0.3f)},
        {"menu light bevel", m.lightBevelColor, F(1.0f, 1.0f, 1.0f)},
        {"menu dark bevel", m.darkBevelColor, F(0.2f, 0.2f, 0.2f)},
        {"pop-up pressed box", pm.pressedBoxColor, F(0.5f, 0.5f, 0.5f)},
        {"pop-up dark bevel", pm.darkBevelColor, F(0.2f, 0.2f, 0.2f)},
        {"labelled pop-up label", lp.labelTextColor, F(0.0f, 0.0f, 0.0f)},
        {"labelled pop-up highlight", lp.hiliteLabelTextColor, F(0.8f, 0.0f, 0.0f)},
        {"labelled pop-up inactive", lp.inactiveLabelTextColor, F(0.3f, 0.3f, 0.3f)},
        {"bar trough", sb.troughColor, F(0.5f, 0.5f, 0.5f)},
        {"bar thumb", sb.thumbColor, F(0.7f, 0.7f, 0.7f)},
        {"bar drag origin", sb.dragOriginColor, F(0.5f, 0.5f, 0.5f)},
        {"bar arrow box", sb.arrowBoxColor, F(0.7f, 0.7f, 0.7f)},
        {"bar arrow", sb.arrowColor, F(0.0f, 0.0f, 1.0f)},
        {"bar pressed trough", sb.pressedTroughColor, F(0.6f, 0.5f, 0.5f)},
        {"bar pressed thumb", sb.pressedThumbColor, F(0.8f, 0.6f, 0.6f)},
        {"bar pressed arrow box", sb.pressedArrowBoxColor, F(0.8f, 0.6f, 0.6f)},
        {"bar pressed arrow", sb.pressedArrowColor, F(1.0f, 0.0f, 0.0f)},
        {"bar inactive trough", sb.inactiveTroughColor, F(0.8f, 0.8f, 0.8f)},
        {"bar inactive thumb", sb.inactiveThumbColor, F(0.7f, 0.7f, 0.7f)},
        {"bar inactive arrow box", sb.inactiveArrowBoxColor, F(0.7f, 0.7f, 0.7f)},
        {"bar inactive arrow", sb.inactiveArrowColor, F(0.3f, 0.3f, 0.3f)},
        {"bar inactive border", sb.inactiveBorderColor, F(0.3f, 0.3f, 0.3f)},
        {"bar light bevel", sb.lightBevelColor, F(1.0f, 1.0f, 1.0f)},
        {"bar dark bevel", sb.darkBevelColor, F(0.3f, 0.3f, 0.3f)},
        {"slider trough", sl.troughColor, F(0.5f, 0.5f, 0.5f)},
        {"slider thumb", sl.thumbColor, F(0.7f, 0.7f, 0.7f)},
        {"slider tick", sl.tickColor, F(0.0f, 0.0f, 0.0f)},
        {"slider pressed thumb", sl.pressedThumbColor, F(0.8f, 0.6f, 0.6f)},
        {"slider inactive trough", sl.inactiveTroughColor, F(0.7f, 0.7f, 0.7f)},
        {"slider inactive thumb", sl.inactiveThumbColor, F(0.7f, 0.7f, 0.7f)},
        {"slider inactive tick", sl.inactiveTickColor, F(0.3f, 0.3f, 0.3f)},
        {"slider inactive border", sl.inactiveBorderColor, F(0.3f, 0.3f, 0.3f)},
        {"slider light bevel", sl.lightBevelColor, F(1.0f, 1.0f, 1.0f)},
        {"slider dark bevel", sl.darkBevelColor, F(0.3f, 0.3f, 0.3f)},
        {"slider label", ls.labelTextColor, F(0.0f, 0.0f, 0.0f)},
        {"slider inactive label", ls.labelInactiveTextColor, F(0.3f, 0.3f, 0.3f)},
        {"slider end labels", ls.minMaxTextColor, F(0.0f, 0.0f, 0.0f)},
        {"slider inactive end labels", ls.minMaxInactiveTextColor, F(0.3f, 0.3f, 0.3f)},
        {"entry back", tw.backColor, F(0.8f, 0.8f, 0.8f)},
        {"entry label", tw.labelColor, F(0.0f, 0.0f, 0.0f)},
        {"entry field back", tw.fieldBackColor, F(1.0f, 1.0f, 1.0f)},
        {"entry selection", tw.selectionColor, F(0.9f, 0.9f, 0.7f)},
        {"entry field text", tw.fieldTextColor, F(0.0f, 0.0f, 0.0f)},
        {"entry caret", tw.caretColor, F(0.4f, 0.4f, 0.5f)},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Bytes(c.actual, c.expected[0], c.expected[1], c.expected[2], c.expected[3]))
            << c.name;
    }
}

TEST(ParamsDefaults, FurtherControls) {
    const glow::GlowMenuButtonParams m;
    EXPECT_EQ(m.width, 100);
    EXPECT_EQ(m.height, 25);
    EXPECT_EQ(m.menu, nullptr);
    EXPECT_STREQ(m.text, "");
    EXPECT_EQ(m.iconType, glow::GlowMenuButtonWidget::menuIcon);
    EXPECT_EQ(m.spacing, 10);

    const glow::GlowLabeledPopupMenuParams p;
    EXPECT_EQ(p.height, 24);
    EXPECT_EQ(p.items, nullptr);
    EXPECT_EQ(p.initial, -1);
    EXPECT_EQ(p.labelWidth, 100);
    EXPECT_EQ(p.labelHeight, 20);
    EXPECT_EQ(p.labelSpacing, 5);

    const glow::GlowScrollBarParams sb;
    EXPECT_EQ(sb.width, 120);
    EXPECT_EQ(sb.height, 20);
    EXPECT_EQ(sb.maximum, 1);
    EXPECT_EQ(sb.span, 1);
    EXPECT_EQ(sb.firstDelay, 400);
    EXPECT_EQ(sb.repeatInterval, 50);
    EXPECT_EQ(sb.pageStep, -1);

    const glow::GlowLabeledSliderParams ls;
    EXPECT_EQ(ls.height, 30);
    EXPECT_EQ(ls.options, glow::noSliderOptions);
    EXPECT_EQ(ls.maximum, 1.0);
    EXPECT_EQ(ls.labelFormat, nullptr);
    EXPECT_EQ(ls.labelWidth, 100);
    EXPECT_EQ(ls.minMaxSize, 15);

    const glow::GlowTextFieldWindowParams tw;
    EXPECT_STREQ(tw.title, "Enter text");
    EXPECT_STREQ(tw.buttons, "OK");
    EXPECT_EQ(tw.fieldWidth, 100);
    EXPECT_EQ(tw.maskChar, 0);
    EXPECT_EQ(tw.escapeButton, 1);
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
