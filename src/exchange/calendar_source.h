#pragma once
// Where the calendars of a run come from, as the user chose it, and the
// backend that serves them.

#include "exchange/calendar_backend.h"

#include <memory>

namespace qm::exchange {

namespace source_kind {
constexpr int outlook = 0;
constexpr int files = 1;
constexpr int caldav = 2;
}  // namespace source_kind

struct calendar_source {
    int kind = source_kind::files;
    QStringList files;  // ".ics" files
    QString server;     // a CalDAV address
    QString user;
    QString password;   // held for the run only, never written
};

// "Outlook", "iCalendar Files", "CalDAV Server".
QStringList source_names();
std::unique_ptr<calendar_backend> make_backend(const calendar_source& source);

}  // namespace qm::exchange
