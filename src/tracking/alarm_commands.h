#pragma once
// The undoable add, modify and delete of an alarm, described as "add ",
// "changes to " and "delete " followed by the alarm's description.

#include "history/command.h"
#include "tracking/alarm.h"

namespace qm::tracking {

class alarm_store;

class add_alarm_command : public history::command {
public:
    add_alarm_command(alarm_store& store, Alarm a) : store_(store), value_(std::move(a)) {}
    void apply(bool first_time) override;
    void undo() override;
    QString change_text() const override;
    std::int32_t id() const { return value_.id; }

private:
    alarm_store& store_;
    Alarm value_;
};

class modify_alarm_command : public history::command {
public:
    modify_alarm_command(alarm_store& store, Alarm before, Alarm after)
        : store_(store), before_(std::move(before)), after_(std::move(after))
    {
    }
    void apply(bool first_time) override;
    void undo() override;
    QString change_text() const override;

private:
    void set(const Alarm& value);
    alarm_store& store_;
    Alarm before_;
    Alarm after_;
};

class delete_alarm_command : public history::command {
public:
    delete_alarm_command(alarm_store& store, Alarm snapshot) : store_(store), snapshot_(std::move(snapshot)) {}
    void apply(bool first_time) override;
    void undo() override;
    QString change_text() const override;

private:
    alarm_store& store_;
    Alarm snapshot_;
};

}  // namespace qm::tracking
