// The displayed tree as a data structure: where its operations put nodes,
// what they replace and free, what a refused allocation leaves, and the
// check of an edge without ends.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "analysis/seqvector.h"
#include "gui/TreeViewer.h"
#include "gui/treegraphic.h"
#include "tests/glow/support/FailingAllocation.h"

namespace {

// Positions are stored through single precision.
double F(double v) {
    return static_cast<float>(v);
}

struct Point {
    double x;
    double y;
};

void ExpectAt(const TreeNode* node, Point p) {
    EXPECT_EQ(node->x, F(p.x));
    EXPECT_EQ(node->y, F(p.y));
}

// A node of its own tree at (x, y), for growing in isolation.
struct LoneTree {
    LoneTree(float x, float y) : tree(new TreeNode(CharString("n"), x, y)) {}
    TreeGraphic tree;
};

}  // namespace

TEST(TreeGraphic, FreshTreeIsTheRootAlone) {
    TreeViewer viewer(nullptr);
    ASSERT_NE(viewer.tree, nullptr);
    const TreeNode* root = viewer.tree->root;
    EXPECT_STREQ(root->label.c_str(), "root");
    ExpectAt(root, {0, 1});
    EXPECT_EQ(root->numChildren, 0);
}

TEST(TreeGraphic, SplitPlacesTwoChildrenBelowAtADepthSpread) {
    struct Case {
        Point node;
        int depth;
        Point left, right;
    };
    // clang-format off
    const Case cases[] = {
        {{0, 1},    0, {-2, 0.5},         {2, 0.5}},
        {{-2, 0.5}, 1, {-3, 0},           {-1, 0}},
        {{-3, 0},   2, {-3 - 2.0 / 3, -0.5}, {-3 + 2.0 / 3, -0.5}},
        {{1, -1},   3, {0.5, -1.5},       {1.5, -1.5}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth);
        LoneTree lone(static_cast<float>(c.node.x), static_cast<float>(c.node.y));
        TreeNode* node = lone.tree.root;
        TreeNode** children = nullptr;
        lone.tree.Split(node, &children, 2, c.depth);
        ASSERT_EQ(node->numChildren, 2);
        ASSERT_NE(children, nullptr);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(node->edges[i].parent, node);
            EXPECT_EQ(node->edges[i].child, children[i]);
            EXPECT_STREQ(children[i]->label.c_str(), "");
            EXPECT_EQ(children[i]->numChildren, 0);
        }
        ExpectAt(children[0], c.left);
        ExpectAt(children[1], c.right);
        EXPECT_STREQ(node->label.c_str(), "n");
    }
}

TEST(TreeGraphic, SplitCountsOtherThanTwo) {
    struct Case {
        int count;
        int children;
    };
    // Only the first two children are placed; more stay at (0, 0); a count
    // below 0 gives no children rather than a bad allocation.
    const Case cases[] = {{0, 0}, {1, 1}, {3, 3}, {-4, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "count " << c.count);
        LoneTree lone(0, 1);
        TreeNode** children = nullptr;
        lone.tree.Split(lone.tree.root, &children, c.count, 0);
        EXPECT_EQ(lone.tree.root->numChildren, c.children);
        if (c.children > 0) ExpectAt(children[0], {-2, 0.5});
        if (c.children > 1) ExpectAt(children[1], {2, 0.5});
        if (c.children > 2) ExpectAt(children[2], {0, 0});
    }
}

TEST(TreeGraphic, AddLeavesPutsTheFirstNameRightAndTheSecondLeft) {
    LoneTree lone(2, 0.5);
    TreeNode* node = lone.tree.root;
    lone.tree.AddLeaves(node, CharString("a"), CharString("b"));
    ASSERT_EQ(node->numChildren, 2);
    const TreeNode* a = node->edges[0].child;
    const TreeNode* b = node->edges[1].child;
    EXPECT_STREQ(a->label.c_str(), "a");
    EXPECT_STREQ(b->label.c_str(), "b");
    ExpectAt(a, {2.2, -0.3});
    ExpectAt(b, {1.8, -0.3});
    EXPECT_EQ(node->edges[0].parent, node);
    EXPECT_EQ(node->edges[1].parent, node);
    EXPECT_EQ(a->numChildren, 0);
    EXPECT_STREQ(node->label.c_str(), "n");
}

TEST(TreeGraphic, MakeLeafNamesTheNodeAndDropsItsChildren) {
    LoneTree lone(0, 1);
    TreeNode* node = lone.tree.root;
    SeqVector taxon;
    taxon.name = "Homo_sapiens";
    // A fresh node, and one that had a subtree (freed: the sanitizer build
    // reports a leak otherwise).
    lone.tree.MakeLeaf(node, &taxon);
    EXPECT_STREQ(node->label.c_str(), "Homo_sapiens");
    EXPECT_EQ(node->numChildren, 0);

    TreeNode** children = nullptr;
    lone.tree.Split(node, &children, 2, 0);
    lone.tree.AddLeaves(children[1], CharString("x"), CharString("y"));
    taxon.name = "Pan";
    lone.tree.MakeLeaf(node, &taxon);
    EXPECT_STREQ(node->label.c_str(), "Pan");
    EXPECT_EQ(node->numChildren, 0);
    EXPECT_EQ(node->edges, nullptr);
}

TEST(TreeGraphic, SplittingAgainReplacesAndFreesTheOldSubtree) {
    // Two runs on one tree: the second split of the root replaces all that the
    // first run grew. Whatever is not freed shows as a leak in the sanitizer
    // build.
    TreeViewer viewer(nullptr);
    TreeGraphic* tree = viewer.tree;
    TreeNode* root = tree->root;
    TreeNode** first = nullptr;
    tree->Split(root, &first, 2, 0);
    TreeNode** second = nullptr;
    tree->Split(first[0], &second, 2, 1);
    tree->AddLeaves(second[0], CharString("a"), CharString("b"));
    tree->AddLeaves(first[1], CharString("c"), CharString("d"));

    TreeNode** again = nullptr;
    tree->Split(root, &again, 2, 0);
    ASSERT_EQ(root->numChildren, 2);
    EXPECT_EQ(root->edges[0].child, again[0]);
    EXPECT_EQ(root->edges[1].child, again[1]);
    EXPECT_EQ(again[0]->numChildren, 0);
    EXPECT_EQ(again[1]->numChildren, 0);
    ExpectAt(again[0], {-2, 0.5});

    // Leaves replace a split's children too, and the reverse.
    tree->AddLeaves(root, CharString("e"), CharString("f"));
    EXPECT_STREQ(root->edges[0].child->label.c_str(), "e");
    tree->Split(root, &again, 2, 0);
    EXPECT_STREQ(root->edges[0].child->label.c_str(), "");
}

TEST(TreeGraphic, ResetTreeStartsAgainFromTheRoot) {
    TreeViewer viewer(nullptr);
    TreeNode** children = nullptr;
    viewer.tree->Split(viewer.tree->root, &children, 2, 0);
    viewer.tree->AddLeaves(children[0], CharString("a"), CharString("b"));
    viewer.ResetTree();
    const TreeNode* root = viewer.tree->root;
    EXPECT_STREQ(root->label.c_str(), "root");
    ExpectAt(root, {0, 1});
    EXPECT_EQ(root->numChildren, 0);
}

TEST(TreeGraphic, ADeepTreeIsFreedWithoutRecursion) {
    // A chain as deep as the engine's call limit allows: freed with the tree.
    TreeViewer viewer(nullptr);
    TreeNode* node = viewer.tree->root;
    for (int depth = 0; depth < 100000; ++depth) {
        TreeNode** children = nullptr;
        viewer.tree->Split(node, &children, 2, depth);
        node = children[0];
    }
    viewer.ResetTree();
    EXPECT_EQ(viewer.tree->root->numChildren, 0);
}

namespace {

// The tree below `node` in pre-order: each node's label and child count,
// after checking that every edge leads from its node to a child.
std::string Shape(const TreeNode* node) {
    std::string shape = std::string(node->label.c_str()) + "/" + std::to_string(node->numChildren);
    for (int i = 0; i < node->numChildren; ++i) {
        const TreeEdge& edge = node->edges[i];
        EXPECT_EQ(edge.parent, node);
        if (edge.parent != node || edge.child == nullptr) return shape + " broken";
        shape += " (" + Shape(edge.child) + ")";
    }
    return shape;
}

// A tree as a run leaves it part grown: the root split, its first child
// given two leaves, its second child still without children.
struct GrownTree {
    GrownTree() : viewer(nullptr) {
        TreeNode** children = nullptr;
        viewer.tree->Split(viewer.tree->root, &children, 2, 0);
        viewer.tree->AddLeaves(children[0], CharString("a"), CharString("b"));
        open = children[1];
    }
    TreeViewer viewer;
    TreeNode* open;
};

}  // namespace

// Memory that runs out at any allocation of an operation on the tree: the
// operation throws std::bad_alloc and leaves the tree as it was, whole; the
// sanitizer build reports anything it allocated and lost on the way as a
// leak (this test keeps leak detection on).
TEST(TreeGraphicAllocationTest, ARefusalAtAnyAllocationLeavesTheTreeWholeAndLosesNothing) {
    SeqVector taxon;
    taxon.name = "Homo_sapiens_neanderthalensis";
    struct Case {
        const char* what;
        std::function<void(GrownTree&)> operation;
    };
    const std::vector<Case> cases = {
        {"split a node without children",
         [](GrownTree& t) {
             TreeNode** children = nullptr;
             t.viewer.tree->Split(t.open, &children, 2, 1);
         }},
        {"split a node into three",
         [](GrownTree& t) {
             TreeNode** children = nullptr;
             t.viewer.tree->Split(t.open, &children, 3, 1);
         }},
        {"split the root again",
         [](GrownTree& t) {
             TreeNode** children = nullptr;
             t.viewer.tree->Split(t.viewer.tree->root, &children, 2, 0);
         }},
        {"leaves for a node without children",
         [](GrownTree& t) { t.viewer.tree->AddLeaves(t.open, CharString("c"), CharString("d")); }},
        {"leaves in place of the root's subtree",
         [](GrownTree& t) {
             t.viewer.tree->AddLeaves(t.viewer.tree->root, CharString("c"), CharString("d"));
         }},
        {"the root made a leaf",
         [&taxon](GrownTree& t) { t.viewer.tree->MakeLeaf(t.viewer.tree->root, &taxon); }},
        {"a fresh tree", [](GrownTree& t) { t.viewer.ResetTree(); }},
    };
    for (const Case& c : cases) {
        for (int passing = 0;; ++passing) {
            SCOPED_TRACE(testing::Message()
                         << c.what << ", allocation " << passing + 1 << " refused");
            GrownTree grown;
            const std::string before = Shape(grown.viewer.tree->root);
            bool refused = false;
            glowtest::FailThisThreadsAllocationAfter(passing);
            try {
                c.operation(grown);
            } catch (const std::bad_alloc&) {
                refused = true;
            }
            glowtest::StopFailingAllocations();
            if (!refused) {
                EXPECT_NE(Shape(grown.viewer.tree->root), before);
                break;
            }
            EXPECT_EQ(Shape(grown.viewer.tree->root), before);
            // A refused operation can be made again once memory is back.
            c.operation(grown);
            EXPECT_NE(Shape(grown.viewer.tree->root), before);
        }
    }
}

TEST(TreeGraphicDeathTest, AnEdgeWithoutAnEndFailsItsCheck) {
    TreeNode node(CharString("n"), 0, 0);
    struct Case {
        TreeEdge edge;
        const char* message;
    };
    const Case cases[] = {
        {TreeEdge(nullptr, &node), "Assertion failed: parent != NULL, file treegraphic, line 50\n"},
        {TreeEdge(&node, nullptr), "Assertion failed: child != NULL, file treegraphic, line 51\n"},
        {TreeEdge(), "Assertion failed: parent != NULL, file treegraphic, line 50\n"},
    };
    for (const Case& c : cases)
        EXPECT_EXIT(c.edge.Draw(), testing::ExitedWithCode(3), std::string("^") + c.message + "$");
}

TEST(TreeGraphicDeathTest, ANodeGivenACountButNoChildrenFailsWhenDrawn) {
    TreeNode node(CharString(""), 0, 0, 2);
    EXPECT_EXIT(node.Draw(), testing::ExitedWithCode(3),
                "^Assertion failed: parent != NULL, file treegraphic, line 50\n$");
}
