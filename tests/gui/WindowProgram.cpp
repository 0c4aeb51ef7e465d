#include "tests/gui/WindowProgram.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "analysis/analysismodule.h"
#include "glow/core/Glow.h"
#include "glow/core/GlowWindow.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowRadioButtonWidget.h"
#include "glow/widgets/GlowTextFieldWidget.h"
#include "gui/GUI.h"
#include "tests/analysis/testsupport.h"
#include "tests/glow/support/GlowTestSupport.h"

namespace guitest {

namespace {

constexpr int kPollMsecs = 25;
// Room between the right end of a field and its text's last character.
constexpr int kFieldEndInset = 6;
// A spot of the palette's left margin and the grey it is painted in.
constexpr int kPaletteMarginSpot = 4;
constexpr std::uint8_t kPaletteGrey = 204;

Spot Middle(const glow::GlowWidget* w) {
    return {w->RootPositionX() + w->Width() / 2, w->RootPositionY() + w->Height() / 2};
}

// A radio button is hit on its box at the left.
Spot Box(const glow::GlowWidget* w) {
    return {w->RootPositionX() + w->Height() / 2, w->RootPositionY() + w->Height() / 2};
}

std::string Quote(const std::string& text) {
    return shell_quote(text);
}

// Where the text of a field ends.
Spot FieldEnd(const glow::GlowWidget* field) {
    return {field->RootPositionX() + field->Width() - kFieldEndInset, Middle(field).y};
}

// Fields of process_stat_fields.
constexpr size_t kUserTimeField = 11;
constexpr size_t kSystemTimeField = 12;

}  // namespace

PaletteSpots PaletteSpots::Read() {
    AnalysisModule module;
    PaletteSpots spots{};
    {
        GUI gui(&module);
        spots.inputFieldEnd = FieldEnd(gui.inputPathField);
        spots.epochsFieldEnd = FieldEnd(gui.epochsField);
        spots.thresholdFieldEnd = FieldEnd(gui.convergenceThresholdField);
        spots.open = Middle(gui.openButton);
        spots.jukesCantor = Box(gui.jukesCantorButton);
        spots.euclidian = Box(gui.euclidianButton);
        spots.run = Middle(gui.runButton);
        spots.quit = Middle(gui.quitButton);
        delete gui.mainWindow;
    }
    // GLUT destroys the window on a later round of its loop, and the request
    // may wait in the connection's buffer: pumped until the server has done
    // it, so that the window is not taken for the program's.
    EXPECT_TRUE(glowtest::PumpUntil([] { return WindowsTitled(kMainTitle).empty(); }, kShowMsecs));
    return spots;
}

namespace {

// The files of a program's output are its folder's.
ChildSpec ProgramSpec(const std::string& dir, const std::vector<std::string>& args,
                      const std::vector<std::string>& environment, int output) {
    ChildSpec spec;
    spec.args = args;
    spec.environment = environment;
    spec.dir = dir;
    spec.out_fd = output;
    spec.out_file = dir + "/stdout.txt";
    spec.err_file = dir + "/stderr.txt";
    return spec;
}

// The X server may still show the window of a program that has just ended:
// it would be taken for the next one's.
const std::string& NoWindowLeft(const std::string& dir) {
    EXPECT_TRUE(WaitUntilNoWindow(kMainTitle)) << "a main window is left over";
    return dir;
}

}  // namespace

WindowProgram::WindowProgram(const std::string& dir, const std::vector<std::string>& args,
                             const std::vector<std::string>& environment, int output)
    : dir_(NoWindowLeft(dir)), process_(ProgramSpec(dir, args, environment, output)) {}

bool WindowProgram::WaitForExit(int timeoutMsecs) {
    return process_.wait_for_end(timeoutMsecs);
}

std::vector<std::string> WindowProgram::Output() const {
    return lines_of(read_file(dir_ + "/stdout.txt"));
}

std::string WindowProgram::Errors() const {
    return read_file(dir_ + "/stderr.txt");
}

std::map<int, pid_t> WindowProgram::TavrelProcesses() const {
    std::map<pid_t, std::vector<const ProcessInfo*>> children;
    const std::vector<ProcessInfo> processes = running_processes();
    for (const ProcessInfo& p : processes) children[p.parent].push_back(&p);
    std::map<int, pid_t> ranks;
    // The program's own process and everything below it.
    std::vector<pid_t> pending = {Pid()};
    const auto tavrel = [&ranks](pid_t pid) {
        int rank = 0;
        std::istringstream environment(read_file("/proc/" + std::to_string(pid) + "/environ"));
        std::string variable;
        while (std::getline(environment, variable, '\0')) {
            if (variable.rfind("PMI_RANK=", 0) == 0) rank = std::stoi(variable.substr(9));
        }
        ranks[rank] = pid;
    };
    for (const ProcessInfo& p : processes) {
        if (p.pid == Pid() && p.name == "tavrel") tavrel(p.pid);
    }
    while (!pending.empty()) {
        const pid_t pid = pending.back();
        pending.pop_back();
        for (const ProcessInfo* child : children[pid]) {
            pending.push_back(child->pid);
            if (child->name == "tavrel") tavrel(child->pid);
        }
    }
    return ranks;
}

bool IsAlive(pid_t pid) {
    const std::vector<std::string> fields = process_stat_fields(pid);
    return !fields.empty() && fields[0] != "Z";
}

std::vector<pid_t> TavrelProcessesIn(const std::string& dir) {
    std::error_code unknown;
    const std::filesystem::path folder = std::filesystem::canonical(dir, unknown);
    std::vector<pid_t> found;
    for (const ProcessInfo& p : running_processes()) {
        if (p.name != "tavrel") continue;
        std::error_code gone;
        const std::string cwd = "/proc/" + std::to_string(p.pid) + "/cwd";
        if (std::filesystem::read_symlink(cwd, gone) == folder) found.push_back(p.pid);
    }
    return found;
}

OutputPipe::OutputPipe() {
    int ends[2];
    EXPECT_EQ(pipe2(ends, O_CLOEXEC), 0);
    read_ = ends[0];
    write_ = ends[1];
    EXPECT_EQ(fcntl(read_, F_SETFL, O_NONBLOCK), 0);
}

OutputPipe::~OutputPipe() {
    if (read_ >= 0) close(read_);
    close(write_);
}

bool OutputPipe::Full() const {
    pollfd out = {write_, POLLOUT, 0};
    return poll(&out, 1, 0) == 0;
}

void OutputPipe::CloseReader() {
    close(read_);
    read_ = -1;
}

const std::string& OutputPipe::Read() {
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(read_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text_.append(buffer, static_cast<size_t>(n));
    }
    return text_;
}

double CpuSeconds(pid_t pid) {
    const std::vector<std::string> fields = process_stat_fields(pid);
    if (fields.size() <= kSystemTimeField) return -1.0;
    const double ticks = std::stod(fields[kUserTimeField]) + std::stod(fields[kSystemTimeField]);
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

OwnXServer::OwnXServer(const std::string& log) {
    const char* display = std::getenv("DISPLAY");
    hadDisplay_ = display != nullptr;
    if (hadDisplay_) previousDisplay_ = display;
    // Well above the displays of a user's own X servers (from :0). A display
    // that another server holds makes this one end at once; the next is
    // tried.
    constexpr int kFirstDisplay = 200;
    constexpr int kDisplaysTried = 100;
    for (int number = kFirstDisplay; number < kFirstDisplay + kDisplaysTried; ++number) {
        if (StartOn(number, log)) {
            display_ = ":" + std::to_string(number);
            setenv("DISPLAY", display_.c_str(), 1);
            return;
        }
    }
    ADD_FAILURE() << "Xvfb took no display: " << read_file(log);
}

bool OwnXServer::StartOn(int number, const std::string& log) {
    // The server writes its display's number there once it takes clients.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return false;
    ChildSpec spec;
    spec.args = {"Xvfb",         ":" + std::to_string(number),
                 "-displayfd",   std::to_string(ready[1]),
                 "-screen",      "0",
                 "1280x1024x24", "-nolisten",
                 "tcp",          "-noreset",
                 "-ac"};
    spec.out_file = log;
    spec.err_file = log;
    spec.kept_fd = ready[1];
    server_ = std::make_unique<ChildProcess>(spec);
    close(ready[1]);
    std::string written;
    pollfd wait = {ready[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait, 1, kShowMsecs) == 1 && read(ready[0], &c, 1) == 1 && c != '\n') {
        written += c;
    }
    close(ready[0]);
    if (c == '\n' && written == std::to_string(number)) return true;
    End();
    return false;
}

OwnXServer::~OwnXServer() {
    End();
    if (hadDisplay_) {
        setenv("DISPLAY", previousDisplay_.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
}

bool OwnXServer::End() {
    if (!server_) return true;
    kill(server_->pid(), SIGTERM);
    const bool ended = server_->wait_for_end(kShowMsecs);
    server_.reset();
    return ended;
}

bool WaitFor(const std::function<bool()>& cond, int timeoutMsecs) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMsecs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMsecs));
    }
    return true;
}

std::vector<std::string> WindowsTitled(const std::string& title) {
    return run_command("xdotool search --name " + Quote("^" + title + "$")).out;
}

std::string WaitForWindow(const std::string& title, int timeoutMsecs) {
    std::string found;
    WaitFor(
        [&] {
            const std::vector<std::string> ids = WindowsTitled(title);
            if (!ids.empty()) found = ids.front();
            return !found.empty();
        },
        timeoutMsecs);
    return found;
}

bool ShowsItsFirstPicture(const std::string& window) {
    // The palette's left margin shows its grey once it has been painted.
    const glowtest::Pixels p = MainWindowPicture(window);
    const std::uint8_t* c = p.At(kPaletteMarginSpot, kMainHeight - 1 - kPaletteMarginSpot);
    return c[0] == kPaletteGrey && c[1] == kPaletteGrey && c[2] == kPaletteGrey;
}

std::string WaitForMainWindow() {
    const std::string window = WaitForWindow(kMainTitle);
    if (window.empty()) return window;
    const bool painted = WaitFor([&] { return ShowsItsFirstPicture(window); }, kShowMsecs);
    return painted ? window : std::string();
}

bool WaitUntilNoWindow(const std::string& title, int timeoutMsecs) {
    return WaitFor([&] { return WindowsTitled(title).empty(); }, timeoutMsecs);
}

Spot WindowPosition(const std::string& window) {
    Spot spot{0, 0};
    for (const std::string& line : run_command("xdotool getwindowgeometry --shell " + window).out) {
        if (line.rfind("X=", 0) == 0) spot.x = std::stoi(line.substr(2));
        if (line.rfind("Y=", 0) == 0) spot.y = std::stoi(line.substr(2));
    }
    return spot;
}

glowtest::Pixels MainWindowPicture(const std::string& window) {
    const Spot at = WindowPosition(window);
    const int left = std::max(0, -at.x);
    const int top = std::max(0, -at.y);
    const glowtest::Pixels shown =
        glowtest::ReadScreen(at.x + left, at.y + top, kMainWidth - left, kMainHeight - top);
    glowtest::Pixels p;
    p.width = kMainWidth;
    p.height = kMainHeight;
    p.rgba.assign(static_cast<size_t>(kMainWidth) * kMainHeight * 4, 0);
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            const std::uint8_t* from = shown.At(x, y);
            std::copy(from, from + 4, &p.rgba[4 * (y * kMainWidth + x + left)]);
        }
    }
    return p;
}

bool ClickAt(const std::string& window, Spot spot) {
    return glowtest::Xdotool("mousemove --window " + window + " " + std::to_string(spot.x) + " " +
                             std::to_string(spot.y) + " click 1");
}

bool KeysTo(const std::string& window, const std::string& keys) {
    return glowtest::Xdotool("windowfocus " + window) && glowtest::Xdotool("key " + keys);
}

bool TypeNumber(const std::string& window, Spot fieldEnd, size_t oldLength,
                const std::string& digits) {
    std::string keys;
    for (size_t i = 0; i < oldLength; ++i) keys += "BackSpace ";
    // xdotool names the digit keys by the digits themselves.
    for (char digit : digits) keys += std::string(1, digit) + " ";
    return ClickAt(window, fieldEnd) && KeysTo(window, keys);
}

bool CloseButton(const std::string& window) {
    return glowtest::RequestClose(std::stoul(window));
}

std::string AnswerMessage() {
    std::string title;
    std::string id;
    WaitFor(
        [&] {
            for (const char* t : {"Success Message", "Error Message"}) {
                const std::vector<std::string> ids = WindowsTitled(t);
                if (ids.empty()) continue;
                title = t;
                id = ids.front();
                return true;
            }
            return false;
        },
        kShowMsecs);
    if (id.empty()) return "";
    EXPECT_TRUE(KeysTo(id, "Return"));
    EXPECT_TRUE(WaitUntilNoWindow(title));
    return title;
}

void WindowProgramTest::SetUp() {
    spots = PaletteSpots::Read();
    dir.write("input.seq", read_file(std::string(TAVREL_SOURCE_DIR) + "/data/input.seq"));
}

bool MakeFifo(const std::string& path) {
    std::remove(path.c_str());
    return mkfifo(path.c_str(), 0600) == 0;
}

int WriterOnceTheRunReads(const std::string& fifo) {
    int fd = -1;
    WaitFor(
        [&] {
            fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            return fd >= 0;
        },
        kRunMsecs);
    return fd;
}

bool WriteAndClose(int fd, const std::string& text) {
    // When the run has gone, the write fails instead of ending the test.
    signal(SIGPIPE, SIG_IGN);
    bool ok = fcntl(fd, F_SETFL, 0) == 0;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    return close(fd) == 0 && ok;
}

}  // namespace guitest
