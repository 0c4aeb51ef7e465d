// The message window: its layout, the labels string, Enter and Escape, the
// mouse, one message and then its own deletion, and the modal stack.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/GlowMessageWindow.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/Glow_MessageWindowButton.h"
#include "tests/glow/widgets/GlowTextFieldTestFixture.h"

namespace {

using glow::Glow;
using glow::GlowMessageWindow;
using glow::GlowMessageWindowLayout;
using glow::GlowMessageWindowMessage;

TEST(MessageWindowLayout, Table) {
    struct {
        const char* name;
        int textW, textH;
        std::vector<int> buttonW;
        int buttonH, spacing;
        int width, height;
        std::vector<int> buttonX;
        int buttonY;
    } cases[] = {
        {"text wider than the row", 200, 16, {60, 60}, 25, 10, 220, 81, {45, 115}, 46},
        {"row wider than the text", 50, 16, {60, 60, 60}, 25, 10, 220, 81, {10, 80, 150}, 46},
        {"one button", 100, 14, {40}, 26, 10, 120, 80, {40}, 44},
        {"odd room rounds toward zero", 101, 14, {40}, 26, 10, 121, 80, {40}, 44},
        {"spacing 4", 30, 10, {20, 20}, 20, 4, 52, 52, {4, 28}, 28},
        {"no buttons: no row", 200, 16, {}, 25, 10, 220, 36, {}, 46},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const GlowMessageWindowLayout layout =
            GlowMessageWindowLayout::Compute(c.textW, c.textH, c.buttonW, c.buttonH, c.spacing);
        EXPECT_EQ(layout.windowWidth, c.width);
        EXPECT_EQ(layout.windowHeight, c.height);
        EXPECT_EQ(layout.textX, c.spacing);
        EXPECT_EQ(layout.textY, c.spacing);
        EXPECT_EQ(layout.buttonX, c.buttonX);
        if (!c.buttonW.empty()) {
            EXPECT_EQ(layout.buttonY, c.buttonY);
        }
    }
}

TEST(MessageWindowLabels, SplitAtTabs) {
    using V = std::vector<std::string>;
    EXPECT_EQ(glow::Glow_Dialog::ButtonLabels("OK"), V({"OK"}));
    EXPECT_EQ(glow::Glow_Dialog::ButtonLabels("Yes\tNo"), V({"Yes", "No"}));
    EXPECT_EQ(glow::Glow_Dialog::ButtonLabels("Yes\t\tNo"), V({"Yes", "No"}));
    EXPECT_EQ(glow::Glow_Dialog::ButtonLabels("\tA b\t"), V({"A b"}));
    EXPECT_EQ(glow::Glow_Dialog::ButtonLabels(""), V());
    EXPECT_EQ(glow::Glow_Dialog::ButtonLabels("\t\t"), V());
    EXPECT_EQ(glow::Glow_Dialog::ButtonLabels(nullptr), V({"OK"}));
}

class Receiver : public glow::TReceiver<const GlowMessageWindowMessage&> {
public:
    void OnMessage(const GlowMessageWindowMessage& m) override {
        messages.push_back(m);
        // The window is still whole while its message is delivered.
        buttonsSeen = m.window->NumButtons();
        titleSeen = m.window->Title();
        modalSeen = Glow::ModalCount();
    }
    std::vector<GlowMessageWindowMessage> messages;
    int buttonsSeen = -1;
    std::string titleSeen;
    int modalSeen = -1;
};

class MessageWindowTest : public fieldtest::WidgetWindowTest {
protected:
    GlowMessageWindow* Make(const char* buttons, const char* text = "Something happened") {
        auto* w = new GlowMessageWindow("Error Message", 100, 100, text, buttons, &receiver);
        id = w->WindowId();
        End();
        return w;
    }
    bool Gone() const { return Glow::WindowForId(id) == nullptr; }
    void WindowKey(GlowMessageWindow* w, int key) {
        w->WidgetKeyboard(key, 0, 0, 0);
        End();
    }
    // Centre of a button, window pixels.
    static void Centre(glow::GlowWidget* b, int& x, int& y) {
        x = b->RootPositionX() + b->Width() / 2;
        y = b->RootPositionY() + b->Height() / 2;
    }
    void TearDown() override {
        if (!Gone()) delete Glow::WindowForId(id);
        while (Glow::ModalCount() > 0) Glow::PopModal();
        fieldtest::WidgetWindowTest::TearDown();
    }

    Receiver receiver;
    int id = 0;
};

TEST_F(MessageWindowTest, SizesItselfToItsContents) {
    for (const char* buttons : {"OK", "Yes\tNo", "Abort\tRetry\tIgnore everything now"}) {
        SCOPED_TRACE(buttons);
        GlowMessageWindow* w = Make(buttons);
        glow::GlowWidget* label = w->TextLabel();
        std::vector<int> widths;
        for (int i = 0; i < w->NumButtons(); ++i) widths.push_back(w->Button(i)->Width());
        const GlowMessageWindowLayout layout = GlowMessageWindowLayout::Compute(
            label->Width(), label->Height(), widths, w->Button(0)->Height(), 10);
        EXPECT_EQ(label->PositionX(), 10);
        EXPECT_EQ(label->PositionY(), 10);
        EXPECT_EQ(w->FixedWidth(), layout.windowWidth);
        EXPECT_EQ(w->FixedHeight(), layout.windowHeight);
        for (int i = 0; i < w->NumButtons(); ++i) {
            EXPECT_EQ(w->Button(i)->PositionX(), layout.buttonX[static_cast<size_t>(i)]);
            EXPECT_EQ(w->Button(i)->PositionY(), label->Height() + 30);
            EXPECT_EQ(w->Button(i)->Index(), i);
        }
        const std::vector<std::string> labels = glow::Glow_Dialog::ButtonLabels(buttons);
        ASSERT_EQ(w->NumButtons(), static_cast<int>(labels.size()));
        for (int i = 0; i < w->NumButtons(); ++i)
            EXPECT_EQ(w->Button(i)->GetText(), labels[static_cast<size_t>(i)]);
        delete w;
        End();
    }
}

TEST_F(MessageWindowTest, PaintsTheTextAndTheButtonRow) {
    GlowMessageWindow* w = Make("Yes\tNo", "File Opened");
    w->SetAutoSwapBuffers(false);
    ASSERT_TRUE(glowtest::WaitUntilMapped(w));
    ASSERT_TRUE(glowtest::PumpUntil(
        [w] { return w->Width() == w->FixedWidth() && w->Height() == w->FixedHeight(); }));
    glowtest::Pump(300);
    // Mesa sizes the back buffer to the resized window at a swap.
    glowtest::SendDisplay(w);
    glutSwapBuffers();
    glowtest::SendDisplay(w);
    glutSetWindow(w->WindowId());
    const glowtest::Pixels p = glowtest::ReadBackBuffer(0, 0, w->FixedWidth(), w->FixedHeight());
    Save(p, "message_window");
    const fieldtest::Rgb back{204, 204, 204};
    const int labelBottom = w->TextLabel()->Height() + 10;
    EXPECT_GT(Count(p, 10, 10, w->FixedWidth() - 10, labelBottom, {0, 0, 0}), 10);
    // The margins are background.
    EXPECT_EQ(Count(p, 0, 0, w->FixedWidth(), 9, back), w->FixedWidth() * 9);
    EXPECT_EQ(Count(p, 0, w->FixedHeight() - 9, w->FixedWidth(), w->FixedHeight(), back),
              w->FixedWidth() * 9);
}

TEST_F(MessageWindowTest, EnterPressesTheOnlyButtonAndTheWindowGoes) {
    GlowMessageWindow* w = Make("OK");
    WindowKey(w, 27);  // Escape: index 1 names no button
    EXPECT_TRUE(receiver.messages.empty());
    EXPECT_FALSE(Gone());
    WindowKey(w, 'x');
    EXPECT_FALSE(Gone());
    WindowKey(w, 13);
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].window, w);
    EXPECT_EQ(receiver.messages[0].buttonIndex, 0);
    EXPECT_EQ(receiver.messages[0].mouseButton, 0);
    EXPECT_EQ(receiver.messages[0].modifiers, 0);
    EXPECT_EQ(receiver.buttonsSeen, 1);
    EXPECT_EQ(receiver.titleSeen, "Error Message");
    EXPECT_TRUE(Gone());  // deleted at the end of that event
}

TEST_F(MessageWindowTest, EnterAndEscapeNameTheFirstAndSecondButtons) {
    for (int key : {13, 27}) {
        receiver.messages.clear();
        GlowMessageWindow* w = Make("Yes\t\tNo");
        ASSERT_EQ(w->NumButtons(), 2);
        WindowKey(w, key);
        ASSERT_EQ(receiver.messages.size(), 1u);
        EXPECT_EQ(receiver.messages[0].buttonIndex, key == 13 ? 0 : 1);
        EXPECT_TRUE(Gone());
    }
}

TEST_F(MessageWindowTest, MouseHitsOnlyOnAReleaseInside) {
    GlowMessageWindow* w = Make("Yes\tNo");
    int x, y;
    Centre(w->Button(1), x, y);
    w->WidgetMouseDown(0, x, y, 0);
    End();
    w->WidgetMouseDrag(x, y + 100);  // out of the button
    End();
    w->WidgetMouseUp(0, x, y + 100, 0);
    End();
    EXPECT_TRUE(receiver.messages.empty());
    ASSERT_FALSE(Gone());
    w->WidgetMouseDown(2, x, y, 1);
    End();
    w->WidgetMouseUp(2, x, y, 1);
    End();
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].buttonIndex, 1);
    EXPECT_EQ(receiver.messages[0].mouseButton, 2);
    EXPECT_EQ(receiver.messages[0].modifiers, 1);
    EXPECT_TRUE(Gone());
}

TEST_F(MessageWindowTest, ModalWindowLeavesTheStackWhenItGoes) {
    GlowMessageWindow* w = Make("OK");
    Glow::PushModal(w);
    End();
    EXPECT_EQ(Glow::ModalCount(), 1);
    EXPECT_FALSE(window->IsActive());
    WindowKey(w, 13);
    EXPECT_EQ(receiver.modalSeen, 1);
    EXPECT_TRUE(Gone());
    EXPECT_EQ(Glow::ModalCount(), 0);
    End();
    EXPECT_TRUE(window->IsActive());
}

// The window below a dialog takes the very next event after the dialog
// goes: a click that comes before any repaint reaches its button.
TEST_F(MessageWindowTest, TheFirstClickAfterTheDialogGoesReachesTheWindowBelow) {
    struct Hits : glow::TReceiver<const glow::GlowPushButtonMessage&> {
        void OnMessage(const glow::GlowPushButtonMessage&) override { ++count; }
        int count = 0;
    } hits;
    glow::GlowPushButtonParams params;
    params.x = 20;
    params.y = 20;
    params.width = 80;
    params.height = 30;
    params.text = "Open";
    params.receiver = &hits;
    new glow::GlowPushButtonWidget(sub, params);
    End();
    GlowMessageWindow* w = Make("OK");
    Glow::PushModal(w);
    End();
    WindowKey(w, 13);
    ASSERT_TRUE(Gone());
    Press(40, 30);
    Release(40, 30);
    EXPECT_EQ(hits.count, 1);
}

TEST_F(MessageWindowTest, OnlyOneMessageEvenWhenTwoButtonsAreHitInOneEvent) {
    GlowMessageWindow* w = Make("Yes\tNo");
    w->Button(0)->Hit(0, 0);
    w->Button(1)->Hit(0, 0);
    End();
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].buttonIndex, 0);
    EXPECT_TRUE(Gone());
}

TEST_F(MessageWindowTest, WithoutLabelsThereIsNoRow) {
    for (const char* buttons : {"", "\t\t"}) {
        SCOPED_TRACE(buttons);
        GlowMessageWindow* w = Make(buttons, "Nothing to press");
        EXPECT_EQ(w->NumButtons(), 0);
        EXPECT_EQ(w->Button(0), nullptr);
        EXPECT_EQ(w->FixedHeight(), w->TextLabel()->Height() + 20);
        EXPECT_EQ(w->FixedWidth(), w->TextLabel()->Width() + 20);
        WindowKey(w, 13);
        WindowKey(w, 27);
        EXPECT_TRUE(receiver.messages.empty());
        EXPECT_FALSE(Gone());
        w->Close();
        End();
        EXPECT_TRUE(Gone());
    }
}

TEST_F(MessageWindowTest, NullButtonsAndTextAndNoReceiver) {
    auto* w = new GlowMessageWindow("Note", -1, -1, nullptr, nullptr, nullptr);
    id = w->WindowId();
    End();
    ASSERT_EQ(w->NumButtons(), 1);
    EXPECT_STREQ(w->Button(0)->GetText(), "OK");
    WindowKey(w, 13);
    EXPECT_TRUE(Gone());  // closes without telling anybody
}

TEST_F(MessageWindowTest, ParamsChooseKeysAndSpacing) {
    glow::GlowMessageWindowParams params;
    params.title = "Choose";
    params.text = "Pick one";
    params.buttons = "A\tB\tC";
    params.spacing = 4;
    params.enterButton = 2;
    params.escapeButton = -1;
    params.receiver = &receiver;
    auto* w = new GlowMessageWindow(params);
    id = w->WindowId();
    End();
    EXPECT_EQ(w->Button(1)->PositionX() - w->Button(0)->PositionX(), w->Button(0)->Width() + 4);
    EXPECT_EQ(w->TextLabel()->PositionX(), 4);
    WindowKey(w, 27);
    EXPECT_FALSE(Gone());
    WindowKey(w, 13);
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].buttonIndex, 2);
}

}  // namespace
