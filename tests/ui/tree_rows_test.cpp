#include "support/test_support.h"
#include "ui/tree_rows.h"

#include <gtest/gtest.h>

using namespace qm;
using ui::tree_rows;

namespace {

// a
//   a1
//     a11
//   a2
// b
//   b1
tree_rows sample()
{
    tree_rows t;
    t.set_nodes({{"a", 0}, {"a1", 1}, {"a11", 2}, {"a2", 1}, {"b", 0}, {"b1", 1}});
    return t;
}

QStringList shown(const tree_rows& t)
{
    QStringList out;
    for (int r = 0; r < t.row_count(); ++r)
        out << t.node_at_row(r)->key;
    return out;
}

}  // namespace

TEST(tree_rows, collapsedNodesHideEverythingBelowThem)
{
    tree_rows t = sample();
    EXPECT_EQ(shown(t), (QStringList{"a", "b"}));
    t.set_expanded("a", true);
    EXPECT_EQ(shown(t), (QStringList{"a", "a1", "a2", "b"}));
    EXPECT_TRUE(t.expandable_row(1));
    EXPECT_FALSE(t.expandable_row(2));
    EXPECT_EQ(t.level_of_row(1), 1);
}

struct command_case {
    const char* name;
    std::function<void(tree_rows&)> act;
    QStringList expected;
};

class tree_commands : public ::testing::TestWithParam<command_case> {};

TEST_P(tree_commands, expandAndCollapseWithTheirChildrenAndAllForms)
{
    tree_rows t = sample();
    GetParam().act(t);
    EXPECT_EQ(shown(t), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    tree_rows, tree_commands,
    ::testing::Values(
        command_case{"expandOne", [](tree_rows& t) { t.expand({0}, false); }, {"a", "a1", "a2", "b"}},
        command_case{"expandChildren", [](tree_rows& t) { t.expand({0}, true); }, {"a", "a1", "a11", "a2", "b"}},
        command_case{"expandAll", [](tree_rows& t) { t.expand_all(); }, {"a", "a1", "a11", "a2", "b", "b1"}},
        command_case{"collapseALeafClosesItsParent",
                     [](tree_rows& t) {
                         t.expand_all();
                         t.collapse({3}, false);  // a2 cannot be collapsed: a closes
                     },
                     {"a", "b", "b1"}},
        command_case{"collapseChildrenKeepsItClosedBelow",
                     [](tree_rows& t) {
                         t.expand_all();
                         t.collapse({0}, true);
                         t.expand({0}, false);
                     },
                     {"a", "a1", "a2", "b", "b1"}},
        command_case{"collapseAll",
                     [](tree_rows& t) {
                         t.expand_all();
                         t.collapse_all();
                     },
                     {"a", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(tree_rows, expansionSurvivesASaveAndLoadAndForgetsNodesThatAreGone)
{
    test::temp_folder folder;
    const QString file = folder.file("goal_tasks/expanded/7.ini");
    tree_rows t = sample();
    t.set_expanded("a", true);
    t.set_expanded("a1", true);
    t.set_expanded("gone", true);
    ASSERT_TRUE(t.save(file));
    tree_rows back;
    back.load(file);
    back.set_nodes(sample().nodes());
    EXPECT_EQ(shown(back), (QStringList{"a", "a1", "a11", "a2", "b"}));
    EXPECT_FALSE(back.is_expanded("gone"));
}

TEST(tree_rows, aHiddenNodeIsFoundThroughItsNearestShownAncestor)
{
    tree_rows t = sample();
    t.set_expanded("a", true);
    EXPECT_EQ(t.shown_row_of_key("a11"), 1);  // a1 is shown, a11 is not
    EXPECT_EQ(t.shown_row_of_key("b1"), 3);
    EXPECT_EQ(t.shown_row_of_key("missing"), -1);
}

TEST(tree_rows, levelsWithoutAParentAreClosedUp)
{
    tree_rows t;
    t.set_nodes({{"a", 0}, {"deep", 3}});
    EXPECT_EQ(t.nodes()[1].level, 1);
    EXPECT_EQ(t.nodes()[1].parent, 0);
}
