#include "exchange/outlook_backend.h"

#include "exchange/exchange_texts.h"

namespace qm::exchange {

bool outlook_backend::connect(QString& error)
{
    error = cannot_start();
    return false;
}

bool outlook_backend::list_calendars(std::vector<calendar_ref>&, QString& error)
{
    error = cannot_start();
    return false;
}

bool outlook_backend::list_items(const calendar_ref&, std::vector<calendar_item>&, std::vector<item_problem>&,
                                 QString& error)
{
    error = no_calendar_data();
    return false;
}

bool outlook_backend::write_item(const calendar_ref&, calendar_item&, QString& error)
{
    error = cannot_start();
    return false;
}

std::optional<calendar_item> outlook_backend::find_by_guid(const calendar_ref&, const QString&) { return std::nullopt; }

bool outlook_backend::remove_item(const calendar_ref&, const QString&, QString& error)
{
    error = cannot_start();
    return false;
}

}  // namespace qm::exchange
