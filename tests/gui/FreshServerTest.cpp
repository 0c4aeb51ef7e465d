// The window's start as CI systems and many users start GL programs: under
// a fresh xvfb-run.
#include <gtest/gtest.h>
#include <sched.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/analysis/testsupport.h"
#include "tests/glow/support/GlowTestSupport.h"
#include "tests/gui/WindowProgram.h"

using guitest::WindowProgram;

namespace {

// The picture of an X screen that Xvfb keeps in a file (its -fbdir
// option), read without connecting to the server: how many pixels show
// the palette's grey.
constexpr std::uint8_t kPaletteGrey = 204;
// The palette is 200 by 600 pixels, most of them grey.
constexpr int kPaletteShown = 50000;

int GreyPixelsOnScreen(const std::string& screenFile) {
    const std::string xwd = read_file(screenFile);
    // An XWD file: a header of 32-bit big-endian fields, a colour map, then
    // the pixels, here 32 bits each.
    constexpr size_t kFieldBytes = 4;
    constexpr size_t kHeaderFields = 25;
    constexpr size_t kHeaderSizeField = 0;
    constexpr size_t kBitsPerPixelField = 11;
    constexpr size_t kColoursField = 19;
    constexpr size_t kColourBytes = 12;
    constexpr std::uint32_t kPixelBits = 32;
    const auto field = [&xwd](size_t index) {
        std::uint32_t v = 0;
        for (size_t b = 0; b < kFieldBytes; ++b)
            v = (v << 8) | static_cast<std::uint8_t>(xwd[kFieldBytes * index + b]);
        return v;
    };
    if (xwd.size() < kFieldBytes * kHeaderFields || field(kBitsPerPixelField) != kPixelBits) {
        return 0;
    }
    int grey = 0;
    const size_t pixels = field(kHeaderSizeField) + kColourBytes * field(kColoursField);
    for (size_t at = pixels; at + 3 < xwd.size(); at += kPixelBits / 8) {
        if (static_cast<std::uint8_t>(xwd[at]) == kPaletteGrey &&
            static_cast<std::uint8_t>(xwd[at + 1]) == kPaletteGrey &&
            static_cast<std::uint8_t>(xwd[at + 2]) == kPaletteGrey)
            ++grey;
    }
    return grey;
}

// Started as xvfb-run starts a program, as the only client of a fresh
// server, which resets when its last client leaves: the window comes up
// every time. Both run on one processor, as on a busy machine, where the
// server's reset and the program's own connection are most likely to
// meet. The test looks at the server's screen file, not through a
// connection of its own, until the window shows.
TEST(FreshXvfbServer, ShowsTheWindowEveryTime) {
    TempDir dir;
    constexpr int kStarts = 20;
    const int processor = sched_getcpu();
    ASSERT_GE(processor, 0);
    // The server's display, written where the test can read it.
    const std::string program =
        "echo \"$DISPLAY\" > display.txt && exec " + shell_quote(tavrel_bin());
    // Two servers of parallel tests may choose the same display; the
    // second one's start is made again.
    constexpr int kRetries = 5;
    int retries = 0;
    int servers = 0;
    int shown = 0;
    for (int start = 0; start < kStarts; ++start) {
        SCOPED_TRACE("start " + std::to_string(start + 1));
        std::remove(dir.path("display.txt").c_str());
        // A folder of its own for every server: xvfb-run does not wait for
        // the server it kills, and that server, on its way out, removes the
        // screen file of its folder, which may by then be the next server's.
        const std::string screens = dir.path("screens-" + std::to_string(++servers));
        ASSERT_EQ(run_command("mkdir " + shell_quote(screens)).exit_code, 0);
        const std::string serverArgs = "-ac -fbdir " + screens + " -screen 0 1280x1024x24";
        WindowProgram started(dir.path(""), {"taskset", "-c", std::to_string(processor), "xvfb-run",
                                             "-a", "-s", serverArgs, "sh", "-c", program});
        bool ended = false;
        ASSERT_TRUE(guitest::WaitFor(
            [&] {
                ended = started.WaitForExit(0);
                return ended || GreyPixelsOnScreen(screens + "/Xvfb_screen0") > kPaletteShown;
            },
            guitest::kShowMsecs));
        if (ended && started.Errors().find("Xvfb failed to start") != std::string::npos &&
            ++retries <= kRetries) {
            --start;
            continue;
        }
        ASSERT_FALSE(ended) << "exit code " << started.ExitCode() << ": " << started.Errors();
        ++shown;
        const std::vector<std::string> display = lines_of(read_file(dir.path("display.txt")));
        ASSERT_EQ(display.size(), 1u);
        const ProgramResult found =
            run_command("DISPLAY=" + display[0] + " xdotool search --name '^Tavrel 0.1 Alpha$'");
        ASSERT_EQ(found.out.size(), 1u);
        ASSERT_TRUE(glowtest::RequestClose(std::stoul(found.out[0]), display[0].c_str()));
        ASSERT_TRUE(started.WaitForExit(guitest::kShowMsecs));
        EXPECT_EQ(started.ExitCode(), 0) << started.Errors();
        EXPECT_EQ(started.Errors(), "");
    }
    EXPECT_EQ(shown, kStarts);
}

}  // namespace
