// What pasted task references turn into: copies, the cut marks, and the
// project outline written as text.

#include "model/project_fixture.h"
#include "model/project_outline.h"
#include "model/task_paste.h"

using namespace qm;
using namespace qm::test;

namespace {

using task_paste = project_fixture;

TEST_F(task_paste, a_copy_gets_what_its_source_has_but_its_place_and_times)
{
    model::task source;
    source.id = 41;
    source.name = QStringLiteral("Report");
    source.priority_value = 3;
    source.project = 5;
    source.project_priority_value = 4;
    source.recurrence = 9;
    source.estimate = 3600;
    source.tracked_times.push_back({});
    source.tags.push_back({2, QStringLiteral("x")});
    model::task_ptr copy = model::copy_for_paste(source);
    EXPECT_EQ(copy->id, 0);
    EXPECT_EQ(copy->name, source.name);
    EXPECT_EQ(copy->estimate, 3600);
    EXPECT_EQ(copy->priority_value, -1);  // the end of its day group
    EXPECT_EQ(copy->project_priority_value, 5);  // right after its source
    EXPECT_EQ(copy->recurrence, 0);
    EXPECT_TRUE(copy->tracked_times.empty());
    EXPECT_EQ(copy->tags, source.tags);

    model::task master;
    master.date = time::RECURRENCE_MASTER_DATE;
    master.appointment = true;
    master.priority_value = 0;
    master.project_priority_value = 2;  // without a project the value stays
    model::task_ptr undated = model::copy_for_paste(master);
    EXPECT_EQ(undated->date, time::NO_DATE);
    EXPECT_EQ(undated->priority_value, 0);
    EXPECT_EQ(undated->project_priority_value, 2);
}

TEST_F(task_paste, a_cut_folder_marks_what_lies_below_it)
{
    model::project_ptr p = add_project(QStringLiteral("Home"));
    model::task_ptr folder = add_to_project(QStringLiteral("Garden"), p->id, 0, 1, true);
    model::task_ptr sub = add_to_project(QStringLiteral("Beds"), p->id, folder->id, 1, true);
    model::task_ptr leaf = add_to_project(QStringLiteral("Dig"), p->id, sub->id, 1);
    model::task_ptr other = add(QStringLiteral("Call"));
    const model::item_list items = {model::task_item(folder->id), model::task_item(other->id),
                                    {999, model::item_type::task, 0, 0}, {folder->id, model::item_type::role, 0, 0}};
    EXPECT_EQ(model::cut_set_of(store(), items, true),
              (std::unordered_set<std::int32_t>{folder->id, sub->id, leaf->id, other->id, 999}));
    EXPECT_TRUE(model::cut_set_of(store(), items, false).empty());

    // Only existing tasks, each once, in list order.
    const model::paste_set set = model::prepare_paste(
        store(), {model::task_item(other->id), {999, 1, 0, 0}, model::task_item(leaf->id), model::task_item(other->id)},
        true);
    ASSERT_EQ(set.entries.size(), 2u);
    EXPECT_EQ(set.entries[0].t, other);
    EXPECT_EQ(set.entries[1].t, leaf);
    EXPECT_EQ(set.entries[1].before.parent, sub->id);
    const model::paste_set copies = model::prepare_paste(store(), {model::task_item(leaf->id)}, false);
    ASSERT_EQ(copies.entries.size(), 1u);
    EXPECT_NE(copies.entries[0].t, leaf);
    EXPECT_EQ(copies.entries[0].t->id, 0);
}

TEST_F(task_paste, outline_lines_of_a_task)
{
    model::task t;
    t.id = 7;
    t.name = QStringLiteral("Report");
    t.tags = {{1, QStringLiteral("x")}, {2, QStringLiteral("y")}};
    EXPECT_EQ(model::outline_lines(t, 2), QStringLiteral("\t[ ] Report /id:7 /tag:x, y"));
    struct case_ {
        int status;
        const char* mark;
    };
    for (const case_ c : {case_{model::status::unfinished, "[ ] "}, case_{model::status::delegated, "[D] "},
                          case_{model::status::canceled, "[C] "}, case_{model::status::finished, "[X] "},
                          case_{model::status::waiting, "[W] "}})
        EXPECT_EQ(model::status_mark(c.status), QLatin1String(c.mark));
    t.tags.clear();
    t.status = model::status::finished;
    t.description = QStringLiteral("first\r\nsecond %1");
    EXPECT_EQ(model::outline_lines(t, 3), QStringLiteral("\t\t[X] Report /id:7\r\n\t\t  : first\r\r\n\t\t  : second %1"));
}

TEST_F(task_paste, a_project_outline_follows_the_task_list)
{
    model::project_ptr p = add_project(QStringLiteral("Home"));
    model::task_ptr garden = add_to_project(QStringLiteral("Garden"), p->id, 0, 1, true);
    add_to_project(QStringLiteral("Dig"), p->id, garden->id, 1);
    add_to_project(QStringLiteral("Water"), p->id, garden->id, 2);
    model::task_ptr call = add_to_project(QStringLiteral("Call"), p->id, 0, 2);
    const QString text = model::project_outline(store(), *p);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4) << text.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("[ ] Garden /id:")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("\t[ ] Dig /id:")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("\t[ ] Water /id:")));
    EXPECT_EQ(lines[3], QStringLiteral("[ ] Call /id:%1").arg(call->id));
}

}  // namespace
