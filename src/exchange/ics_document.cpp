#include "exchange/ics_document.h"

#include "exchange/exchange_texts.h"
#include "exchange/ics_times.h"

#include <libical/ical.h>

#include <QCryptographicHash>

#include <algorithm>

namespace qm::exchange {

// One component of the calendar, as its lines were read (unfolded, each
// with its raw folded text), or as this program wrote it.
struct ics_document::block {
    QByteArray kind;  // "VEVENT", "VTIMEZONE", …
    QString key;      // an event's UID, or "UID#RECURRENCE-ID"
    int line = 0;
    std::vector<std::pair<QByteArray, QByteArray>> lines;  // (property name upper-case, raw text)
};

namespace {

struct logical_line {
    QByteArray value;  // unfolded
    QByteArray raw;    // as in the file, CR LF between its parts
    int line = 0;
};

std::vector<logical_line> unfold(const QByteArray& bytes)
{
    std::vector<logical_line> out;
    int number = 0;
    qsizetype pos = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        QByteArray physical = bytes.mid(pos, end - pos);
        if (physical.endsWith('\r'))
            physical.chop(1);
        pos = end + 1;
        ++number;
        if (!physical.isEmpty() && (physical[0] == ' ' || physical[0] == '\t') && !out.empty()) {
            out.back().value += physical.mid(1);
            out.back().raw += "\r\n" + physical;
            continue;
        }
        if (physical.trimmed().isEmpty())
            continue;
        out.push_back({physical, physical, number});
    }
    return out;
}

QByteArray property_name(const QByteArray& value)
{
    qsizetype end = 0;
    while (end < value.size() && value[end] != ':' && value[end] != ';')
        ++end;
    return value.left(end).trimmed().toUpper();
}

QByteArray property_value(const QByteArray& value)
{
    const qsizetype colon = value.indexOf(':');
    return colon < 0 ? QByteArray() : value.mid(colon + 1).trimmed();
}

// The SUMMARY of a block as plain text, for naming a block that cannot be read.
QString summary_of(const std::vector<std::pair<QByteArray, QByteArray>>& lines)
{
    for (const auto& l : lines)
        if (l.first == "SUMMARY")
            return QString::fromUtf8(property_value(QByteArray(l.second).replace("\r\n ", "").replace("\r\n\t", "")))
                .replace(QStringLiteral("\\,"), QStringLiteral(","))
                .replace(QStringLiteral("\\;"), QStringLiteral(";"));
    return error_subject();
}

QByteArray block_text(const std::vector<std::pair<QByteArray, QByteArray>>& lines)
{
    QByteArray out;
    for (const auto& l : lines)
        out += l.second + "\r\n";
    return out;
}

struct component_deleter {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using component_ptr = std::unique_ptr<icalcomponent, component_deleter>;

component_ptr parse_component(const QByteArray& text)
{
    icalerror_set_errors_are_fatal(0);
    component_ptr c(icalparser_parse_string(text.constData()));
    icalerror_clear_errno();
    return c;
}

QString text_property(icalcomponent* c, icalproperty_kind kind)
{
    icalproperty* p = icalcomponent_get_first_property(c, kind);
    if (p == nullptr)
        return QString();
    const char* v = icalproperty_get_value_as_string(p);
    if (v == nullptr)
        return QString();
    // libical hands TEXT values back escaped; undo the four escapes.
    const QString raw = QString::fromUtf8(v);
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == QLatin1Char('\\') && i + 1 < raw.size()) {
            const QChar n = raw[++i];
            out += (n == QLatin1Char('n') || n == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : n;
        } else {
            out += raw[i];
        }
    }
    return out;
}

QString lic_errors(icalcomponent* c)
{
    QStringList out;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p != nullptr && out.size() < 3;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY))
        if (const char* v = icalproperty_get_xlicerror(p))
            out << QString::fromUtf8(v).left(200);
    return out.join(QStringLiteral("; "));
}

}  // namespace

ics_document::ics_document() = default;
ics_document::~ics_document() = default;
ics_document::ics_document(ics_document&&) noexcept = default;
ics_document& ics_document::operator=(ics_document&&) noexcept = default;

bool ics_document::parse(const QByteArray& bytes, QString& error)
{
    blocks_.clear();
    items_.clear();
    problems_.clear();
    header_.clear();
    forget_zone_offsets();
    name_.clear();
    if (bytes.size() > max_ics_bytes) {
        error = QStringLiteral("The file is larger than %1 MB and is not read.").arg(max_ics_bytes / (1024 * 1024));
        return false;
    }
    const std::vector<logical_line> lines = unfold(bytes);
    if (lines.empty())
        return true;

    auto problem = [this](int line, const QString& name, const QString& message) {
        problems_.push_back({name, QStringLiteral("line %1: %2").arg(line).arg(message)});
    };

    bool in_calendar = false, seen_calendar = false;
    bool over_limit = false;
    std::vector<QByteArray> stack;  // the open components of the current block
    block current;
    bool broken = false;
    int events = 0;
    for (const logical_line& l : lines) {
        const QByteArray name = property_name(l.value);
        const QByteArray value = property_value(l.value).toUpper();
        if (!in_calendar) {
            if (name == "BEGIN" && value == "VCALENDAR") {
                in_calendar = true;
                seen_calendar = true;
            }
            continue;
        }
        if (stack.empty()) {
            if (name == "END" && value == "VCALENDAR") {
                in_calendar = false;
            } else if (name == "BEGIN") {
                current = block{value, QString(), l.line, {}};
                current.lines.emplace_back(name, l.raw);
                stack.push_back(value);
                broken = false;
            } else if (name != "END") {
                if (name == "X-WR-CALNAME")
                    name_ = QString::fromUtf8(property_value(l.value));
                header_ += l.raw + "\r\n";
            }
            continue;
        }
        current.lines.emplace_back(name, l.raw);
        if (name == "BEGIN") {
            if (stack.size() >= 16)
                broken = true;  // nesting no calendar needs
            stack.push_back(value);
        } else if (name == "END") {
            if (stack.back() != value)
                broken = true;
            stack.pop_back();
        }
        if (!stack.empty())
            continue;
        // A whole component.
        if (current.kind == "VEVENT") {
            if (++events > max_ics_items) {
                if (!over_limit)
                    problem(current.line, summary_of(current.lines),
                            QStringLiteral("the file holds more than %1 events; the rest are not read").arg(max_ics_items));
                over_limit = true;
            } else if (broken) {
                problem(current.line, summary_of(current.lines),
                        QStringLiteral("the event's BEGIN and END lines do not match"));
            }
        }
        current.line = broken ? -current.line : current.line;  // read later only when whole
        blocks_.push_back(std::move(current));
        current = block{};
    }
    if (!stack.empty()) {
        // Truncated: the unfinished part is reported and left out of what
        // this program writes, which could not be read either.
        problem(current.line, summary_of(current.lines),
                QStringLiteral("the file ends before this %1 does").arg(QString::fromLatin1(stack.front())));
    }
    if (!seen_calendar) {
        error = QStringLiteral("The file is not an iCalendar file: it has no BEGIN:VCALENDAR line.");
        return false;
    }

    // The time zones first: the events name them.
    ics_zones zones;
    for (const block& b : blocks_)
        if (b.kind == "VTIMEZONE" && b.line > 0)
            if (component_ptr c = parse_component(block_text(b.lines)))
                zones.add(c.release());

    int read = 0;
    std::vector<std::pair<QString, time::stored_date>> overrides;  // (UID, date of the changed occurrence)
    for (block& b : blocks_) {
        if (b.kind != "VEVENT" || b.line <= 0 || ++read > max_ics_items)
            continue;
        const component_ptr c = parse_component(block_text(b.lines));
        const QString summary = summary_of(b.lines);
        if (!c || icalcomponent_isa(c.get()) != ICAL_VEVENT_COMPONENT) {
            problem(b.line, summary, QStringLiteral("the event cannot be read"));
            continue;
        }
        calendar_item item;
        item.line = b.line;
        item.subject = text_property(c.get(), ICAL_SUMMARY_PROPERTY);
        item.body = text_property(c.get(), ICAL_DESCRIPTION_PROPERTY);
        const QString shown = item.subject.isEmpty() ? summary : item.subject;
        if (icalproperty* status = icalcomponent_get_first_property(c.get(), ICAL_STATUS_PROPERTY))
            if (icalproperty_get_status(status) == ICAL_STATUS_CANCELLED)
                continue;  // a cancelled event is no appointment

        icalproperty* start = icalcomponent_get_first_property(c.get(), ICAL_DTSTART_PROPERTY);
        QString why;
        bool all_day = false;
        if (start == nullptr || !zones.to_stored(start, icalproperty_get_dtstart(start), item.start, all_day, why)) {
            const QString errors = lic_errors(c.get());
            problem(b.line, shown,
                    QStringLiteral("its start time cannot be read") +
                        (!why.isEmpty() ? QStringLiteral(" (%1)").arg(why)
                                        : !errors.isEmpty() ? QStringLiteral(" (%1)").arg(errors) : QString()));
            continue;
        }
        item.all_day = all_day;
        item.end = item.start + (all_day ? time::seconds_per_day : 0);
        if (icalproperty* end = icalcomponent_get_first_property(c.get(), ICAL_DTEND_PROPERTY)) {
            bool end_all_day = false;
            time::stored_time t = 0;
            if (zones.to_stored(end, icalproperty_get_dtend(end), t, end_all_day, why))
                item.end = t;
        } else if (icalproperty* d = icalcomponent_get_first_property(c.get(), ICAL_DURATION_PROPERTY)) {
            const int seconds = icaldurationtype_as_int(icalproperty_get_duration(d));
            if (seconds > 0)
                item.end = item.start + seconds;
        }
        item.end = std::max(item.end, item.start);

        const char* uid = icalcomponent_get_uid(c.get());
        QString key = uid != nullptr ? QString::fromUtf8(uid).trimmed().left(1000) : QString();
        if (key.isEmpty()) {
            // No UID: a name made of what the event says, the same at every read.
            key = QStringLiteral("no-uid-") +
                  QString::fromLatin1(QCryptographicHash::hash(block_text(b.lines), QCryptographicHash::Sha1).toHex());
        }
        item.guid = key;
        if (icalproperty* rid = icalcomponent_get_first_property(c.get(), ICAL_RECURRENCEID_PROPERTY)) {
            // A changed occurrence stands alone; its series leaves its day out.
            time::stored_time t = 0;
            bool d = false;
            if (zones.to_stored(rid, icalproperty_get_recurrenceid(rid), t, d, why))
                overrides.emplace_back(key, time::date_of(t));
            key += QStringLiteral("#") + QString::fromUtf8(property_value(
                                              [&] {
                                                  for (const auto& l : b.lines)
                                                      if (l.first == "RECURRENCE-ID")
                                                          return l.second;
                                                  return QByteArray();
                                              }()));
            item.guid = key;
        }
        item.entry_id = key;
        b.key = key;

        if (icalproperty* rule = icalcomponent_get_first_property(c.get(), ICAL_RRULE_PROPERTY)) {
            time::recurrence pattern;
            QString reason;
            if (map_rule(icalproperty_get_rrule(rule), icalproperty_get_dtstart(start), item.start, pattern, reason)) {
                item.recurrence = pattern;
                for (icalproperty* ex = icalcomponent_get_first_property(c.get(), ICAL_EXDATE_PROPERTY); ex != nullptr;
                     ex = icalcomponent_get_next_property(c.get(), ICAL_EXDATE_PROPERTY)) {
                    time::stored_time t = 0;
                    bool d = false;
                    if (zones.to_stored(ex, icalproperty_get_exdate(ex), t, d, why) && item.exceptions.size() < 10000)
                        item.exceptions.push_back(time::date_of(t));
                }
            } else {
                item.notes << QStringLiteral("The repetition of %1 (line %2) is kept only in its calendar: %3. Its first "
                                             "occurrence is imported.")
                                  .arg(shown)
                                  .arg(b.line)
                                  .arg(reason);
            }
        }
        if (icalcomponent_get_first_property(c.get(), ICAL_RDATE_PROPERTY) != nullptr)
            item.notes << QStringLiteral("The added dates (RDATE) of %1 (line %2) are kept only in its calendar.")
                              .arg(shown)
                              .arg(b.line);
        items_.push_back(std::move(item));
    }
    for (const auto& o : overrides)
        for (calendar_item& i : items_)
            if (i.entry_id == o.first && i.recurrence)
                i.exceptions.push_back(o.second);
    return true;
}

std::optional<calendar_item> ics_document::find(const QString& key) const
{
    for (const calendar_item& i : items_)
        if (i.entry_id == key)
            return i;
    return std::nullopt;
}

void ics_document::write(calendar_item& item)
{
    if (item.entry_id.isEmpty())
        item.entry_id = item.guid;
    if (item.guid.isEmpty())
        item.guid = item.entry_id;
    // The event's own properties that this program does not write (place,
    // attendees, alarms …) stay; the written ones are replaced.
    static const QByteArray replaced[] = {"UID", "DTSTAMP", "DTSTART", "DTEND", "DURATION", "SUMMARY", "DESCRIPTION",
                                          "RRULE", "EXDATE", "RDATE", "SEQUENCE", "LAST-MODIFIED"};
    const QByteArray fresh = event_text(item);
    std::vector<std::pair<QByteArray, QByteArray>> written;
    for (const logical_line& l : unfold(fresh))
        written.emplace_back(property_name(l.value), l.raw);

    auto found = std::find_if(blocks_.begin(), blocks_.end(),
                              [&](const block& b) { return b.kind == "VEVENT" && b.key == item.entry_id; });
    if (found == blocks_.end()) {
        blocks_.push_back(block{"VEVENT", item.entry_id, 1, written});
    } else {
        int sequence = 0;
        std::vector<std::pair<QByteArray, QByteArray>> kept;
        int depth = 0;
        for (const auto& l : found->lines) {
            // The event's own BEGIN and END lines are written anew.
            if (l.first == "BEGIN" && ++depth == 1)
                continue;
            if (l.first == "END" && --depth == 0)
                continue;
            if (depth == 1 && l.first == "SEQUENCE")
                sequence = property_value(l.second).toInt();
            const bool own = depth == 1 &&
                             std::find(std::begin(replaced), std::end(replaced), l.first) != std::end(replaced);
            if (!own)
                kept.push_back(l);
        }
        std::vector<std::pair<QByteArray, QByteArray>> lines(written.begin(), written.end() - 1);
        lines.emplace_back("SEQUENCE", "SEQUENCE:" + QByteArray::number(sequence + 1));
        lines.insert(lines.end(), kept.begin(), kept.end());
        lines.push_back(written.back());
        found->lines = std::move(lines);
        found->line = std::abs(found->line);
    }
    auto it = std::find_if(items_.begin(), items_.end(), [&](const calendar_item& i) { return i.entry_id == item.entry_id; });
    if (it == items_.end())
        items_.push_back(item);
    else
        *it = item;
}

bool ics_document::remove(const QString& key)
{
    const auto before = blocks_.size();
    blocks_.erase(std::remove_if(blocks_.begin(), blocks_.end(),
                                 [&](const block& b) { return b.kind == "VEVENT" && b.key == key; }),
                  blocks_.end());
    items_.erase(std::remove_if(items_.begin(), items_.end(), [&](const calendar_item& i) { return i.entry_id == key; }),
                 items_.end());
    return blocks_.size() != before;
}

QByteArray ics_document::serialize() const
{
    QByteArray out = "BEGIN:VCALENDAR\r\n";
    QByteArray header = header_;
    if (!header.contains("VERSION:"))
        header.prepend("VERSION:2.0\r\n");
    if (!header.contains("PRODID"))
        header.prepend("PRODID:-//Quillmere//Quillmere Planner//EN\r\n");
    if (!name_.isEmpty() && !header.contains("X-WR-CALNAME"))
        header += fold_line("X-WR-CALNAME:" + escape_text(name_));
    out += header;
    // The zone this program writes its times in, unless the file has it.
    const QByteArray zone = written_zone_id();
    bool zone_needed = false;
    bool zone_present = false;
    for (const block& b : blocks_) {
        if (b.kind == "VTIMEZONE")
            for (const auto& l : b.lines)
                if (l.first == "TZID" && property_value(l.second) == zone)
                    zone_present = true;
        if (b.kind == "VEVENT" && !zone.isEmpty())
            for (const auto& l : b.lines)
                if (l.first == "DTSTART" && l.second.contains(";TZID=" + zone))
                    zone_needed = true;
    }
    if (zone_needed && !zone_present)
        out += zone_text(zone);
    for (const block& b : blocks_)
        if (b.line != 0)
            out += block_text(b.lines);
    out += "END:VCALENDAR\r\n";
    return out;
}

QByteArray event_text(const calendar_item& item)
{
    QByteArray out = "BEGIN:VEVENT\r\n";
    const QString uid = item.entry_id.isEmpty() ? item.guid : item.entry_id.section(QLatin1Char('#'), 0, 0);
    out += fold_line("UID:" + escape_text(uid));
    out += "DTSTAMP:" + utc_stamp(time::now()) + "\r\n";
    out += time_line("DTSTART", item.start);
    out += time_line("DTEND", item.end);
    out += fold_line("SUMMARY:" + escape_text(item.subject));
    if (!item.body.isEmpty())
        out += fold_line("DESCRIPTION:" + escape_text(item.body));
    if (item.recurrence) {
        out += fold_line("RRULE:" + rule_text(*item.recurrence, item.start));
        std::vector<time::stored_date> ex = item.exceptions;
        std::sort(ex.begin(), ex.end());
        ex.erase(std::unique(ex.begin(), ex.end()), ex.end());
        for (time::stored_date d : ex)
            out += time_line("EXDATE", d + (item.start - time::date_of(item.start)));
    }
    out += "END:VEVENT\r\n";
    return out;
}

QByteArray single_event_calendar(const calendar_item& item)
{
    ics_document d;
    calendar_item copy = item;
    d.write(copy);
    return d.serialize();
}

}  // namespace qm::exchange
