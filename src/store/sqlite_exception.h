#pragma once

#include <QString>

namespace qm::store {

// The database layer's only failure. Always fatal: it ends in the
// "Database Error" report and the end of the program.
class sqlite_exception {
public:
    explicit sqlite_exception(QString message, bool busy = false) : message_(std::move(message)), busy_(busy) {}
    const QString& message() const { return message_; }
    // Another connection held the file's lock for the whole busy timeout.
    bool busy() const { return busy_; }

private:
    QString message_;
    bool busy_ = false;
};

}  // namespace qm::store
