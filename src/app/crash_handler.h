#pragma once
// Writes a crash report (the signal and a backtrace) into the data folder when
// the process receives a fatal signal, then lets the default action run.

#include <QString>

#include <functional>

namespace qm::app {

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT. The
// report goes to data_folder; calling again moves it to another folder. The
// calling thread gets an alternate signal stack, so that a stack overflow
// there still writes its report; the report is named by the local date at
// the moment of the crash, summer-time changes during the run included.
void install_crash_handler(const QString& data_folder);

// The name of the report for a crash on the given date ("%Y%m%d"), skipping
// names for which exists() is true: "<date>.dmp", then the alternatives
// "<date>-a.dmp" … "<date>-z.dmp", then "<date>-26.dmp" and on, at most 1001
// alternatives (the last one built is used even when it exists).
QString crash_report_name(const QString& data_folder, const QString& date,
                          const std::function<bool(const QString&)>& exists);

}  // namespace qm::app
