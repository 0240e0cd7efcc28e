#pragma once
// Pasting and dropping task references into the lists, and text pasted as
// tasks: each call one history group, so that one undo takes back all it
// did. Main thread only.

#include "history/task_commands.h"
#include "model/project_store.h"
#include "model/task_paste.h"
#include "model/text_outline.h"

#include <functional>

namespace qm::history {

// Where a day list receives tasks: its date and, when there is one, the row
// they go after (a task) or the heading of the group they open (priority).
struct day_place {
    time::stored_date date = 0;
    const model::task* after = nullptr;
    int heading_priority = -1;  // 1 to 3: the top of that group; -1 none
};

class item_paste {
public:
    item_paste(history& h, task_commands& commands, model::task_store& tasks, model::project_store& projects)
        : history_(h), commands_(commands), tasks_(tasks), projects_(projects)
    {
    }

    // "pasting into %1" and "dropping into %1", the labels of the groups.
    static QString paste_label(const QString& list_description);
    static QString drop_label(const QString& list_description);

    // The ids the pasted tasks have now, in list order (what the list selects).
    std::vector<std::int32_t> into_day(const model::item_list& items, bool cut, const day_place& place,
                                       const QString& label);
    // Into a project's task list, at its top level unless a task's parent
    // is pasted with it. Nothing without a project.
    std::vector<std::int32_t> into_project(const model::item_list& items, bool cut, std::int32_t project,
                                           const QString& label);
    // Into one folder of a project's list (nullptr: its top level): a drop
    // onto a folder row.
    std::vector<std::int32_t> into_folder(const model::item_list& items, bool cut, std::int32_t project,
                                          const model::task* folder, const QString& label);
    // A drop onto a project of the project list: each task to the folder of
    // the same path (by name, without regard to case) in that project,
    // folders missing there created.
    std::vector<std::int32_t> onto_project(const model::item_list& items, bool copy, const model::project& p);

    // Text as tasks. new_item makes a new member of the target list; the
    // progress is told (done, total) and answers false to stop early, what
    // was pasted so far staying one undo step. Returns the lines pasted.
    int paste_text(const model::outline& lines, const std::function<model::task_ptr()>& new_item,
                   const QString& list_description, const std::function<bool(int, int)>& progress = {});

private:
    // Moves a task (with what lies below it) to a place of a project, at the
    // end of that group.
    void move_to(model::task& t, std::int32_t project, std::int32_t parent);
    model::task* find_folder(std::int32_t project, std::int32_t parent, const QString& name) const;
    model::task* make_folder(std::int32_t project, std::int32_t parent, const QString& name);
    std::vector<std::int32_t> place_in_project(const model::paste_set& set, std::int32_t project,
                                               const model::task* folder);

    history& history_;
    task_commands& commands_;
    model::task_store& tasks_;
    model::project_store& projects_;
};

}  // namespace qm::history
