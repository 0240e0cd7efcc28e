#include "store/tables.h"
#include "support/test_support.h"

#include <QRandomGenerator>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace qm;
using namespace qm::store;

namespace {

struct recorder : listener {
    std::vector<std::pair<int, std::int64_t>> seen;
    long answer = 0;
    long on_announcement(const announcement& a) override
    {
        seen.emplace_back(a.message, a.lparam);
        return answer;
    }
};

// Registers for the life of a test and always unregisters.
struct registered {
    listener* l;
    explicit registered(listener* x) : l(x) { listeners().add(l); }
    ~registered() { listeners().remove(l); }
};

template <class Facade>
std::vector<typename Facade::record_ptr::element_type> values_of(const Facade& f)
{
    std::vector<typename Facade::record_ptr::element_type> out;
    for (const auto& r : f.cache())
        out.push_back(*r);
    return out;
}

}  // namespace

TEST(listener_registry, registersOnceCallsInOrderAndStopsAtTheFirstAnswer)
{
    listener_registry registry;
    recorder a, b, c;
    registry.add(&a);
    registry.add(&b);
    registry.add(&a);  // again: no effect
    registry.add(&c);
    EXPECT_EQ(registry.size(), 3u);
    EXPECT_EQ(registry.broadcast(100, 0, 7), 0);
    EXPECT_EQ(a.seen.size(), 1u);

    b.answer = 42;
    EXPECT_EQ(registry.broadcast(101, 0, 8), 42);
    EXPECT_EQ(a.seen.back().first, 101);
    EXPECT_EQ(b.seen.back().first, 101);
    EXPECT_EQ(c.seen.back().first, 100);  // after the answering listener: not called

    registry.remove(&b);
    EXPECT_EQ(registry.broadcast(102), 0);
    EXPECT_EQ(c.seen.back().first, 102);
}

TEST(listener_registry, aListenerRemovedDuringTheBroadcastIsNotCalled)
{
    listener_registry registry;
    recorder later;
    struct remover : listener {
        listener_registry* r;
        listener* victim;
        long on_announcement(const announcement&) override
        {
            r->remove(victim);
            return 0;
        }
    } first;
    first.r = &registry;
    first.victim = &later;
    registry.add(&first);
    registry.add(&later);
    registry.broadcast(1);
    EXPECT_TRUE(later.seen.empty());
}

TEST(bindings, entityOperationsAllocateAnnounceAndKeepGivenIds)
{
    test::started_core core;
    auto& alarms = core.core().tables().alarms;
    recorder r;
    registered reg(&r);

    alarm_record a;
    a.text = "Call the dentist";
    auto first = alarms.add_entity(a);
    EXPECT_EQ(first->id, 1);
    a.id = 40;  // as when a delete is undone
    auto kept = alarms.add_entity(a);
    EXPECT_EQ(kept->id, 40);

    alarm_record changed = *first;
    changed.text = "Call the dentist at 9";
    alarms.modify_entity(changed);
    EXPECT_EQ(first->text, "Call the dentist at 9");  // the cached object itself
    EXPECT_TRUE(alarms.delete_entity(40));
    EXPECT_FALSE(alarms.delete_entity(40));

    const int base = message::alarm_base;
    const std::vector<std::pair<int, std::int64_t>> expected = {
        {base, 1}, {base + 3, 1}, {base, 40}, {base + 3, 40}, {base + 1, 1}, {base + 3, 1}, {base + 2, 40}, {base + 3, 40},
    };
    EXPECT_EQ(r.seen, expected);

    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(test::query(db, "SELECT id, text FROM Alarms"), (std::vector<QStringList>{{"1", "Call the dentist at 9"}}));
}

TEST(bindings, removeTakesExactlyTheRecordNotAnEqualOne)
{
    test::started_core core;
    auto& links = core.core().tables().task_contexts;  // a table without a key
    auto one = std::make_shared<task_context_record>(task_context_record{1, 2});
    auto same = std::make_shared<task_context_record>(task_context_record{1, 2});
    links.add(one);
    links.add(same);
    links.remove(same);
    ASSERT_EQ(links.cache().size(), 1u);
    EXPECT_EQ(links.cache()[0], one);
}

TEST(bindings, emptySuffixLoadsTheTableInItsOwnOrder)
{
    test::started_core core;
    store::database& db = core.drain_and_reopen();
    db.execute("INSERT INTO TaskContexts VALUES(5, 1)");
    db.execute("INSERT INTO TaskContexts VALUES(2, 9)");
    db.execute("INSERT INTO TaskContexts VALUES(7, 3)");
    db.execute("INSERT INTO Dependencies VALUES(9, 1, 0)");
    db.execute("INSERT INTO Dependencies VALUES(3, 1, 0)");
    db_writer idle(core.database_path());
    tables t(idle);
    load_tables(t, db);
    EXPECT_EQ(values_of(t.task_contexts),
              (std::vector<task_context_record>{{5, 1}, {2, 9}, {7, 3}}));
    EXPECT_EQ(values_of(t.dependencies), (std::vector<dependency_record>{{3, 1, 0}, {9, 1, 0}}));  // ORDER BY [entity]
}

TEST(bindings, aFailedWriteRaisesTheBindingsOwnText)
{
    test::started_core core;
    store::database& db = core.drain_and_reopen();
    db.execute("INSERT INTO Alarms (id) VALUES(1)");
    db.execute("INSERT INTO Habits (id) VALUES(1)");
    db.execute("INSERT INTO Comments (id) VALUES(1)");
    db_writer idle(core.database_path());
    tables t(idle);

    auto expect_failure = [&](auto& facade, const auto& record, const char* text) {
        statement s = db.prepare(facade.insert_text());
        try {
            facade.bind(db, s, record, 0);
            FAIL() << "no failure for " << text;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), text);
        }
        sqlite3_finalize(s);
    };
    alarm_record a;
    a.id = 1;
    expect_failure(t.alarms, a, "alarm_facade_impl::bind(i*), db->execute failed");
    habit_record h;
    h.id = 1;
    expect_failure(t.habits, h, "habit_facade_impl::bind(i), db->execute failed");
    // REPLACE never conflicts; a NOT NULL column does.
    deleted_occurrence_record d;
    sqlite3_exec(db.handle(), "DROP TABLE TaskRecurrenceDeletedItems; CREATE TABLE TaskRecurrenceDeletedItems "
                              "(task_recurrence INTEGER NOT NULL CHECK(task_recurrence > 0), date INTEGER NOT NULL)",
                 nullptr, nullptr, nullptr);
    expect_failure(t.deleted_occurrences, d, "bind failed");
}

TEST(bindings, ownerAndListDeletionsTouchOnlyTheirRows)
{
    test::started_core core;
    auto& t = core.core().tables();
    t.comments.save({0, 5, 100, 2, "task five"});
    t.comments.save({0, 5, 100, 3, "project five"});
    t.comments.save({0, 6, 100, 2, "task six"});
    t.comments.delete_owner(5, 2);
    t.tracked_times.save({0, 5, 0, 1000, 60, ""});
    t.tracked_times.save({0, 5, 0, 2000, 60, ""});
    t.tracked_times.save({0, 6, 0, 3000, 60, ""});
    t.tracked_times.save({0, 7, 0, 4000, 60, ""});
    t.tracked_times.delete_ids({1, 3});
    t.tracked_times.delete_task(7);
    t.task_contexts.add(std::make_shared<task_context_record>(task_context_record{5, 1}));
    t.task_contexts.add(std::make_shared<task_context_record>(task_context_record{6, 1}));
    t.task_contexts.remove_task(5);
    t.mission_statement.set_text("Live simply.\r\nWork well.");

    store::database& db = core.drain_and_reopen();
    EXPECT_EQ(test::query(db, "SELECT comment FROM Comments ORDER BY id"),
              (std::vector<QStringList>{{"project five"}, {"task six"}}));
    EXPECT_EQ(test::query(db, "SELECT id FROM TrackedTimes"), (std::vector<QStringList>{{"2"}}));
    EXPECT_EQ(test::query(db, "SELECT task FROM TaskContexts"), (std::vector<QStringList>{{"6"}}));
    EXPECT_EQ(test::query(db, "SELECT text FROM MissionStatements"), (std::vector<QStringList>{{"Live simply.\r\nWork well."}}));
    EXPECT_EQ(t.comments.cache().size(), 2u);
    // The task store took the loaded entries: the table keeps no second copy.
    EXPECT_TRUE(t.tracked_times.cache().empty());
}

TEST(bindings, trackedTimesBeforeTheHandOverAreKeptInTheTable)
{
    // A table loaded on its own (a tool reading the file) keeps its rows, and
    // saving an entry it holds changes it in place instead of adding one.
    test::started_core core;
    {
        auto& t = core.core().tables();
        t.tracked_times.save({0, 5, 0, 1000, 60, "first"});
    }
    store::database& db = core.drain_and_reopen();
    db_writer idle(core.folder() + "/unused.db");
    tables loose(idle);
    loose.tracked_times.load(db);
    ASSERT_EQ(loose.tracked_times.cache().size(), 1u);
    tracked_time_record r = *loose.tracked_times.cache()[0];
    r.duration = 120;
    EXPECT_EQ(loose.tracked_times.save(r), r.id);
    EXPECT_EQ(loose.tracked_times.cache().size(), 1u);
    EXPECT_EQ(loose.tracked_times.cache()[0]->duration, 120);
    const auto handed = loose.tracked_times.hand_over();
    EXPECT_EQ(handed.size(), 1u);
    EXPECT_TRUE(loose.tracked_times.cache().empty());
}

TEST(bindings, randomChangesOverSeveralTablesReachTheFileAsInMemory)
{
    test::started_core core;
    auto& t = core.core().tables();
    QRandomGenerator rng(424242);
    auto text = [&] { return QStringLiteral("text %1 ✓ «%2»").arg(rng.bounded(1000)).arg(rng.bounded(1000)); };
    std::vector<tracked_time_record> times;
    for (int step = 0; step < 3000; ++step) {
        const int table = rng.bounded(5);
        const int op = rng.bounded(3);
        auto pick = [&](const auto& cache) { return cache.empty() ? nullptr : cache[rng.bounded(int(cache.size()))]; };
        switch (table) {
        case 0:
            if (op == 0 || t.alarms.cache().empty())
                t.alarms.add_entity({0, rng.bounded(1 << 30), text(), rng.bounded(9), 1, rng.bounded(5), "*alarm.wav", 2});
            else if (op == 1) {
                auto r = *pick(t.alarms.cache());
                r.text = text();
                r.time += 3600;
                t.alarms.modify_entity(r);
            } else
                t.alarms.delete_entity(pick(t.alarms.cache())->id);
            break;
        case 1:
            if (op == 0 || t.values.cache().empty())
                t.values.add_entity({0, text(), text(), rng.bounded(20)});
            else if (op == 1) {
                auto r = *pick(t.values.cache());
                r.index = rng.bounded(20);
                t.values.modify_entity(r);
            } else
                t.values.delete_entity(pick(t.values.cache())->id);
            break;
        case 2:
            if (op == 0 || t.comments.cache().empty())
                t.comments.save({0, rng.bounded(50), 1773100800LL + rng.bounded(100000), rng.bounded(4), text()});
            else if (op == 1) {
                auto r = *pick(t.comments.cache());
                r.comment = text();
                t.comments.save(r);
            } else
                t.comments.delete_entity(pick(t.comments.cache())->id);
            break;
        case 3:
            // The started task store holds the entries: the table only writes,
            // and this mirror stands in for memory.
            if (op == 0 || times.empty()) {
                tracked_time_record r{0, rng.bounded(50), 0, 1773100800LL + rng.bounded(100000), rng.bounded(7200), text()};
                r.id = t.tracked_times.save(r);
                times.push_back(r);
            } else {
                const auto at = times.begin() + rng.bounded(int(times.size()));
                if (op == 1) {
                    at->duration += 60;
                    EXPECT_EQ(t.tracked_times.save(*at), at->id);
                } else {
                    t.tracked_times.delete_ids({at->id});
                    times.erase(at);
                }
            }
            break;
        default:
            if (op != 2 || t.recurrences.cache().empty())
                t.recurrences.add_entity({0, rng.bounded(50), 0, 1773100800, 0, std::uint8_t(rng.bounded(5)), 1, 2, 3});
            else
                t.recurrences.delete_entity(pick(t.recurrences.cache())->id);
            break;
        }
    }
    const auto alarms = values_of(t.alarms);
    const auto values = values_of(t.values);
    const auto comments = values_of(t.comments);
    EXPECT_TRUE(t.tracked_times.cache().empty());
    auto recurrences = values_of(t.recurrences);
    // The start-up brings each pattern's start to its first occurrence.
    for (auto& r : recurrences)
        time::move_start_to_first_occurrence(r);
    const auto ids = t.ids.records();

    core.restart();
    auto& back = core.core().tables();
    EXPECT_EQ(values_of(back.alarms), alarms);
    EXPECT_EQ(values_of(back.values), values);
    // Rows come back in id order; memory keeps insertion order, which is id order too.
    EXPECT_EQ(values_of(back.comments), comments);
    std::vector<QStringList> times_text;
    for (const auto& r : times)
        times_text.push_back({QString::number(r.id), QString::number(r.task), QString::number(r.start),
                              QString::number(r.duration), r.caption});
    EXPECT_EQ(test::query(core.drain_and_reopen(), "SELECT id, task, start, duration, caption FROM TrackedTimes ORDER BY id"),
              times_text);
    EXPECT_EQ(values_of(back.recurrences), recurrences);
    // The counters come back in kind order; memory holds them in first-use order.
    auto by_kind = [](std::vector<id_record> v) {
        std::sort(v.begin(), v.end(), [](const id_record& a, const id_record& b) { return a.kind < b.kind; });
        std::vector<std::pair<int, int>> out;
        for (const auto& r : v)
            out.emplace_back(r.kind, r.next_id);
        return out;
    };
    EXPECT_EQ(by_kind(back.ids.records()), by_kind(ids));
}
