// The component tree and end-of-event processing, without windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "glow/core/Glow.h"
#include "glow/core/GlowComponent.h"

using glow::Glow;
using glow::GlowComponent;

namespace {

std::vector<std::string> journal;

class Probe : public GlowComponent {
public:
    explicit Probe(std::string name, GlowComponent* parent = nullptr) : name_(std::move(name)) {
        Init(parent);
    }
    ~Probe() override { journal.push_back("~" + name_); }
    const std::string& Name() const { return name_; }

    std::function<void()> onActivate;
    std::function<void()> onDeactivate;
    bool beginResult = true;

protected:
    void OnActivate() override {
        journal.push_back("on:" + name_);
        if (onActivate) onActivate();
    }
    void OnDeactivate() override {
        journal.push_back("off:" + name_);
        if (onDeactivate) onDeactivate();
    }
    bool OnBeginPaint() override {
        journal.push_back("begin:" + name_);
        return beginResult;
    }
    void OnEndPaint() override { journal.push_back("end:" + name_); }

private:
    std::string name_;
};

std::vector<std::string> Children(GlowComponent* parent) {
    std::vector<std::string> names;
    for (GlowComponent* c = parent->FirstChild(); c != nullptr; c = c->Next())
        names.push_back(static_cast<Probe*>(c)->Name());
    return names;
}

// Checks the doubly linked list against numChildren from both ends.
void ExpectConsistent(GlowComponent* parent) {
    int forward = 0;
    GlowComponent* last = nullptr;
    for (GlowComponent* c = parent->FirstChild(); c != nullptr; c = c->Next()) {
        EXPECT_EQ(c->Parent(), parent);
        EXPECT_EQ(c->Prev(), last);
        last = c;
        ++forward;
    }
    EXPECT_EQ(last, parent->LastChild());
    EXPECT_EQ(forward, parent->NumChildren());
}

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        Glow::EndEvent();  // nothing left over from an earlier test
        journal.clear();
    }
    void TearDown() override {
        Glow::SetEndEventHook(nullptr);
        Glow::EndEvent();
    }
};

TEST_F(ComponentTest, ChildListOperations) {
    Probe root("root");
    auto* a = new Probe("a", &root);
    auto* b = new Probe("b", &root);
    auto* c = new Probe("c", &root);
    EXPECT_EQ(Children(&root), (std::vector<std::string>{"a", "b", "c"}));

    struct Move {
        GlowComponent* child;
        GlowComponent* before;
        std::vector<std::string> expected;
    };
    const Move moves[] = {
        {b, b, {"a", "b", "c"}},        // before itself: nothing
        {a, nullptr, {"b", "c", "a"}},  // to the end
        {a, b, {"a", "b", "c"}},        // before the first: first
        {c, b, {"a", "c", "b"}},        // into the middle
        {a, c, {"a", "c", "b"}},        // before its own successor: unchanged
    };
    for (const Move& m : moves) {
        root.MoveChildBefore(m.child, m.before);
        EXPECT_EQ(Children(&root), m.expected);
        ExpectConsistent(&root);
    }
    EXPECT_EQ(c->Root(), &root);
    EXPECT_TRUE(root.IsTopLevel());
    EXPECT_FALSE(c->IsTopLevel());
    EXPECT_EQ(c->ParentSubwindow(), nullptr);

    delete c;
    EXPECT_EQ(Children(&root), (std::vector<std::string>{"a", "b"}));
    ExpectConsistent(&root);
}

TEST_F(ComponentTest, DestroyingAParentDestroysItsChildrenFirstChildFirst) {
    auto* root = new Probe("root");
    auto* a = new Probe("a", root);
    new Probe("a1", a);
    new Probe("a2", a);
    new Probe("b", root);
    delete root;
    // Each destructor body logs before its component part deletes the
    // children: a's whole subtree goes before b.
    EXPECT_EQ(journal, (std::vector<std::string>{"~root", "~a", "~a1", "~a2", "~b"}));
}

TEST_F(ComponentTest, PaintTreeOrderAndSkippedChildren) {
    Probe root("root");
    auto* a = new Probe("a", &root);
    new Probe("a1", a);
    new Probe("b", &root);
    a->beginResult = false;  // a's children are skipped, its end still runs
    root.PaintTree();
    EXPECT_EQ(journal, (std::vector<std::string>{"begin:root", "begin:a", "end:a", "begin:b",
                                                 "end:b", "end:root"}));
}

TEST_F(ComponentTest, ActivationStateMachine) {
    // Each step: the operation, then the states of parent and child, and
    // the notices delivered at the end of the event.
    Probe parent("p");
    auto* child = new Probe("c", &parent);
    auto* grandchild = new Probe("g", child);
    struct Step {
        std::function<void()> op;
        int parentState, childState, grandchildState;
        std::vector<std::string> notices;
    };
    const Step steps[] = {
        {[&] { parent.Deactivate(); }, 0, 2, 2, {"off:p", "off:c", "off:g"}},
        {[&] { child->Deactivate(); }, 0, 0, 2, {}},      // 2 to 0 without a notice
        {[&] { parent.Activate(); }, 1, 0, 2, {"on:p"}},  // the 0 child stays, subtree too
        {[&] { child->Activate(); }, 1, 1, 1, {"on:c", "on:g"}},
        {[&] {
             parent.Deactivate();
             parent.Activate();
         },
         1,
         1,
         1,
         {}},  // cancels
        {[&] {
             child->Deactivate();
             parent.Deactivate();
         },
         0,
         0,
         2,
         {"off:p", "off:c", "off:g"}},
        {[&] { child->Activate(); }, 0, 2, 2, {}},  // parent inactive: 2, no notice
        {[&] { parent.Activate(); }, 1, 1, 1, {"on:p", "on:c", "on:g"}},
        {[&] { parent.Activate(); }, 1, 1, 1, {}},  // already active
    };
    int index = 0;
    for (const Step& s : steps) {
        journal.clear();
        s.op();
        EXPECT_EQ(parent.ActiveState(), s.parentState) << "step " << index;
        EXPECT_EQ(child->ActiveState(), s.childState) << "step " << index;
        EXPECT_EQ(grandchild->ActiveState(), s.grandchildState) << "step " << index;
        Glow::EndEvent();
        std::vector<std::string> notices = journal;
        // Notices come in pointer order; compare as sets.
        std::sort(notices.begin(), notices.end());
        std::vector<std::string> expected = s.notices;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(notices, expected) << "step " << index;
        ++index;
    }
}

TEST_F(ComponentTest, ChildOfInactiveParentStartsInactiveWithoutNotice) {
    Probe parent("p");
    parent.Deactivate();
    Glow::EndEvent();
    journal.clear();
    Probe child("c", &parent);
    EXPECT_EQ(child.ActiveState(), GlowComponent::stateInactive);
    Glow::EndEvent();
    EXPECT_TRUE(journal.empty());
    parent.Activate();
    Glow::EndEvent();
    EXPECT_TRUE(child.IsActive());
    EXPECT_NE(std::find(journal.begin(), journal.end(), "on:c"), journal.end());
}

TEST_F(ComponentTest, EndOfEventRunsHookThenNoticesThenDeletions) {
    static std::vector<std::string>* log = &journal;
    Glow::SetEndEventHook([] { log->push_back("hook"); });
    auto* root = new Probe("root");
    auto* doomed = new Probe("doomed", root);
    doomed->Deactivate();
    doomed->Close();
    doomed->Close();  // one deletion
    EXPECT_TRUE(doomed->IsClosing());
    Glow::EndEvent();
    EXPECT_EQ(journal, (std::vector<std::string>{"hook", "off:doomed", "~doomed"}));
    EXPECT_EQ(root->NumChildren(), 0);
    delete root;
}

TEST_F(ComponentTest, ParentAndChildBothClosedAreDeletedOnce) {
    auto* root = new Probe("root");
    auto* child = new Probe("child", root);
    child->Close();
    root->Close();
    Glow::EndEvent();
    // Whichever comes first in the table, each is deleted exactly once.
    std::sort(journal.begin(), journal.end());
    EXPECT_EQ(journal, (std::vector<std::string>{"~child", "~root"}));
}

TEST_F(ComponentTest, ComponentDeletedDirectlyLosesItsQueuedWork) {
    auto* root = new Probe("root");
    auto* child = new Probe("child", root);
    child->Deactivate();
    child->Close();
    delete child;
    journal.clear();
    Glow::EndEvent();
    EXPECT_TRUE(journal.empty());
    delete root;
}

TEST_F(ComponentTest, NoticeHandlerDeletingComponentsStillWaiting) {
    // Every component deactivated in one event; the first to hear deletes
    // all the others, which still wait for their notices.
    std::vector<Probe*> probes;
    for (int i = 0; i < 6; ++i) probes.push_back(new Probe("p" + std::to_string(i)));
    for (Probe* p : probes) p->Deactivate();
    std::vector<Probe*> alive = probes;
    for (Probe* p : probes) {
        p->onDeactivate = [p, &alive] {
            std::vector<Probe*> others;
            for (Probe* q : alive)
                if (q != p) others.push_back(q);
            alive = {p};
            for (Probe* q : others) delete q;
        };
    }
    Glow::EndEvent();
    ASSERT_EQ(alive.size(), 1u);
    // One notice, then the five deletions.
    int notices = 0;
    for (const std::string& s : journal)
        if (s.rfind("off:", 0) == 0) ++notices;
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(journal.size(), 6u);
    delete alive[0];
}

TEST_F(ComponentTest, ClosedComponentsClosedDuringDeletionGoInTheSamePass) {
    struct Closer : Probe {
        Closer(GlowComponent* other) : Probe("closer"), other_(other) {}
        ~Closer() override { other_->Close(); }
        GlowComponent* other_;
    };
    auto* other = new Probe("other");
    auto* closer = new Closer(other);
    closer->Close();
    Glow::EndEvent();
    EXPECT_EQ(journal, (std::vector<std::string>{"~closer", "~other"}));
}

}  // namespace
