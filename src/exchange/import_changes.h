#pragma once
// The planner's side of an import, run on the main thread once the worker
// has read the calendars: each item matched with its association creates,
// changes or leaves its appointment task (a repeating one as a master with
// its occurrences), and the tasks of the calendar whose item is gone are
// removed. Every change is an undoable command; the caller wraps the whole
// import in one history group.

#include "exchange/exchange_texts.h"
#include "history/recurrence_commands.h"
#include "store/tables.h"

#include <functional>
#include <set>

namespace qm::exchange {

// One calendar's items as the worker read them.
struct calendar_data {
    calendar_ref calendar;
    std::vector<calendar_item> items;
    std::vector<item_problem> problems;
};

// The logged lines of a run: text, and whether it reports a failure.
using log_sink = std::function<void(const QString& line, bool error)>;

class import_changes {
public:
    import_changes(history::history& h, model::task_store& tasks, model::task_recurrences& recurrences,
                   store::tables& tables);

    // Applies one calendar: only the items within range take part, and only
    // the tasks within range are removed. cancelled is asked between items.
    void apply(const calendar_data& data, const date_range& range, const log_sink& log,
               const std::function<bool()>& cancelled = {});

    int changes() const { return changes_; }

    // The OutlookFolderEntries row of a calendar, made when missing.
    static store::dbtofe::record_ptr folder_entry(store::tables& tables, const calendar_ref& calendar);
    // The appointment an item makes: a plain one, or a master (before its
    // pattern is attached).
    static model::task appointment_of(const calendar_item& item);

private:
    void apply_item(const calendar_item& item, const store::dbtofe::record_ptr& folder, const QString& calendar,
                    const log_sink& log);
    void remove_missing(const store::dbtofe::record_ptr& folder, const QString& calendar, const date_range& range,
                        const log_sink& log);
    bool same_as_item(const model::task& t, const calendar_item& item) const;

    history::history& history_;
    model::task_store& tasks_;
    model::task_recurrences& recurrences_;
    store::tables& tables_;
    std::set<std::int32_t> matched_;  // the association rows met in this calendar
    std::set<QString> seen_;          // the entry ids of its items in range
    int changes_ = 0;
};

}  // namespace qm::exchange
