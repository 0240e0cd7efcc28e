#pragma once
// A started core with the history, the task commands and the recurrence
// commands wired as the program wires them, rebuilt on each restart, and
// helpers that make masters and read occurrences back.

#include "history/recurrence_commands.h"
#include "history/task_commands.h"
#include "model/task_fixture.h"

#include <memory>

namespace qm::test {

struct recurrence_fixture : task_fixture {
    std::unique_ptr<history::history> h;
    std::unique_ptr<history::task_commands> commands;
    std::unique_ptr<history::recurrence_commands> recurring;
    std::vector<std::pair<history::cascade_action, bool>> asked;
    unsigned next_answer = 0;  // 0: the preselected choice

    recurrence_fixture() { wire(); }

    void wire()
    {
        recurring.reset();
        commands.reset();
        h = std::make_unique<history::history>([this] { store().end_change_batch(); });
        commands = std::make_unique<history::task_commands>(*h, store());
        recurring = std::make_unique<history::recurrence_commands>(*h, store(), recurrences(), history::naming{});
        commands->set_recurrences(recurring.get());
        recurring->set_asker([this](history::cascade_action a, bool master) {
            asked.emplace_back(a, master);
            if (next_answer != 0)
                return next_answer;
            return master ? model::cascade::all_tasks : model::cascade::this_task;
        });
    }

    void restart()
    {
        recurring.reset();
        commands.reset();
        h.reset();
        core.restart();
        wire();
    }

    model::task_recurrences& recurrences() { return core.core().recurrences(); }

    static time::recurrence weekly(int mask, int interval = 1, time::stored_date start = D(2026, 3, 9))
    {
        time::recurrence r;
        r.type = time::recurrence_kind::weekly;
        r.param1 = static_cast<std::uint8_t>(mask);
        r.param2 = static_cast<std::uint8_t>(interval);
        r.starting_date = start;
        return r;
    }
    static time::recurrence daily(int interval = 1, time::stored_date start = D(2026, 3, 9),
                                  time::stored_date end = 0)
    {
        time::recurrence r;
        r.type = time::recurrence_kind::daily;
        r.param1 = static_cast<std::uint8_t>(interval);
        r.starting_date = start;
        r.ending_date = end;
        return r;
    }

    // A task made to repeat through the command, as the dialog does it.
    model::task_ptr make_master(const QString& name, const time::recurrence& pattern,
                                const std::function<void(model::task&)>& edit = {})
    {
        model::task_ptr t = add(name, D(2026, 3, 11), 2);
        model::task after = *t;
        if (edit)
            edit(after);
        EXPECT_TRUE(recurring->make_master(*t, after, pattern));
        return store().find(t->id);
    }

    // The occurrences of a master by date (several on one date are an error).
    std::map<time::stored_date, model::task*> occurrences(std::int32_t master)
    {
        std::map<time::stored_date, model::task*> out;
        for (model::task* o : recurrences().occurrences_of(master)) {
            EXPECT_EQ(out.count(o->date), 0u) << "two occurrences on one date";
            out[o->date] = o;
        }
        return out;
    }

    model::task* occurrence_on(std::int32_t master, time::stored_date d)
    {
        auto all = occurrences(master);
        auto it = all.find(d);
        return it == all.end() ? nullptr : it->second;
    }

    // Occurrence rows of the file: date → name.
    std::map<time::stored_date, QString> file_occurrences(std::int32_t master)
    {
        std::map<time::stored_date, QString> out;
        store::database& db = core.drain_and_reopen();
        for (const auto& row : query(db, QStringLiteral("SELECT date, name FROM Tasks WHERE recurrence = %1").arg(master)))
            out[row[0].toLongLong()] = row[1];
        return out;
    }
};

}  // namespace qm::test
