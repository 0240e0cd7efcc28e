#pragma once
// iCalendar files as calendars: each ".ics" file the user picks is one
// calendar, read whole when first needed and written whole (through a
// temporary file, so a failed write leaves the old file) when the run ends.
// A file that does not exist yet is an empty calendar to export to.

#include "exchange/calendar_backend.h"
#include "exchange/ics_document.h"

#include <map>

namespace qm::exchange {

class ics_backend : public calendar_backend {
public:
    static QString store_id() { return QStringLiteral("ics"); }
    static calendar_ref calendar_of(const QString& path);

    explicit ics_backend(QStringList files);

    bool connect(QString& error) override;
    bool list_calendars(std::vector<calendar_ref>& out, QString& error) override;
    bool list_items(const calendar_ref& calendar, std::vector<calendar_item>& out, std::vector<item_problem>& problems,
                    QString& error) override;
    bool write_item(const calendar_ref& calendar, calendar_item& item, QString& error) override;
    std::optional<calendar_item> find_by_guid(const calendar_ref& calendar, const QString& guid) override;
    bool remove_item(const calendar_ref& calendar, const QString& entry_id, QString& error) override;
    bool finish(QString& error) override;

private:
    struct open_file {
        ics_document document;
        bool changed = false;
    };
    // The file's document, read on first use; nullptr with error set when it
    // cannot be read (missing is fine when for_writing).
    open_file* file(const QString& path, bool for_writing, QString& error);

    QStringList files_;
    std::map<QString, open_file> open_;
};

}  // namespace qm::exchange
