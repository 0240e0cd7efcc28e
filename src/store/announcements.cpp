#include "store/announcements.h"

#include <algorithm>

namespace qm::store {

void listener_registry::add(listener* l)
{
    if (l != nullptr && !contains(l))
        listeners_.push_back(l);
}

void listener_registry::remove(listener* l)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

bool listener_registry::contains(const listener* l) const
{
    return std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end();
}

long listener_registry::broadcast(const announcement& a)
{
    // A listener may register or unregister others while it is called.
    const std::vector<listener*> snapshot = listeners_;
    for (listener* l : snapshot) {
        if (!contains(l))
            continue;
        if (const long answer = l->on_announcement(a); answer != 0)
            return answer;
    }
    return 0;
}

long listener_registry::broadcast(int msg, std::int64_t wparam, std::int64_t lparam)
{
    announcement a;
    a.message = msg;
    a.wparam = wparam;
    a.lparam = lparam;
    return broadcast(a);
}

listener_registry& listeners()
{
    static listener_registry registry;
    return registry;
}

}  // namespace qm::store
