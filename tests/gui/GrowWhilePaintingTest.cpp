// The analysis thread grows the tree and fills the chart while the main-loop
// thread paints them: under ThreadSanitizer this reports every unguarded
// access; in every build the final tree must be whole.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysisfrontend.h"
#include "analysis/analysismodule.h"
#include "analysis/seqvector.h"
#include "gui/ConvergenceSubWindow.h"
#include "gui/TreeSubWindow.h"
#include "gui/TreeViewer.h"
#include "gui/treegraphic.h"
#include "tests/analysis/testsupport.h"
#include "tests/gui/FrontEndLayout.h"

using guitest::FrontEndLayout;
using guitest::NewickOf;

namespace {

// Paints both subwindows and runs the main loop until done() holds: the
// main-loop thread's side of a run.
void PaintUntil(FrontEndLayout& layout, const std::function<bool()>& done,
                std::atomic<int>& paints) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        for (glow::GlowSubwindow* w : {static_cast<glow::GlowSubwindow*>(layout.tree),
                                       static_cast<glow::GlowSubwindow*>(layout.chart)}) {
            glutSetWindow(w->WindowId());
            w->PaintTree();
        }
        ++paints;
        glowtest::Pump(2);
    }
}

// Grows a tree the way the bipartition does: a group of one taxon becomes a
// named leaf, two taxa two leaves, more a split whose halves recurse; every
// step adds a chart value and asks for redisplays from this thread.
class Grower {
public:
    Grower(FrontEndLayout& layout, std::atomic<int>& paints, int taxa)
        : layout_(layout), paints_(paints) {
        for (int i = 0; i < taxa; ++i) {
            taxa_.push_back(std::make_unique<SeqVector>());
            taxa_.back()->name = ("t" + std::to_string(i)).c_str();
        }
    }

    void Run() { Grow(layout_.tree->viewer->tree->root, 0, static_cast<int>(taxa_.size()), 0); }

private:
    void Grow(TreeNode* node, int first, int n, int depth) {
        TreeGraphic* tree = layout_.tree->viewer->tree;
        layout_.chart->AddValue(n % 100);
        layout_.chart->Refresh();
        if (n == 1) {
            tree->MakeLeaf(node, taxa_[first].get());
            return;
        }
        if (n == 2) {
            tree->AddLeaves(node, taxa_[first]->name, taxa_[first + 1]->name);
            layout_.tree->Refresh();
            return;
        }
        TreeNode** children = nullptr;
        tree->Split(node, &children, 2, depth);
        layout_.tree->Refresh();
        // Now and then wait for a paint, so that growing and painting overlap.
        if (++splits_ % 64 == 0) {
            const int seen = paints_.load();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (paints_.load() == seen && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
        }
        Grow(children[0], first, n / 2, depth + 1);
        Grow(children[1], first + n / 2, n - n / 2, depth + 1);
    }

    FrontEndLayout& layout_;
    std::atomic<int>& paints_;
    std::vector<std::unique_ptr<SeqVector>> taxa_;
    int splits_ = 0;
};

// The engine's calls into the window, as the front end routes them.
class WindowFrontEnd : public AnalysisFrontEnd {
public:
    explicit WindowFrontEnd(FrontEndLayout& layout) : layout_(layout) {}

    TreeNode* tree_root() override { return Tree()->root; }
    void add_leaves(TreeNode* node, const CharString& first, const CharString& second) override {
        Tree()->AddLeaves(node, first, second);
        layout_.tree->Refresh();
    }
    void make_leaf(TreeNode* node, SeqVector* taxon) override { Tree()->MakeLeaf(node, taxon); }
    void split(TreeNode* node, TreeNode*** children, int count, int depth) override {
        Tree()->Split(node, children, count, depth);
        layout_.tree->Refresh();
    }
    void add_value(int value) override {
        layout_.chart->AddValue(value);
        layout_.chart->Refresh();
    }

private:
    TreeGraphic* Tree() { return layout_.tree->viewer->tree; }
    FrontEndLayout& layout_;
};

// A sequence file of random taxa, the same at every run.
std::string RandomSequences(int taxa, int length) {
    std::mt19937 random(7);
    std::ostringstream file;
    file << taxa << " " << length << "\n";
    for (int i = 0; i < taxa; ++i) {
        file << "taxon" << i << " ";
        for (int j = 0; j < length; ++j) file << "ACGT"[random() % 4];
        file << "\n";
    }
    return file.str();
}

}  // namespace

TEST(GrowWhilePainting, ThousandsOfNodesTwiceOver) {
    FrontEndLayout layout;
    std::atomic<int> paints{0};
    constexpr int kTaxa = 2048;
    // Two runs: the second splits the root again and frees the first tree
    // while the paints go on.
    for (int run = 0; run < 2; ++run) {
        Grower grower(layout, paints, kTaxa);
        std::atomic<bool> done{false};
        std::thread analysis([&] {
            grower.Run();
            done = true;
        });
        PaintUntil(
            layout, [&] { return done.load(); }, paints);
        analysis.join();
    }
    // A balanced tree of 2048 named leaves: ten levels of splits above the
    // pairs, and only the second run's nodes.
    const std::string newick = NewickOf(layout.tree->viewer->tree->root);
    EXPECT_EQ(newick.substr(0, 15), "(((((((((((t0,t");
    EXPECT_EQ(std::count(newick.begin(), newick.end(), ','), kTaxa - 1);
    EXPECT_EQ(std::count(newick.begin(), newick.end(), '('), kTaxa - 1);
    // One value per group: 1023 splits and 1024 pairs a run.
    EXPECT_EQ(layout.chart->Values().Count(), 2 * (kTaxa - 1));
    // The grower waited for a new paint after every 64 of its 1023 splits.
    EXPECT_GE(paints.load(), 2 * ((kTaxa / 2 - 1) / 64));
}

TEST(GrowWhilePainting, TheEngineGrowsTheTreeItWrites) {
    FrontEndLayout layout;
    WindowFrontEnd frontEnd(layout);
    TempDir dir;
    const std::string input = dir.write("input.txt", RandomSequences(24, 60));
    const std::string output = dir.path("out.tre");
    AnalysisModule module;
    ASSERT_TRUE(module.set_input_path(input).ok());
    ASSERT_TRUE(module.set_output_path(output).ok());
    module.gui = &frontEnd;
    std::atomic<int> paints{0};
    // Twice on one tree, as two presses of the run button would.
    for (int run = 0; run < 2; ++run) {
        std::atomic<bool> done{false};
        std::thread analysis([&] {
            AnalysisModule::run(&module);
            done = true;
        });
        PaintUntil(
            layout, [&] { return done.load(); }, paints);
        analysis.join();
    }
    const std::vector<std::string> lines = lines_of(read_file(output));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], NewickOf(layout.tree->viewer->tree->root) + ";");
    EXPECT_GT(layout.chart->Values().Count(), 24);
}
