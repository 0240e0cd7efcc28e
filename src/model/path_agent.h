#pragma once
// The path agent: a thread that keeps the names of every project and folder
// and, after each batch of news, rebuilds the list of distinct paths
// ("Project\Folder\Sub-folder") that the task lists offer as completions.
//
// The tell_* operations are called on the main thread and only queue the
// news; the thread reads nothing of the model. The list reaches the main
// thread through `deliver`, which runs on the agent's thread and must only
// post (a queued call).

#include <QString>
#include <QStringList>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace qm::model {

struct path_news {
    enum kind_t { project, folder } kind = project;
    bool deleted = false;
    std::int32_t project_id = 0;
    std::int32_t id = 0;  // the folder's id
    std::int32_t parent = 0;
    QString name;
};

class path_agent {
public:
    explicit path_agent(std::function<void(const QStringList&)> deliver);
    ~path_agent();
    path_agent(const path_agent&) = delete;
    path_agent& operator=(const path_agent&) = delete;

    void tell_project(std::int32_t id, const QString& name, bool deleted = false);
    void tell_folder(std::int32_t project, std::int32_t id, std::int32_t parent, const QString& name,
                     bool deleted = false);
    // Several pieces of news taken as one batch (the start-up load).
    void tell(std::vector<path_news> batch);

    // Ends the thread after the news already queued; safe to call twice.
    void stop();

    // The paths from the names known, in (project id, folder id) order,
    // repeated paths left out. Pure: tests call it directly.
    static QStringList build_paths(const std::map<std::int32_t, QString>& projects,
                                   const std::map<std::pair<std::int32_t, std::int32_t>, path_news>& folders);

private:
    void run();

    std::function<void(const QStringList&)> deliver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<path_news> queue_;
    bool stopping_ = false;
    std::thread thread_;

    // Owned by the agent's thread.
    std::map<std::int32_t, QString> projects_;
    std::map<std::pair<std::int32_t, std::int32_t>, path_news> folders_;  // (project, id)
};

}  // namespace qm::model
