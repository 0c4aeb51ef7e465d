#include "gui/GUI.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "analysis/analysismodule.h"
#include "analysis/outputrelay.h"
#include "analysis/showntext.h"
#include "glow/core/Glow.h"
#include "glow/core/GlowWindow.h"
#include "glow/widgets/GlowCheckBoxWidget.h"
#include "glow/widgets/GlowLabeledTextFieldWidget.h"
#include "glow/widgets/GlowMessageWindow.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowQuickPaletteSubwindow.h"
#include "glow/widgets/GlowQuickRadioGroupWidget.h"
#include "glow/widgets/GlowRadioButtonWidget.h"
#include "glow/widgets/GlowTextFieldWidget.h"
#include "gui/ConvergenceSubWindow.h"
#include "gui/SceneView.h"
#include "gui/TreeSubWindow.h"
#include "gui/TreeViewer.h"
#include "gui/treegraphic.h"

namespace {

constexpr const char* kTitle = "Tavrel 0.1 Alpha";
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;
// The window system places the window.
constexpr int kAnyPlace = -1;
// -1: the rest of the parent's extent.
constexpr int kRestOfParent = -1;

constexpr int kPaletteWidth = 200;
constexpr int kPaletteSpacing = 8;
constexpr int kPaletteMargin = 10;
constexpr int kFieldWidth = 100;
constexpr int kRadioSpacing = 3;

constexpr int kTreeHeight = 450;
// The chart reaches 50 pixels past the window's right edge.
constexpr int kChartWidth = ConvergenceSubWindow::kWidth;
constexpr int kChartHeight = ConvergenceSubWindow::kHeight;

constexpr int kMessageX = 100;
constexpr int kMessageY = 100;
constexpr const char* kErrorTitle = "Error Message";
constexpr const char* kSuccessTitle = "Success Message";

constexpr int kQuitExitCode = 0;

// The tree file of a run from the window: the input file's path with this
// added.
constexpr const char* kTreeFileSuffix = ".tre";

// One line on standard output, flushed: through the program's output relay
// when it runs, so that a reader that stops reading never holds up the
// window. Otherwise through stdio rather than the shared std::cout, whose
// formatting state the analysis thread uses; the lock keeps the line whole
// among the run's lines, without a copy that could run out of memory.
void PrintLine(const std::string& line) {
    if (relay_line(line)) return;
    flockfile(stdout);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    funlockfile(stdout);
}

}  // namespace

GUI::GUI(AnalysisModule* analysisModule)
    : treeSubWindow(nullptr),
      convergenceSubWindow(nullptr),
      analysis(analysisModule),
      inputPathField(nullptr),
      conscienceRateField(nullptr),
      kohonenRateField(nullptr),
      epochsField(nullptr),
      convergenceThresholdField(nullptr),
      ratioField(nullptr),
      forceBifurcationCheckBox(nullptr),
      observeRatioCheckBox(nullptr),
      distanceMetricGroup(nullptr),
      jukesCantorButton(nullptr),
      f81Button(nullptr),
      f84Button(nullptr),
      k2pButton(nullptr),
      euclidianButton(nullptr),
      mainWindow(nullptr),
      runButton(nullptr),
      quitButton(nullptr),
      openButton(nullptr),
      palette(nullptr),
      analysisThread([this](const AnalysisStatus& status) { OnRunFinished(status); }),
      ending_(AnalysisStatus::success()) {
    analysis->gui = this;
    mainWindow = new glow::GlowWindow(kTitle, kAnyPlace, kAnyPlace, kWindowWidth, kWindowHeight,
                                      glow::GlowDisplayMode(), glow::GlowEventMask());
    BuildPalette();
    BuildViews();
}

GUI::~GUI() = default;

void GUI::BuildPalette() {
    palette = new glow::GlowQuickPaletteSubwindow(
        mainWindow, 0, 0, kPaletteWidth, kRestOfParent, glow::GlowQuickPalette::vertical,
        glow::GlowQuickPalette::alignNear, kPaletteSpacing, kPaletteMargin, kPaletteMargin);
    // Each field sits under a label of its own row.
    auto field = [this](const char* label, const char* value) {
        palette->AddLabel(label);
        glow::GlowTextFieldWidget* f = palette->AddTextField(kFieldWidth, "", nullptr);
        f->SetText(value);
        return f;
    };
    inputPathField = field("Input File Path:", "input.seq");
    openButton = palette->AddPushButton("Open Input File", this);
    conscienceRateField = field("Conscience Learning Rate:", "0.001");
    kohonenRateField = field("Kohonen Learning Rate:", "0.04");
    epochsField = field("Starting Epochs:", "100");
    convergenceThresholdField = field("Convergence Threshold:", "0.25");
    forceBifurcationCheckBox = palette->AddCheckBox("Force Bifircation", 0, nullptr);
    observeRatioCheckBox =
        palette->AddCheckBox("Observe Transvertion/Transition Ratio", 0, nullptr);
    ratioField = field("Transvertion/Transition Ratio:", "0.25");
    palette->AddLabel("Distance Metric:");
    distanceMetricGroup =
        palette->AddRadioGroup(glow::GlowQuickPalette::vertical, kRadioSpacing, nullptr);
    jukesCantorButton = distanceMetricGroup->AddRadioButton("Jukes Cantor");
    f81Button = distanceMetricGroup->AddRadioButton("Felsenstein, 1981");
    f84Button = distanceMetricGroup->AddRadioButton("Felsenstein, 1984");
    k2pButton = distanceMetricGroup->AddRadioButton("K2P");
    euclidianButton = distanceMetricGroup->AddRadioButton("Euclidian");
    runButton = palette->AddPushButton("Run Analysis", this);
    quitButton = palette->AddPushButton("Quit", this);
    palette->Pack(false);
}

void GUI::BuildViews() {
    treeSubWindow = new TreeSubWindow(
        mainWindow, SceneView::Placement(kPaletteWidth, 0, kRestOfParent, kTreeHeight));
    convergenceSubWindow = new ConvergenceSubWindow(
        mainWindow, SceneView::Placement(kPaletteWidth, kTreeHeight, kChartWidth, kChartHeight));
}

AnalysisStatus GUI::Run() {
    // What the window's own work threw (memory that ran out in a paint, say)
    // ends the window; a run that has ended by then is told first, since
    // its line may be in the tree file already.
    std::exception_ptr failure;
    try {
        glow::Glow::MainLoop();
    } catch (...) {
        failure = std::current_exception();
    }
    windowClosed_ = true;
    if (failure != nullptr) {
        // One under way may hold the other processes of a group in a
        // collective: it cannot be waited for.
        if (analysisThread.HasEnded()) analysisThread.Finish();
        std::rethrow_exception(failure);
    }
    // A run of an MPI group has the other processes in it: they stop it
    // together at their next exchange, so that every process ends cleanly.
    // One that waits for its input before the others have had it, or for
    // the tree file once they are done, makes no further exchange: it is
    // left under way, as in a window of its own.
    if (analysisThread.IsRunning() && !analysisThread.HasEnded() && analysis->mpi_mode) {
        analysis->cancel_run();
        if (analysis->leave_group_run()) return ending_;
        // Nor may standard output's reader hold it up.
        stop_output_waits();
    }
    if (analysisThread.HasEnded() || analysis->mpi_mode) analysisThread.Finish();
    return ending_;
}

const char* GUI::GetInputPath() const {
    return inputPathField->GetText();
}

void GUI::OnMessage(const glow::GlowPushButtonMessage& message) {
    if (message.widget == runButton) {
        RunAnalysis();
    } else if (message.widget == quitButton) {
        Quit();
    } else if (message.widget == openButton) {
        OpenInputFile();
    }
}

void GUI::OpenInputFile() {
    PrintLine("Open File Button Pressed");
    if (analysis == nullptr) {
        ShowMessage(kErrorTitle, "??");
        return;
    }
    const std::string path = GetInputPath();
    if (path.empty()) {
        ShowMessage(kErrorTitle, "Enter a Path");
        return;
    }
    // The run under way reads the analysis object's path.
    if (analysisThread.IsRunning()) {
        ShowMessage(kErrorTitle, "An analysis is already running");
        return;
    }
    if (analysis->set_input_path(path).ok()) {
        ShowMessage(kSuccessTitle, "File Opened");
    } else {
        ShowMessage(kErrorTitle, "Invalid Path");
    }
}

AnalysisStatus GUI::CheckRunAllowed() const {
    if (analysis == nullptr) return AnalysisStatus::failure("??");
    if (analysisThread.IsRunning()) {
        return AnalysisStatus::failure("An analysis is already running");
    }
    if (analysis->mpi_mode && groupRunStarted_) {
        return AnalysisStatus::failure("The MPI group serves one run; restart to run again");
    }
    if (analysis->input_path.empty()) return AnalysisStatus::failure("Open an input file first");
    return AnalysisStatus::success();
}

AnalysisStatus GUI::ApplySettings() {
    const struct {
        const glow::GlowRadioButtonWidget* button;
        const char* model;
    } models[] = {
        {jukesCantorButton, "JC"}, {euclidianButton, "Euclidian"},
        {f81Button, "F81"},        {f84Button, "F84"},
        {k2pButton, "K2P"},
    };
    const glow::GlowRadioButtonWidget* current = distanceMetricGroup->GetCurrentButton();
    for (const auto& m : models) {
        if (m.button == current) {
            analysis->set_distance_metric(CharString(m.model));
            break;
        }
    }
    analysis->set_conscience_learning_rate(std::atof(conscienceRateField->GetText()));
    analysis->set_kohonen_learning_rate(std::atof(kohonenRateField->GetText()));
    analysis->set_epochs(std::atoi(epochsField->GetText()));
    analysis->set_convergence_threshold(std::atof(convergenceThresholdField->GetText()));
    return analysis->check_settings();
}

void GUI::RunAnalysis() {
    AnalysisStatus status = CheckRunAllowed();
    if (status.ok()) status = ApplySettings();
    if (status.ok()) status = analysis->set_output_path(analysis->input_path + kTreeFileSuffix);
    if (!status.ok()) {
        ShowMessage(kErrorTitle, status.message());
        return;
    }
    // Made before the run: once its line is in the file, saying so must not
    // need memory that may have run out.
    treeAppendedLine_ = "Tree appended to " + shown_text(analysis->output_path);
    // Each run draws only its own tree; the chart goes on from its ring.
    treeSubWindow->viewer->ResetTree();
    treeSubWindow->Refresh();
    if (!analysisThread.Start(analysis)) {
        ShowMessage(kErrorTitle, "Error: The analysis thread could not be started");
        return;
    }
    if (analysis->mpi_mode) groupRunStarted_ = true;
}

void GUI::Quit() {
    glow::Glow::LeaveMainLoop();
}

void GUI::OnRunFinished(const AnalysisStatus& status) {
    if (status.ends_group_now()) {
        // The other processes wait for this one in the run's collectives:
        // the window cannot go on without them.
        ending_ = status;
        glow::Glow::LeaveMainLoop();
    } else if (analysis->group_waits_again()) {
        // The settings differ from the other processes', or the input was
        // refused: they wait for a mended run. Once the window has quit,
        // the group ends silently.
        groupRunStarted_ = false;
        if (!windowClosed_) ShowMessage(kErrorTitle, status.message());
    } else if (status.ok()) {
        PrintLine(treeAppendedLine_);
    } else if (!status.message().empty()) {
        ShowMessage(kErrorTitle, status.message());
    } else if (status.exit_code() == kQuitExitCode) {
        // Cut short by "Quit" (or the close button): nothing to say.
    } else {
        // Only a process of an MPI group ends a run without a line here:
        // another process refused it and said why.
        ShowMessage(kErrorTitle, "Error: Another MPI process ended the run");
    }
}

void GUI::ShowMessage(const char* title, const std::string& text) const {
    if (windowClosed_) {
        PrintLine(text);
        return;
    }
    auto* window =
        new glow::GlowMessageWindow(title, kMessageX, kMessageY, text.c_str(), "OK", nullptr);
    glow::Glow::PushModal(window);
}

TreeNode* GUI::tree_root() {
    return treeSubWindow->viewer->tree->root;
}

void GUI::add_leaves(TreeNode* node, const CharString& first, const CharString& second) {
    treeSubWindow->viewer->tree->AddLeaves(node, first, second);
    treeSubWindow->Refresh();
}

void GUI::make_leaf(TreeNode* node, SeqVector* taxon) {
    treeSubWindow->viewer->tree->MakeLeaf(node, taxon);
}

void GUI::split(TreeNode* node, TreeNode*** children, int count, int depth) {
    treeSubWindow->viewer->tree->Split(node, children, count, depth);
    treeSubWindow->Refresh();
}

void GUI::add_value(int value) {
    convergenceSubWindow->AddValue(value);
    convergenceSubWindow->Refresh();
}
