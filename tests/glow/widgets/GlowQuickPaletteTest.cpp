// The quick palette: the two-pass layout of quick panels and radio groups,
// titles, inheriting layout values, the focus rule, the palette window, and
// the front end's settings column laid out as it will be in the window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glow/widgets/GlowCheckBoxWidget.h"
#include "glow/widgets/GlowDismissPushButtonWidget.h"
#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/GlowLabeledHiddenTextFieldWidget.h"
#include "glow/widgets/GlowLabeledTextFieldWidget.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowQuickPaletteSubwindow.h"
#include "glow/widgets/GlowQuickPaletteWindow.h"
#include "glow/widgets/GlowQuickPanelWidget.h"
#include "glow/widgets/GlowQuickRadioGroupWidget.h"
#include "glow/widgets/GlowRadioButtonWidget.h"
#include "glow/widgets/GlowSeparatorWidget.h"
#include "tests/glow/widgets/GlowTextFieldTestFixture.h"

namespace {

using glow::GlowQuickPalette;
using glow::GlowQuickPaletteSubwindow;
using glow::GlowQuickPanelWidget;
using glow::GlowWidget;

int TextWidth(const char* s) {
    return glow::GlowWidget::StringWidth(glow::GlowFont(), s);
}

class QuickPaletteTest : public fieldtest::WidgetWindowTest {
protected:
    GlowQuickPaletteSubwindow* MakePalette(int arrangement = GlowQuickPalette::vertical,
                                           int alignment = GlowQuickPalette::alignNear,
                                           int spacing = 8, int hMargin = 10, int vMargin = 10) {
        auto* palette = new GlowQuickPaletteSubwindow(window, 0, 0, 300, -1, arrangement, alignment,
                                                      spacing, hMargin, vMargin);
        End();
        return palette;
    }
    static void ExpectBox(const GlowWidget* w, int x, int y, int width, int height) {
        EXPECT_EQ(w->PositionX(), x);
        EXPECT_EQ(w->PositionY(), y);
        EXPECT_EQ(w->Width(), width);
        EXPECT_EQ(w->Height(), height);
    }
};

TEST_F(QuickPaletteTest, StacksChildrenAndTakesThePreferredSize) {
    GlowQuickPaletteSubwindow* palette = MakePalette();
    GlowWidget* a = palette->AddPanel(150, 20, 1);
    GlowWidget* b = palette->AddPanel(205, 24, 1);
    GlowWidget* c = palette->AddPanel(100, 25, 1);
    glowtest::Pump(50);
    EXPECT_FALSE(glowtest::IsMapped(palette));  // hidden until packed
    palette->Pack(false);
    End();
    ExpectBox(palette->QuickPanel(), 0, 0, 225, 105);
    ExpectBox(a, 10, 10, 150, 20);
    ExpectBox(b, 10, 38, 205, 24);
    ExpectBox(c, 10, 70, 100, 25);
    EXPECT_TRUE(glowtest::WaitUntilMapped(palette));
    EXPECT_EQ(palette->Width(), 300);  // the subwindow keeps its own size
    EXPECT_EQ(palette->Height(), windowHeight);
}

TEST_F(QuickPaletteTest, HorizontalArrangement) {
    GlowQuickPaletteSubwindow* palette = MakePalette(GlowQuickPalette::horizontal);
    GlowWidget* a = palette->AddPanel(50, 20, 1);
    GlowWidget* b = palette->AddPanel(30, 34, 1);
    palette->Pack(false);
    End();
    ExpectBox(palette->QuickPanel(), 0, 0, 10 + 50 + 8 + 30 + 10, 34 + 20);
    ExpectBox(a, 10, 10, 50, 20);
    ExpectBox(b, 68, 10, 30, 34);
}

TEST_F(QuickPaletteTest, EmptyPanelsAndGroupsHaveNoNegativeSize) {
    struct {
        int arrangement, spacing, hMargin, vMargin, width, height;
    } cases[] = {
        {GlowQuickPalette::vertical, 8, 10, 10, 20, 12},
        {GlowQuickPalette::horizontal, 8, 10, 10, 12, 20},
        {GlowQuickPalette::vertical, 30, 10, 10, 20, 0},
        {GlowQuickPalette::horizontal, 30, 10, 10, 10, 20},
        {GlowQuickPalette::vertical, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arrangement * 100 + c.spacing);
        GlowQuickPaletteSubwindow* palette =
            MakePalette(c.arrangement, 0, c.spacing, c.hMargin, c.vMargin);
        glow::GlowQuickRadioGroupWidget* group = palette->AddRadioGroup(c.arrangement, 3, nullptr);
        group->Hide();
        palette->Pack(false);
        End();
        EXPECT_EQ(palette->QuickPanel()->Width(), c.width);
        EXPECT_EQ(palette->QuickPanel()->Height(), c.height);
        group->Show();
        EXPECT_EQ(group->AutoPackDefault(), 0);
        EXPECT_EQ(group->Width(), 0);
        EXPECT_EQ(group->Height(), 0);
        delete palette;
        End();
    }
}

TEST_F(QuickPaletteTest, HiddenChildTakesNoSpaceAndComesBackInPlace) {
    GlowQuickPaletteSubwindow* palette = MakePalette();
    GlowWidget* a = palette->AddPanel(150, 20, 1);
    GlowWidget* b = palette->AddPanel(205, 24, 1);
    GlowWidget* c = palette->AddPanel(100, 25, 1);
    b->Hide();
    palette->Pack(false);
    End();
    ExpectBox(a, 10, 10, 150, 20);
    ExpectBox(b, 0, 0, 205, 24);  // not moved
    ExpectBox(c, 10, 38, 100, 25);
    ExpectBox(palette->QuickPanel(), 0, 0, 170, 73);
    b->Show();
    palette->Pack(false);
    End();
    ExpectBox(b, 10, 38, 205, 24);
    ExpectBox(c, 10, 70, 100, 25);
}

TEST_F(QuickPaletteTest, AlignmentAcrossTheAxis) {
    const char* texts[] = {"short", "a much longer label", "mid sized"};
    const int widest = TextWidth(texts[1]) + 2;
    struct {
        int alignment;
        const char* name;
    } cases[] = {
        {GlowQuickPalette::alignNear, "near"},     {GlowQuickPalette::alignCenter, "centre"},
        {GlowQuickPalette::alignFar, "far"},       {GlowQuickPalette::alignFar | 1, "3 is far"},
        {GlowQuickPalette::alignExpand, "expand"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowQuickPaletteSubwindow* palette = MakePalette(GlowQuickPalette::vertical, c.alignment);
        std::vector<GlowWidget*> labels;
        for (const char* t : texts) labels.push_back(palette->AddLabel(t));
        palette->Pack(false);
        End();
        EXPECT_EQ(palette->QuickPanel()->Width(), widest + 20);
        for (size_t i = 0; i < labels.size(); ++i) {
            const int w = TextWidth(texts[i]) + 2;
            GlowWidget* label = labels[i];
            switch (c.alignment) {
                case GlowQuickPalette::alignNear:
                    EXPECT_EQ(label->PositionX(), 10);
                    EXPECT_EQ(label->Width(), w);
                    break;
                case GlowQuickPalette::alignCenter:
                    EXPECT_EQ(label->PositionX(), 10 + (widest - w) / 2);
                    EXPECT_EQ(label->Width(), w);
                    break;
                case GlowQuickPalette::alignExpand:
                    EXPECT_EQ(label->PositionX(), 10);
                    EXPECT_EQ(label->Width(), widest);
                    break;
                default:
                    EXPECT_EQ(label->PositionX() + label->Width(), 10 + widest);
                    EXPECT_EQ(label->Width(), w);
            }
        }
        delete palette;
        End();
    }
}

TEST_F(QuickPaletteTest, TitlesOnAndAboveTheTopEdge) {
    GlowQuickPaletteSubwindow* palette = MakePalette();
    GlowQuickPanelWidget* etched = palette->AddArrangingPanel(2, "Etched", -1, -1, -1, -1, -1);
    GlowWidget* inEtched = etched->AddPanel(40, 20, 1);
    GlowQuickPanelWidget* plain =
        palette->AddArrangingPanel(1, "A title wider than the content", -1, -1, -1, -1, -1);
    GlowWidget* inPlain = plain->AddPanel(40, 20, 1);
    palette->Pack(false);
    End();
    glow::GlowLabelWidget* t1 = etched->TitleLabel();
    glow::GlowLabelWidget* t2 = plain->TitleLabel();
    ASSERT_NE(t1, nullptr);
    ASSERT_NE(t2, nullptr);
    EXPECT_EQ(t1->Width(), TextWidth("Etched") + 6);
    const int h1 = t1->Height();
    const int h2 = t2->Height();
    // Etched: the title straddles the top edge and moves the content down.
    EXPECT_EQ(t1->PositionX(), 10);
    EXPECT_EQ(t1->PositionY(), -h1 / 2 - (h1 % 2));
    EXPECT_EQ(inEtched->PositionY(), 10 + h1 / 2);
    EXPECT_EQ(etched->PositionY(), 10 + h1 / 2);
    EXPECT_EQ(etched->Height(), 10 + h1 / 2 + 20 + 10);
    // Plain: the title sits wholly above and the parent makes room for it.
    EXPECT_EQ(t2->PositionY(), -h2);
    const int plainTop = 10 + h1 / 2 + etched->Height() + 8 + h2;
    EXPECT_EQ(plain->PositionY(), plainTop);
    EXPECT_EQ(inPlain->PositionY(), 10);
    EXPECT_EQ(plain->Width(), t2->Width() + 20);
    EXPECT_EQ(palette->QuickPanel()->Height(), plainTop + plain->Height() + 10);
}

TEST_F(QuickPaletteTest, LayoutValuesInheritOrFallBack) {
    GlowQuickPaletteSubwindow* palette =
        MakePalette(GlowQuickPalette::horizontal, GlowQuickPalette::alignCenter, 4, 6, 7);
    GlowQuickPanelWidget* inherit = palette->AddArrangingPanel(1, nullptr, -1, -1, -1, -1, -1);
    EXPECT_EQ(inherit->GetArrangement(), GlowQuickPalette::horizontal);
    EXPECT_EQ(inherit->GetAlignment(), GlowQuickPalette::alignCenter);
    EXPECT_EQ(inherit->GetSpacing(), 4);
    EXPECT_EQ(inherit->GetHMargin(), 6);
    EXPECT_EQ(inherit->GetVMargin(), 7);
    EXPECT_EQ(inherit->TitleLabel(), nullptr);
    GlowQuickPanelWidget* own = palette->AddArrangingPanel(1, "", 0, 2, 1, 2, 3);
    EXPECT_EQ(own->GetArrangement(), 0);
    EXPECT_EQ(own->GetAlignment(), 2);
    EXPECT_EQ(own->GetSpacing(), 1);
    EXPECT_EQ(own->GetHMargin(), 2);
    EXPECT_EQ(own->GetVMargin(), 3);
    EXPECT_EQ(own->TitleLabel(), nullptr);  // an empty title makes no label
    // Nothing to inherit from: the fixed defaults.
    auto* orphan = new GlowQuickPanelWidget(sub, nullptr, 1, nullptr, -1, -1, -1, -1, -1);
    EXPECT_EQ(orphan->GetArrangement(), GlowQuickPalette::vertical);
    EXPECT_EQ(orphan->GetAlignment(), GlowQuickPalette::alignNear);
    EXPECT_EQ(orphan->GetSpacing(), 8);
    EXPECT_EQ(orphan->GetHMargin(), 10);
    EXPECT_EQ(orphan->GetVMargin(), 10);
    End();
}

TEST_F(QuickPaletteTest, SizeRulesWithoutASize) {
    GlowQuickPaletteSubwindow* palette = MakePalette();
    GlowQuickPanelWidget* titled = palette->AddArrangingPanel(1, "Title", -1, -1, -1, -1, -1);
    titled->AddPanel(40, 20, 1);
    const int u = glow::unspecifiedPos;
    // Expand without a size acts as preferred; the title's margin is not
    // taken off a size that is not there.
    EXPECT_EQ(
        titled->AutoPackWith(u, u, u, u, glow::expandPreferredSize, glow::expandPreferredSize), 0);
    EXPECT_EQ(titled->Width(), 60);
    EXPECT_EQ(titled->Height(), 40);
    EXPECT_EQ(titled->AutoPackWith(u, u, u, u, glow::forcedSize, glow::preferredSize), 1);
    EXPECT_EQ(titled->AutoPackWith(u, u, u, u, glow::preferredSize, glow::forcedSize), 2);
    // Given sizes: too small fails, larger is taken (less the title's room).
    const int th = titled->TitleLabel()->Height();
    EXPECT_EQ(titled->AutoPackWith(0, 59, 0, 100, glow::forcedSize, glow::forcedSize), 1);
    EXPECT_EQ(titled->AutoPackWith(0, 80, 0, 100, glow::forcedSize, glow::forcedSize), 0);
    EXPECT_EQ(titled->Width(), 80);
    EXPECT_EQ(titled->Height(), 100 - th);
    EXPECT_EQ(titled->AutoPackWith(0, 80, 0, 39 + th, glow::forcedSize, glow::forcedSize), 2);
}

TEST_F(QuickPaletteTest, RadioGroupStacksItsButtons) {
    for (int arrangement : {GlowQuickPalette::vertical, GlowQuickPalette::horizontal}) {
        SCOPED_TRACE(arrangement);
        GlowQuickPaletteSubwindow* palette = MakePalette();
        glow::GlowQuickRadioGroupWidget* group = palette->AddRadioGroup(arrangement, 3, nullptr);
        std::vector<glow::GlowRadioButtonWidget*> buttons;
        for (const char* t : {"One", "Two and more", "Three"})
            buttons.push_back(group->AddRadioButton(t));
        EXPECT_EQ(group->GetCurrentButton(), buttons[0]);
        palette->Pack(false);
        End();
        int pos = 0, cross = 0;
        for (glow::GlowRadioButtonWidget* b : buttons) {
            if (arrangement == GlowQuickPalette::vertical) {
                EXPECT_EQ(b->PositionX(), 0);
                EXPECT_EQ(b->PositionY(), pos);
                pos += b->Height() + 3;
                cross = std::max(cross, b->Width());
            } else {
                EXPECT_EQ(b->PositionY(), 0);
                EXPECT_EQ(b->PositionX(), pos);
                pos += b->Width() + 3;
                cross = std::max(cross, b->Height());
            }
        }
        if (arrangement == GlowQuickPalette::vertical) {
            EXPECT_EQ(group->Width(), cross);
            EXPECT_EQ(group->Height(), pos - 3);
        } else {
            EXPECT_EQ(group->Width(), pos - 3);
            EXPECT_EQ(group->Height(), cross);
        }
        EXPECT_EQ(group->PositionX(), 10);
        EXPECT_EQ(group->PositionY(), 10);
        const int u = glow::unspecifiedPos;
        EXPECT_EQ(group->AutoPackWith(0, group->Width() - 1, u, u, 1, 1), 1);
        EXPECT_EQ(group->AutoPackWith(u, u, 0, group->Height() - 1, 1, 1), 2);
        delete palette;
        End();
    }
}

TEST_F(QuickPaletteTest, OnlyTheFirstTextFieldTakesTheFocus) {
    GlowQuickPaletteSubwindow* palette = MakePalette();
    auto* first = palette->AddTextField(100, "one", nullptr);
    auto* second = palette->AddTextField(100, "two", "Second:");
    auto* hidden = palette->AddHiddenTextField(100, "pw", '*', "Password:");
    End();
    EXPECT_TRUE(first->HasKeyboardFocus());
    EXPECT_FALSE(second->HasKeyboardFocus());
    EXPECT_FALSE(hidden->HasKeyboardFocus());
    EXPECT_TRUE(first->BlinkTask().IsPending());
    EXPECT_STREQ(hidden->GetText(), "**");
    EXPECT_STREQ(hidden->GetHiddenText(), "pw");
    palette->Pack(false);
    End();
    int lw, lh;
    second->Label()->GetPreferredSize(lw, lh);
    EXPECT_EQ(first->PositionX(), 10);
    EXPECT_EQ(second->PositionX(), 10 + lw + 5);  // its label's room on the left

    // A palette in a root whose focus is taken already gives none away.
    GlowQuickPaletteSubwindow* other = MakePalette();
    auto* focused = other->AddTextField(50, "", nullptr);
    End();
    EXPECT_TRUE(focused->HasKeyboardFocus());
    auto* later = other->AddTextField(50, "", nullptr);
    End();
    EXPECT_FALSE(later->HasKeyboardFocus());
}

TEST_F(QuickPaletteTest, AddedControlsStartFromTheirDefaults) {
    GlowQuickPaletteSubwindow* palette = MakePalette();
    glow::GlowSeparatorWidget* vSep = palette->AddSeparator(2);
    EXPECT_EQ(vSep->Width(), 10);
    EXPECT_EQ(vSep->Height(), 4);
    GlowQuickPanelWidget* row = palette->AddArrangingPanel(0, nullptr, 1, -1, -1, -1, -1);
    glow::GlowSeparatorWidget* hSep = row->AddSeparator(2);
    EXPECT_EQ(hSep->Width(), 4);
    EXPECT_EQ(hSep->Height(), 10);
    EXPECT_EQ(hSep->Parent(), row);
    glow::GlowCheckBoxWidget* box = palette->AddCheckBox("Check", 1, nullptr);
    EXPECT_STREQ(box->GetText(), "Check");
    glow::GlowPushButtonWidget* push = palette->AddPushButton("Push", nullptr);
    EXPECT_STREQ(push->GetText(), "Push");
    glow::GlowDismissPushButtonWidget* dismiss = palette->AddDismissButton("Close", row, nullptr);
    EXPECT_EQ(dismiss->ToDismiss(), row);
    for (GlowWidget* w : std::vector<GlowWidget*>{vSep, row, box, push, dismiss}) {
        EXPECT_EQ(w->PositionX(), 0);
        EXPECT_EQ(w->PositionY(), 0);
        EXPECT_EQ(w->Parent(), palette->QuickPanel());
    }
}

TEST_F(QuickPaletteTest, PaletteWindowTakesThePanelsSize) {
    auto* palette = new glow::GlowQuickPaletteWindow("Palette", 50, 50, GlowQuickPalette::vertical,
                                                     GlowQuickPalette::alignNear, 8, 10, 10);
    const int id = palette->WindowId();
    palette->AddPanel(150, 20, 1);
    palette->AddPanel(205, 24, 1);
    palette->AddPanel(100, 25, 1);
    End();
    palette->Pack();
    End();
    EXPECT_EQ(palette->FixedWidth(), 225);
    EXPECT_EQ(palette->FixedHeight(), 105);
    EXPECT_TRUE(glowtest::WaitUntilMapped(palette));
    EXPECT_TRUE(glowtest::PumpUntil([&] { return palette->Width() == 225; }));
    delete palette;
    End();
    EXPECT_EQ(glow::Glow::WindowForId(id), nullptr);
}

// The settings column of the program's main window, built as the front end
// builds it, in a window of the front end's size.
class SettingsColumnTest : public ::testing::Test {
protected:
    void SetUp() override {
        glowtest::InitGlut();
        mainWindow = new glow::GlowWindow("Tavrel 0.1 Alpha", -1, -1, 800, 600,
                                          glow::GlowDisplayMode(), glow::GlowEventMask());
        palette =
            new GlowQuickPaletteSubwindow(mainWindow, 0, 0, 200, -1, GlowQuickPalette::vertical,
                                          GlowQuickPalette::alignNear, 8, 10, 10);
        auto field = [this](const char* value) {
            glow::GlowTextFieldWidget* f = palette->AddTextField(100, "", nullptr);
            f->SetText(value);
            rows.push_back(f);
            return f;
        };
        auto label = [this](const char* text) { rows.push_back(palette->AddLabel(text)); };
        label("Input File Path:");
        inputPath = field("input.seq");
        rows.push_back(openButton = palette->AddPushButton("Open Input File", nullptr));
        label("Conscience Learning Rate:");
        conscience = field("0.001");
        label("Kohonen Learning Rate:");
        field("0.04");
        label("Starting Epochs:");
        field("100");
        label("Convergence Threshold:");
        field("0.25");
        rows.push_back(palette->AddCheckBox("Force Bifircation", 0, nullptr));
        rows.push_back(palette->AddCheckBox("Observe Transvertion/Transition Ratio", 0, nullptr));
        label("Transvertion/Transition Ratio:");
        field("0.25");
        label("Distance Metric:");
        group = palette->AddRadioGroup(GlowQuickPalette::vertical, 3, nullptr);
        rows.push_back(group);
        for (const char* name :
             {"Jukes Cantor", "Felsenstein, 1981", "Felsenstein, 1984", "K2P", "Euclidian"})
            metrics.push_back(group->AddRadioButton(name));
        rows.push_back(palette->AddPushButton("Run Analysis", nullptr));
        rows.push_back(palette->AddPushButton("Quit", nullptr));
        palette->Pack(false);
        glow::Glow::EndEvent();
    }
    void TearDown() override {
        delete mainWindow;
        glow::Glow::EndEvent();
        glowtest::Pump(5);
    }

    glow::GlowWindow* mainWindow = nullptr;
    GlowQuickPaletteSubwindow* palette = nullptr;
    std::vector<GlowWidget*> rows;
    glow::GlowTextFieldWidget* inputPath = nullptr;
    glow::GlowTextFieldWidget* conscience = nullptr;
    glow::GlowPushButtonWidget* openButton = nullptr;
    glow::GlowQuickRadioGroupWidget* group = nullptr;
    std::vector<glow::GlowRadioButtonWidget*> metrics;
};

TEST_F(SettingsColumnTest, RowsStackFromTheTopDown) {
    ASSERT_EQ(rows.size(), 19u);
    int y = 10;
    int widest = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(rows[i]->PositionX(), 10);
        EXPECT_EQ(rows[i]->PositionY(), y);
        y += rows[i]->Height() + 8;
        widest = std::max(widest, rows[i]->Width());
    }
    EXPECT_EQ(palette->QuickPanel()->Height(), y - 8 + 10);
    EXPECT_EQ(palette->QuickPanel()->Width(), widest + 20);
    EXPECT_EQ(palette->QuickPanel()->PositionX(), 0);
    EXPECT_EQ(palette->QuickPanel()->PositionY(), 0);

    // The sizes the controls take.
    const auto* label = static_cast<glow::GlowLabelWidget*>(rows[0]);
    EXPECT_EQ(label->Width(), TextWidth("Input File Path:") + 2);
    EXPECT_EQ(label->Height(), 14);
    for (size_t i : {1u, 4u, 6u, 8u, 10u, 14u}) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(rows[i]->Width(), 100);
        EXPECT_EQ(rows[i]->Height(), 24);
    }
    EXPECT_EQ(openButton->Width(), TextWidth("Open Input File") + 20);
    EXPECT_EQ(openButton->Height(), 26);
    // The group stacks its five buttons 3 pixels apart from its own top.
    int by = 0;
    int groupWidth = 0;
    for (glow::GlowRadioButtonWidget* b : metrics) {
        EXPECT_EQ(b->PositionX(), 0);
        EXPECT_EQ(b->PositionY(), by);
        by += b->Height() + 3;
        groupWidth = std::max(groupWidth, b->Width());
    }
    EXPECT_EQ(group->Height(), by - 3);
    EXPECT_EQ(group->Width(), groupWidth);
    EXPECT_EQ(group->GetCurrentButton(), metrics[0]);
}

TEST_F(SettingsColumnTest, FieldsHaveNoLabelOfTheirOwn) {
    // The field's label is empty: it exists as the labelled field's part,
    // takes no room and draws nothing.
    for (size_t i : {1u, 4u, 6u, 8u, 10u, 14u}) {
        auto* f = static_cast<glow::GlowLabeledTextFieldWidget*>(rows[i]);
        ASSERT_NE(f->Label(), nullptr);
        EXPECT_STREQ(f->Label()->GetText(), "");
        EXPECT_EQ(f->Label()->TextWidth(), 0);
    }
    EXPECT_STREQ(inputPath->GetText(), "input.seq");
    EXPECT_EQ(inputPath->Caret(), 0);
    EXPECT_STREQ(conscience->GetText(), "0.001");
}

TEST_F(SettingsColumnTest, WindowLayoutAndFocus) {
    ASSERT_TRUE(glowtest::WaitUntilMapped(palette));
    EXPECT_EQ(palette->Width(), 200);
    EXPECT_EQ(palette->Height(), 600);
    EXPECT_EQ(mainWindow->Width(), 800);
    EXPECT_TRUE(inputPath->HasKeyboardFocus());
    EXPECT_EQ(palette->GetKeyboardFocus(), inputPath);
    for (size_t i : {4u, 6u, 8u, 10u, 14u}) EXPECT_FALSE(rows[i]->HasKeyboardFocus());

    palette->SetAutoSwapBuffers(false);
    glowtest::SendDisplay(palette);
    glutSetWindow(palette->WindowId());
    const glowtest::Pixels p = glowtest::ReadBackBuffer(0, 0, 200, 600);
    glowtest::SavePicture("settings_column", p);
    auto at = [&p](int x, int y) {
        const std::uint8_t* c = p.At(x, 599 - y);
        return fieldtest::Rgb{c[0], c[1], c[2]};
    };
    // The focused field shows its blue caret at its text's start, the
    // others the grey one; the column's left margin holds no drawing.
    const int fy = inputPath->PositionY();
    EXPECT_EQ(at(10 + 5, fy + 10), (fieldtest::Rgb{0, 0, 255}));
    EXPECT_EQ(at(10 + 5, conscience->PositionY() + 10), (fieldtest::Rgb{102, 102, 102}));
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(at(x, y), (fieldtest::Rgb{204, 204, 204})) << x << "," << y;
    // Typing reaches the focused field.
    palette->WidgetKeyboard('2', 0, 0, 0);
    glow::Glow::EndEvent();
    EXPECT_STREQ(inputPath->GetText(), "2input.seq");
}

}  // namespace

namespace {

// The same column with real X input: GLUT itself sees the clicks and keys.
TEST_F(SettingsColumnTest, RealClicksAndKeysReachTheFields) {
    ASSERT_TRUE(glowtest::WaitUntilMapped(palette));
    const std::string xid = std::to_string(glowtest::XWindowOf(palette));
    const int x = conscience->PositionX() + 90;  // right of "0.001"
    const int y = conscience->PositionY() + 12;
    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + xid + " " + std::to_string(x) + " " +
                                  std::to_string(y) + " click 1"));
    ASSERT_TRUE(glowtest::PumpUntil([this] { return conscience->HasKeyboardFocus(); }));
    EXPECT_FALSE(inputPath->HasKeyboardFocus());
    EXPECT_FALSE(inputPath->BlinkTask().IsPending());
    EXPECT_EQ(conscience->Caret(), 5);
    ASSERT_TRUE(glowtest::Xdotool("key 5 shift+Left shift+Left"));
    ASSERT_TRUE(glowtest::PumpUntil(
        [this] { return conscience->Anchor() == 6 && conscience->Caret() == 4; }));
    EXPECT_STREQ(conscience->GetText(), "0.0015");
    ASSERT_TRUE(glowtest::Xdotool("key BackSpace Tab"));
    ASSERT_TRUE(glowtest::PumpUntil([this] { return !conscience->HasKeyboardFocus(); }));
    EXPECT_STREQ(conscience->GetText(), "0.00");
    EXPECT_TRUE(rows[6]->HasKeyboardFocus());  // the Kohonen rate, next in the ring
}

}  // namespace
