#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "glow/core/ReceiverTracker.h"
#include "glow/core/TSender.h"

using glow::ReceiverTracker;
using glow::TReceiver;
using glow::TSender;

namespace {

struct Note {
    int value;
};
using NoteSender = TSender<const Note&>;

std::vector<std::string>* journal = nullptr;

// Records "name:value" for every message; optional actions run inside the
// handler to exercise changes made during a delivery.
class Recorder : public TReceiver<const Note&> {
public:
    explicit Recorder(std::string name) : name_(std::move(name)) {}
    ~Recorder() override {
        if (journal != nullptr && logDestruction) journal->push_back("~" + name_);
    }
    void OnMessage(const Note& note) override {
        if (journal != nullptr) journal->push_back(name_ + ":" + std::to_string(note.value));
        if (action) action(note);
    }
    std::function<void(const Note&)> action;
    bool logDestruction = false;

private:
    std::string name_;
};

class MessagingTest : public ::testing::Test {
protected:
    void SetUp() override { journal = &log; }
    void TearDown() override { journal = nullptr; }
    std::vector<std::string> log;
};

TEST_F(MessagingTest, DeliversInBindingOrderOncePerBinding) {
    NoteSender sender;
    Recorder a("a"), b("b");
    sender.Bind(&a);
    sender.Bind(&b);
    sender.Bind(&a);
    EXPECT_EQ(sender.ReceiverCount(), 3);
    EXPECT_EQ(a.NumBindings(), 2);
    sender.Send(Note{7});
    EXPECT_EQ(log, (std::vector<std::string>{"a:7", "b:7", "a:7"}));

    sender.Unbind(&a);  // one binding goes, the first
    EXPECT_EQ(a.NumBindings(), 1);
    log.clear();
    sender.Send(Note{8});
    EXPECT_EQ(log, (std::vector<std::string>{"b:8", "a:8"}));
}

TEST_F(MessagingTest, UnbindingAReceiverThatIsNotBoundDoesNothing) {
    NoteSender sender, other;
    Recorder a("a"), b("b");
    sender.Bind(&a);
    other.Bind(&b);
    sender.Unbind(&b);
    sender.Unbind(nullptr);
    EXPECT_EQ(sender.ReceiverCount(), 1);
    EXPECT_EQ(b.NumBindings(), 1);
    EXPECT_TRUE(other.HasReceiver(&b));
}

TEST_F(MessagingTest, DestroyingEitherSideRemovesEveryBinding) {
    Recorder* a = new Recorder("a");
    Recorder keep("keep");
    {
        NoteSender s1;
        NoteSender s2;
        s1.Bind(a);
        s1.Bind(&keep);
        s2.Bind(a);
        s2.Bind(&keep);
        s2.Bind(&keep);
        delete a;  // leaves both senders
        EXPECT_EQ(s1.ReceiverCount(), 1);
        EXPECT_EQ(s2.ReceiverCount(), 2);
        s1.Send(Note{1});
        EXPECT_EQ(log, (std::vector<std::string>{"keep:1"}));
        EXPECT_EQ(keep.NumBindings(), 3);
    }
    // Both senders gone: the receiver lives on without bindings.
    EXPECT_EQ(keep.NumBindings(), 0);
    EXPECT_EQ(keep.UntrackedSenderCount(), 0);
}

TEST_F(MessagingTest, DetachAllReceiversLeavesTheSenderUsable) {
    NoteSender sender;
    Recorder a("a");
    sender.Bind(&a);
    sender.Bind(&a);
    sender.DetachAllReceivers();
    EXPECT_EQ(sender.ReceiverCount(), 0);
    EXPECT_EQ(a.NumBindings(), 0);
    sender.Bind(&a);
    sender.Send(Note{2});
    EXPECT_EQ(log, (std::vector<std::string>{"a:2"}));
}

// Changes made by handlers during a delivery: what the later receivers get.
TEST_F(MessagingTest, HandlersMayRemoveThemselvesOrOthersDuringDelivery) {
    NoteSender sender;
    Recorder a("a"), c("c"), d("d");
    Recorder* b = new Recorder("b");
    b->logDestruction = true;
    // a deletes the receiver right after it (b), c unbinds itself; d still
    // gets the message.
    a.action = [&](const Note&) {
        delete b;
        b = nullptr;
    };
    c.action = [&](const Note&) { sender.Unbind(&c); };
    sender.Bind(&a);
    sender.Bind(b);
    sender.Bind(&c);
    sender.Bind(&d);
    sender.Send(Note{1});
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "~b", "c:1", "d:1"}));
    EXPECT_EQ(sender.ReceiverCount(), 2);
    log.clear();
    sender.Send(Note{2});
    EXPECT_EQ(log, (std::vector<std::string>{"a:2", "d:2"}));
}

TEST_F(MessagingTest, ReceiverDeletingItselfWhileBoundTwiceInARow) {
    NoteSender sender;
    Recorder* a = new Recorder("a");
    Recorder z("z");
    a->action = [a](const Note&) { delete a; };
    sender.Bind(a);
    sender.Bind(a);
    sender.Bind(&z);
    sender.Send(Note{3});
    EXPECT_EQ(log, (std::vector<std::string>{"a:3", "z:3"}));
    EXPECT_EQ(sender.ReceiverCount(), 1);
}

TEST_F(MessagingTest, ReceiversBoundDuringDeliveryAreReached) {
    NoteSender sender;
    Recorder a("a"), late("late");
    bool bound = false;
    a.action = [&](const Note&) {
        if (!bound) sender.Bind(&late);
        bound = true;
    };
    sender.Bind(&a);
    sender.Send(Note{4});
    EXPECT_EQ(log, (std::vector<std::string>{"a:4", "late:4"}));
}

TEST_F(MessagingTest, SenderDestroyedByAHandlerStopsItsDelivery) {
    NoteSender* sender = new NoteSender;
    Recorder a("a"), b("b");
    a.action = [&](const Note&) {
        delete sender;
        sender = nullptr;
    };
    sender->Bind(&a);
    sender->Bind(&b);
    sender->Send(Note{5});
    EXPECT_EQ(log, (std::vector<std::string>{"a:5"}));
    EXPECT_EQ(a.NumBindings(), 0);
    EXPECT_EQ(b.NumBindings(), 0);
}

TEST_F(MessagingTest, AReceiverThatThrowsEndsTheDeliveryAndLeavesTheSenderWhole) {
    auto sender = std::make_unique<NoteSender>();
    Recorder a("a"), b("b"), c("c");
    a.action = [&](const Note& n) {
        if (n.value != 1) return;
        sender->Unbind(&c);
        throw std::bad_alloc();
    };
    sender->Bind(&a);
    sender->Bind(&b);
    sender->Bind(&c);
    EXPECT_THROW(sender->Send(Note{1}), std::bad_alloc);
    EXPECT_EQ(log, (std::vector<std::string>{"a:1"}));
    sender->Send(Note{2});
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "a:2", "b:2"}));
    EXPECT_EQ(sender->ReceiverCount(), 2);
    // Touches nothing of the delivery that failed.
    sender.reset();
    EXPECT_EQ(a.NumBindings(), 0);
    EXPECT_EQ(b.NumBindings(), 0);
}

TEST_F(MessagingTest, NestedDeliveriesOfOneSender) {
    NoteSender sender;
    Recorder a("a"), b("b");
    a.action = [&](const Note& n) {
        if (n.value == 1) {
            sender.Unbind(&b);
            sender.Send(Note{2});
        }
    };
    sender.Bind(&a);
    sender.Bind(&b);
    sender.Send(Note{1});
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "a:2"}));
    EXPECT_EQ(sender.ReceiverCount(), 1);
}

TEST_F(MessagingTest, FilterRecordsPassByReference) {
    struct Record {
        int value;
    };
    struct Doubler : TReceiver<Record&> {
        void OnMessage(Record& r) override { r.value *= 2; }
    } d1, d2;
    TSender<Record&> sender;
    sender.Bind(&d1);
    sender.Bind(&d2);
    Record r{3};
    sender.Send(r);
    EXPECT_EQ(r.value, 12);
}

TEST_F(MessagingTest, TrackerPolicies) {
    struct Case {
        int firstPolicy;
        int secondPolicy;
        bool aliveAfterFirst;
    };
    const Case cases[] = {
        {ReceiverTracker::deleteAll, ReceiverTracker::deleteUnshared, false},
        {ReceiverTracker::deleteUnshared, ReceiverTracker::deleteUnshared, true},
    };
    for (const Case& c : cases) {
        log.clear();
        auto* r = new Recorder("r");
        r->logDestruction = true;
        auto* first = new ReceiverTracker(c.firstPolicy);
        auto* second = new ReceiverTracker(c.secondPolicy);
        NoteSender sender;
        sender.Bind(r);
        first->Track(r);
        second->Track(r);
        EXPECT_EQ(r->NumBindings(), 1);
        EXPECT_EQ(r->UntrackedSenderCount(), 2);
        delete first;
        EXPECT_EQ(log.empty(), c.aliveAfterFirst);
        if (c.aliveAfterFirst) {
            EXPECT_EQ(r->UntrackedSenderCount(), 1);
            EXPECT_EQ(r->NumBindings(), 1);
        } else {
            EXPECT_EQ(second->ReceiverCount(), 0);
            EXPECT_EQ(sender.ReceiverCount(), 0);
        }
        delete second;
        EXPECT_EQ(log, (std::vector<std::string>{"~r"}));
    }
}

TEST_F(MessagingTest, TrackedReceiverDeletedElsewhereLeavesTheTracker) {
    ReceiverTracker tracker;
    auto* r = new Recorder("r");
    r->logDestruction = true;
    tracker.Track(r);
    tracker.Track(r);  // tracked once
    EXPECT_EQ(tracker.ReceiverCount(), 1);
    delete r;
    EXPECT_EQ(tracker.ReceiverCount(), 0);
    tracker.DeleteAllReceivers();
    EXPECT_EQ(log, (std::vector<std::string>{"~r"}));
}

TEST_F(MessagingTest, DeleteAllReceiversIgnoresThePolicy) {
    ReceiverTracker keeper(ReceiverTracker::deleteUnshared);
    ReceiverTracker other(ReceiverTracker::deleteUnshared);
    auto* r = new Recorder("r");
    r->logDestruction = true;
    keeper.Track(r);
    other.Track(r);
    keeper.DeleteAllReceivers();
    EXPECT_EQ(log, (std::vector<std::string>{"~r"}));
    EXPECT_EQ(other.ReceiverCount(), 0);
}

// A receiver owning another tracked receiver: releasing the tracker deletes
// both once.
TEST_F(MessagingTest, ReleasingReceiversThatOwnOtherTrackedReceivers) {
    struct Owner : Recorder {
        Owner() : Recorder("owner") { logDestruction = true; }
        ~Owner() override { delete owned; }
        Recorder* owned = nullptr;
    };
    ReceiverTracker tracker;
    auto* owner = new Owner;
    owner->owned = new Recorder("owned");
    owner->owned->logDestruction = true;
    tracker.Track(owner);
    tracker.Track(owner->owned);
    tracker.ReleaseReceivers();
    // The owner's own destructor body runs before its Recorder part logs.
    EXPECT_EQ(log, (std::vector<std::string>{"~owned", "~owner"}));
    EXPECT_EQ(tracker.ReceiverCount(), 0);
}

}  // namespace
