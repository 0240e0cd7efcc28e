#include "ui/comments_list.h"

#include "model/comments.h"
#include "time/format.h"
#include "ui/comment_editor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {

comments_list::comments_list(int type, QWidget* parent) : QWidget(parent), type_(type)
{
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("comments"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("Written"), QStringLiteral("Comment")});
    list_->setRootIsDecorated(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list_->header()->setStretchLastSection(true);
    auto* add = new QPushButton(QStringLiteral("&Add..."), this);
    edit_ = new QPushButton(QStringLiteral("&Edit..."), this);
    delete_ = new QPushButton(QStringLiteral("&Delete"), this);
    connect(add, &QPushButton::clicked, this, &comments_list::add_comment);
    connect(edit_, &QPushButton::clicked, this, &comments_list::edit_selected);
    connect(delete_, &QPushButton::clicked, this, &comments_list::delete_selected);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { edit_selected(); });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        edit_->setEnabled(selected_index() >= 0);
        delete_->setEnabled(selected_index() >= 0);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
}

void comments_list::set_comments(std::int32_t owner, std::vector<store::comment_record> list)
{
    owner_ = owner;
    // Kept in the owner's order, so that an untouched list stays equal to it.
    comments_ = std::move(list);
    fill();
}

void comments_list::fill()
{
    list_->clear();
    std::vector<std::size_t> order(comments_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return comments_[a].time < comments_[b].time;
    });
    for (std::size_t i : order) {
        const store::comment_record& c = comments_[i];
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, time::format_date_and_time(c.time));
        item->setText(1, model::shown_comment(c.comment, 120));
        item->setToolTip(1, c.comment);
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
    }
    edit_->setEnabled(false);
    delete_->setEnabled(false);
}

int comments_list::selected_index() const
{
    const QList<QTreeWidgetItem*> items = list_->selectedItems();
    return items.isEmpty() ? -1 : static_cast<int>(items.front()->data(0, Qt::UserRole).toULongLong());
}

void comments_list::add_comment()
{
    const std::optional<QString> text = ask_comment()(this, QStringLiteral("Add Comment"), QString());
    if (!text || model::blank_comment(*text))
        return;
    store::comment_record c = model::new_comment(type_, owner_);
    c.comment = *text;
    comments_.push_back(c);
    fill();
}

void comments_list::edit_selected()
{
    const int at = selected_index();
    if (at < 0)
        return;
    store::comment_record& c = comments_[static_cast<std::size_t>(at)];
    const std::optional<QString> text = ask_comment()(this, QStringLiteral("Edit Comment"), c.comment);
    if (!text)
        return;
    if (model::blank_comment(*text))
        comments_.erase(comments_.begin() + at);
    else
        c.comment = *text;
    fill();
}

void comments_list::delete_selected()
{
    const int at = selected_index();
    if (at < 0)
        return;
    comments_.erase(comments_.begin() + at);
    fill();
}

}  // namespace qm::ui
