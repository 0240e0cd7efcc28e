#include "history/history.h"

#include "store/announcements.h"
#include "time/format.h"

namespace qm::history {

// ---- groups ----

void group_command::undo()
{
    owner_.announce_group_begun();
    for (auto it = parts_.rbegin(); it != parts_.rend(); ++it)
        (*it)->undo();
    owner_.announce_group_ended(parts_.size());
}

void group_command::apply(bool first_time)
{
    if (first_time)
        return;  // the parts were applied as they were added
    owner_.announce_group_begun();
    for (auto& part : parts_)
        part->apply(false);
    owner_.announce_group_ended(parts_.size());
}

QString group_command::change_text() const
{
    if (parts_.size() == 1 && (!(flags & group_flag::labelled) || label.isEmpty()))
        return parts_.front()->change_text();
    if (label.isEmpty())
        return QStringLiteral("multiple edit");
    return label;
}

// ---- the history ----

history::history(std::function<void()> end_batch) : end_batch_(std::move(end_batch)) {}

history::~history() = default;

void history::finish()
{
    if (end_batch_)
        end_batch_();
    if (on_state_changed)
        on_state_changed();
}

void history::add_command(command_ptr c)
{
    if (group_open_) {
        if (!group_)
            group_ = std::make_unique<group_command>(*this);
        command* raw = c.get();
        group_->append(std::move(c));
        raw->apply(true);
        return;
    }
    // What could be redone is lost once something new is done.
    entries_.erase(entries_.begin() + (position_ + 1), entries_.end());
    c->timestamp = time::now();
    command* raw = c.get();
    entries_.push_back(std::move(c));
    ++position_;
    raw->apply(true);
    finish();
}

void history::undo_step()
{
    if (position_ == -1)
        return;
    while (position_ >= 0) {
        command& entry = *entries_[static_cast<std::size_t>(position_)];
        entry.undo();
        --position_;
        if (!(entry.flags & group_flag::joined))
            break;
    }
    finish();
}

void history::redo_step()
{
    if (!can_redo())
        return;
    do {
        ++position_;
        entries_[static_cast<std::size_t>(position_)]->apply(false);
    } while (position_ + 1 < static_cast<int>(entries_.size()) &&
             (entries_[static_cast<std::size_t>(position_ + 1)]->flags & group_flag::joined));
    finish();
}

void history::begin_group(const QString& label, unsigned flags)
{
    // Groups do not nest: a second begin replaces the label and flags.
    group_open_ = true;
    group_label_ = label;
    group_flags_ = flags;
    announce_group_begun();
}

void history::end_group()
{
    if (!group_open_)
        return;
    group_open_ = false;
    std::unique_ptr<group_command> g = std::move(group_);
    const std::size_t count = g ? g->size() : 0;
    if (count > 0) {
        g->label = group_label_;
        g->flags = group_flags_;
        add_command(std::move(g));
    }
    announce_group_ended(count);
}

bool history::move_newest_into_group(const command* expected)
{
    if (!group_open_ || expected == nullptr || position_ < 0 ||
        position_ + 1 != static_cast<int>(entries_.size()) || entries_.back().get() != expected)
        return false;
    if (!group_)
        group_ = std::make_unique<group_command>(*this);
    group_->append(std::move(entries_.back()));
    entries_.pop_back();
    --position_;
    return true;
}

void history::clear()
{
    entries_.clear();
    position_ = -1;
    group_.reset();
    group_open_ = false;
    if (on_state_changed)
        on_state_changed();
}

void history::announce_group_begun() { store::listeners().broadcast(message::group_begun, 0, 0); }

void history::announce_group_ended(std::size_t count)
{
    store::listeners().broadcast(message::group_ended, 0, static_cast<std::int64_t>(count));
}

std::vector<int> history::units() const
{
    std::vector<int> starts;
    for (int i = static_cast<int>(entries_.size()) - 1; i >= 0 && starts.size() < 26; --i) {
        if (entries_[static_cast<std::size_t>(i)]->flags & group_flag::joined)
            continue;  // belongs to the unit of the entry before it
        starts.push_back(i);
    }
    return starts;
}

namespace {

list_line make_line(int number, const QString& prefix, const command& c)
{
    list_line line;
    line.letter = QChar(u'A' + number);
    line.text = prefix + c.change_text();
    line.ago = time::format_duration(time::now() - c.timestamp) + QStringLiteral(" ago");
    return line;
}

}  // namespace

std::vector<list_line> history::undo_list() const
{
    if (entries_.empty())
        return {list_line{QChar(), QStringLiteral("Nothing to undo"), QString()}};
    std::vector<list_line> lines;
    for (int start : units())
        if (start <= position_)
            lines.push_back(make_line(static_cast<int>(lines.size()), QStringLiteral("Undo "),
                                      *entries_[static_cast<std::size_t>(start)]));
    return lines;
}

std::vector<list_line> history::redo_list() const
{
    if (entries_.empty())
        return {list_line{QChar(), QStringLiteral("Nothing to undo"), QString()}};
    std::vector<int> after;
    for (int start : units())
        if (start > position_)
            after.push_back(start);
    std::vector<list_line> lines;
    for (auto it = after.rbegin(); it != after.rend(); ++it)
        lines.push_back(
            make_line(static_cast<int>(lines.size()), QStringLiteral("Redo "), *entries_[static_cast<std::size_t>(*it)]));
    return lines;
}

void history::choose_undo(int k)
{
    for (int i = 0; i < k; ++i)
        undo_step();
}

void history::choose_redo(int k)
{
    for (int i = 0; i < k; ++i)
        redo_step();
}

}  // namespace qm::history
