#include "history/entity_commands.h"
#include "history/task_commands.h"
#include "model/task_fixture.h"
#include "time/format.h"

#include <QRandomGenerator>

using namespace qm;
using namespace qm::test;
using history::command;
using history::command_ptr;

namespace {

// A command that records what happens to it in a shared log.
struct logged : command {
    QString name;
    QStringList* log;
    logged(QString n, QStringList* l) : name(std::move(n)), log(l) {}
    void undo() override { *log << "undo " + name; }
    void apply(bool first) override { *log << (first ? "do " : "redo ") + name; }
    QString change_text() const override { return name; }
};

struct history_fixture : ::testing::Test {
    fixed_clock clock{D(2026, 3, 11) + 10 * 3600};
    QStringList log;
    int batches = 0;
    history::history h{[this] { ++batches; }};
    void add(const QString& name, unsigned flags = 0)
    {
        auto c = std::make_unique<logged>(name, &log);
        c->flags = flags;
        h.add_command(std::move(c));
    }
    QStringList names() const
    {
        QStringList out;
        for (const auto& e : h.entries())
            out << e->change_text();
        return out;
    }
};

}  // namespace

TEST_F(history_fixture, aNewCommandDropsWhatCouldBeRedone)
{
    add("A");
    add("B");
    add("C");
    h.undo_step();
    h.undo_step();
    add("D");
    EXPECT_EQ(names(), QStringList({"A", "D"}));
    EXPECT_FALSE(h.can_redo());
    EXPECT_TRUE(h.can_undo());

    h.undo_step();
    h.undo_step();
    EXPECT_FALSE(h.can_undo());
    h.undo_step();  // nothing to undo: nothing happens
    add("E");
    EXPECT_EQ(names(), QStringList({"E"}));
    EXPECT_EQ(batches, 9);  // every add, undo and redo ends the batch
}

TEST_F(history_fixture, groupsDescribeThemselves)
{
    struct row {
        QString label;
        unsigned flags;
        QStringList parts;
        const char* text;
    };
    const row cases[] = {
        {"", 0, {"one"}, "one"},
        {"labelled", 0, {"one"}, "one"},
        {"labelled", history::group_flag::labelled, {"one"}, "labelled"},
        {"", history::group_flag::labelled, {"one"}, "one"},
        {"", 0, {"one", "two"}, "multiple edit"},
        {"pasting into Today", 0, {"one", "two"}, "pasting into Today"},
    };
    for (const auto& c : cases) {
        h.begin_group(c.label, c.flags);
        for (const QString& p : c.parts)
            add(p);
        h.end_group();
        EXPECT_EQ(h.entries().back()->change_text().toStdString(), c.text);
    }
    const std::size_t before = h.entries().size();
    h.begin_group("empty");
    h.end_group();
    EXPECT_EQ(h.entries().size(), before);  // an empty group leaves no entry
}

TEST_F(history_fixture, groupsUndoInReverseAndJoinedGroupsGoWithTheirPredecessor)
{
    add("X");
    h.begin_group("", history::group_flag::joined);
    add("g1");
    add("g2");
    h.end_group();
    log.clear();
    h.undo_step();
    EXPECT_EQ(log, QStringList({"undo g2", "undo g1", "undo X"}));
    EXPECT_FALSE(h.can_undo());
    log.clear();
    h.redo_step();
    EXPECT_EQ(log, QStringList({"redo X", "redo g1", "redo g2"}));
}

TEST_F(history_fixture, listsShowUnitsWithLettersAndTimes)
{
    EXPECT_EQ(h.undo_list().front().text, "Nothing to undo");
    for (int i = 1; i <= 30; ++i)
        add(QStringLiteral("command %1").arg(i));
    auto undo = h.undo_list();
    ASSERT_EQ(undo.size(), 26u);
    EXPECT_EQ(undo.front().letter, QChar('A'));
    EXPECT_EQ(undo.front().text, "Undo command 30");
    EXPECT_EQ(undo.back().letter, QChar('Z'));
    EXPECT_EQ(undo.back().text, "Undo command 5");
    EXPECT_EQ(undo.front().ago, "0m ago");
    clock.set(D(2026, 3, 11) + 10 * 3600 + 900);
    EXPECT_EQ(h.undo_list().front().ago, "15m ago");
}

TEST_F(history_fixture, choosingALetterTakesSeveralSteps)
{
    for (const char* name : {"one", "two", "three", "four", "five"})
        add(name);
    h.undo_step();
    h.undo_step();
    EXPECT_EQ(h.undo_list().front().text, "Undo three");
    EXPECT_EQ(h.redo_list().front().text, "Redo four");
    h.choose_redo(2);  // B in the redo list
    EXPECT_EQ(h.position(), 4);
    EXPECT_FALSE(h.can_redo());
    h.choose_undo(3);
    EXPECT_EQ(h.undo_list().front().text, "Undo two");
}

struct task_history_fixture : task_fixture {
    history::history h{[this] { store().end_change_batch(); }};
    history::task_commands commands{h, store()};

    model::task_ptr add_task(const QString& name, time::stored_date date = D(2026, 3, 11), int priority = 1)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = date;
        t->priority = priority;
        commands.add(t);
        return t;
    }
};

TEST_F(task_history_fixture, renamedAndRedatedTaskIsDescribedClauseByClause)
{
    time::format_settings formats;
    formats.short_date_format = "M/d/yyyy";
    time::set_format_settings(formats);
    auto t = add_task("Draft report");
    commands.modify(*t, [](model::task& x) {
        x.name = "Final report";
        x.date = D(2026, 3, 13);
    });
    EXPECT_EQ(h.entries().back()->change_text().toStdString(),
              "modifying the task \"Final report\"\r\nby renaming the task from \"Draft report\" to \"Final "
              "report\"\r\nand changing the date from \"3/11/2026\" to \"3/13/2026\"");
    EXPECT_EQ(h.entries().front()->change_text(), "adding task \"Draft report\"");  // as it was added
    time::set_format_settings(time::format_settings());
}

TEST_F(task_history_fixture, descriptionsOfSingleChanges)
{
    auto t = add_task("x");
    struct row {
        std::function<void(model::task&)> change;
        const char* clause;
    };
    const row cases[] = {
        {[](model::task& x) { x.status = model::status::finished; }, "setting the status from unfinished to finished"},
        {[](model::task& x) { x.estimate = 5400; }, "setting the estimate to \"1h 30m\""},
        {[](model::task& x) { x.estimate = 1800; }, "changing the estimate from \"1h 30m\" to \"30m\""},
        {[](model::task& x) { x.estimate = 0; }, "removing the estimate"},
        {[](model::task& x) { x.splittable = true; }, "setting the task as splittable"},
        {[](model::task& x) { x.units = 7; }, "changing the impact from 0 to 7"},
        {[](model::task& x) { x.date = time::NO_DATE; }, "removing the date"},
        {[](model::task& x) { x.appointment = true; }, "changing the task type from to-do to appointment"},
        {[](model::task& x) { x.description = "more"; }, "changing the task description"},
        {[](model::task& x) { x.project_priority = 3; }, "setting the project priority to 3"},
        {[](model::task& x) { x.name.clear(); }, "renaming the task to \"\""},
    };
    for (const auto& c : cases) {
        commands.modify(*t, c.change);
        const QString text = h.entries().back()->change_text();
        EXPECT_TRUE(text.endsWith(QStringLiteral("\r\nby ") + c.clause)) << text.toStdString();
    }
    // A description is cut at 2047 characters.
    commands.modify(*t, [](model::task& x) { x.name = QString(3000, QChar('n')); });
    EXPECT_EQ(h.entries().back()->change_text().size(), 2047);
}

TEST_F(task_history_fixture, theStoresRenumberingIsNotDescribedAsTheUsersChange)
{
    time::format_settings formats;
    formats.short_date_format = "M/d/yyyy";
    time::set_format_settings(formats);
    add_task("first");
    add_task("second");
    auto moved = add_task("third");  // A3
    add_task("alone", D(2026, 3, 12));
    // To a day that holds one task: the store makes it A2 there.
    commands.modify(*moved, [](model::task& x) { x.date = D(2026, 3, 12); });
    EXPECT_EQ(moved->priority_value, 2);
    EXPECT_EQ(h.entries().back()->change_text().toStdString(),
              "modifying the task \"third\"\r\nby changing the date from \"3/11/2026\" to \"3/12/2026\"");
    // A position the user asks for is described, with where it ended.
    commands.modify(*moved, [](model::task& x) { x.priority_value = 1; }, model::update_flag::keep_priority_value);
    EXPECT_TRUE(h.entries().back()->change_text().endsWith("by changing the priority from A2 to A1"))
        << h.entries().back()->change_text().toStdString();
    time::set_format_settings(time::format_settings());
}

TEST_F(task_history_fixture, deleteWithDescendantsUndoesAsOneStep)
{
    auto folder = add_to_project("folder", 4, 0, 1, true);
    auto a = add_to_project("a", 4, folder->id, 1);
    auto b = add_to_project("b", 4, folder->id, 2);
    auto sibling = add_to_project("sibling", 4, 0, 2);
    commands.remove(folder);
    EXPECT_EQ(h.entries().back()->change_text(), "deleting task \"folder\"");
    EXPECT_EQ(store().all().size(), 1u);
    EXPECT_EQ(sibling->project_priority_value, 1);
    h.undo_step();
    EXPECT_EQ(store().all().size(), 4u);
    EXPECT_EQ(folder->project_priority_value, 1);
    EXPECT_EQ(sibling->project_priority_value, 2);
    EXPECT_EQ(a->project_priority_value, 1);
    EXPECT_EQ(b->project_priority_value, 2);
    h.redo_step();
    EXPECT_EQ(store().all().size(), 1u);
}

TEST_F(task_history_fixture, pullingIsOneLabelledStep)
{
    add_task("a", D(2026, 3, 10));
    add_task("b", D(2026, 3, 9));
    EXPECT_EQ(commands.pull_previously_uncompleted(7), 2);
    EXPECT_TRUE(h.entries().back()->change_text().startsWith("moving 2 unfinished tasks to "));
    h.undo_step();
    EXPECT_EQ(named("a")->date, D(2026, 3, 10));
    EXPECT_EQ(named("b")->date, D(2026, 3, 9));
}

TEST_F(task_history_fixture, randomCommandsUndosAndRedosKeepTheFileEqualToMemory)
{
    auto snapshot_memory = [&] {
        std::map<int, QStringList> rows;
        for (const auto& t : store().all())
            rows[t->id] = {t->name, QString::number(t->date), QString::number(t->priority),
                           QString::number(t->priority_value), QString::number(t->status),
                           QString::number(t->appointment), QString::number(t->estimate)};
        return rows;
    };
    // A starting state that "undo everything" must give back.
    for (int i = 0; i < 8; ++i)
        add_to_project(QStringLiteral("start %1").arg(i), 0);
    store().end_change_batch();
    const auto start = snapshot_memory();

    QRandomGenerator rng(4711);
    const time::stored_date dates[] = {D(2026, 3, 11), D(2026, 3, 12), D(2026, 3, 13)};
    for (int step = 0; step < 600; ++step) {
        const int op = rng.bounded(12);
        const auto& all = store().all();
        if (op < 2 || all.empty()) {
            add_task(QStringLiteral("n%1").arg(step), dates[rng.bounded(3)], 1 + rng.bounded(3));
        } else if (op < 4) {
            h.undo_step();
        } else if (op < 5) {
            h.redo_step();
        } else if (op < 6) {
            commands.remove(all[rng.bounded(int(all.size()))]);
        } else {
            model::task* t = all[rng.bounded(int(all.size()))].get();
            switch (rng.bounded(6)) {
            case 0: commands.set_date({t}, dates[rng.bounded(3)]); break;
            case 1: commands.set_day_priority({t}, 1 + rng.bounded(3)); break;
            case 2: commands.push_to_top({t}); break;
            case 3: commands.toggle_finished({t}); break;
            case 4: commands.make_top_priority({t}); break;
            default: commands.modify(*t, [&](model::task& x) { x.priority_value = 1 + rng.bounded(6); });
            }
        }
    }
    const auto memory = snapshot_memory();
    while (h.can_undo())
        h.undo_step();
    EXPECT_EQ(snapshot_memory(), start);
    while (h.can_redo())
        h.redo_step();
    EXPECT_EQ(snapshot_memory(), memory);

    store::database& db = core.drain_and_reopen();
    std::map<int, QStringList> disk;
    for (auto row : query(db, "SELECT id, name, date, priority, priority_value, status, appointment, estimate FROM Tasks")) {
        const int id = row.takeFirst().toInt();
        disk[id] = row;
    }
    EXPECT_EQ(disk, memory);
}

TEST_F(task_fixture, tableRowCommandsUndoAndRedoThroughTheBinding)
{
    history::history h;
    auto& values = core.core().tables().values;
    const history::describer<store::value_record> describe = [](const store::value_record& v) {
        return QStringLiteral("value \"%1\"").arg(v.name);
    };
    auto add = std::make_unique<history::add_entity_command<store::value_record>>(
        values, store::value_record{0, "Honesty", "", 1}, describe);
    auto* added = add.get();
    h.add_command(std::move(add));
    const std::int32_t id = added->value().id;
    EXPECT_EQ(h.entries().back()->change_text(), "add value \"Honesty\"");
    h.add_command(std::make_unique<history::modify_entity_command<store::value_record>>(
        values, store::value_record{id, "Integrity", "", 1}, describe));
    EXPECT_EQ(h.entries().back()->change_text(), "changes to value \"Integrity\"");
    h.add_command(std::make_unique<history::delete_entity_command<store::value_record>>(values, id, describe));
    EXPECT_EQ(h.entries().back()->change_text(), "delete value \"Integrity\"");
    EXPECT_TRUE(values.cache().empty());
    h.undo_step();
    h.undo_step();
    EXPECT_EQ(values.find(id)->name, "Honesty");
    h.redo_step();
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT id, name FROM [Values]"), (std::vector<QStringList>{{QString::number(id), "Integrity"}}));
}
