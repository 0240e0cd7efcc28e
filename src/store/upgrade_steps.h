#pragma once
// The conversion steps of older database files, one function per version of
// the step table, and what they share while a chain runs.

#include "store/upgrade.h"
#include "store/upgrade_support.h"

#include <map>

#include <QString>

namespace qm::store {

class database;

struct step_context {
    database& db;
    const upgrade_environment& env;
    upgrade_requests& requests;
    QStringList& pending;  // work after the load kept in the file
    bool end_chain = false;
    // Rebuilds of the large Tasks table wait here until a step needs its new
    // columns, so that the rebuilds of several versions cost one copy.
    std::map<QString, table_plan> deferred;

    void rebuild_later(const QString& table, const table_plan& plan)
    {
        auto it = deferred.find(table);
        if (it == deferred.end())
            deferred[table] = plan;
        else
            it->second = compose(it->second, plan);
    }
    void flush(const QString& table)
    {
        auto it = deferred.find(table);
        if (it == deferred.end())
            return;
        const table_plan plan = it->second;
        deferred.erase(it);
        rebuild_table(db, table, plan.definition, plan.columns, plan.sources);
        working();
    }
    void flush_all()
    {
        while (!deferred.empty())
            flush(deferred.begin()->first);
    }

    void working() const
    {
        if (env.working)
            env.working();
    }
    void request(const QString& work)
    {
        if (!pending.contains(work))
            pending << work;
    }
};

// The CREATE TABLE statement of a table in a new file.
QString current_definition(const QString& table);

void step_1_03(step_context& c);
void step_1_05(step_context& c);
void step_1_10(step_context& c);
void step_1_12(step_context& c);
void step_1_50(step_context& c);
void step_1_60(step_context& c);
void step_1_62(step_context& c);

void step_1_80(step_context& c);
void step_1_81(step_context& c);
void step_1_82(step_context& c);
void step_1_84(step_context& c);
void step_1_86(step_context& c);
void step_1_89(step_context& c);
void step_1_91(step_context& c);
void step_1_92(step_context& c);
void step_1_96(step_context& c);
void step_1_96c(step_context& c);

void step_2_61(step_context& c);
void step_2_70(step_context& c);
void step_2_80(step_context& c);
void step_2_81(step_context& c);

// The offset, in seconds east of UTC, that the time-zone rewrite adds to the
// UTC times of older files: the system zone's standard offset.
int standard_offset_seconds();

}  // namespace qm::store
