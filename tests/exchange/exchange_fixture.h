#pragma once
// A started core with the history wired (the recurrence fixture), a fake
// calendar backend kept in memory, and a helper that runs an import or an
// export to its end as the progress window would, collecting its lines.

#include "exchange/exchange_run.h"
#include "model/recurrence_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace qm::test {

// Calendars in memory; counts its writes, and can fail on command.
class fake_backend : public exchange::calendar_backend {
public:
    struct state {
        std::vector<exchange::calendar_ref> calendars;
        std::map<QString, std::vector<exchange::calendar_item>> items;  // by calendar entry id
        QString connect_error;
        QString read_error;
        int writes = 0;
        int next_id = 1;
        std::function<void()> on_read;  // runs on the worker while a calendar is read
    };
    explicit fake_backend(std::shared_ptr<state> s) : s_(std::move(s)) {}

    bool connect(QString& error) override
    {
        error = s_->connect_error;
        return error.isEmpty();
    }
    bool list_calendars(std::vector<exchange::calendar_ref>& out, QString&) override
    {
        out = s_->calendars;
        return true;
    }
    bool list_items(const exchange::calendar_ref& c, std::vector<exchange::calendar_item>& out,
                    std::vector<exchange::item_problem>&, QString& error) override
    {
        if (s_->on_read)
            s_->on_read();
        error = s_->read_error;
        out = s_->items[c.entry_id];
        return error.isEmpty();
    }
    bool write_item(const exchange::calendar_ref& c, exchange::calendar_item& item, QString&) override
    {
        ++s_->writes;
        auto& list = s_->items[c.entry_id];
        if (item.entry_id.isEmpty())
            item.entry_id = QStringLiteral("item-%1").arg(s_->next_id++);
        for (auto& i : list)
            if (i.entry_id == item.entry_id) {
                i = item;
                return true;
            }
        list.push_back(item);
        return true;
    }
    std::optional<exchange::calendar_item> find_by_guid(const exchange::calendar_ref& c, const QString& guid) override
    {
        for (const auto& i : s_->items[c.entry_id])
            if (i.guid == guid)
                return i;
        return std::nullopt;
    }
    bool remove_item(const exchange::calendar_ref& c, const QString& id, QString&) override
    {
        auto& list = s_->items[c.entry_id];
        list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& i) { return i.entry_id == id; }),
                   list.end());
        return true;
    }

private:
    std::shared_ptr<state> s_;
};

struct exchange_fixture : recurrence_fixture {
    struct outcome {
        QStringList lines;
        QStringList errors;
        bool finished = false;
        QString last() const { return lines.isEmpty() ? QString() : lines.last(); }
    };

    exchange::planner_side side()
    {
        return exchange::planner_side{*h, store(), recurrences(), core.core().tables()};
    }

    outcome run(std::unique_ptr<exchange::calendar_backend> backend, exchange::exchange_request request,
                const std::function<void(exchange::exchange_run&)>& before_start = {})
    {
        outcome out;
        exchange::exchange_run run(side(), std::move(backend), std::move(request));
        run.on_line = [&out](const QString& line, bool error) {
            out.lines << line;
            if (error)
                out.errors << line;
        };
        if (before_start)
            before_start(run);
        run.start();
        QElapsedTimer waited;
        waited.start();
        while (!run.finished() && waited.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        out.finished = run.finished();
        return out;
    }

    static exchange::calendar_item item(const QString& id, const QString& subject, time::stored_time start,
                                        int minutes = 60)
    {
        exchange::calendar_item i;
        i.entry_id = id;
        i.guid = QStringLiteral("uid-") + id;
        i.subject = subject;
        i.start = start;
        i.end = start + minutes * 60;
        return i;
    }

    // The appointments of the planner by name (occurrences left out).
    std::map<QString, model::task*> appointments()
    {
        std::map<QString, model::task*> out;
        for (const auto& t : store().all())
            if (t->appointment && t->recurrence == 0)
                out[t->name] = t.get();
        return out;
    }
};

}  // namespace qm::test
