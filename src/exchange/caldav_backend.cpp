#include "exchange/caldav_backend.h"

#include "exchange/exchange_texts.h"
#include "exchange/ics_document.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>
#include <QXmlStreamReader>

namespace qm::exchange {
namespace {

// One <response> of a multistatus answer: its href and, of the properties
// found (status 200), the text, the child element names and the first href.
struct dav_property {
    QString text;
    QStringList children;
    QString href;
};
struct dav_response {
    QString href;
    std::map<QString, dav_property> props;  // by local name
};

std::vector<dav_response> parse_multistatus(const QByteArray& body)
{
    std::vector<dav_response> out;
    QXmlStreamReader xml(body);
    dav_response current;
    std::map<QString, dav_property> propstat;
    QString prop_name;
    int depth_in_prop = 0;
    bool in_response = false, in_prop = false, ok_status = false;
    while (!xml.atEnd() && out.size() < 100000) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            if (name == QLatin1String("response")) {
                in_response = true;
                current = dav_response();
            } else if (in_response && name == QLatin1String("propstat")) {
                propstat.clear();
                ok_status = true;
            } else if (in_response && name == QLatin1String("prop") && !in_prop) {
                in_prop = true;
                depth_in_prop = 0;
            } else if (in_prop) {
                ++depth_in_prop;
                if (depth_in_prop == 1) {
                    prop_name = name;
                    propstat[prop_name];
                } else {
                    dav_property& p = propstat[prop_name];
                    if (depth_in_prop == 2)
                        p.children << name;
                    if (name == QLatin1String("href") && p.href.isEmpty())
                        p.href = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed(), --depth_in_prop;
                }
            } else if (in_response && name == QLatin1String("href") && current.href.isEmpty()) {
                current.href = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            } else if (in_response && name == QLatin1String("status")) {
                const QString status = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                ok_status = status.contains(QLatin1String(" 200"));
            }
        } else if (xml.isCharacters() && in_prop && depth_in_prop >= 1) {
            dav_property& p = propstat[prop_name];
            if (p.text.size() < 64 * 1024 * 1024)
                p.text += xml.text();
        } else if (xml.isEndElement()) {
            const QString name = xml.name().toString();
            if (in_prop && depth_in_prop > 0) {
                --depth_in_prop;
            } else if (in_prop && name == QLatin1String("prop")) {
                in_prop = false;
            } else if (name == QLatin1String("propstat")) {
                if (ok_status)
                    for (auto& [k, v] : propstat)
                        current.props[k] = v;
                propstat.clear();
            } else if (name == QLatin1String("response")) {
                in_response = false;
                out.push_back(current);
            }
        }
    }
    return out;
}

const QByteArray xml_type = "application/xml; charset=utf-8";

}  // namespace

caldav_backend::caldav_backend(const QString& server, QString user, QString password, int timeout_ms)
    : server_(QUrl::fromUserInput(server.trimmed())), user_(std::move(user)), password_(std::move(password)),
      timeout_ms_(timeout_ms)
{
    if (!server_.path().endsWith(QLatin1Char('/')))
        server_.setPath(server_.path() + QLatin1Char('/'));
}

caldav_backend::~caldav_backend() = default;

void caldav_backend::release() { network_.reset(); }

caldav_backend::reply caldav_backend::send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                                           const std::vector<std::pair<QByteArray, QByteArray>>& headers)
{
    if (!network_)
        network_ = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    request.setTransferTimeout(timeout_ms_);
    if (!user_.isEmpty())
        request.setRawHeader("Authorization", "Basic " + (user_ + QLatin1Char(':') + password_).toUtf8().toBase64());
    for (const auto& h : headers)
        request.setRawHeader(h.first, h.second);
    QNetworkReply* r = network_->sendCustomRequest(request, verb, body);
    QEventLoop loop;
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, r, &QNetworkReply::abort);
    guard.start(timeout_ms_ + 1000);
    if (!r->isFinished())
        loop.exec();
    reply out;
    out.status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.body = r->read(64 * 1024 * 1024);
    out.etag = r->rawHeader("ETag");
    if (out.status == 0) {
        out.error = r->error() == QNetworkReply::OperationCanceledError || r->error() == QNetworkReply::TimeoutError
                        ? QStringLiteral("The server %1 did not answer within %2 seconds.")
                              .arg(server_.host())
                              .arg((timeout_ms_ + 999) / 1000)
                        : QStringLiteral("The server %1 cannot be reached: %2").arg(server_.host(), r->errorString());
    }
    delete r;
    return out;
}

QString caldav_backend::failure(const reply& r, std::initializer_list<int> wanted) const
{
    if (!r.error.isEmpty())
        return r.error;
    for (int w : wanted)
        if (r.status == w)
            return QString();
    if (r.status == 401 || r.status == 403)
        return QStringLiteral("The server %1 refused the user name or password.").arg(server_.host());
    return QStringLiteral("The server %1 answered with the error %2.").arg(server_.host()).arg(r.status);
}

bool caldav_backend::connect(QString& error)
{
    if (!server_.isValid() || (server_.scheme() != QLatin1String("http") && server_.scheme() != QLatin1String("https"))) {
        error = QStringLiteral("\"%1\" is not the address of a CalDAV server (http:// or https://).")
                    .arg(server_.toString());
        return false;
    }
    // A password sent over plain HTTP can be read on the way; only a server
    // on this computer may be reached without TLS.
    const QString host = server_.host().toLower();
    const bool local = host == QLatin1String("localhost") || host == QLatin1String("127.0.0.1") ||
                       host == QLatin1String("::1") || host == QLatin1String("[::1]");
    if (server_.scheme() == QLatin1String("http") && !local && !user_.isEmpty()) {
        error = QStringLiteral("The password would travel unencrypted to %1; use its https:// address.").arg(host);
        return false;
    }
    calendars_.clear();
    const QByteArray ask =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind xmlns:D=\"DAV:\" "
        "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:prop><D:current-user-principal/><D:resourcetype/>"
        "<D:displayname/><C:calendar-home-set/></D:prop></D:propfind>";
    reply r = send("PROPFIND", server_, ask, {{"Depth", "0"}, {"Content-Type", xml_type}});
    if (QString f = failure(r, {207}); !f.isEmpty()) {
        error = f;
        return false;
    }
    // The address of one calendar, or of the server: then its principal's
    // calendar home holds the calendars.
    QUrl home = server_;
    for (const dav_response& d : parse_multistatus(r.body)) {
        auto type = d.props.find(QStringLiteral("resourcetype"));
        if (type != d.props.end() && type->second.children.contains(QLatin1String("calendar"))) {
            const auto name = d.props.find(QStringLiteral("displayname"));
            calendars_.push_back({store_id(server_), server_.toString(),
                                  name != d.props.end() && !name->second.text.trimmed().isEmpty()
                                      ? name->second.text.trimmed()
                                      : server_.path()});
            return true;
        }
        auto set = d.props.find(QStringLiteral("calendar-home-set"));
        if (set != d.props.end() && !set->second.href.isEmpty())
            home = server_.resolved(QUrl(set->second.href));
        else if (auto p = d.props.find(QStringLiteral("current-user-principal")); p != d.props.end() && !p->second.href.isEmpty()) {
            const QUrl principal = server_.resolved(QUrl(p->second.href));
            reply pr = send("PROPFIND", principal,
                            "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind xmlns:D=\"DAV:\" "
                            "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:prop><C:calendar-home-set/></D:prop>"
                            "</D:propfind>",
                            {{"Depth", "0"}, {"Content-Type", xml_type}});
            if (QString f = failure(pr, {207}); !f.isEmpty()) {
                error = f;
                return false;
            }
            for (const dav_response& h : parse_multistatus(pr.body))
                if (auto s = h.props.find(QStringLiteral("calendar-home-set")); s != h.props.end() && !s->second.href.isEmpty())
                    home = principal.resolved(QUrl(s->second.href));
        }
    }
    reply list = send("PROPFIND", home,
                      "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:propfind xmlns:D=\"DAV:\"><D:prop><D:resourcetype/>"
                      "<D:displayname/></D:prop></D:propfind>",
                      {{"Depth", "1"}, {"Content-Type", xml_type}});
    if (QString f = failure(list, {207}); !f.isEmpty()) {
        error = f;
        return false;
    }
    for (const dav_response& d : parse_multistatus(list.body)) {
        auto type = d.props.find(QStringLiteral("resourcetype"));
        if (type == d.props.end() || !type->second.children.contains(QLatin1String("calendar")))
            continue;
        const QUrl url = home.resolved(QUrl(d.href));
        const auto name = d.props.find(QStringLiteral("displayname"));
        calendars_.push_back({store_id(server_), url.toString(),
                              name != d.props.end() && !name->second.text.trimmed().isEmpty() ? name->second.text.trimmed()
                                                                                               : url.path()});
    }
    return true;
}

bool caldav_backend::list_calendars(std::vector<calendar_ref>& out, QString&)
{
    out = calendars_;
    return true;
}

bool caldav_backend::read(const calendar_ref& calendar, QString& error)
{
    const QUrl url(calendar.entry_id);
    reply r = send("REPORT", url,
                   "<?xml version=\"1.0\" encoding=\"utf-8\"?><C:calendar-query xmlns:D=\"DAV:\" "
                   "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:prop><D:getetag/><C:calendar-data/></D:prop>"
                   "<C:filter><C:comp-filter name=\"VCALENDAR\"><C:comp-filter name=\"VEVENT\"/></C:comp-filter>"
                   "</C:filter></C:calendar-query>",
                   {{"Depth", "1"}, {"Content-Type", xml_type}});
    if (QString f = failure(r, {207}); !f.isEmpty()) {
        error = f;
        return false;
    }
    cached c;
    for (const dav_response& d : parse_multistatus(r.body)) {
        const auto data = d.props.find(QStringLiteral("calendar-data"));
        if (data == d.props.end())
            continue;
        const QString href = url.resolved(QUrl(d.href)).toString();
        const auto etag = d.props.find(QStringLiteral("getetag"));
        const QByteArray text = data->second.text.toUtf8();
        ics_document doc;
        QString why;
        if (!doc.parse(text, why)) {
            c.problems.push_back({href, why});
            continue;
        }
        c.texts[href] = text;
        for (item_problem p : doc.problems())
            c.problems.push_back(p);
        for (calendar_item item : doc.items()) {
            // The resource is the item; a changed occurrence keeps its place in it.
            const qsizetype hash = item.entry_id.indexOf(QLatin1Char('#'));
            item.entry_id = hash < 0 ? href : href + item.entry_id.mid(hash);
            item.etag = etag != d.props.end() ? etag->second.text.trimmed().toUtf8() : QByteArray();
            c.items.push_back(std::move(item));
        }
    }
    read_[calendar.entry_id] = std::move(c);
    return true;
}

bool caldav_backend::list_items(const calendar_ref& calendar, std::vector<calendar_item>& out,
                                std::vector<item_problem>& problems, QString& error)
{
    if (!read(calendar, error))
        return false;
    out = read_[calendar.entry_id].items;
    problems = read_[calendar.entry_id].problems;
    return true;
}

std::optional<calendar_item> caldav_backend::find_by_guid(const calendar_ref& calendar, const QString& guid)
{
    QString error;
    if (!read_.count(calendar.entry_id) && !read(calendar, error))
        return std::nullopt;
    for (const calendar_item& i : read_[calendar.entry_id].items)
        if (i.guid == guid && !i.entry_id.contains(QLatin1Char('#')))
            return i;
    return std::nullopt;
}

bool caldav_backend::write_item(const calendar_ref& calendar, calendar_item& item, QString& error)
{
    if (item.entry_id.contains(QLatin1Char('#'))) {
        error = QStringLiteral("a changed occurrence of a series is written with its series only");
        return false;
    }
    const bool created = item.entry_id.isEmpty();
    QUrl url;
    ics_document doc;
    if (created) {
        QString name = item.guid;
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
        url = QUrl(calendar.entry_id).resolved(QUrl(name + QStringLiteral(".ics")));
    } else {
        url = QUrl(item.entry_id);
        // Written into the event as the server holds it: what this program
        // does not write (place, attendees, alarms) stays.
        QString why;
        auto& cache = read_[calendar.entry_id];
        if (auto text = cache.texts.find(item.entry_id); text != cache.texts.end())
            doc.parse(text->second, why);
    }
    calendar_item written = item;
    written.entry_id = item.guid;
    doc.write(written);
    std::vector<std::pair<QByteArray, QByteArray>> headers = {{"Content-Type", "text/calendar; charset=utf-8"}};
    if (created)
        headers.emplace_back("If-None-Match", "*");
    else if (!item.etag.isEmpty())
        headers.emplace_back("If-Match", item.etag.toUtf8());
    const QByteArray body = doc.serialize();
    reply r = send("PUT", url, body, headers);
    if (r.status == 412) {
        error = QStringLiteral("the appointment was changed on the server since it was read, so it was not overwritten; "
                               "import it first");
        return false;
    }
    if (QString f = failure(r, {200, 201, 204}); !f.isEmpty()) {
        error = f;
        return false;
    }
    item.entry_id = url.toString();
    item.etag = QString::fromUtf8(r.etag);
    read_[calendar.entry_id].texts[item.entry_id] = body;
    return true;
}

bool caldav_backend::remove_item(const calendar_ref&, const QString& entry_id, QString& error)
{
    reply r = send("DELETE", QUrl(entry_id), QByteArray());
    if (QString f = failure(r, {200, 204, 404}); !f.isEmpty()) {
        error = f;
        return false;
    }
    return true;
}

}  // namespace qm::exchange
