#pragma once
// The user's options: every key of "options.ini" with its default. Loaded
// once before the main frame is created; the options dialog changes them and
// saves the file. Main thread only.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace qm::app {

class settings_document;

struct ui_colours {
    // Windows colour values (0x00BBGGRR), read but never written back.
    std::uint32_t face = 14473946;
    std::uint32_t menu = 15790320;
    std::uint32_t face_background = 5326921;
    std::uint32_t face_shadow = 12565436;
    std::uint32_t face_light = 16777215;
    std::uint32_t face_text = 0;
    std::uint32_t selection = 16750899;
    std::uint32_t text_selection = 0;
    std::uint32_t text = 0;
    std::uint32_t disabled_text = 8421504;
    std::uint32_t seperator = 9073266;
    std::uint32_t window = 16777215;
    std::uint32_t schedule_conflict_dark_block = 0;
    std::uint32_t schedule_conflict_light_block = 65535;
    std::uint32_t deadline_dark_block = 0;
    std::uint32_t deadline_light_block = 46079;
};

struct options {
    ui_colours colours;

    // "work habits"
    int preferable_workload = 28800;
    int sleeping_start = 82800;
    int sleeping_end = 21600;
    int working_start = 28800;
    int working_end = 64800;
    int first_day_of_week = -1;  // 0 = Monday … 6 = Sunday, -1 = the system's

    // "time formatting"
    QString duration_format = QStringLiteral("%D$D(d) %H$H(h) %M$M(m) %S$S(s)");
    QString time_format = QStringLiteral("wd");
    QString short_date_format = QStringLiteral("wd");
    QString long_date_format = QStringLiteral("wd");

    // "directories"
    QString storage_directory;

    // "action menu"
    int hot_key_modifiers = 8;
    int hot_key_virtual_key = 186;

    // "idle menu"
    bool idle_menu_show = true;
    int idle_menu_threshold = 900;
    QStringList fullscreen_classes_to_ignore;
    QStringList fullscreen_titles_to_ignore;

    // "alarms"
    bool show_conflict_alarms = true;
    bool show_deadline_conflict_alarms = true;

    // "demo"
    std::int32_t frozen_time = 0;

    // "tasks"
    int splitter_pos = 100;

    // Read with the options, from the system.
    int system_first_day_of_week = 6;  // 0 = Monday … 6 = Sunday
    bool keyboard_cues = true;

    // Text of "default_context.ini", applied to every new task.
    QString default_context;

    // Reads every key; a missing or broken file leaves the defaults.
    void load(const QString& path);
    void read(const settings_document& doc);
    // Builds a new document in the file's order and saves it over path.
    bool save(const QString& path, QString* error = nullptr) const;
    settings_document to_document() const;
};

extern const char* const fullscreen_classes_list;
extern const char* const fullscreen_titles_list;

inline QString options_file_name() { return QStringLiteral("options.ini"); }

// The system's first day of the week, coded 0 = Monday … 6 = Sunday.
int system_first_day_of_week();

// Hands the formatting options and the first day of the week to the time
// functions.
void apply_time_options(const options& o);

// The process-wide option values.
options& current_options();

}  // namespace qm::app
