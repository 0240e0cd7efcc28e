// The CalDAV backend against a real Radicale server, started by the test on
// a free loopback port with a storage folder of its own and ended by its
// process id: the login refused, import, a change on the server imported
// again, export, and a write refused because the server's copy changed.

#include "exchange/caldav_backend.h"
#include "exchange/calendar_source.h"
#include "exchange_fixture.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <signal.h>

namespace qm::test {
namespace {

// Radicale on 127.0.0.1 with one user, "ann" / "secret".
class radicale_server {
public:
    radicale_server()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("radicale"));
        if (program.isEmpty())
            return;
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port_ = probe.serverPort();
        probe.close();
        QFile users(folder_.file("users"));
        users.open(QIODevice::WriteOnly);
        users.write("ann:secret\n");
        users.close();
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(program, {"--server-hosts", QStringLiteral("127.0.0.1:%1").arg(port_), "--storage-filesystem-folder",
                                 folder_.file("storage"), "--auth-type", "htpasswd", "--auth-htpasswd-filename",
                                 folder_.file("users"), "--auth-htpasswd-encryption", "plain", "--logging-level",
                                 "warning"});
        if (!process_.waitForStarted(10000))
            return;
        for (int i = 0; i < 100; ++i) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, port_);
            if (s.waitForConnected(100)) {
                ready_ = true;
                return;
            }
            QThread::msleep(100);
        }
    }
    ~radicale_server()
    {
        if (process_.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
            if (!process_.waitForFinished(5000))
                ::kill(static_cast<pid_t>(process_.processId()), SIGKILL);
            process_.waitForFinished(5000);
        }
    }
    bool ready() const { return ready_; }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }

    // A plain request as another calendar program would send it.
    int send(const QByteArray& verb, const QString& path, const QByteArray& body = {},
             const QByteArray& type = "text/calendar; charset=utf-8")
    {
        QNetworkAccessManager network;
        QNetworkRequest request(QUrl(address() + path));
        request.setRawHeader("Authorization", "Basic " + QByteArray("ann:secret").toBase64());
        request.setRawHeader("Content-Type", type);
        QNetworkReply* reply = network.sendCustomRequest(request, verb, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        delete reply;
        return status;
    }

private:
    temp_folder folder_;
    QProcess process_;
    quint16 port_ = 0;
    bool ready_ = false;
};

QByteArray event(const QByteArray& uid, const QByteArray& summary, const QByteArray& start)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
           "\r\nDTSTAMP:20260301T000000Z\r\nDTSTART:" + start + "\r\nDURATION:PT1H\r\nSUMMARY:" + summary +
           "\r\nLOCATION:Room 7\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

TEST(caldav_backend, refuses_to_send_a_password_unencrypted_beyond_this_computer)
{
    struct row {
        const char* address;
        QString error;
    } rows[] = {
        {"http://calendar.example.org/dav/",
         "The password would travel unencrypted to calendar.example.org; use its https:// address."},
        {"ftp://calendar.example.org/", "\"ftp://calendar.example.org/\" is not the address of a CalDAV server (http:// or "
                                         "https://)."},
    };
    for (const row& r : rows) {
        exchange::caldav_backend b(r.address, "ann", "secret", 2000);
        QString error;
        EXPECT_FALSE(b.connect(error)) << r.address;
        EXPECT_EQ(error, r.error);
    }
}

struct caldav_test : exchange_fixture {
    radicale_server server;
    temp_folder versions;

    void SetUp() override
    {
        if (!server.ready())
            GTEST_SKIP() << "radicale is not installed or did not start";
        ASSERT_EQ(server.send("MKCALENDAR", "ann/work/", QByteArray(), "application/xml"), 201);
        ASSERT_EQ(server.send("PUT", "ann/work/standup.ics",
                              event("standup@other", "Stand-up", "20260312T090000Z")), 201);
    }

    exchange::calendar_source source(const QString& password = QStringLiteral("secret"))
    {
        exchange::calendar_source s;
        s.kind = exchange::source_kind::caldav;
        s.server = server.address();
        s.user = QStringLiteral("ann");
        s.password = password;
        return s;
    }
    exchange::calendar_ref work()
    {
        exchange::caldav_backend b(server.address(), "ann", "secret");
        QString error;
        std::vector<exchange::calendar_ref> found;
        EXPECT_TRUE(b.connect(error)) << error.toStdString();
        b.list_calendars(found, error);
        b.release();
        EXPECT_EQ(found.size(), 1u);
        return found.empty() ? exchange::calendar_ref() : found[0];
    }
    outcome exchange_with(exchange::direction d, const exchange::calendar_source& s)
    {
        exchange::exchange_request r;
        r.dir = d;
        r.range = exchange::range_choice::all;
        r.calendars = {work()};
        r.default_calendar = r.calendars[0];
        r.versions_file = versions.file("calendar_versions.txt");
        return run(exchange::make_backend(s), r);
    }
};

TEST_F(caldav_test, a_refused_login_ends_the_run_and_changes_nothing)
{
    exchange::exchange_request r;
    r.calendars = {exchange::calendar_ref{"caldav", server.address() + "ann/work/", "work"}};
    const outcome o = run(exchange::make_backend(source("wrong")), r);
    EXPECT_EQ(o.last(), "The server 127.0.0.1 refused the user name or password.");
    EXPECT_TRUE(appointments().empty());
}

TEST_F(caldav_test, import_then_a_change_on_the_server_is_imported_again_without_a_duplicate)
{
    const exchange::calendar_ref c = work();
    EXPECT_EQ(c.entry_id, server.address() + "ann/work/");
    outcome o = exchange_with(exchange::direction::import_, source());
    EXPECT_EQ(o.last(), "Finished importing.") << o.lines.join("\n").toStdString();
    ASSERT_EQ(appointments().count("Stand-up"), 1u);
    EXPECT_EQ(appointments()["Stand-up"]->appointment_start, 9 * 3600);

    ASSERT_EQ(server.send("PUT", "ann/work/standup.ics", event("standup@other", "Stand-up (longer)", "20260312T083000Z")) / 100,
              2);
    o = exchange_with(exchange::direction::import_, source());
    ASSERT_EQ(appointments().size(), 1u) << o.lines.join("\n").toStdString();
    EXPECT_EQ(appointments().count("Stand-up (longer)"), 1u);
    EXPECT_EQ(appointments()["Stand-up (longer)"]->appointment_start, 8 * 3600 + 1800);
}

TEST_F(caldav_test, export_writes_new_and_changed_appointments_to_the_server)
{
    exchange_with(exchange::direction::import_, source());
    add("Planning", D(2026, 3, 13));
    edit("Planning", [](model::task& t) {
        t.appointment = true;
        t.appointment_start = 15 * 3600;
        t.appointment_duration = 1800;
    });
    edit("Stand-up", [](model::task& t) { t.name = QStringLiteral("Stand-up, renamed"); });
    const outcome o = exchange_with(exchange::direction::export_, source());
    EXPECT_EQ(o.last(), "Finished exporting.") << o.lines.join("\n").toStdString();
    EXPECT_EQ(o.lines.filter("Exporting new appointment: Planning").size(), 1);
    EXPECT_EQ(o.lines.filter("Exporting changed appointment: Stand-up, renamed").size(), 1);

    exchange::caldav_backend b(server.address(), "ann", "secret");
    QString error;
    std::vector<exchange::calendar_item> items;
    std::vector<exchange::item_problem> problems;
    ASSERT_TRUE(b.connect(error));
    ASSERT_TRUE(b.list_items(work(), items, problems, error));
    b.release();
    std::map<QString, exchange::calendar_item> by_name;
    for (const auto& i : items)
        by_name[i.subject] = i;
    ASSERT_EQ(by_name.size(), 2u);
    EXPECT_EQ(by_name["Planning"].start, D(2026, 3, 13) + 15 * 3600);
    EXPECT_EQ(by_name["Stand-up, renamed"].entry_id, server.address() + "ann/work/standup.ics")
        << "written in place, not as a copy";
}

TEST_F(caldav_test, an_export_never_overwrites_a_change_made_on_the_server_since_the_import)
{
    exchange_with(exchange::direction::import_, source());
    ASSERT_EQ(server.send("PUT", "ann/work/standup.ics", event("standup@other", "Changed elsewhere", "20260312T100000Z")) /
                  100,
              2);
    edit("Stand-up", [](model::task& t) { t.name = QStringLiteral("Changed here"); });
    outcome o = exchange_with(exchange::direction::export_, source());
    EXPECT_EQ(o.errors, QStringList({"Error updating Changed here: the appointment was changed on the server since it "
                                     "was last imported, so it was not overwritten; import it first"}));
    exchange::caldav_backend b(server.address(), "ann", "secret");
    QString error;
    ASSERT_TRUE(b.connect(error));
    auto still = b.find_by_guid(work(), "standup@other");
    b.release();
    ASSERT_TRUE(still);
    EXPECT_EQ(still->subject, "Changed elsewhere");

    // Imported, the server's change is the planner's; the next export may write.
    exchange_with(exchange::direction::import_, source());
    edit("Changed elsewhere", [](model::task& t) { t.name = QStringLiteral("Changed here after all"); });
    o = exchange_with(exchange::direction::export_, source());
    EXPECT_TRUE(o.errors.isEmpty()) << o.errors.join("\n").toStdString();
    EXPECT_EQ(o.lines.filter("Exporting changed appointment: Changed here after all").size(), 1);
    // And a second export right after its own write finds its own version.
    edit("Changed here after all", [](model::task& t) { t.appointment_duration = 900; });
    o = exchange_with(exchange::direction::export_, source());
    EXPECT_TRUE(o.errors.isEmpty()) << o.errors.join("\n").toStdString();
}

TEST_F(caldav_test, a_write_over_a_copy_changed_on_the_server_is_refused)
{
    exchange::caldav_backend b(server.address(), "ann", "secret");
    QString error;
    std::vector<exchange::calendar_item> items;
    std::vector<exchange::item_problem> problems;
    ASSERT_TRUE(b.connect(error));
    const exchange::calendar_ref c = work();
    ASSERT_TRUE(b.list_items(c, items, problems, error));
    ASSERT_EQ(items.size(), 1u);
    // Another program changes the event after it was read.
    ASSERT_EQ(server.send("PUT", "ann/work/standup.ics", event("standup@other", "Changed elsewhere", "20260312T100000Z")) / 100,
              2);
    exchange::calendar_item mine = items[0];
    mine.subject = QStringLiteral("Mine");
    EXPECT_FALSE(b.write_item(c, mine, error));
    EXPECT_EQ(error, "the appointment was changed on the server since it was read, so it was not overwritten; import "
                     "it first");
    ASSERT_TRUE(b.list_items(c, items, problems, error));
    b.release();
    EXPECT_EQ(items[0].subject, "Changed elsewhere");
}

}  // namespace
}  // namespace qm::test
