// The alarm's command of actions, its words and its countdown, without a store.

#include "time/format.h"
#include "tracking/alarm.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace qm::tracking {
namespace {

using entries = std::vector<alarm_entry>;

alarm_entry E(char kind, const QString& argument) { return {QChar::fromLatin1(kind), argument}; }

TEST(alarm_command, reads_quoted_escaped_and_bare_commands)
{
    struct row {
        const char* command;
        entries expected;
    };
    const std::vector<row> rows = {
        {"*alarm.wav", {E('*', "alarm.wav")}},
        {"\"*alarm.wav", {E('*', "alarm.wav")}},  // one entry as older versions wrote it
        {"\"*alarm.wav\"", {E('*', "alarm.wav")}},
        {"\":\\\"/usr/bin/touch\\\" /tmp/x", {E(':', "\"/usr/bin/touch\" /tmp/x")}},
        {"\"*a.wav\"|\"?example.com\"|\">C:\\\\notes.txt\"",
         {E('*', "a.wav"), E('?', "example.com"), E('>', "C:\\notes.txt")}},
        {"\"*a.wav\"|\"?b", {E('*', "a.wav"), E('?', "b")}},
        {"", {}},
        {"||", {}},
    };
    for (const row& r : rows) {
        const auto read = read_alarm_command(QString::fromUtf8(r.command));
        ASSERT_TRUE(read) << r.command;
        EXPECT_EQ(*read, r.expected) << r.command;
    }
}

TEST(alarm_command, refuses_what_cannot_be_read)
{
    for (const char* bad : {"\"*a.wav\\", "\"*a\\q.wav", "\"*a.wav\"|?b\"|>c", "*a.wav\"|?b"})
        EXPECT_FALSE(read_alarm_command(QString::fromUtf8(bad))) << bad;
}

TEST(alarm_command, written_entries_read_back_whatever_they_hold)
{
    const entries all = {E('*', "C:\\sounds\\bell \"loud\".wav"), E('?', "example.com/a|b"),
                         E('>', "/home/u/notes.txt"),
                         E(':', program_argument("/usr/bin/no\"tify-send", "\"Time is up\" now"))};
    const QString written = write_alarm_command(all);
    const auto read = read_alarm_command(written);
    ASSERT_TRUE(read) << written.toStdString();
    EXPECT_EQ(*read, all);
    EXPECT_EQ(all[3].argument, QStringLiteral("\"/usr/bin/notify-send\" \"Time is up\" now"));
}

TEST(alarm_command, splits_programs_from_their_parameters)
{
    struct row {
        const char* argument;
        const char* file;
        const char* parameters;
    };
    const std::vector<row> rows = {
        {"\"/usr/bin/touch\" /tmp/x", "/usr/bin/touch", "/tmp/x"},
        {"  \"/usr/bin/prog\" \"a b\"  ", "/usr/bin/prog", "a b"},
        {"/home/u/notes.txt", "/home/u/notes.txt", ""},
        {"\"/usr/bin/prog\"", "/usr/bin/prog", ""},
    };
    for (const row& r : rows) {
        const program_call c = split_program(QString::fromUtf8(r.argument));
        EXPECT_EQ(c.file, QString::fromUtf8(r.file)) << r.argument;
        EXPECT_EQ(c.parameters, QString::fromUtf8(r.parameters)) << r.argument;
    }
}

struct recording_actions : alarm_actions {
    QStringList calls;
    QString play_sound(const QString& p) override { return calls << "play " + p, QString(); }
    QString open_website(const QString& a) override { return calls << "web " + a, QString(); }
    QString open_file(const QString& f, const QString&) override { return calls << "open " + f, QString(); }
    QString run_program(const QString& f, const QString& p) override
    {
        calls << "run " + f + " " + p;
        return QStringLiteral("No such file.");
    }
};

TEST(alarm_command, each_kind_runs_its_action)
{
    recording_actions a;
    EXPECT_FALSE(run_entry(E('*', "alarm.wav"), a, "/opt/q/"));
    EXPECT_FALSE(run_entry(E('*', "/snd/Bell.WAV"), a, "/opt/q/"));
    EXPECT_FALSE(run_entry(E('*', "notes.txt"), a, "/opt/q/"));  // not a sound: opened
    EXPECT_FALSE(run_entry(E('?', "example.com"), a, "/opt/q/"));
    EXPECT_FALSE(run_entry(E('?', "https://example.com"), a, "/opt/q/"));
    const auto failure = run_entry(E(':', "\"/bin/x\" -v"), a, "/opt/q/");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->caption, QStringLiteral("Couldn't run"));
    EXPECT_EQ(a.calls, QStringList({"play /opt/q/alarm.wav", "play /snd/Bell.WAV", "open notes.txt",
                                    "web http://example.com", "web https://example.com", "run /bin/x -v"}));
}

class alarm_words : public ::testing::Test {
protected:
    test::fixed_clock clock{time::make_time(2026, 3, 11, 10, 0)};
    time::stored_time now = time::make_time(2026, 3, 11, 10, 0);
};

TEST_F(alarm_words, trigger_descriptions_in_each_style)
{
    Alarm a;
    a.type = alarm_type::at_time_attached;
    a.time = now + 2 * 86400 + 3600;
    const QString on = trigger_description(a, 0, now);
    EXPECT_TRUE(on.startsWith(QStringLiteral("On "))) << on.toStdString();
    EXPECT_TRUE(on.endsWith(QLatin1Char('.')));
    const QString plain = trigger_description(a, 6, now);
    EXPECT_TRUE(plain.startsWith(QStringLiteral("on "))) << plain.toStdString();
    EXPECT_FALSE(plain.endsWith(QLatin1Char('.')));

    struct row {
        int type;
        std::int64_t time;
        int flags;
        int style;
        QString expected;
    };
    const std::vector<row> rows = {
        {0, now + 3600, 0, 6, "at " + time::format_time_of_day(11 * 3600)},
        {2, 1800, 0, 6, time::format_duration(1800) + " before appointment starts"},
        {3, 7200, 0, 0, "When time reaches " + time::format_duration(7200) + "."},
        {4, 0, 1, 6, "when estimate is reached or at next task transition"},
        {6, 900, 0, 1, "Alarm whenever a timer reaches " + time::format_duration(900) + "."},
        {7, 0, 0, 2, "When finished"},
        {10, 0, 0, 6, "whenever a timer is started"},
        {11, 0, 0, 0, ""},
    };
    for (const row& r : rows) {
        Alarm x;
        x.type = r.type;
        x.time = r.time;
        x.flags = r.flags;
        EXPECT_EQ(trigger_description(x, r.style, now), r.expected) << r.type;
    }
    Alarm t;
    t.attached_type = 17;
    EXPECT_EQ(trigger_description(t, 0, now), QString());
}

TEST_F(alarm_words, countdowns_round_to_the_nearest_minute_and_say_when_overdue)
{
    Alarm a;
    a.type = alarm_type::at_time;
    struct row {
        std::int64_t left;
        QString expected;
    };
    const std::vector<row> rows = {
        {125, "in " + time::format_duration(155)},
        {60, "in " + time::format_duration(60)},
        {-30, "overdue by " + time::format_duration(30)},
        {0, "in " + time::format_duration(0)},
    };
    test::started_core core;
    for (const row& r : rows) {
        a.time = now + r.left;
        EXPECT_EQ(countdown_text(a, core.core().tasks(), now, false), r.expected) << r.left;
    }
    a.time = now + 125;
    EXPECT_EQ(countdown_text(a, core.core().tasks(), now, true), time::format_duration(155));
    a.time = 0;
    EXPECT_EQ(countdown_text(a, core.core().tasks(), now, false), QStringLiteral("N/A"));
    a.type = alarm_type::finished;
    EXPECT_EQ(countdown_text(a, core.core().tasks(), now, false), QStringLiteral("N/A"));
    a.type = alarm_type::before_appointment;  // of a task that does not exist
    a.attached = 999;
    a.attached_type = 1;
    EXPECT_EQ(countdown_text(a, core.core().tasks(), now, false), QStringLiteral("N/A"));
}

TEST_F(alarm_words, window_time_line)
{
    test::started_core core;
    Alarm a;
    a.type = alarm_type::at_time;
    a.time = now + 600;
    EXPECT_EQ(window_time_text(a, core.core().tasks(), now, now), "In " + time::format_duration(600));
    a.time = now - 30;
    EXPECT_EQ(window_time_text(a, core.core().tasks(), now, now), QStringLiteral("Now"));
    a.time = now - 3600;
    EXPECT_EQ(window_time_text(a, core.core().tasks(), now, now), time::format_duration(3600) + " ago");
    a.type = alarm_type::finished;  // no time: counted from the window's opening
    EXPECT_EQ(window_time_text(a, core.core().tasks(), now, now - 300), time::format_duration(300) + " ago");
}

TEST(alarm_defaults, new_alarms_copy_their_kind_of_template)
{
    std::vector<alarm_ptr> cache;
    Alarm plain = new_alarm(cache, alarm_kind::todo, 7);
    EXPECT_EQ(plain.flags, alarm_flag::show_window);
    EXPECT_EQ(plain.command, QStringLiteral("*alarm.wav"));
    EXPECT_EQ(plain.attached, 7);
    EXPECT_EQ(plain.attached_type, 1);

    auto todo = std::make_shared<Alarm>();
    todo->id = 40;
    todo->type = alarm_type::template_;
    todo->attached_type = template_key::todo;
    todo->command = QStringLiteral("\"?example.com\"");
    todo->flags = alarm_flag::next_transition;
    cache.push_back(todo);
    const Alarm copied = new_alarm(cache, alarm_kind::todo, 7);
    EXPECT_EQ(copied.id, 0);
    EXPECT_EQ(copied.command, todo->command);
    EXPECT_EQ(copied.flags, alarm_flag::next_transition);
    EXPECT_EQ(copied.attached_type, 1);
    // Another kind is untouched by this template.
    EXPECT_EQ(new_alarm(cache, alarm_kind::standalone).command, QStringLiteral("*alarm.wav"));
    EXPECT_EQ(new_alarm(cache, alarm_kind::standalone).attached_type, 0);
    EXPECT_EQ(category(16), 0);
    EXPECT_EQ(category(18), 1);
    EXPECT_EQ(category(24), 24);
}

}  // namespace
}  // namespace qm::tracking
