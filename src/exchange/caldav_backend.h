#pragma once
// CalDAV calendars (RFC 4791) over HTTP: the calendars found by PROPFIND
// from the server's address (the user's principal and calendar home, or the
// address of one calendar itself), the events read by REPORT, and each event
// written by PUT with If-Match on the version last read, so that a change
// made on the server in between is refused instead of overwritten.
// Used on one thread, the one that first sends a request; its network
// objects are made there and released there (release()).

#include "exchange/calendar_backend.h"

#include <QUrl>

#include <map>
#include <memory>

class QNetworkAccessManager;

namespace qm::exchange {

class caldav_backend : public calendar_backend {
public:
    static QString store_id(const QUrl& server) { return QStringLiteral("caldav ") + server.toString(QUrl::RemoveUserInfo); }

    caldav_backend(const QString& server, QString user, QString password, int timeout_ms = 30000);
    ~caldav_backend() override;

    bool connect(QString& error) override;
    bool list_calendars(std::vector<calendar_ref>& out, QString& error) override;
    bool list_items(const calendar_ref& calendar, std::vector<calendar_item>& out, std::vector<item_problem>& problems,
                    QString& error) override;
    bool write_item(const calendar_ref& calendar, calendar_item& item, QString& error) override;
    std::optional<calendar_item> find_by_guid(const calendar_ref& calendar, const QString& guid) override;
    bool remove_item(const calendar_ref& calendar, const QString& entry_id, QString& error) override;
    void release() override;

    struct reply {
        int status = 0;
        QByteArray body;
        QByteArray etag;
        QString error;  // the network's failure, empty when the server answered
    };

private:
    reply send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
               const std::vector<std::pair<QByteArray, QByteArray>>& headers = {});
    // The message of a reply that is not the status wanted, or empty.
    QString failure(const reply& r, std::initializer_list<int> wanted) const;
    struct cached {
        std::vector<calendar_item> items;
        std::vector<item_problem> problems;
        std::map<QString, QByteArray> texts;  // the resource's calendar text, by href
    };
    bool read(const calendar_ref& calendar, QString& error);

    QUrl server_;
    QString user_, password_;
    int timeout_ms_;
    std::unique_ptr<QNetworkAccessManager> network_;
    std::vector<calendar_ref> calendars_;
    std::map<QString, cached> read_;  // by calendar URL
};

}  // namespace qm::exchange
