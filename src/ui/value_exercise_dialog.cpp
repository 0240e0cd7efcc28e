#include "ui/value_exercise_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

QPushButton* button(const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    // Enter belongs to the New Value box, never to a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QStringList selected_texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            out << list->item(i)->text();
    return out;
}

}  // namespace

value_exercise_dialog::value_exercise_dialog(model::value_exercise& exercise, history::role_commands& commands,
                                             QWidget* parent)
    : QDialog(parent), exercise_(exercise), commands_(commands)
{
    setWindowTitle(QStringLiteral("Value Discovery Exercise"));
    setObjectName(QStringLiteral("value_exercise"));

    guidance_ = new QLabel(this);
    guidance_->setWordWrap(true);
    guidance_->setObjectName(QStringLiteral("exercise_guidance"));
    guidance_->setMinimumHeight(guidance_->fontMetrics().lineSpacing() * 3);
    guidance_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    left_caption_ = new QLabel(this);
    right_caption_ = new QLabel(this);
    left_ = new QListWidget(this);
    left_->setObjectName(QStringLiteral("exercise_left"));
    right_ = new QListWidget(this);
    right_->setObjectName(QStringLiteral("exercise_right"));
    for (QListWidget* list : {left_, right_}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->installEventFilter(this);
    }
    left_caption_->setBuddy(left_);
    right_caption_->setBuddy(right_);
    connect(left_, &QListWidget::itemDoubleClicked, this, [this] { move_selected(true); });
    connect(right_, &QListWidget::itemDoubleClicked, this, [this] { move_selected(false); });

    to_right_ = button(QStringLiteral(">"), this);
    to_right_->setToolTip(QStringLiteral("Add the selected values to the right list"));
    to_left_ = button(QStringLiteral("<"), this);
    to_left_->setToolTip(QStringLiteral("Return the selected values to the left list"));
    connect(to_right_, &QPushButton::clicked, this, [this] { move_selected(true); });
    connect(to_left_, &QPushButton::clicked, this, [this] { move_selected(false); });
    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(to_right_);
    arrows->addWidget(to_left_);
    arrows->addStretch(1);

    auto* typed_label = new QLabel(QStringLiteral("&New Value:"), this);
    typed_ = new QLineEdit(this);
    typed_->setObjectName(QStringLiteral("exercise_new_value"));
    typed_->installEventFilter(this);
    typed_label->setBuddy(typed_);
    auto* add = button(QStringLiteral("&Add"), this);
    connect(add, &QPushButton::clicked, this, &value_exercise_dialog::add_typed);

    auto* lists = new QGridLayout;
    lists->addWidget(left_caption_, 0, 0);
    lists->addWidget(right_caption_, 0, 2);
    lists->addWidget(left_, 1, 0);
    lists->addLayout(arrows, 1, 1);
    lists->addWidget(right_, 1, 2);
    auto* typed_row = new QHBoxLayout;
    typed_row->addWidget(typed_, 1);
    typed_row->addWidget(add);
    auto* typed_box = new QVBoxLayout;
    typed_box->addWidget(typed_label);
    typed_box->addLayout(typed_row);
    lists->addLayout(typed_box, 2, 2);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(2, 1);

    back_ = button(QStringLiteral("<< &Back"), this);
    next_ = button(QStringLiteral("&Next >>"), this);
    auto* ok = button(QStringLiteral("OK"), this);
    auto* cancel = button(QStringLiteral("Cancel"), this);
    connect(back_, &QPushButton::clicked, this, &value_exercise_dialog::go_back);
    connect(next_, &QPushButton::clicked, this, &value_exercise_dialog::go_next);
    connect(ok, &QPushButton::clicked, this, &value_exercise_dialog::accept);
    connect(cancel, &QPushButton::clicked, this, &value_exercise_dialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(guidance_);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(560, 480);
    fill();
    typed_->setFocus();
}

void value_exercise_dialog::fill(const QString& select_right)
{
    const auto refill = [](QListWidget* list, const QStringList& words) {
        list->clear();
        list->addItems(words);
    };
    refill(left_, exercise_.left());
    refill(right_, exercise_.right());
    if (!select_right.isEmpty())
        for (int i = 0; i < right_->count(); ++i)
            if (right_->item(i)->text() == select_right) {
                right_->setCurrentRow(i);
                right_->scrollToItem(right_->item(i));
            }
    guidance_->setText(exercise_.guidance());
    left_caption_->setText(QStringLiteral("<b>%1</b> (%2)").arg(exercise_.left_caption()).arg(exercise_.left().size()));
    right_caption_->setText(
        QStringLiteral("<b>%1</b> (%2)").arg(exercise_.right_caption()).arg(exercise_.right().size()));
    next_->setEnabled(exercise_.can_go_next());
    back_->setEnabled(exercise_.can_go_back());
}

void value_exercise_dialog::add_typed()
{
    const int at = exercise_.add_typed(typed_->text());
    if (at < 0)
        return;
    const QString entry = exercise_.right().at(at);
    typed_->clear();
    fill(entry);
}

void value_exercise_dialog::move_selected(bool to_right)
{
    const QStringList words = selected_texts(to_right ? left_ : right_);
    if (words.isEmpty())
        return;
    QListWidget* from = to_right ? left_ : right_;
    const int row = from->currentRow();
    if (to_right)
        exercise_.move_right(words);
    else
        exercise_.move_left(words);
    fill();
    // The next entry is ready for the next move.
    if (from->count() > 0)
        from->setCurrentRow(std::min(row, from->count() - 1));
}

void value_exercise_dialog::go_next()
{
    if (exercise_.next())
        fill();
}

void value_exercise_dialog::go_back()
{
    if (exercise_.back())
        fill();
}

void value_exercise_dialog::accept()
{
    added_ = commands_.add_values(exercise_.chosen());
    exercise_.reset();
    QDialog::accept();
}

bool value_exercise_dialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == typed_ && enter) {
            add_typed();
            return true;
        }
        if ((watched == left_ || watched == right_) && enter) {
            move_selected(watched == left_);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qm::ui
