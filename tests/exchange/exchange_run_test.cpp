// The engine against calendars in memory: matching, update instead of
// duplicate, removal of vanished items, one-undo import, cancel, failures,
// and the export with its associations, checked in memory and in the file.

#include "exchange_fixture.h"

#include "exchange/ics_backend.h"
#include "exchange/outlook_backend.h"
#include "time/format.h"



namespace qm::test {
namespace {

using exchange::calendar_ref;
using exchange::direction;
using exchange::exchange_request;

struct exchange_run_test : exchange_fixture {
    std::shared_ptr<fake_backend::state> cal = std::make_shared<fake_backend::state>();
    calendar_ref home{QStringLiteral("fake"), QStringLiteral("home"), QStringLiteral("Home")};

    exchange_run_test() { cal->calendars = {home}; }

    outcome import(int range = exchange::range_choice::all)
    {
        exchange_request r;
        r.dir = direction::import_;
        r.range = range;
        r.calendars = {home};
        return run(std::make_unique<fake_backend>(cal), r);
    }
    outcome export_(int range = exchange::range_choice::all)
    {
        exchange_request r;
        r.dir = direction::export_;
        r.range = range;
        r.calendars = {home};
        r.default_calendar = home;
        return run(std::make_unique<fake_backend>(cal), r);
    }
    std::vector<exchange::calendar_item>& items() { return cal->items[home.entry_id]; }
};

TEST_F(exchange_run_test, imports_new_appointments_and_a_second_run_updates_instead_of_duplicating)
{
    items() = {item("a", "Dentist", D(2026, 3, 12) + 9 * 3600, 30), item("b", "Lunch", D(2026, 3, 13) + 12 * 3600)};
    const outcome first = import();
    ASSERT_TRUE(first.finished);
    EXPECT_EQ(first.lines.first(), "Preparing import process...");
    EXPECT_TRUE(first.lines.contains("Importing..."));
    EXPECT_EQ(first.last(), "Finished importing.");
    EXPECT_TRUE(first.errors.isEmpty()) << first.errors.join("\n").toStdString();
    auto got = appointments();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got["Dentist"]->date, D(2026, 3, 12));
    EXPECT_EQ(got["Dentist"]->appointment_start, 9 * 3600);
    EXPECT_EQ(got["Dentist"]->appointment_duration, 30 * 60);

    items()[0].subject = QStringLiteral("Dentist (moved)");
    items()[0].start += 3600;
    items()[0].end += 3600;
    const outcome second = import();
    got = appointments();
    ASSERT_EQ(got.size(), 2u) << "the second import duplicated";
    ASSERT_TRUE(got.count("Dentist (moved)"));
    EXPECT_EQ(got["Dentist (moved)"]->appointment_start, 10 * 3600);
    EXPECT_EQ(second.lines.filter("Importing changed appointment: Dentist (moved)").size(), 1);
    EXPECT_TRUE(second.lines.filter("Lunch").isEmpty()) << "an unchanged item is not logged";

    // The associations are in the file: after a restart the same items match.
    restart();
    import();
    EXPECT_EQ(appointments().size(), 2u);
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT COUNT(*) FROM OutlookItemEntries")[0][0], "2");
    EXPECT_EQ(query(db, "SELECT store_id, entry_id FROM OutlookFolderEntries")[0], QStringList({"fake", "home"}));
    EXPECT_EQ(query(db, "SELECT COUNT(*) FROM Tasks WHERE appointment = 1")[0][0], "2");
}

TEST_F(exchange_run_test, an_item_gone_from_the_calendar_removes_its_appointment_with_the_line)
{
    items() = {item("a", "Dentist", D(2026, 3, 12) + 9 * 3600), item("b", "Lunch", D(2026, 3, 13) + 12 * 3600)};
    import();
    items().erase(items().begin());
    const outcome second = import();
    EXPECT_TRUE(second.lines.contains(QStringLiteral("Removing appointment Dentist on %1 from Home.")
                                          .arg(time::format_short_date(D(2026, 3, 12)))))
        << second.lines.join("\n").toStdString();
    EXPECT_EQ(appointments().size(), 1u);
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT COUNT(*) FROM OutlookItemEntries")[0][0], "1");
}

TEST_F(exchange_run_test, a_future_import_leaves_past_appointments_and_all_day_items_alone)
{
    exchange::calendar_item all_day = item("c", "Holiday", D(2026, 3, 20), 24 * 60);
    all_day.all_day = true;
    items() = {item("a", "Past", D(2026, 3, 1) + 9 * 3600), item("b", "Later", D(2026, 3, 14) + 9 * 3600), all_day};
    import(exchange::range_choice::all);
    EXPECT_EQ(appointments().size(), 2u) << "all-day items never take part";
    items() = {item("b", "Later", D(2026, 3, 14) + 9 * 3600)};
    const outcome future = import(exchange::range_choice::future);
    EXPECT_EQ(appointments().count("Past"), 1u) << "removal stays within the range";
    EXPECT_TRUE(future.lines.filter("Removing").isEmpty());
}

TEST_F(exchange_run_test, one_undo_reverses_the_whole_import_and_redo_brings_it_back)
{
    items() = {item("a", "Dentist", D(2026, 3, 12) + 9 * 3600), item("b", "Lunch", D(2026, 3, 13) + 12 * 3600)};
    import();
    ASSERT_EQ(appointments().size(), 2u);
    ASSERT_TRUE(h->can_undo());
    EXPECT_EQ(h->undo_list().front().text, "Undo Outlook import");
    h->undo_step();
    EXPECT_TRUE(appointments().empty());
    EXPECT_FALSE(h->can_undo()) << "the import was more than one step";
    EXPECT_TRUE(core.core().tables().outlook_items.cache().empty()) << "undo keeps the associations";
    h->redo_step();
    EXPECT_EQ(appointments().size(), 2u);
    // Undone again and imported anew: no duplicates from stale associations.
    h->undo_step();
    import();
    EXPECT_EQ(appointments().size(), 2u);
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT COUNT(*) FROM Tasks WHERE appointment = 1")[0][0], "2");
    EXPECT_EQ(query(db, "SELECT COUNT(*) FROM OutlookItemEntries")[0][0], "2");
}

TEST_F(exchange_run_test, a_weekly_item_becomes_a_master_with_occurrences_and_its_left_out_day)
{
    exchange::calendar_item meeting = item("w", "Team meeting", D(2026, 3, 9) + 10 * 3600);
    meeting.recurrence = weekly(time::weekday_bit::monday);
    meeting.exceptions = {D(2026, 3, 16)};
    items() = {meeting};
    store().look_at(D(2026, 3, 9));
    store().look_at(D(2026, 3, 16));
    store().look_at(D(2026, 3, 23));
    const outcome o = import();
    ASSERT_EQ(appointments().count("Team meeting"), 1u);
    model::task* master = appointments()["Team meeting"];
    EXPECT_TRUE(model::task_recurrences::is_master(*master));
    ASSERT_NE(recurrences().pattern_of(master->id), nullptr);
    EXPECT_EQ(recurrences().pattern_of(master->id)->type, time::recurrence_kind::weekly);
    const auto occ = occurrences(master->id);
    EXPECT_EQ(occ.size(), 2u);
    EXPECT_TRUE(occ.count(D(2026, 3, 9)));
    EXPECT_FALSE(occ.count(D(2026, 3, 16))) << "the left-out day";
    EXPECT_TRUE(occ.count(D(2026, 3, 23)));
    EXPECT_EQ(o.lines.filter("Importing new recurrent appointment master: Team meeting (").size(), 1);

    // Moving the series to Tuesdays drops the Monday occurrences.
    items()[0].recurrence->param1 = time::weekday_bit::tuesday;
    items()[0].start = D(2026, 3, 10) + 10 * 3600;
    items()[0].end = items()[0].start + 3600;
    items()[0].recurrence->starting_date = D(2026, 3, 10);
    import();
    store().look_at(D(2026, 3, 17));
    EXPECT_EQ(appointments().size(), 1u);
    const auto moved = occurrences(master->id);
    EXPECT_FALSE(moved.count(D(2026, 3, 9)));
    EXPECT_TRUE(moved.count(D(2026, 3, 17)));
    EXPECT_EQ(file_occurrences(master->id).count(D(2026, 3, 23)), 0u);
}

TEST_F(exchange_run_test, failures_end_the_run_with_their_message_and_change_nothing)
{
    items() = {item("a", "Dentist", D(2026, 3, 12) + 9 * 3600)};
    cal->connect_error = QStringLiteral("The server refused the user name or password.");
    outcome o = import();
    EXPECT_EQ(o.last(), "The server refused the user name or password.");
    EXPECT_EQ(o.errors.size(), 1);
    cal->connect_error.clear();
    cal->read_error = QStringLiteral("(timed out)");
    o = import();
    EXPECT_EQ(o.last(), "Unable to get calendar data from Outlook. (timed out)");
    EXPECT_TRUE(appointments().empty());
    EXPECT_FALSE(h->can_undo());
}

TEST_F(exchange_run_test, the_outlook_backend_cannot_start)
{
    exchange_request r;
    r.calendars = {home};
    const outcome o = run(std::make_unique<exchange::outlook_backend>(), r);
    EXPECT_EQ(o.lines, QStringList({"Preparing import process...", "Cannot start Outlook."}));
}

TEST_F(exchange_run_test, cancel_while_reading_ends_with_the_canceled_line_and_no_change)
{
    items() = {item("a", "Dentist", D(2026, 3, 12) + 9 * 3600)};
    exchange_request r;
    r.calendars = {home};
    exchange::exchange_run* running = nullptr;
    // The user presses Cancel while the calendar is being read.
    cal->on_read = [&running] { running->cancel(); };
    const outcome o = run(std::make_unique<fake_backend>(cal), r, [&](exchange::exchange_run& run) { running = &run; });
    EXPECT_EQ(o.last(), "Importing canceled.");
    EXPECT_TRUE(appointments().empty());
}

TEST_F(exchange_run_test, an_empty_calendar_says_so)
{
    const outcome o = import();
    EXPECT_EQ(o.last(), "No appointments found to import.");
    const outcome e = export_(exchange::range_choice::future);
    EXPECT_EQ(e.last(), "No appointments found under: \"Future Appointments.\"");
}

TEST_F(exchange_run_test, export_creates_items_with_guids_and_a_second_export_changes_them_in_place)
{
    model::task_ptr t = add("Review", D(2026, 3, 12));
    edit("Review", [](model::task& x) {
        x.appointment = true;
        x.appointment_start = 14 * 3600;
        x.appointment_duration = 45 * 60;
        x.description = QStringLiteral("Bring the \"draft\";\nsecond line, ünïcödé");
    });
    outcome o = export_();
    EXPECT_EQ(o.last(), "Finished exporting.");
    ASSERT_EQ(items().size(), 1u);
    EXPECT_EQ(items()[0].subject, "Review");
    EXPECT_EQ(items()[0].start, D(2026, 3, 12) + 14 * 3600);
    EXPECT_EQ(items()[0].end, D(2026, 3, 12) + 14 * 3600 + 45 * 60);
    EXPECT_FALSE(items()[0].guid.isEmpty());
    EXPECT_EQ(o.lines.filter("Exporting new appointment: Review, to calendar: Home,").size(), 1);

    o = export_();
    EXPECT_EQ(cal->writes, 1) << "an unchanged appointment is not written again";
    edit("Review", [](model::task& x) { x.appointment_start = 15 * 3600; });
    o = export_();
    ASSERT_EQ(items().size(), 1u) << "the second export duplicated";
    EXPECT_EQ(items()[0].start, D(2026, 3, 12) + 15 * 3600);
    EXPECT_EQ(o.lines.filter("Exporting changed appointment: Review").size(), 1);

    // Imported back, the exported item is the same task: nothing new.
    import();
    EXPECT_EQ(appointments().size(), 1u);
    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(query(db, "SELECT COUNT(*) FROM OutlookItemEntries")[0][0], "1");
}

// Export to a real file, forget every appointment, import the file: the
// same appointments come back, texts and repetition included.
TEST_F(exchange_run_test, an_exported_file_imports_as_the_same_appointments)
{
    add("Call", D(2026, 3, 12));
    edit("Call", [](model::task& t) {
        t.name = QStringLiteral("Call \"Zoë\"; re: 50%, <draft>");
        t.description = QStringLiteral("Line one\nline two, with \\ and ;");
        t.appointment = true;
        t.appointment_start = 8 * 3600 + 15 * 60;
        t.appointment_duration = 20 * 60;
    });
    model::task_ptr meeting = make_master("Weekly", weekly(time::weekday_bit::monday | time::weekday_bit::thursday),
                                          [](model::task& t) {
                                              t.appointment = true;
                                              t.appointment_start = 10 * 3600;
                                              t.appointment_duration = 3600;
                                          });
    recurrences().record_deleted_occurrence(meeting->id, D(2026, 3, 12));
    std::map<QString, model::task> before;
    for (const auto& [name, t] : appointments())
        before[name] = *t;
    const time::recurrence pattern = *recurrences().pattern_of(meeting->id);

    temp_folder folder;
    const QString path = folder.file("out.ics");
    exchange_request r;
    r.dir = direction::export_;
    r.range = exchange::range_choice::all;
    r.calendars = {exchange::ics_backend::calendar_of(path)};
    r.default_calendar = r.calendars[0];
    const outcome o = run(std::make_unique<exchange::ics_backend>(QStringList{path}), r);
    ASSERT_EQ(o.last(), "Finished exporting.") << o.lines.join("\n").toStdString();

    // A planner that never saw these appointments.
    for (const auto& [name, t] : appointments()) {
        for (model::task* occ : recurrences().occurrences_of(t->id))
            store().remove(store().find(occ->id));
        store().remove(store().find(t->id));
    }
    store().end_change_batch();
    while (!core.core().tables().outlook_items.cache().empty())
        core.core().tables().outlook_items.delete_entity(core.core().tables().outlook_items.cache().front()->id);
    ASSERT_TRUE(appointments().empty());

    r.dir = direction::import_;
    const outcome back = run(std::make_unique<exchange::ics_backend>(QStringList{path}), r);
    ASSERT_EQ(back.last(), "Finished importing.") << back.lines.join("\n").toStdString();
    const auto after = appointments();
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, t] : before) {
        ASSERT_TRUE(after.count(name)) << name.toStdString();
        const model::task& a = *after.at(name);
        EXPECT_EQ(a.description, t.description);
        EXPECT_EQ(a.date, t.date);
        EXPECT_EQ(a.appointment_start, t.appointment_start);
        EXPECT_EQ(a.appointment_duration, t.appointment_duration);
    }
    const model::task* weekly_back = after.at("Weekly");
    ASSERT_NE(recurrences().pattern_of(weekly_back->id), nullptr);
    EXPECT_TRUE(recurrences().pattern_of(weekly_back->id)->same_pattern(pattern));
    EXPECT_EQ(recurrences().deleted_dates(weekly_back->id), std::vector<time::stored_date>{D(2026, 3, 12)});
}

}  // namespace
}  // namespace qm::test
