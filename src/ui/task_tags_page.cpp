#include "ui/task_tags_page.h"

#include "model/tags.h"
#include "store/tables.h"

#include <QCompleter>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {
namespace {
constexpr int id_role = Qt::UserRole;
}

task_tags_page::task_tags_page(const task_page_context& context, QWidget* parent)
    : task_dialog_page(parent), context_(context)
{
    setObjectName(QStringLiteral("task_tags_page"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("task_tags"));
    connect(list_, &QListWidget::itemChanged, this, [this] { show_count(); });
    typed_ = new QLineEdit(this);
    typed_->setObjectName(QStringLiteral("new_tag"));
    typed_->setPlaceholderText(QStringLiteral("A new tag, for example Phone, Home or Car"));
    auto* typed_label = new QLabel(QStringLiteral("&New tag:"), this);
    typed_label->setBuddy(typed_);
    auto* add = new QPushButton(QStringLiteral("&Add"), this);
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this] { add_typed(); });
    // Enter in the box adds the tag; it does not close the dialog.
    typed_->installEventFilter(this);
    count_ = new QLabel(this);

    auto* typed_row = new QHBoxLayout;
    typed_row->addWidget(typed_label);
    typed_row->addWidget(typed_, 1);
    typed_row->addWidget(add);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 1);
    layout->addWidget(count_);
    layout->addLayout(typed_row);
}

QString task_tags_page::description() const
{
    return QStringLiteral("A location you must be at or a tool you need in order to work on this item.");
}

void task_tags_page::add_row(const model::tag_ref& tag, bool on)
{
    auto* item = new QListWidgetItem(tag.name, list_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    item->setData(id_role, tag.id);
}

void task_tags_page::load(const model::task& t)
{
    loaded_ = t.tags.to_vector();
    const QSignalBlocker quiet(list_);
    list_->clear();
    std::vector<model::tag_ref> all;
    for (const auto& c : context_.tables.contexts.cache())
        if (!c->name.trimmed().isEmpty())
            all.push_back({c->id, c->name});
    // A tag typed onto the task but not saved yet is listed too.
    for (const model::tag_ref& r : t.tags)
        if (r.id == 0 || std::none_of(all.begin(), all.end(), [&](const auto& a) { return a.id == r.id; }))
            all.push_back(r);
    std::sort(all.begin(), all.end(), [](const model::tag_ref& a, const model::tag_ref& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    for (const model::tag_ref& r : all) {
        const bool on = std::any_of(t.tags.begin(), t.tags.end(), [&](const model::tag_ref& x) {
            return r.id != 0 ? x.id == r.id : x.name.compare(r.name, Qt::CaseInsensitive) == 0;
        });
        add_row(r, on);
    }
    auto* completer = new QCompleter(model::tag_names(context_.tables), typed_);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    typed_->setCompleter(completer);
    show_count();
}

void task_tags_page::show_count()
{
    if (list_->count() == 0) {
        count_->setText(QStringLiteral("No tags yet: type one below."));
        return;
    }
    const int n = static_cast<int>(checked().size());
    count_->setText(n == 0 ? QStringLiteral("No tag is checked.")
                           : n == 1 ? QStringLiteral("1 tag is checked.") : QStringLiteral("%1 tags are checked.").arg(n));
}

QStringList task_tags_page::checked() const
{
    QStringList out;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked)
            out << list_->item(i)->text();
    return out;
}

void task_tags_page::set_checked(const QString& name, bool on)
{
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->text().compare(name, Qt::CaseInsensitive) == 0)
            list_->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

bool task_tags_page::add_typed()
{
    const QString name = typed_->text().simplified();
    if (name.isEmpty())
        return false;
    // Commas separate tags where tags are typed in a list cell.
    if (name.contains(QLatin1Char(','))) {
        for (const QString& piece : name.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            typed_->setText(piece);
            add_typed();
        }
        typed_->clear();
        return true;
    }
    QListWidgetItem* found = nullptr;
    for (int i = 0; i < list_->count() && found == nullptr; ++i)
        if (list_->item(i)->text().compare(name, Qt::CaseInsensitive) == 0)
            found = list_->item(i);
    if (found == nullptr) {
        int at = 0;
        while (at < list_->count() && list_->item(at)->text().compare(name, Qt::CaseInsensitive) < 0)
            ++at;
        found = new QListWidgetItem(name);
        found->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        found->setData(id_role, 0);
        list_->insertItem(at, found);
    }
    found->setCheckState(Qt::Checked);
    list_->setCurrentItem(found);
    list_->scrollToItem(found);
    typed_->clear();
    show_count();
    return true;
}

bool task_tags_page::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == typed_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            add_typed();
            return true;
        }
    }
    return task_dialog_page::eventFilter(watched, event);
}

bool task_tags_page::store(model::task& t, QString&)
{
    std::vector<model::tag_ref> tags;
    auto checked_item = [&](const model::tag_ref& r) -> bool {
        for (int i = 0; i < list_->count(); ++i) {
            const QListWidgetItem* item = list_->item(i);
            const std::int32_t id = item->data(id_role).toInt();
            const bool same = r.id != 0 ? id == r.id : item->text().compare(r.name, Qt::CaseInsensitive) == 0;
            if (same)
                return item->checkState() == Qt::Checked;
        }
        return false;
    };
    // The tags kept keep their places; the newly checked follow in list order.
    for (const model::tag_ref& r : loaded_)
        if (checked_item(r))
            tags.push_back(r);
    for (int i = 0; i < list_->count(); ++i) {
        const QListWidgetItem* item = list_->item(i);
        if (item->checkState() != Qt::Checked)
            continue;
        const model::tag_ref r{item->data(id_role).toInt(), item->text()};
        const bool have = std::any_of(tags.begin(), tags.end(), [&](const model::tag_ref& x) {
            return r.id != 0 ? x.id == r.id : x.name.compare(r.name, Qt::CaseInsensitive) == 0;
        });
        if (!have)
            tags.push_back(r);
    }
    // The whole list as shown; a page left alone changes nothing.
    if (!(tags == loaded_))
        t.tags = tags;
    return true;
}

}  // namespace qm::ui
