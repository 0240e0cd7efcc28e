#pragma once
// The small dialog that adds or edits one tracked-time entry: its start, end
// and duration, each checked as it is typed; an end before the start is refused.

#include "tracking/tracked_time.h"

#include <QDialog>
#include <QStringList>

class QLabel;

namespace qm::ui {

class checked_field;

class tracked_time_editor : public QDialog {
    Q_OBJECT
public:
    // running: the timer's entry, to warn of an overlap; nullptr when none.
    tracked_time_editor(const tracking::TrackedTime& entry, const tracking::TrackedTime* running,
                        QWidget* parent = nullptr);

    const tracking::TrackedTime& entry() const { return entry_; }
    checked_field* start_date() const { return start_date_; }
    checked_field* start_time() const { return start_time_; }
    checked_field* end_date() const { return end_date_; }
    checked_field* end_time() const { return end_time_; }
    checked_field* length() const { return length_; }
    QString problem() const;

    // Reads every field; false with the reason shown when they do not make an entry.
    bool read();
    void accept() override;

private:
    void show_entry();
    void field_changed();
    std::optional<time::stored_time> typed_start() const;
    std::optional<time::stored_time> typed_end() const;

    tracking::TrackedTime entry_;
    std::optional<tracking::TrackedTime> running_;
    checked_field* start_date_ = nullptr;
    checked_field* start_time_ = nullptr;
    checked_field* end_date_ = nullptr;
    checked_field* end_time_ = nullptr;
    checked_field* length_ = nullptr;
    QLabel* problem_ = nullptr;
    QStringList shown_;  // the texts as last shown
};

// Whether two entries share any second.
bool overlaps(const tracking::TrackedTime& a, const tracking::TrackedTime& b);

}  // namespace qm::ui
