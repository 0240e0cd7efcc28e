#include "ui/commands.h"

#include <QStringList>

namespace qm::ui {

const std::vector<command_info>& command_table()
{
    static const std::vector<command_info> table = {
        {40007, "File", "Export"}, {40008, "File", "Import"}, {40207, "File", "Print"},
        {40212, "File", "Print Preview"}, {40417, "File", "Exit"},
        {40151, "Edit", "Undo"}, {40246, "Edit", "Redo"}, {41199, "Edit", "Show Undo List"},
        {41200, "Edit", "Show Redo List"}, {40130, "Edit", "Cut"}, {40131, "Edit", "Copy"},
        {40132, "Edit", "Paste"}, {40133, "Edit", "Delete"}, {40992, "Edit", "Rename"},
        {41064, "Edit", "Select All"}, {40135, "Edit", "Properties"},
        {41063, "Edit.Cell", "Edit"}, {41049, "Edit.Cell", "Append Space"}, {41062, "Edit.Cell", "Clear"},
        {41092, "Edit.Cell", "Increment"}, {41093, "Edit.Cell", "Decrement"},
        {41045, "Edit.Row", "Move Up"}, {41046, "Edit.Row", "Move Down"}, {41079, "Edit.Row", "Move to Top"},
        {41080, "Edit.Row", "Move to Bottom"}, {41133, "Edit.Row", "Indent"}, {41048, "Edit.Row", "Outdent"},
        {41174, "Edit.Row", "Expand"}, {41172, "Edit.Row", "Expand Children"}, {41173, "Edit.Row", "Expand All"},
        {41208, "Edit.Row", "Collapse"}, {41209, "Edit.Row", "Collapse Children"},
        {41210, "Edit.Row", "Collapse All"},
        {41203, "Edit.Jump", "Jump To Day"}, {40969, "Edit.Jump", "Jump To Calendar"},
        {40970, "Edit.Jump", "Jump To Project"}, {41013, "Edit.Jump", "Jump To Parent Folder"},
        {40971, "Edit.Jump", "Jump To Alarm"}, {41204, "Edit.Jump", "Jump To Deadline"},
        {41127, "Edit.Jump", "Jump To Schedule View"}, {41128, "Edit.Jump", "Jump To Task List"},
        {41197, "Edit.Jump", "Jump To Project Task List"}, {41198, "Edit.Jump", "Jump To Alternative Task List"},
        {41192, "View", "Back"}, {41193, "View", "Forward"}, {41065, "View", "Next Day"},
        {41066, "View", "Previous Day"}, {41134, "View", "Next Week"}, {41135, "View", "Previous Week"},
        {41140, "View", "Next Folder"}, {41141, "View", "Previous Folder"}, {41142, "View", "Next Project"},
        {41143, "View", "Previous Project"}, {41139, "View", "Show Notifications Pane"},
        {41138, "View", "Show Schedule View"}, {41136, "View", "Show Task List"},
        {41137, "View", "Show Calendar Navigation"},
        {41024, "View.TaskList", "Notes"}, {41025, "View.TaskList", "Headers"},
        {41026, "View.TaskList", "Descriptions"}, {41027, "View.TaskList", "Comments"},
        {41028, "View.TaskList", "Appointments"}, {41029, "View.TaskList", "Todos"},
        {41030, "View.TaskList", "Unfinished"}, {41031, "View.TaskList", "Finished"},
        {41032, "View.TaskList", "Delegated"}, {41033, "View.TaskList", "Waiting"},
        {41034, "View.TaskList", "Canceled"}, {41024, "View.TaskList", "Notes"},
        {41146, "View.TaskList.Columns", "Status"}, {41151, "View.TaskList.Columns", "Role"},
        {41148, "View.TaskList.Columns", "Task"}, {41150, "View.TaskList.Columns", "Tag"},
        {41152, "View.TaskList.Columns", "Date"}, {41154, "View.TaskList.Columns", "Day Priority"},
        {41155, "View.TaskList.Columns", "Estimate"}, {41156, "View.TaskList.Columns", "Scheduling"},
        {41157, "View.TaskList.Columns", "Original Estimate"}, {41158, "View.TaskList.Columns", "Deadline"},
        {41159, "View.TaskList.Columns", "Time"}, {41161, "View.TaskList.Columns", "Time Left"},
        {41168, "View.TaskList.Columns", "Project"}, {41167, "View.TaskList.Columns", "Impact"},
        {41166, "View.TaskList.Columns", "ROI"}, {41163, "View.TaskList.Columns", "Yield"},
        {41165, "View.TaskList.Columns", "Manual Index"}, {41164, "View.TaskList.Columns", "Recurrence"},
        {41037, "View.TaskList.SortBy", "Ascending"}, {41038, "View.TaskList.SortBy", "Descending"},
        {41175, "View.TaskList.SortBy", "Default Method"}, {41176, "View.TaskList.SortBy", "Status"},
        {41177, "View.TaskList.SortBy", "Role"}, {41088, "View.TaskList.SortBy", "Task"},
        {41178, "View.TaskList.SortBy", "Tag"}, {41089, "View.TaskList.SortBy", "Date"},
        {41179, "View.TaskList.SortBy", "Day Priority"}, {41090, "View.TaskList.SortBy", "Estimate"},
        {41180, "View.TaskList.SortBy", "Scheduling"}, {41181, "View.TaskList.SortBy", "Original Estimate"},
        {41182, "View.TaskList.SortBy", "Deadline"}, {41183, "View.TaskList.SortBy", "Time"},
        {41184, "View.TaskList.SortBy", "Time Left"}, {41185, "View.TaskList.SortBy", "Project"},
        {41186, "View.TaskList.SortBy", "Impact"}, {41187, "View.TaskList.SortBy", "ROI"},
        {41188, "View.TaskList.SortBy", "Yield"}, {41189, "View.TaskList.SortBy", "Manual Index"},
        {41190, "View.TaskList.SortBy", "Recurrence"},
        {41059, "View.TaskList", "Keep Sorted"}, {41058, "View.TaskList", "Sort"},
        {40052, "Task", "Estimate"}, {40047, "Task", "Role"}, {41191, "Task", "Description"},
        {40991, "Task", "Add Comment"}, {40045, "Task", "Date"}, {40244, "Task", "Add Alarm"},
        {40046, "Task", "Project"}, {41108, "Task", "Folder"}, {41061, "Task", "Impact"},
        {40051, "Task", "Deadline"}, {40050, "Task", "Tags"}, {40185, "Task", "Recurrences"},
        {41194, "Task.Status", "Toggle Finished"}, {40228, "Task.Status", "Unfinished"},
        {40225, "Task.Status", "Finished"}, {40227, "Task.Status", "Delegated"}, {40229, "Task.Status", "Waiting"},
        {40226, "Task.Status", "Canceled"},
        {40982, "Task.Scheduling", "Splittable"}, {40980, "Task.Scheduling", "Schedule Before"},
        {40981, "Task.Scheduling", "Schedule After"}, {41122, "Task.Scheduling", "Schedule Between"},
        {41201, "Task.Scheduling", "Edit"},
        {41074, "Task.DayPriority", "A"}, {41075, "Task.DayPriority", "B"}, {41076, "Task.DayPriority", "C"},
        {41071, "Task.DayPriority", "Push to Top"}, {41072, "Task.DayPriority", "Push to Bottom"},
        {41125, "Task.DayPriority", "Make Top Priority"}, {41202, "Task.DayPriority", "Edit"},
        {41017, "Task.Timers", "Start"}, {41018, "Task.Timers", "Stop"}, {41118, "Task.Timers", "Edit"},
        {41056, "Flow", "Next"}, {41057, "Flow", "Progression"}, {41053, "Flow", "Distraction"},
        {41054, "Flow", "Interruption"}, {41055, "Flow", "Break Down"},
        {41129, "Flow", "Pull Next Task in Project"}, {41130, "Flow", "Pull Next Task in Project Folder"},
        {41131, "Flow", "Pull Previously Uncompleted Tasks"},
        {40994, "Window", "Next Tab"}, {40995, "Window", "Previous"}, {40996, "Window", "Overview"},
        {40997, "Window", "Projects"}, {40998, "Window", "Tasks"}, {41001, "Window", "Calendar"},
        {40999, "Window", "Today"}, {41000, "Window", "Charts"}, {41050, "Window", "Clapperboard"},
        {40313, "Tools", "Options"},
        {41083, "Help", "Enable Tooltips"}, {41085, "Help", "Tutorials"}, {41086, "Help", "Manual"},
        {40196, "Help", "Support"}, {41084, "Help", "About"},
    };
    return table;
}

QString command_name(int id)
{
    for (const auto& c : command_table())
        if (c.id == id)
            return QLatin1String(c.name);
    return QString();
}

QString command_category(int id)
{
    for (const auto& c : command_table())
        if (c.id == id)
            return QLatin1String(c.category);
    return QString();
}

namespace vk {
constexpr int enter = 0x0D, space = 0x20, page_up = 0x21, page_down = 0x22, left = 0x25, up = 0x26, right = 0x27,
              down = 0x28, del = 0x2E, f2 = 0x71, browser_back = 0xA6, browser_forward = 0xA7, semicolon = 0xBA,
              plus = 0xBB, minus = 0xBD, backslash = 0xDC;
}  // namespace vk

const std::vector<shortcut>& default_shortcuts()
{
    using namespace modifier;
    static const std::vector<shortcut> list = {
        {ctrl, 'P', 40207}, {ctrl | shift, 'P', 40212},
        {ctrl, 'Z', 40151}, {ctrl, 'Y', 40246}, {ctrl | shift, 'Z', 41199}, {ctrl | shift, 'Y', 41200},
        {ctrl, 'X', 40130}, {ctrl, 'C', 40131}, {ctrl, 'V', 40132}, {0, vk::del, 40133}, {0, vk::f2, 40992},
        {ctrl, 'A', 41064}, {alt, vk::enter, 40135},
        {ctrl, vk::plus, 41092}, {ctrl, vk::minus, 41093},
        {ctrl, vk::up, 41045}, {ctrl, vk::down, 41046}, {ctrl | shift, vk::up, 41079}, {ctrl | shift, vk::down, 41080},
        {ctrl, vk::left, 41048}, {ctrl, vk::right, 41133},
        {alt, vk::plus, 41174}, {alt | shift, vk::plus, 41172}, {alt, vk::minus, 41208}, {alt | shift, vk::minus, 41209},
        {alt, 'D', 41203}, {alt, 'C', 40969}, {alt, 'J', 40970}, {alt, 'P', 41013}, {alt, 'I', 41204}, {alt, 'N', 40971},
        {alt, vk::semicolon, 41128}, {alt, vk::backslash, 41197},
        {alt, vk::left, 41192}, {alt, vk::right, 41193}, {0, vk::browser_back, 41192}, {0, vk::browser_forward, 41193},
        {alt, vk::up, 41066}, {alt, vk::down, 41065}, {alt | shift, vk::up, 41135}, {alt | shift, vk::down, 41134},
        {alt | shift, 'N', 41139}, {alt | shift, 'S', 41138}, {alt | shift, 'C', 41137}, {alt | shift, 'G', 41136},
        {ctrl | shift, 'S', 41058},
        {ctrl, 'S', 41201},
        {ctrl, vk::space, 41194},
        {ctrl, 'R', 40047}, {ctrl, 'M', 40991}, {ctrl, 'N', 40244}, {ctrl, 'D', 40045}, {ctrl, 'J', 40046},
        {ctrl, 'E', 41191}, {ctrl, 'I', 40051}, {ctrl, 'T', 41118}, {ctrl, 'G', 40050},
        {ctrl | shift, 'T', 41242}, {ctrl | shift, '1', 41125}, {ctrl | shift, 'F', 41108}, {ctrl | shift, 'D', 40062},
        {ctrl, vk::page_up, 40995}, {ctrl, vk::page_down, 40994},
        {ctrl, '1', 40996}, {ctrl, '2', 40997}, {ctrl, '3', 40998}, {ctrl, '4', 41001}, {ctrl, '5', 40999},
        {ctrl, '6', 41000},
    };
    return list;
}

QString virtual_key_name(int v)
{
    switch (v) {
    case vk::enter: return QStringLiteral("Enter");
    case vk::space: return QStringLiteral("Space");
    case vk::page_up: return QStringLiteral("PgUp");
    case vk::page_down: return QStringLiteral("PgDown");
    case vk::left: return QStringLiteral("Left");
    case vk::up: return QStringLiteral("Up");
    case vk::right: return QStringLiteral("Right");
    case vk::down: return QStringLiteral("Down");
    case vk::del: return QStringLiteral("Del");
    case vk::browser_back: return QStringLiteral("Back");
    case vk::browser_forward: return QStringLiteral("Forward");
    case vk::semicolon: return QStringLiteral(";");
    case vk::plus: return QStringLiteral("=");
    case vk::minus: return QStringLiteral("-");
    case vk::backslash: return QStringLiteral("\\");
    default: break;
    }
    if (v >= 0x70 && v <= 0x87)
        return QStringLiteral("F%1").arg(v - 0x70 + 1);
    if ((v >= '0' && v <= '9') || (v >= 'A' && v <= 'Z'))
        return QString(QChar(v));
    return QStringLiteral("0x%1").arg(v, 2, 16, QLatin1Char('0'));
}

QString shortcut_text(const shortcut& s)
{
    QStringList parts;
    if (s.modifiers & modifier::ctrl)
        parts << QStringLiteral("Ctrl");
    if (s.modifiers & modifier::alt)
        parts << QStringLiteral("Alt");
    if (s.modifiers & modifier::shift)
        parts << QStringLiteral("Shift");
    if (s.modifiers & modifier::win)
        parts << QStringLiteral("Win");
    parts << virtual_key_name(s.virtual_key);
    return parts.join(QLatin1Char('+'));
}

QString hot_key_text(int modifiers, int virtual_key)
{
    QStringList parts;
    if (modifiers & 2)
        parts << QStringLiteral("Ctrl");
    if (modifiers & 1)
        parts << QStringLiteral("Alt");
    if (modifiers & 4)
        parts << QStringLiteral("Shift");
    if (modifiers & 8)
        parts << QStringLiteral("Win");
    parts << virtual_key_name(virtual_key);
    return parts.join(QLatin1Char('+'));
}

QKeySequence key_sequence(const shortcut& s)
{
    int key = 0;
    switch (s.virtual_key) {
    case vk::enter: key = Qt::Key_Return; break;
    case vk::space: key = Qt::Key_Space; break;
    case vk::page_up: key = Qt::Key_PageUp; break;
    case vk::page_down: key = Qt::Key_PageDown; break;
    case vk::left: key = Qt::Key_Left; break;
    case vk::up: key = Qt::Key_Up; break;
    case vk::right: key = Qt::Key_Right; break;
    case vk::down: key = Qt::Key_Down; break;
    case vk::del: key = Qt::Key_Delete; break;
    case vk::browser_back: key = Qt::Key_Back; break;
    case vk::browser_forward: key = Qt::Key_Forward; break;
    case vk::semicolon: key = Qt::Key_Semicolon; break;
    case vk::plus: key = Qt::Key_Equal; break;
    case vk::minus: key = Qt::Key_Minus; break;
    case vk::backslash: key = Qt::Key_Backslash; break;
    default:
        if (s.virtual_key >= 0x70 && s.virtual_key <= 0x87)
            key = Qt::Key_F1 + (s.virtual_key - 0x70);
        else
            key = s.virtual_key;  // digits and capitals share their codes
    }
    int mods = 0;
    if (s.modifiers & modifier::ctrl)
        mods |= Qt::ControlModifier;
    if (s.modifiers & modifier::alt)
        mods |= Qt::AltModifier;
    if (s.modifiers & modifier::shift)
        mods |= Qt::ShiftModifier;
    if (s.modifiers & modifier::win)
        mods |= Qt::MetaModifier;
    return QKeySequence(key | mods);
}

}  // namespace qm::ui
