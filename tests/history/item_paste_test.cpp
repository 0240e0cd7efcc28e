// Pastes and drops of task references, and text pasted as tasks, through
// the history and the real file: each is one undo step, undone and redone,
// and what the file holds after a drain equals memory.

#include "history/item_paste.h"
#include "model/project_fixture.h"

using namespace qm;
using namespace qm::test;

namespace {

// Everything a paste can change, by id.
using task_rows = std::map<int, QStringList>;

task_rows rows_in_memory(model::task_store& store)
{
    task_rows out;
    for (const auto& t : store.all())
        out[t->id] = {t->name, QString::number(t->date), QString::number(t->priority), QString::number(t->priority_value),
                      QString::number(t->project), QString::number(t->parent), QString::number(t->project_priority_value),
                      QString::number(t->role), t->description};
    return out;
}

task_rows rows_on_disk(store::database& db)
{
    task_rows out;
    for (const auto& r : query(db, "SELECT id, name, date, priority, priority_value, project, parent, "
                                   "project_priority_value, role, description FROM Tasks"))
        out[r[0].toInt()] = r.mid(1);
    return out;
}

struct item_paste_test : project_fixture {
    history::history h{[this] { store().end_change_batch(); }};
    history::task_commands tc{h, store()};
    history::item_paste paste{h, tc, store(), projects()};

    // One undo takes the step back, one redo brings it again.
    void expect_one_step(const task_rows& before, const task_rows& after)
    {
        h.undo_step();
        EXPECT_EQ(rows_in_memory(store()), before);
        h.redo_step();
        EXPECT_EQ(rows_in_memory(store()), after);
    }

    void expect_file_matches()
    {
        const task_rows memory = rows_in_memory(store());
        EXPECT_EQ(rows_on_disk(core.drain_and_reopen()), memory);
    }

    std::map<QString, int> group(time::stored_date d, int priority) { return day_group(d, priority); }
    model::task_ptr named_in(const QString& name, std::int32_t project)
    {
        for (const auto& t : store().all())
            if (t->name == name && t->project == project)
                return t;
        return nullptr;
    }
};

const time::stored_date today = D(2026, 3, 11);
const time::stored_date tomorrow = D(2026, 3, 12);

TEST_F(item_paste_test, copies_go_after_the_focus_task_of_another_day)
{
    add(QStringLiteral("A"), today, 1);
    add(QStringLiteral("B"), today, 1);
    add(QStringLiteral("C"), today, 1);
    add(QStringLiteral("X"), tomorrow, 1);
    model::task_ptr y = add(QStringLiteral("Y"), tomorrow, 1);
    const task_rows before = rows_in_memory(store());
    const model::item_list items = {model::task_item(named("A")->id), model::task_item(named("B")->id),
                                    model::task_item(named("C")->id)};
    history::day_place place{tomorrow, named("X").get(), -1};
    const std::vector<std::int32_t> ids = paste.into_day(items, false, place, history::item_paste::paste_label("tomorrow"));
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(group(tomorrow, 1), (std::map<QString, int>{{"X", 1}, {"A", 2}, {"B", 3}, {"C", 4}, {"Y", 5}}));
    EXPECT_EQ(group(today, 1), (std::map<QString, int>{{"A", 1}, {"B", 2}, {"C", 3}}));
    EXPECT_EQ(h.undo_list().front().text, QStringLiteral("Undo pasting into tomorrow"));
    expect_one_step(before, rows_in_memory(store()));
    expect_file_matches();
}

TEST_F(item_paste_test, a_cut_moves_and_one_standing_before_the_focus_keeps_the_order)
{
    add(QStringLiteral("A"), today, 1);
    add(QStringLiteral("B"), today, 1);
    add(QStringLiteral("C"), today, 1);
    add(QStringLiteral("T"), tomorrow, 2);
    const task_rows before = rows_in_memory(store());
    // A stands before C in C's own group: it lands right after C.
    paste.into_day({model::task_item(named("A")->id)}, true, {today, named("C").get(), -1}, QStringLiteral("x"));
    EXPECT_EQ(group(today, 1), (std::map<QString, int>{{"B", 1}, {"C", 2}, {"A", 3}}));
    const task_rows moved = rows_in_memory(store());
    expect_one_step(before, moved);
    // To another day without a focus row: the task keeps its priority.
    paste.into_day({model::task_item(named("B")->id)}, true, {tomorrow, nullptr, -1}, QStringLiteral("x"));
    EXPECT_EQ(named("B")->date, tomorrow);
    EXPECT_EQ(named("B")->priority, 1);
    // Onto a heading: the top of that group.
    paste.into_day({model::task_item(named("C")->id)}, true, {tomorrow, nullptr, 2}, QStringLiteral("x"));
    EXPECT_EQ(group(tomorrow, 2), (std::map<QString, int>{{"C", 1}, {"T", 2}}));
    expect_file_matches();
}

TEST_F(item_paste_test, copies_into_a_project_keep_their_copied_folder_around_them)
{
    model::project_ptr home = add_project(QStringLiteral("Home"));
    model::project_ptr work = add_project(QStringLiteral("Work"));
    model::task_ptr garden = add_to_project(QStringLiteral("Garden"), home->id, 0, 1, true);
    model::task_ptr dig = add_to_project(QStringLiteral("Dig"), home->id, garden->id, 4);
    model::task_ptr loose = add_to_project(QStringLiteral("Loose"), home->id, garden->id, 5);
    const task_rows before = rows_in_memory(store());
    const std::vector<std::int32_t> ids = paste.into_project(
        {model::task_item(garden->id), model::task_item(dig->id)}, false, work->id, QStringLiteral("pasting into Work"));
    ASSERT_EQ(ids.size(), 2u);
    const model::task_ptr copied_folder = store().find(ids[0]);
    const model::task_ptr copied_dig = store().find(ids[1]);
    EXPECT_EQ(copied_folder->project, work->id);
    EXPECT_TRUE(copied_folder->is_folder());
    EXPECT_EQ(copied_dig->parent, copied_folder->id);
    EXPECT_EQ(dig->parent, garden->id);  // the source stays
    // A task pasted without its parent lands at the top level.
    paste.into_project({model::task_item(loose->id)}, false, work->id, QStringLiteral("x"));
    const model::task_ptr loose_copy = named_in(QStringLiteral("Loose"), work->id);
    ASSERT_TRUE(loose_copy);
    EXPECT_EQ(loose_copy->parent, 0);
    // Copying the folder once more finds the folder of that name there.
    const std::size_t count = store().all().size();
    paste.into_project({model::task_item(garden->id), model::task_item(dig->id)}, false, work->id, QStringLiteral("x"));
    EXPECT_EQ(store().all().size(), count + 1);
    EXPECT_EQ(store().children(*copied_folder).size(), 2u);
    // Three pastes, three steps.
    const task_rows after = rows_in_memory(store());
    for (int i = 0; i < 3; ++i)
        h.undo_step();
    EXPECT_EQ(rows_in_memory(store()), before);
    for (int i = 0; i < 3; ++i)
        h.redo_step();
    EXPECT_EQ(rows_in_memory(store()), after);
    expect_file_matches();
}

TEST_F(item_paste_test, a_cut_folder_moves_with_what_lies_below_it)
{
    model::project_ptr home = add_project(QStringLiteral("Home"));
    model::project_ptr work = add_project(QStringLiteral("Work"));
    model::task_ptr garden = add_to_project(QStringLiteral("Garden"), home->id, 0, 1, true);
    model::task_ptr dig = add_to_project(QStringLiteral("Dig"), home->id, garden->id, 1);
    const task_rows before = rows_in_memory(store());
    paste.into_project({model::task_item(garden->id)}, true, work->id, QStringLiteral("x"));
    EXPECT_EQ(garden->project, work->id);
    EXPECT_EQ(dig->project, work->id);
    EXPECT_EQ(dig->parent, garden->id);
    expect_one_step(before, rows_in_memory(store()));
    expect_file_matches();
}

TEST_F(item_paste_test, a_drop_onto_a_project_rebuilds_the_folder_path)
{
    model::project_ptr home = add_project(QStringLiteral("Home"));
    model::project_ptr work = add_project(QStringLiteral("Work"));
    model::task_ptr a = add_to_project(QStringLiteral("Errands"), home->id, 0, 1, true);
    model::task_ptr b = add_to_project(QStringLiteral("Shop"), home->id, a->id, 1, true);
    model::task_ptr milk = add_to_project(QStringLiteral("Milk"), home->id, b->id, 1);
    add_to_project(QStringLiteral("errands"), work->id, 0, 1, true);  // matches without regard to case
    const task_rows before = rows_in_memory(store());
    paste.onto_project({model::task_item(milk->id)}, false, *work);
    EXPECT_EQ(h.undo_list().front().text, QStringLiteral("Undo dropping task onto Work"));
    EXPECT_EQ(milk->project, work->id);
    const model::task_ptr shop = store().find(milk->parent);
    ASSERT_TRUE(shop);
    EXPECT_EQ(shop->name, QStringLiteral("Shop"));
    EXPECT_EQ(shop->project, work->id);
    EXPECT_EQ(store().find(shop->parent)->name, QStringLiteral("errands"));
    expect_one_step(before, rows_in_memory(store()));
    expect_file_matches();
}

TEST_F(item_paste_test, ids_that_name_no_task_paste_nothing)
{
    add(QStringLiteral("A"));
    const std::size_t entries = h.entries().size();
    EXPECT_TRUE(paste.into_day({{424242, 1, 0, 0}, {5, 6, 0, 0}}, false, {today, nullptr, -1}, QStringLiteral("x")).empty());
    EXPECT_TRUE(paste.into_project({model::task_item(named("A")->id)}, false, 0, QStringLiteral("x")).empty());
    EXPECT_EQ(h.entries().size(), entries);
}

TEST_F(item_paste_test, text_pastes_as_one_step_with_headings_and_levels)
{
    model::project_ptr p = add_project(QStringLiteral("Home"));
    const task_rows before = rows_in_memory(store());
    auto new_item = [&] {
        auto t = std::make_shared<model::task>();
        t->project = p->id;
        t->project_priority_value = store().next_folder_value(*t);
        return t;
    };
    const QString text = QStringLiteral("= A =\nT1\n: a note\n== B ==\nT2\n= C =\nTrip\n\tBook\n\tPack");
    std::vector<std::pair<int, int>> told;
    const int pasted = paste.paste_text(model::read_outline(text, true), new_item, QStringLiteral("Home"),
                                        [&](int done, int total) {
                                            told.emplace_back(done, total);
                                            return true;
                                        });
    EXPECT_EQ(pasted, 9);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), std::make_pair(9, 9));
    const model::task_ptr a = named(QStringLiteral("A"));
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->is_folder());
    EXPECT_EQ(a->description, QStringLiteral(" a note"));
    EXPECT_EQ(named("T1")->parent, a->id);
    EXPECT_EQ(named("T1")->project_priority_value, 1);
    EXPECT_EQ(named("B")->parent, a->id);
    EXPECT_EQ(named("B")->project_priority_value, 2);
    EXPECT_EQ(named("T2")->parent, named("B")->id);
    EXPECT_EQ(named("C")->parent, 0);
    EXPECT_EQ(named("Book")->parent, named("Trip")->id);
    EXPECT_EQ(named("Pack")->parent, named("Trip")->id);
    EXPECT_EQ(h.undo_list().front().text, QStringLiteral("Undo pasting text into Home"));
    expect_one_step(before, rows_in_memory(store()));

    // A copied line renames the task it names; an unknown id adds a task.
    paste.paste_text(model::read_outline(QStringLiteral("[X] Trip /id:%1 /tag:x\nNew /id:999999").arg(named("Trip")->id), true),
                     new_item, QStringLiteral("Home"));
    EXPECT_TRUE(named(QStringLiteral("[X] Trip")));
    EXPECT_TRUE(named(QStringLiteral("New")));
    expect_file_matches();
}

TEST_F(item_paste_test, a_stopped_text_paste_keeps_what_went_in_as_one_step)
{
    const std::size_t entries = h.entries().size();
    auto new_item = [] {
        auto t = std::make_shared<model::task>();
        t->date = today;
        return t;
    };
    const QString text = QStringLiteral("line\n").repeated(200);
    const int pasted = paste.paste_text(model::read_outline(text, false), new_item, QStringLiteral("today"),
                                        [](int done, int) { return done < 100; });
    EXPECT_EQ(pasted, 100);
    EXPECT_EQ(h.entries().size(), entries + 1);
    h.undo_step();
    EXPECT_TRUE(store().tasks_of_date(today).empty());
}

}  // namespace
