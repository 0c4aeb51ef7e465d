// The text-entry window: its layout, typing into its field, the message
// with the typed text (also from a hidden field), the button list's limits,
// and keys typed by real X input.

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glow/widgets/GlowHiddenTextFieldWidget.h"
#include "glow/widgets/GlowTextFieldWidget.h"
#include "glow/widgets/GlowTextFieldWindow.h"
#include "glow/widgets/Glow_TextFieldWindowButton.h"
#include "tests/glow/widgets/GlowTextFieldTestFixture.h"

namespace {

using glow::Glow;
using glow::GlowTextFieldWindow;
using glow::GlowTextFieldWindowMessage;
using glow::GlowTextFieldWindowParams;

class Receiver : public glow::TReceiver<const GlowTextFieldWindowMessage&> {
public:
    void OnMessage(const GlowTextFieldWindowMessage& m) override {
        messages.push_back(m);
        // The window is whole while its message is delivered.
        fieldSeen = m.window->TextField()->GetText();
    }
    std::vector<GlowTextFieldWindowMessage> messages;
    std::string fieldSeen;
};

class TextFieldWindowTest : public fieldtest::WidgetWindowTest {
protected:
    GlowTextFieldWindow* Make(GlowTextFieldWindowParams p) {
        p.receiver = &receiver;
        auto* w = new GlowTextFieldWindow(p);
        id = w->WindowId();
        End();
        return w;
    }
    bool Gone() const { return Glow::WindowForId(id) == nullptr; }
    void Type(GlowTextFieldWindow* w, const std::string& keys) {
        for (char c : keys) {
            w->WidgetKeyboard(static_cast<unsigned char>(c), 0, 0, 0);
            End();
        }
    }
    // Real X input: the pointer over the window, so that the keys go to it,
    // text typed into its field, then key pressed; true when a message came.
    bool TypeByX(GlowTextFieldWindow* w, const std::string& text, const std::string& key) {
        if (!glowtest::WaitUntilMapped(w)) return false;
        const std::string xid = std::to_string(glowtest::XWindowOf(w));
        glowtest::Xdotool("mousemove --window " + xid + " 5 5");
        glowtest::Pump(50);
        glowtest::Xdotool("type " + text);
        if (!glowtest::PumpUntil([w, &text] { return w->TextField()->GetText() == text; })) {
            return false;
        }
        glowtest::Xdotool("key " + key);
        return glowtest::PumpUntil([this] { return !receiver.messages.empty(); });
    }
    void TearDown() override {
        if (!Gone()) delete Glow::WindowForId(id);
        fieldtest::WidgetWindowTest::TearDown();
    }

    Receiver receiver;
    int id = 0;
};

TEST_F(TextFieldWindowTest, DefaultsTypeAbcAndEnter) {
    GlowTextFieldWindow* w = Make(GlowTextFieldWindowParams());
    EXPECT_STREQ(w->Title(), "Enter text");
    ASSERT_EQ(w->NumButtons(), 1);
    EXPECT_STREQ(w->Button(0)->GetText(), "OK");
    // The field has the keyboard focus from the start.
    EXPECT_EQ(w->GetKeyboardFocus(), w->TextField());
    Type(w, "abc");
    EXPECT_STREQ(w->TextField()->GetText(), "abc");
    EXPECT_TRUE(receiver.messages.empty());
    Type(w, "\x1b");  // Escape names no button: the field ignores it
    EXPECT_FALSE(Gone());
    Type(w, "\r");
    ASSERT_EQ(receiver.messages.size(), 1u);
    const GlowTextFieldWindowMessage& m = receiver.messages[0];
    EXPECT_EQ(m.window, w);
    EXPECT_EQ(m.text, "abc");
    EXPECT_EQ(m.buttonIndex, 0);
    EXPECT_EQ(m.mouseButton, 0);
    EXPECT_EQ(m.modifiers, 0);
    EXPECT_EQ(receiver.fieldSeen, "abc");
    EXPECT_TRUE(Gone());
}

TEST_F(TextFieldWindowTest, HiddenFieldReportsTheTypedText) {
    GlowTextFieldWindowParams p;
    p.maskChar = '*';
    p.text = "pa";
    p.labelText = "Password:";
    GlowTextFieldWindow* w = Make(p);
    ASSERT_NE(dynamic_cast<glow::GlowHiddenTextFieldWidget*>(w->TextField()), nullptr);
    // The caret starts before the initial text.
    Type(w, "ss\b\bsw");
    EXPECT_STREQ(w->TextField()->GetText(), "****");
    Type(w, "\r");
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].text, "swpa");
    EXPECT_EQ(receiver.fieldSeen, "****");
}

TEST_F(TextFieldWindowTest, LayoutPromptFieldAndRow) {
    const struct {
        const char* name;
        const char* prompt;
        int fieldWidth;
        const char* buttons;
        int spacing;
    } cases[] = {
        {"a field wider than all", "Name:", 300, "OK\tCancel", 10},
        {"a prompt wider than the field", "A long prompt for a short field", 40, "OK", 10},
        {"a row wider than both", "Q", 30, "First\tSecond\tThird", 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowTextFieldWindowParams p;
        p.labelText = c.prompt;
        p.fieldWidth = c.fieldWidth;
        p.buttons = c.buttons;
        p.spacing = c.spacing;
        GlowTextFieldWindow* w = Make(p);
        const int s = c.spacing;
        const glow::GlowWidget* prompt = w->Prompt();
        const glow::GlowWidget* field = w->TextField();
        const int lh = prompt->Height();
        const int fh = field->Height();
        const int bh = w->Button(0)->Height();
        EXPECT_EQ(prompt->PositionX(), s);
        EXPECT_EQ(prompt->PositionY(), s);
        EXPECT_EQ(field->PositionX(), s);
        EXPECT_EQ(field->PositionY(), lh + 2 * s);
        EXPECT_EQ(field->Width(), c.fieldWidth);
        int rowWidth = s * (w->NumButtons() - 1);
        for (int i = 0; i < w->NumButtons(); ++i) rowWidth += w->Button(i)->Width();
        const int width =
            std::max({rowWidth + 2 * s, prompt->Width() + 2 * s, field->Width() + 2 * s});
        EXPECT_EQ(w->FixedWidth(), width);
        EXPECT_EQ(w->FixedHeight(), lh + fh + bh + 4 * s + 10);
        int x = (width - rowWidth) / 2;
        for (int i = 0; i < w->NumButtons(); ++i) {
            EXPECT_EQ(w->Button(i)->PositionX(), x);
            EXPECT_EQ(w->Button(i)->PositionY(), lh + fh + 3 * s + 10);
            EXPECT_EQ(w->Button(i)->Index(), i);
            x += w->Button(i)->Width() + s;
        }
        delete w;
        End();
    }
}

TEST_F(TextFieldWindowTest, EmptyOrNullButtonLists) {
    GlowTextFieldWindowParams p;
    p.buttons = "\t";
    p.labelText = "Nothing to press";
    GlowTextFieldWindow* w = Make(p);
    EXPECT_EQ(w->NumButtons(), 0);
    EXPECT_EQ(w->Button(0), nullptr);
    // No row: the window ends a margin below the field.
    EXPECT_EQ(w->FixedHeight(), w->Prompt()->Height() + w->TextField()->Height() + 30);
    Type(w, "x\r\x1b");
    EXPECT_STREQ(w->TextField()->GetText(), "x");
    EXPECT_TRUE(receiver.messages.empty());
    EXPECT_FALSE(Gone());
    delete w;
    End();

    // Null is "OK".
    auto* ok = new GlowTextFieldWindow("Name", -1, -1, nullptr, 120, nullptr, nullptr, nullptr);
    id = ok->WindowId();
    End();
    ASSERT_EQ(ok->NumButtons(), 1);
    EXPECT_STREQ(ok->Button(0)->GetText(), "OK");
    EXPECT_STREQ(ok->TextField()->GetText(), "");
    ok->WidgetKeyboard(13, 0, 0, 0);
    End();
    EXPECT_TRUE(Gone());  // closed without telling anybody
}

TEST_F(TextFieldWindowTest, MouseOnTheSecondButton) {
    GlowTextFieldWindowParams p;
    p.buttons = "OK\tCancel";
    p.text = "kept";
    GlowTextFieldWindow* w = Make(p);
    glow::GlowWidget* cancel = w->Button(1);
    const int x = cancel->RootPositionX() + cancel->Width() / 2;
    const int y = cancel->RootPositionY() + cancel->Height() / 2;
    w->WidgetMouseDown(2, x, y, 1);
    End();
    w->WidgetMouseUp(2, x, y, 1);
    End();
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0].buttonIndex, 1);
    EXPECT_EQ(receiver.messages[0].mouseButton, 2);
    EXPECT_EQ(receiver.messages[0].modifiers, 1);
    EXPECT_EQ(receiver.messages[0].text, "kept");
    EXPECT_TRUE(Gone());
}

TEST_F(TextFieldWindowTest, KeysTypedByRealXInput) {
    GlowTextFieldWindowParams p;
    p.labelText = "Type here:";
    p.x = 50;
    p.y = 50;
    ASSERT_TRUE(TypeByX(Make(p), "abc", "Return"));
    EXPECT_EQ(receiver.messages[0].text, "abc");
    EXPECT_EQ(receiver.messages[0].buttonIndex, 0);
    EXPECT_TRUE(Gone());
}

// The short constructor maps Enter to the first button and Escape to the
// second; the keys come from real X input into the window.
TEST_F(TextFieldWindowTest, ShortConstructorMapsEnterAndEscape) {
    const struct {
        const char* key;
        int button;
    } keys[] = {{"Return", 0}, {"Escape", 1}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        auto* w =
            new GlowTextFieldWindow("Name", 50, 50, "Your name:", 120, "", "OK\tCancel", &receiver);
        id = w->WindowId();
        End();
        ASSERT_TRUE(TypeByX(w, "ab", k.key));
        EXPECT_EQ(receiver.messages[0].buttonIndex, k.button);
        EXPECT_EQ(receiver.messages[0].text, "ab");
        EXPECT_EQ(receiver.messages[0].mouseButton, 0);
        EXPECT_TRUE(glowtest::PumpUntil([this] { return Gone(); }));
        receiver.messages.clear();
    }
}

// The window says one thing: a second press in the event of the first,
// by mouse or by key, goes unreported.
TEST_F(TextFieldWindowTest, SecondPressInTheSameEventIsIgnored) {
    const struct {
        const char* name;
        void (*press)(GlowTextFieldWindow*);
        int button;
    } cases[] = {
        {"two buttons clicked",
         [](GlowTextFieldWindow* w) {
             w->Button(1)->Hit(2, 0);
             w->Button(0)->Hit(0, 0);
         },
         1},
        {"Enter then Escape",
         [](GlowTextFieldWindow* w) {
             w->WidgetKeyboard(13, 0, 0, 0);
             w->WidgetKeyboard(27, 0, 0, 0);
         },
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowTextFieldWindowParams p;
        p.buttons = "OK\tCancel";
        p.text = "kept";
        GlowTextFieldWindow* w = Make(p);
        c.press(w);
        End();
        ASSERT_EQ(receiver.messages.size(), 1u);
        EXPECT_EQ(receiver.messages[0].buttonIndex, c.button);
        EXPECT_EQ(receiver.messages[0].text, "kept");
        EXPECT_TRUE(Gone());
        receiver.messages.clear();
    }
}

// The field paints with the window's field colours: its background, the
// typed text, the caret and the selection.
TEST_F(TextFieldWindowTest, FieldTakesTheWindowsColours) {
    const glow::GlowColor back(51, 204, 51, 255), text(153, 0, 153, 255);
    const glow::GlowColor caret(255, 127, 0, 255), selection(102, 204, 255, 255);
    const glow::GlowColor prompt(0, 102, 204, 255);
    GlowTextFieldWindowParams p;
    p.labelText = "Colours:";
    p.fieldWidth = 150;
    p.fieldBackColor = back;
    p.fieldTextColor = text;
    p.caretColor = caret;
    p.selectionColor = selection;
    p.labelColor = prompt;
    GlowTextFieldWindow* w = Make(p);
    Type(w, "WWWW");
    // Shift and the left arrow twice: the last two characters selected.
    for (int i = 0; i < 2; ++i) {
        w->WidgetKeyboard(256 + GLUT_KEY_LEFT, 0, 0, GLUT_ACTIVE_SHIFT);
        End();
    }
    glow::GlowTextFieldWidget* field = w->TextField();
    ASSERT_EQ(field->Buffer().SelectionLength(), 2);
    if (!field->IsCaretOn()) field->ToggleCaret();
    End();

    // Painted at the window's own size, once the X server has given it.
    ASSERT_TRUE(glowtest::WaitUntilMapped(w));
    ASSERT_TRUE(glowtest::PumpUntil([w] {
        return w->Width() == w->FixedWidth() && w->Height() == w->FixedHeight() &&
               w->GetGlutState(GLUT_WINDOW_WIDTH) == w->FixedWidth();
    }));
    const glowtest::Pixels pixels = glowtest::PaintAndRead(w);
    glowtest::SavePicture("textfield_window_colours", pixels);
    auto count = [&](const glow::GlowWidget* widget, glow::GlowColor c) {
        int n = 0;
        for (int y = widget->RootPositionY(); y < widget->RootPositionY() + widget->Height(); ++y)
            for (int x = widget->RootPositionX(); x < widget->RootPositionX() + widget->Width();
                 ++x) {
                const std::uint8_t* px = pixels.At(x, pixels.height - 1 - y);
                n += px[0] == c[0] && px[1] == c[1] && px[2] == c[2] ? 1 : 0;
            }
        return n;
    };
    const int area = field->Width() * field->Height();
    EXPECT_GT(count(field, back), area / 2);
    EXPECT_GT(count(field, text), 20);
    EXPECT_GT(count(field, caret), 10);
    EXPECT_GT(count(field, selection), 50);
    EXPECT_GT(count(w->Prompt(), prompt), 10);
    // A text field's own focused colours show nowhere in it.
    for (glow::GlowColor own : {glow::GlowColor(0, 0, 0, 255), glow::GlowColor(0, 0, 255, 255),
                                glow::GlowColor(255, 204, 204, 255)}) {
        EXPECT_EQ(count(field, own), 0);
    }
}

}  // namespace
