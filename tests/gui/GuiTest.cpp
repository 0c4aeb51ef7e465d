// The front end in this process under Xvfb: the window it builds, the
// message windows of its buttons, the settings a run takes, the runs on
// their own thread, and what it refuses. Buttons are pressed through the
// toolkit's GLUT mouse callback.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/distancemodels.h"
#include "analysis/processgroup.h"
#include "glow/core/Glow.h"
#include "glow/core/GlowWindow.h"
#include "glow/widgets/GlowCheckBoxWidget.h"
#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/GlowLabeledTextFieldWidget.h"
#include "glow/widgets/GlowMessageWindow.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowQuickPaletteSubwindow.h"
#include "glow/widgets/GlowQuickPanelWidget.h"
#include "glow/widgets/GlowQuickRadioGroupWidget.h"
#include "glow/widgets/GlowRadioButtonWidget.h"
#include "glow/widgets/GlowTextFieldWidget.h"
#include "gui/ConvergenceSubWindow.h"
#include "gui/GUI.h"
#include "gui/TreeSubWindow.h"
#include "gui/TreeViewer.h"
#include "gui/treegraphic.h"
#include "tests/analysis/testsupport.h"
#include "tests/gui/FiveTaxa.h"
#include "tests/gui/FrontEndLayout.h"

using guitest::NewickOf;

namespace {

constexpr int kRunTimeoutMsecs = 60000;

using guitest::kFiveTaxa;

const char kFour[] =
    "4 6\n"
    "w1 AAAAAA\n"
    "w2 AAAAAT\n"
    "w3 CCCGGG\n"
    "w4 CCCGGA\n";

// The title and text of a message window.
struct Shown {
    std::string title;
    std::string text;
    bool operator==(const Shown& o) const { return title == o.title && text == o.text; }
};
std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "[" << s.title << "] " << s.text;
}

// A group of one process: enough for a run that believes it shares its
// input.
class LoneGroup : public ProcessGroup {
public:
    int size() const override { return 1; }
    int rank() const override { return 0; }
    void broadcast(int*, int) override {}
    void broadcast(char*, int) override {}
    void all_gather(const int* sent, int sent_count, int* received, const int*,
                    const int*) override {
        std::copy(sent, sent + sent_count, received);
    }
    void all_gather(const double* sent, int sent_count, double* received, const int*,
                    const int*) override {
        std::copy(sent, sent + sent_count, received);
    }
    void largest(int*, int) override {}
};

class GuiTest : public testing::Test {
protected:
    void SetUp() override { Make(std::make_unique<AnalysisModule>()); }

    void Make(std::unique_ptr<AnalysisModule> analysis) {
        module = std::move(analysis);
        gui = std::make_unique<GUI>(module.get());
        ASSERT_TRUE(glowtest::WaitUntilMapped(gui->palette));
        ASSERT_TRUE(glowtest::WaitUntilMapped(gui->treeSubWindow));
    }

    void TearDown() override {
        EXPECT_TRUE(WaitForRun());
        CloseMessages();
        delete gui->mainWindow;
        gui.reset();
        glowtest::Pump(20);
    }

    // A press and release in the middle of a palette widget, as GLUT
    // delivers them.
    void Click(glow::GlowWidget* widget) {
        const int x = widget->RootPositionX() + widget->Width() / 2;
        const int y = widget->RootPositionY() + widget->Height() / 2;
        glowtest::SendMouse(gui->palette, 0, GLUT_DOWN, x, y);
        glowtest::SendMouse(gui->palette, 0, GLUT_UP, x, y);
    }

    void OpenInput(const std::string& path) {
        gui->inputPathField->SetText(path.c_str());
        Click(gui->openButton);
    }

    // Opens a file that a run can read.
    void OpenFile(const std::string& path) {
        OpenInput(path);
        EXPECT_EQ(TakeMessages(), (std::vector<Shown>{{"Success Message", "File Opened"}}));
    }

    // A file written here and opened.
    std::string Opened(const std::string& name, const std::string& text) {
        const std::string path = dir.write(name, text);
        OpenFile(path);
        return path;
    }

    // The message windows on the modal stack, bottom first.
    static std::vector<Shown> Messages() {
        std::vector<Shown> shown;
        for (const auto& entry : glow::Glow::Windows()) {
            auto* w = dynamic_cast<glow::GlowMessageWindow*>(entry.second);
            if (w == nullptr) continue;
            auto* label = static_cast<glow::GlowLabelWidget*>(w->TextLabel());
            shown.push_back({w->Title(), label->GetText()});
        }
        return shown;
    }

    // Closes the top message window with Enter, as a user would.
    static void Dismiss() {
        glow::GlowWindow* top = glow::Glow::ModalTop();
        ASSERT_NE(top, nullptr);
        glowtest::SendKey(top, '\r');
        // The main window comes back to life when the closed window has
        // gone, at the end of the next event.
        glow::Glow::EndEvent();
    }

    // Every message window shown, read and closed.
    static std::vector<Shown> TakeMessages() {
        std::vector<Shown> shown = Messages();
        for (size_t i = 0; i < shown.size() && glow::Glow::ModalTop() != nullptr; ++i) Dismiss();
        EXPECT_EQ(glow::Glow::ModalCount(), 0);
        return shown;
    }

    static void CloseMessages() {
        while (glow::Glow::ModalTop() != nullptr) Dismiss();
    }

    bool WaitForRun() {
        return glowtest::PumpUntil([this] { return !gui->analysisThread.IsRunning(); },
                                   kRunTimeoutMsecs);
    }

    // The line of a batch run of the same file and model.
    std::string BatchLine(const std::string& input, const char* model) {
        AnalysisModule batch;
        const std::string out = dir.path("batch.tre");
        std::filesystem::remove(out);
        EXPECT_TRUE(batch.set_input_path(input).ok());
        EXPECT_TRUE(batch.set_output_path(out).ok());
        EXPECT_TRUE(batch.set_distance_metric(CharString(model)));
        AnalysisModule::run(&batch);
        EXPECT_TRUE(batch.run_status.ok()) << batch.run_status.message();
        const std::vector<std::string> lines = lines_of(read_file(out));
        return lines.empty() ? "" : lines[0];
    }

    TempDir dir;
    std::unique_ptr<AnalysisModule> module;
    std::unique_ptr<GUI> gui;
};

TEST_F(GuiTest, BuildsTheWindowAsLaidOut) {
    EXPECT_EQ(module->gui, gui.get());
    EXPECT_STREQ(gui->mainWindow->Title(), "Tavrel 0.1 Alpha");
    EXPECT_EQ(gui->mainWindow->Width(), 800);
    EXPECT_EQ(gui->mainWindow->Height(), 600);
    struct {
        glow::GlowSubwindow* window;
        int x, y, width, height;
    } views[] = {
        {gui->palette, 0, 0, 200, 600},
        {gui->treeSubWindow, 200, 0, 600, 450},
        {gui->convergenceSubWindow, 200, 450, 650, 150},
    };
    for (const auto& v : views) {
        EXPECT_EQ(v.window->GlobalX() - gui->mainWindow->GlobalX(), v.x);
        EXPECT_EQ(v.window->GlobalY() - gui->mainWindow->GlobalY(), v.y);
        EXPECT_EQ(v.window->Width(), v.width);
        EXPECT_EQ(v.window->Height(), v.height);
    }
    // The fields' starting texts, top down; the first one has the focus.
    const std::vector<std::pair<glow::GlowTextFieldWidget*, const char*>> fields = {
        {gui->inputPathField, "input.seq"},       {gui->conscienceRateField, "0.001"},
        {gui->kohonenRateField, "0.04"},          {gui->epochsField, "100"},
        {gui->convergenceThresholdField, "0.25"}, {gui->ratioField, "0.25"},
    };
    int y = -1;
    for (const auto& f : fields) {
        EXPECT_STREQ(f.first->GetText(), f.second);
        EXPECT_GT(f.first->PositionY(), y);
        y = f.first->PositionY();
    }
    EXPECT_TRUE(gui->inputPathField->HasKeyboardFocus());
    EXPECT_STREQ(gui->GetInputPath(), "input.seq");
    EXPECT_STREQ(gui->forceBifurcationCheckBox->GetText(), "Force Bifircation");
    EXPECT_STREQ(gui->observeRatioCheckBox->GetText(), "Observe Transvertion/Transition Ratio");
    EXPECT_EQ(gui->distanceMetricGroup->GetCurrentButton(), gui->jukesCantorButton);
    // The buttons in their order down the column.
    EXPECT_STREQ(gui->openButton->GetText(), "Open Input File");
    EXPECT_STREQ(gui->runButton->GetText(), "Run Analysis");
    EXPECT_STREQ(gui->quitButton->GetText(), "Quit");
    EXPECT_LT(gui->openButton->PositionY(), gui->conscienceRateField->PositionY());
    EXPECT_GT(gui->runButton->PositionY(), gui->distanceMetricGroup->PositionY());
    EXPECT_GT(gui->quitButton->PositionY(), gui->runButton->PositionY());
}

TEST_F(GuiTest, OpenInputFileAnswersInAMessageWindow) {
    const std::string good = dir.write("good.seq", kFiveTaxa);
    const std::string missing = dir.path("missing.seq");
    const std::string folder = dir.path("folder");
    std::filesystem::create_directory(folder);
    struct {
        std::string field;
        Shown shown;
        std::string pathAfter;
    } cases[] = {
        {"", {"Error Message", "Enter a Path"}, ""},
        {missing, {"Error Message", "Invalid Path"}, ""},
        {good, {"Success Message", "File Opened"}, good},
        // A failure keeps the path of the last success; a folder is no file.
        {missing, {"Error Message", "Invalid Path"}, good},
        {folder, {"Error Message", "Invalid Path"}, good},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        OpenInput(c.field);
        EXPECT_EQ(glow::Glow::ModalCount(), 1);
        // Every answer stands at (100, 100) on the screen.
        glow::GlowWindow* shown = glow::Glow::ModalTop();
        ASSERT_TRUE(glowtest::WaitUntilMapped(shown));
        EXPECT_EQ(shown->GlobalX(), 100);
        EXPECT_EQ(shown->GlobalY(), 100);
        EXPECT_EQ(TakeMessages(), std::vector<Shown>{c.shown});
        EXPECT_EQ(module->input_path, c.pathAfter);
    }
    // The path is a copy: editing the field afterwards changes nothing.
    gui->inputPathField->SetText("elsewhere");
    EXPECT_EQ(module->input_path, good);

    gui->SetAnalysisModule(nullptr);
    OpenInput(good);
    EXPECT_EQ(TakeMessages(), (std::vector<Shown>{{"Error Message", "??"}}));
    Click(gui->runButton);
    EXPECT_EQ(TakeMessages(), (std::vector<Shown>{{"Error Message", "??"}}));
    gui->SetAnalysisModule(module.get());
}

TEST_F(GuiTest, RunsThatCannotStartAreRefused) {
    const std::string good = dir.write("good.seq", kFiveTaxa);
    const std::string blocked = dir.write("blocked.seq", kFiveTaxa);
    std::filesystem::create_directory(blocked + ".tre");
    struct {
        const char* what;
        std::string input;  // opened first, unless empty
        glow::GlowTextFieldWidget* GUI::*field;
        const char* value;
        std::string text;
    } cases[] = {
        {"no input yet", "", nullptr, nullptr, "Open an input file first"},
        {"epochs", good, &GUI::epochsField, "abc", "Error: epochs must be at least 1, not 0"},
        {"conscience", good, &GUI::conscienceRateField, "1",
         "Error: conscience_learning_rate must be at least 0 and below 1, not 1"},
        {"kohonen", good, &GUI::kohonenRateField, "-2",
         "Error: kohonen_learning_rate must be a finite number of at least 0, not -2"},
        {"threshold", good, &GUI::convergenceThresholdField, "inf",
         "Error: convergence_threshold must be a finite number, not inf"},
        {"tree file", blocked, nullptr, nullptr,
         "Error: Output file " + blocked + ".tre could not be created"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.input.empty()) OpenFile(c.input);
        std::string before;
        if (c.field != nullptr) {
            before = (gui.get()->*c.field)->GetText();
            (gui.get()->*c.field)->SetText(c.value);
        }
        Click(gui->runButton);
        EXPECT_FALSE(gui->analysisThread.IsRunning());
        EXPECT_EQ(TakeMessages(), (std::vector<Shown>{{"Error Message", c.text}}));
        if (c.field != nullptr) (gui.get()->*c.field)->SetText(before.c_str());
    }
    EXPECT_FALSE(file_exists(good + ".tre"));
}

TEST_F(GuiTest, RunTakesThePaletteSettingsAndAppendsTheBatchLine) {
    const std::string input = Opened("five.seq", kFiveTaxa);
    // Before any change: JC, the rates 0.001 and 0.04, 100 epochs, 0.25.
    Click(gui->runButton);
    EXPECT_TRUE(gui->analysisThread.IsRunning());
    EXPECT_EQ(module->distance_metric, find_distance_model(CharString("JC")));
    EXPECT_EQ(module->conscience_learning_rate, 0.001);
    EXPECT_EQ(module->kohonen_learning_rate, 0.04);
    EXPECT_EQ(module->epochs, 100);
    EXPECT_EQ(module->convergence_threshold, 0.25);
    EXPECT_EQ(module->output_path, input + ".tre");
    ASSERT_TRUE(WaitForRun());
    EXPECT_TRUE(TakeMessages().empty());
    const std::string jc = BatchLine(input, "JC");
    EXPECT_EQ(lines_of(read_file(input + ".tre")), std::vector<std::string>{jc});
    EXPECT_EQ(NewickOf(gui->treeSubWindow->viewer->tree->root) + ";", jc);

    // Each button gives its model; numbers are read as atof and atoi read
    // them; the check boxes and the ratio field are read by nothing.
    Click(gui->forceBifurcationCheckBox);
    Click(gui->observeRatioCheckBox);
    gui->ratioField->SetText("nonsense");
    gui->conscienceRateField->SetText("0.5x");
    gui->epochsField->SetText(" 7 epochs");
    const struct {
        glow::GlowRadioButtonWidget* button;
        const char* model;
    } models[] = {{gui->euclidianButton, "Euclidian"},
                  {gui->f81Button, "F81"},
                  {gui->f84Button, "F84"},
                  {gui->k2pButton, "K2P"}};
    for (const auto& m : models) {
        SCOPED_TRACE(m.model);
        Click(m.button);
        ASSERT_EQ(gui->distanceMetricGroup->GetCurrentButton(), m.button);
        Click(gui->runButton);
        EXPECT_EQ(module->distance_metric, find_distance_model(CharString(m.model)));
        EXPECT_EQ(module->conscience_learning_rate, 0.5);
        EXPECT_EQ(module->epochs, 7);
        ASSERT_TRUE(WaitForRun());
        EXPECT_TRUE(TakeMessages().empty());
    }
    EXPECT_EQ(lines_of(read_file(input + ".tre")).size(), 5u);
}

TEST_F(GuiTest, OneRunAtATime) {
    const std::string input = Opened("five.seq", kFiveTaxa);
    // Without pumping in between, the first run is still under way for the
    // window: its thread is joined only by the main loop.
    Click(gui->runButton);
    ASSERT_TRUE(gui->analysisThread.IsRunning());
    const std::vector<Shown> running = {{"Error Message", "An analysis is already running"}};
    Click(gui->runButton);
    EXPECT_EQ(TakeMessages(), running);
    // Nor may the path change under the run.
    OpenInput(dir.write("other.seq", kFour));
    EXPECT_EQ(TakeMessages(), running);
    EXPECT_EQ(module->input_path, input);
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(lines_of(read_file(input + ".tre")).size(), 1u);
    // Once joined, the next run starts.
    Click(gui->runButton);
    ASSERT_TRUE(WaitForRun());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(lines_of(read_file(input + ".tre")).size(), 2u);
}

TEST_F(GuiTest, EachRunDrawsOnlyItsOwnTreeAndTheChartGoesOn) {
    const std::string five = dir.write("five.seq", kFiveTaxa);
    const std::string four = dir.write("four.seq", kFour);
    OpenFile(five);
    Click(gui->runButton);
    ASSERT_TRUE(WaitForRun());
    const long long values = gui->convergenceSubWindow->Values().Count();
    EXPECT_GT(values, 0);
    OpenFile(four);
    Click(gui->runButton);
    ASSERT_TRUE(WaitForRun());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(NewickOf(gui->treeSubWindow->viewer->tree->root) + ";", BatchLine(four, "JC"));
    EXPECT_GT(gui->convergenceSubWindow->Values().Count(), values);
}

TEST_F(GuiTest, ErrorsOfARunEndInAMessageWindowAndTheWindowGoesOn) {
    const std::string bad = dir.write("bad.seq", "2 4\na ACGT\nb ACXT\n");
    const std::string truncated = dir.write("short.seq", "3 4\na ACGT\nb ACGA\n");
    const std::string good = dir.write("good.seq", kFiveTaxa);
    struct {
        std::string input;
        std::string text;
    } cases[] = {
        {bad, "UNKNOWN BASE: X"},
        {truncated, "Error: File ends after 2 of 3 taxa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        OpenFile(c.input);
        Click(gui->runButton);
        ASSERT_TRUE(WaitForRun());
        EXPECT_EQ(TakeMessages(), (std::vector<Shown>{{"Error Message", c.text}}));
        EXPECT_EQ(read_file(c.input + ".tre"), "");
    }
    OpenFile(good);
    Click(gui->runButton);
    ASSERT_TRUE(WaitForRun());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(lines_of(read_file(good + ".tre")).size(), 1u);
}

TEST_F(GuiTest, AnMpiGroupServesOneRun) {
    CloseMessages();
    delete gui->mainWindow;
    gui.reset();
    Make(std::make_unique<AnalysisModule>(0, std::make_unique<LoneGroup>()));
    const std::string input = dir.write("five.seq", kFiveTaxa);
    // A refusal before the run does not use the group's one run up.
    Click(gui->runButton);
    EXPECT_EQ(TakeMessages(), (std::vector<Shown>{{"Error Message", "Open an input file first"}}));
    OpenFile(input);
    Click(gui->runButton);
    ASSERT_TRUE(WaitForRun());
    EXPECT_TRUE(TakeMessages().empty());
    Click(gui->runButton);
    EXPECT_FALSE(gui->analysisThread.IsRunning());
    EXPECT_EQ(TakeMessages(),
              (std::vector<Shown>{
                  {"Error Message", "The MPI group serves one run; restart to run again"}}));
    EXPECT_EQ(lines_of(read_file(input + ".tre")).size(), 1u);
}

// One row of the settings column as a user reads it: the kind of control
// and its text; a radio group lists its buttons.
std::string RowText(glow::GlowWidget* row) {
    if (auto* f = dynamic_cast<glow::GlowLabeledTextFieldWidget*>(row)) {
        // The field's own label stays empty: the row above labels it.
        return std::string("field ") + f->GetText() + "|" + f->Label()->GetText();
    }
    if (auto* l = dynamic_cast<glow::GlowLabelWidget*>(row))
        return std::string("label ") + l->GetText();
    if (auto* b = dynamic_cast<glow::GlowPushButtonWidget*>(row))
        return std::string("button ") + b->GetText();
    if (auto* c = dynamic_cast<glow::GlowCheckBoxWidget*>(row))
        return std::string("check box ") + c->GetText();
    if (dynamic_cast<glow::GlowQuickRadioGroupWidget*>(row) != nullptr) {
        std::string text = "radio group";
        for (glow::GlowComponent* c = row->FirstChild(); c != nullptr; c = c->Next())
            text += std::string(" / ") + static_cast<glow::GlowRadioButtonWidget*>(c)->GetText();
        return text;
    }
    return "?";
}

TEST_F(GuiTest, TheSettingsColumnStacksItsRowsWithinItsMargins) {
    constexpr int kMargin = 10;
    constexpr int kSpacing = 8;
    constexpr int kGroupSpacing = 3;
    constexpr int kFieldWidth = 100;
    const std::vector<std::string> expected = {
        "label Input File Path:",
        "field input.seq|",
        "button Open Input File",
        "label Conscience Learning Rate:",
        "field 0.001|",
        "label Kohonen Learning Rate:",
        "field 0.04|",
        "label Starting Epochs:",
        "field 100|",
        "label Convergence Threshold:",
        "field 0.25|",
        "check box Force Bifircation",
        "check box Observe Transvertion/Transition Ratio",
        "label Transvertion/Transition Ratio:",
        "field 0.25|",
        "label Distance Metric:",
        "radio group / Jukes Cantor / Felsenstein, 1981 / Felsenstein, 1984 / K2P / Euclidian",
        "button Run Analysis",
        "button Quit",
    };
    const glow::GlowWidget* panel = gui->palette->QuickPanel();
    EXPECT_EQ(panel->PositionX(), 0);
    EXPECT_EQ(panel->PositionY(), 0);
    std::vector<std::string> rows;
    int y = kMargin;
    for (glow::GlowComponent* c = panel->FirstChild(); c != nullptr; c = c->Next()) {
        auto* row = static_cast<glow::GlowWidget*>(c);
        rows.push_back(RowText(row));
        SCOPED_TRACE(rows.back());
        // Flush with the left margin, one spacing under the row above.
        EXPECT_EQ(row->PositionX(), kMargin);
        EXPECT_EQ(row->PositionY(), y);
        y += row->Height() + kSpacing;
        if (rows.back().rfind("field ", 0) == 0) {
            EXPECT_EQ(row->Width(), kFieldWidth);
        }
    }
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(panel->Height(), y - kSpacing + kMargin);
    // The group stacks its buttons from its own top left.
    int by = 0;
    for (glow::GlowComponent* c = gui->distanceMetricGroup->FirstChild(); c != nullptr;
         c = c->Next()) {
        auto* button = static_cast<glow::GlowWidget*>(c);
        EXPECT_EQ(button->PositionX(), 0);
        EXPECT_EQ(button->PositionY(), by);
        by += button->Height() + kGroupSpacing;
    }
    EXPECT_EQ(gui->distanceMetricGroup->Height(), by - kGroupSpacing);
}

// A run on one taxon turns the root into that leaf; the next run starts
// from a root labelled "root" again, and a run that fails shows nothing of
// the tree before it.
TEST_F(GuiTest, EveryRunStartsFromAFreshTree) {
    const std::string one = dir.write("one.seq", "1 4\nsolo ACGT\n");
    const std::string five = dir.write("five.seq", kFiveTaxa);
    const std::string bad = dir.write("bad.seq", "2 4\na ACGT\nb ACXT\n");
    const auto root = [this] { return gui->treeSubWindow->viewer->tree->root; };
    const auto drawsLines = [this] {
        const std::vector<guitest::Drawn> drawn = guitest::PaintFeedback(gui->treeSubWindow);
        return std::any_of(drawn.begin(), drawn.end(),
                           [](const guitest::Drawn& d) { return d.kind == guitest::Drawn::line; });
    };
    struct {
        std::string input;
        std::string label;
        std::string tree;
        bool lines;
        std::vector<Shown> shown;
    } cases[] = {
        {one, "solo", "solo", false, {}},
        {five, "root", BatchLine(five, "JC"), true, {}},
        {bad, "root", "root", false, {{"Error Message", "UNKNOWN BASE: X"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        OpenFile(c.input);
        Click(gui->runButton);
        ASSERT_TRUE(WaitForRun());
        EXPECT_EQ(TakeMessages(), c.shown);
        EXPECT_EQ(root()->label.c_str(), c.label);
        EXPECT_EQ(NewickOf(root()) + (c.lines ? ";" : ""), c.tree);
        EXPECT_EQ(drawsLines(), c.lines);
    }
}

}  // namespace
