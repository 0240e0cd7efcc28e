#include "ui/main_frame.h"

#include "app/core.h"
#include "app/settings_document.h"
#include "app/window_placement.h"
#include "history/history.h"
#include "store/database_settings.h"
#include "store/error_report.h"
#include "ui/command_handler.h"
#include "ui/command_reasons.h"
#include "ui/commands.h"
#include "ui/help_commands.h"
#include "ui/icons.h"
#include "ui/printout.h"
#include "ui/tray_icon.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace qm::ui {
namespace {

constexpr int add_alarm_command = 40244;  // Task > Add Alarm, in every view

// A button's tip: its name and, where it has one, its key.
QString tool_tip(const QString& label, int command)
{
    for (const shortcut& s : default_shortcuts())
        if (s.command == command)
            return QStringLiteral("%1 (%2)").arg(label, shortcut_text(s));
    return label;
}

// The Help entries of the command table beside the menu's own.
constexpr int help_tooltips = 41083, help_about = 41084, help_tutorials = 41085, help_manual = 41086;

const int tab_commands[] = {cmd::overview, cmd::projects, cmd::tasks, cmd::calendar, cmd::day, cmd::charts};

bool is_text_control(QWidget* w)
{
    return qobject_cast<QLineEdit*>(w) != nullptr || qobject_cast<QTextEdit*>(w) != nullptr ||
           qobject_cast<QPlainTextEdit*>(w) != nullptr || qobject_cast<QAbstractSpinBox*>(w) != nullptr ||
           (qobject_cast<QComboBox*>(w) != nullptr && static_cast<QComboBox*>(w)->isEditable());
}

}  // namespace

main_frame::main_frame(app::core& core, QWidget* parent) : QMainWindow(parent), core_(core)
{
    setObjectName(QStringLiteral("QuillmereFrame"));
    setWindowIcon(program_icon());
    // The first run fills most of the screen; later runs restore the saved placement.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize size(std::min(area.width(), std::max(1240, area.width() * 9 / 10)),
                         std::min(area.height(), std::max(760, area.height() * 9 / 10)));
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, area));
    } else {
        resize(1240, 760);
    }
    stack_ = new QStackedWidget(this);
    setCentralWidget(stack_);
    tab_views_ = {{cmd::overview, 935}, {cmd::projects, 372}, {cmd::tasks, 983},
                  {cmd::calendar, 857},  {cmd::day, 829},      {cmd::charts, 186}};
    create_menus();
    // A disabled item says why in its tip.
    for (QMenu* m : menuBar()->findChildren<QMenu*>())
        m->setToolTipsVisible(true);
    create_toolbar();
    create_shortcuts();
    tooltips_ = new tooltip_switch(this);
    statusBar()->setSizeGripEnabled(true);
    connect(qApp, &QApplication::focusChanged, this, [this] { update_command_states(); });
    update_command_states();
}

main_frame::~main_frame()
{
    // The views go with the frame's children: no focus news may reach them.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    shut_down();
}

void main_frame::start()
{
    timers_.start_idle_check();
    setWindowTitle(QStringLiteral("Quillmere Planner %1").arg(store::short_version_text()));
    load_help_state();
    create_tray();
    core_.start();
    timers_.start_minute_tick();
}

void main_frame::set_history(history::history* h)
{
    history_ = h;
    if (history_)
        history_->on_state_changed = [this] { refresh_undo_redo(); };
    refresh_undo_redo();
}

void main_frame::refresh_undo_redo()
{
    // A text field undoes its own typing whatever the history holds.
    const bool text_focus = is_text_control(QApplication::focusWidget());
    if (QAction* a = command_action(cmd::undo))
        a->setEnabled(text_focus || (history_ != nullptr && history_->can_undo()));
    if (QAction* a = command_action(cmd::redo))
        a->setEnabled(text_focus || (history_ != nullptr && history_->can_redo()));
}

QAction* main_frame::action(int id, const QString& text)
{
    if (QAction* existing = actions_.value(id, nullptr))
        return existing;
    auto* a = new QAction(text, this);
    a->setData(id);
    a->setIcon(command_icon(id));
    connect(a, &QAction::triggered, this, [this, id] { on_command(id); });
    actions_.insert(id, a);
    return a;
}

void main_frame::create_menus()
{
    auto add = [this](QMenu* menu, int id, const QString& text) { menu->addAction(action(id, text)); };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, cmd::export_, "&Export");
    add(file, cmd::import_, "&Import");
    add(file, cmd::print, "&Print...");
    add(file, cmd::print_preview, "P&rint Preview...");
    add(file, cmd::exit, "E&xit");

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    add(edit, cmd::undo, "&Undo");
    add(edit, cmd::redo, "&Redo");
    add(edit, cmd::cut, "Cu&t");
    add(edit, cmd::copy, "&Copy");
    add(edit, cmd::paste, "&Paste");
    add(edit, cmd::delete_, "&Delete");
    add(edit, cmd::rename, "Rena&me");
    add(edit, cmd::select_all, "Select &All");
    add(edit, cmd::properties, "Propert&ies...");
    QMenu* cell = edit->addMenu(QStringLiteral("Ce&ll"));
    add(cell, cmd::cell_edit, "&Edit");
    add(cell, cmd::append_space, "Append &Space");
    QMenu* row = edit->addMenu(QStringLiteral("Ro&w"));
    add(row, cmd::move_up, "Move &Up");
    add(row, cmd::move_down, "Move &Down");
    add(row, 41133, "&Indent");
    add(row, 41048, "&Outdent");
    add(row, 41208, "Colla&pse");
    add(row, 41209, "Collapse &Children");
    add(row, 41210, "Collapse &All");
    add(row, 41174, "E&xpand");
    add(row, 41172, "Expand C&hildren");
    add(row, 41173, "Expand A&ll");
    QMenu* jump = edit->addMenu(QStringLiteral("&Jump"));
    add(jump, 41203, "To &Day");
    add(jump, 40969, "To &Calendar");
    add(jump, 40970, "To Pro&ject");
    add(jump, 41013, "To Parent &Folder");
    add(jump, 40971, "To &Alarm");
    add(jump, 41204, "To Deadl&ine");
    add(jump, 41128, "To Task &List");
    add(jump, 41197, "To P&roject List");

    QMenu* task = menuBar()->addMenu(QStringLiteral("Tas&k"));
    QMenu* date = task->addMenu(QStringLiteral("&Date"));
    add(date, cmd::no_date, "&No Date");
    add(date, cmd::date_today, "To&day");
    add(date, cmd::date_tomorrow, "Tomor&row");
    const char* days[] = {"S&unday", "&Monday", "T&uesday", "&Wednesday", "T&hursday", "&Friday", "&Saturday"};
    for (int i = 0; i < 7; ++i)
        add(date, cmd::date_sunday + i, days[i]);
    add(date, cmd::date_edit, "&Edit");
    QMenu* scheduling = task->addMenu(QStringLiteral("Sc&heduling"));
    add(scheduling, cmd::splittable, "&Splittable");
    QMenu* priority = scheduling->addMenu(QStringLiteral("Day Pri&ority"));
    add(priority, cmd::priority_a, "&A");
    add(priority, cmd::priority_b, "&B");
    add(priority, cmd::priority_c, "&C");
    add(priority, cmd::push_to_top, "Push to &Top");
    add(priority, cmd::push_to_bottom, "Push to B&ottom");
    add(priority, cmd::make_top_priority, "&Make Top Priority");
    add(priority, 41202, "&Edit");
    add(scheduling, 40051, "Dead&line");
    add(scheduling, 41201, "&Edit");
    QMenu* timers = task->addMenu(QStringLiteral("&Timers"));
    add(timers, 41242, "&Toggle");
    add(timers, 41017, "&Start");
    add(timers, 41018, "Sto&p");
    add(timers, 41118, "&Edit");
    QMenu* status = task->addMenu(QStringLiteral("&Status"));
    add(status, cmd::toggle_finished, "&Toggle Finished");
    add(status, cmd::unfinished, "&Unfinished");
    add(status, cmd::finished, "&Finished");
    add(status, cmd::delegated, "Dele&gated");
    add(status, cmd::waiting, "&Waiting");
    add(status, cmd::canceled, "&Canceled");
    QMenu* organize = task->addMenu(QStringLiteral("&Organize"));
    add(organize, 41191, "D&escription");
    add(organize, 40991, "Add &Comment");
    add(organize, 40050, "Ta&gs");
    add(organize, 40047, "&Role");
    QMenu* project = organize->addMenu(QStringLiteral("Pro&ject"));
    add(project, cmd::folder, "&Folder");
    QMenu* method = project->addMenu(QStringLiteral("Folder &Prioritization Method"));
    add(method, cmd::folder_roi, QStringLiteral("&ROI\u2014Return on Investment"));
    add(method, cmd::folder_manual, "&Manual");
    add(project, 40046, "&Edit");
    add(task, 40244, "Add &Alarm...");

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    add(window, cmd::next_tab, "&Next Tab");
    add(window, cmd::previous_tab, "Pre&vious Tab");
    add(window, cmd::overview, "&Overview");
    add(window, cmd::projects, "&Projects");
    add(window, cmd::tasks, "Tas&ks");
    // The alternatives of the Tasks and Calendar tabs, which the toolbar
    // offers in drop-downs, reached from the keyboard here.
    QMenu* task_lists = window->addMenu(QStringLiteral("Task Li&sts"));
    add(task_lists, 40011, "Task &List");
    add(task_lists, 40041, "&Upcoming Tasks");
    add(task_lists, 40044, "Tasks by &Tag");
    add(task_lists, 40042, "&Recurring Tasks");
    add(window, cmd::calendar, "&Calendar");
    QMenu* calendars = window->addMenu(QStringLiteral("Calendar Vie&ws"));
    add(calendars, 40286, "D&ay Calendar");
    add(calendars, 40287, "&Week Calendar");
    add(window, cmd::day, "&Day");
    add(window, cmd::charts, "C&harts");
    add(window, cmd::clapperboard, "Clapper&board...");

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    add(tools, cmd::options, "&Options...");
    add(tools, cmd::check_versions, "Check for &New Versions");

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, cmd::getting_started, "&Getting Started");
    add(help, cmd::contact_support, "Contact &Support");
    add(help, cmd::webpage, "&Webpage");
    add(help, cmd::about, "&About");
}

void main_frame::create_toolbar()
{
    toolbar_ = addToolBar(QStringLiteral("Toolbar"));
    toolbar_->setObjectName(QStringLiteral("Toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar_->setIconSize(QSize(16, 16));
    tab_group_ = new QActionGroup(this);
    tab_group_->setExclusive(true);
    const struct {
        int id;
        const char* label;
        bool separator_after;
    } tabs[] = {{cmd::overview, "Overview", true}, {cmd::projects, "Projects", false}, {cmd::tasks, "Tasks", false},
                {cmd::calendar, "Calendar", true}, {cmd::day, "Day", true},           {cmd::charts, "Charts", false}};
    for (const auto& t : tabs) {
        QAction* a = action(t.id, QString::fromLatin1(t.label));
        a->setCheckable(true);
        tab_group_->addAction(a);
        if (t.id == cmd::tasks || t.id == cmd::calendar) {
            // The alternatives of the tab, in a drop-down.
            auto* button = new QToolButton(toolbar_);
            button->setDefaultAction(a);
            button->setPopupMode(QToolButton::MenuButtonPopup);
            auto* alternatives = new QMenu(button);
            const QList<QPair<int, QString>> items =
                t.id == cmd::tasks
                    ? QList<QPair<int, QString>>{{40011, "Task List"}, {40041, "Upcoming Tasks"},
                                                 {40044, "Tasks by Tag"}, {40042, "Recurring Tasks"}}
                    : QList<QPair<int, QString>>{{40286, "Day Calendar"}, {40287, "Week Calendar"}};
            for (const auto& item : items)
                alternatives->addAction(action(item.first, item.second));
            button->setMenu(alternatives);
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            toolbar_->addWidget(button);
        } else {
            toolbar_->addAction(a);
        }
        if (t.separator_after)
            toolbar_->addSeparator();
    }
    toolbar_->addSeparator();
    // Undo and Redo offer their lists in a drop-down, as Show Undo List does.
    for (const bool undo : {true, false}) {
        auto* button = new QToolButton(toolbar_);
        button->setDefaultAction(action(undo ? cmd::undo : cmd::redo, undo ? "&Undo" : "&Redo"));
        button->setPopupMode(QToolButton::MenuButtonPopup);
        button->setObjectName(undo ? QStringLiteral("undo_button") : QStringLiteral("redo_button"));
        auto* list = new QMenu(button);
        connect(list, &QMenu::aboutToShow, this, [this, list, undo] { fill_history_menu(*list, undo); });
        button->setMenu(list);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        toolbar_->addWidget(button);
    }
    toolbar_->addSeparator();
    toolbar_->addAction(action(cmd::cut, "Cu&t"));
    toolbar_->addAction(action(cmd::copy, "&Copy"));
    toolbar_->addAction(action(cmd::paste, "&Paste"));
    toolbar_->addSeparator();
    toolbar_->addAction(action(cmd::print_preview, "P&rint Preview..."));
    toolbar_->addAction(action(cmd::print, "&Print..."));
    toolbar_->addSeparator();
    // The toolbar shows the same commands with short labels.
    for (auto [id, label] : {std::pair{cmd::undo, "Undo"}, std::pair{cmd::redo, "Redo"}, std::pair{cmd::cut, "Cut"},
                             std::pair{cmd::copy, "Copy"}, std::pair{cmd::paste, "Paste"},
                             std::pair{cmd::print_preview, "Preview"}, std::pair{cmd::print, "Print"}})
        actions_.value(id)->setIconText(QString::fromLatin1(label));
    actions_.value(cmd::print)->setEnabled(false);
    actions_.value(cmd::print_preview)->setEnabled(false);

    addToolBarBreak();
    view_toolbar_ = addToolBar(QStringLiteral("View"));
    view_toolbar_->setObjectName(QStringLiteral("ViewToolbar"));
    view_toolbar_->setMovable(false);
    view_toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    view_toolbar_->setIconSize(QSize(16, 16));
}

void main_frame::create_shortcuts()
{
    // Several keys may name one command: each shortcut is its own action so
    // that the menu's action keeps its text.
    QMap<int, QList<QKeySequence>> keys;
    for (const shortcut& s : default_shortcuts())
        keys[s.command] << key_sequence(s);
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        const int id = it.key();
        if (QAction* a = actions_.value(id, nullptr)) {
            a->setShortcuts(it.value());
            a->setShortcutContext(Qt::WindowShortcut);
            addAction(a);  // active even while its menu is closed
        } else {
            auto* extra = new QAction(this);
            extra->setShortcuts(it.value());
            extra->setShortcutContext(Qt::WindowShortcut);
            connect(extra, &QAction::triggered, this, [this, id] { on_command(id); });
            addAction(extra);
            actions_.insert(id, extra);
        }
    }
}

void main_frame::register_view(view* v)
{
    views_.insert(v->view_id(), v);
    stack_->addWidget(v);
    connect(v, &view::status_message, this, [this](const QString& text) { statusBar()->showMessage(text, 8000); });
    connect(v, &view::buttons_changed, this, [this, v] {
        if (v == active_)
            rebuild_view_buttons();
    });
}

command_handler* main_frame::handler_of(int id) const
{
    for (command_handler* h : handlers_)
        if (h->takes(id))
            return h;
    return nullptr;
}

void main_frame::show_view(int id)
{
    view* v = views_.value(id, nullptr);
    if (v == nullptr)
        return;
    // An alternative of the Tasks or Calendar tab becomes the tab's current one.
    if (id == 983 || id == 964 || id == 966 || id == 965)
        tab_views_[cmd::tasks] = id;
    else if (id == 856 || id == 857)
        tab_views_[cmd::calendar] = id;
    active_ = v;
    stack_->setCurrentWidget(v);
    for (auto it = tab_views_.begin(); it != tab_views_.end(); ++it)
        if (it.value() == id) {
            current_tab_ = it.key();
            if (QAction* a = actions_.value(it.key()))
                a->setChecked(true);
        }
    actions_.value(cmd::print)->setEnabled(v->printable());
    actions_.value(cmd::print_preview)->setEnabled(v->printable());
    rebuild_view_buttons();
    v->setFocus();
    update_command_states();
    emit view_shown(id);
}

void main_frame::rebuild_view_buttons()
{
    for (QAction* a : view_button_actions_) {
        view_toolbar_->removeAction(a);
        a->deleteLater();
    }
    view_button_actions_.clear();
    if (active_ == nullptr)
        return;
    for (const toolbar_button& b : active_->buttons()) {
        QAction* a = nullptr;
        if (b.label == QLatin1String("-")) {
            a = view_toolbar_->addSeparator();
        } else {
            a = new QAction(b.label, view_toolbar_);
            a->setIcon(command_icon(b.command));
            const QString reason = unavailable_reason(b.command);
            a->setToolTip(!b.enabled && !reason.isEmpty() ? reason : tool_tip(b.label, b.command));
            a->setCheckable(b.checkable);
            a->setChecked(b.checked);
            a->setEnabled(b.enabled);
            const int id = b.command;
            connect(a, &QAction::triggered, this, [this, id] { on_command(id); });
            view_toolbar_->addAction(a);
        }
        view_button_actions_ << a;
    }
    fit_view_toolbar();
}

Qt::ToolButtonStyle main_frame::text_style() const
{
    // The desktop's choice, as long as it shows the names.
    const auto preferred =
        static_cast<Qt::ToolButtonStyle>(style()->styleHint(QStyle::SH_ToolButtonStyle, nullptr, this));
    return preferred == Qt::ToolButtonTextUnderIcon ? preferred : Qt::ToolButtonTextBesideIcon;
}

void main_frame::fit_view_toolbar()
{
    // The view's buttons keep one row: in order, each shows its name while
    // the row has room, the rest show their icon alone (their names in the
    // tips), so nothing is cut off and nothing overflows.
    if (view_toolbar_ == nullptr)
        return;  // a resize during construction
    const int room = width() - 12;
    view_toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QList<QToolButton*> buttons;
    for (QAction* a : view_button_actions_)
        if (auto* b = qobject_cast<QToolButton*>(view_toolbar_->widgetForAction(a)))
            buttons << b;
    for (QToolButton* b : buttons)
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const Qt::ToolButtonStyle named = text_style();
    // The row's width, summed from its items: the toolbar's own size hint
    // is only brought up to date by a later layout.
    const int spacing = view_toolbar_->style()->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, view_toolbar_);
    int used = 2 * view_toolbar_->style()->pixelMetric(QStyle::PM_ToolBarHandleExtent, nullptr, view_toolbar_) + 16;
    for (QAction* a : view_button_actions_)
        if (QWidget* w = view_toolbar_->widgetForAction(a))
            used += w->sizeHint().width() + spacing;
    for (QToolButton* b : buttons) {
        const int icon_only = b->sizeHint().width();
        b->setToolButtonStyle(named);
        const int grows = b->sizeHint().width() - icon_only;
        if (used + grows > room) {
            b->setToolButtonStyle(Qt::ToolButtonIconOnly);
            break;
        }
        used += grows;
    }
}

void main_frame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fit_view_toolbar();
}

void main_frame::select_tab(int tab_command)
{
    show_view(tab_views_.value(tab_command, 829));
}

void main_frame::step_tab(int step)
{
    const int count = static_cast<int>(std::size(tab_commands));
    int at = 0;
    for (int i = 0; i < count; ++i)
        if (tab_commands[i] == current_tab_)
            at = i;
    select_tab(tab_commands[(at + step + count) % count]);
}

void main_frame::on_command(int id)
{
    QWidget* focus = QApplication::focusWidget();
    const bool text_focus = is_text_control(focus);

    // Text fields keep their own clipboard and undo.
    if (text_focus && (id == cmd::cut || id == cmd::copy || id == cmd::paste || id == cmd::undo || id == cmd::redo ||
                       id == cmd::select_all)) {
        // The text controls share these slots by name.
        const char* slot = id == cmd::cut     ? "cut"
                           : id == cmd::copy  ? "copy"
                           : id == cmd::paste ? "paste"
                           : id == cmd::undo  ? "undo"
                           : id == cmd::redo  ? "redo"
                                              : "selectAll";
        QWidget* target = focus;
        if (auto* combo = qobject_cast<QComboBox*>(focus))
            target = combo->lineEdit();
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus); spin != nullptr && id == cmd::select_all)
            spin->selectAll();
        else if (target != nullptr)
            QMetaObject::invokeMethod(target, slot);
        return;
    }

    switch (id) {
    case cmd::undo:
        if (history_)
            history_->undo_step();
        return;
    case cmd::redo:
        if (history_)
            history_->redo_step();
        return;
    case cmd::overview: case cmd::projects: case cmd::tasks: case cmd::calendar: case cmd::day: case cmd::charts:
        select_tab(id);
        return;
    case 40011: case 40041: case 40044: case 40042:
        tab_views_[cmd::tasks] = id == 40011 ? 983 : id == 40041 ? 964 : id == 40044 ? 966 : 965;
        select_tab(cmd::tasks);
        return;
    case 40286: case 40287:
        tab_views_[cmd::calendar] = id == 40286 ? 856 : 857;
        select_tab(cmd::calendar);
        return;
    case cmd::print:
    case cmd::print_preview:
        // The view in front says what its printout holds.
        if (auto* printable = dynamic_cast<printable_view*>(active_)) {
            print_printout(printable->make_printout(), this, id == cmd::print_preview);
            return;
        }
        break;
    case cmd::show_undo_list: show_history_list(true); return;
    case cmd::show_redo_list: show_history_list(false); return;
    case cmd::clapperboard:
        if (open_clapperboard)
            open_clapperboard();
        return;
    case add_alarm_command:
        if (add_alarm) {
            const view* v = command_target();
            add_alarm(v != nullptr ? v->focus_task() : 0);
        }
        return;
    case cmd::next_tab: step_tab(1); return;
    case cmd::previous_tab: step_tab(-1); return;
    case cmd::exit: exit_program(); return;
    case cmd::options:
        if (open_options)
            open_options();
        return;
    case cmd::import_:
        if (open_import)
            open_import();
        return;
    case cmd::export_:
        if (open_export)
            open_export();
        return;
    case cmd::about:
    case help_about:
        show_about(this, store::about_version_text(), core_.folders().data_folder());
        return;
    case help_tooltips: {
        tooltips_->set_on(!tooltips_->on());
        if (QAction* a = command_action(help_tooltips))
            a->setChecked(tooltips_->on());
        app::settings_document doc = app::settings_document::load(placement_file());
        doc.set_int(QStringLiteral("help"), QStringLiteral("tooltips"), tooltips_->on() ? 1 : 0);
        doc.save(placement_file());
        statusBar()->showMessage(tooltips_->on() ? QStringLiteral("Tooltips are on.") : QStringLiteral("Tooltips are off."),
                                 8000);
        return;
    }
    case cmd::check_versions:
        QMessageBox::information(this, QStringLiteral("Quillmere Planner"),
                                 QStringLiteral("This is Quillmere Planner %1. The planner makes no network connection "
                                                "of its own; new versions come with your system's updates.")
                                     .arg(store::about_version_text()));
        return;
    case cmd::getting_started:
    case cmd::webpage:
    case help_tutorials:
    case help_manual: {
        const QString dir = QCoreApplication::applicationDirPath();
        for (const QString& readme : {dir + QStringLiteral("/README.md"),
                                      dir + QStringLiteral("/../share/doc/quillmere/README.md")})
            if (QFileInfo::exists(readme)) {
                QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(readme).canonicalFilePath()));
                return;
            }
        statusBar()->showMessage(QStringLiteral("The guide (README.md) was not found beside the program."), 8000);
        return;
    }
    case cmd::contact_support:
        QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + QLatin1String(store::support_address)));
        return;
    default:
        break;
    }

    if (const QString reason = unavailable_reason(id); !reason.isEmpty()) {
        statusBar()->showMessage(reason, 8000);
        return;
    }
    if (command_handler* h = handler_of(id)) {
        h->carry_out(id);
        return;
    }

    // Everything else goes, once, to the view that holds the keyboard focus
    // (or the one in front); a command nobody takes is ignored.
    if (view* v = command_target())
        v->handle_command(id);
}

view* main_frame::command_target() const
{
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* w = focus; w != nullptr; w = w->parentWidget()) {
        if (auto* v = qobject_cast<view*>(w))
            return v;
        // Alt+E gives the menu bar the focus, a click a toolbar button: the
        // commands they offer are still the shown view's.
        if (qobject_cast<QMenuBar*>(w) != nullptr || qobject_cast<QToolBar*>(w) != nullptr)
            return active_;
    }
    if (active_ != nullptr && (focus == nullptr || focus == this || !isAncestorOf(focus)))
        return active_;
    return nullptr;
}

bool main_frame::frame_handles(int id)
{
    switch (id) {
    case cmd::undo: case cmd::redo: case cmd::show_undo_list: case cmd::show_redo_list:
    case cmd::overview: case cmd::projects: case cmd::tasks: case cmd::calendar: case cmd::day: case cmd::charts:
    case 40011: case 40041: case 40044: case 40042: case 40286: case 40287:
    case cmd::next_tab: case cmd::previous_tab: case cmd::exit: case cmd::options: case cmd::about:
    case cmd::check_versions: case cmd::getting_started: case cmd::webpage: case cmd::contact_support:
    case cmd::print: case cmd::print_preview: case cmd::import_: case cmd::export_: case cmd::clapperboard:
    case help_about: case help_tooltips: case help_tutorials: case help_manual:
    case add_alarm_command:
        return true;
    default:
        return false;
    }
}

void main_frame::update_command_states()
{
    const bool text_focus = is_text_control(QApplication::focusWidget());
    const view* target = command_target();
    for (auto it = actions_.begin(); it != actions_.end(); ++it) {
        const int id = it.key();
        if (frame_handles(id))
            continue;  // always there, or enabled by their own rules
        const bool text_command =
            id == cmd::cut || id == cmd::copy || id == cmd::paste || id == cmd::select_all;
        const QString reason = unavailable_reason(id);
        const command_handler* h = handler_of(id);
        const bool enabled = reason.isEmpty() && ((text_focus && text_command) || (h != nullptr && h->enabled(id)) ||
                                                  (h == nullptr && target != nullptr && target->handles(id)));
        QAction* a = it.value();
        a->setEnabled(enabled);
        // A disabled item says why, in its tip and in the status bar.
        QString why;
        if (!enabled)
            why = !reason.isEmpty() ? reason
                  : target != nullptr && !h
                      ? QStringLiteral("Not available in the %1 view.").arg(target->title())
                      : QStringLiteral("Not available here.");
        a->setToolTip(why);
        a->setStatusTip(why);
    }
    refresh_undo_redo();
}

void main_frame::load_help_state()
{
    const app::settings_document doc = app::settings_document::load(placement_file());
    tooltips_->set_on(doc.get_int(QStringLiteral("help"), QStringLiteral("tooltips"), 1) != 0);
}

void main_frame::set_hot_key_text(const QString& text)
{
    if (QAction* a = command_action(cmd::clapperboard))
        a->setText(QStringLiteral("Clapper&board\t") + text);
    if (tray_clapperboard_ != nullptr)
        tray_clapperboard_->setText(QStringLiteral("Clapper&board\t") + text);
}

void main_frame::show_history_list(bool undo)
{
    if (history_ == nullptr)
        return;
    if (history_popup) {
        history_popup(undo);
        return;
    }
    QMenu menu(this);
    fill_history_menu(menu, undo);
    menu.exec(mapToGlobal(QPoint(width() / 3, toolbar_->geometry().bottom())));
}

void main_frame::fill_history_menu(QMenu& menu, bool undo)
{
    menu.clear();
    if (history_ == nullptr)
        return;
    const std::vector<history::list_line> lines = undo ? history_->undo_list() : history_->redo_list();
    if (lines.empty())
        menu.addAction(undo ? QStringLiteral("Nothing to undo") : QStringLiteral("Nothing to redo"))->setEnabled(false);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const history::list_line& line = lines[i];
        QString text = line.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        if (text.size() > 90)
            text = text.left(87) + QStringLiteral("...");
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = menu.addAction(line.letter.isNull() ? text
                                                         : QStringLiteral("&%1  %2\t%3").arg(line.letter).arg(text, line.ago));
        a->setEnabled(!line.letter.isNull());
        const int steps = static_cast<int>(i) + 1;
        connect(a, &QAction::triggered, this, [this, undo, steps] {
            undo ? history_->choose_undo(steps) : history_->choose_redo(steps);
        });
    }
}

// ---- tray, window state, shutdown ----

void main_frame::create_tray()
{
    tray_menu_ = new QMenu(this);
    QAction* show_action = tray_menu_->addAction(tr("&Show"), this, &main_frame::show_and_activate);
    tray_clapperboard_ = tray_menu_->addAction(tr("Clapper&board"), this, [this] { on_command(cmd::clapperboard); });
    tray_menu_->addSeparator();
    tray_menu_->addAction(tr("E&xit"), this, &main_frame::exit_program);
    tray_menu_->setDefaultAction(show_action);

    tray_ = new tray_icon(tray_menu_, this);
    connect(tray_, &tray_icon::default_requested, this, [this] {
        if (QAction* a = tray_menu_->defaultAction())
            a->trigger();
    });
    tray_->add();  // without a tray the program runs and minimises normally
}

bool main_frame::has_tray() const { return tray_ != nullptr && tray_->added(); }

void main_frame::show_and_activate()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void main_frame::exit_program()
{
    close();
    QCoreApplication::exit(normal_exit_code);
}

void main_frame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_ != nullptr) {
        QTimer::singleShot(0, this, [this] {
            // Only into a tray that is there now; otherwise it stays minimised.
            if (isMinimized())
                tray_->hide_into_tray(this);
        });
    }
}

void main_frame::closeEvent(QCloseEvent* event)
{
    save_layout();
    shut_down();
    event->accept();
    QCoreApplication::exit(normal_exit_code);
}

void main_frame::save_layout()
{
    for (view* v : views_)
        v->save_state();
    for (auto& hook : save_layout_hooks)
        hook();
    save_placement();
}

QString main_frame::placement_file() const { return core_.folders().settings_folder() + QStringLiteral("main_frame.ini"); }

QRect main_frame::available_area() const
{
    // Qt's available geometry stands for the monitor work area.
    QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return s != nullptr ? s->availableGeometry() : QRect();
}

void main_frame::save_placement()
{
    // Loaded first, so that the other blocks of the file survive.
    app::settings_document doc = app::settings_document::load(placement_file());
    app::window_state state;
    state.normal = (isMaximized() || isFullScreen()) ? normalGeometry() : geometry();
    state.minimized = isMinimized();
    state.maximized = isMaximized();
    if (app::write_placement(doc, state, available_area()))
        doc.save(placement_file());
}

void main_frame::restore_placement()
{
    const app::settings_document doc = app::settings_document::load(placement_file());
    const auto placement = app::read_placement(doc, geometry(), available_area(), true);
    if (!placement)
        return;
    setGeometry(placement->normal);
    if (placement->maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void main_frame::shut_down()
{
    if (shut_down_)
        return;
    shut_down_ = true;
    if (tray_ != nullptr) {
        tray_->show_saving();
        if (tray_->holds_window())
            QCoreApplication::processEvents();  // let the tray show it before the wait
    }
    hide();
    timers_.stop_minute_tick();
    for (auto& hook : before_drain_hooks)
        hook();
    core_.set_shutting_down();
    core_.shutdown();
    timers_.stop_all();
    if (tray_ != nullptr)
        tray_->remove();
}

}  // namespace qm::ui
