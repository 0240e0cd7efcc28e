#pragma once
// Comments and day notes: the lookups the views need on the comment binding,
// a new comment's defaults, and the words that describe a comment in the
// history. Main thread only.

#include "store/comment_facade.h"
#include "time/clock.h"

#include <QString>

#include <vector>

namespace qm::model {

namespace comment_type {
constexpr int free_comment = 0;  // written at a moment of the day
constexpr int day_note = 1;      // one per day, timed at the day's midnight
constexpr int task = 2;
constexpr int project = 3;
}  // namespace comment_type

namespace comment_message {
// After a day note was added, changed or deleted; wparam is its date.
constexpr int day_note_changed = 38882;
}  // namespace comment_message

using comment_ptr = store::comment_facade::record_ptr;

// A comment of a kind and owner written now (or at the given moment).
store::comment_record new_comment(int type, std::int32_t owner = 0, time::stored_time at = 0);

// When a free comment written while a day is shown is dated: now when that
// day is today (or no day is given), otherwise at the day's noon, so that it
// is listed under the day it was written for.
time::stored_time free_comment_time(time::stored_date shown, time::stored_time now);

// The day note of a date, or nullptr.
comment_ptr day_note(const store::comment_facade& comments, time::stored_date date);
// The free comments whose time lies in [from, to), earliest first.
std::vector<comment_ptr> free_comments(const store::comment_facade& comments, time::stored_time from,
                                       time::stored_time to);

// "note at 10:15\r\nby …" today, "note on 3/9/2026 at 10:15\r\nby …" on another day.
QString comment_description(const store::comment_record& c, time::stored_date today);
// "changing day note for 3/11/2026".
QString day_note_change_text(time::stored_date date);

// Whether a text is nothing but blanks: such a comment is not saved.
bool blank_comment(const QString& text);
// The text as one line of at most max_chars characters; a longer text, or
// one of several lines, ends in an ellipsis. The stored text stays whole.
QString shown_comment(const QString& text, int max_chars = 80);

}  // namespace qm::model
