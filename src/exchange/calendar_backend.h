#pragma once
// What the exchange needs of a calendar program: its calendars, the items of
// a calendar, and writing and deleting one item. Each backend (the Outlook
// stand-in, iCalendar files, CalDAV servers) serves it; the engine never
// knows which one it talks to. A backend is used by one thread at a time,
// the exchange's worker.

#include "time/recurrence.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace qm::exchange {

// One calendar. store_id and entry_id are what OutlookFolderEntries keeps:
// the backend and its source, and the calendar within it.
struct calendar_ref {
    QString store_id;
    QString entry_id;
    QString name;
    bool operator==(const calendar_ref& o) const { return store_id == o.store_id && entry_id == o.entry_id; }
};

// One appointment of a calendar, in stored (local wall-clock) times.
struct calendar_item {
    QString entry_id;  // the item's id within its calendar
    QString guid;      // the association's guid (the item's UID)
    QString subject;
    QString body;
    time::stored_time start = 0;
    time::stored_time end = 0;
    bool all_day = false;
    // A repeating item: its pattern (starting and ending dates set) and the
    // dates left out of it.
    std::optional<time::recurrence> recurrence;
    std::vector<time::stored_date> exceptions;
    QString etag;       // the server's version of the item, when it has one
    int line = 0;       // where the item begins in its file, for messages
    QStringList notes;  // what could not be kept (a repetition of another kind)
};

// Something that went wrong with one item: logged, and the run goes on.
struct item_problem {
    QString name;  // the item's subject, or "<Error getting subject>"
    QString message;
};

class calendar_backend {
public:
    virtual ~calendar_backend() = default;

    // Each returns false and sets error (the text the user reads) on failure.
    virtual bool connect(QString& error) = 0;
    virtual bool list_calendars(std::vector<calendar_ref>& out, QString& error) = 0;
    // Every item of the calendar; an item that cannot be read is a problem,
    // not a failure.
    virtual bool list_items(const calendar_ref& calendar, std::vector<calendar_item>& out,
                            std::vector<item_problem>& problems, QString& error) = 0;
    // Writes the item: entry_id empty creates it. Sets entry_id and etag.
    // An item whose etag no longer matches the calendar's is refused.
    virtual bool write_item(const calendar_ref& calendar, calendar_item& item, QString& error) = 0;
    // The item of the calendar carrying this guid, if there is one.
    virtual std::optional<calendar_item> find_by_guid(const calendar_ref& calendar, const QString& guid) = 0;
    virtual bool remove_item(const calendar_ref& calendar, const QString& entry_id, QString& error) = 0;
    // Makes the writes of the run lasting (a file is written here).
    virtual bool finish(QString& error)
    {
        (void)error;
        return true;
    }
    // Called on the worker thread when the run is over, whatever its end:
    // what the backend made on that thread goes there.
    virtual void release() {}
};

}  // namespace qm::exchange
