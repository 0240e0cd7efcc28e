#include "ui/action_popup.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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
    // A click on a line chooses it, as its key does.
    connect(body_, &QLabel::linkActivated, this, [this](const QString& link) { choose(link.toInt()); });
    entry_ = new QLineEdit(this);
    entry_->hide();
    layout->addWidget(entry_);
    connect(entry_, &QLineEdit::returnPressed, this, [this] { accept(); });
    auto* hint = new QLabel(QStringLiteral("Type a letter to choose    Esc: Close"), this);
    hint->setStyleSheet(QStringLiteral("color: palette(mid);"));
    layout->addWidget(hint);
    redraw();
}

void action_popup::redraw()
{
    QString html = QStringLiteral("<table cellspacing=3>");
    const QString link_style = QStringLiteral("text-decoration:none; color:palette(text)");
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const popup_line& l = lines_[i];
        switch (l.kind) {
        case popup_kind::separator:
            html += QStringLiteral("<tr><td colspan=4 style=\"font-size:4pt\">&nbsp;</td></tr>");
            continue;
        case popup_kind::heading:
            html += QStringLiteral("<tr><td colspan=4><b>%1</b></td></tr>").arg(l.text.toHtmlEscaped());
            continue;
        default:
            break;
        }
        const bool waiting = !typed_.isEmpty() && l.key.startsWith(typed_, Qt::CaseInsensitive);
        QString text = l.text.toHtmlEscaped();
        if (l.kind == popup_kind::title)
            text = QStringLiteral("<b>%1</b>").arg(text);
        // The lines whose key begins with what was typed stand out.
        if (l.chosen || l.entered)
            text = QStringLiteral("<a href=\"%1\" style=\"%2\">%3</a>")
                       .arg(i)
                       .arg(waiting ? QStringLiteral("text-decoration:none; color:#1a5fb4") : link_style, text);
        html += QStringLiteral("<tr><td>%1</td><td><b>%2</b></td><td%3>%4</td><td align=right>&nbsp;&nbsp;%5</td></tr>")
                    .arg(l.marked ? QStringLiteral("\u2714") : QString(), l.key.toHtmlEscaped(),
                         waiting ? QStringLiteral(" style=\"color:#1a5fb4\"") : QString(), text,
                         l.right.toHtmlEscaped());
    }
    body_->setText(html + QStringLiteral("</table>"));
}

QString action_popup::entry_text() const { return entry_->text(); }

void action_popup::choose(int line)
{
    if (line < 0 || line >= static_cast<int>(lines_.size()))
        return;
    const popup_line& l = lines_[static_cast<std::size_t>(line)];
    if (!l.chosen && !l.entered)
        return;
    chosen_ = line;
    typed_.clear();
    if (l.kind == popup_kind::entry) {
        // The line asks for its text first; Enter takes it.
        redraw();
        entry_->setPlaceholderText(l.text);
        entry_->show();
        entry_->setFocus();
        return;
    }
    accept();
}

void action_popup::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (entry_->isVisibleTo(this)) {
        // Escape leaves the entry for the menu again.
        if (key == Qt::Key_Escape) {
            entry_->hide();
            entry_->clear();
            chosen_ = -1;
            setFocus();
        }
        return;
    }
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
            choose(static_cast<int>(i));
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
    if (popup.exec() != QDialog::Accepted || popup.chosen() < 0)
        return;
    const popup_line& line = popup.lines_[static_cast<std::size_t>(popup.chosen())];
    if (line.kind == popup_kind::entry) {
        if (line.entered)
            line.entered(popup.entry_text());
    } else if (line.chosen) {
        line.chosen();
    }
}

}  // namespace qm::ui
