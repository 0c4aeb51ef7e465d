// A window run that lasts longer than the main loop's first look at it:
// the real tavrel reads its input from a FIFO, which the test fills only
// after a second, so the run waits for as long as the test likes, however
// fast or slow the machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/analysis/testsupport.h"
#include "tests/gui/WindowProgram.h"

using guitest::kQuitMsecs;
using guitest::kRunMsecs;
using guitest::WindowProgram;

namespace {

// Each run waits at least this long for its input.
constexpr auto kRunLasts = std::chrono::seconds(1);
const char kTreeAppended[] = "Tree appended to input.seq.tre";

long CountOf(const std::vector<std::string>& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
}

class WindowLongRunTest : public guitest::WindowProgramTest {};

// The window notices the end of each run, says where the tree went and
// takes the next run, while the window stays live during the run.
TEST_F(WindowLongRunTest, TheEndOfARunOfASecondIsNoticedAndTheNextRunStarts) {
    const std::string fifo = dir.path("input.seq");
    const std::string sample = read_file(fifo);
    const std::string batchTree = dir.path("batch.tre");
    const ProgramResult batch = run_tavrel({"-nogui", "-input_path", dir.write("batch.seq", sample),
                                            "-output_path", batchTree, "-distance_metric", "JC"});
    ASSERT_EQ(batch.exit_code, 0);
    const std::vector<std::string> batchLines = lines_of(read_file(batchTree));
    ASSERT_EQ(batchLines.size(), 1u);
    ASSERT_TRUE(guitest::MakeFifo(fifo));

    WindowProgram program(dir.path(""), {tavrel_bin()});
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << program.Errors();
    ASSERT_TRUE(guitest::ClickAt(window, spots.open));
    ASSERT_EQ(guitest::AnswerMessage(), "Success Message");

    for (long run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        const auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
        const int fd = guitest::WriterOnceTheRunReads(fifo);
        ASSERT_GE(fd, 0) << program.Errors();
        // Meanwhile the window answers, and knows that the run goes on.
        EXPECT_TRUE(guitest::ClickAt(window, spots.open));
        EXPECT_EQ(guitest::AnswerMessage(), "Error Message");
        std::this_thread::sleep_until(started + kRunLasts);
        EXPECT_EQ(CountOf(program.Output(), kTreeAppended), run - 1);
        ASSERT_TRUE(guitest::WriteAndClose(fd, sample));
        ASSERT_TRUE(guitest::WaitFor(
            [&] { return CountOf(program.Output(), kTreeAppended) == run; }, kRunMsecs))
            << program.Errors();
    }
    EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))),
              (std::vector<std::string>{batchLines[0], batchLines[0]}));

    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    ASSERT_TRUE(program.WaitForExit(kQuitMsecs));
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_EQ(program.Errors(), "");
}

}  // namespace
