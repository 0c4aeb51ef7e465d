// The steps a process takes with the others of its group, over the
// in-memory group whose threads stand for the processes: the input, the
// release, the members after a shared epoch and the parts of the neurons,
// the blocks of a level, the meetings and the end. Each process's own
// collectives are logged, so a step that sends what it should not, or sends
// nothing, shows without any thread waiting for ever.

#include "analysis/groupprotocol.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "analysis/groupmessages.h"
#include "analysis/seqvector.h"
#include "threadgroup.h"

namespace {

using Calls = std::vector<std::string>;

// A sequence file's contents, as process 0 has read them.
SequenceData input_of(const std::vector<std::string>& names,
                      const std::vector<std::string>& letters) {
    SequenceData data;
    data.num_seqs = static_cast<int>(names.size());
    data.seq_len = letters.empty() ? 0 : static_cast<int>(letters[0].size());
    for (const std::string& name : names) data.names.emplace_back(name.c_str());
    data.sequences = letters;
    return data;
}

std::vector<std::string> texts_of(const std::vector<CharString>& names) {
    std::vector<std::string> texts;
    for (const CharString& name : names) texts.push_back(name.c_str());
    return texts;
}

// The taxa of a run by id, 0 to n - 1.
struct Taxa {
    explicit Taxa(int n) {
        for (int i = 0; i < n; ++i) {
            owned.push_back(std::make_unique<SeqVector>());
            owned.back()->id = i;
            by_id.push_back(owned.back().get());
        }
    }
    std::vector<std::unique_ptr<SeqVector>> owned;
    std::vector<SeqVector*> by_id;
};

}  // namespace

// Process 0 sends the counts (the first by the idle broadcast, which the
// others wait in), the names' lengths, then each taxon's name and letters
// in one buffer; every other process builds the same input from them.
TEST(GroupProtocol, InputIsSharedAndReceivedWhole) {
    struct Case {
        const char* what;
        SequenceData data;
        int bytes;  // the names and the letters
    };
    const Case cases[] = {
        {"three taxa", input_of({"alpha", "name_of_12ch", "x"}, {"ACGT", "TTGA", "CCCC"}),
         5 + 12 + 1 + 3 * 4},
        {"no taxa", SequenceData(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Meeting meeting(3);
        std::vector<SequenceData> received(3);
        std::vector<AnalysisStatus> statuses(3, AnalysisStatus::failure("not run"));
        std::vector<char> served(3, 0);
        on_every_rank(3, [&](int rank) {
            ThreadGroup group(&meeting, rank);
            GroupProtocol protocol(&group);
            if (rank == 0) {
                statuses[0] = protocol.share_input(c.data, "in.txt");
            } else {
                statuses[rank] = protocol.receive_input(&received[rank]);
            }
            served[rank] = protocol.served();
        });
        const Calls calls = {"idle broadcast int 1", "broadcast int 1",
                             "broadcast int " + std::to_string(c.data.num_seqs),
                             "broadcast char " + std::to_string(c.bytes)};
        for (int r = 0; r < 3; ++r) {
            SCOPED_TRACE(r);
            EXPECT_TRUE(statuses[r].ok()) << statuses[r].message();
            EXPECT_EQ(meeting.calls[r], calls);
            // Only process 0 serves the others.
            EXPECT_EQ(served[r] != 0, r == 0);
            if (r == 0) continue;
            EXPECT_EQ(received[r].num_seqs, c.data.num_seqs);
            EXPECT_EQ(received[r].seq_len, c.data.seq_len);
            EXPECT_EQ(texts_of(received[r].names), texts_of(c.data.names));
            EXPECT_EQ(received[r].sequences, c.data.sequences);
        }
    }
}

// Process 0 makes no run: the others learn it where they wait for the
// input, and end silently with its exit code.
TEST(GroupProtocol, ReleaseIsASilentEndWithItsCode) {
    for (const int code : {0, 1, 2}) {
        SCOPED_TRACE(code);
        Meeting meeting(3);
        std::vector<SequenceData> received(3);
        std::vector<AnalysisStatus> statuses(3, AnalysisStatus::success());
        std::vector<char> served(3, 0);
        on_every_rank(3, [&](int rank) {
            ThreadGroup group(&meeting, rank);
            GroupProtocol protocol(&group);
            if (rank == 0) {
                protocol.release(code);
            } else {
                received[rank].num_seqs = 99;
                statuses[rank] = protocol.receive_input(&received[rank]);
            }
            served[rank] = protocol.served();
        });
        EXPECT_TRUE(served[0]);
        for (int r = 0; r < 3; ++r) {
            EXPECT_EQ(meeting.calls[r], (Calls{"idle broadcast int 1", "broadcast int 1"})) << r;
        }
        for (int r = 1; r < 3; ++r) {
            SCOPED_TRACE(r);
            EXPECT_FALSE(statuses[r].ok());
            EXPECT_EQ(statuses[r].message(), "");
            EXPECT_EQ(statuses[r].exit_code(), code);
            EXPECT_EQ(received[r].num_seqs, 0);
            EXPECT_FALSE(served[r]);
        }
    }
}

// Process 0 serves the others once: a second release, or one after the
// input, sends nothing, until the run refused its settings and the others
// wait for the next input. In a group of one, so that a step that sent
// too much would not leave a thread waiting.
TEST(GroupProtocol, ServedOnceUntilServedAgain) {
    Meeting meeting(1);
    ThreadGroup group(&meeting, 0);
    const Calls release = {"idle broadcast int 1", "broadcast int 1"};
    const Calls input = {"idle broadcast int 1", "broadcast int 1", "broadcast int 1",
                         "broadcast char 3"};
    {
        GroupProtocol protocol(&group);
        EXPECT_FALSE(protocol.served());
        protocol.release(1);
        EXPECT_TRUE(protocol.served());
        protocol.release(2);
        EXPECT_EQ(meeting.calls[0], release);
        protocol.serve_again();
        EXPECT_FALSE(protocol.served());
        protocol.release(3);
        EXPECT_TRUE(protocol.served());
        Calls twice = release;
        twice.insert(twice.end(), release.begin(), release.end());
        EXPECT_EQ(meeting.calls[0], twice);
    }
    meeting.calls[0].clear();
    {
        GroupProtocol protocol(&group);
        EXPECT_TRUE(protocol.share_input(input_of({"ab"}, {"C"}), "in.txt").ok());
        EXPECT_TRUE(protocol.served());
        protocol.release(1);
        EXPECT_EQ(meeting.calls[0], input);
        // The settings were refused: the others wait for the next input.
        protocol.serve_again();
        EXPECT_FALSE(protocol.served());
        protocol.release(0);
        Calls after = input;
        after.insert(after.end(), release.begin(), release.end());
        EXPECT_EQ(meeting.calls[0], after);
    }
    // Another process has nobody to release.
    Meeting pair(2);
    on_every_rank(2, [&](int rank) {
        ThreadGroup other(&pair, rank);
        GroupProtocol protocol(&other);
        if (rank == 1) protocol.release(1);
        EXPECT_FALSE(protocol.served());
    });
    EXPECT_EQ(pair.calls[1], Calls());
}

// "Quit" in the window of process 0 may come while the run waits on its
// own thread: the run can be left to itself when it will make no further
// call with the others. Before they have the input, leaving releases them
// with the given code and the run then shares its input with no one;
// between the input and the end of the run, nothing is left; after the
// end, nothing more is sent. In a group of one, so that a step that sent
// too much would not leave a thread waiting.
TEST(GroupProtocol, ARunIsLeftWhenItMakesNoFurtherCall) {
    const SequenceData input = input_of({"ab"}, {"C"});
    const Calls release = {"idle broadcast int 1", "broadcast int 1"};
    const Calls shared = {"idle broadcast int 1", "broadcast int 1", "broadcast int 1",
                          "broadcast char 3"};
    Calls ended = shared;
    ended.push_back("largest 1");
    {
        Meeting meeting(1);
        ThreadGroup group(&meeting, 0);
        GroupProtocol protocol(&group);
        EXPECT_FALSE(protocol.left());
        EXPECT_TRUE(protocol.leave(0));
        EXPECT_TRUE(protocol.left());
        EXPECT_TRUE(protocol.served());
        const AnalysisStatus late = protocol.share_input(input, "in.txt");
        EXPECT_FALSE(late.ok());
        EXPECT_EQ(late.message(), "");
        EXPECT_EQ(late.exit_code(), 0);
        EXPECT_EQ(meeting.calls[0], release);
    }
    {
        Meeting meeting(1);
        ThreadGroup group(&meeting, 0);
        GroupProtocol protocol(&group);
        ASSERT_TRUE(protocol.share_input(input, "in.txt").ok());
        EXPECT_FALSE(protocol.leave(0));
        EXPECT_FALSE(protocol.left());
        protocol.agree_end();
        EXPECT_TRUE(protocol.leave(0));
        EXPECT_TRUE(protocol.left());
        protocol.release(1);
        EXPECT_EQ(meeting.calls[0], ended);
    }
    // A run whose settings were refused is not over: the others wait for
    // the next input, which leaving then tells them will not come.
    {
        Meeting meeting(1);
        ThreadGroup group(&meeting, 0);
        GroupProtocol protocol(&group);
        ASSERT_TRUE(protocol.share_input(input, "in.txt").ok());
        protocol.serve_again();
        EXPECT_TRUE(protocol.leave(0));
        Calls after = shared;
        after.insert(after.end(), release.begin(), release.end());
        EXPECT_EQ(meeting.calls[0], after);
    }
    // Another process leaves nothing.
    Meeting pair(2);
    on_every_rank(2, [&](int rank) {
        ThreadGroup other(&pair, rank);
        GroupProtocol protocol(&other);
        if (rank == 1) {
            EXPECT_FALSE(protocol.leave(0));
        }
    });
    EXPECT_EQ(pair.calls[1], Calls());
}

// An input that no group can share is refused before anything goes out, so
// the others still wait for process 0 (which then releases them): more
// taxa than the pair codes can tell apart, or more bytes of names and
// letters than one broadcast carries. The second is checked on the counts
// alone; an input of exactly INT_MAX bytes, which would go out, would need
// gigabytes and is left out.
TEST(GroupProtocol, ShareInputRefusesWhatNoGroupCanShare) {
    const int most = member_message::kMaxTaxa;
    auto taxa = [](int n) {
        std::vector<std::string> names;
        std::vector<std::string> letters(n, "A");
        for (int i = 0; i < n; ++i) names.push_back("t" + std::to_string(i));
        return input_of(names, letters);
    };
    SequenceData wide = input_of({"a", "b"}, {"", ""});
    wide.seq_len = 1 << 30;  // 2 x 2^30 letters: INT_MAX + 1, and the names
    SequenceData named = input_of({"ab"}, {""});
    named.seq_len = INT_MAX - 1;  // the name's two bytes tip it over
    struct Case {
        const char* what;
        SequenceData data;
        std::string path;
        std::string refusal;  // empty: shared
    };
    const Case cases[] = {
        {"the most taxa", taxa(most), "in.txt", ""},
        {"one taxon more", taxa(most + 1), "in.txt",
         "Error: An MPI run takes at most 92677 taxa, not 92678"},
        {"letters past INT_MAX", wide, "in\nfile",
         "Error: Input file in\\x0afile is too large to share between MPI processes"},
        {"names past INT_MAX", named, "in.txt",
         "Error: Input file in.txt is too large to share between MPI processes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Meeting meeting(1);
        ThreadGroup group(&meeting, 0);
        GroupProtocol protocol(&group);
        const AnalysisStatus status = protocol.share_input(c.data, c.path);
        EXPECT_EQ(status.message(), c.refusal);
        if (c.refusal.empty()) {
            EXPECT_TRUE(status.ok());
            EXPECT_TRUE(protocol.served());
            EXPECT_EQ(meeting.calls[0].size(), 4u);
        } else {
            EXPECT_EQ(status.exit_code(), 1);
            EXPECT_FALSE(protocol.served());
            EXPECT_EQ(meeting.calls[0], Calls());
        }
    }
}

// Seven inputs over three processes: process q classified inputs q, q + 3,
// ... and holds only those in its lists, each list in its own order. After
// the exchange every process holds every input: the blocks of processes 0,
// 1, 2 in turn, neuron 0's members first in each, in the order that process
// listed them. Each block ends in its process's flags: whether it
// converged, whether it cancels; every process hears them all.
TEST(GroupProtocol, MembersAreExchangedInProcessOrderWithTheFlags) {
    constexpr int kProcesses = 3;
    constexpr int kInputs = 7;
    const Taxa taxa(kInputs);
    // Per process, per neuron: the ids it classified there.
    const std::vector<std::vector<std::vector<int>>> classified = {
        {{6, 0}, {3}}, {{}, {4, 1}}, {{2, 5}, {}}};
    struct Case {
        const char* what;
        std::vector<bool> converged;  // per process
        std::vector<bool> cancel;
        bool heard_converged;
        bool heard_cancel;
    };
    const Case cases[] = {
        {"neither", {false, false, false}, {false, false, false}, false, false},
        {"converged on process 2", {false, false, true}, {false, false, false}, true, false},
        {"process 0 cancels", {false, false, false}, {true, false, false}, false, true},
        {"both", {false, true, false}, {true, false, false}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Meeting meeting(kProcesses);
        std::vector<std::vector<int>> lists[kProcesses];
        std::vector<GroupProtocol::Heard> heard(kProcesses, {false, false});
        on_every_rank(kProcesses, [&](int rank) {
            ThreadGroup group(&meeting, rank);
            GroupProtocol protocol(&group);
            std::vector<SeqVector*> storage(2 * kInputs);
            SeqVector** members[2] = {storage.data(), storage.data() + kInputs};
            int counts[2] = {0, 0};
            for (int k = 0; k < 2; ++k) {
                for (const int id : classified[rank][k]) members[k][counts[k]++] = taxa.by_id[id];
            }
            heard[rank] = protocol.exchange_members(members, counts, kInputs, c.converged[rank],
                                                    c.cancel[rank], taxa.by_id);
            lists[rank] = {ids_of(members[0], counts[0]), ids_of(members[1], counts[1])};
        });
        // Each block: the codes of the process's inputs, then its flags.
        EXPECT_EQ(meeting.sent_counts, (std::vector<int>{4, 3, 3}));
        for (int r = 0; r < kProcesses; ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(meeting.gather_counts[r], (std::vector<int>{4, 3, 3}));
            EXPECT_EQ(meeting.gather_displacements[r], (std::vector<int>{0, 4, 7}));
            EXPECT_EQ(lists[r][0], (std::vector<int>{6, 0, 2, 5}));
            EXPECT_EQ(lists[r][1], (std::vector<int>{3, 4, 1}));
            EXPECT_EQ(heard[r].converged, c.heard_converged);
            EXPECT_EQ(heard[r].cancelled, c.heard_cancel);
        }
    }
}

// Each process's part of the neurons' update lands at its place on every
// process.
TEST(GroupProtocol, NeuronPartsAreGatheredInPlace) {
    const std::vector<int> sizes = {2, 0, 3};
    const std::vector<int> places = {0, 2, 2};
    Meeting meeting(3);
    std::vector<std::vector<double>> all(3);
    on_every_rank(3, [&](int rank) {
        ThreadGroup group(&meeting, rank);
        GroupProtocol protocol(&group);
        std::vector<double> own;
        for (int j = 0; j < sizes[rank]; ++j) own.push_back(rank + 0.25 * j);
        all[rank].assign(5, -1.0);
        protocol.gather_parts(own, sizes, places, &all[rank]);
    });
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(all[r], (std::vector<double>{0.0, 0.25, 2.0, 2.25, 2.5})) << r;
    }
}

// The splits of a level: every process's block goes to all, block q at the
// sum of the sizes before it; a process may have no block at all.
TEST(GroupProtocol, BlocksOfALevelGoToEveryProcessInPlace) {
    struct Case {
        std::vector<std::vector<int>> blocks;  // per process
        std::vector<int> sizes;
        std::vector<int> places;
        std::vector<int> received;
    };
    const Case cases[] = {
        {{{}, {10, 11}, {20, 21, 22}}, {0, 2, 3}, {0, 0, 2}, {10, 11, 20, 21, 22}},
        {{{1}, {2, 3}, {}}, {1, 2, 0}, {0, 1, 3}, {1, 2, 3}},
        {{{7}, {}, {8}}, {1, 0, 1}, {0, 1, 1}, {7, 8}},
        {{{}, {}, {}}, {0, 0, 0}, {0, 0, 0}, {}},
    };
    for (const Case& c : cases) {
        Meeting meeting(3);
        std::vector<std::vector<int>> received(3, std::vector<int>{-1});
        std::vector<std::vector<int>> sizes(3);
        std::vector<std::vector<int>> places(3);
        on_every_rank(3, [&](int rank) {
            ThreadGroup group(&meeting, rank);
            GroupProtocol protocol(&group);
            protocol.share_blocks(c.blocks[rank], &received[rank], &sizes[rank], &places[rank]);
        });
        for (int r = 0; r < 3; ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(sizes[r], c.sizes);
            EXPECT_EQ(places[r], c.places);
            EXPECT_EQ(received[r], c.received);
            // First the sizes, one int from each, then the blocks.
            EXPECT_EQ(meeting.calls[r],
                      (Calls{"all_gather int 1",
                             "all_gather int " + std::to_string(c.blocks[r].size())}));
        }
    }
}

// Among epochs without an exchange the processes meet now and then: what
// process 0 says is what every process hears; the others' word counts for
// nothing.
TEST(GroupProtocol, MeetingTellsWhetherProcessZeroCancels) {
    for (const bool zero_cancels : {false, true}) {
        for (const bool others_say : {false, true}) {
            SCOPED_TRACE(std::string(zero_cancels ? "0 cancels" : "0 goes on") +
                         (others_say ? ", the others say cancel" : ""));
            Meeting meeting(3);
            std::vector<char> heard(3, 2);
            on_every_rank(3, [&](int rank) {
                ThreadGroup group(&meeting, rank);
                GroupProtocol protocol(&group);
                heard[rank] = protocol.meet(rank == 0 ? zero_cancels : others_say);
            });
            for (int r = 0; r < 3; ++r) {
                EXPECT_EQ(heard[r], zero_cancels ? 1 : 0) << r;
                EXPECT_EQ(meeting.calls[r], Calls{"broadcast int 1"}) << r;
            }
        }
    }
}

// The end of a run is one collective that every process makes: process 0
// comes out of it only once every process has done its part.
TEST(GroupProtocol, EndIsAgreedByEveryProcess) {
    Meeting meeting(3);
    std::atomic<int> done(0);
    int done_when_zero_ended = -1;
    on_every_rank(3, [&](int rank) {
        ThreadGroup group(&meeting, rank);
        GroupProtocol protocol(&group);
        if (rank != 0) done.fetch_add(1);
        protocol.agree_end();
        if (rank == 0) done_when_zero_ended = done.load();
    });
    EXPECT_EQ(done_when_zero_ended, 2);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(meeting.calls[r], Calls{"largest 1"}) << r;
}
