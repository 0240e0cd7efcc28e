#pragma once
// Text pasted as tasks from a list: refused with a message when it is no
// outline, otherwise pasted as one undo step, with a progress window and
// Cancel while a long text goes in.

#include "history/item_paste.h"

#include <QString>

class QWidget;

namespace qm::ui {

// Returns the message for the status bar.
QString paste_text_with_progress(history::item_paste& paste, const QString& text, bool heading_mode,
                                 const std::function<model::task_ptr()>& new_item, const QString& list_description,
                                 QWidget* parent);

}  // namespace qm::ui
