// Printing: the Day view and a task list rendered to a PDF through
// QPrinter, read back as text with pdftotext; and Print / Print Preview
// enabled only for the views that can print.

#include "support/test_support.h"
#include "time/calendar.h"
#include "time/format.h"
#include "ui/commands.h"
#include "ui/day_view.h"
#include "ui/planner.h"
#include "ui/printout.h"
#include "ui/task_lists.h"

#include <QAction>
#include <QApplication>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

time::stored_date D(int y, int m, int d) { return time::make_date(y, m, d); }

struct printing : ::testing::Test {
    fixed_clock clock{D(2026, 3, 11) + 10 * 3600};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void SetUp() override
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
        settle();
    }
    static void settle()
    {
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
    }
    model::task_ptr add(const QString& name, time::stored_date date, int priority = model::day_priority::b)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = date;
        t->priority = priority;
        p->commands().add(t);
        return t;
    }
    // Renders to a PDF and returns its text; pages through the out-parameter.
    QString print_to_text(const ui::printout& out, const QString& file, int& pages)
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.file(file));
        pages = ui::render_printout(out, printer);
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        EXPECT_FALSE(tool.isEmpty()) << "pdftotext (poppler-utils) is missing: run scripts/setup.sh";
        QProcess run;
        run.start(tool, {folder.file(file), QStringLiteral("-")});
        EXPECT_TRUE(run.waitForFinished(30000));
        return QString::fromUtf8(run.readAllStandardOutput());
    }
};

}  // namespace

TEST_F(printing, dayViewPrintsItsDateHeadingsAndTasks)
{
    add("Buy milk", D(2026, 3, 11), model::day_priority::a);
    add("Call Anna about the lease", D(2026, 3, 11), model::day_priority::c);
    add("Not today", D(2026, 3, 12));
    settle();
    int pages = 0;
    const QString text = print_to_text(p->day()->make_printout(), QStringLiteral("day.pdf"), pages);
    EXPECT_EQ(pages, 1);
    for (const QString& wanted : {QStringLiteral("Buy milk"), QStringLiteral("Call Anna about the lease"),
                                  QStringLiteral("Critical"), QStringLiteral("Desired"), QStringLiteral("Day Priority"),
                                  time::format_long_date(D(2026, 3, 11)), QStringLiteral("Page 1 of 1")})
        EXPECT_TRUE(text.contains(wanted)) << wanted.toStdString() << " not in:\n" << text.toStdString();
    EXPECT_FALSE(text.contains("Not today"));
}

TEST_F(printing, longListsRunOverPagesWithTheirColumnTitlesOnEach)
{
    for (int i = 1; i <= 160; ++i)
        add(QStringLiteral("Task number %1").arg(i), D(2026, 3, 11 + i % 5));
    settle();
    ui::all_tasks_view& list = *p->task_list();
    list.refresh();
    int pages = 0;
    const QString text = print_to_text(list.make_printout(), QStringLiteral("list.pdf"), pages);
    ASSERT_GE(pages, 3);
    EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %1").arg(pages)));
    EXPECT_TRUE(text.contains("Task number 1\n") || text.contains("Task number 1 "));
    EXPECT_TRUE(text.contains("Task number 160"));
    EXPECT_EQ(text.count("Day Priority"), pages);  // the column titles head every page
    EXPECT_TRUE(text.contains("every task, dated"));
}

TEST_F(printing, printCommandsFollowTheViewInFront)
{
    const auto enabled = [this] {
        return p->frame().command_action(ui::cmd::print)->isEnabled() &&
               p->frame().command_action(ui::cmd::print_preview)->isEnabled();
    };
    p->frame().on_command(ui::cmd::day);
    EXPECT_TRUE(enabled());
    for (int alternative : {40011, 40041, 40044}) {
        p->frame().on_command(alternative);
        EXPECT_TRUE(enabled()) << alternative;
        EXPECT_NE(dynamic_cast<ui::printable_view*>(p->frame().active_view()), nullptr);
    }
    p->frame().on_command(ui::cmd::overview);
    EXPECT_FALSE(enabled());
}
