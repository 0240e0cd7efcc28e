#include "ui/day_notes_pane.h"

#include "model/comments.h"
#include "time/format.h"
#include "ui/comment_editor.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm::ui {

day_notes_pane::day_notes_pane(store::comment_facade& comments, history::comment_commands& commands, QWidget* parent)
    : QWidget(parent), comments_(comments), commands_(commands)
{
    setObjectName(QStringLiteral("day_notes"));
    auto* note_heading = new QLabel(QStringLiteral("Day note"), this);
    QFont bold = note_heading->font();
    bold.setBold(true);
    note_heading->setFont(bold);
    note_ = new QPlainTextEdit(this);
    note_->setObjectName(QStringLiteral("day_note"));
    note_->setTabChangesFocus(true);
    note_->setPlaceholderText(QStringLiteral("A note on this day: how it went, what to remember"));
    note_->installEventFilter(this);

    comments_heading_ = new QLabel(QStringLiteral("Comments of the day"), this);
    comments_heading_->setFont(bold);
    auto* add = new QPushButton(QStringLiteral("Add Comment..."), this);
    add->setObjectName(QStringLiteral("add_day_comment"));
    connect(add, &QPushButton::clicked, this, &day_notes_pane::add_comment);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("day_comments"));
    list_->installEventFilter(this);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { edit_selected(); });

    auto* note_side = new QVBoxLayout;
    note_side->addWidget(note_heading);
    note_side->addWidget(note_, 1);
    auto* comment_top = new QHBoxLayout;
    comment_top->addWidget(comments_heading_, 1);
    comment_top->addWidget(add);
    auto* comment_side = new QVBoxLayout;
    comment_side->addLayout(comment_top);
    comment_side->addWidget(list_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addLayout(note_side, 1);
    layout->addLayout(comment_side, 1);
    // About four lines of note under the heading: the day's tasks keep the room.
    setMaximumHeight(fontMetrics().lineSpacing() * 7 + 12);

    store::listeners().add(this);
}

day_notes_pane::~day_notes_pane() { store::listeners().remove(this); }

void day_notes_pane::set_date(time::stored_date d)
{
    d = time::date_of(d);
    if (d == date_)
        return;
    commit_note();
    date_ = d;
    load_note();
    fill_comments();
}

void day_notes_pane::load_note()
{
    model::comment_ptr note = model::day_note(comments_, date_);
    shown_note_ = note ? note->comment : QString();
    if (note_->toPlainText() != shown_note_)
        note_->setPlainText(shown_note_);
}

void day_notes_pane::commit_note()
{
    if (date_ == 0 || committing_)
        return;
    const QString text = note_->toPlainText();
    if (text == shown_note_)
        return;
    committing_ = true;
    commands_.set_day_note(date_, text);
    committing_ = false;
    shown_note_ = text;
}

void day_notes_pane::fill_comments()
{
    list_->clear();
    for (const model::comment_ptr& c : model::free_comments(comments_, date_, time::next_day(date_))) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1  %2").arg(time::format_time_of_day(c->time - date_), model::shown_comment(c->comment)),
            list_);
        item->setToolTip(c->comment);
        item->setData(Qt::UserRole, c->id);
    }
    if (list_->count() == 0) {
        auto* item = new QListWidgetItem(QStringLiteral("No comments yet: Add Comment (Ctrl+M) on a heading writes one."),
                                         list_);
        item->setFlags(Qt::NoItemFlags);
    }
}

QStringList day_notes_pane::comment_lines() const
{
    QStringList out;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->data(Qt::UserRole).isValid())
            out << list_->item(i)->text();
    return out;
}

void day_notes_pane::add_comment()
{
    const std::optional<QString> text = ask_comment()(this, QStringLiteral("Add Comment"), QString());
    if (!text)
        return;
    commands_.add_free(*text, model::free_comment_time(date_, time::now()));
}

void day_notes_pane::edit_selected()
{
    QListWidgetItem* item = list_->currentItem();
    if (item == nullptr || !item->data(Qt::UserRole).isValid())
        return;
    model::comment_ptr c = comments_.find(item->data(Qt::UserRole).toInt());
    if (!c)
        return;
    const std::int32_t id = c->id;
    if (const std::optional<QString> text = ask_comment()(this, QStringLiteral("Edit Comment"), c->comment))
        commands_.change_text(id, *text);
}

void day_notes_pane::delete_selected()
{
    QListWidgetItem* item = list_->currentItem();
    if (item != nullptr && item->data(Qt::UserRole).isValid())
        commands_.remove(item->data(Qt::UserRole).toInt());
}

bool day_notes_pane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == note_ && event->type() == QEvent::FocusOut)
        commit_note();
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == note_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            commit_note();
            return true;
        }
        if (watched == list_ && key->key() == Qt::Key_Delete) {
            delete_selected();
            return true;
        }
        if (watched == list_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            edit_selected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

long day_notes_pane::on_announcement(const store::announcement& a)
{
    if (a.message == store::message::comment_base + store::message::changed)
        fill_comments();
    // An undo of the note shows at once, unless the user is writing it now.
    if (a.message == model::comment_message::day_note_changed && a.wparam == date_ && !committing_)
        load_note();
    return 0;
}

}  // namespace qm::ui
