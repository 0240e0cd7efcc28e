#include "app/crash_handler.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace qm;

TEST(crash_report_name, skipsTakenNamesInOrder)
{
    struct row {
        int taken;  // how many names in the sequence already exist
        const char* expected;
    };
    const row cases[] = {
        {0, "/d/20261210.dmp"},    {1, "/d/20261210-a.dmp"},   {2, "/d/20261210-b.dmp"},
        {26, "/d/20261210-z.dmp"}, {27, "/d/20261210-26.dmp"}, {28, "/d/20261210-27.dmp"},
    };
    for (const auto& c : cases) {
        int asked = 0;
        const QString name = app::crash_report_name("/d/", "20261210", [&](const QString&) { return ++asked <= c.taken; });
        EXPECT_EQ(name.toStdString(), c.expected) << c.taken;
    }
}

TEST(crash_report_name, namesAreDistinctAndTheSearchEndsAfter1001Alternatives)
{
    QSet<QString> seen;
    const QString last = app::crash_report_name("/d/", "20261210", [&](const QString& name) {
        EXPECT_FALSE(seen.contains(name)) << name.toStdString();
        seen.insert(name);
        return true;  // every name is taken
    });
    // The plain name and the first 1000 alternatives are looked at; the
    // 1001st is used without looking.
    EXPECT_EQ(seen.size(), 1001);
    EXPECT_EQ(last, "/d/20261210-1000.dmp");
}
