#include "ui/text_paste_progress.h"

#include "model/text_outline.h"

#include <QApplication>
#include <QProgressDialog>

#include <memory>

namespace qm::ui {

QString paste_text_with_progress(history::item_paste& paste, const QString& text, bool heading_mode,
                                 const std::function<model::task_ptr()>& new_item, const QString& list_description,
                                 QWidget* parent)
{
    if (const QString refusal = model::outline_refusal(text); !refusal.isEmpty())
        return refusal;
    const model::outline lines = model::read_outline(text, heading_mode);
    if (lines.lines.empty())
        return QStringLiteral("The clipboard text has no lines to paste as tasks.");
    std::unique_ptr<QProgressDialog> dialog;
    // A few hundred lines go in at once; more show how far the paste is.
    if (lines.lines.size() > 300) {
        dialog = std::make_unique<QProgressDialog>(QStringLiteral("Pasting %1 lines as tasks…").arg(lines.lines.size()),
                                                   QStringLiteral("Stop"), 0, static_cast<int>(lines.lines.size()),
                                                   parent);
        dialog->setWindowTitle(QStringLiteral("Paste"));
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(300);
    }
    auto progress = [&dialog](int done, int total) {
        if (!dialog)
            return true;
        dialog->setMaximum(total);
        dialog->setValue(done);
        QApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
        return !dialog->wasCanceled();
    };
    const int pasted = paste.paste_text(lines, new_item, list_description, progress);
    const int total = static_cast<int>(lines.lines.size());
    if (pasted < total)
        return QStringLiteral("Stopped after %1 of %2 lines; Undo takes back what was pasted.").arg(pasted).arg(total);
    return pasted == 1 ? QStringLiteral("Pasted 1 line as a task.") : QStringLiteral("Pasted %1 lines as tasks.").arg(pasted);
}

}  // namespace qm::ui
