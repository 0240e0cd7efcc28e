#include "ui/checked_field.h"

#include <QHBoxLayout>
#include <QLabel>

namespace qm::ui {

checked_field::checked_field(checker rule, QWidget* parent)
    : QWidget(parent), check_(std::move(rule)), edit_(new QLineEdit(this)), message_(new QLabel(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_, 1);
    layout->addWidget(message_, 1);
    message_->setStyleSheet(QStringLiteral("color: #b00020;"));
    message_->setWordWrap(true);
    message_->hide();
    setFocusProxy(edit_);
    connect(edit_, &QLineEdit::editingFinished, this, [this] {
        if (edit_->text() != accepted_ && check())
            emit accepted_text(accepted_);
    });
}

void checked_field::set_text(const QString& text)
{
    accepted_ = text;
    edit_->setText(text);
    message_->hide();
    message_->clear();
}

bool checked_field::check()
{
    const std::optional<QString> why = check_ ? check_(edit_->text()) : std::nullopt;
    if (why) {
        message_->setText(*why);
        message_->show();
        edit_->setText(accepted_);
        return false;
    }
    accepted_ = edit_->text();
    message_->hide();
    message_->clear();
    return true;
}

QString checked_field::message() const { return message_->text(); }

}  // namespace qm::ui
