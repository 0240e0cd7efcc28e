#include "history/comment_commands.h"

#include "history/project_commands.h"
#include "history/task_commands.h"
#include "store/announcements.h"

namespace qm::history {

comment_command::comment_command(store::comment_facade& comments, kind k, store::comment_record before,
                                 store::comment_record after)
    : comments_(comments), kind_(k), before_(std::move(before)), after_(std::move(after))
{
}

void comment_command::announce(const store::comment_record& c) const
{
    if (c.type == model::comment_type::day_note)
        store::listeners().broadcast(model::comment_message::day_note_changed, c.time, c.id);
}

void comment_command::apply(bool)
{
    switch (kind_) {
    case add:
        // The first time allocates the id; redo brings the same comment back.
        after_ = *comments_.save(after_);
        announce(after_);
        break;
    case change:
        comments_.save(after_);
        announce(after_);
        break;
    case remove:
        comments_.delete_entity(before_.id);
        announce(before_);
        break;
    }
}

void comment_command::undo()
{
    switch (kind_) {
    case add:
        comments_.delete_entity(after_.id);
        announce(after_);
        break;
    case change:
    case remove:
        comments_.save(before_);
        announce(before_);
        break;
    }
}

QString comment_command::change_text() const
{
    const store::comment_record& c = kind_ == remove ? before_ : after_;
    if (kind_ == change && c.type == model::comment_type::day_note)
        return model::day_note_change_text(c.time);
    const QString head = kind_ == add ? QStringLiteral("add ") : kind_ == change ? QStringLiteral("changes to ")
                                                                                 : QStringLiteral("delete ");
    return head + model::comment_description(c, time::today());
}

comment_commands::comment_commands(history& h, store::comment_facade& comments, task_commands& tasks,
                                   project_commands* projects)
    : history_(h), comments_(comments), tasks_(tasks), projects_(projects)
{
}

bool comment_commands::add_free(const QString& text, time::stored_time at)
{
    if (model::blank_comment(text))
        return false;
    store::comment_record c = model::new_comment(model::comment_type::free_comment, 0, at);
    c.comment = text;
    history_.add_command(std::make_unique<comment_command>(comments_, comment_command::add, store::comment_record{}, c));
    return true;
}

bool comment_commands::change_text(std::int32_t id, const QString& text)
{
    model::comment_ptr stored = comments_.find(id);
    if (!stored)
        return false;
    if (model::blank_comment(text))
        return remove(id);
    if (stored->comment == text)
        return false;
    store::comment_record after = *stored;
    after.comment = text;
    history_.add_command(std::make_unique<comment_command>(comments_, comment_command::change, *stored, after));
    return true;
}

bool comment_commands::remove(std::int32_t id)
{
    model::comment_ptr stored = comments_.find(id);
    if (!stored)
        return false;
    history_.add_command(
        std::make_unique<comment_command>(comments_, comment_command::remove, *stored, store::comment_record{}));
    return true;
}

bool comment_commands::set_day_note(time::stored_date date, const QString& text)
{
    date = time::date_of(date);
    if (model::comment_ptr note = model::day_note(comments_, date))
        return change_text(note->id, text);
    if (model::blank_comment(text))
        return false;
    store::comment_record c = model::new_comment(model::comment_type::day_note, 0, date);
    c.comment = text;
    history_.add_command(std::make_unique<comment_command>(comments_, comment_command::add, store::comment_record{}, c));
    return true;
}

bool comment_commands::add_to_task(model::task& t, const QString& text, time::stored_time at)
{
    if (model::blank_comment(text))
        return false;
    store::comment_record c = model::new_comment(model::comment_type::task, t.id, at);
    c.comment = text;
    return tasks_.modify(t, [&](model::task& x) { x.comments.push_back(c); });
}

bool comment_commands::add_to_project(const model::project& p, const QString& text, time::stored_time at)
{
    if (projects_ == nullptr || model::blank_comment(text))
        return false;
    store::comment_record c = model::new_comment(model::comment_type::project, p.id, at);
    c.comment = text;
    return projects_->modify(p, [&](model::project& x) { x.comments.push_back(c); });
}

}  // namespace qm::history
