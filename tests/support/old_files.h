#pragma once
// Database files as older versions wrote them, built from the statements of
// each layout: the tables a version had and a few rows with quotes, non-ASCII
// text, UTC times (before 1.81), comments, day notes and a recurring template.

#include <QString>

#include <QtGlobal>

namespace qm::test {

// What the rows of every old file hold, in the user's terms.
namespace old_rows {
inline const QString task_name = QStringLiteral("Buy 'milk' & café");
inline const QString occurrence_name = QStringLiteral("O'Brien's review — week 1");
inline const QString task_comment = QStringLiteral("Call \"Bob\" — it's urgent");
inline const QString goal_name = QStringLiteral("Garden 'n' house");
inline const QString goal_comment = QStringLiteral("Goal comment: ñandú");
inline const QString day_note = QStringLiteral("Note with 'quotes' — über");
inline const QString more_notes = QStringLiteral("More notes");
inline const QString template_name = QStringLiteral("Weekly 'review'");
inline const QString interruption = QStringLiteral("Phone — Ann's call");
inline const QString alarm_text = QStringLiteral("Ring 'twice'");
inline const QString role_name = QStringLiteral("Gärtner 'pro'");
inline const QString entry_id = QStringLiteral("EID'1");
constexpr qint64 task_date = 1699920000;      // 2023-11-14
constexpr qint64 note_time = 1699920000 + 5000;
constexpr qint64 occurrence_date = 1700006400;
constexpr qint64 deadline = 1700000000;
constexpr qint64 alarm_time = 1700003600;
constexpr qint64 goal_deadline = 1710000000;
constexpr qint64 time_start = 1699950000;
constexpr qint64 interruption_start = 1699951000;
}  // namespace old_rows

// Writes a database file in the layout of the given version, stamped with
// version_text (which may carry a revision letter), holding old_rows.
void write_old_file(const QString& path, int major, int minor, const QString& version_text);

}  // namespace qm::test
