#pragma once
// The two documents that carry row references between lists: the clipboard
// document (Cut, Copy, Paste) and the drag document (drag and drop). Both
// are settings documents built in memory, tied to the database file they
// came from: read with another file open they yield nothing.

#include "model/item_descriptor.h"

#include <QString>

namespace qm::app {

// The MIME type both documents travel under, as UTF-8 text.
inline const char* item_mime_type() { return "application/x-quillmere-items"; }

struct clipboard_contents {
    model::item_list items;
    bool cut = false;
};

struct drag_contents {
    model::item_descriptor focused;
    model::item_list items;
};

QString write_clipboard_document(const QString& database_path, const model::item_list& items, bool cut);
// No items unless the document names database_path.
clipboard_contents read_clipboard_document(const QString& text, const QString& database_path);

QString write_drag_document(const QString& database_path, const model::item_descriptor& focused,
                            const model::item_list& items);
// No items unless the document names database_path and holds both "dragged"
// and its "focused_item".
drag_contents read_drag_document(const QString& text, const QString& database_path);

// The effect of a drop: none without the document, copy or move as Ctrl
// and the source allow.
enum class drop_effect { none, copy, move };
drop_effect choose_drop_effect(bool has_document, bool ctrl, bool copy_allowed, bool move_allowed);

}  // namespace qm::app
