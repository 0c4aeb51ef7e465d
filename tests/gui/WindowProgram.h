#ifndef TESTS_GUI_WINDOWPROGRAM_H
#define TESTS_GUI_WINDOWPROGRAM_H

// The real tavrel in its window, driven as a user drives it: started in a
// folder of its own, its windows found by title and clicked with xdotool,
// its standard output read from a file.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/analysis/testsupport.h"
#include "tests/glow/support/GlowTestSupport.h"
#include "tests/support/childprocess.h"

namespace guitest {

constexpr const char* kMainTitle = "Tavrel 0.1 Alpha";
// How long a run of the sample, and the end after "Quit", may take.
constexpr int kRunMsecs = 180000;
constexpr int kQuitMsecs = 60000;
// How long a window may take to appear, show its first picture or go, on a
// machine that other builds keep busy (every wait ends once it holds).
constexpr int kShowMsecs = 120000;
constexpr int kMainWidth = 800;
constexpr int kMainHeight = 600;

// A point of a window, in pixels from its top left.
struct Spot {
    int x;
    int y;
};

// Where the settings palette's controls are in the main window: read from
// a front end built in this process, so that the clicks follow the layout.
struct PaletteSpots {
    Spot inputFieldEnd;
    Spot epochsFieldEnd;
    Spot thresholdFieldEnd;
    Spot open;
    Spot jukesCantor;
    Spot euclidian;
    Spot run;
    Spot quit;

    static PaletteSpots Read();
};

// A program started in `dir` (its working directory) with `args` (the
// first is the program) and NAME=value entries of `environment` added to
// its environment, standard output and error into files there (standard
// output into `output` instead, when one is given). It starts as from a
// shell that leaves the signals that end a program at their default, and
// leaves no core file when a signal ends it.
class WindowProgram {
public:
    WindowProgram(const std::string& dir, const std::vector<std::string>& args,
                  const std::vector<std::string>& environment = {}, int output = -1);
    // The program (and what it started) is ended when it still runs.
    WindowProgram(const WindowProgram&) = delete;
    WindowProgram& operator=(const WindowProgram&) = delete;

    // Waits for the end; false when it has not ended in time.
    bool WaitForExit(int timeoutMsecs);
    // Its exit code, or 128 and the signal that ended it; -1 before its end
    // has been seen.
    int ExitCode() const { return process_.reaped() ? process_.exit_code() : -1; }
    // The signal that ended it, or 0 when it exited.
    int TermSignal() const { return process_.term_signal(); }
    // Its process id until its end has been seen, then -1.
    pid_t Pid() const { return process_.reaped() ? -1 : process_.pid(); }
    std::vector<std::string> Output() const;
    std::string Errors() const;
    // The tavrel processes it started, through mpiexec too: MPI rank (0
    // without MPI) to process id.
    std::map<int, pid_t> TavrelProcesses() const;

private:
    std::string dir_;
    ChildProcess process_;
};

// An Xvfb server of the test's own while the object lives, for a case that
// may lose it: DISPLAY names it meanwhile, so that the programs the test
// starts and its xdotool calls and screen reads go there. The server keeps
// going when its last client leaves.
class OwnXServer {
public:
    // Its log goes to `log`.
    explicit OwnXServer(const std::string& log);
    // Ends the server if it still runs and gives DISPLAY back.
    ~OwnXServer();
    OwnXServer(const OwnXServer&) = delete;
    OwnXServer& operator=(const OwnXServer&) = delete;

    // Whether it took a display; DISPLAY names it then.
    bool Started() const { return !display_.empty(); }
    // Ends it as a system going down ends it (SIGTERM) and waits for its
    // end; true when it has ended.
    bool End();

private:
    // Starts a server on display :number; true once it takes clients.
    bool StartOn(int number, const std::string& log);

    std::unique_ptr<ChildProcess> server_;
    std::string display_;
    std::string previousDisplay_;
    bool hadDisplay_ = false;
};

// The tavrel processes whose working directory is `dir`: none is left once
// a test's program has ended.
std::vector<pid_t> TavrelProcessesIn(const std::string& dir);

// A pipe for a program's standard output whose reader reads only when the
// test says so: meanwhile the program's writes fill it, and then a writer
// waits. The test keeps a writing end of its own, to see when it is full.
class OutputPipe {
public:
    OutputPipe();
    ~OutputPipe();
    OutputPipe(const OutputPipe&) = delete;
    OutputPipe& operator=(const OutputPipe&) = delete;

    // The end to give the program.
    int WriteEnd() const { return write_; }
    // Whether a writer would wait for the reader now.
    bool Full() const;
    // Reads what the pipe holds now; gives everything read so far.
    const std::string& Read();
    // The reader goes: a write then fails.
    void CloseReader();

private:
    int read_ = -1;
    int write_ = -1;
    std::string text_;
};

// Polls cond() every few milliseconds until it holds or the time is up.
bool WaitFor(const std::function<bool()>& cond, int timeoutMsecs);

// The X windows whose title is exactly `title`.
std::vector<std::string> WindowsTitled(const std::string& title);
// The first window of that title to appear, or "" after the timeout.
std::string WaitForWindow(const std::string& title, int timeoutMsecs = kShowMsecs);
// The main window once it shows its first picture (before that, clicks
// may reach no widget yet), or "".
std::string WaitForMainWindow();
// Whether the main window shows its first picture.
bool ShowsItsFirstPicture(const std::string& window);
bool WaitUntilNoWindow(const std::string& title, int timeoutMsecs = kShowMsecs);
// The window's place on the screen.
Spot WindowPosition(const std::string& window);
// The main window as the screen shows it, rows bottom first. Without a
// window manager the window stands where GLUT put it, partly off the
// screen: those pixels stay black.
glowtest::Pixels MainWindowPicture(const std::string& window);

// Whether the process still runs: it exists and is no zombie.
bool IsAlive(pid_t pid);

// The processor time (user and system) a process has used so far, in
// seconds; negative when it cannot be read.
double CpuSeconds(pid_t pid);

// A click of the left button at a spot of the window.
bool ClickAt(const std::string& window, Spot spot);
// Keys to the window; without a window manager it needs the focus first.
bool KeysTo(const std::string& window, const std::string& keys);
// Replaces the `oldLength` characters of the text field whose end is at
// `fieldEnd` with `digits`.
bool TypeNumber(const std::string& window, Spot fieldEnd, size_t oldLength,
                const std::string& digits);
// The window manager's close button on the window.
bool CloseButton(const std::string& window);
// Waits for a "Success Message" or "Error Message" window, closes it with
// Enter and gives its title ("" when none came).
std::string AnswerMessage();

// A folder holding the sample as input.seq, and the palette's spots.
class WindowProgramTest : public testing::Test {
protected:
    void SetUp() override;

    TempDir dir;
    PaletteSpots spots{};
};

// An input that a run waits for: `path` (an existing file there is
// replaced) becomes a FIFO, which the run opens when it reads its input.
// The run stays under way until the test writes the file and closes it.
bool MakeFifo(const std::string& path);
// The FIFO's writing end once a run has opened its reading end (until then
// the open fails), or -1 when no run opened it within kRunMsecs.
int WriterOnceTheRunReads(const std::string& fifo);
// Writes the whole text and closes, so that the run reads to its end.
bool WriteAndClose(int fd, const std::string& text);

}  // namespace guitest

#endif
