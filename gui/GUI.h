#ifndef GUI_GUI_H
#define GUI_GUI_H

#include <string>

#include "analysis/analysisfrontend.h"
#include "analysis/analysisstatus.h"
#include "glow/core/TReceiver.h"
#include "gui/AnalysisThread.h"

namespace glow {
class GlowCheckBoxWidget;
class GlowPushButtonWidget;
class GlowQuickPaletteSubwindow;
class GlowQuickRadioGroupWidget;
class GlowRadioButtonWidget;
class GlowTextFieldWidget;
class GlowWindow;
struct GlowPushButtonMessage;
}  // namespace glow
class AnalysisModule;
class ConvergenceSubWindow;
class TreeSubWindow;

// The front end of the window mode: the main window with the settings
// palette, the tree view and the RMS error chart; "Open Input File" checks
// and keeps the input path, "Run Analysis" starts one run at a time on a
// thread of its own, "Quit" leaves the main loop. The analysis reaches back
// through AnalysisFrontEnd to grow the tree and feed the chart. The toolkit
// owns every window and widget; the pointers here only read them.
class GUI : public glow::TReceiver<const glow::GlowPushButtonMessage&>, public AnalysisFrontEnd {
public:
    // Links itself to `analysis` (its gui back-pointer) and builds the
    // window. The toolkit must be initialised.
    explicit GUI(AnalysisModule* analysis);
    // Unbinds from the buttons and waits for a run under way; deletes no
    // window.
    ~GUI() override;
    GUI(const GUI&) = delete;
    GUI& operator=(const GUI&) = delete;

    // The toolkit's main loop until "Quit" or the window's close button;
    // gives how the window ends: success (exit code 0), or the failure of a
    // run of an MPI group that the other processes may still wait for, which
    // ends the loop at once and must end the group. A run that has ended by
    // then is finished (its line printed); one of an MPI group is cancelled
    // and waited for, since the other processes take part in it and stop
    // with it, unless it will make no further call with them
    // (AnalysisModule::leave_group_run): then it is left under way, and the
    // process must end at once. GLUT has closed every window on return: call
    // nothing of the toolkit after. What the toolkit's loop throws
    // (Glow::MainLoop) is thrown on, once a run that has ended by then is
    // finished.
    AnalysisStatus Run();

    // Replaces the analysis object without linking it back; null is
    // answered with "??".
    void SetAnalysisModule(AnalysisModule* module) { analysis = module; }
    // The text of the input path field, valid until the field changes.
    const char* GetInputPath() const;

    // The three push buttons, on the main-loop thread.
    void OnMessage(const glow::GlowPushButtonMessage& message) override;

    // The analysis thread's calls.
    TreeNode* tree_root() override;
    void add_leaves(TreeNode* node, const CharString& first, const CharString& second) override;
    void make_leaf(TreeNode* node, SeqVector* taxon) override;
    void split(TreeNode* node, TreeNode*** children, int count, int depth) override;
    void add_value(int value) override;

    TreeSubWindow* treeSubWindow;
    ConvergenceSubWindow* convergenceSubWindow;
    AnalysisModule* analysis;
    glow::GlowTextFieldWidget* inputPathField;
    glow::GlowTextFieldWidget* conscienceRateField;
    glow::GlowTextFieldWidget* kohonenRateField;
    glow::GlowTextFieldWidget* epochsField;
    glow::GlowTextFieldWidget* convergenceThresholdField;
    // Read by nothing, like the two check boxes.
    glow::GlowTextFieldWidget* ratioField;
    glow::GlowCheckBoxWidget* forceBifurcationCheckBox;
    glow::GlowCheckBoxWidget* observeRatioCheckBox;
    glow::GlowQuickRadioGroupWidget* distanceMetricGroup;
    glow::GlowRadioButtonWidget* jukesCantorButton;
    glow::GlowRadioButtonWidget* f81Button;
    glow::GlowRadioButtonWidget* f84Button;
    glow::GlowRadioButtonWidget* k2pButton;
    glow::GlowRadioButtonWidget* euclidianButton;
    glow::GlowWindow* mainWindow;
    glow::GlowPushButtonWidget* runButton;
    glow::GlowPushButtonWidget* quitButton;
    glow::GlowPushButtonWidget* openButton;
    glow::GlowQuickPaletteSubwindow* palette;
    // The run under way, if any.
    AnalysisThread analysisThread;

private:
    void BuildPalette();
    void BuildViews();

    void OpenInputFile();
    void RunAnalysis();
    void Quit();
    // The model and the numbers of the palette, copied into the analysis
    // object and checked as batch mode checks its options.
    AnalysisStatus ApplySettings();
    // The reason a run cannot start now, or success.
    AnalysisStatus CheckRunAllowed() const;
    // On the main-loop thread, after the run's thread has been joined.
    void OnRunFinished(const AnalysisStatus& status);

    // A modal message window with one "OK" button; once the window is gone
    // (after "Quit"), the text goes to standard output instead.
    void ShowMessage(const char* title, const std::string& text) const;

    // An MPI group serves one run: it has started.
    bool groupRunStarted_ = false;
    // "Quit" has left the main loop: GLUT has closed the windows.
    bool windowClosed_ = false;
    // How the window ends (see Run).
    AnalysisStatus ending_;
    // What the run under way says when its line is in the tree file.
    std::string treeAppendedLine_;
};

#endif
