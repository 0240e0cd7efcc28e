// Older files converted by the start-up sequence, loaded, and compared with
// what the user should see: one fixture per layout that changes tables.

#include "app/conversion_presenter.h"
#include "app/core.h"
#include "store/database_settings.h"
#include "store/schema.h"
#include "support/old_files.h"
#include "support/test_support.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace qm;
namespace rows = test::old_rows;

namespace {

constexpr int offset = 3600;  // the standard offset the tests convert with

class recording_presenter : public app::conversion_presenter {
public:
    void progress(const QString& step, int number, int count) override
    {
        steps << QStringLiteral("%1/%2 %3").arg(number).arg(count).arg(step);
    }
    void finished() override { ++finishes; }
    store::backup_answer backup_failed(const QString& caption, const QString& text) override
    {
        questions << caption + QLatin1Char('\n') + text;
        if (answers.isEmpty())
            return store::backup_answer::cancel;
        return answers.takeFirst();
    }
    void show_notice(const QString& caption, const QString& text) override { notices << caption + ": " + text; }

    QStringList steps;
    QStringList questions;
    QStringList notices;
    QList<store::backup_answer> answers;
    int finishes = 0;
};

struct presenter_scope {
    std::shared_ptr<recording_presenter> p = std::make_shared<recording_presenter>();
    presenter_scope() { app::set_conversion_presenter(p); }
    ~presenter_scope() { app::set_conversion_presenter(nullptr); }
};

QByteArray bytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

std::unique_ptr<app::core> make_core(const QString& folder)
{
    auto c = std::make_unique<app::core>(test::portable_locator(folder));
    c->conversion_standard_offset = [] { return offset; };
    return c;
}

model::task_ptr task_named(app::core& c, const QString& name)
{
    for (const auto& t : c.tasks().all())
        if (t->name == name)
            return t;
    return nullptr;
}

struct layout {
    int major;
    int minor;
    const char* text;
};

bool before(const layout& l, int major, int minor)
{
    return l.major < major || (l.major == major && l.minor < minor);
}

class converting : public ::testing::TestWithParam<layout> {};

TEST_P(converting, theUserSeesEveryRowConvertedAndTheFileMatchesANewOne)
{
    const layout l = GetParam();
    presenter_scope presenter;
    test::temp_folder folder;
    const QString path = folder.file("ferncastle.db");
    test::write_old_file(path, l.major, l.minor, QString::fromLatin1(l.text));
    const QByteArray original = bytes(path);

    auto core = make_core(folder.path());
    if (before(l, 1, 5)) {
        // The first part ends with the restart notice; the second run goes on.
        EXPECT_THROW(core->start(), app::restart_requested);
        ASSERT_EQ(presenter.p->notices.size(), 1);
        EXPECT_EQ(presenter.p->notices[0], "Quillmere Planner: The database conversion process must now restart, "
                                           "please run Quillmere Planner again.");
        core->shutdown();
        {
            auto db = test::open_file(path);
            EXPECT_EQ(store::read_setting(*db, 0), "1.05");
            // The orphaned target went, with nothing else.
            EXPECT_EQ(test::query(*db, "SELECT name FROM Targets ORDER BY id").size(), 3u);
        }
        core = make_core(folder.path());
    }
    core->start();
    app::core& c = *core;
    const bool utc = before(l, 1, 81);
    const qint64 shift = utc ? offset : 0;
    const bool had_templates = before(l, 2, 80);

    // The backup holds the file as it was.
    const QString backup = folder.file(QStringLiteral("ferncastle-%1-backup.db").arg(QString::fromLatin1(l.text)));
    EXPECT_EQ(bytes(backup), original);
    EXPECT_FALSE(presenter.p->steps.isEmpty());

    model::task_ptr first = task_named(c, rows::task_name);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->description, QStringLiteral("Ünïcode"));
    EXPECT_EQ(first->date, rows::task_date);
    EXPECT_EQ(first->deadline, rows::deadline + shift);
    EXPECT_EQ(first->project, 1);
    ASSERT_EQ(first->comments.size(), 1u);
    EXPECT_EQ(first->comments[0].comment, rows::task_comment);
    ASSERT_EQ(first->tracked_times.size(), 2u);
    bool interruption_seen = false;
    for (const auto& tt : first->tracked_times) {
        if (tt.type == 1) {
            interruption_seen = true;
            EXPECT_EQ(tt.caption, rows::interruption);
            EXPECT_EQ(tt.start, rows::interruption_start + shift);
            EXPECT_EQ(tt.duration, 300);
        } else {
            EXPECT_EQ(tt.start, rows::time_start + shift);
            EXPECT_EQ(tt.duration, 1200);
        }
    }
    EXPECT_TRUE(interruption_seen);
    ASSERT_EQ(first->tags.size(), before(l, 1, 3) ? 0u : 1u);

    model::task_ptr occurrence = task_named(c, rows::occurrence_name);
    ASSERT_TRUE(occurrence);
    EXPECT_EQ(occurrence->deadline, 0);  // a zero time stays zero
    model::task_ptr master = task_named(c, rows::template_name);
    if (had_templates) {
        ASSERT_TRUE(master);
        EXPECT_EQ(master->date, time::RECURRENCE_MASTER_DATE);
        EXPECT_EQ(master->estimate, 1800);
        EXPECT_EQ(master->priority, 2);
        EXPECT_EQ(master->status, 0);
        EXPECT_EQ(occurrence->recurrence, master->id);
        auto recurrence = c.tables().recurrences.find(1);
        ASSERT_TRUE(recurrence);
        EXPECT_EQ(recurrence->attached, master->id);
        ASSERT_EQ(c.tables().deleted_occurrences.cache().size(), 1u);
        EXPECT_EQ(c.tables().deleted_occurrences.cache()[0]->task_recurrence, master->id);
    } else {
        EXPECT_FALSE(master);
    }
    // The routine's recurrence names the routine still.
    auto routine_recurrence = c.tables().recurrences.find(2);
    ASSERT_TRUE(routine_recurrence);
    EXPECT_EQ(routine_recurrence->attached, 1);
    EXPECT_EQ(routine_recurrence->attached_type, 1);

    // The day note, cut to its day, with the notes after the separator.
    int notes = 0;
    for (const auto& cm : c.tables().comments.cache()) {
        if (cm->type == 1) {
            ++notes;
            EXPECT_EQ(cm->time, rows::task_date);
            EXPECT_EQ(cm->comment, rows::day_note + QStringLiteral("\r\n\r\n~\r\n\r\n") + rows::more_notes);
        }
        if (cm->type == 3) {
            EXPECT_EQ(cm->comment, rows::goal_comment);
        }
    }
    EXPECT_EQ(notes, 1);

    auto alarm = c.tables().alarms.find(1);
    ASSERT_TRUE(alarm);
    EXPECT_EQ(alarm->text, rows::alarm_text);
    EXPECT_EQ(alarm->time, rows::alarm_time + shift);
    EXPECT_EQ(alarm->command, QStringLiteral("*alarm.wav"));
    EXPECT_EQ(alarm->flags, 2);
    EXPECT_EQ(alarm->attached_type, 1);

    auto role = c.tables().roles.find(1);
    ASSERT_TRUE(role);
    EXPECT_EQ(role->name, rows::role_name);
    EXPECT_EQ(role->parent, 0);
    EXPECT_EQ(c.tables().mission_statement.text(), QStringLiteral("Live well — daily"));

    if (!before(l, 1, 80) && before(l, 2, 81)) {
        ASSERT_EQ(c.tables().outlook_items.cache().size(), 2u);
        for (const auto& item : c.tables().outlook_items.cache()) {
            if (item->guid == rows::entry_id) {
                EXPECT_EQ(item->task, master ? master->id : 1);  // no template left to point at
            } else {
                EXPECT_EQ(item->task, 2);
            }
            EXPECT_TRUE(item->entry_id.isEmpty());
        }
    }

    if (before(l, 1, 50)) {
        model::task_ptr phase = task_named(c, QStringLiteral("Phase 'one'"));
        model::task_ptr plant = task_named(c, QStringLiteral("Plant"));
        ASSERT_TRUE(phase);
        ASSERT_TRUE(plant);
        EXPECT_TRUE(phase->is_folder());
        EXPECT_EQ(phase->project, 1);
        EXPECT_EQ(phase->role, 1);
        EXPECT_EQ(phase->date, time::NO_DATE);
        ASSERT_EQ(phase->comments.size(), 1u);
        EXPECT_EQ(phase->comments[0].comment, QStringLiteral("Target — note"));
        EXPECT_EQ(plant->parent, phase->id);
        EXPECT_EQ(plant->project_priority, 5);
        EXPECT_EQ(plant->estimate, 600);
        // The task that named a target takes its place under the folder.
        EXPECT_FALSE(task_named(c, QStringLiteral("Dig")));
        EXPECT_EQ(occurrence->parent, phase->id);
        EXPECT_EQ(occurrence->project_priority, 3);
        EXPECT_EQ(bool(task_named(c, QStringLiteral("Orphan"))), !before(l, 1, 5));
    }

    // The routines' recurrences are served at once; the rest waits.
    QStringList expected_work;
    if (before(l, 2, 70))
        expected_work << store::pending_work::project_folders;
    EXPECT_EQ(c.pending_work(), expected_work);

    core->shutdown();
    auto reader = test::open_file(path);
    EXPECT_EQ(store::read_setting(*reader, 0), "2.90");
    EXPECT_EQ(store::read_pending_work(*reader), expected_work);
    // A file from before life areas gets the thirteen life areas, no roles.
    if (before(l, 1, 92)) {
        EXPECT_EQ(test::query(*reader, "SELECT COUNT(*) FROM Roles WHERE parent = -1")[0][0], "13");
        EXPECT_EQ(test::query(*reader, "SELECT COUNT(*) FROM Roles WHERE parent > 0")[0][0], "0");
    }
    auto project = test::query(*reader, "SELECT name, deadline, folder_type FROM Projects WHERE id = 1");
    ASSERT_EQ(project.size(), 1u);
    EXPECT_EQ(project[0][0], rows::goal_name);
    EXPECT_EQ(project[0][1], QString::number(rows::goal_deadline + shift));
    // Every table reads as in a new file; TaskRecurrences has gone.
    for (const QString& sql : store::schema_statements()) {
        const QString table = sql.section(QLatin1Char(' '), 2, 2).remove('[').remove(']');
        auto found = test::query(*reader, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND "
                                                         "name = '%1'").arg(table));
        if (table == QLatin1String("TaskRecurrences")) {
            EXPECT_TRUE(found.empty());
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << table.toStdString();
        EXPECT_EQ(found[0][0], sql);
    }
    // No counter hands out an id that a row has (the fixtures hold no counter
    // of a kind that was seeded before their version).
    for (const auto& [kind, table] : std::vector<std::pair<int, QString>>{
             {1, "Tasks"}, {4, "Projects"}, {5, "Alarms"}, {6, "Recurrences"}, {7, "TrackedTimes"}, {8, "Comments"}}) {
        auto next = test::query(*reader, QStringLiteral("SELECT next_id FROM Ids WHERE id = %1").arg(kind));
        const auto max = test::query(*reader, QStringLiteral("SELECT IFNULL(MAX(id), 0) FROM ") + table);
        if (next.empty())
            continue;
        EXPECT_GT(next[0][0].toLongLong(), max[0][0].toLongLong()) << kind;
    }
}

INSTANTIATE_TEST_SUITE_P(layouts, converting,
                         ::testing::Values(layout{1, 2, "1.02"}, layout{1, 10, "1.10"}, layout{1, 50, "1.50"},
                                           layout{1, 60, "1.60"}, layout{1, 81, "1.81"}, layout{1, 82, "1.82"},
                                           layout{1, 86, "1.86"}, layout{1, 91, "1.91"}, layout{1, 92, "1.92"},
                                           layout{1, 96, "1.96"}, layout{2, 60, "2.60"}, layout{2, 70, "2.70"},
                                           layout{2, 80, "2.80"}),
                         [](const ::testing::TestParamInfo<layout>& info) {
                             return QString::fromLatin1(info.param.text).replace('.', '_').toStdString();
                         });

}  // namespace
