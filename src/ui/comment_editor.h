#pragma once
// The small window in which a comment is written or changed: several lines
// of text, OK with Ctrl+Enter. A blank text is refused with a word, not saved.

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QPlainTextEdit;

namespace qm::ui {

class comment_editor : public QDialog {
    Q_OBJECT
public:
    comment_editor(const QString& title, const QString& text, QWidget* parent = nullptr);
    QString text() const;
    QPlainTextEdit* editor() const { return edit_; }
    void accept() override;

private:
    QPlainTextEdit* edit_ = nullptr;
    QLabel* problem_ = nullptr;
};

// Asks for a comment's text; nothing when cancelled. Tests replace it.
using comment_asker = std::function<std::optional<QString>(QWidget* parent, const QString& title, const QString& text)>;
comment_asker& ask_comment();

}  // namespace qm::ui
