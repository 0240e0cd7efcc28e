#pragma once
// The calendars of a locally installed Outlook. There is no Outlook object
// model on this system, so connecting fails with the message a failed start
// of Outlook gives, and that is the whole of a run through it.

#include "exchange/calendar_backend.h"

namespace qm::exchange {

class outlook_backend : public calendar_backend {
public:
    bool connect(QString& error) override;
    bool list_calendars(std::vector<calendar_ref>& out, QString& error) override;
    bool list_items(const calendar_ref& calendar, std::vector<calendar_item>& out, std::vector<item_problem>& problems,
                    QString& error) override;
    bool write_item(const calendar_ref& calendar, calendar_item& item, QString& error) override;
    std::optional<calendar_item> find_by_guid(const calendar_ref& calendar, const QString& guid) override;
    bool remove_item(const calendar_ref& calendar, const QString& entry_id, QString& error) override;
};

}  // namespace qm::exchange
