#pragma once
// An iCalendar file (RFC 5545) as the exchange reads and writes it. The text
// is untrusted: it is read in bounded steps, each event on its own, so that a
// damaged or truncated event is reported with its line and the others are
// still read. Writing replaces only the events the planner writes; every
// other part of the file (events of other programs, to-dos, unreadable
// parts) is kept as it was. Pure: no files, no clock.

#include "exchange/calendar_backend.h"

#include <QByteArray>

#include <map>
#include <memory>

namespace qm::exchange {

// Larger files are refused whole: a calendar of personal appointments is
// far smaller, and the limit bounds the time and memory one file can take.
constexpr qsizetype max_ics_bytes = 32 * 1024 * 1024;
constexpr int max_ics_items = 100000;

class ics_document {
public:
    ics_document();
    ~ics_document();
    ics_document(ics_document&&) noexcept;
    ics_document& operator=(ics_document&&) noexcept;

    // Reads a file's bytes. Returns false with error set when the text is
    // not an iCalendar file at all; an empty text is an empty calendar.
    bool parse(const QByteArray& bytes, QString& error);

    const std::vector<calendar_item>& items() const { return items_; }
    const std::vector<item_problem>& problems() const { return problems_; }
    QString calendar_name() const { return name_; }
    void set_calendar_name(const QString& name) { name_ = name; }

    // The item whose UID (or, for a changed occurrence, "UID#RECURRENCE-ID")
    // is key.
    std::optional<calendar_item> find(const QString& key) const;
    // Writes the item in place of the event with its key (entry_id, else
    // guid), or as a new event; a new item's entry_id becomes its guid.
    void write(calendar_item& item);
    bool remove(const QString& key);

    QByteArray serialize() const;

private:
    struct block;
    std::vector<block> blocks_;
    QByteArray header_;  // the calendar's own properties, as read
    std::vector<calendar_item> items_;
    std::vector<item_problem> problems_;
    QString name_;
};

// The text of one event as this program writes it (folded, escaped), for
// the CalDAV backend, which sends each event as a calendar of its own.
QByteArray event_text(const calendar_item& item);
QByteArray single_event_calendar(const calendar_item& item);

}  // namespace qm::exchange
