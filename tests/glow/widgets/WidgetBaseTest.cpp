// The widget base and the widget root: end-of-event notices, registration,
// hit testing, mouse routing, the focus ring, auto-pack and the paint set-up.

#include <GL/freeglut.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "glow/widgets/GlowFixedSizeWidgetWindow.h"
#include "glow/widgets/GlowWidgetRoot.h"
#include "tests/glow/widgets/WidgetFixture.h"

using glow::GlowColor;
using glow::GlowWidget;
using widgettest::Log;
using widgettest::Probe;

namespace {

bool Listed(const std::vector<GlowWidget*>& list, const GlowWidget* w) {
    return std::find(list.begin(), list.end(), w) != list.end();
}

Log Sorted(Log log) {
    std::sort(log.begin(), log.end());
    return log;
}

}  // namespace

class WidgetBase : public widgettest::WidgetFixture {};

TEST_F(WidgetBase, NotificationsAtEndOfEvent) {
    struct Case {
        const char* name;
        std::function<void(Probe* a, Probe* child, Probe* b)> change;
        Log expected;  // sorted
    };
    const Case cases[] = {
        {"move twice gives one notice",
         [](Probe* a, Probe*, Probe*) {
             a->Move(20, 20);
             a->Move(30, 30);
         },
         {"a.Move", "child.Move"}},
        {"move away and back gives none",
         [](Probe* a, Probe*, Probe*) {
             a->Move(20, 20);
             a->Move(10, 10);
         },
         {}},
        {"move to the same place gives none",
         [](Probe* a, Probe*, Probe*) { a->Move(10, 10); },
         {}},
        {"moving a child leaves the parent alone",
         [](Probe*, Probe* c, Probe*) { c->Move(1, 2); },
         {"child.Move"}},
        {"reshape", [](Probe* a, Probe*, Probe*) { a->Reshape(70, 70); }, {"a.Reshape"}},
        {"reshape and back",
         [](Probe* a, Probe*, Probe*) {
             a->Reshape(70, 70);
             a->Reshape(60, 60);
         },
         {}},
        {"hide reaches visible descendants",
         [](Probe* a, Probe*, Probe*) { a->Hide(); },
         {"a.Invisible", "child.Invisible"}},
        {"hide then show gives none",
         [](Probe* a, Probe*, Probe*) {
             a->Hide();
             a->Show();
         },
         {}},
        {"focus moves from a to b",
         [](Probe* a, Probe*, Probe* b) {
             a->GrabKeyboardFocus();
             glow::Glow::EndEvent();
             a->WidgetRoot()->SetKeyboardFocus(b);
         },
         {"a.GotFocus", "a.LostFocus", "b.GotFocus"}},
        {"focus given and taken back gives none",
         [](Probe* a, Probe*, Probe*) {
             a->GrabKeyboardFocus();
             a->RelinquishKeyboardFocus();  // passes to b ...
             a->GrabKeyboardFocus();        // ... and comes back
         },
         {"a.GotFocus"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Log caseLog;
        auto* a = new Probe(Root(), nullptr, "a", &caseLog, 10, 10, 60, 60);
        auto* child = new Probe(Root(), a, "child", &caseLog, 5, 5, 20, 20);
        auto* b = new Probe(Root(), nullptr, "b", &caseLog, 100, 10, 60, 60);
        a->RegisterKeyboardEvents();
        b->RegisterKeyboardEvents();
        EndEvent();
        EXPECT_TRUE(caseLog.empty()) << "a new widget gets no notice";
        c.change(a, child, b);
        EndEvent();
        EXPECT_EQ(Sorted(caseLog), c.expected);
        delete a;
        delete b;
        EndEvent();
    }
}

TEST_F(WidgetBase, NoticesOfOneWidgetInTheirOrder) {
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 10, 20, 20);
    a->RegisterKeyboardEvents();
    a->Hide();
    EndEvent();
    log.clear();
    a->Show();
    a->Move(15, 15);
    a->Reshape(30, 30);
    a->GrabKeyboardFocus();
    EndEvent();
    EXPECT_EQ(log, (Log{"a.Visible", "a.Reshape", "a.Move", "a.GotFocus"}));
    log.clear();
    a->Move(10, 10);
    a->Reshape(20, 20);
    a->Hide();  // takes the focus away as well
    EndEvent();
    EXPECT_EQ(log, (Log{"a.Reshape", "a.Move", "a.LostFocus", "a.Invisible"}));
}

TEST_F(WidgetBase, VisibilityUnderHiddenParent) {
    auto* parent = new Probe(Root(), nullptr, "parent", &log, 10, 10, 100, 100);
    parent->Hide();
    EndEvent();
    log.clear();
    auto* child = new Probe(Root(), parent, "child", &log, 5, 5, 20, 20);
    child->RegisterMouseEvents();
    EXPECT_FALSE(child->IsVisible());
    EXPECT_FALSE(Listed(Root()->MouseWidgets(), child));
    parent->Show();
    EndEvent();
    EXPECT_TRUE(child->IsVisible());
    EXPECT_TRUE(Listed(Root()->MouseWidgets(), child));
    EXPECT_EQ(Sorted(log), (Log{"child.Visible", "parent.Visible"}));

    // A child hidden by its own Hide stays hidden when the parent comes back.
    child->Hide();
    parent->Hide();
    parent->Show();
    EndEvent();
    EXPECT_FALSE(child->IsVisible());
    EXPECT_FALSE(Listed(Root()->MouseWidgets(), child));
}

TEST_F(WidgetBase, NotificationPassSurvivesDeletionAndNewRecords) {
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 10, 20, 20);
    auto* b = new Probe(Root(), nullptr, "b", &log, 40, 10, 20, 20);
    auto* c = new Probe(Root(), nullptr, "c", &log, 70, 10, 20, 20);
    EndEvent();
    // Whichever of a and b is told first deletes the other; c is changed
    // from inside the pass and must still hear of it.
    Probe* survivor = nullptr;
    a->onMove = [&] {
        if (survivor == nullptr) {
            survivor = a;
            delete b;
            c->Move(75, 10);
        }
    };
    b->onMove = [&] {
        if (survivor == nullptr) {
            survivor = b;
            delete a;
            c->Move(75, 10);
        }
    };
    a->Move(11, 10);
    b->Move(41, 10);
    EndEvent();
    ASSERT_NE(survivor, nullptr);
    const std::string told = survivor == a ? "a.Move" : "b.Move";
    EXPECT_EQ(Sorted(log), Sorted(Log{told, "c.Move"}));
}

TEST_F(WidgetBase, HandlerThatAlwaysChangesItsWidgetEndsThePass) {
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 10, 20, 20);
    EndEvent();
    a->onReshape = [a] { a->Reshape(a->Width() + 1, a->Height()); };
    a->Reshape(21, 20);
    EndEvent();  // must end
    EXPECT_EQ(log, (Log{"a.Reshape"}));
    EndEvent();  // the change made by the handler is reported next time
    EXPECT_EQ(log, (Log{"a.Reshape", "a.Reshape"}));
    EXPECT_EQ(a->Width(), 23);
}

TEST_F(WidgetBase, HitTestingEdgesAndOrder) {
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 20, 50, 30);
    auto* b = new Probe(Root(), nullptr, "b", &log, 40, 30, 50, 30);  // overlaps a
    auto* quiet = new Probe(Root(), nullptr, "quiet", &log, 200, 20, 30, 30);
    a->RegisterMouseEvents();
    b->RegisterMouseEvents();
    struct {
        int x, y;
        GlowWidget* hit;
        int localX, localY;
    } cases[] = {
        {10, 20, a, 0, 0},           {60, 50, a, 50, 30},  // both far edges count
        {9, 20, nullptr, 9, 20},     {61, 50, b, 21, 20},
        {45, 35, a, 35, 15},  // overlap: registered first wins
        {90, 60, b, 50, 30},         {91, 60, nullptr, 91, 60},
        {210, 30, nullptr, 210, 30},  // a widget that wants no mouse is not hit
    };
    for (const auto& c : cases) {
        int x = c.x, y = c.y;
        EXPECT_EQ(Root()->FindWidget(x, y), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(x, c.localX);
        EXPECT_EQ(y, c.localY);
    }
    // Deactivated and reactivated, a comes after b.
    a->Deactivate();
    EndEvent();
    int x = 45, y = 35;
    EXPECT_EQ(Root()->FindWidget(x, y), b);
    a->Activate();
    EndEvent();
    x = 45, y = 35;
    EXPECT_EQ(Root()->FindWidget(x, y), b);
    x = 15, y = 25;
    EXPECT_EQ(Root()->FindWidget(x, y), a);
    // Hidden: in no list.
    b->Hide();
    x = 45, y = 35;
    EXPECT_EQ(Root()->FindWidget(x, y), a);
    (void)quiet;
}

TEST_F(WidgetBase, MouseRoutingPerButton) {
    struct Step {
        char what;  // p press, r release, d drag
        int x, y, button;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        Log expected;
    };
    // a at (10, 10) 50 x 30, b at (100, 10) 50 x 30.
    const Case cases[] = {
        {"press on nothing reaches nobody", {{'p', 80, 80, 0}, {'r', 20, 20, 0}}, {}},
        {"drag and release go to the widget of the press",
         {{'p', 20, 15, 0}, {'d', 120, 15, 0}, {'r', 120, 15, 0}},
         {"a.Down(0,10,5,0)", "a.Drag(110,5)", "a.Up(0,110,5,0)"}},
        {"two buttons on two widgets: one drag each",
         {{'p', 20, 15, 0},
          {'p', 110, 15, 2},
          {'d', 30, 20, 0},
          {'r', 30, 20, 0},
          {'r', 30, 20, 2}},
         {"a.Down(0,10,5,0)", "b.Down(2,10,5,0)", "a.Drag(20,10)", "b.Drag(-70,10)",
          "a.Up(0,20,10,0)", "b.Up(2,-70,10,0)"}},
        {"two buttons on one widget: one drag",
         {{'p', 20, 15, 0}, {'p', 20, 15, 1}, {'d', 21, 15, 0}, {'r', 21, 15, 1}, {'r', 21, 15, 0}},
         {"a.Down(0,10,5,0)", "a.Down(1,10,5,0)", "a.Drag(11,5)", "a.Up(1,11,5,0)",
          "a.Up(0,11,5,0)"}},
        {"the wheel neither cancels nor steals a gesture",
         {{'p', 20, 15, 2},
          {'p', 110, 15, 3},
          {'r', 110, 15, 3},
          {'p', 110, 15, 4},
          {'r', 110, 15, 4},
          {'d', 25, 15, 0},
          {'r', 25, 15, 2}},
         {"a.Down(2,10,5,0)", "a.Drag(15,5)", "a.Up(2,15,5,0)"}},
        {"release without press reaches nobody", {{'r', 20, 15, 1}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Log caseLog;
        auto* a = new Probe(Root(), nullptr, "a", &caseLog, 10, 10, 50, 30);
        auto* b = new Probe(Root(), nullptr, "b", &caseLog, 100, 10, 50, 30);
        a->RegisterMouseEvents();
        b->RegisterMouseEvents();
        for (const Step& s : c.steps) {
            if (s.what == 'p') Press(s.x, s.y, s.button);
            if (s.what == 'r') Release(s.x, s.y, s.button);
            if (s.what == 'd') Drag(s.x, s.y);
        }
        EXPECT_EQ(caseLog, c.expected);
        for (int button = 0; button < 3; ++button) EXPECT_EQ(Root()->ButtonWidget(button), nullptr);
        delete a;
        delete b;
    }
}

TEST_F(WidgetBase, ModifiersReachTheWidget) {
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 10, 50, 30);
    a->RegisterMouseEvents();
    a->RegisterKeyboardEvents();
    a->GrabKeyboardFocus();
    Press(20, 15, 0, GLUT_ACTIVE_SHIFT);
    Release(20, 15, 0, GLUT_ACTIVE_CTRL);
    Key('q', GLUT_ACTIVE_ALT);
    Special(GLUT_KEY_LEFT);
    EXPECT_EQ(log, (Log{"a.Down(0,10,5,1)", "a.GotFocus", "a.Up(0,10,5,2)", "a.Key(113,-5,-5,4)",
                        "a.Key(356,-5,-5,0)"}));
}

TEST_F(WidgetBase, FocusRing) {
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 10, 20, 20);
    auto* b = new Probe(Root(), nullptr, "b", &log, 40, 10, 20, 20);
    auto* c = new Probe(Root(), nullptr, "c", &log, 70, 10, 20, 20);
    auto* outsider = new Probe(Root(), nullptr, "x", &log, 100, 10, 20, 20);
    for (Probe* p : {a, b, c}) p->RegisterKeyboardEvents();
    glow::GlowWidgetRoot* root = Root();

    root->AdvanceKeyboardFocus();
    EXPECT_EQ(root->GetKeyboardFocus(), a) << "no focus: the first widget gets it";
    root->AdvanceKeyboardFocus();
    root->AdvanceKeyboardFocus();
    EXPECT_EQ(root->GetKeyboardFocus(), c);
    root->AdvanceKeyboardFocus();
    EXPECT_EQ(root->GetKeyboardFocus(), a) << "wraps from the last to the first";
    EXPECT_TRUE(a->HasKeyboardFocus());
    EXPECT_FALSE(c->HasKeyboardFocus());

    EXPECT_FALSE(root->SetKeyboardFocus(outsider)) << "not in the ring: refused";
    EXPECT_EQ(root->GetKeyboardFocus(), a);
    EXPECT_FALSE(outsider->HasKeyboardFocus());
    EXPECT_TRUE(a->HasKeyboardFocus());

    root->SetKeyboardFocus(c);
    c->UnregisterKeyboardEvents();
    EXPECT_EQ(root->GetKeyboardFocus(), a) << "the last one leaving hands on to the first";
    a->Hide();
    EXPECT_EQ(root->GetKeyboardFocus(), b) << "hiding hands the focus on";
    EXPECT_FALSE(a->HasKeyboardFocus());
    delete b;
    EXPECT_EQ(root->GetKeyboardFocus(), nullptr) << "the only one leaving leaves no focus";
    EXPECT_TRUE(Root()->KeyboardWidgets().empty());

    a->Show();
    root->SetKeyboardFocus(a);
    root->SetKeyboardFocus(nullptr);
    EXPECT_EQ(root->GetKeyboardFocus(), nullptr);
    EXPECT_FALSE(a->HasKeyboardFocus());
    Key('k');
    EXPECT_EQ(std::count(log.begin(), log.end(), "a.Key(107,-5,-5,0)"), 0);
}

TEST_F(WidgetBase, FocusPassesOverWidgetsOnTheirWayOut) {
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 10, 20, 20);
    auto* b = new Probe(Root(), nullptr, "b", &log, 40, 10, 20, 20);
    auto* c = new Probe(Root(), nullptr, "c", &log, 70, 10, 20, 20);
    for (Probe* p : {a, b, c}) p->RegisterKeyboardEvents();
    a->GrabKeyboardFocus();
    b->Deactivate();  // leaves the ring at the end of the event
    a->Hide();
    EXPECT_EQ(Root()->GetKeyboardFocus(), c);
    EndEvent();
    EXPECT_FALSE(b->HasKeyboardFocus());
    Root()->AdvanceKeyboardFocus();
    EXPECT_EQ(Root()->GetKeyboardFocus(), c) << "nobody else can take it";
    EXPECT_TRUE(c->HasKeyboardFocus());
}

TEST_F(WidgetBase, KeyboardFiltersStopKeys) {
    class EnterStopper : public glow::GlowWidgetKeyboardFilter {
    public:
        int calls = 0;

    protected:
        bool Filter(glow::GlowWidgetKeyboardData& data) override {
            ++calls;
            return data.key != 13;
        }
    };
    EnterStopper first, second;
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 10, 20, 20);
    a->RegisterKeyboardEvents();
    a->GrabKeyboardFocus();
    EndEvent();
    log.clear();
    Root()->AddKeyboardFilter(&first);
    Root()->AddKeyboardFilter(&first);  // bound once
    Root()->AddKeyboardFilter(&second);
    Key(13);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 0) << "a stopped key does not reach later filters";
    EXPECT_TRUE(log.empty());
    Key('a');
    EXPECT_EQ(first.calls, 2);
    EXPECT_EQ(second.calls, 1);
    EXPECT_EQ(log, (Log{"a.Key(97,-5,-5,0)"}));
    delete a;
}

TEST_F(WidgetBase, DeletedWidgetLeavesEveryList) {
    // Deactivated or hidden earlier in the same event: the lists still hold
    // it until the end of the event, yet deleting it must leave no pointer.
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        auto* a = new Probe(Root(), nullptr, "a", &log, 10, 10, 50, 30);
        auto* b = new Probe(Root(), nullptr, "b", &log, 100, 10, 50, 30);
        for (Probe* p : {a, b}) {
            p->RegisterMouseEvents();
            p->RegisterKeyboardEvents();
        }
        a->GrabKeyboardFocus();
        Press(20, 15, 1);
        if (how == 0) a->Deactivate();
        if (how == 1) a->Hide();
        if (how == 2) a->UnregisterMouseEvents();
        delete a;
        EXPECT_FALSE(Listed(Root()->MouseWidgets(), a));
        EXPECT_FALSE(Listed(Root()->KeyboardWidgets(), a));
        EXPECT_EQ(Root()->ButtonWidget(1), nullptr);
        EXPECT_EQ(Root()->GetKeyboardFocus(), b);
        EndEvent();
        Release(20, 15, 1);  // the release of the deleted widget's press
        Press(20, 15);
        Key('z');
        delete b;
        EndEvent();
    }
}

TEST_F(WidgetBase, RegistrationFollowsActivation) {
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 10, 50, 30);
    a->RegisterMouseEvents();
    a->RegisterMouseEvents();
    EXPECT_EQ(std::count(Root()->MouseWidgets().begin(), Root()->MouseWidgets().end(), a), 1);
    a->Deactivate();
    EXPECT_TRUE(Listed(Root()->MouseWidgets(), a)) << "activation changes wait for the end";
    EndEvent();
    EXPECT_FALSE(Listed(Root()->MouseWidgets(), a));
    EXPECT_EQ(log, (Log{"a.Deactivate"}));
    // Shown and re-registered while inactive: still out of the list.
    a->Hide();
    a->Show();
    a->UnregisterMouseEvents();
    a->RegisterMouseEvents();
    EXPECT_FALSE(Listed(Root()->MouseWidgets(), a));
    a->Activate();
    a->Hide();  // hidden before the activation notice arrives
    EndEvent();
    EXPECT_FALSE(Listed(Root()->MouseWidgets(), a));
    a->Show();
    EXPECT_TRUE(Listed(Root()->MouseWidgets(), a));
    EndEvent();
    // Deactivated and reactivated in one event: no notice, still listed once.
    log.clear();
    a->Deactivate();
    a->Activate();
    EndEvent();
    EXPECT_TRUE(log.empty()) << log.front();
    EXPECT_EQ(std::count(Root()->MouseWidgets().begin(), Root()->MouseWidgets().end(), a), 1);
}

namespace {

// A probe that reports, as it is deleted, what its root holds at that moment
// (before the widget base takes it out of the root).
class Witness : public Probe {
public:
    using Probe::Probe;
    ~Witness() override {
        if (onDelete) onDelete();
    }
    std::function<void()> onDelete;
};

}  // namespace

TEST_F(WidgetBase, DestroyingTheWindowWithFocusedWidgets) {
    auto* fixed = new glow::GlowFixedSizeWidgetWindow();
    glow::GlowWidgetWindowParams params;
    params.width = 120;
    params.height = 80;
    params.title = "fixed";
    fixed->Init(params);
    const int fixedId = fixed->WindowId();
    const std::size_t windows = glow::Glow::Windows().size();
    Log fixedLog;
    auto* panel = new Probe(fixed, nullptr, "p", &fixedLog, 0, 0, 120, 80);
    auto* a = new Witness(fixed, panel, "a", &fixedLog, 10, 10, 20, 20);
    auto* b = new Witness(fixed, nullptr, "b", &fixedLog, 40, 10, 20, 20);
    for (Probe* p : {static_cast<Probe*>(a), static_cast<Probe*>(b)}) {
        p->RegisterMouseEvents();
        p->RegisterKeyboardEvents();
    }
    a->GrabKeyboardFocus();  // its notice is still pending when the window goes
    // The panel (with a inside) goes before b: the focus passes from a to b
    // as a leaves, and b finds a in none of the root's lists.
    GlowWidget* focusWhenAGoes = nullptr;
    GlowWidget* focusWhenBGoes = nullptr;
    std::vector<GlowWidget*> mouseWhenBGoes, keysWhenBGoes;
    glow::GlowWidgetRoot* root = fixed;  // the part that outlives the widgets
    a->onDelete = [&] { focusWhenAGoes = root->GetKeyboardFocus(); };
    b->onDelete = [&] {
        focusWhenBGoes = root->GetKeyboardFocus();
        mouseWhenBGoes = root->MouseWidgets();
        keysWhenBGoes = root->KeyboardWidgets();
    };
    delete fixed;  // must end, and ASan sees no use of a freed widget or root
    EXPECT_EQ(focusWhenAGoes, a);
    EXPECT_EQ(focusWhenBGoes, b) << "the focus passes on from a deleted widget";
    EXPECT_EQ(mouseWhenBGoes, std::vector<GlowWidget*>{b});
    EXPECT_EQ(keysWhenBGoes, std::vector<GlowWidget*>{b});
    EXPECT_EQ(glow::Glow::WindowForId(fixedId), nullptr);
    EXPECT_EQ(glow::Glow::Windows().size(), windows - 1);
    EndEvent();
    // Neither a's pending focus notice nor b's reaches a deleted widget.
    EXPECT_TRUE(fixedLog.empty()) << fixedLog.front();
    EXPECT_EQ(Root()->GetKeyboardFocus(), nullptr);
}

TEST_F(WidgetBase, FixedSizeWidgetWindowServesItsWidgets) {
    auto* fixed = new glow::GlowFixedSizeWidgetWindow();
    fixed->Init(
        "fixed", 300, 300, 90, 60, glow::GlowDisplayMode::doubleBuffer,
        glow::GlowEventMask(glow::GlowEventMask::keyboardEvents | glow::GlowEventMask::mouseEvents |
                            glow::GlowEventMask::dragEvents),
        GlowColor(0, 0, 255, 255));
    fixed->SetAutoSwapBuffers(false);
    ASSERT_TRUE(glowtest::WaitUntilMapped(fixed));
    Log fixedLog;
    auto* a = new Probe(fixed, nullptr, "a", &fixedLog, 10, 10, 20, 20);
    a->RegisterMouseEvents();
    a->RegisterKeyboardEvents();
    a->GrabKeyboardFocus();
    nextModifiers = 0;
    glowtest::SendMouse(fixed, 0, GLUT_DOWN, 15, 15);
    glowtest::SendMotion(fixed, 16, 15);
    glowtest::SendMouse(fixed, 0, GLUT_UP, 16, 15);
    glowtest::SendKey(fixed, 'k', 12, 12);
    EXPECT_EQ(fixedLog, (Log{"a.Down(0,5,5,0)", "a.GotFocus", "a.Drag(6,5)", "a.Up(0,6,5,0)",
                             "a.Key(107,2,2,0)"}));
    glowtest::SendDisplay(fixed);
    glFinish();
    const glowtest::Pixels p = glowtest::ReadBackBuffer(0, 0, 90, 60);
    EXPECT_EQ(p.At(80, 5)[2], 255) << "the window's back colour";
    EXPECT_EQ(p.At(80, 5)[0], 0);
    EXPECT_EQ(p.At(15, 60 - 1 - 15)[0], 255) << "the widget, y counted downwards";
    delete fixed;
    EndEvent();
}

TEST_F(WidgetBase, AutoPackPlacementAndFailures) {
    const int U = glow::unspecifiedPos;
    struct Case {
        const char* name;
        int left, right, top, bottom, hOption, vOption;
        int result, x, y;
    };
    // A 40 x 20 widget of fixed size starting at (5, 7).
    const Case cases[] = {
        {"default keeps everything", U, U, U, U, glow::preferredSize, glow::preferredSize, 0, 5, 7},
        {"near edges", 10, 100, 20, 80, glow::preferredSize | glow::leftPos,
         glow::preferredSize | glow::topPos, 0, 10, 20},
        {"far edges", 10, 100, 20, 80, glow::noReshape | glow::rightPos,
         glow::noReshape | glow::bottomPos, 0, 60, 60},
        {"centred", 10, 101, 20, 81, glow::noReshape | glow::centerPos,
         glow::noReshape | glow::centerPos, 0, 35, 40},
        {"centred on the left bound", -15, U, 3, U, glow::noReshape | glow::centerPos,
         glow::noReshape | glow::centerPos, 0, -35, -7},
        {"box too narrow", 0, 39, 0, 100, glow::preferredSize, glow::preferredSize, 1, 5, 7},
        {"box too low", 0, 100, 0, 19, glow::preferredSize, glow::preferredSize, 2, 5, 7},
        {"forced to another size", 0, 41, 0, 100, glow::forcedSize, glow::noReshape, 1, 5, 7},
        {"forced without a size", U, U, U, U, glow::forcedSize, glow::noReshape, 1, 5, 7},
        {"forced height without a size", U, U, U, U, glow::noReshape, glow::forcedSize, 2, 5, 7},
        {"far placement without its bound keeps x", 10, U, U, U, glow::rightPos, glow::noMove, 0, 5,
         7},
        {"huge box does not overflow", -2000000000, 2000000000, INT_MIN + 1, INT_MAX,
         glow::preferredSize | glow::centerPos, glow::preferredSize | glow::rightPos, 0, -20,
         INT_MAX - 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* w = new Probe(Root(), nullptr, "w", &log, 5, 7, 40, 20);
        int l = -1, r = -1, t = -1, b = -1;
        EXPECT_EQ(w->AutoPack(c.left, c.right, c.top, c.bottom, c.hOption, c.vOption, l, r, t, b),
                  c.result);
        EXPECT_EQ(w->PositionX(), c.x);
        EXPECT_EQ(w->PositionY(), c.y);
        EXPECT_EQ(w->Width(), 40);
        EXPECT_EQ(w->Height(), 20);
        EXPECT_EQ(l + r + t + b, 0) << "the base asks for no margins";
        delete w;
    }
    auto* w = new Probe(Root(), nullptr, "w", &log, 5, 7, 40, 20);
    EXPECT_EQ(w->AutoPackDefault(), 0);
    EXPECT_EQ(w->PositionX(), 5);
}

TEST_F(WidgetBase, PaintViewportClippingAndHiddenWidgets) {
    const GlowColor grey(204, 204, 204, 255), red(255, 0, 0, 255), green(0, 255, 0, 255),
        blue(0, 0, 255, 255);
    auto* a = new Probe(Root(), nullptr, "a", &log, 10, 20, 30, 10);
    auto* clip = new Probe(Root(), nullptr, "clip", &log, 100, 100, 40, 40, true);
    clip->SetColor(green);
    auto* inner = new Probe(Root(), clip, "inner", &log, 30, 30, 40, 40);
    inner->SetColor(blue);
    auto* outside = new Probe(Root(), clip, "outside", &log, 50, 0, 10, 10);
    outside->SetColor(red);
    auto* nested = new Probe(Root(), clip, "nested", &log, -10, -10, 20, 20, true);
    nested->SetColor(red);
    // Painted after the clipping widget: the whole window is open again.
    auto* late = new Probe(Root(), nullptr, "late", &log, 250, 150, 20, 20);
    late->SetColor(blue);
    auto* hidden = new Probe(Root(), nullptr, "hidden", &log, 200, 20, 40, 40);
    auto* hiddenChild = new Probe(Root(), hidden, "hc", &log, 5, 5, 10, 10);
    hiddenChild->SetColor(blue);
    hidden->Hide();
    Paint();
    Shot("base-paint");
    EXPECT_COLOR(Color(0, 0), grey);
    EXPECT_COLOR(Color(10, 20), red) << "top left of a, y counted downwards";
    EXPECT_COLOR(Color(39, 29), red);
    EXPECT_COLOR(Color(40, 20), grey);
    EXPECT_COLOR(Color(10, 30), grey);
    EXPECT_COLOR(Color(9, 20), grey);
    EXPECT_COLOR(Color(10, 19), grey);
    EXPECT_COLOR(Color(135, 135), blue) << "the child inside its clipping parent";
    EXPECT_COLOR(Color(141, 135), grey) << "the child is cut at the parent's edge";
    EXPECT_COLOR(Color(135, 141), grey);
    EXPECT_COLOR(Color(155, 105), grey) << "a child wholly outside draws nothing";
    EXPECT_COLOR(Color(100, 100), red) << "a clipping child of a clipping parent";
    EXPECT_COLOR(Color(99, 99), grey);
    EXPECT_COLOR(Color(110, 110), green);
    EXPECT_COLOR(Color(210, 30), grey) << "hidden widgets and their children draw nothing";
    EXPECT_COLOR(Color(220, 40), grey);
    EXPECT_COLOR(Color(255, 155), blue);
    (void)a;
    (void)outside;
    (void)nested;
}

TEST_F(WidgetBase, WidgetWithoutAreaPaintsNothing) {
    auto* flat = new Probe(Root(), nullptr, "flat", &log, 10, 10, 0, 30, true);
    auto* child = new Probe(Root(), flat, "child", &log, 0, 0, 10, 10);
    auto* negative = new Probe(Root(), nullptr, "negative", &log, 50, 10, -5, 10);
    while (glGetError() != GL_NO_ERROR) {
    }
    Paint();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_COLOR(Color(12, 12), GlowColor(204, 204, 204, 255))
        << "the child of an empty clipping widget is cut away";
    (void)child;
    (void)negative;
}

TEST_F(WidgetBase, NormalizeCoordinates) {
    auto* w = new Probe(Root(), nullptr, "w", &log, 0, 0, 40, 20);
    float nx = 0, ny = 0;
    w->NormalizeCoordinates(0, 0, nx, ny);
    EXPECT_FLOAT_EQ(nx, -1.0f);
    EXPECT_FLOAT_EQ(ny, 1.0f);
    w->NormalizeCoordinates(30, 15, nx, ny);
    EXPECT_FLOAT_EQ(nx, 0.5f);
    EXPECT_FLOAT_EQ(ny, -0.5f);
}

namespace {

// One line of text in white on black from its left edge, drawn with the
// widget's text helper; notes where the raster position ends.
class TextLine : public GlowWidget {
public:
    TextLine(glow::GlowWidgetRoot* root, glow::GlowFont font, const char* text)
        : font_(font), text_(text) {
        glow::GlowWidgetParams params;
        params.x = kLeft;
        params.y = 10;
        params.width = 250;
        params.height = 40;
        Init(root, nullptr, params);
    }
    static constexpr int kLeft = 10;
    float rasterEnd = -1.0f;

protected:
    void OnWidgetPaint() override {
        GlowColor(0, 0, 0, 255).Apply();
        glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
        GlowColor(255, 255, 255, 255).Apply();
        DrawTextLine(-1.0f, font_, text_);
        GLfloat position[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        rasterEnd = position[0];
    }

private:
    glow::GlowFont font_;
    const char* text_;
};

}  // namespace

TEST_F(WidgetBase, BytesAbove127MeasureAsTheyAreDrawn) {
    // Latin-1 letters, a no-break space and a byte of the 128..159 range:
    // GLUT's bitmap fonts have a glyph, blank or not, for every byte from 1.
    const char text[] = "\xe9t\xe9\xff\xa0\x80";
    const glow::GlowFont fonts[] = {glow::GlowFont::fixed8x13,   glow::GlowFont::fixed9x15,
                                    glow::GlowFont::helvetica10, glow::GlowFont::helvetica12,
                                    glow::GlowFont::helvetica18, glow::GlowFont::timesRoman10,
                                    glow::GlowFont::timesRoman24};
    for (int f = 0; f < 7; ++f) {
        SCOPED_TRACE(f);
        const glow::GlowFont font = fonts[f];
        int glut = 0;
        for (const char* p = text; *p != '\0'; ++p)
            glut += glutBitmapWidth(static_cast<void*>(font), static_cast<unsigned char>(*p));
        EXPECT_EQ(font.StringWidth(text), glut);
        EXPECT_EQ(GlowWidget::StringWidth(font, text), glut);
        EXPECT_EQ(GlowWidget::CharWidth(font, '\xe9'), font.CharWidth('\xe9'));
        EXPECT_GT(font.CharWidth('\xe9'), 0);

        auto* line = new TextLine(Root(), font, text);
        Paint();
        // Drawing moves on by exactly the measured width ...
        EXPECT_FLOAT_EQ(line->rasterEnd, static_cast<float>(TextLine::kLeft + glut));
        // ... and its ink lies inside it.
        int firstInk = -1, lastInk = -1;
        for (int x = 0; x < kWidth; ++x) {
            for (int y = 10; y < 50; ++y) {
                if (Color(x, y)[0] == 255) {
                    if (firstInk < 0) firstInk = x;
                    lastInk = x;
                }
            }
        }
        EXPECT_GE(firstInk, TextLine::kLeft) << "nothing drawn";
        EXPECT_LT(lastInk, TextLine::kLeft + glut);
        if (f == 0) Shot("base-latin1-text");
        delete line;
        EndEvent();
    }
}
