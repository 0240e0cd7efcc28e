#pragma once
// What the conversion of an older database file shows the user: its progress,
// the question when the backup cannot be made, and the notice that a second
// run is needed. The user interface installs a presenter with windows;
// headless runs print to standard error, and tests record what was asked.
// Main thread only.

#include "store/upgrade.h"

#include <QString>

#include <memory>

namespace qm::app {

class conversion_presenter {
public:
    virtual ~conversion_presenter() = default;
    // A step begins: its description, its number (from 1) and the step count.
    virtual void progress(const QString& step, int number, int count) = 0;
    // Called now and then during a long step.
    virtual void working() {}
    // The conversion and the work after the load are over (or have failed).
    virtual void finished() = 0;
    // The backup could not be made: Cancel, Try Again or Continue.
    virtual store::backup_answer backup_failed(const QString& caption, const QString& text) = 0;
    virtual void show_notice(const QString& caption, const QString& text) = 0;
};

// Installs the process-wide presenter; nullptr restores the standard-error one.
void set_conversion_presenter(std::shared_ptr<conversion_presenter> presenter);
conversion_presenter& current_conversion_presenter();

}  // namespace qm::app
