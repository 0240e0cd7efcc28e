#pragma once
// The program's command vocabulary: the named commands the keyboard-shortcut
// page lists, the default shortcuts of the main window and the command ids
// the menus, the toolbar and the views share.

#include <QKeySequence>
#include <QString>

#include <vector>

namespace qm::ui {

namespace cmd {
// Tabs and windows.
constexpr int overview = 40996, projects = 40997, tasks = 40998, day = 40999, charts = 41000, calendar = 41001;
constexpr int next_tab = 40994, previous_tab = 40995, clapperboard = 41050;
// File and tools.
constexpr int export_ = 40007, import_ = 40008, print = 40207, print_preview = 40212, exit = 40417;
constexpr int options = 40313, check_versions = 40197;
constexpr int getting_started = 40203, contact_support = 40196, webpage = 40195, about = 40191;
// Edit.
constexpr int undo = 40151, redo = 40246, show_undo_list = 41199, show_redo_list = 41200;
constexpr int cut = 40130, copy = 40131, paste = 40132, delete_ = 40133, rename = 40992;
constexpr int select_all = 41064, properties = 40135, add_row = 40160;
constexpr int cell_edit = 41063, append_space = 41049;
constexpr int move_up = 41045, move_down = 41046, move_to_top = 41079, move_to_bottom = 41080;
constexpr int page_up = 57714, page_down = 57715;
constexpr int show_column_base = 34781;  // + column id, for ids 0 to 250
// Task.
constexpr int no_date = 40071, date_today = 40062, date_tomorrow = 40063, date_sunday = 40064, date_edit = 40045;
constexpr int splittable = 40982;
constexpr int priority_a = 41074, priority_b = 41075, priority_c = 41076;
constexpr int push_to_top = 41071, push_to_bottom = 41072, make_top_priority = 41125;
constexpr int toggle_finished = 41194, unfinished = 40228, finished = 40225, delegated = 40227, waiting = 40229,
              canceled = 40226;
constexpr int folder = 41108, folder_roi = 41262, folder_manual = 41261;
constexpr int pull_uncompleted = 40093, pull_uncompleted_flow = 41131;
// Day view.
constexpr int day_previous = 41066, day_next = 41065, day_today = 41091, show_day = 40437;
}  // namespace cmd

struct command_info {
    int id;
    const char* category;
    const char* name;
};

// The 166 named commands, in their fixed order.
const std::vector<command_info>& command_table();
QString command_name(int id);
QString command_category(int id);

// A shortcut as the registry keeps it: modifier flags (1 Shift, 2 Win,
// 4 Ctrl, 8 Alt), a Windows virtual-key code and the command.
struct shortcut {
    int modifiers;
    int virtual_key;
    int command;
};
namespace modifier {
constexpr int shift = 1, win = 2, ctrl = 4, alt = 8;
}

// The main window's shortcuts, in registration order.
const std::vector<shortcut>& default_shortcuts();
// "Ctrl+Alt+Shift+Win+Key".
QString shortcut_text(const shortcut& s);
QKeySequence key_sequence(const shortcut& s);
// The Clapperboard's hot key as the options hold it (modifiers 1 Alt,
// 2 Ctrl, 4 Shift, 8 Super): "Win+;".
QString hot_key_text(int modifiers, int virtual_key);

// The X key name of a Windows virtual-key code ("F2", "Up", ";").
QString virtual_key_name(int vk);

}  // namespace qm::ui
