#include "exchange/calendar_source.h"

#include "exchange/caldav_backend.h"
#include "exchange/ics_backend.h"
#include "exchange/outlook_backend.h"

namespace qm::exchange {

QStringList source_names()
{
    return {QStringLiteral("Outlook"), QStringLiteral("iCalendar Files"), QStringLiteral("CalDAV Server")};
}

std::unique_ptr<calendar_backend> make_backend(const calendar_source& source)
{
    switch (source.kind) {
    case source_kind::files: return std::make_unique<ics_backend>(source.files);
    case source_kind::caldav: return std::make_unique<caldav_backend>(source.server, source.user, source.password);
    default: return std::make_unique<outlook_backend>();
    }
}

}  // namespace qm::exchange
