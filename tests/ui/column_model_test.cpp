#include "app/settings_document.h"
#include "ui/column_model.h"

#include <gtest/gtest.h>

using namespace qm;
using ui::column;
using ui::column_model;

namespace {

column_model three(double a, double b, double c)
{
    column_model m;
    m.columns = {{10, "A", true, a}, {11, "B", true, b}, {12, "C", true, c}};
    return m;
}

}  // namespace

TEST(column_model, proportionalSharesAreNormalised)
{
    struct row {
        double a, b, c;
        double ea, eb, ec;
    };
    const row cases[] = {
        {0.2, 0.2, 0.2, 1.0 / 3, 1.0 / 3, 1.0 / 3},
        {0.5, 0.49, 0.01, 0.481, 0.471, 0.048},
        {1.0, 0.0, 0.0, 0.909, 0.045, 0.045},
    };
    for (const auto& c : cases) {
        column_model m = three(c.a, c.b, c.c);
        m.normalise();
        EXPECT_NEAR(m.columns[0].width, c.ea, 0.001) << c.a;
        EXPECT_NEAR(m.columns[1].width, c.eb, 0.001) << c.b;
        EXPECT_NEAR(m.columns[2].width, c.ec, 0.001) << c.c;
    }
    // Thirty narrow columns cannot all keep 0.05: the rounds still end.
    column_model many;
    for (int i = 0; i < 30; ++i)
        many.columns.push_back({i, "x", true, i == 0 ? 1.0 : 0.0});
    many.normalise();
    SUCCEED();
}

TEST(column_model, showingScalesTheOthersAndHidingIsRefusedWhereItMust)
{
    column_model m;
    m.columns = {{1, "A", true, 0.5}, {2, "B", true, 0.5}, {3, "C", false, 0.25}, {4, "Locked", true, 100, -1, -1, true}};
    m.normalise();
    EXPECT_TRUE(m.show(3));
    EXPECT_NEAR(m.columns[0].width, 0.375, 1e-9);
    EXPECT_NEAR(m.columns[1].width, 0.375, 1e-9);
    EXPECT_NEAR(m.columns[2].width, 0.25, 1e-9);
    EXPECT_EQ(m.columns[2].ui_index, 3);
    EXPECT_FALSE(m.hide(4));  // locked

    column_model single;
    single.columns = {{1, "Only", true, 1.0}, {2, "Hidden", false, 0.5}};
    single.normalise();
    EXPECT_FALSE(single.hide(1));  // the only visible column
    EXPECT_TRUE(single.columns[0].visible);
}

TEST(column_model, titleClicksCycleTheSortOrder)
{
    struct row {
        bool allow_unsorted;
        std::vector<std::pair<int, bool>> after_each_click;  // sorting id, ascending
    };
    const row cases[] = {
        {false, {{1, true}, {1, false}, {1, true}}},
        {true, {{1, true}, {1, false}, {-1, true}, {1, true}}},
    };
    for (const auto& c : cases) {
        column_model m = three(0.3, 0.3, 0.4);
        m.columns[0].id = 1;
        m.allow_unsorted = c.allow_unsorted;
        for (const auto& [id, ascending] : c.after_each_click) {
            m.click_title(1);
            EXPECT_EQ(m.sorting_id, id);
            EXPECT_EQ(m.ascending, ascending);
        }
    }
    column_model m = three(0.3, 0.3, 0.4);
    m.click_title(11);
    m.click_title(11);
    m.click_title(12);  // another column: ascending again
    EXPECT_EQ(m.sorting_id, 12);
    EXPECT_TRUE(m.ascending);
}

TEST(column_model, layoutSplitsTheWidthBetweenFixedAndProportionalColumns)
{
    column_model m;
    m.columns = {{1, "Fixed", true, 96}, {2, "Half", true, 0.5}, {3, "Other half", true, 0.5}};
    m.normalise();
    const auto spans = m.layout(1096, 96);
    EXPECT_EQ(spans[0].left, 0);
    EXPECT_EQ(spans[0].right, 96);
    EXPECT_EQ(spans[1].left, 96);
    EXPECT_EQ(spans[1].right, 596);
    EXPECT_EQ(spans[2].right, 1096);
    const auto scaled = m.layout(1192, 192);  // twice the dots per inch: the fixed column doubles
    EXPECT_EQ(scaled[0].right, 192);
}

TEST(column_model, fixedColumnsGiveWayWhenTheyWouldCrowdOutTheProportionalOnes)
{
    column_model m;
    m.columns = {{1, "Task", true, 1.0}, {2, "A", true, 300}, {3, "B", true, 300}};
    m.normalise();
    // At 96 dpi in 1000 pixels they fit as they are.
    EXPECT_EQ(m.layout(1000, 96)[0].right, 400);
    // A large font (1.5 times the width) would leave the task column 100
    // pixels; the fixed ones shrink to two thirds of the list instead.
    const auto crowded = m.layout(1000, 144);
    EXPECT_GE(crowded[0].right - crowded[0].left, 333);
    EXPECT_EQ(crowded[2].right, 1000);
    EXPECT_NEAR(crowded[1].right - crowded[1].left, crowded[2].right - crowded[2].left, 1);
    // Fixed columns alone keep their width and leave the rest to the last one.
    column_model fixed;
    fixed.columns = {{1, "A", true, 600}, {2, "B", true, 600}};
    fixed.normalise();
    EXPECT_EQ(fixed.layout(1000, 96)[0].right, 600);
}

TEST(column_model, persistenceReadsOlderSortingIndexAndWritesSortingId)
{
    app::settings_document doc;
    app::settings_node& block = doc.block("list");
    app::set_int(block, "sorting_index", 2);
    app::set_int(block, "ascending", 0);
    app::settings_node& a = block.child_block("11");
    app::set_int(a, "visible", 0);

    column_model m = three(0.2, 0.2, 0.2);
    m.load(doc, "list");
    EXPECT_EQ(m.sorting_id, 12);
    EXPECT_FALSE(m.ascending);
    EXPECT_FALSE(m.columns[1].visible);
    EXPECT_EQ(m.columns[1].ui_index, -1);

    m.save(doc, "list");
    EXPECT_EQ(doc.get_int("list", "sorting_id", -5), 12);
    EXPECT_EQ(doc.get_int("list", "sorting_index", -5), -5);  // dropped

    column_model back = three(0.2, 0.2, 0.2);
    back.load(doc, "list");
    EXPECT_EQ(back.sorting_id, 12);
    EXPECT_FALSE(back.columns[1].visible);
    EXPECT_NEAR(back.columns[0].width, 0.5, 1e-9);

    // An unsorted list is ascending, whatever the file says.
    app::settings_document unsorted;
    app::set_int(unsorted.block("list"), "ascending", 0);
    column_model u = three(0.2, 0.2, 0.2);
    u.load(unsorted, "list");
    EXPECT_EQ(u.sorting_id, -1);
    EXPECT_TRUE(u.ascending);
}
