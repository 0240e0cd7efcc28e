#pragma once
// The few settings the database keeps about itself, and the version text of
// the program that last wrote the file. Main connection, start-up only.

#include <QString>

namespace qm::store {

class database;

namespace settings_key {
constexpr int version = 0;
constexpr int version_changed_date = 2;
}  // namespace settings_key

constexpr int program_major = 2;
constexpr int program_minor = 90;
constexpr int program_build = 4171;

// "2.90", "1.05", "1.0"; with drop_final_zero a minor of 90 gives "2.9".
QString version_text(int major, int minor, bool drop_final_zero = false);
// The short version shown in the title: "2.9".
QString short_version_text();
// "2.90 (Build: 4171)".
QString about_version_text();

struct stored_version {
    int major = 0;
    int minor = 0;
    int revision = 0;
    bool operator==(const stored_version& o) const
    {
        return major == o.major && minor == o.minor && revision == o.revision;
    }
};
stored_version parse_version(const QString& text);

QString read_setting(database& db, int key);
void write_setting(database& db, int key, const QString& value);

// Records which version last wrote the file; (0, 0) is this program's own.
void stamp_version(database& db, int major = 0, int minor = 0);

}  // namespace qm::store
