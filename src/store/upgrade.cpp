#include "store/upgrade.h"

#include "store/database.h"
#include "store/database_settings.h"
#include "store/schema.h"
#include "store/upgrade_backup.h"
#include "store/upgrade_steps.h"

#include <exception>
#include <vector>

namespace qm::store {
namespace {

bool has_tables(database& db)
{
    statement s = db.prepare(QStringLiteral("SELECT COUNT(*) FROM [sqlite_master]"));
    long long count = 0;
    if (!db.step(s))
        count = db.column_int64(s, 1);
    db.finalize(s);
    return count > 0;
}

struct conversion_step {
    int major;
    int minor;
    const char* version;      // the step's name in the table
    const char* description;  // what the progress window says
    void (*run)(step_context&);
};

const std::vector<conversion_step>& steps()
{
    static const std::vector<conversion_step> table = {
        {1, 3, "1.03", "adding tags", step_1_03},
        {1, 5, "1.05", "preparing the second part of the conversion", step_1_05},
        {1, 10, "1.10", "renaming the recurrence tables", step_1_10},
        {1, 12, "1.12", "re-encoding text as UTF-8", step_1_12},
        {1, 50, "1.50", "converting tasks, goals and alarms", step_1_50},
        {1, 60, "1.60", "moving task times and interruptions into tracked times", step_1_60},
        {1, 62, "1.62", "requesting recurrences for routines", step_1_62},
        {1, 80, "1.80", "adding Outlook links", step_1_80},
        {1, 81, "1.81", "moving stored times to local time", step_1_81},
        {1, 82, "1.82", "moving comments into their own table", step_1_82},
        {1, 84, "1.84", "converting tags, roles and values", step_1_84},
        {1, 86, "1.86", "moving day notes into comments", step_1_86},
        {1, 89, "1.89", "resetting the task dialog", step_1_89},
        {1, 91, "1.91", "converting alarms", step_1_91},
        {1, 92, "1.92", "adding life areas", step_1_92},
        {1, 96, "1.96", "adding folders and habits", step_1_96},
        {1, 96, "1.96c", "removing stray alarms", step_1_96c},
        {2, 61, "2.61", "turning goals into projects", step_2_61},
        {2, 70, "2.70", "requesting the project folder conversion", step_2_70},
        {2, 80, "2.80", "turning recurring task templates into tasks", step_2_80},
        {2, 81, "2.81", "converting Outlook links", step_2_81},
    };
    return table;
}

bool applies(const conversion_step& step, const stored_version& v)
{
    if (step.major == 1) {
        if (v.major > 1)
            return false;
        if (step.run == step_1_96c)
            return v.minor < 96 || (v.minor == 96 && v.revision < 3);
        return v.minor < step.minor;
    }
    return v.major < 2 || (v.major == 2 && v.minor < step.minor);
}

bool newer_than_program(const stored_version& v)
{
    return v.major > program_major || (v.major == program_major && v.minor > program_minor);
}

void roll_back(database& db)
{
    try {
        db.execute(QStringLiteral("ROLLBACK;"));
    } catch (const sqlite_exception&) {
        // Nothing was open to roll back: the failure came before or at BEGIN.
    }
}

QString failure_message(const QString& step, const upgrade_requests& r, const QString& reason)
{
    QString text = QStringLiteral("Converting the database from version %1 failed in the step to version %2. "
                                  "Nothing has been changed: the file keeps version %1 and all of its data.")
                       .arg(r.from_version.isEmpty() ? QStringLiteral("(none)") : r.from_version, step);
    if (!r.backup_path.isEmpty())
        text += QStringLiteral(" A copy of the file as it was is kept in \"%1\".").arg(r.backup_path);
    return text + QStringLiteral("\n\n") + reason;
}

}  // namespace

QStringList read_pending_work(database& db)
{
    return read_setting(db, pending_work_key).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void write_pending_work(database& db, const QStringList& work)
{
    if (work.isEmpty())
        db.execute(QStringLiteral("DELETE FROM [DatabaseSettings] WHERE [key] = %1").arg(pending_work_key));
    else
        write_setting(db, pending_work_key, work.join(QLatin1Char('\n')));
}

upgrade_requests upgrade_database(database& db, bool existed, const upgrade_environment& env)
{
    upgrade_requests requests;
    db.execute(QStringLiteral("BEGIN TRANSACTION;"));
    if (existed && !has_tables(db)) {
        // An empty file is what a creation interrupted before its commit
        // leaves behind: build it as the new database it was meant to be.
        existed = false;
    }
    if (!existed) {
        create_schema(db);
        requests.new_database = true;
        write_pending_work(db, {pending_work::default_areas_and_roles});
        stamp_version(db);
        db.execute(QStringLiteral("COMMIT;"));
        return requests;
    }

    QString current_step;
    try {
        // Large enough that a rebuilt table does not spill to the file, and
        // so force a journal sync, in the middle of the transaction.
        db.execute(QStringLiteral("PRAGMA cache_size = 10000;"));
        requests.from_version = read_setting(db, settings_key::version);
        const stored_version v = parse_version(requests.from_version);
        if (newer_than_program(v))
            throw unsupported_version(requests.from_version);

        std::vector<const conversion_step*> chain;
        for (const conversion_step& step : steps())
            if (applies(step, v))
                chain.push_back(&step);

        QStringList pending = read_pending_work(db);
        step_context context{db, env, requests, pending, false, {}};
        const int count = static_cast<int>(chain.size());
        for (int i = 0; i < count; ++i) {
            const conversion_step& step = *chain[static_cast<std::size_t>(i)];
            current_step = QString::fromLatin1(step.version);
            if (env.progress)
                env.progress(QStringLiteral("Converting to version %1: %2")
                                 .arg(current_step, QString::fromUtf8(step.description)),
                             i + 1, count);
            if (!requests.converted) {
                requests.converted = true;
                requests.backup_path = backup_database(env, requests.from_version);
            }
            step.run(context);
            if (env.after_step)
                env.after_step(current_step);
            if (context.end_chain)
                break;
        }
        context.flush_all();
        current_step.clear();
        write_pending_work(db, pending);
        // A chain that asks for a restart continues from its last stamp on
        // the next run, so the program's own version is not stamped yet.
        if (!requests.restart_required)
            stamp_version(db);
        db.execute(QStringLiteral("COMMIT;"));
    } catch (const sqlite_exception& e) {
        roll_back(db);
        if (current_step.isEmpty())
            throw;
        throw sqlite_exception(failure_message(current_step, requests, e.message()));
    } catch (const std::exception& e) {
        roll_back(db);
        if (current_step.isEmpty())
            throw;
        throw sqlite_exception(failure_message(current_step, requests, QString::fromUtf8(e.what())));
    } catch (...) {
        roll_back(db);
        throw;
    }
    return requests;
}

}  // namespace qm::store
