#pragma once

#include <QString>

namespace qm::store {

class database;

// What the start-up sequence must do after the load.
struct upgrade_requests {
    bool new_database = false;
    bool default_roles = false;  // a new file gets the default life areas and roles
};

// Thrown when the file was written by a version this build cannot take:
// nothing has been changed and the transaction is rolled back.
class unsupported_version {
public:
    explicit unsupported_version(QString text) : text_(std::move(text)) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// Creates the schema of a new file, or checks an existing one, inside one
// transaction on the main connection, and stamps the program's version.
upgrade_requests upgrade_database(database& db, bool existed);

}  // namespace qm::store
