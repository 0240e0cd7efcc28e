#pragma once
// A started core with a fixed clock, and helpers that add tasks to groups and
// read the groups back, from memory or from the file.

#include "model/task_operations.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace qm::test {

inline time::stored_date D(int y, int m, int d) { return time::make_date(y, m, d); }

struct task_fixture : ::testing::Test {
    fixed_clock clock{D(2026, 3, 11) + 10 * 3600};  // Wednesday 10:00
    started_core core;

    model::task_store& store() { return core.core().tasks(); }

    model::task_ptr add(const QString& name, time::stored_date date = D(2026, 3, 11), int priority = 1,
                        int position = -1, unsigned flags = 0)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = date;
        t->priority = priority;
        t->priority_value = position;
        store().add(t, flags);
        store().end_change_batch();
        return t;
    }

    model::task_ptr add_to_project(const QString& name, std::int32_t project, std::int32_t parent = 0,
                                   int position = 0, bool folder = false)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->project = project;
        t->parent = parent;
        t->project_priority_value = position;
        if (folder) {
            t->folder = model::folder_method::roi;
            t->appointment = true;
            t->date = time::FOLDER_DATE;
        }
        store().add(t);
        store().end_change_batch();
        return t;
    }

    model::task_ptr named(const QString& name)
    {
        for (const auto& t : store().all())
            if (t->name == name)
                return t;
        return nullptr;
    }

    // Edits a task the way a command does: copy, change, update, end the batch.
    template <class F>
    void edit(const QString& name, F&& change, unsigned flags = 0)
    {
        model::task_ptr t = named(name);
        ASSERT_TRUE(t) << name.toStdString();
        const model::task before = *t;
        change(*t);
        store().change(before, *t, flags);
        store().end_change_batch();
    }

    // name → priority_value of the tasks of a day group.
    std::map<QString, int> day_group(time::stored_date date = D(2026, 3, 11), int priority = 1)
    {
        std::map<QString, int> out;
        for (const model::task* t : store().tasks_of_date(date))
            if (t->priority == priority)
                out[t->name] = t->priority_value;
        return out;
    }
};

}  // namespace qm::test
