#include "ui/task_recurrence_page.h"

#include "app/options.h"
#include "model/task_recurrences.h"
#include "store/tables.h"
#include "ui/recurrence_editor.h"

#include <QVBoxLayout>

namespace qm::ui {
namespace {

std::optional<time::recurrence> pattern_of(const store::tables& tables, std::int32_t master)
{
    for (const auto& r : tables.recurrences.cache())
        if (r->attached == master && r->attached_type == 0)
            return *r;
    return std::nullopt;
}

}  // namespace

task_recurrence_page::task_recurrence_page(const task_page_context& context, QWidget* parent)
    : task_dialog_page(parent), context_(context)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    editor_ = new recurrence_editor(this);
    layout->addWidget(editor_);
}

QString task_recurrence_page::description() const
{
    if (occurrence_)
        return QStringLiteral("This task is one occurrence of a recurring task: the pattern below is that task's, "
                              "and changing it asks how far the change reaches.");
    return QStringLiteral("How often the task repeats, from when and until when.");
}

void task_recurrence_page::load(const model::task& t)
{
    master_ = model::task_recurrences::is_master(t);
    occurrence_ = false;
    std::int32_t master_id = master_ ? t.id : 0;
    model::task_ptr master;
    if (!master_ && t.recurrence != 0)
        if ((master = context_.store.find(t.recurrence)) && model::task_recurrences::is_master(*master)) {
            occurrence_ = true;
            master_id = master->id;
        }
    loaded_ = master_id != 0 ? pattern_of(context_.tables, master_id) : std::nullopt;
    if (master_)
        loaded_offset_ = t.deadline == 0 ? 0 : t.deadline - time::RECURRENCE_MASTER_DATE;
    else if (occurrence_)
        loaded_offset_ = master->deadline == 0 ? 0 : master->deadline - time::RECURRENCE_MASTER_DATE;
    else
        loaded_offset_ = t.deadline > t.date ? t.deadline - t.date : 0;
    const time::stored_date start = t.date > time::NO_DATE ? t.date : time::today();
    editor_->load(loaded_, start, loaded_offset_, app::current_options().working_end);
    editor_->set_deadline_shown(!occurrence_);
    wanted_ = loaded_;
}

bool task_recurrence_page::pattern_changed() const
{
    if (loaded_.has_value() != wanted_.has_value())
        return true;
    return loaded_ && !loaded_->same_pattern(*wanted_);
}

bool task_recurrence_page::store(model::task& t, QString& error)
{
    const QString why = editor_->error();
    if (!why.isEmpty()) {
        error = why;
        return false;
    }
    const std::optional<time::recurrence> chosen = editor_->pattern();
    if (!chosen && (master_ || occurrence_)) {
        error = QStringLiteral("A recurring task keeps its pattern: to end it, use Stop Recurrence in the Recurring "
                               "Tasks view, or delete the task.");
        return false;
    }
    wanted_ = chosen;
    if (!chosen)
        return true;
    const std::int64_t offset = editor_->deadline_offset();
    if (master_)
        t.deadline = model::task_recurrences::master_deadline(offset);
    else if (!occurrence_)
        // make_master turns a deadline after the task's own day into the offset.
        t.deadline = offset > 0 ? t.date + offset : 0;
    return true;
}

}  // namespace qm::ui
