#pragma once
// The bindings of the tables that use the generic statements.

#include "store/basic_facade.h"
#include "store/records.h"

namespace qm::store {

class alarm_facade_impl : public entity_facade<alarm_record> {
public:
    alarm_facade_impl(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, alarm_record& r) const override;

protected:
    void bind_values(database& db, statement s, const alarm_record& r, int offset) const override;
};

class habit_facade_impl : public entity_facade<habit_record> {
public:
    habit_facade_impl(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, habit_record& r) const override;

protected:
    void bind_values(database& db, statement s, const habit_record& r, int offset) const override;
};

// Routines are read and updated, never added.
class routine_facade : public entity_facade<routine_record> {
public:
    explicit routine_facade(db_writer& writer);
    void read(database& db, statement s, routine_record& r) const override;

protected:
    void bind_values(database& db, statement s, const routine_record& r, int offset) const override;
};

class recurrence_facade : public entity_facade<recurrence_record> {
public:
    recurrence_facade(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, recurrence_record& r) const override;

protected:
    void bind_values(database& db, statement s, const recurrence_record& r, int offset) const override;
};

class role_facade_impl : public entity_facade<role_record> {
public:
    role_facade_impl(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, role_record& r) const override;

protected:
    void bind_values(database& db, statement s, const role_record& r, int offset) const override;
};

// Tags share the role binding's failure text.
class context_facade : public entity_facade<context_record> {
public:
    context_facade(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, context_record& r) const override;

protected:
    void bind_values(database& db, statement s, const context_record& r, int offset) const override;
};

// The (task, tag) links.
class task_context_facade : public basic_facade<task_context_record> {
public:
    explicit task_context_facade(db_writer& writer);
    void read(database& db, statement s, task_context_record& r) const override;
    QString where(const task_context_record& r) const override;
    // Removes every link of a task, in memory and on disk.
    void remove_task(std::int32_t task);

protected:
    void bind_values(database& db, statement s, const task_context_record& r, int offset) const override;
};

class value_facade_impl : public entity_facade<value_record> {
public:
    value_facade_impl(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, value_record& r) const override;

protected:
    void bind_values(database& db, statement s, const value_record& r, int offset) const override;
};

class dependency_facade : public basic_facade<dependency_record> {
public:
    explicit dependency_facade(db_writer& writer);
    void read(database& db, statement s, dependency_record& r) const override;
    QString where(const dependency_record& r) const override;
    static QString load_suffix() { return QStringLiteral("ORDER BY [entity]"); }

protected:
    void bind_values(database& db, statement s, const dependency_record& r, int offset) const override;
};

class deleted_occurrence_facade : public basic_facade<deleted_occurrence_record> {
public:
    explicit deleted_occurrence_facade(db_writer& writer);
    void read(database& db, statement s, deleted_occurrence_record& r) const override;
    QString where(const deleted_occurrence_record& r) const override;

protected:
    void bind_values(database& db, statement s, const deleted_occurrence_record& r, int offset) const override;
};

class dbtofe : public entity_facade<outlook_folder_record> {
public:
    dbtofe(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, outlook_folder_record& r) const override;

protected:
    void bind_values(database& db, statement s, const outlook_folder_record& r, int offset) const override;
};

class dbtote : public entity_facade<outlook_item_record> {
public:
    dbtote(db_writer& writer, id_facade* ids);
    void read(database& db, statement s, outlook_item_record& r) const override;

protected:
    void bind_values(database& db, statement s, const outlook_item_record& r, int offset) const override;
};

}  // namespace qm::store
