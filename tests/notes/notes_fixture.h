#pragma once
// A started core with the history and the comment commands, a recorder of
// the comment announcements, and the Comments rows read back from the file.

#include "history/comment_commands.h"
#include "history/project_commands.h"
#include "history/task_commands.h"
#include "model/project_fixture.h"

#include <map>

namespace qm::test {

// Every comment announcement, as (message offset, id), oldest first.
struct comment_news : store::listener {
    std::vector<std::pair<int, std::int64_t>> heard;
    std::vector<std::int64_t> day_notes;
    comment_news() { store::listeners().add(this); }
    ~comment_news() override { store::listeners().remove(this); }
    long on_announcement(const store::announcement& a) override
    {
        if (a.message >= store::message::comment_base && a.message <= store::message::comment_base + 3)
            heard.emplace_back(a.message - store::message::comment_base, a.lparam);
        if (a.message == model::comment_message::day_note_changed)
            day_notes.push_back(a.wparam);
        return 0;
    }
    int count(int offset) const
    {
        return static_cast<int>(std::count_if(heard.begin(), heard.end(), [&](const auto& h) { return h.first == offset; }));
    }
};

struct notes_fixture : project_fixture {
    std::unique_ptr<history::history> h;
    std::unique_ptr<history::task_commands> tc;
    std::unique_ptr<history::project_commands> pc;
    std::unique_ptr<history::comment_commands> cc;

    notes_fixture() { rebuild(); }
    void rebuild()
    {
        cc.reset();
        pc.reset();
        tc.reset();
        h = std::make_unique<history::history>([this] { store().end_change_batch(); });
        tc = std::make_unique<history::task_commands>(*h, store());
        pc = std::make_unique<history::project_commands>(*h, projects(), store());
        cc = std::make_unique<history::comment_commands>(*h, core.core().tables().comments, *tc, pc.get());
    }
    // Drains the writer, reads the file back and starts a new core on it.
    std::map<int, QStringList> restart_and_read()
    {
        std::map<int, QStringList> rows = comment_rows(core.drain_and_reopen());
        core.restart();
        rebuild();
        return rows;
    }
    std::map<int, QStringList> memory_rows()
    {
        std::map<int, QStringList> out;
        for (const auto& c : core.core().tables().comments.cache())
            out[c->id] = row_of(*c);
        return out;
    }
    static QStringList row_of(const store::comment_record& c)
    {
        return {QString::number(c.id), QString::number(c.associated_id), QString::number(c.time),
                QString::number(c.type), c.comment};
    }
    static std::map<int, QStringList> comment_rows(store::database& db)
    {
        std::map<int, QStringList> out;
        for (const auto& row : query(db, "SELECT id, associated_id, time, type, comment FROM Comments"))
            out[row[0].toInt()] = row;
        return out;
    }
};

}  // namespace qm::test
