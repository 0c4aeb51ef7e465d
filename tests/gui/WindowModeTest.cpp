// The window mode end to end: the real tavrel started in a folder holding
// the sample input.seq, found by its title and driven with real X clicks
// and keys, compared with batch runs of the same file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/analysis/testsupport.h"
#include "tests/glow/support/GlowTestSupport.h"
#include "tests/gui/WindowProgram.h"

using guitest::kQuitMsecs;
using guitest::kRunMsecs;
using guitest::Spot;
using guitest::WindowProgram;

namespace {

constexpr int kTreeX = 200;
constexpr int kTreeWidth = 600;
constexpr int kTreeHeight = 450;
constexpr int kChartHeight = 150;

// A batch run of the same file: its tree line and its progress lines.
struct BatchRun {
    std::string line;
    std::vector<std::string> progress;
};

BatchRun Batch(const TempDir& dir, const char* model) {
    const std::string out = dir.path(std::string("batch-") + model + ".tre");
    const ProgramResult result = run_tavrel({"-nogui", "-input_path", dir.path("input.seq"),
                                             "-output_path", out, "-distance_metric", model});
    EXPECT_EQ(result.exit_code, 0);
    BatchRun run;
    const std::vector<std::string> lines = lines_of(read_file(out));
    if (!lines.empty()) run.line = lines[0];
    for (const std::string& l : result.out)
        if (is_progress_line(l)) run.progress.push_back(l);
    return run;
}

std::vector<std::string> TreeLines(const TempDir& dir) {
    return lines_of(read_file(dir.path("input.seq.tre")));
}

// Whether any pixel within `radius` of (x, y) (window pixels, y down) is
// not black.
bool LitNear(const glowtest::Pixels& p, int x, int y, int radius) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const std::uint8_t* c = p.At(x + dx, p.height - 1 - (y + dy));
            if (c[0] != 0 || c[1] != 0 || c[2] != 0) return true;
        }
    }
    return false;
}

// Rows of the chart (window pixels, y down) that hold a point of the
// chart's light blue.
std::vector<int> ChartPointRows(const glowtest::Pixels& p) {
    std::vector<int> rows;
    for (int y = kTreeHeight; y < kTreeHeight + kChartHeight; ++y) {
        for (int x = kTreeX; x < guitest::kMainWidth; ++x) {
            const std::uint8_t* c = p.At(x, p.height - 1 - y);
            if (c[0] == 204 && c[1] == 204 && c[2] == 255) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

int TreeViewDifference(const glowtest::Pixels& a, const glowtest::Pixels& b) {
    int differ = 0;
    for (int y = 0; y < kTreeHeight; ++y)
        for (int x = kTreeX; x < guitest::kMainWidth; ++x) {
            const std::uint8_t* ca = a.At(x, a.height - 1 - y);
            const std::uint8_t* cb = b.At(x, b.height - 1 - y);
            if (!std::equal(ca, ca + 3, cb)) ++differ;
        }
    return differ;
}

class WindowModeTest : public guitest::WindowProgramTest {
protected:
    // Opens the field's file; gives the answer's title.
    std::string OpenAndAnswer(const std::string& window) {
        EXPECT_TRUE(guitest::ClickAt(window, spots.open));
        return guitest::AnswerMessage();
    }

    // Once the tree line is in the file, the window learns that the run has
    // ended at its next look: "Open Input File" says that a run is under
    // way until then. Whether it came to say that the file was opened.
    bool TheRunHasEndedForTheWindow(const std::string& window) {
        return guitest::WaitFor([&] { return OpenAndAnswer(window) == "Success Message"; },
                                kRunMsecs);
    }

    // Starts a run of the field's file and waits for its first progress line.
    // Starts a run that goes on for minutes, whatever the machine's speed:
    // a million epochs that never converge, on `dir`'s input.seq, which
    // holds enough taxa.
    void StartEndlessRun(const std::string& window, const WindowProgram& program) {
        ASSERT_TRUE(guitest::TypeNumber(window, spots.epochsFieldEnd, 3, "1000000"));
        ASSERT_TRUE(guitest::TypeNumber(window, spots.thresholdFieldEnd, 4, "0"));
        ASSERT_NO_FATAL_FAILURE(StartRun(window, program));
    }

    void StartRun(const std::string& window, const WindowProgram& program) {
        ASSERT_EQ(OpenAndAnswer(window), "Success Message");
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
        ASSERT_TRUE(guitest::WaitFor(
            [&] {
                const std::vector<std::string> out = program.Output();
                return std::count_if(out.begin(), out.end(), is_progress_line) > 0;
            },
            kRunMsecs));
    }
};

TEST_F(WindowModeTest, AUserRunsTheWindowAsInBatch) {
    const BatchRun jc = Batch(dir, "JC");
    const BatchRun euclidian = Batch(dir, "Euclidian");
    WindowProgram program(dir.path(""), {tavrel_bin()});
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << program.Errors();
    // The first paint: the chart's empty slots make one row of points.
    glowtest::Pixels fresh;
    ASSERT_TRUE(guitest::WaitFor(
        [&] {
            fresh = guitest::MainWindowPicture(window);
            return ChartPointRows(fresh).size() == 1;
        },
        guitest::kShowMsecs));

    // The field's default, input.seq, opens; an empty field is refused.
    EXPECT_EQ(OpenAndAnswer(window), "Success Message");
    ASSERT_TRUE(guitest::ClickAt(window, spots.inputFieldEnd));
    std::string backspaces;
    for (size_t i = 0; i < std::string("input.seq").size(); ++i) backspaces += "BackSpace ";
    ASSERT_TRUE(guitest::KeysTo(window, backspaces));
    EXPECT_EQ(OpenAndAnswer(window), "Error Message");

    // Runs take the opened file (the field is empty now): JC first, twice,
    // then Euclidian; each appends the batch line. A run is over for the
    // window when it has said where its tree went.
    const auto runOnce = [&](long runs) {
        return guitest::ClickAt(window, spots.run) &&
               guitest::WaitFor(
                   [&] {
                       const std::vector<std::string> out = program.Output();
                       return std::count(out.begin(), out.end(),
                                         "Tree appended to input.seq.tre") == runs;
                   },
                   kRunMsecs);
    };
    ASSERT_TRUE(runOnce(1));
    ASSERT_TRUE(runOnce(2));
    ASSERT_TRUE(guitest::ClickAt(window, spots.euclidian));
    ASSERT_TRUE(runOnce(3));
    EXPECT_EQ(TreeLines(dir), (std::vector<std::string>{jc.line, jc.line, euclidian.line}));

    // The picture of the last run: the root's two edges halfway down to its
    // children, and chart points off the row of empty slots.
    ASSERT_TRUE(guitest::WaitFor(
        [&] { return LitNear(guitest::MainWindowPicture(window), kTreeX + 420, 157, 3); },
        guitest::kShowMsecs));
    const glowtest::Pixels grown = guitest::MainWindowPicture(window);
    glowtest::SavePicture("window_after_three_runs", grown);
    for (const Spot edge : {Spot{420, 157}, Spot{180, 157}}) {
        EXPECT_FALSE(LitNear(fresh, kTreeX + edge.x, edge.y, 3));
        EXPECT_TRUE(LitNear(grown, kTreeX + edge.x, edge.y, 3));
    }
    EXPECT_GT(ChartPointRows(grown).size(), 5u);

    // A drag in the tree view turns the tree.
    const int cx = kTreeX + kTreeWidth / 2;
    const int cy = kTreeHeight / 2;
    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + window + " " + std::to_string(cx) + " " +
                                  std::to_string(cy) + " mousedown 1 mousemove_relative 40 30 " +
                                  "mousemove_relative 40 30 mouseup 1"));
    EXPECT_TRUE(guitest::WaitFor(
        [&] { return TreeViewDifference(grown, guitest::MainWindowPicture(window)) > 200; },
        guitest::kShowMsecs));

    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    ASSERT_TRUE(program.WaitForExit(kQuitMsecs));
    EXPECT_EQ(program.ExitCode(), 0);
    // Nothing on standard error: no sanitizer report, no toolkit warning.
    EXPECT_EQ(program.Errors(), "");

    // Its lines: the two presses of "Open Input File", then each run's
    // progress as in batch and where its tree went.
    std::vector<std::string> expected = {"Open File Button Pressed", "Open File Button Pressed"};
    for (const BatchRun* run : {&jc, &jc, &euclidian}) {
        expected.insert(expected.end(), run->progress.begin(), run->progress.end());
        expected.push_back("Tree appended to input.seq.tre");
    }
    EXPECT_EQ(program.Output(), expected);
}

// "Quit" ends the program at once with code 0, also during a run, which is
// cut short and appends nothing; the window manager's close button does
// the same, before a run, during one and after one.
TEST_F(WindowModeTest, QuitAndTheCloseButtonEndAtOnceWithCodeZero) {
    const std::string sample = read_file(dir.path("input.seq"));
    // The input of a run that is still under way at the end.
    const std::string large = simulated_file(600, 400, 5);
    struct Case {
        const char* what;
        std::string input;
        bool closeButton;  // else "Quit"
        bool startRun;
        bool waitForTheTree;
        size_t treeLines;
    };
    const Case cases[] = {
        {"Quit during a run", large, false, true, false, 0},
        {"the close button before a run", sample, true, false, false, 0},
        {"the close button during a run", large, true, true, false, 0},
        {"the close button after a run", sample, true, true, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("input.seq", c.input);
        std::remove(dir.path("input.seq.tre").c_str());
        WindowProgram program(dir.path(""), {tavrel_bin()});
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << program.Errors();
        if (c.startRun && c.waitForTheTree) {
            ASSERT_NO_FATAL_FAILURE(StartRun(window, program));
        } else if (c.startRun) {
            ASSERT_NO_FATAL_FAILURE(StartEndlessRun(window, program));
        }
        if (c.waitForTheTree) {
            ASSERT_TRUE(guitest::WaitFor(
                [&] {
                    const std::vector<std::string> out = program.Output();
                    return !out.empty() && out.back() == "Tree appended to input.seq.tre";
                },
                kRunMsecs));
        }
        if (c.closeButton) {
            ASSERT_TRUE(guitest::CloseButton(window));
        } else {
            ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
        }
        ASSERT_TRUE(program.WaitForExit(guitest::kShowMsecs));
        EXPECT_EQ(program.ExitCode(), 0) << program.Errors();
        // Nothing on standard error, and standard output was flushed: it
        // ends with whole lines.
        EXPECT_EQ(program.Errors(), "");
        const std::string out = read_file(dir.path("stdout.txt"));
        if (c.startRun) {
            ASSERT_FALSE(out.empty());
            EXPECT_EQ(out.back(), '\n');
        }
        EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))).size(), c.treeLines);
    }
}

// A window destroyed by another program (xdotool windowclose: an
// XDestroyWindow, not the close button's request), a connection that the
// X server drops (windowkill) and a server that ends all end the program
// at once with its own line and exit code 1, whether it is idle, shows a
// message or runs; a run under way appends nothing, also one that has
// done its work and only waits for another program's lock on the tree
// file. Each case has an X server of its own, which it may end.
TEST_F(WindowModeTest, AWindowOrItsDisplayLostEndsTheProgramWithItsLine) {
    enum class Loss { destroyMain, destroyMessage, killConnection, endServer };
    enum class Run { none, computing, waitingForTheTreeFile };
    struct Case {
        const char* what;
        Loss loss;
        Run run;
    };
    const Case cases[] = {
        {"the idle main window destroyed", Loss::destroyMain, Run::none},
        {"the main window destroyed during a run", Loss::destroyMain, Run::computing},
        {"the main window destroyed while its run waits for the tree file", Loss::destroyMain,
         Run::waitingForTheTreeFile},
        {"a message window destroyed", Loss::destroyMessage, Run::none},
        {"the connection dropped", Loss::killConnection, Run::none},
        {"the connection dropped during a run", Loss::killConnection, Run::computing},
        {"the X server ended", Loss::endServer, Run::none},
        {"the X server ended during a run", Loss::endServer, Run::computing},
    };
    const char kLost[] = "Error: the window or its display was lost";
    const char kOldTree[] = "(old,tree);\n";
    const char kOpenPressed[] = "Open File Button Pressed";
    const std::string sample = read_file(dir.path("input.seq"));
    // With a budget that no attempt ends early, the first group alone takes
    // minutes: the run is under way at the end, however fast the machine.
    const std::string large = simulated_file(600, 400, 5);
    const std::string tree = dir.path("input.seq.tre");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("input.seq", c.run == Run::computing ? large : sample);
        dir.write("input.seq.tre", kOldTree);
        guitest::OwnXServer server(dir.path("xvfb.log"));
        ASSERT_TRUE(server.Started());
        WindowProgram program(dir.path(""), {tavrel_bin()});
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << program.Errors();
        std::unique_ptr<HeldLock> lock;
        if (c.run == Run::computing) {
            ASSERT_NO_FATAL_FAILURE(StartEndlessRun(window, program));
        } else if (c.run == Run::waitingForTheTreeFile) {
            lock = std::make_unique<HeldLock>(tree);
            ASSERT_EQ(OpenAndAnswer(window), "Success Message");
            ASSERT_TRUE(guitest::ClickAt(window, spots.run));
            ASSERT_TRUE(guitest::WaitFor([&] { return lock_waiters(tree) == 1; }, kRunMsecs));
        }
        switch (c.loss) {
            case Loss::destroyMain:
                ASSERT_TRUE(glowtest::Xdotool("windowclose " + window));
                break;
            case Loss::destroyMessage: {
                ASSERT_TRUE(guitest::ClickAt(window, spots.open));
                const std::string message = guitest::WaitForWindow("Success Message");
                ASSERT_FALSE(message.empty());
                ASSERT_TRUE(glowtest::Xdotool("windowclose " + message));
                break;
            }
            case Loss::killConnection:
                ASSERT_TRUE(glowtest::Xdotool("windowkill " + window));
                break;
            case Loss::endServer:
                ASSERT_TRUE(server.End());
                break;
        }
        const bool ended = program.WaitForExit(guitest::kShowMsecs);
        // A run that went on would append its line now.
        lock.reset();
        if (!ended) {
            ADD_FAILURE() << "the program goes on without its window: "
                          << testing::PrintToString(program.Output()) << program.Errors();
            continue;
        }
        EXPECT_EQ(program.ExitCode(), 1) << program.Errors();
        EXPECT_EQ(program.Errors(), "");
        EXPECT_EQ(read_file(tree), kOldTree);
        // Its line comes last, once, and every line is whole: those of the
        // presses of "Open Input File" and the run's progress before it.
        const std::string out = read_file(dir.path("stdout.txt"));
        std::vector<std::string> lines = lines_of(out);
        if (lines.empty() || lines.back() != kLost || out.back() != '\n') {
            ADD_FAILURE() << "the output does not end with its line: " << out;
            continue;
        }
        lines.pop_back();
        const long presses = c.run != Run::none || c.loss == Loss::destroyMessage ? 1 : 0;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kOpenPressed), presses);
        for (const std::string& line : lines) {
            EXPECT_TRUE(line == kOpenPressed || is_progress_line(line)) << line;
        }
    }
}

// A file of `taxa` taxa of 8 positions whose names (90 characters, or 7)
// come in pairs: the run warns of every pair, a line each.
std::string PairedNamesFile(int taxa, size_t nameLength = 90) {
    const char bases[] = "ACGT";
    std::string file = std::to_string(taxa) + " 8\n";
    for (int i = 0; i < taxa; ++i) {
        std::string pair = std::to_string(i / 2);
        pair.insert(0, 6 - pair.size(), '0');
        file += "n" + pair + std::string(nameLength - 7, 'x') + " ";
        for (int j = 0; j < 8; ++j) file += bases[(i * 7 + j * 3 + i / 5) % 4];
        file += "\n";
    }
    return file;
}

// A reader of standard output that stops reading holds up neither the
// window nor "Quit": the run goes on until its lines fill the room kept for
// them, the window answers meanwhile, "Quit" ends the program at once, and
// a reader that reads again gets every line, whole and in order.
TEST_F(WindowModeTest, AReaderThatStopsReadingHoldsUpNeitherTheWindowNorQuit) {
    struct Case {
        const char* what;
        int taxa;  // 1000: the run's lines pass the pipe's room, not the program's
        bool readAgain;
    };
    const Case cases[] = {
        {"a run whose lines the program holds for the reader", 1000, false},
        {"Quit while the run waits for the reader", 6000, false},
        {"the reader reads again", 6000, true},
    };
    const std::string open = "Open File Button Pressed\n";
    const std::string appended = "Tree appended to input.seq.tre\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("input.seq", PairedNamesFile(c.taxa));
        std::remove(dir.path("input.seq.tre").c_str());
        const std::string batchTree = dir.path("batch.tre");
        std::remove(batchTree.c_str());
        const ProgramResult batch =
            run_tavrel({"-nogui", "-input_path", dir.path("input.seq"), "-output_path", batchTree,
                        "-distance_metric", "JC"});
        ASSERT_EQ(batch.exit_code, 0);
        std::string batchText;
        for (const std::string& line : batch.out) batchText += line + "\n";
        const std::vector<std::string> batchTreeLines = lines_of(read_file(batchTree));

        guitest::OutputPipe out;
        WindowProgram program(dir.path(""), {tavrel_bin()}, {}, out.WriteEnd());
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << program.Errors();
        ASSERT_EQ(OpenAndAnswer(window), "Success Message");
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
        ASSERT_TRUE(guitest::WaitFor([&] { return out.Full(); }, kRunMsecs));
        const bool fits = !c.readAgain && c.taxa == 1000;
        if (fits) {
            ASSERT_TRUE(
                guitest::WaitFor([&] { return TreeLines(dir) == batchTreeLines; }, kRunMsecs))
                << "the run waits for the reader";
        }
        // The window answers: the run has ended, or it waits for the reader.
        if (fits) {
            EXPECT_TRUE(TheRunHasEndedForTheWindow(window));
        } else {
            EXPECT_EQ(OpenAndAnswer(window), "Error Message");
        }
        if (c.readAgain) {
            ASSERT_TRUE(guitest::WaitFor(
                [&] {
                    const std::string& text = out.Read();
                    return text.size() >= appended.size() &&
                           text.compare(text.size() - appended.size(), appended.size(), appended) ==
                               0;
                },
                kRunMsecs));
        }
        ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
        ASSERT_TRUE(program.WaitForExit(kQuitMsecs)) << "Quit waits for the reader";
        EXPECT_EQ(program.ExitCode(), 0);
        EXPECT_EQ(program.Errors(), "");
        EXPECT_TRUE(guitest::TavrelProcessesIn(dir.path("")).empty());
        EXPECT_EQ(TreeLines(dir),
                  c.taxa == 1000 || c.readAgain ? batchTreeLines : std::vector<std::string>());

        const std::string text = out.Read();
        if (c.readAgain) {
            // Every line, in order; the second press's line wherever the
            // run's lines were when it came.
            std::vector<std::string> lines = lines_of(text);
            const auto second =
                std::find(lines.begin() + 1, lines.end(), "Open File Button Pressed");
            ASSERT_NE(second, lines.end());
            lines.erase(second);
            EXPECT_TRUE(lines == lines_of(open + batchText + appended))
                << "lines lost or out of order: " << lines.size();
            EXPECT_EQ(text.back(), '\n');
        } else {
            // The reader took only what the pipe holds: the start of the
            // lines, as they came.
            const std::string all = open + batchText + (fits ? appended + open : "");
            EXPECT_GE(text.size(), 4096u * 8);
            EXPECT_TRUE(all.compare(0, text.size(), text) == 0)
                << "the reader got other text: " << text.substr(0, 200);
        }
    }
}

// Standard output that takes no more lines (its reader has gone, or a file
// size limit, reached after some lines or by the first) drops them: the
// window and its run go on (no SIGXFSZ ends the program), the tree is
// appended, and "Quit" ends the program with exit code 0.
TEST_F(WindowModeTest, StandardOutputThatTakesNoMoreDropsOnlyTheLines) {
    constexpr int kLimit = 8192;
    dir.write("input.seq", PairedNamesFile(400, 7));
    const std::string batchTree = dir.path("batch.tre");
    const ProgramResult batch = run_tavrel({"-nogui", "-input_path", dir.path("input.seq"),
                                            "-output_path", batchTree, "-distance_metric", "JC"});
    ASSERT_EQ(batch.exit_code, 0);
    std::string said = "Open File Button Pressed\n";
    for (const std::string& line : batch.out) said += line + "\n";
    ASSERT_GT(said.size(), 2u * kLimit);
    const std::vector<std::string> batchTreeLines = lines_of(read_file(batchTree));
    ASSERT_LT(read_file(batchTree).size(), static_cast<size_t>(kLimit));
    enum class Output { readerGone, limitLater, limitAtOnce };
    // At once: standard output is a file that the first line takes past the
    // limit, appended to.
    constexpr size_t kRoomAtOnce = 5;
    const std::string filled = std::string(kLimit - kRoomAtOnce - 1, 'p') + "\n";
    const struct {
        const char* what;
        Output output;
    } cases[] = {{"a reader that has gone", Output::readerGone},
                 {"a file size limit", Output::limitLater},
                 {"a file size limit that the first line reaches", Output::limitAtOnce}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(dir.path("input.seq.tre").c_str());
        guitest::OutputPipe gone;
        gone.CloseReader();
        const std::string progress = dir.write("progress.txt", filled);
        const int appended = open(progress.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        ASSERT_GE(appended, 0);
        std::vector<std::string> args = {tavrel_bin()};
        if (c.output != Output::readerGone) {
            args.insert(args.begin(), {"prlimit", "--fsize=" + std::to_string(kLimit)});
        }
        const int output = c.output == Output::readerGone    ? gone.WriteEnd()
                           : c.output == Output::limitAtOnce ? appended
                                                             : -1;
        WindowProgram program(dir.path(""), args, {}, output);
        close(appended);
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << program.Errors();
        ASSERT_EQ(OpenAndAnswer(window), "Success Message");
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
        ASSERT_TRUE(guitest::WaitFor(
            [&] { return program.WaitForExit(0) || TreeLines(dir) == batchTreeLines; }, kRunMsecs));
        ASSERT_FALSE(program.WaitForExit(0)) << "ended with " << program.ExitCode();
        EXPECT_TRUE(TheRunHasEndedForTheWindow(window));
        ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
        ASSERT_TRUE(program.WaitForExit(kQuitMsecs));
        EXPECT_EQ(program.ExitCode(), 0);
        EXPECT_EQ(program.Errors(), "");
        EXPECT_EQ(TreeLines(dir), batchTreeLines);
        // What fitted went out as it came.
        if (c.output == Output::limitLater) {
            EXPECT_EQ(read_file(dir.path("stdout.txt")), said.substr(0, kLimit));
        } else if (c.output == Output::limitAtOnce) {
            EXPECT_TRUE(read_file(progress) == filled + said.substr(0, kRoomAtOnce))
                << "standard output's file holds " << read_file(progress).size() << " bytes";
        }
    }
}

// The close button of a message window dismisses the message, as its "OK"
// does: the program goes on, and its window takes clicks again.
TEST_F(WindowModeTest, TheCloseButtonOfAMessageWindowDismissesIt) {
    WindowProgram program(dir.path(""), {tavrel_bin()});
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << program.Errors();
    ASSERT_TRUE(guitest::ClickAt(window, spots.open));
    const std::string message = guitest::WaitForWindow("Success Message");
    ASSERT_FALSE(message.empty());
    ASSERT_TRUE(guitest::CloseButton(message));
    ASSERT_TRUE(guitest::WaitUntilNoWindow("Success Message"));
    EXPECT_FALSE(program.WaitForExit(0));
    EXPECT_EQ(OpenAndAnswer(window), "Success Message");
    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    ASSERT_TRUE(program.WaitForExit(kQuitMsecs));
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_EQ(program.Errors(), "");
    EXPECT_EQ(program.Output(),
              (std::vector<std::string>{"Open File Button Pressed", "Open File Button Pressed"}));
}

}  // namespace

// A request to end the program that comes while a window run's line grows
// in the tree file waits until the line is whole, then ends the program as
// it would have, although the window's event loop, not the run, takes it.
TEST_F(WindowModeTest, ASignalDuringTheWriteWaitsForTheWholeLine) {
    // A line of 4 MB (1 MB under the sanitizers): its write lasts long
    // enough to be caught growing.
    const int taxa = built_with_sanitizer() ? 10000 : 40000;
    // Tries until one catches the program alive when the signal comes.
    constexpr int kTries = 5;
    constexpr size_t kDefaultEpochsLength = 3;
    const char kOldTree[] = "(old,tree);\n";
    dir.write("input.seq", long_names_file(taxa, 't', 3));
    const std::string out = dir.path("input.seq.tre");
    const ProgramResult batch =
        run_tavrel({"-nogui", "-input_path", dir.path("input.seq"), "-output_path", out,
                    "-distance_metric", "JC", "-epochs", "1"});
    ASSERT_EQ(batch.exit_code, 0);
    const std::string expected = kOldTree + read_file(out);
    const auto size = [&out] {
        std::error_code unknown;
        return std::filesystem::file_size(out, unknown);
    };
    for (int signal : {SIGTERM, SIGINT, SIGQUIT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        bool caught = false;
        for (int attempt = 0; attempt < kTries && !caught; ++attempt) {
            dir.write("input.seq.tre", kOldTree);
            const auto before = size();
            WindowProgram program(dir.path(""), {tavrel_bin()});
            const std::string window = guitest::WaitForMainWindow();
            ASSERT_FALSE(window.empty()) << program.Errors();
            ASSERT_TRUE(
                guitest::TypeNumber(window, spots.epochsFieldEnd, kDefaultEpochsLength, "1"));
            ASSERT_EQ(OpenAndAnswer(window), "Success Message");
            ASSERT_TRUE(guitest::ClickAt(window, spots.run));
            const pid_t pid = program.Pid();
            ASSERT_GT(pid, 0);
            // The moment the line starts to grow, or the program's end.
            bool ended = false;
            guitest::WaitFor(
                [&] {
                    ended = program.WaitForExit(0);
                    return ended || size() != before;
                },
                kRunMsecs);
            if (!ended) ::kill(pid, signal);
            ASSERT_TRUE(program.WaitForExit(kQuitMsecs));
            const std::string written = read_file(out);
            EXPECT_TRUE(written == expected)
                << "the file holds " << written.size() << " bytes instead of " << expected.size();
            // Ended by that very signal, not by an exit code of its own.
            caught = program.TermSignal() == signal;
            EXPECT_TRUE(caught || ended) << "ended with " << program.ExitCode();
        }
        EXPECT_TRUE(caught) << "no run was still writing when its signal came";
    }
}

// A request to end the program ends the idle window by that very signal.
TEST_F(WindowModeTest, ASignalEndsTheIdleWindowByThatSignal) {
    for (int signal : {SIGTERM, SIGINT, SIGQUIT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        WindowProgram program(dir.path(""), {tavrel_bin()});
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << program.Errors();
        const pid_t pid = program.Pid();
        ASSERT_GT(pid, 0);
        ASSERT_EQ(::kill(pid, signal), 0);
        ASSERT_TRUE(program.WaitForExit(kQuitMsecs));
        EXPECT_EQ(program.TermSignal(), signal) << "ended with " << program.ExitCode();
        EXPECT_EQ(program.Output(), std::vector<std::string>());
    }
}

// A signal that was ignored when the program started (by the shell's trap,
// or SIGHUP by nohup) stays ignored: the window goes on, and the run that
// it reaches (here while the run waits for its input from a FIFO) finishes
// and appends its line.
TEST_F(WindowModeTest, ASignalIgnoredAtTheStartLeavesTheRunToFinish) {
    const std::string fifo = dir.path("input.seq");
    const std::string sample = read_file(fifo);
    const BatchRun jc = Batch(dir, "JC");
    ASSERT_FALSE(jc.line.empty());
    for (const IgnoringLauncher& c : ignoring_launchers()) {
        SCOPED_TRACE(c.command);
        ASSERT_TRUE(guitest::MakeFifo(fifo));
        std::remove(dir.path("input.seq.tre").c_str());
        WindowProgram program(dir.path(""), {"/bin/sh", "-c", c.command, "sh", tavrel_bin()});
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << program.Errors();
        ASSERT_EQ(OpenAndAnswer(window), "Success Message");
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
        const int fd = guitest::WriterOnceTheRunReads(fifo);
        ASSERT_GE(fd, 0) << program.Errors();
        ASSERT_EQ(::kill(program.Pid(), c.signal), 0);
        EXPECT_TRUE(guitest::WriteAndClose(fd, sample)) << "the run has gone";
        ASSERT_TRUE(guitest::WaitFor(
            [&] {
                const std::vector<std::string> out = program.Output();
                return program.WaitForExit(0) ||
                       (!out.empty() && out.back() == "Tree appended to input.seq.tre");
            },
            kRunMsecs));
        ASSERT_FALSE(program.WaitForExit(0))
            << "ended with " << program.ExitCode() << ": " << program.Errors();
        EXPECT_EQ(TreeLines(dir), std::vector<std::string>{jc.line});
        ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
        ASSERT_TRUE(program.WaitForExit(kQuitMsecs));
        EXPECT_EQ(program.ExitCode(), 0);
        EXPECT_EQ(program.Errors(), "");
    }
}

// With standard output (or input, or error) closed, the window's own lines
// never land in the tree file: "Open Input File" is pressed while the run
// waits for another program's lock on the tree file, which stands on no
// standard descriptor. The tree file takes the run's line and nothing else.
TEST_F(WindowModeTest, ClosedStandardStreamsNeverReachTheTreeFile) {
    const BatchRun jc = Batch(dir, "JC");
    ASSERT_FALSE(jc.line.empty());
    const std::string kOldTree = "(old,tree);\n";
    const std::string tree = dir.path("input.seq.tre");
    for (const char* closing : {">&-", "<&-", "2>&-", "<&- >&- 2>&-"}) {
        SCOPED_TRACE(closing);
        dir.write("input.seq.tre", kOldTree);
        auto lock = std::make_unique<HeldLock>(tree);
        WindowProgram program(
            dir.path(""), {"/bin/sh", "-c", std::string("exec \"$0\" ") + closing, tavrel_bin()});
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << program.Errors();
        ASSERT_EQ(OpenAndAnswer(window), "Success Message");
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
        OpenForWriting writer;
        ASSERT_TRUE(guitest::WaitFor(
            [&] {
                writer = process_writing(tree, lock->holder());
                return writer.pid > 0;
            },
            kRunMsecs));
        EXPECT_GT(writer.fd, 2) << "the tree file is a standard descriptor";
        // Its line goes out while the run has the tree file open.
        EXPECT_EQ(OpenAndAnswer(window), "Error Message");
        lock.reset();
        ASSERT_TRUE(guitest::WaitFor(
            [&] { return read_file(tree) != kOldTree && process_writing(tree).pid < 0; },
            kRunMsecs));
        ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
        ASSERT_TRUE(program.WaitForExit(kQuitMsecs));
        EXPECT_EQ(program.ExitCode(), 0);
        EXPECT_EQ(read_file(tree), kOldTree + jc.line + "\n");
    }
}
