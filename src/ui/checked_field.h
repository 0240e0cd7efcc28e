#pragma once
// A line edit that checks what is typed when editing ends: text that does not
// read keeps the old value, and the reason is shown beside the field.

#include <QLineEdit>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;

namespace qm::ui {

class checked_field : public QWidget {
    Q_OBJECT
public:
    // check returns the reason the text is refused, or nothing.
    using checker = std::function<std::optional<QString>(const QString& text)>;

    checked_field(checker rule, QWidget* parent = nullptr);

    QLineEdit* edit() const { return edit_; }
    QString text() const { return edit_->text(); }
    // Sets the text as accepted, clearing any message.
    void set_text(const QString& text);
    // Checks the current text now; false shows the reason and puts the last
    // accepted text back.
    bool check();
    QString message() const;

signals:
    // The text was accepted after a change.
    void accepted_text(const QString& text);

private:
    checker check_;
    QLineEdit* edit_;
    QLabel* message_;
    QString accepted_;
};

}  // namespace qm::ui
