// The displayed tree as a data structure: where its operations put nodes,
// what they replace and free, and the check of an edge without ends.
#include <gtest/gtest.h>

#include <string>

#include "analysis/seqvector.h"
#include "gui/TreeViewer.h"
#include "gui/treegraphic.h"

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
