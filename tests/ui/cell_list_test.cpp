#include "ui/cell_list.h"
#include "support/test_support.h"
#include "ui/commands.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm::ui;

namespace {

// A list of plain texts that records what the list asks of it.
struct text_owner : cell_list_owner {
    QStringList rows;
    QStringList log;
    int hidden = 0;
    int row_count() const override { return rows.size(); }
    QString cell_text(int row, int) const override { return rows.value(row); }
    int editor_of(int, int) const override { return editor_kind::text; }
    int commit_text(int row, int, const QString& text) override
    {
        log << QStringLiteral("commit %1 %2").arg(row).arg(text);
        rows[row] = text;
        return 0;
    }
    void begin_commits(int n) override { log << QStringLiteral("begin %1").arg(n); }
    void end_commits(int n) override { log << QStringLiteral("end %1").arg(n); }
    void edit_unchanged(int row, int) override { log << QStringLiteral("unchanged %1").arg(row); }
    int add_row(int focus) override
    {
        rows.insert(focus + 1, QString());
        log << QStringLiteral("add after %1").arg(focus);
        return focus + 1;
    }
    bool list_command(int id) override
    {
        log << QStringLiteral("command %1").arg(id);
        return true;
    }
    int hidden_row_count() const override { return hidden; }
};

QVector<column> one_column() { return {{0, "Name", true, 1.0, -1, -1, true}}; }

cell_list* current_list = nullptr;
// The open cell editor, if any.
QLineEdit* editor()
{
    for (QLineEdit* e : current_list->viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            return e;
    return nullptr;
}

}  // namespace

TEST(cell_list, emptyListTips)
{
    struct row {
        unsigned style;
        int hidden;
        const char* tip;
    };
    const row cases[] = {
        {0, 0, "<Tip: press Enter or right click to add an item>"},
        {0, 4, "<Tip: press Enter or right click to add an item>\r\n<Note: 4 items are currently hidden due to filters "
               "in the Task List Options>"},
        {list_style::no_enter_add, 0, "<Tip: right click to add an item>"},
        {list_style::no_right_click_add, 0, "<Tip: press Enter to add an item>"},
        {list_style::no_right_click_add | list_style::no_enter_add, 0, ""},
        {list_style::no_tips, 0, ""},
        {list_style::read_only, 0, ""},
    };
    for (const auto& c : cases) {
        text_owner owner;
        owner.hidden = c.hidden;
        cell_list list(owner, one_column(), c.style);
        EXPECT_EQ(list.empty_tip().toStdString(), c.tip) << c.style;
    }
}

TEST(cell_list, anEditIsCommittedToEverySelectedRowOrOnlyTheFocusRow)
{
    for (const bool focus_only : {false, true}) {
        text_owner owner;
        owner.rows = {"one", "two", "three"};
        cell_list list(owner, one_column(), focus_only ? list_style::focus_row_commit : 0u);
        current_list = &list;
        list.show();
        list.setFocus();
        list.set_focus_cell(1, 0);
        list.selectAll();
        QTest::keyClick(&list, Qt::Key_X);  // typing opens the editor on the focus cell
        ASSERT_NE(editor(), nullptr);
        QTest::keyClicks(editor(), "yz");
        QTest::keyClick(editor(), Qt::Key_Return);
        QCoreApplication::processEvents();  // the delegate commits on the next turn of the loop
        if (focus_only)
            EXPECT_EQ(owner.log, QStringList({"begin 1", "commit 1 xyz", "end 1"}));
        else
            EXPECT_EQ(owner.log, QStringList({"begin 3", "commit 0 xyz", "commit 1 xyz", "commit 2 xyz", "end 3"}));
    }
}

TEST(cell_list, closingTheEditorUnchangedSendsNoCommit)
{
    text_owner owner;
    owner.rows = {"same"};
    cell_list list(owner, one_column());
    current_list = &list;
    list.show();
    list.setFocus();
    list.set_focus_cell(0, 0);
    QTest::keyClick(&list, Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(owner.log, QStringList({"unchanged 0"}));
}

TEST(cell_list, keysAddDeleteAndMoveTheFocusColumn)
{
    text_owner owner;
    owner.rows = {"a"};
    QVector<column> columns = {{0, "Name", true, 0.5, -1, -1, true}, {1, "Other", true, 0.5}};
    cell_list list(owner, columns);
    current_list = &list;
    list.set_name_column(0);
    list.show();
    list.setFocus();
    list.set_focus_cell(0, 0);
    QTest::keyClick(&list, Qt::Key_Right);
    EXPECT_EQ(list.focus_column_id(), 1);
    QTest::keyClick(&list, Qt::Key_Home);
    EXPECT_EQ(list.focus_column_id(), 0);
    QTest::keyClick(&list, Qt::Key_Delete);
    QTest::keyClick(&list, Qt::Key_Return);  // adds after the focus row and edits its name
    EXPECT_EQ(owner.log, QStringList({"command 40133", "add after 0"}));
    ASSERT_NE(editor(), nullptr);
    QTest::keyClicks(editor(), "b");
    QTest::keyClick(editor(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(owner.rows, QStringList({"a", "b"}));
    EXPECT_TRUE(list.handle_command(cmd::show_column_base + 1));  // hides "Other"
    EXPECT_FALSE(list.columns().columns[1].visible);
}

TEST(cell_list, aDraggedBorderIsTakenOverOnReleaseAndTheColumnsFitTheList)
{
    text_owner owner;
    owner.rows = {"a", "b"};
    cell_list list(owner, {{0, "Name", true, 0.5, -1, -1, true}, {1, "Note", true, 0.5, -1, -1, false},
                           {2, "Size", true, 80, -1, -1, false}});
    list.resize(600, 300);
    list.show();
    QCoreApplication::processEvents();
    QHeaderView* header = list.header();
    auto total = [&] {
        int sum = 0;
        for (int i = 0; i < 3; ++i)
            sum += header->sectionSize(i);
        return sum;
    };
    const int width = list.viewport()->width();
    EXPECT_EQ(total(), width);

    // Drag the border between Name and Note 60 pixels to the right.
    const int border = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(border, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(border + 60, y), header->viewport()->mapToGlobal(QPointF(border + 60, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(border + 60, y));
    QCoreApplication::processEvents();

    EXPECT_EQ(total(), width);  // laid out anew: nothing beyond the list's edge
    const column_model& cols = list.columns();
    EXPECT_GT(cols.columns[0].width, 0.55);  // Name took the space from Note
    EXPECT_NEAR(cols.columns[0].width + cols.columns[1].width, 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(cols.columns[2].width, 80);

    // A resize without a drag is taken over too.
    header->resizeSection(2, 140);
    QCoreApplication::processEvents();
    EXPECT_EQ(total(), width);
}

namespace {

// Rows with a text and a date column, buttons in the text column and a
// clickable date column, recording what the list asks.
struct rich_owner : text_owner {
    QVector<QDateTime> dates;
    int custom_column = -1;
    int date_column_kind = editor_kind::date_time;
    int editor_of(int, int column_id) const override
    {
        if (column_id == custom_column)
            return editor_kind::custom;
        return column_id == 1 ? date_column_kind : editor_kind::text;
    }
    bool begin_date_edit(int row, int, QDateTime& value, QString& format) override
    {
        value = dates.value(row);
        format = QStringLiteral("yyyy-MM-dd HH:mm");
        return true;
    }
    int commit_date(int row, int, const QDateTime& value) override
    {
        log << QStringLiteral("date %1 %2").arg(row).arg(value.toString(Qt::ISODate));
        dates[row] = value;
        return 0;
    }
    void custom_edit(int row, int column_id) override { log << QStringLiteral("custom %1 %2").arg(row).arg(column_id); }
    QVector<cell_button> cell_buttons(int, int column_id) const override
    {
        return column_id == 0 ? QVector<cell_button>{{"go", 777}} : QVector<cell_button>{};
    }
    void cell_button_clicked(int row, int column_id, int command) override
    {
        log << QStringLiteral("button %1 %2 %3").arg(row).arg(column_id).arg(command);
    }
    bool column_clickable(int column_id) const override { return column_id == 1; }
    void cell_clicked(int row, int column_id, Qt::KeyboardModifiers) override
    {
        log << QStringLiteral("clicked %1 %2").arg(row).arg(column_id);
    }
};

QVector<column> two_columns(bool date_visible = true)
{
    return {{0, "Name", true, 0.6, -1, -1, true}, {1, "When", date_visible, 0.4, -1, -1, false}};
}

struct shown_list {
    cell_list list;
    shown_list(cell_list_owner& owner, QVector<column> columns, unsigned style = 0) : list(owner, columns, style)
    {
        current_list = &list;
        list.resize(500, 300);
        list.show();
        list.activateWindow();
        list.setFocus();
        QCoreApplication::processEvents();
    }
    QPoint centre(int row, int column_id)
    {
        return list.visualRect(list.model()->index(row, list.columns().index_of(column_id))).center();
    }
};

}  // namespace

TEST(cell_list, aDateTimeEditCommitsToEveryTargetRowAndAnUnchangedOneNotifies)
{
    rich_owner owner;
    owner.rows = {"a", "b", "c"};
    const QDateTime start(QDate(2026, 3, 11), QTime(9, 0));
    owner.dates = {start, start, start};
    shown_list shown(owner, two_columns());
    cell_list& list = shown.list;
    auto date_editor = [&]() -> QDateTimeEdit* {
        for (QDateTimeEdit* e : list.viewport()->findChildren<QDateTimeEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    };
    list.set_focus_cell(0, 1);
    ASSERT_TRUE(list.edit_cell(0, 1));
    list.select_rows({0, 2});
    QDateTimeEdit* editor = date_editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->displayFormat(), "yyyy-MM-dd HH:mm");
    EXPECT_EQ(editor->dateTime(), start);
    editor->setDateTime(start.addDays(1));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(owner.log, QStringList({"begin 2", "date 0 2026-03-12T09:00:00", "date 2 2026-03-12T09:00:00", "end 2"}));

    owner.log.clear();
    list.select_rows({1});
    list.set_focus_cell(1, 1);
    ASSERT_TRUE(list.edit_cell(1, 1));
    ASSERT_NE(date_editor(), nullptr);
    QTest::keyClick(date_editor(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(owner.log, QStringList({"unchanged 1"}));
}

TEST(cell_list, customCellsAreEditedByTheOwnerAndAppendSpaceKeepsTheText)
{
    rich_owner owner;
    owner.rows = {"milk"};
    owner.dates = {QDateTime()};
    owner.custom_column = 1;
    shown_list shown(owner, two_columns());
    cell_list& list = shown.list;
    list.set_focus_cell(0, 1);
    EXPECT_FALSE(list.edit_cell(0, 1));
    EXPECT_EQ(owner.log, QStringList({"custom 0 1"}));

    list.set_focus_cell(0, 0);
    list.handle_command(cmd::append_space);
    QLineEdit* line = editor();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), "milk ");
    EXPECT_FALSE(line->hasSelectedText());
    QTest::keyClicks(line, "and eggs");
    QTest::keyClick(line, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(owner.rows, QStringList({"milk and eggs"}));
}

TEST(cell_list, buttonsAndClickableColumnsTellTheOwner)
{
    rich_owner owner;
    owner.rows = {"a", "b"};
    owner.dates = {QDateTime(), QDateTime()};
    shown_list shown(owner, two_columns());
    cell_list& list = shown.list;
    list.set_focus_cell(0, 0);
    const QRect cell = list.visualRect(list.model()->index(1, 0));
    const QVector<QRect> rects = cell_list::button_rects(cell, {{"go", 777}}, list.fontMetrics());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rects[0].center());
    EXPECT_EQ(owner.log, QStringList({"button 1 0 777"}));
    EXPECT_EQ(list.focus_row(), 0);  // the button changes nothing else

    owner.log.clear();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, shown.centre(1, 1));
    EXPECT_EQ(owner.log, QStringList({"clicked 1 1"}));
    EXPECT_EQ(list.focus_row(), 1);
}

TEST(cell_list, aHiddenColumnIsEditedInAPopupAtItsRow)
{
    rich_owner owner;
    owner.rows = {"a", "b"};
    owner.dates = {QDateTime(), QDateTime()};
    owner.date_column_kind = editor_kind::text;
    shown_list shown(owner, two_columns(false));
    cell_list& list = shown.list;
    list.set_focus_cell(1, 0);
    ASSERT_TRUE(list.edit_cell(1, 1));
    QLineEdit* popup = list.popup_editor();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_GE(popup->width(), 200);
    EXPECT_TRUE(list.editing());
    QTest::keyClicks(popup, "typed");
    QTest::keyClick(popup, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(owner.log, QStringList({"begin 1", "commit 1 typed", "end 1"}));
    EXPECT_FALSE(list.editing());

    owner.log.clear();
    ASSERT_TRUE(list.edit_cell(0, 1));
    QTest::keyClick(list.popup_editor(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(owner.log, QStringList({"unchanged 0"}));
}

TEST(cell_list, wholeRowFocusTypesIntoTheNameAndClickTogglesSelect)
{
    text_owner owner;
    owner.rows = {"a", "b", "c"};
    shown_list shown(owner, two_columns(), list_style::whole_row_focus | list_style::click_toggles);
    cell_list& list = shown.list;
    list.set_name_column(0);
    list.set_focus_cell(1, 1);
    QTest::keyClicks(&list, "x");
    QLineEdit* line = editor();
    ASSERT_NE(line, nullptr);
    QTest::keyClick(line, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(owner.rows, QStringList({"a", "x", "c"}));

    list.select_rows({});
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, shown.centre(0, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, shown.centre(2, 0));
    EXPECT_EQ(list.selected_rows(), QVector<int>({0, 2}));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, shown.centre(0, 0));
    EXPECT_EQ(list.selected_rows(), QVector<int>({2}));
}
