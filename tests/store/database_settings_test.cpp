#include "store/database_settings.h"
#include "store/schema.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace qm;
using store::stored_version;

TEST(version_text, writesMinorWithTwoDigitsUnlessAsked)
{
    struct row {
        int major, minor;
        bool drop;
        const char* text;
    };
    const row cases[] = {
        {2, 90, false, "2.90"}, {2, 90, true, "2.9"}, {1, 3, false, "1.03"}, {1, 5, false, "1.05"},
        {1, 0, false, "1.0"},   {2, 61, true, "2.61"}, {1, 50, true, "1.5"}, {2, 81, false, "2.81"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(store::version_text(c.major, c.minor, c.drop).toStdString(), c.text);
    EXPECT_EQ(store::short_version_text(), "2.9");
    EXPECT_EQ(store::about_version_text(), "2.90 (Build: 4171)");
}

TEST(version_text, parsingReadsOneDigitMinorsAsTens)
{
    struct row {
        const char* text;
        stored_version expected;
    };
    const row cases[] = {
        {"2.90", {2, 90, 0}}, {"2.9", {2, 90, 0}},  {"1.5", {1, 50, 0}},   {"1.05", {1, 5, 0}},
        {"1.96c", {1, 96, 3}}, {"1.96a", {1, 96, 1}}, {"", {0, 0, 0}},      {"3", {3, 0, 0}},
        {"garbage", {0, 0, 5}}, {"2.99999999999999", {2, 9999999, 0}},
    };
    for (const auto& c : cases) {
        const stored_version v = store::parse_version(c.text);
        EXPECT_EQ(v.major, c.expected.major) << c.text;
        EXPECT_EQ(v.minor, c.expected.minor) << c.text;
        EXPECT_EQ(v.revision, c.expected.revision) << c.text;
    }
}

namespace {

struct settings_fixture : ::testing::Test {
    test::temp_folder folder;
    store::database db;
    test::fixed_clock clock{1773147600};  // 2026-03-10 13:00 UTC
    void SetUp() override
    {
        db.open(folder.file("s.db"));
        store::create_schema(db);
    }
    int rows() { return test::query(db, "SELECT COUNT(*) FROM DatabaseSettings")[0][0].toInt(); }
};

}  // namespace

TEST_F(settings_fixture, readOfAMissingKeyIsEmptyAndWriteReplaces)
{
    EXPECT_TRUE(store::read_setting(db, 5).isEmpty());
    store::write_setting(db, 5, "one");
    store::write_setting(db, 5, "two");
    EXPECT_EQ(store::read_setting(db, 5), "two");
    EXPECT_EQ(rows(), 1);
}

TEST_F(settings_fixture, stampingANewFileWritesTheVersionOnly)
{
    store::stamp_version(db);
    EXPECT_EQ(store::read_setting(db, store::settings_key::version), "2.90");
    EXPECT_EQ(rows(), 1);
    store::stamp_version(db);  // the same version again changes nothing
    EXPECT_EQ(rows(), 1);
}

TEST_F(settings_fixture, stampingAnOlderFileRecordsTheDayOfTheChange)
{
    store::stamp_version(db, 1, 96);
    EXPECT_EQ(store::read_setting(db, 0), "1.96");
    EXPECT_TRUE(store::read_setting(db, 2).isEmpty());
    store::stamp_version(db);
    EXPECT_EQ(store::read_setting(db, 0), "2.90");
    EXPECT_EQ(store::read_setting(db, 2), "1773100800");
}
