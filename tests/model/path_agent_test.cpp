#include "model/path_agent.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

using namespace qm;
using model::path_news;

namespace {

path_news folder(std::int32_t project, std::int32_t id, std::int32_t parent, const char* name)
{
    path_news n;
    n.kind = path_news::folder;
    n.project_id = project;
    n.id = id;
    n.parent = parent;
    n.name = name;
    return n;
}

}  // namespace

TEST(path_agent, pathsJoinProjectAndFolderNamesInIdOrderWithoutRepeats)
{
    std::map<std::int32_t, QString> projects{{2, "Home"}, {1, "Garden"}};
    std::map<std::pair<std::int32_t, std::int32_t>, path_news> folders;
    for (const path_news& f : {folder(1, 10, 0, "Beds"), folder(1, 11, 10, "Seeds"), folder(2, 5, 0, "Attic"),
                               folder(2, 6, 0, "Attic"), folder(3, 7, 0, "Nowhere")})
        folders[{f.project_id, f.id}] = f;
    EXPECT_EQ(model::path_agent::build_paths(projects, folders),
              (QStringList{"Garden", "Garden\\Beds", "Garden\\Beds\\Seeds", "Home", "Home\\Attic"}));
}

TEST(path_agent, aLoopOfFoldersEndsTheWalk)
{
    std::map<std::int32_t, QString> projects{{1, "P"}};
    std::map<std::pair<std::int32_t, std::int32_t>, path_news> folders{{{1, 10}, folder(1, 10, 11, "A")},
                                                                      {{1, 11}, folder(1, 11, 10, "B")}};
    const QStringList paths = model::path_agent::build_paths(projects, folders);
    EXPECT_EQ(paths.size(), 3);
}

TEST(path_agent, theThreadDeliversTheListAfterEachBatch)
{
    std::mutex m;
    std::condition_variable cv;
    QStringList latest;
    int lists = 0;
    model::path_agent agent([&](const QStringList& l) {
        std::lock_guard<std::mutex> lock(m);
        latest = l;
        ++lists;
        cv.notify_all();
    });
    auto wait_for = [&](const QStringList& wanted) {
        std::unique_lock<std::mutex> lock(m);
        return cv.wait_for(lock, std::chrono::seconds(10), [&] { return latest == wanted; });
    };
    agent.tell_project(1, "Garden");
    agent.tell_folder(1, 10, 0, "Beds");
    EXPECT_TRUE(wait_for({"Garden", "Garden\\Beds"}));
    agent.tell_folder(1, 10, 0, "Beds", true);
    EXPECT_TRUE(wait_for({"Garden"}));
    agent.tell_project(1, "Garden", true);
    EXPECT_TRUE(wait_for({}));
    agent.stop();
    EXPECT_GE(lists, 3);
}
