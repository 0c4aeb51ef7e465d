// Memory that runs out at any allocation of a window session: the program
// built with the allocator that fails at its K-th allocation, started in its
// window in a folder holding the sample, opens the file, runs it and quits,
// driven with real X clicks and keys; at any stage it may end by itself.
// Whatever K, it must end within the bound, with exit code 0 and the tree
// line appended once, with exit code 0 after an "Error Message" for the run
// and the tree file as it was, or with exit code 1 and its memory line and
// the tree file as it was, unless the run had said that its line went in;
// never another code, a signal or a hang. Only the program's own
// allocations count: the GL driver's (Mesa's, LLVM's) are not its to
// answer. The points run one after another: windows of one X server would
// take one another's clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/analysis/allocationsweep.h"
#include "tests/analysis/testsupport.h"
#include "tests/gui/WindowProgram.h"

using guitest::WindowProgram;

namespace {

constexpr const char* kOldTree = "(old,tree);\n";
constexpr const char* kTreeSaid = "Tree appended to input.seq.tre";
constexpr const char* kOpenSaid = "Open File Button Pressed";
// How long one point may take, all its stages together.
constexpr int kPointMsecs = 60000;
// About this many points spread over the count of a session, besides its
// first and last ones; half as many under the sanitizers, where a session
// takes several times as long.
constexpr long long kSpreadPoints = 30;
// The sample's size, for the run's memory lines.
constexpr int kTaxa = 10;
constexpr int kLength = 60;

// What one session showed.
struct Session {
    bool timedOut = false;
    // Where it was when it ended, or when the bound ran out.
    std::string stage;
    int exitCode = -1;
    // The message windows it showed, each as "stage: title".
    std::vector<std::string> messages;
    std::vector<std::string> out;
    std::string err;
    std::string tree;
};

class WindowAllocationSweepTest : public guitest::WindowProgramTest {
protected:
    // One session with the K-th allocation failing (none for 0); the count
    // of its allocations goes to `countFile` when one is given.
    Session Run(long long k, const std::string& countFile = "") {
        dir.write("input.seq.tre", kOldTree);
        // The GL driver's own allocations (Mesa's, LLVM's) are left alone.
        std::vector<std::string> environment = {"TAVREL_FAIL_NEW_PROGRAM_ONLY=1"};
        if (k > 0) environment.push_back("TAVREL_FAIL_NEW_AT=" + std::to_string(k));
        if (!countFile.empty()) environment.push_back("TAVREL_NEW_COUNT_FILE=" + countFile);
        Session session;
        WindowProgram program(dir.path(""), {TAVREL_FAILING_NEW_BIN}, environment);
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kPointMsecs);
        bool ended = false;
        // Waits until cond() holds or the program has ended; false when it
        // has ended, or the bound ran out.
        const auto awaitOrEnd = [&](const char* stage, const std::function<bool()>& cond) {
            session.stage = stage;
            const int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  deadline - std::chrono::steady_clock::now())
                                                  .count());
            bool held = false;
            guitest::WaitFor(
                [&] {
                    ended = program.WaitForExit(0);
                    held = !ended && cond();
                    return ended || held;
                },
                std::max(left, 0));
            if (!ended && !held) session.timedOut = true;
            return held;
        };
        std::string window;
        std::string message;
        const auto messageShown = [&] {
            for (const char* title : {"Success Message", "Error Message"}) {
                const std::vector<std::string> ids = guitest::WindowsTitled(title);
                if (ids.empty()) continue;
                message = title;
                window = ids.front();
                return true;
            }
            return false;
        };
        // Answers the message window with Enter; false when the program
        // ended or the bound ran out meanwhile.
        const auto answer = [&](const char* stage) {
            session.messages.push_back(std::string(stage) + ": " + message);
            guitest::KeysTo(window, "Return");
            return awaitOrEnd(stage, [&] { return guitest::WindowsTitled(message).empty(); });
        };
        std::string main;
        const auto mainShown = [&] {
            const std::vector<std::string> ids = guitest::WindowsTitled(guitest::kMainTitle);
            if (ids.empty()) return false;
            main = ids.front();
            return true;
        };
        const auto clickOn = [&](guitest::Spot spot) { guitest::ClickAt(main, spot); };
        [&] {
            // The palette's controls take clicks once it has been painted.
            if (!awaitOrEnd("start", mainShown)) return;
            if (!awaitOrEnd("first picture", [&] { return guitest::ShowsItsFirstPicture(main); }))
                return;
            clickOn(spots.open);
            if (!awaitOrEnd("open", messageShown)) return;
            if (!answer("open")) return;
            clickOn(spots.run);
            bool said = false;
            if (!awaitOrEnd("run", [&] {
                    const std::vector<std::string> out = program.Output();
                    said = std::find(out.begin(), out.end(), kTreeSaid) != out.end();
                    return said || messageShown();
                }))
                return;
            if (!said && !answer("run")) return;
            clickOn(spots.quit);
            awaitOrEnd("quit", [] { return false; });
        }();
        session.exitCode = ended ? program.ExitCode() : -1;
        session.out = program.Output();
        session.err = program.Errors();
        session.tree = read_file(dir.path("input.seq.tre"));
        return session;
    }

    // What is wrong with a session's end, or "".
    std::string Judge(const Session& s, const std::string& line) const {
        if (s.timedOut) return "did not end within the bound (hang) at " + s.stage;
        for (const char* report : {"Sanitizer", "runtime error", "terminate"}) {
            if (s.err.find(report) != std::string::npos) return "at " + s.stage + ": " + s.err;
        }
        std::vector<std::string> said;
        for (const std::string& l : s.out)
            if (!is_progress_line(l) && l != kOpenSaid) said.push_back(l);
        std::string shown = " at " + s.stage + ", code " + std::to_string(s.exitCode) + ":";
        for (const std::string& l : said) shown += " [" + l + "]";
        for (const std::string& m : s.messages) shown += " (" + m + ")";
        const bool treeSaid = !said.empty() && said.front() == kTreeSaid;
        const std::string tree = treeSaid ? kOldTree + line + "\n" : kOldTree;
        const bool openRefused = std::find(s.messages.begin(), s.messages.end(),
                                           "open: Error Message") != s.messages.end();
        if (openRefused) return "opening the sample was refused" + shown;
        if (s.exitCode == 0) {
            const bool runRefused = std::find(s.messages.begin(), s.messages.end(),
                                              "run: Error Message") != s.messages.end();
            const bool sound =
                (treeSaid && said.size() == 1 && !runRefused) || (said.empty() && runRefused);
            if (!sound) return "exit code 0 with" + shown;
        } else if (s.exitCode == 1) {
            const std::vector<std::string> memory = allocationsweep::memory_lines(kTaxa, kLength);
            if (said.size() != (treeSaid ? 2u : 1u) ||
                std::find(memory.begin(), memory.end(), said.back()) == memory.end()) {
                return "exit code 1 without its memory line" + shown;
            }
        } else {
            return "ended" + shown + " " + s.err;
        }
        if (s.tree != tree) return "the tree file holds " + s.tree + shown;
        return "";
    }
};

TEST_F(WindowAllocationSweepTest, EveryPointOfAWindowSessionEndsSoundly) {
    const ProgramResult batch =
        run_tavrel({"-nogui", "-input_path", dir.path("input.seq"), "-output_path",
                    dir.path("batch.tre"), "-distance_metric", "JC"});
    ASSERT_EQ(batch.exit_code, 0);
    const std::string line = lines_of(read_file(dir.path("batch.tre"))).at(0);

    const std::string countFile = dir.path("allocation-count");
    const Session plain = Run(0, countFile);
    ASSERT_EQ(Judge(plain, line), "");
    ASSERT_EQ(plain.exitCode, 0);
    const long long count = std::atoll(read_file(countFile).c_str());
    ASSERT_GT(count, 100);

    const std::vector<long long> ks = allocationsweep::sample_of_points(
        count, built_with_sanitizer() ? kSpreadPoints / 2 : kSpreadPoints);
    std::string findings;
    int found = 0;
    for (const long long k : ks) {
        const Session session = Run(k);
        std::string what = Judge(session, line);
        if (!what.empty() && !session.err.empty()) what += "\nstandard error: " + session.err;
        if (what.empty()) continue;
        ++found;
        findings += "\nallocation " + std::to_string(k) + ": " + what;
    }
    EXPECT_EQ(found, 0) << "of " << ks.size() << " points, the count being " << count << ":"
                        << findings;
}

}  // namespace
