#include "ui/options_dialog.h"

#include "app/message_box.h"
#include "store/announcements.h"
#include "time/format.h"
#include "ui/commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

QTime to_time(int seconds) { return QTime(0, 0).addSecs(std::clamp(seconds, 0, 86399)); }
int from_time(const QTime& t) { return t.msecsSinceStartOfDay() / 1000; }

void select_data(QComboBox* box, const QVariant& value)
{
    const int i = box->findData(value);
    box->setCurrentIndex(i >= 0 ? i : 0);
}

// A value that is none of the choices (typed into the file by hand, or from
// another version) is kept as an entry of its own, so that Apply does not
// replace it when the user changed something else.
void select_or_keep(QComboBox* box, const QString& value)
{
    if (box->findData(value) < 0 && !value.isEmpty())
        box->addItem(QStringLiteral("Custom: %1").arg(value), value);
    select_data(box, value);
}

QLabel* note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: palette(mid);"));
    return label;
}

// A field that takes the next key pressed as the hot key.
class hot_key_field : public QLineEdit {
public:
    hot_key_field(int* code, QWidget* parent) : QLineEdit(parent), code_(code)
    {
        setReadOnly(true);
        setText(virtual_key_name(*code_));
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        int vk = 0;
        const int key = e->key();
        if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
            vk = key;
        else if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
            vk = 0x70 + (key - Qt::Key_F1);
        else if (key == Qt::Key_Semicolon)
            vk = 0xBA;
        else if (key == Qt::Key_Space)
            vk = 0x20;
        if (vk != 0) {
            *code_ = vk;
            setText(virtual_key_name(vk));
        }
    }

private:
    int* code_;
};

}  // namespace

options_dialog::options_dialog(app::options& options, QString options_file, QWidget* parent)
    : QDialog(parent), options_(options), options_file_(std::move(options_file))
{
    setWindowTitle(QStringLiteral("Options"));
    setModal(false);
    resize(760, 500);

    pages_ = new QListWidget(this);
    stack_ = new QStackedWidget(this);
    title_ = new QLabel(this);
    QFont f = title_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    title_->setFont(f);
    description_ = new QLabel(this);
    description_->setWordWrap(true);

    const struct {
        const char* name;
        const char* description;
        QWidget* (options_dialog::*make)();
    } pages[] = {
        {"Calendar",
         "Options for modifying the appearance of the calendar and your working habit preferences that will be used for "
         "calculating daily statistics.",
         &options_dialog::calendar_page},
        {"Date & Time Formatting", "Customize the display format of durations, dates, and times throughout the program.",
         &options_dialog::formatting_page},
        {"Clapperboard",
         "Options for the Clapperboard designed to be brought up while working to keep you focused on what is most "
         "important.",
         &options_dialog::clapperboard_page},
        {"Idle Menu", "Assign the periods when you leave your computer as interruptions.", &options_dialog::idle_page},
        {"Alarms & Notifications", "Define default alarm settings for different alarm types.",
         &options_dialog::alarms_page},
        {"Keyboard Shortcuts", "", &options_dialog::shortcuts_page},
    };
    for (const auto& p : pages) {
        pages_->addItem(QString::fromUtf8(p.name));
        descriptions_ << QString::fromUtf8(p.description);
        stack_->addWidget((this->*p.make)());
    }
    connect(pages_, &QListWidget::currentRowChanged, this, &options_dialog::show_page);
    // Wide enough for every page's name.
    pages_->setFixedWidth(pages_->sizeHintForColumn(0) + 2 * pages_->frameWidth() + 16);
    pages_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* buttons = new QHBoxLayout;
    auto* defaults = new QPushButton(QStringLiteral("Restore Defaults"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* apply_button = new QPushButton(QStringLiteral("Apply"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    buttons->addWidget(defaults);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(apply_button);
    buttons->addWidget(cancel);
    connect(defaults, &QPushButton::clicked, this, &options_dialog::restore_defaults);
    connect(ok, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(apply_button, &QPushButton::clicked, this, &options_dialog::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(title_);
    right->addWidget(description_);
    right->addWidget(stack_, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(pages_);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    load_controls(options_);
    pages_->setCurrentRow(0);
}

QStringList options_dialog::page_names() const
{
    QStringList names;
    for (int i = 0; i < pages_->count(); ++i)
        names << pages_->item(i)->text();
    return names;
}

void options_dialog::show_page(int index)
{
    if (index < 0 || index >= stack_->count())
        return;
    stack_->setCurrentIndex(index);
    title_->setText(pages_->item(index)->text());
    description_->setText(descriptions_[index]);
    description_->setVisible(!descriptions_[index].isEmpty());
    if (pages_->currentRow() != index)
        pages_->setCurrentRow(index);
}

QWidget* options_dialog::calendar_page()
{
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    workload_ = new QComboBox(page);
    for (int hours = 2; hours <= 14; ++hours)
        workload_->addItem(time::format_duration(hours * 3600), hours * 3600);
    form->addRow(QStringLiteral("Preferable Workload"), workload_);
    first_day_ = new QComboBox(page);
    const QStringList names = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    first_day_->addItem(QStringLiteral("System Default (%1)").arg(names[std::clamp(options_.system_first_day_of_week, 0, 6)]), -1);
    for (int i = 0; i < 7; ++i)
        first_day_->addItem(names[i], i);
    form->addRow(QStringLiteral("First Day of the Week"), first_day_);
    auto hours_row = [&](const QString& label, QTimeEdit*& from, QTimeEdit*& to) {
        auto* row = new QHBoxLayout;
        from = new QTimeEdit(page);
        to = new QTimeEdit(page);
        for (QTimeEdit* e : {from, to})
            e->setDisplayFormat(time::uses_24_hour_clock() ? QStringLiteral("HH:mm") : QStringLiteral("h:mm AP"));
        row->addWidget(new QLabel(QStringLiteral("From"), page));
        row->addWidget(from);
        row->addWidget(new QLabel(QStringLiteral("to"), page));
        row->addWidget(to);
        row->addStretch(1);
        form->addRow(label, row);
    };
    hours_row(QStringLiteral("Working Hours"), working_start_, working_end_);
    hours_row(QStringLiteral("Sleeping Hours"), sleeping_start_, sleeping_end_);
    return page;
}

QWidget* options_dialog::formatting_page()
{
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    auto fill = [&](QComboBox*& box, const std::vector<time::format_choice>& choices, auto text_of) {
        box = new QComboBox(page);
        for (const auto& c : choices)
            box->addItem(text_of(c), c.pattern);
    };
    fill(duration_format_, time::duration_choices(), [](const auto& c) { return time::duration_choice_text(c); });
    duration_format_->setObjectName(QStringLiteral("duration_format"));
    fill(time_format_, time::time_choices(), [](const auto& c) { return time::time_choice_text(c); });
    fill(short_date_format_, time::short_date_choices(), [](const auto& c) { return time::date_choice_text(c, false); });
    fill(long_date_format_, time::long_date_choices(), [](const auto& c) { return time::date_choice_text(c, true); });
    form->addRow(QStringLiteral("Duration Format"), duration_format_);
    form->addRow(QStringLiteral("Time Format"), time_format_);
    form->addRow(QStringLiteral("Short Date Format"), short_date_format_);
    form->addRow(QStringLiteral("Long Date Format"), long_date_format_);
    return page;
}

QWidget* options_dialog::clapperboard_page()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Key Combination to Show the Clapperboard"), page);
    auto* row = new QHBoxLayout(group);
    alt_ = new QCheckBox(QStringLiteral("Alt"), group);
    control_ = new QCheckBox(QStringLiteral("Control"), group);
    shift_ = new QCheckBox(QStringLiteral("Shift"), group);
    windows_key_ = new QCheckBox(QStringLiteral("Windows Key"), group);
    hot_key_ = new hot_key_field(&hot_key_code_, group);
    hot_key_->setMaximumWidth(80);
    for (QWidget* w : std::initializer_list<QWidget*>{alt_, control_, shift_, windows_key_})
        row->addWidget(w);
    row->addWidget(new QLabel(QStringLiteral("+"), group));
    row->addWidget(hot_key_);
    row->addStretch(1);
    layout->addWidget(group);
    layout->addWidget(note(QStringLiteral("The key combination is stored now and takes effect once the Clapperboard "
                                          "is part of the planner. \"Windows Key\" is the Super key."),
                           page));
    layout->addStretch(1);
    return page;
}

QWidget* options_dialog::idle_page()
{
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    idle_show_ = new QCheckBox(QStringLiteral("Show Assign Interruption Menu when System is Idle"), page);
    form->addRow(idle_show_);
    idle_threshold_ = new QComboBox(page);
    for (int minutes : {1, 2, 5, 10, 15, 20, 30, 45, 60, 90, 120})
        idle_threshold_->addItem(time::format_duration(minutes * 60), minutes * 60);
    form->addRow(QStringLiteral("Show after Idle for"), idle_threshold_);
    form->addRow(note(QStringLiteral("Stored now; the idle menu comes with the activity tracking of a later version."), page));
    return page;
}

QWidget* options_dialog::alarms_page()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    conflict_alarms_ = new QCheckBox(QStringLiteral("Alarm when a \"schedule before\" conflict occurs"), page);
    deadline_alarms_ = new QCheckBox(QStringLiteral("Alarm when a deadline is reached"), page);
    layout->addWidget(conflict_alarms_);
    layout->addWidget(deadline_alarms_);
    auto* defaults = new QGroupBox(QStringLiteral("Default Alarms"), page);
    auto* grid = new QVBoxLayout(defaults);
    // Each opens the alarm dialog on that kind's default settings.
    const std::pair<int, const char*> kinds[] = {
        {16, "Set Default Alarm Settings for Alarms"},
        {17, "Set Default Alarm Settings for Todos"},
        {18, "Set Default Alarm Settings for Appointments"},
        {20, "Set Default Alarm Settings for \"Schedule Before\" Conflicts"},
        {24, "Set Default Alarm Settings for Deadlines"},
    };
    for (const auto& [key, text] : kinds) {
        auto* b = new QPushButton(QString::fromUtf8(text), defaults);
        b->setObjectName(QStringLiteral("alarm_defaults_%1").arg(key));
        connect(b, &QPushButton::clicked, this, [this, key = key] {
            if (edit_alarm_defaults)
                edit_alarm_defaults(key, this);
        });
        grid->addWidget(b);
    }
    layout->addWidget(defaults);
    layout->addStretch(1);
    return page;
}

QWidget* options_dialog::shortcuts_page()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* find_row = new QHBoxLayout;
    auto* find = new QLineEdit(page);
    find->setPlaceholderText(QStringLiteral("Type part of a command's name"));
    auto* find_label = new QLabel(QStringLiteral("&Find"), page);
    find_label->setBuddy(find);
    find_row->addWidget(find_label);
    find_row->addWidget(find, 1);
    layout->addLayout(find_row);
    shortcuts_ = new QTableWidget(page);
    shortcuts_->setColumnCount(3);
    shortcuts_->setHorizontalHeaderLabels({QStringLiteral("Menu Path"), QStringLiteral("Command"), QStringLiteral("Shortcut")});
    shortcuts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    shortcuts_->setSelectionBehavior(QAbstractItemView::SelectRows);
    shortcuts_->verticalHeader()->hide();
    shortcuts_->horizontalHeader()->setStretchLastSection(true);
    const auto& table = command_table();
    shortcuts_->setRowCount(static_cast<int>(table.size()));
    for (int r = 0; r < static_cast<int>(table.size()); ++r) {
        QStringList keys;
        for (const shortcut& s : default_shortcuts())
            if (s.command == table[r].id)
                keys << shortcut_text(s);
        shortcuts_->setItem(r, 0, new QTableWidgetItem(QString::fromLatin1(table[r].category)));
        shortcuts_->setItem(r, 1, new QTableWidgetItem(QString::fromLatin1(table[r].name)));
        shortcuts_->setItem(r, 2, new QTableWidgetItem(keys.join(QStringLiteral(", "))));
    }
    shortcuts_->resizeColumnsToContents();
    layout->addWidget(shortcuts_, 1);
    connect(find, &QLineEdit::textChanged, this, &options_dialog::filter_shortcuts);
    return page;
}

void options_dialog::filter_shortcuts(const QString& text)
{
    for (int r = 0; r < shortcuts_->rowCount(); ++r) {
        const bool match = text.isEmpty() || shortcuts_->item(r, 0)->text().contains(text, Qt::CaseInsensitive) ||
                           shortcuts_->item(r, 1)->text().contains(text, Qt::CaseInsensitive);
        shortcuts_->setRowHidden(r, !match);
    }
}

void options_dialog::load_controls(const app::options& o)
{
    select_data(workload_, o.preferable_workload);
    if (workload_->findData(o.preferable_workload) < 0) {
        workload_->addItem(time::format_duration(o.preferable_workload), o.preferable_workload);
        select_data(workload_, o.preferable_workload);
    }
    select_data(first_day_, o.first_day_of_week);
    working_start_->setTime(to_time(o.working_start));
    working_end_->setTime(to_time(o.working_end));
    sleeping_start_->setTime(to_time(o.sleeping_start));
    sleeping_end_->setTime(to_time(o.sleeping_end));
    select_or_keep(duration_format_, o.duration_format);
    select_or_keep(time_format_, o.time_format);
    select_or_keep(short_date_format_, o.short_date_format);
    select_or_keep(long_date_format_, o.long_date_format);
    alt_->setChecked(o.hot_key_modifiers & 1);
    control_->setChecked(o.hot_key_modifiers & 2);
    shift_->setChecked(o.hot_key_modifiers & 4);
    windows_key_->setChecked(o.hot_key_modifiers & 8);
    hot_key_code_ = o.hot_key_virtual_key;
    hot_key_->setText(virtual_key_name(hot_key_code_));
    idle_show_->setChecked(o.idle_menu_show);
    select_data(idle_threshold_, o.idle_menu_threshold);
    if (idle_threshold_->findData(o.idle_menu_threshold) < 0) {
        idle_threshold_->addItem(time::format_duration(o.idle_menu_threshold), o.idle_menu_threshold);
        select_data(idle_threshold_, o.idle_menu_threshold);
    }
    conflict_alarms_->setChecked(o.show_conflict_alarms);
    deadline_alarms_->setChecked(o.show_deadline_conflict_alarms);
}

void options_dialog::store_controls(app::options& o) const
{
    o.preferable_workload = workload_->currentData().toInt();
    o.first_day_of_week = first_day_->currentData().toInt();
    o.working_start = from_time(working_start_->time());
    o.working_end = from_time(working_end_->time());
    o.sleeping_start = from_time(sleeping_start_->time());
    o.sleeping_end = from_time(sleeping_end_->time());
    o.duration_format = duration_format_->currentData().toString();
    o.time_format = time_format_->currentData().toString();
    o.short_date_format = short_date_format_->currentData().toString();
    o.long_date_format = long_date_format_->currentData().toString();
    o.hot_key_modifiers = (alt_->isChecked() ? 1 : 0) | (control_->isChecked() ? 2 : 0) | (shift_->isChecked() ? 4 : 0) |
                          (windows_key_->isChecked() ? 8 : 0);
    o.hot_key_virtual_key = hot_key_code_;
    o.idle_menu_show = idle_show_->isChecked();
    o.idle_menu_threshold = idle_threshold_->currentData().toInt();
    o.show_conflict_alarms = conflict_alarms_->isChecked();
    o.show_deadline_conflict_alarms = deadline_alarms_->isChecked();
}

void options_dialog::apply()
{
    store_controls(options_);
    QString why;
    if (!options_.save(options_file_, &why)) {
        // The options still apply to this run; the user must know that the
        // next start will not have them.
        app::show_error_message(QStringLiteral("Quillmere Planner"),
                                QStringLiteral("The options could not be saved to \"%1\": %2\n\nThey apply until "
                                               "Quillmere Planner ends.")
                                    .arg(QDir::toNativeSeparators(options_file_), why));
    }
    app::apply_time_options(options_);
    store::listeners().broadcast(store::message::options_applied, 0, 0);
    emit applied();
}

void options_dialog::restore_defaults()
{
    app::options defaults;
    defaults.system_first_day_of_week = options_.system_first_day_of_week;
    load_controls(defaults);
}

}  // namespace qm::ui
