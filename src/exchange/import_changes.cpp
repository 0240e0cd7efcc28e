#include "exchange/import_changes.h"

#include <QUuid>

#include <algorithm>

namespace qm::exchange {
namespace {

using model::task_recurrences;

// The association rows an import adds, repoints and removes, kept so that
// undo and redo put them back with the tasks they point at.
class association_steps {
public:
    explicit association_steps(store::dbtote& items) : items_(items) {}

    store::outlook_item_record add(store::outlook_item_record r)
    {
        r = *items_.add_entity(r);
        steps_.push_back({kind::add, {}, r});
        return r;
    }
    void modify(const store::outlook_item_record& r)
    {
        const auto current = items_.find(r.id);
        if (!current || *current == r)
            return;
        steps_.push_back({kind::modify, *current, r});
        items_.modify_entity(r);
    }
    void remove(std::int32_t id)
    {
        const auto current = items_.find(id);
        if (!current)
            return;
        steps_.push_back({kind::remove, *current, {}});
        items_.delete_entity(id);
    }

    void undo()
    {
        for (auto it = steps_.rbegin(); it != steps_.rend(); ++it)
            switch (it->k) {
            case kind::add: items_.delete_entity(it->after.id); break;
            case kind::modify: items_.modify_entity(it->before); break;
            case kind::remove: items_.add_entity(it->before); break;
            }
    }
    void redo()
    {
        for (const step& s : steps_)
            switch (s.k) {
            case kind::add: items_.add_entity(s.after); break;
            case kind::modify: items_.modify_entity(s.after); break;
            case kind::remove: items_.delete_entity(s.before.id); break;
            }
    }

private:
    enum class kind { add, modify, remove };
    struct step {
        kind k;
        store::outlook_item_record before, after;
    };
    store::dbtote& items_;
    std::vector<step> steps_;
};

// One imported item: its task steps and its association steps together.
class import_item_command : public history::command {
public:
    using body = std::function<void(history::recurrence_steps&, association_steps&)>;
    import_item_command(model::task_store& store, model::task_recurrences& recurrences, store::dbtote& items,
                        QString text, body b)
        : steps_(store, recurrences), associations_(items), text_(std::move(text)), body_(std::move(b))
    {
    }
    void apply(bool first_time) override
    {
        if (first_time) {
            body_(steps_, associations_);
            return;
        }
        steps_.redo();
        associations_.redo();
    }
    void undo() override
    {
        associations_.undo();
        steps_.undo();
    }
    QString change_text() const override { return text_; }

private:
    history::recurrence_steps steps_;
    association_steps associations_;
    QString text_;
    body body_;
};

// The pattern an item's series takes once owned by a master.
time::recurrence owned_pattern(const calendar_item& item, std::int32_t master)
{
    time::recurrence p = *item.recurrence;
    p.id = 0;
    p.attached = master;
    p.attached_type = 0;
    time::move_start_to_first_occurrence(p);
    return p;
}

std::vector<time::stored_date> sorted_exceptions(const calendar_item& item)
{
    std::vector<time::stored_date> out = item.exceptions;
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

logged_item logged(const model::task& t, const time::recurrence* pattern)
{
    logged_item l;
    l.name = t.name;
    l.kind = pattern != nullptr ? item_kind::master : t.recurrence != 0 ? item_kind::occurrence : item_kind::appointment;
    l.pattern = pattern;
    l.date = t.date;
    l.start = t.appointment_start < 0 ? 0 : t.appointment_start;
    return l;
}

// Adds the task of an item, a master with its pattern, left-out dates and
// the occurrences of the dates already shown. Returns its id.
std::int32_t add_appointment(history::recurrence_steps& s, const calendar_item& item)
{
    auto t = std::make_shared<model::task>(import_changes::appointment_of(item));
    s.add_task(t);
    if (item.recurrence) {
        s.add_pattern(owned_pattern(item, t->id));
        for (time::stored_date d : sorted_exceptions(item))
            s.record_deleted(t->id, d);
        s.generate_on_looked_dates(t->id);
    }
    return t->id;
}

void remove_appointment(history::recurrence_steps& s, model::task_store& store, model::task_recurrences& recurrences,
                        std::int32_t id)
{
    model::task_ptr t = store.find(id);
    if (!t)
        return;
    if (task_recurrences::is_master(*t)) {
        for (model::task* o : recurrences.occurrences_of(id))
            s.remove_task(store.find(o->id));
        for (time::stored_date d : recurrences.deleted_dates(id))
            s.restore_deleted(id, d);
        s.delete_pattern_of(id);
    }
    s.remove_task(t);
}

}  // namespace

import_changes::import_changes(history::history& h, model::task_store& tasks, model::task_recurrences& recurrences,
                               store::tables& tables)
    : history_(h), tasks_(tasks), recurrences_(recurrences), tables_(tables)
{
}

store::dbtofe::record_ptr import_changes::folder_entry(store::tables& tables, const calendar_ref& calendar)
{
    for (const auto& f : tables.outlook_folders.cache())
        if (f->store_id == calendar.store_id && f->entry_id == calendar.entry_id)
            return f;
    store::outlook_folder_record r;
    r.store_id = calendar.store_id;
    r.entry_id = calendar.entry_id;
    return tables.outlook_folders.add_entity(r);
}

model::task import_changes::appointment_of(const calendar_item& item)
{
    model::task t;
    t.name = item.subject;
    t.description = item.body;
    t.appointment = true;
    t.date = time::date_of(item.start);
    t.appointment_start = static_cast<std::int32_t>(item.start - t.date);
    const std::int64_t length = std::clamp<std::int64_t>(item.end - item.start, 0, 366 * time::seconds_per_day);
    t.appointment_duration = static_cast<std::int32_t>(length);
    if (item.recurrence)
        task_recurrences::make_master(t);
    return t;
}

bool import_changes::same_as_item(const model::task& t, const calendar_item& item) const
{
    const model::task wanted = appointment_of(item);
    if (t.name != wanted.name || t.description != wanted.description || t.appointment != wanted.appointment ||
        t.appointment_start != wanted.appointment_start || t.appointment_duration != wanted.appointment_duration ||
        t.date != wanted.date)
        return false;
    if (!item.recurrence)
        return true;
    const time::recurrence* current = recurrences_.pattern_of(t.id);
    return current != nullptr && current->same_pattern(owned_pattern(item, t.id)) &&
           recurrences_.deleted_dates(t.id) == sorted_exceptions(item);
}

void import_changes::apply(const calendar_data& data, const date_range& range, const log_sink& log,
                           const std::function<bool()>& cancelled)
{
    const store::dbtofe::record_ptr folder = folder_entry(tables_, data.calendar);
    matched_.clear();
    seen_.clear();
    for (const item_problem& p : data.problems)
        log(error_line(p.name, p.message), true);
    for (const calendar_item& item : data.items) {
        if (cancelled && cancelled())
            return;
        if (!in_range(item, range))
            continue;
        seen_.insert(item.entry_id);
        for (const QString& note : item.notes)
            log(note, false);
        apply_item(item, folder, data.calendar.name, log);
    }
    if (cancelled && cancelled())
        return;
    remove_missing(folder, data.calendar.name, range, log);
}

void import_changes::apply_item(const calendar_item& item, const store::dbtofe::record_ptr& folder,
                                const QString& calendar, const log_sink& log)
{
    // The association by the item's id in this calendar, else by its guid:
    // an item the planner exported carries the guid of its task.
    store::dbtote::record_ptr association;
    for (const auto& a : tables_.outlook_items.cache())
        if (a->outlook_folder_entry == folder->id && a->entry_id == item.entry_id && !matched_.count(a->id)) {
            association = a;
            break;
        }
    if (!association && !item.guid.isEmpty())
        for (const auto& a : tables_.outlook_items.cache())
            if (a->guid == item.guid && !matched_.count(a->id)) {
                association = a;
                break;
            }
    model::task_ptr existing = association ? tasks_.find(association->task) : nullptr;
    if (association)
        matched_.insert(association->id);

    store::outlook_item_record wanted_association;
    if (association)
        wanted_association = *association;
    wanted_association.entry_id = item.entry_id;
    wanted_association.outlook_folder_entry = folder->id;
    if (wanted_association.guid.isEmpty())
        wanted_association.guid = item.guid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : item.guid;

    const model::task wanted = appointment_of(item);
    std::optional<time::recurrence> pattern;
    if (item.recurrence)
        pattern = owned_pattern(item, 0);
    const logged_item line_item = logged(wanted, pattern ? &*pattern : nullptr);

    if (existing && same_as_item(*existing, item)) {
        if (association && !(*association == wanted_association)) {
            // Only the item's place changed: repoint the association.
            history_.add_command(std::make_unique<import_item_command>(
                tasks_, recurrences_, tables_.outlook_items, item_line(direction::import_, change::changed, line_item, calendar),
                [wanted_association](history::recurrence_steps&, association_steps& a) { a.modify(wanted_association); }));
        }
        return;
    }

    const bool was_master = existing && task_recurrences::is_master(*existing);
    const bool same_kind = existing && was_master == item.recurrence.has_value();
    const change kind = existing ? change::changed : change::added;
    const QString text = item_line(direction::import_, kind, line_item, calendar);
    model::task_store& store = tasks_;
    model::task_recurrences& recurrences = recurrences_;
    const bool had_association = association != nullptr;
    const std::int32_t existing_id = existing ? existing->id : 0;

    history_.add_command(std::make_unique<import_item_command>(
        tasks_, recurrences_, tables_.outlook_items, text,
        [&store, &recurrences, item, wanted, same_kind, existing_id, had_association,
         wanted_association](history::recurrence_steps& s, association_steps& a) mutable {
            std::int32_t id = existing_id;
            if (existing_id != 0 && same_kind) {
                // Keep the task (its tags, comments and tracked time) and
                // bring its appointment fields to the item's.
                model::task_ptr t = store.find(existing_id);
                const model::task m0 = *t;
                model::task after = *t;
                after.name = wanted.name;
                after.description = wanted.description;
                after.appointment = true;
                after.appointment_start = wanted.appointment_start;
                after.appointment_duration = wanted.appointment_duration;
                if (!item.recurrence)
                    after.date = wanted.date;
                const model::task m1 = s.change_task(after, model::update_flag::no_status_hooks);
                if (item.recurrence) {
                    const time::recurrence p = owned_pattern(item, id);
                    time::recurrence changed = *recurrences.pattern_of(id);
                    const std::int32_t pattern_id = changed.id;
                    changed = p;
                    changed.id = pattern_id;
                    s.change_pattern(changed);
                    const std::vector<time::stored_date> wanted_out = sorted_exceptions(item);
                    for (time::stored_date d : recurrences.deleted_dates(id))
                        if (!std::binary_search(wanted_out.begin(), wanted_out.end(), d))
                            s.restore_deleted(id, d);
                    for (time::stored_date d : wanted_out)
                        s.record_deleted(id, d);
                    for (model::task* o : recurrences.occurrences_of(id)) {
                        model::task copy = *o;
                        const bool left_out = std::binary_search(wanted_out.begin(), wanted_out.end(), o->date);
                        if (left_out || recurrences.merge(copy, m0, m1, &changed))
                            s.remove_task(store.find(o->id));
                        else if (!copy.same_columns(*o))
                            s.change_task(copy, model::update_flag::no_status_hooks);
                    }
                    s.generate_on_looked_dates(id);
                }
            } else {
                if (existing_id != 0)
                    remove_appointment(s, store, recurrences, existing_id);
                id = add_appointment(s, item);
            }
            wanted_association.task = id;
            if (had_association)
                a.modify(wanted_association);
            else
                a.add(wanted_association);
        }));
    ++changes_;
    log(text, false);
}

void import_changes::remove_missing(const store::dbtofe::record_ptr& folder, const QString& calendar,
                                    const date_range& range, const log_sink& log)
{
    std::vector<store::outlook_item_record> gone;
    for (const auto& a : tables_.outlook_items.cache())
        if (a->outlook_folder_entry == folder->id && !matched_.count(a->id) && !seen_.count(a->entry_id))
            gone.push_back(*a);
    for (const store::outlook_item_record& a : gone) {
        model::task_ptr t = tasks_.find(a.task);
        if (!t)
            continue;  // the task went in the planner: the association waits for its item
        const bool master = task_recurrences::is_master(*t);
        const time::recurrence* pattern = master ? recurrences_.pattern_of(t->id) : nullptr;
        if (master && pattern == nullptr)
            continue;
        if (!appointment_in_range(t->date, t->appointment_start, t->appointment_duration, pattern, range))
            continue;
        const time::stored_date date = pattern != nullptr ? pattern->starting_date : t->date;
        const QString text = removal_line(t->name, date, calendar);
        model::task_store& store = tasks_;
        model::task_recurrences& recurrences = recurrences_;
        const std::int32_t id = t->id, association = a.id;
        history_.add_command(std::make_unique<import_item_command>(
            tasks_, recurrences_, tables_.outlook_items, text,
            [&store, &recurrences, id, association](history::recurrence_steps& s, association_steps& steps) {
                remove_appointment(s, store, recurrences, id);
                steps.remove(association);
            }));
        ++changes_;
        log(text, false);
    }
}

}  // namespace qm::exchange
