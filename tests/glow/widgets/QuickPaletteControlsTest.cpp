// The quick palette's menu buttons, pop-up menus, scroll bars and sliders:
// their starting sizes, the receivers given to the Add operations, driven
// through the palette's own window, and the menu button's icon.

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glow/core/GlowMenu.h"
#include "glow/widgets/GlowLabeledPopupMenuWidget.h"
#include "glow/widgets/GlowLabeledSliderWidget.h"
#include "glow/widgets/GlowMenuButtonWidget.h"
#include "glow/widgets/GlowQuickPaletteSubwindow.h"
#include "glow/widgets/GlowQuickPanelWidget.h"
#include "glow/widgets/GlowScrollBarWidget.h"
#include "tests/glow/widgets/WidgetFixture.h"

namespace {

using glow::Glow;
using glow::GlowColor;
using glow::GlowLabeledSliderWidget;
using glow::GlowQuickPalette;
using widgettest::Recorder;

class QuickPaletteControlsTest : public widgettest::WidgetFixture {
protected:
    glow::GlowQuickPaletteSubwindow* MakePalette() {
        auto* palette = new glow::GlowQuickPaletteSubwindow(
            window, 0, 0, -1, -1, GlowQuickPalette::vertical, 0, 8, 10, 10);
        EndEvent();
        return palette;
    }
    // A press, drags and a release in the palette's window, at (dx, dy) from
    // the widget's top left.
    static void Press(glow::GlowSubwindow* palette, const glow::GlowWidget* w, int dx, int dy) {
        glowtest::SendMouse(palette, 0, GLUT_DOWN, w->RootPositionX() + dx,
                            w->RootPositionY() + dy);
    }
    static void Drag(glow::GlowSubwindow* palette, const glow::GlowWidget* w, int dx, int dy) {
        glowtest::SendMotion(palette, w->RootPositionX() + dx, w->RootPositionY() + dy);
    }
    static void Release(glow::GlowSubwindow* palette, const glow::GlowWidget* w, int dx, int dy) {
        glowtest::SendMouse(palette, 0, GLUT_UP, w->RootPositionX() + dx, w->RootPositionY() + dy);
    }
};

TEST_F(QuickPaletteControlsTest, AddsTheControlsWithTheirStartingSizes) {
    glow::GlowMenu menu;
    menu.AddEntry("Open", 1);
    for (int arrangement : {glow::GlowQuickPalette::vertical, glow::GlowQuickPalette::horizontal}) {
        SCOPED_TRACE(arrangement);
        const bool vertical = arrangement == glow::GlowQuickPalette::vertical;
        auto* palette =
            new glow::GlowQuickPaletteSubwindow(window, 0, 0, -1, -1, arrangement, 0, 8, 10, 10);
        glow::GlowMenuButtonWidget* button = palette->AddMenuButton("File", &menu, 1);
        glow::GlowLabeledPopupMenuWidget* popup = palette->AddPopupMenu("Colour", nullptr);
        glow::GlowScrollBarWidget* bar = palette->AddScrollBar(0, 100, 10, 5, nullptr);
        GlowLabeledSliderWidget* slider =
            palette->AddSlider(1.0, 100.0, 10.0, glow::logarithmic, 3, "%g", "%.0f", nullptr);
        // The starting sizes follow the arrangement.
        EXPECT_EQ(bar->Width(), vertical ? 120 : 20);
        EXPECT_EQ(bar->Height(), vertical ? 20 : 120);
        EXPECT_EQ(slider->Width(), vertical ? 130 : 30);
        EXPECT_EQ(slider->Height(), vertical ? 30 : 130);
        EXPECT_EQ(button->GetMenu(), &menu);
        EXPECT_EQ(popup->NumItems(), 0);
        EXPECT_EQ(bar->GetTopEntry(), 5);
        EXPECT_DOUBLE_EQ(slider->GetValue(), 10.0);
        EXPECT_STREQ(slider->ValueLabel()->GetText(), "10");
        // A pop-up without a receiver packs like any other control.
        popup->AddItem("Red");
        palette->Pack(false);
        EndEvent();
        EXPECT_GT(popup->Width(), 0);
        // The value label on the left in a column, above in a row.
        if (vertical) {
            EXPECT_LT(slider->ValueLabel()->PositionX(), 0);
        } else {
            EXPECT_LT(slider->ValueLabel()->PositionY(), 0);
        }
        // Everything inside the panel, in the order added.
        const int along[] = {vertical ? button->PositionY() : button->PositionX(),
                             vertical ? popup->PositionY() : popup->PositionX(),
                             vertical ? bar->PositionY() : bar->PositionX(),
                             vertical ? slider->PositionY() : slider->PositionX()};
        for (int i = 0; i + 1 < 4; ++i) EXPECT_LT(along[i], along[i + 1]);
        popup->OnItemChosen(0);  // nobody to tell
        delete palette;
        EndEvent();
    }
}

TEST_F(QuickPaletteControlsTest, ReceiversHearTheirControls) {
    Recorder<glow::GlowPopupMenuMessage> popupHeard;
    Recorder<glow::GlowScrollBarMessage> barHeard;
    Recorder<glow::GlowSliderMessage> sliderHeard;
    glow::GlowQuickPaletteSubwindow* palette = MakePalette();
    glow::GlowLabeledPopupMenuWidget* popup = palette->AddPopupMenu("Colour", &popupHeard);
    popup->AddItem("Red");
    popup->AddItem("Green");
    glow::GlowScrollBarWidget* bar = palette->AddScrollBar(0, 100, 10, 50, &barHeard);
    GlowLabeledSliderWidget* slider =
        palette->AddSlider(0.0, 1.0, 0.5, 0, 0, nullptr, nullptr, &sliderHeard);
    palette->Pack(false);
    EndEvent();

    // GLUT reports the pop-up's menu used over its face, then Green chosen.
    glutSetWindow(popup->Face()->WindowId());
    Glow::OnGlutMenuStatus(GLUT_MENU_IN_USE, 5, 5);
    Glow::OnGlutMenuStatus(GLUT_MENU_NOT_IN_USE, 5, 5);
    glutSetMenu(popup->Menu()->MenuId());
    Glow::OnGlutMenu(1);
    ASSERT_EQ(popupHeard.messages.size(), 1u);
    EXPECT_EQ(popupHeard.messages[0].widget, popup);
    EXPECT_EQ(popupHeard.messages[0].item, 1);

    // The bar's minus arrow, clicked.
    Press(palette, bar, 5, 10);
    Release(palette, bar, 5, 10);
    ASSERT_EQ(barHeard.messages.size(), 2u);
    for (const glow::GlowScrollBarMessage& m : barHeard.messages) {
        EXPECT_EQ(m.widget, bar);
        EXPECT_EQ(m.part, glow::GlowScrollBarWidget::minusArrowPart);
        EXPECT_EQ(m.topEntry, 49);
    }
    EXPECT_TRUE(barHeard.messages[1].released);

    // The slider's thumb, from the middle a quarter of its travel further.
    const int centre = slider->Width() / 2;
    const int quarter = (slider->Width() - slider->Height()) / 4;
    Press(palette, slider, centre, 15);
    Drag(palette, slider, centre + quarter, 15);
    Release(palette, slider, centre + quarter, 15);
    ASSERT_EQ(sliderHeard.messages.size(), 2u);
    for (const glow::GlowSliderMessage& m : sliderHeard.messages) {
        EXPECT_EQ(m.widget, slider);
        EXPECT_DOUBLE_EQ(m.value, 0.75);
    }
    EXPECT_FALSE(sliderHeard.messages[0].released);
    EXPECT_TRUE(sliderHeard.messages[1].released);
}

// The icon asked for is the one the face shows: the menu icon a white page
// under a blue bar, the arrow a blue triangle, none nothing; each takes
// three quarters of the face's height beside the label.
TEST_F(QuickPaletteControlsTest, MenuButtonShowsTheIconAskedFor) {
    glow::GlowMenu menu;
    menu.AddEntry("Open", 1);
    const struct {
        const char* name;
        int iconType;
        bool blue, page;
    } icons[] = {
        {"no icon", glow::GlowMenuButtonWidget::noIcon, false, false},
        {"menu icon", glow::GlowMenuButtonWidget::menuIcon, true, true},
        {"arrow icon", glow::GlowMenuButtonWidget::arrowIcon, true, false},
    };
    glow::GlowQuickPaletteSubwindow* palette = MakePalette();
    std::vector<glow::GlowMenuButtonWidget*> buttons;
    for (const auto& icon : icons)
        buttons.push_back(palette->AddMenuButton("File", &menu, icon.iconType));
    palette->Pack(false);
    EndEvent();
    const glow::GlowFont font;
    for (size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(icons[i].name);
        glow::GlowMenuButtonWidget* button = buttons[i];
        EXPECT_EQ(button->GetMenu(), &menu);
        EXPECT_EQ(button->Face()->IconType(), icons[i].iconType);
        const int height = font.Leading() + 12;
        const int iconWidth =
            icons[i].iconType == glow::GlowMenuButtonWidget::noIcon ? 0 : height * 3 / 4;
        EXPECT_EQ(button->Width(), 20 + glow::GlowWidget::StringWidth(font, "File") + iconWidth);
        glow::GlowSubwindow* face = button->Face();
        ASSERT_TRUE(glowtest::WaitUntilMapped(face));
        ASSERT_TRUE(glowtest::PumpUntil([&] { return face->Width() == button->Width(); }));
        const glowtest::Pixels p = glowtest::PaintAndRead(face);
        glowtest::SavePicture(std::string("palette_menu_button_") + std::to_string(i), p);
        // The icon's box, inside the face's bevel.
        const int right = p.width - p.height / 4;
        const int left = right - p.height / 2;
        int blue = 0, white = 0;
        for (int y = 3; y < p.height - 3; ++y) {
            for (int x = left; x <= right; ++x) {
                const std::uint8_t* c = p.At(x, y);
                blue += c[0] == 0 && c[1] == 0 && c[2] == 255 ? 1 : 0;
                white += c[0] == 255 && c[1] == 255 && c[2] == 255 ? 1 : 0;
            }
        }
        EXPECT_EQ(blue > 0, icons[i].blue);
        EXPECT_EQ(white > 0, icons[i].page);
    }
}

}  // namespace
