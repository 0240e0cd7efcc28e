#pragma once

#include <QString>

namespace qm::store {

// The database layer's only failure. Always fatal: it ends in the
// "Database Error" report and the end of the program.
class sqlite_exception {
public:
    explicit sqlite_exception(QString message) : message_(std::move(message)) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

}  // namespace qm::store
