#include "app/options.h"

#include "app/settings_document.h"
#include "time/calendar.h"
#include "time/format.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace qm::app {

const char* const fullscreen_classes_list = "fullscreen window classes to ignore for idle menu";
const char* const fullscreen_titles_list = "fullscreen window title search strings to ignore for idle menu";

namespace {

const QString ui = QStringLiteral("ui");
const QString work = QStringLiteral("work habits");
const QString formatting = QStringLiteral("time formatting");
const QString directories = QStringLiteral("directories");
const QString action_menu = QStringLiteral("action menu");
const QString idle_menu = QStringLiteral("idle menu");
const QString alarms = QStringLiteral("alarms");
const QString demo = QStringLiteral("demo");
const QString tasks = QStringLiteral("tasks");

void read_colour(const settings_document& doc, const char* key, std::uint32_t& colour)
{
    colour = static_cast<std::uint32_t>(doc.get_int(ui, QLatin1String(key), static_cast<int>(colour)));
}

}  // namespace

int system_first_day_of_week()
{
    // Qt counts Monday as 1 … Sunday as 7.
    const int qt_day = static_cast<int>(QLocale::system().firstDayOfWeek());
    return qt_day >= 1 && qt_day <= 7 ? qt_day - 1 : 6;
}

void options::read(const settings_document& doc)
{
    read_colour(doc, "face", colours.face);
    read_colour(doc, "menu", colours.menu);
    read_colour(doc, "face background", colours.face_background);
    read_colour(doc, "face shadow", colours.face_shadow);
    read_colour(doc, "face light", colours.face_light);
    read_colour(doc, "face text", colours.face_text);
    read_colour(doc, "selection", colours.selection);
    read_colour(doc, "text selection", colours.text_selection);
    read_colour(doc, "text", colours.text);
    read_colour(doc, "disabled text", colours.disabled_text);
    read_colour(doc, "seperator", colours.seperator);
    read_colour(doc, "window", colours.window);
    read_colour(doc, "schedule conflict dark block", colours.schedule_conflict_dark_block);
    read_colour(doc, "schedule conflict light block", colours.schedule_conflict_light_block);
    read_colour(doc, "deadline dark block", colours.deadline_dark_block);
    read_colour(doc, "deadline light block", colours.deadline_light_block);

    preferable_workload = doc.get_int(work, "preferable workload", preferable_workload);
    sleeping_start = doc.get_int(work, "sleeping start", sleeping_start);
    sleeping_end = doc.get_int(work, "sleeping end", sleeping_end);
    working_start = doc.get_int(work, "working start", working_start);
    working_end = doc.get_int(work, "working end", working_end);
    first_day_of_week = doc.get_int(work, "first day of the week", first_day_of_week);

    duration_format = doc.get_string(formatting, "duration format", duration_format);
    time_format = doc.get_string(formatting, "time format", time_format);
    short_date_format = doc.get_string(formatting, "short date format", short_date_format);
    long_date_format = doc.get_string(formatting, "long date format", long_date_format);

    storage_directory = doc.get_string(directories, "storage directory", storage_directory);

    hot_key_modifiers = doc.get_int(action_menu, "hot key modifiers", hot_key_modifiers);
    hot_key_virtual_key = doc.get_int(action_menu, "hot key virtual-key", hot_key_virtual_key);

    idle_menu_show = doc.get_bool(idle_menu, "show", idle_menu_show);
    idle_menu_threshold = doc.get_int(idle_menu, "threshold", idle_menu_threshold);
    fullscreen_classes_to_ignore.clear();
    fullscreen_titles_to_ignore.clear();
    doc.get_list(QLatin1String(fullscreen_classes_list), fullscreen_classes_to_ignore);
    doc.get_list(QLatin1String(fullscreen_titles_list), fullscreen_titles_to_ignore);

    show_conflict_alarms = doc.get_bool(alarms, "show conflict alarms", show_conflict_alarms);
    show_deadline_conflict_alarms = doc.get_bool(alarms, "show deadline conflict alarms", show_deadline_conflict_alarms);

    frozen_time = doc.get_int(demo, "frozen time", frozen_time);
    splitter_pos = doc.get_int(tasks, "splitter pos", splitter_pos);
}

void options::load(const QString& path)
{
    read(settings_document::load(path));
    system_first_day_of_week = app::system_first_day_of_week();
    keyboard_cues = true;  // X11 desktops show mnemonics as the style decides

    const QString context_path = QFileInfo(path).absolutePath() + QStringLiteral("/default_context.ini");
    QFile context(context_path);
    default_context.clear();
    if (context.open(QIODevice::ReadOnly))
        default_context = from_settings_bytes(context.readAll());
}

settings_document options::to_document() const
{
    settings_document doc;
    doc.set_int(work, "preferable workload", preferable_workload);
    doc.set_int(work, "sleeping start", sleeping_start);
    doc.set_int(work, "sleeping end", sleeping_end);
    doc.set_int(work, "working start", working_start);
    doc.set_int(work, "working end", working_end);
    doc.set_int(work, "first day of the week", first_day_of_week);
    doc.set_string(formatting, "duration format", duration_format);
    doc.set_string(formatting, "time format", time_format);
    doc.set_string(formatting, "short date format", short_date_format);
    doc.set_string(formatting, "long date format", long_date_format);
    doc.set_string(directories, "storage directory", storage_directory);
    doc.set_int(action_menu, "hot key modifiers", hot_key_modifiers);
    doc.set_int(action_menu, "hot key virtual-key", hot_key_virtual_key);
    doc.set_int(idle_menu, "show", idle_menu_show ? 1 : 0);
    doc.set_int(idle_menu, "threshold", idle_menu_threshold);
    doc.set_list(QLatin1String(fullscreen_classes_list), fullscreen_classes_to_ignore);
    doc.set_list(QLatin1String(fullscreen_titles_list), fullscreen_titles_to_ignore);
    doc.set_int(alarms, "show conflict alarms", show_conflict_alarms ? 1 : 0);
    doc.set_int(alarms, "show deadline conflict alarms", show_deadline_conflict_alarms ? 1 : 0);
    if (frozen_time != 0)
        doc.set_int(demo, "frozen time", frozen_time);
    doc.set_int(tasks, "splitter pos", splitter_pos);
    return doc;
}

bool options::save(const QString& path, QString* error) const { return to_document().save(path, error); }

void apply_time_options(const options& o)
{
    time::format_settings f;
    f.duration_format = o.duration_format;
    f.time_format = o.time_format;
    f.short_date_format = o.short_date_format;
    f.long_date_format = o.long_date_format;
    time::set_format_settings(f);
    time::set_first_day_of_week_option(o.first_day_of_week);
    time::set_system_first_day_of_week(o.system_first_day_of_week);
    time::set_frozen_time(o.frozen_time);
}

options& current_options()
{
    static options the_options;
    return the_options;
}

}  // namespace qm::app
