#pragma once
// The views' small keyboard menus, shown on the action-menu popup: the
// options of a task list and of the project list (which rows to hide) and
// the date menu for the selected tasks. A chosen line sends its command to
// the view that opened the menu, as the menu bar would.

#include "time/calendar.h"
#include "ui/action_popup.h"

#include <vector>

namespace qm::ui {

class view;

namespace filter_cmd {
// Task list options: rows to hide.
constexpr int notes = 40023, headers = 40014, descriptions = 40015, comments = 40016, appointments = 40017,
              todos = 40018, unfinished = 40024, finished = 40019, delegated = 40020, waiting = 40021,
              canceled = 40022;
// Project list options: projects to hide, by status.
constexpr int project_unfinished = 40029, project_finished = 40025, project_delegated = 40026,
              project_waiting = 40027, project_canceled = 40028;
}  // namespace filter_cmd

namespace menu_cmd {
constexpr int task_list_options = 40443, project_list_options = 40488, date_menu = 40437, custom_date = 40072;
}

// The filter bit a task list options command switches, 0 for another command.
int task_filter_bit(int command);
// The same for the project list options.
int project_filter_bit_of(int command);
// The filter bit that hides tasks of a status (0x40 unfinished … 0x400 canceled).
int status_filter_bit(int status);

std::vector<popup_line> task_list_option_lines(view& v);
std::vector<popup_line> project_list_option_lines(view& v);
// The date menu as of today; custom is given what was typed on "Custom Date...".
std::vector<popup_line> date_menu_lines(view& v, time::stored_date today, std::function<void(const QString&)> custom);

// Shows the menu over the view, each line marked as the view answers.
void open_keyboard_menu(view& v, const QString& caption, std::vector<popup_line> lines);

}  // namespace qm::ui
