#include "model/path_agent.h"

#include <set>

namespace qm::model {

path_agent::path_agent(std::function<void(const QStringList&)> deliver) : deliver_(std::move(deliver))
{
    thread_ = std::thread([this] { run(); });
}

path_agent::~path_agent() { stop(); }

void path_agent::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void path_agent::tell(std::vector<path_news> batch)
{
    if (batch.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& n : batch)
            queue_.push_back(std::move(n));
    }
    wake_.notify_one();
}

void path_agent::tell_project(std::int32_t id, const QString& name, bool deleted)
{
    path_news n;
    n.kind = path_news::project;
    n.project_id = id;
    n.name = name;
    n.deleted = deleted;
    tell({n});
}

void path_agent::tell_folder(std::int32_t project, std::int32_t id, std::int32_t parent, const QString& name,
                             bool deleted)
{
    path_news n;
    n.kind = path_news::folder;
    n.project_id = project;
    n.id = id;
    n.parent = parent;
    n.name = name;
    n.deleted = deleted;
    tell({n});
}

void path_agent::run()
{
    for (;;) {
        std::vector<path_news> batch;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;  // stopping, nothing left
            batch.swap(queue_);
        }
        // Every piece of news waiting now is one batch: one list for all of it.
        for (path_news& n : batch) {
            if (n.kind == path_news::project) {
                if (n.deleted)
                    projects_.erase(n.project_id);
                else
                    projects_[n.project_id] = n.name;
                continue;
            }
            // A folder may have moved to another project: one entry per id.
            for (auto it = folders_.begin(); it != folders_.end();)
                it = it->first.second == n.id ? folders_.erase(it) : std::next(it);
            if (!n.deleted)
                folders_[{n.project_id, n.id}] = n;
        }
        const QStringList paths = build_paths(projects_, folders_);
        if (deliver_)
            deliver_(paths);
    }
}

QStringList path_agent::build_paths(const std::map<std::int32_t, QString>& projects,
                                    const std::map<std::pair<std::int32_t, std::int32_t>, path_news>& folders)
{
    QStringList out;
    std::set<QString> seen;
    auto add = [&](const QString& path) {
        if (seen.insert(path).second)
            out << path;
    };
    auto folder_path = [&](const path_news& f, const QString& project_name) {
        QStringList names{f.name};
        std::int32_t parent = f.parent;
        // At most 20 levels: a loop of parents in a damaged file ends here.
        for (int step = 0; step < 20 && parent != 0; ++step) {
            auto it = folders.find({f.project_id, parent});
            if (it == folders.end())
                break;
            names.prepend(it->second.name);
            parent = it->second.parent;
        }
        names.prepend(project_name);
        return names.join(QLatin1Char('\\'));
    };
    auto folder = folders.begin();
    for (const auto& [id, name] : projects) {
        add(name);
        while (folder != folders.end() && folder->first.first < id)
            ++folder;  // folders of an unknown project have no path
        for (; folder != folders.end() && folder->first.first == id; ++folder)
            add(folder_path(folder->second, name));
    }
    return out;
}

}  // namespace qm::model
