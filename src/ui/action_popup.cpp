#include "ui/action_popup.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace qm::ui {

action_popup::action_popup(const QString& caption, std::vector<popup_line> lines, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), lines_(std::move(lines))
{
    setWindowTitle(caption);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* head = new QLabel(caption, this);
    QFont f = head->font();
    f.setBold(true);
    head->setFont(f);
    layout->addWidget(head);
    body_ = new QLabel(this);
    body_->setTextFormat(Qt::RichText);
    layout->addWidget(body_);
    auto* hint = new QLabel(QStringLiteral("Type a letter to choose    Esc: Close"), this);
    hint->setStyleSheet(QStringLiteral("color: palette(mid);"));
    layout->addWidget(hint);
    redraw();
}

void action_popup::redraw()
{
    QString html = QStringLiteral("<table cellspacing=3>");
    for (const popup_line& l : lines_) {
        const bool waiting = !typed_.isEmpty() && l.key.startsWith(typed_, Qt::CaseInsensitive);
        html += QStringLiteral("<tr><td><b>%1</b></td><td%2>%3</td><td align=right>&nbsp;&nbsp;%4</td></tr>")
                    .arg(l.key.toHtmlEscaped(), waiting ? QStringLiteral(" style=\"color:#1a5fb4\"") : QString(),
                         l.text.toHtmlEscaped(), l.right.toHtmlEscaped());
    }
    body_->setText(html + QStringLiteral("</table>"));
}

void action_popup::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Backspace) {
        if (typed_.isEmpty()) {
            reject();
        } else {
            key == Qt::Key_Escape ? typed_.clear() : typed_.chop(1);
            redraw();
        }
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        reject();
        return;
    }
    if (key < Qt::Key_A || key > Qt::Key_Z)
        return;
    const QString candidate = typed_ + QChar(u'A' + (key - Qt::Key_A));
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (!lines_[i].key.isEmpty() && lines_[i].key.compare(candidate, Qt::CaseInsensitive) == 0) {
            chosen_ = static_cast<int>(i);
            accept();
            return;
        }
    for (const popup_line& l : lines_)
        if (l.key.startsWith(candidate, Qt::CaseInsensitive)) {
            typed_ = candidate;  // waits for the next letter
            redraw();
            return;
        }
}

void action_popup::run(const QString& caption, std::vector<popup_line> lines, QWidget* parent)
{
    action_popup popup(caption, std::move(lines), parent);
    if (parent != nullptr) {
        popup.adjustSize();
        const QRect area = parent->frameGeometry();
        popup.move(area.center() - QPoint(popup.width() / 2, popup.height() / 2));
    }
    if (popup.exec() == QDialog::Accepted && popup.chosen() >= 0)
        if (const auto& action = popup.lines_[static_cast<std::size_t>(popup.chosen())].chosen)
            action();
}

}  // namespace qm::ui
