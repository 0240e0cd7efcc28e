// Comments and day notes through the real file: task comment lists, day
// notes, free comments, their descriptions and the deletion rules, each
// user-level step undone and redone, then drained and reopened.

#include "notes/notes_fixture.h"

#include "time/format.h"

using namespace qm;
using namespace qm::test;

namespace {

struct comments_test : notes_fixture {};

TEST_F(comments_test, a_task_list_losing_one_and_gaining_one_writes_one_delete_and_one_add)
{
    model::task_ptr t = add("Paint");
    ASSERT_TRUE(cc->add_to_task(*t, "first", D(2026, 3, 11) + 9 * 3600));
    ASSERT_TRUE(cc->add_to_task(*t, "second", D(2026, 3, 11) + 9 * 3600 + 60));
    ASSERT_EQ(t->comments.size(), 2u);
    const store::comment_record kept = t->comments[1];

    comment_news news;
    tc->modify(*t, [](model::task& x) {
        x.comments.erase(x.comments.begin());
        x.comments.push_back(model::new_comment(model::comment_type::task, x.id));
        x.comments.back().comment = "third";
    });
    EXPECT_EQ(news.count(store::message::about_to_delete), 1);
    EXPECT_EQ(news.count(store::message::added), 1);
    EXPECT_EQ(news.count(store::message::about_to_change), 0);  // the kept one is untouched

    const auto before_restart = memory_rows();
    const auto file = restart_and_read();
    EXPECT_EQ(file, before_restart);
    ASSERT_EQ(file.size(), 2u);
    EXPECT_EQ(file.at(kept.id)[4], "second");
    model::task_ptr again = named("Paint");
    ASSERT_EQ(again->comments.size(), 2u);
}

TEST_F(comments_test, add_comment_on_a_task_undoes_and_redoes_through_the_file)
{
    model::task_ptr t = add("Call");
    EXPECT_FALSE(cc->add_to_task(*t, "  \n "));  // a blank comment is not saved
    EXPECT_FALSE(h->can_undo());
    ASSERT_TRUE(cc->add_to_task(*t, "left a message"));
    EXPECT_EQ(h->entries().back()->change_text(),
              "modifying the task \"Call\"\r\nby changing the task comments");
    h->undo_step();
    EXPECT_TRUE(t->comments.empty());
    EXPECT_TRUE(core.core().tables().comments.cache().empty());
    h->redo_step();
    ASSERT_EQ(t->comments.size(), 1u);
    const auto file = restart_and_read();
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file.begin()->second[3], "2");
    EXPECT_EQ(file.begin()->second[4], "left a message");
    EXPECT_EQ(named("Call")->comments.size(), 1u);
}

TEST_F(comments_test, a_long_comment_of_many_lines_is_stored_whole_and_shown_cut)
{
    model::task_ptr t = add("Write");
    QString text = QStringLiteral("line one\r\nline two\r\n") + QString(5000, QLatin1Char('x'));
    ASSERT_TRUE(cc->add_to_task(*t, text));
    const auto file = restart_and_read();
    EXPECT_EQ(file.begin()->second[4], text);
    EXPECT_EQ(model::shown_comment(text), QStringLiteral("line one\u2026"));
    const QString one_line(200, QLatin1Char('y'));
    EXPECT_EQ(model::shown_comment(one_line, 10), QString(9, QLatin1Char('y')) + QChar(0x2026));
    EXPECT_EQ(model::shown_comment("short"), "short");
}

TEST_F(comments_test, a_day_has_at_most_one_day_note)
{
    const time::stored_date day = D(2026, 3, 11);
    comment_news news;
    EXPECT_FALSE(model::day_note(core.core().tables().comments, day));
    ASSERT_TRUE(cc->set_day_note(day + 3600, "Quiet day"));  // a moment of the day names the day
    ASSERT_TRUE(cc->set_day_note(day, "Busy day"));
    EXPECT_EQ(h->entries().back()->change_text(), "changing day note for " + time::format_short_date(day));
    ASSERT_TRUE(cc->set_day_note(time::next_day(day), "Tomorrow"));
    EXPECT_EQ(news.day_notes, (std::vector<std::int64_t>{day, day, time::next_day(day)}));
    int notes = 0;
    for (const auto& c : core.core().tables().comments.cache())
        notes += c->type == model::comment_type::day_note && c->time == day;
    EXPECT_EQ(notes, 1);

    h->undo_step();  // tomorrow's
    h->undo_step();  // back to "Quiet day"
    EXPECT_EQ(model::day_note(core.core().tables().comments, day)->comment, "Quiet day");
    h->redo_step();
    restart_and_read();
    model::comment_ptr note = model::day_note(core.core().tables().comments, day);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->comment, "Busy day");
    EXPECT_EQ(note->time, day);
    EXPECT_FALSE(model::day_note(core.core().tables().comments, time::next_day(day)));

    // Emptying the note deletes it; undo brings it back with its id.
    const std::int32_t id = note->id;
    ASSERT_TRUE(cc->set_day_note(day, ""));
    EXPECT_FALSE(model::day_note(core.core().tables().comments, day));
    h->undo_step();
    EXPECT_EQ(model::day_note(core.core().tables().comments, day)->id, id);
}

TEST_F(comments_test, free_comments_of_a_period_in_time_order)
{
    const time::stored_date day = D(2026, 3, 11);
    ASSERT_TRUE(cc->add_free("late", day + 15 * 3600));
    ASSERT_TRUE(cc->add_free("early", day + 8 * 3600));
    ASSERT_TRUE(cc->add_free("yesterday", day - 3600));
    EXPECT_FALSE(cc->add_free(""));
    std::vector<QString> texts;
    for (const auto& c : model::free_comments(core.core().tables().comments, day, time::next_day(day)))
        texts.push_back(c->comment);
    EXPECT_EQ(texts, (std::vector<QString>{"early", "late"}));

    model::comment_ptr early = model::free_comments(core.core().tables().comments, day, day + 9 * 3600).front();
    ASSERT_TRUE(cc->change_text(early->id, "very early"));
    EXPECT_EQ(h->entries().back()->change_text().left(std::strlen("changes to note at 08:00")),
              "changes to note at " + time::format_time_of_day(8 * 3600));
    h->undo_step();
    EXPECT_EQ(early->comment, "early");
    h->redo_step();
    const auto before_restart = memory_rows();
    EXPECT_EQ(restart_and_read(), before_restart);
}

// The description of a comment names its moment: "at" today, "on" a date before.
TEST_F(comments_test, descriptions_today_and_earlier_in_two_time_formats)
{
    const time::format_settings saved = time::current_format_settings();
    struct format_case {
        const char* time_format;
        const char* today_text;
        const char* earlier_time;
    } cases[] = {
        {"HH:mm", "note at 10:15\r\nby Called the bank", "09:05"},
        {"h:mm tt", "note at 10:15 AM\r\nby Called the bank", "9:05 AM"},
    };
    for (const format_case& f : cases) {
        time::format_settings s = saved;
        s.time_format = f.time_format;
        s.short_date_format = "M/d/yyyy";
        time::set_format_settings(s);
        store::comment_record c = model::new_comment(model::comment_type::free_comment, 0, D(2026, 3, 11) + 10 * 3600 + 900);
        c.comment = "Called the bank";
        EXPECT_EQ(model::comment_description(c, D(2026, 3, 11)), f.today_text) << f.time_format;
        c.time = D(2026, 3, 9) + 9 * 3600 + 300;
        EXPECT_EQ(model::comment_description(c, D(2026, 3, 11)),
                  QStringLiteral("note on 3/9/2026 at %1\r\nby Called the bank").arg(f.earlier_time))
            << f.time_format;
    }
    time::set_format_settings(saved);
}

TEST_F(comments_test, deleting_a_task_keeps_the_project_comment_of_the_same_number)
{
    model::task_ptr t = add("Shared number");
    // A project whose id is the task's: ids of the two kinds count apart.
    auto p = std::make_shared<model::project>();
    p->id = t->id;
    p->name = "Garden";
    projects().add_project(p);
    ASSERT_EQ(p->id, t->id);
    ASSERT_TRUE(cc->add_to_task(*t, "task note"));
    ASSERT_TRUE(cc->add_to_project(*p, "project note"));
    ASSERT_TRUE(cc->add_free("free note"));

    auto types = [this] {
        std::vector<int> out;
        for (const auto& c : core.core().tables().comments.cache())
            out.push_back(c->type);
        std::sort(out.begin(), out.end());
        return out;
    };
    tc->remove(t);
    EXPECT_EQ(types(), (std::vector<int>{0, 3}));
    h->undo_step();  // the task comes back with its comment
    EXPECT_EQ(types(), (std::vector<int>{0, 2, 3}));
    h->redo_step();
    EXPECT_EQ(types(), (std::vector<int>{0, 3}));
    const auto file = restart_and_read();
    ASSERT_EQ(file.size(), 2u);
    for (const auto& [id, row] : file)
        EXPECT_NE(row[3], "2");
    ASSERT_TRUE(project_named("Garden"));
    EXPECT_EQ(project_named("Garden")->comments.size(), 1u);
}

}  // namespace
