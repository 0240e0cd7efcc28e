#pragma once
// Reading plain text as an outline of tasks: each non-empty line one task.
// In heading mode a line of "=" runs is a folder heading ("== Title ==" is a
// heading at level 3), a ":" line under an open heading adds to its
// description, and an indented line goes under the line above it that is
// indented less. A line carrying "/id:" names an existing task to rename
// instead of a new one. Pure text work: the paste applies the result.

#include <QString>

#include <cstdint>
#include <vector>

namespace qm::model {

struct outline_line {
    enum line_kind { task = 0, heading = 1, description = 2 };
    line_kind kind = task;
    QString text;          // the name, the heading's title, or the description piece
    int parent = -1;       // index of the line it goes under, -1: where the list puts it
    std::int32_t id_ref = 0;  // "/id:" number, 0 when none
    int heading_level = 0;  // headings: the number of "=" plus one
};

struct outline {
    std::vector<outline_line> lines;
};

// Past this many lines a paste is refused: it would take minutes and is
// almost surely not an outline.
constexpr int outline_line_limit = 20000;

// Why text cannot be pasted as tasks (binary data, far too many lines), or
// an empty string when it can.
QString outline_refusal(const QString& text);

outline read_outline(const QString& text, bool heading_mode);

}  // namespace qm::model
