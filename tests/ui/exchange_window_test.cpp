// The exchange's dialog keeps its choices in its settings file, refuses to
// start without a calendar, and the progress window runs an import to its
// end; opening import again while it is open brings it up instead.

#include "app/settings_document.h"
#include "model/recurrence_fixture.h"
#include "ui/exchange_dialog.h"
#include "ui/exchange_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

namespace qm::test {
namespace {

struct exchange_window_test : recurrence_fixture {
    temp_folder files;
    QString settings() const { return files.path(); }
};

TEST_F(exchange_window_test, the_dialog_keeps_the_chosen_calendars_and_the_default)
{
    const QString ics = files.file("home.ics");
    {
        ui::exchange_dialog d(exchange::direction::export_, settings() + "outlook_export.ini");
        d.add_file(ics);
        d.accept();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    const app::settings_document doc = app::settings_document::load(settings() + "outlook_export.ini");
    EXPECT_EQ(doc.get_string("calendars", "export"), "ics|" + ics);
    EXPECT_EQ(doc.get_string("calendars", "default_calendar"), "ics|" + ics);
    ui::exchange_dialog again(exchange::direction::export_, settings() + "outlook_export.ini");
    ASSERT_EQ(again.calendar_list()->count(), 1);
    EXPECT_EQ(again.calendar_list()->item(0)->checkState(), Qt::Checked);
    const exchange::exchange_request r = again.request();
    ASSERT_EQ(r.calendars.size(), 1u);
    EXPECT_EQ(r.calendars[0].entry_id, ics);
    EXPECT_EQ(r.default_calendar.entry_id, ics);
    EXPECT_EQ(r.default_calendar.name, "home.ics");
}

TEST_F(exchange_window_test, the_dialog_refuses_to_start_without_a_calendar)
{
    ui::exchange_dialog d(exchange::direction::import_, settings() + "outlook_import.ini");
    d.accept();
    EXPECT_NE(d.result(), QDialog::Accepted);
    bool told = false;
    for (QLabel* l : d.findChildren<QLabel*>())
        told = told || l->text() == "Add a calendar file and check it first.";
    EXPECT_TRUE(told);
    EXPECT_FALSE(QFile::exists(settings() + "outlook_import.ini")) << "nothing is kept from a refused start";
}

TEST_F(exchange_window_test, the_progress_window_runs_an_import_and_a_second_open_brings_it_up)
{
    const QString ics = files.file("in.ics");
    QFile f(ics);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART:20260312T090000Z\r\n"
            "DTEND:20260312T100000Z\r\nSUMMARY:Dentist <3 & co\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:b\r\n"
            "SUMMARY:Broken\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    f.close();
    QWidget parent;
    ui::exchange_launcher launcher(exchange::planner_side{*h, store(), recurrences(), core.core().tables()}, settings(),
                                   &parent);
    exchange::calendar_source source;
    source.files = {ics};
    exchange::exchange_request r;
    r.range = exchange::range_choice::all;
    r.calendars = {exchange::calendar_ref{"ics", ics, "in.ics"}};
    ui::exchange_window* w = launcher.start(source, r);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Import from iCalendar Files");
    EXPECT_EQ(w->button()->text(), "&Cancel");
    QElapsedTimer waited;
    waited.start();
    while (!w->run().finished() && waited.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(w->run().finished());
    const QString log = w->log()->toPlainText();
    EXPECT_TRUE(log.contains("Importing new appointment: Dentist <3 & co, from calendar: in.ics")) << log.toStdString();
    EXPECT_TRUE(log.contains("Error updating Broken: line 9: its start time cannot be read")) << log.toStdString();
    EXPECT_TRUE(log.endsWith("Finished importing."));
    EXPECT_TRUE(w->log()->toHtml().contains("color:#b00020")) << "the failure stands out";
    EXPECT_EQ(w->button()->text(), "Close");
    launcher.open_import();  // no dialog: the open window comes up
    EXPECT_EQ(launcher.window(), w);
    w->button()->click();
    QApplication::processEvents();
    EXPECT_TRUE(QFile::exists(settings() + "outlook_import_progress.ini"));
}

}  // namespace
}  // namespace qm::test
