#pragma once
// What the views that show projects share: the stores and commands, the
// latest folder-path list of the path agent, reading a typed path
// ("Project\Folder") and moving tasks there, and the yes/no question asked
// before a project is deleted.

#include "history/tree_moves.h"
#include "store/tables.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace qm::history {
class comment_commands;
}

namespace qm::ui {

struct project_context {
    model::task_store& tasks;
    model::project_store& projects;
    history::history& history;
    history::task_commands& task_cmds;
    history::project_commands& project_cmds;
    history::tree_moves& moves;
    store::tables& tables;
    QString settings_folder;

    // The latest list of the path agent (message 40070).
    QStringList paths;
    // Yes or no; tests answer for the user.
    std::function<bool(QWidget* parent, const history::question& q)> ask;
    // "Add Comment" on projects and their tasks writes through these; none
    // where comments are not wired.
    history::comment_commands* comments = nullptr;
};

struct path_target {
    bool ok = false;
    std::int32_t project = 0;  // 0 with ok: no project
    model::task* folder = nullptr;
    QString message;
};

// "Project" or "Project\Folder\Sub" (without regard to case); an empty text
// or "none" means no project.
path_target resolve_path(const project_context& c, const QString& text);
// The path of a task's place: its project's name and the folders above it.
QString place_path(const project_context& c, const model::task& t);
// Moves the tasks to the place the text names, in one history group;
// false with a message when the text names no place or a move is refused.
bool assign_path(project_context& c, const std::vector<model::task*>& tasks, const QString& text, QString& message);
// Asks for a path with the path list as completions, then assigns it.
// Returns the message to show (empty when all went well or on Cancel).
QString prompt_assign(project_context& c, QWidget* parent, const std::vector<model::task*>& tasks, bool folder);

// The standard question box (Yes / No).
bool ask_with_box(QWidget* parent, const history::question& q);

}  // namespace qm::ui
