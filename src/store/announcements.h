#pragma once
// The design's own broadcast: listeners registered in order, called
// synchronously, stopped by the first non-zero answer. Main thread only.

#include <any>
#include <cstdint>
#include <vector>

namespace qm::store {

// Message numbers. Each entity kind has a block: base (added), base + 1
// (about to change), base + 2 (about to be deleted), base + 3 (changed).
namespace message {
constexpr int task_base = 37768;         // the task block runs to 37777
constexpr int alarm_base = 37858;
constexpr int project_base = 37968;
constexpr int mission_statement_changed = 38071;
constexpr int routine_base = 38769;
constexpr int comment_base = 38878;
constexpr int tag_base = 39068;
constexpr int options_applied = 39268;
constexpr int value_base = 39368;
constexpr int role_base = 39468;
constexpr int cut_set_changed = 39868;
constexpr int habit_base = 39968;
constexpr int schedule_changed = 40068;

constexpr int added = 0;
constexpr int about_to_change = 1;
constexpr int about_to_delete = 2;
constexpr int changed = 3;
}  // namespace message

struct announcement {
    int message = 0;
    std::int64_t wparam = 0;
    std::int64_t lparam = 0;  // the entity's id for entity announcements
    std::any payload;         // typed extra data where a message carries more
};

class listener {
public:
    virtual ~listener() = default;
    // Non-zero stops the broadcast and becomes its answer.
    virtual long on_announcement(const announcement& a) = 0;
};

class listener_registry {
public:
    // Registering twice has no effect.
    void add(listener* l);
    void remove(listener* l);
    bool contains(const listener* l) const;
    std::size_t size() const { return listeners_.size(); }

    // Calls each listener in registration order; a listener removed during the
    // broadcast is not called afterwards.
    long broadcast(const announcement& a);
    long broadcast(int message, std::int64_t wparam = 0, std::int64_t lparam = 0);

private:
    std::vector<listener*> listeners_;
};

// The process-wide registry.
listener_registry& listeners();

}  // namespace qm::store
