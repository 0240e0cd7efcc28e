#include "ui/comment_editor.h"

#include "model/comments.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace qm::ui {

comment_editor::comment_editor(const QString& title, const QString& text, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(title);
    setObjectName(QStringLiteral("comment_editor"));
    edit_ = new QPlainTextEdit(text, this);
    edit_->setObjectName(QStringLiteral("comment_text"));
    edit_->setTabChangesFocus(true);
    edit_->setPlaceholderText(QStringLiteral("Notes on your progress, or anything to keep for later"));
    problem_ = new QLabel(this);
    problem_->setStyleSheet(QStringLiteral("color: #b00020;"));
    problem_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &comment_editor::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter makes a new line; Ctrl+Enter confirms.
    for (const QKeySequence& k : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(k, this), &QShortcut::activated, this, &comment_editor::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Comment (Ctrl+Enter to save):"), this));
    layout->addWidget(edit_, 1);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    resize(440, 240);
    edit_->moveCursor(QTextCursor::End);
    edit_->setFocus();
}

QString comment_editor::text() const { return edit_->toPlainText(); }

void comment_editor::accept()
{
    if (model::blank_comment(text())) {
        problem_->setText(QStringLiteral("Write something first: an empty comment is not kept."));
        problem_->show();
        return;
    }
    QDialog::accept();
}

comment_asker& ask_comment()
{
    static comment_asker asker = [](QWidget* parent, const QString& title,
                                    const QString& text) -> std::optional<QString> {
        comment_editor editor(title, text, parent);
        if (editor.exec() != QDialog::Accepted)
            return std::nullopt;
        return editor.text();
    };
    return asker;
}

}  // namespace qm::ui
