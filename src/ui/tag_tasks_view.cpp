#include "ui/tag_tasks_view.h"

#include "app/settings_document.h"
#include "model/tags.h"
#include "store/tables.h"
#include "ui/commands.h"
#include "ui/task_lists.h"

#include <QCollator>
#include <QMessageBox>
#include <QSplitter>
#include <QTimer>

#include <algorithm>

namespace qm::ui {
namespace {

const QString state_block = QStringLiteral("state");
const QString tags_block = QStringLiteral("tags");

const std::vector<int> tag_list_columns = {task_column::status, task_column::task, task_column::date,
                                           task_column::day_priority, task_column::estimate, task_column::deadline,
                                           task_column::project, task_column::tags};

}  // namespace

// ---- the tags ----

tag_list_pane::tag_list_pane(tag_tasks_view& owner, store::tables& tables, history::tag_commands& commands,
                             QWidget* parent)
    : owner_(owner), tables_(tables), commands_(commands)
{
    list_ = new cell_list(*this,
                          {{name_column, "Tag", true, 1.0, -1, -1, true}, {count_column, "Tasks", true, 56, -1, -1, false}},
                          list_style::single_selection | list_style::no_right_click_add, parent);
    list_->setObjectName(QStringLiteral("tag_list"));
    list_->set_name_column(name_column);
}

void tag_list_pane::refresh()
{
    const std::int32_t focus = current();
    std::vector<store::context_facade::record_ptr> tags(tables_.contexts.cache().begin(), tables_.contexts.cache().end());
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(tags.begin(), tags.end(), [&](const auto& a, const auto& b) {
        // An unnamed tag, just added, sits at the top while it is named.
        if (a->name.isEmpty() != b->name.isEmpty())
            return a->name.isEmpty();
        return collator.compare(a->name, b->name) < 0;
    });
    ids_.clear();
    for (const auto& t : tags)
        ids_.push_back(t->id);
    ids_.push_back(no_tag);
    const int row = row_of(focus);
    list_->reload(row >= 0 ? row : 0, name_column);
}

std::int32_t tag_list_pane::current() const
{
    const int r = list_->focus_row();
    return r >= 0 && r < row_count() ? ids_[static_cast<std::size_t>(r)] : 0;
}

int tag_list_pane::row_of(std::int32_t tag) const
{
    const auto it = std::find(ids_.begin(), ids_.end(), tag);
    return it == ids_.end() ? -1 : static_cast<int>(it - ids_.begin());
}

void tag_list_pane::select(std::int32_t tag)
{
    if (const int r = row_of(tag); r >= 0)
        list_->set_focus_cell(r, name_column);
}

QString tag_list_pane::cell_text(int row, int column_id) const
{
    if (row < 0 || row >= row_count())
        return QString();
    const std::int32_t id = ids_[static_cast<std::size_t>(row)];
    if (id == no_tag) {
        if (column_id == name_column)
            return QStringLiteral("(No Tag)");
        return QString();
    }
    const auto tag = tables_.contexts.find(id);
    if (!tag)
        return QString();
    if (column_id == name_column)
        return tag->name.isEmpty() ? QStringLiteral("(untitled)") : tag->name;
    return QString::number(model::task_count_of_tag(tables_, id));
}

row_style tag_list_pane::style_of(int row) const
{
    row_style s;
    s.dimmed = row >= 0 && row < row_count() && ids_[static_cast<std::size_t>(row)] == no_tag;
    return s;
}

int tag_list_pane::editor_of(int row, int column_id) const
{
    return column_id == name_column && row >= 0 && row < row_count() && ids_[static_cast<std::size_t>(row)] != no_tag
               ? editor_kind::text
               : editor_kind::none;
}

bool tag_list_pane::begin_text_edit(int row, int column_id, QString& initial)
{
    if (editor_of(row, column_id) == editor_kind::none)
        return false;
    const auto tag = tables_.contexts.find(ids_[static_cast<std::size_t>(row)]);
    initial = tag ? tag->name : QString();
    return true;
}

int tag_list_pane::commit_text(int row, int column_id, const QString& text)
{
    if (editor_of(row, column_id) == editor_kind::none)
        return 0;
    const std::int32_t selected = commands_.rename(ids_[static_cast<std::size_t>(row)], text);
    // After a merge the tag named so is the one to show.
    QTimer::singleShot(0, list_, [this, selected] {
        refresh();
        select(selected);
        owner_.show_current_tag();
    });
    return 0;
}

int tag_list_pane::add_row(int)
{
    const std::int32_t id = commands_.new_tag();
    refresh();
    return row_of(id);
}

void tag_list_pane::delete_selected()
{
    const std::int32_t id = current();
    const auto tag = id > 0 ? tables_.contexts.find(id) : nullptr;
    if (!tag)
        return;
    const history::tag_question q = history::delete_tag_question(tag->name, model::task_count_of_tag(tables_, id));
    const bool yes = owner_.ask_delete
                         ? owner_.ask_delete(q)
                         : QMessageBox::question(list_, q.caption, QString(q.text).replace(QStringLiteral("\r\n"),
                                                                                           QStringLiteral("\n"))) ==
                               QMessageBox::Yes;
    if (!yes)
        return;
    const int row = list_->focus_row();
    commands_.remove(id);
    refresh();
    list_->set_focus_cell(std::min(row, row_count() - 1), name_column);
    owner_.show_current_tag();
}

bool tag_list_pane::list_command(int command)
{
    if (command != cmd::delete_)
        return false;
    delete_selected();
    return true;
}

// ---- the view ----

tag_tasks_view::tag_tasks_view(task_list_parts parts, history::tag_commands& tags, QString settings_file,
                               QWidget* parent)
    : task_list_view(id, QStringLiteral("Tasks by Tag"), parts, std::move(settings_file), task_columns(tag_list_columns),
                     parent),
      tag_commands_(tags)
{
    tags_ = std::make_unique<tag_list_pane>(*this, parts.tables, tags, splitter());
    splitter()->insertWidget(0, &tags_->list());
    splitter()->setStretchFactor(0, 0);
    splitter()->setStretchFactor(1, 1);
    tags_->refresh();
    connect(tags_->list().selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { show_current_tag(); });
    finish_setup(0);
}

void tag_tasks_view::show_current_tag()
{
    if (tags_->current() == shown_tag_)
        return;
    shown_tag_ = tags_->current();
    refresh();
}

std::vector<task_list_view::task_group> tag_tasks_view::collect() const
{
    const std::int32_t tag = tags_ != nullptr ? tags_->current() : 0;
    std::vector<model::task*> tasks;
    if (tag == tag_list_pane::no_tag) {
        for (const model::task_ptr& t : parts().tasks.all())
            if (listable(*t) && t->tags.empty())
                tasks.push_back(t.get());
    } else if (tag > 0) {
        for (model::task* t : model::tasks_of_tag(parts().tasks, tag))
            if (listable(*t))
                tasks.push_back(t);
    }
    std::vector<task_group> out;
    for (auto& [d, group] : tasks_by_date(tasks))
        out.push_back({QString::number(d), date_heading(d), false, d > time::NO_DATE ? d : 0, std::move(group)});
    return out;
}

QString tag_tasks_view::range_text() const
{
    const std::int32_t tag = tags_ != nullptr ? tags_->current() : 0;
    if (tag == tag_list_pane::no_tag)
        return QStringLiteral("tasks without a tag");
    const auto t = tag > 0 ? parts().tables.contexts.find(tag) : nullptr;
    return t ? QStringLiteral("tag task list for %1").arg(model::tag_message_name(t->name)) : QString();
}

void tag_tasks_view::prepare_new(model::task& t) const
{
    const std::int32_t tag = tags_->current();
    if (const auto record = tag > 0 ? parts().tables.contexts.find(tag) : nullptr)
        t.tags.push_back({record->id, record->name});
}

bool tag_tasks_view::tags_focused() const
{
    return tags_->list().hasFocus() || tags_->list().isAncestorOf(focusWidget());
}

bool tag_tasks_view::handle_command(int command)
{
    if (tags_focused()) {
        switch (command) {
        case cmd::delete_: tags_->delete_selected(); return true;
        default: break;
        }
        if (tags_->list().handle_command(command))
            return true;
    }
    return task_list_view::handle_command(command);
}

bool tag_tasks_view::handles(int command) const
{
    if (tags_focused() && (command == cmd::delete_ || tags_->list().can_handle(command)))
        return true;
    return task_list_view::handles(command);
}

long tag_tasks_view::on_announcement(const store::announcement& a)
{
    // A tag added, renamed or deleted, or a task's tags changed: the counts move.
    if ((a.message >= store::message::tag_base && a.message <= store::message::tag_base + 3) ||
        a.message == model::task_message::batch_ended)
        QTimer::singleShot(0, this, [this] {
            if (!tags_->list().editing()) {
                tags_->refresh();
                show_current_tag();
            }
        });
    return task_list_view::on_announcement(a);
}

void tag_tasks_view::load_extra(const app::settings_document& doc)
{
    if (doc.find_block(tags_block) != nullptr)
        tags_->list().load_layout(doc, tags_block);
    tags_->select(doc.get_int(state_block, QStringLiteral("tag"), 0));
    shown_tag_ = tags_->current();
    const int left = doc.get_int(QStringLiteral("splitter"), QStringLiteral("left"), 220);
    splitter()->setSizes({left, 700});
}

void tag_tasks_view::save_extra(app::settings_document& doc) const
{
    doc.set_int(state_block, QStringLiteral("tag"), tags_->current());
    const QList<int> sizes = splitter()->sizes();
    if (!sizes.isEmpty() && sizes[0] > 10)
        doc.set_int(QStringLiteral("splitter"), QStringLiteral("left"), sizes[0]);
    tags_->list().save_layout(doc, tags_block);
}

}  // namespace qm::ui
