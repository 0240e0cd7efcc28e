// Cut, Copy and Paste between the lists as a user drives them, the cut
// marks, text pasted into a project, and the keyboard menus' typing rule.

#include "app/item_documents.h"
#include "support/test_support.h"
#include "time/format.h"
#include "ui/action_popup.h"
#include "ui/commands.h"
#include "ui/day_view.h"
#include "ui/item_exchange.h"
#include "ui/keyboard_menus.h"
#include "ui/planner.h"
#include "ui/project_exchange.h"
#include "ui/projects_view.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

// Keys typed into a menu of the keys "SU", "SF", "N": which line is chosen,
// what waits in the buffer, and whether the menu closed.
TEST(keyboard_menu, typing_rule)
{
    struct case_ {
        const char* keys;  // letters; "<" Backspace, "!" Escape, "=" Enter
        int chosen;
        const char* buffer;
        bool closed;
    };
    const case_ cases[] = {
        {"S", -1, "S", false},  {"SU", 0, "", true},   {"sf", 1, "", true},  {"X", -1, "", false},
        {"SX", -1, "S", false}, {"N", 2, "", true},    {"S<", -1, "", false}, {"S<<", -1, "", true},
        {"S!", -1, "", false},  {"!", -1, "", true},   {"S!N", 2, "", true},  {"=", -1, "", true},
    };
    for (const case_& c : cases) {
        std::vector<ui::popup_line> lines;
        for (const char* key : {"SU", "SF", "N"}) {
            ui::popup_line l;
            l.key = l.text = QString::fromLatin1(key);
            l.chosen = [] {};
            lines.push_back(std::move(l));
        }
        ui::action_popup popup(QStringLiteral("Options"), std::move(lines));
        bool closed = false;
        QObject::connect(&popup, &QDialog::finished, [&closed](int) { closed = true; });
        for (const char* k = c.keys; *k != 0; ++k) {
            const Qt::Key key = *k == '<' ? Qt::Key_Backspace
                                : *k == '!' ? Qt::Key_Escape
                                : *k == '=' ? Qt::Key_Return
                                            : static_cast<Qt::Key>(Qt::Key_A + (QChar::fromLatin1(*k).toUpper().unicode() - 'A'));
            QTest::keyClick(&popup, key);
            if (closed)
                break;
        }
        EXPECT_EQ(popup.chosen(), c.chosen) << c.keys;
        EXPECT_EQ(popup.typed(), QLatin1String(c.buffer)) << c.keys;
        EXPECT_EQ(closed, c.closed) << c.keys;
    }
}

TEST(keyboard_menu, date_menu_lines_on_a_monday)
{
    time::set_first_day_of_week_option(6);  // weeks start on Sunday
    ui::placeholder_view v(1, QStringLiteral("x"), QStringLiteral("x"));
    const time::stored_date monday = time::make_date(2026, 3, 9);
    QStringList texts, keys;
    for (const ui::popup_line& l : ui::date_menu_lines(v, monday, {}))
        if (l.kind == ui::popup_kind::line) {
            texts << l.text;
            keys << l.key;
        }
    time::set_first_day_of_week_option(-1);
    EXPECT_EQ(texts, QStringList({"Today, " + time::weekday_name(monday), "Tomorrow, " + time::weekday_name(monday + 86400),
                                  "This " + time::weekday_name(monday + 2 * 86400),
                                  "This " + time::weekday_name(monday + 3 * 86400),
                                  "This " + time::weekday_name(monday + 4 * 86400),
                                  "This " + time::weekday_name(monday + 5 * 86400),
                                  "Next " + time::weekday_name(monday + 6 * 86400),
                                  "Next " + time::weekday_name(monday + 7 * 86400),
                                  "Next " + time::weekday_name(monday + 8 * 86400), "No Date"}));
    EXPECT_EQ(keys, QStringList({"TOD", "TOM", "w", "th", "f", "sa", "su", "m", "tu", "N"}));
}

struct exchange_ui : ::testing::Test {
    fixed_clock clock{time::make_date(2026, 3, 11) + 10 * 3600};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void SetUp() override
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
        QApplication::setActiveWindow(&p->frame());
        QApplication::clipboard()->clear();
        settle();
    }
    void TearDown() override
    {
        p->frame().close();
        p.reset();
    }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    ui::day_view& day() { return *p->day(); }
    model::task_ptr add(const QString& name, time::stored_date date)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = date;
        t->priority = 1;
        p->commands().add(t);
        return t;
    }
    QStringList task_rows()
    {
        day().refresh();
        QStringList out;
        for (int r = 0; r < day().row_count(); ++r)
            if (day().task_at(r) != nullptr)
                out << day().cell_text(r, ui::day_column::task);
        return out;
    }
    void select(const QStringList& names)
    {
        day().refresh();
        QVector<int> rows;
        for (int r = 0; r < day().row_count(); ++r)
            if (const model::task* t = day().task_at(r); t != nullptr && names.contains(t->name))
                rows << r;
        ASSERT_FALSE(rows.isEmpty());
        day().list().set_focus_cell(rows.front(), ui::day_column::task);
        day().list().select_rows(rows);
    }
};

TEST_F(exchange_ui, copy_three_tasks_into_tomorrow_then_cut_one_into_a_project)
{
    const time::stored_date today = time::make_date(2026, 3, 11);
    for (const char* n : {"One", "Two", "Three"})
        add(QString::fromLatin1(n), today);
    select({"One", "Two", "Three"});
    ASSERT_TRUE(day().handles(ui::cmd::copy));
    day().handle_command(ui::cmd::copy);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(QString::fromLatin1(app::item_mime_type())));
    EXPECT_EQ(data->text(), QStringLiteral("One\nTwo\nThree"));

    day().handle_command(ui::cmd::day_next);
    day().handle_command(ui::cmd::paste);
    EXPECT_EQ(task_rows(), QStringList({"One", "Two", "Three"}));
    day().handle_command(ui::cmd::paste);  // a copy pastes again
    EXPECT_EQ(task_rows().size(), 6);
    p->history().undo_step();
    EXPECT_EQ(task_rows().size(), 3);

    // Cut one: it stays, drawn as cut, until pasted.
    select({"Two"});
    day().handle_command(ui::cmd::cut);
    settle();
    const int two = day().row_of(day().task_at(day().list().focus_row())->id);
    EXPECT_TRUE(day().list().row_cut(two));
    EXPECT_EQ(task_rows().size(), 3);

    model::project_ptr project = std::make_shared<model::project>();
    project->name = QStringLiteral("Garden");
    p->core().projects().add_project(project);
    p->project_tools().projects.find(project->id);
    ui::projects_view& pv = *p->projects();
    p->frame().show_view(ui::projects_view::id);
    pv.refresh();
    pv.projects().select_project(project->id);
    pv.projects().list().setFocus();
    pv.handle_command(ui::cmd::paste);
    settle();
    // It moved into the project and keeps its day.
    EXPECT_EQ(task_rows(), QStringList({"One", "Two", "Three"}));
    ASSERT_EQ(p->core().tasks().tasks_of_project(project->id).size(), 1u);
    EXPECT_EQ(p->core().tasks().tasks_of_project(project->id).front()->name, QStringLiteral("Two"));
    // The cut is pasted once: the clipboard is empty now, the marks gone.
    EXPECT_FALSE(p->clipboard().has_document());
    EXPECT_TRUE(p->clipboard().cut_set().empty());
}

TEST_F(exchange_ui, an_indented_outline_pastes_as_a_tree_into_the_project)
{
    model::project_ptr project = std::make_shared<model::project>();
    project->name = QStringLiteral("Trip");
    p->core().projects().add_project(project);
    p->core().tasks().end_change_batch();
    ui::projects_view& pv = *p->projects();
    p->frame().show_view(ui::projects_view::id);
    pv.refresh();
    pv.projects().select_project(project->id);
    pv.tasks().list().setFocus();
    QApplication::clipboard()->setText(QStringLiteral("Book\n\tTrain\n\tHotel\nPack\n"));
    pv.handle_command(ui::cmd::paste);
    settle();
    model::task_store& tasks = p->core().tasks();
    ASSERT_EQ(tasks.tasks_of_project(project->id).size(), 4u);
    model::task* book = nullptr;
    for (model::task* t : tasks.tasks_of_project(project->id))
        if (t->name == QLatin1String("Book"))
            book = t;
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(tasks.children(*book).size(), 2u);
    // One step takes it all back.
    p->history().undo_step();
    EXPECT_TRUE(tasks.tasks_of_project(project->id).empty());

    // Copy as Text gives the outline back.
    p->history().redo_step();
    pv.handle_command(ui::project_cmd::copy_as_text);
    const QString text = QApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("[ ] Book /id:"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n\t[ ] Train /id:")));
}

TEST_F(exchange_ui, task_list_options_hide_finished_tasks_and_mark_their_line)
{
    const time::stored_date today = time::make_date(2026, 3, 11);
    add(QStringLiteral("Open"), today);
    model::task_ptr done = add(QStringLiteral("Done"), today);
    p->commands().set_status({done.get()}, model::status::finished);
    EXPECT_EQ(task_rows(), QStringList({"Open", "Done"}));
    EXPECT_FALSE(day().line_marked(ui::filter_cmd::finished));
    ASSERT_TRUE(day().handles(ui::filter_cmd::finished));
    day().handle_command(ui::filter_cmd::finished);
    EXPECT_EQ(task_rows(), QStringList({"Open"}));
    EXPECT_TRUE(day().line_marked(ui::filter_cmd::finished));
    // Kept with the list's layout.
    day().save_state();
    EXPECT_NE(day().list().columns().filter_flags & 0x80, 0);
    day().handle_command(ui::filter_cmd::finished);
    EXPECT_EQ(task_rows(), QStringList({"Open", "Done"}));
}

TEST_F(exchange_ui, another_databases_document_pastes_nothing)
{
    const time::stored_date today = time::make_date(2026, 3, 11);
    model::task_ptr t = add(QStringLiteral("Mine"), today);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(app::item_mime_type()),
                  app::write_clipboard_document(QStringLiteral("/elsewhere/other.db"), {model::task_item(t->id)}, false)
                      .toUtf8());
    data->setText(QStringLiteral("Mine"));
    QApplication::clipboard()->setMimeData(data);
    const std::size_t entries = p->history().entries().size();
    day().handle_command(ui::cmd::paste);
    EXPECT_EQ(task_rows(), QStringList({"Mine"}));
    EXPECT_EQ(p->history().entries().size(), entries);
}

}  // namespace
