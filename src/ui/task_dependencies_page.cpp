#include "ui/task_dependencies_page.h"

#include "model/dependencies.h"
#include "time/format.h"

#include <QCompleter>
#include <QEvent>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {
namespace {

QString date_text(const model::task& t)
{
    return t.date == time::NO_DATE ? QStringLiteral("No Date") : time::format_short_date(t.date);
}

// What the completion offers for a task: its name and, to tell namesakes
// apart, its date.
QString choice_text(const model::task& t)
{
    const QString name = t.name.isEmpty() ? QStringLiteral("(unnamed task)") : t.name;
    return QStringLiteral("%1 (%2)").arg(name, date_text(t));
}

bool can_be_waited_on(const model::task& t)
{
    return !t.is_folder() && t.date != time::RECURRENCE_MASTER_DATE && t.date != time::FOLDER_DATE;
}

}  // namespace

task_dependencies_page::task_dependencies_page(const task_page_context& context, QWidget* parent)
    : task_dialog_page(parent), context_(context)
{
    setObjectName(QStringLiteral("task_dependencies_page"));
    chooser_ = new QLineEdit(this);
    chooser_->setObjectName(QStringLiteral("dependency_chooser"));
    chooser_->setPlaceholderText(QStringLiteral("Type the name of a task this one waits on"));
    auto* add = new QPushButton(QStringLiteral("&Add"), this);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("dependencies"));
    list_->setHeaderLabels({QStringLiteral("Waits on"), QStringLiteral("Status"), QStringLiteral("Date")});
    list_->setRootIsDecorated(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);
    remove_ = new QPushButton(QStringLiteral("&Remove"), this);
    problem_ = new QLabel(this);
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b00020;"));
    problem_->hide();
    connect(add, &QPushButton::clicked, this, [this] { add_chosen(); });
    // Enter in the box adds the task; it must not also close the dialog.
    chooser_->installEventFilter(this);
    connect(remove_, &QPushButton::clicked, this, &task_dependencies_page::remove_selected);
    connect(list_, &QTreeWidget::itemSelectionChanged, this,
            [this] { remove_->setEnabled(!list_->selectedItems().isEmpty()); });

    auto* choose = new QHBoxLayout;
    choose->addWidget(chooser_, 1);
    choose->addWidget(add);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(remove_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(choose);
    layout->addWidget(problem_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
}

QString task_dependencies_page::description() const
{
    return QStringLiteral("The tasks that must be done before this one can be. While one of them is unfinished, "
                          "this task is marked as waiting in the task lists.");
}

bool task_dependencies_page::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chooser_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            add_chosen();
            return true;
        }
    }
    return task_dialog_page::eventFilter(watched, event);
}

QString task_dependencies_page::problem() const { return problem_->isHidden() ? QString() : problem_->text(); }

void task_dependencies_page::say(const QString& text)
{
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
}

void task_dependencies_page::load(const model::task& t)
{
    task_id_ = t.id;
    dependencies_ = t.dependencies.to_vector();
    choices_.clear();
    QStringList texts;
    for (const model::task_ptr& other : context_.store.all()) {
        if (other->id == t.id || !can_be_waited_on(*other))
            continue;
        const QString text = choice_text(*other);
        if (!choices_.contains(text))
            texts << text;
        choices_.insert(text, other->id);  // namesakes on one day: the last one
    }
    auto* completer = new QCompleter(texts, chooser_);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    chooser_->setCompleter(completer);
    fill();
}

std::int32_t task_dependencies_page::find_named(const QString& typed, QString& error) const
{
    const QString text = typed.trimmed();
    for (auto it = choices_.begin(); it != choices_.end(); ++it)
        if (it.key().compare(text, Qt::CaseInsensitive) == 0)
            return it.value();
    std::vector<std::int32_t> found;
    for (const model::task_ptr& t : context_.store.all())
        if (t->id != task_id_ && can_be_waited_on(*t) && t->name.compare(text, Qt::CaseInsensitive) == 0)
            found.push_back(t->id);
    if (found.size() == 1)
        return found.front();
    error = found.empty() ? QStringLiteral("No task is named \"%1\".").arg(text)
                          : QStringLiteral("Several tasks are named \"%1\": choose one with its date from the list.")
                                .arg(text);
    return 0;
}

bool task_dependencies_page::add_chosen()
{
    if (chooser_->text().trimmed().isEmpty())
        return false;
    QString error;
    const std::int32_t id = find_named(chooser_->text(), error);
    if (id == 0) {
        say(error);
        return false;
    }
    if (std::find(dependencies_.begin(), dependencies_.end(), id) != dependencies_.end()) {
        say(QStringLiteral("This task already waits on it."));
        return false;
    }
    if (const std::int32_t culprit = model::closing_cycle(context_.store, task_id_, {id})) {
        say(model::cycle_message(context_.store, task_id_, culprit));
        return false;
    }
    dependencies_.push_back(id);
    chooser_->clear();
    say(QString());
    fill();
    return true;
}

void task_dependencies_page::remove_selected()
{
    for (QTreeWidgetItem* item : list_->selectedItems()) {
        const std::int32_t id = item->data(0, Qt::UserRole).toInt();
        dependencies_.erase(std::remove(dependencies_.begin(), dependencies_.end(), id), dependencies_.end());
    }
    fill();
}

void task_dependencies_page::fill()
{
    list_->clear();
    for (std::int32_t id : dependencies_) {
        model::task_ptr t = context_.store.find(id);
        if (!t)
            continue;  // deleted since: nothing to wait on
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, t->name.isEmpty() ? QStringLiteral("(unnamed task)") : t->name);
        item->setText(1, model::status_text(t->status, true));
        item->setText(2, date_text(*t));
        item->setData(0, Qt::UserRole, id);
        if (!model::blocks(*t))
            for (int c = 0; c < 3; ++c)
                item->setForeground(c, palette().color(QPalette::Disabled, QPalette::Text));
    }
    remove_->setEnabled(false);
}

bool task_dependencies_page::store(model::task& t, QString& error)
{
    // Other tasks may have changed while the dialog was open.
    if (const std::int32_t culprit = model::closing_cycle(context_.store, t.id, dependencies_)) {
        error = model::cycle_message(context_.store, t.id, culprit);
        return false;
    }
    t.dependencies = dependencies_;
    return true;
}

}  // namespace qm::ui
