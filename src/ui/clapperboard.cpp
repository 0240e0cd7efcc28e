#include "ui/clapperboard.h"

#include "app/core.h"
#include "app/options.h"
#include "time/format.h"
#include "ui/action_popup.h"
#include "ui/clapperboard_window.h"
#include "ui/commands.h"
#include "ui/main_frame.h"
#include "ui/message_box_presenter.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <cstdio>

namespace qm::ui {
namespace {

// The idle check's view of the desktop.
class desktop_idle_source : public tracking::idle_source {
public:
    explicit desktop_idle_source(platform::desktop& d) : desktop_(d) {}
    std::optional<std::int64_t> idle_seconds() override { return desktop_.idle_seconds(); }
    bool fullscreen_window_present(const QStringList& classes, const QStringList& titles) override
    {
        return platform::fullscreen_window_present(desktop_.top_level_windows(), desktop_.screens(), classes, titles);
    }

private:
    platform::desktop& desktop_;
};

tracking::idle_settings current_idle_settings()
{
    const app::options& o = app::current_options();
    return {o.idle_menu_show, o.idle_menu_threshold, o.fullscreen_classes_to_ignore, o.fullscreen_titles_to_ignore};
}

}  // namespace

QString hot_key_refusal_text(const QString& hot_key)
{
    return QStringLiteral("Quillmere was unable to register \"%1\" as the hot key for the Clapperboard.\r\n\r\n"
                          "Here are the following options:\r\n\r\n"
                          "Cancel: Bring up the options window to change your hot key.\r\n\r\n"
                          "Retry: Attempt to register the hot key again. Use this after closing any applications that "
                          "may be using the hot key: \"%1.\"\r\n\r\n"
                          "Continue: Continue without a hot key for the Clapperboard.")
        .arg(hot_key);
}

clapperboard::clapperboard(clapperboard_parts parts) : parts_(std::move(parts))
{
    if (!parts_.desktop)
        parts_.desktop = platform::make_desktop();
    if (!parts_.hot_key)
        parts_.hot_key = platform::make_hot_key();
    idle_source_ = std::make_unique<desktop_idle_source>(*parts_.desktop);
    idle_ = std::make_unique<tracking::idle_monitor>(*idle_source_, current_idle_settings);
    idle_->open_idle_menu = [this] { show(tracking::menu_mode::idle); };

    // "7" is seven in the morning, as the alarm mode's examples say: hours
    // are read on the 24-hour clock.
    tracking::action_menu_services s{parts_.history,
                                     parts_.commands,
                                     parts_.core.tasks(),
                                     parts_.timers,
                                     parts_.core.tables().comments,
                                     idle_.get(),
                                     nullptr,
                                     [this] { parts_.frame.show_and_activate(); },
                                     true};
    menu_ = std::make_unique<tracking::action_menu>(std::move(s));
    menu_->on_closed = [this] { closed(); };
    menu_->on_changed = [this] {
        if (window_)
            window_->refresh();
    };
    parts_.hot_key->pressed = [this] { show(tracking::menu_mode::main); };
    // Timing a task ends "Disable Idle Menu until a Task is Timed".
    parts_.timers.timer().clear_idle_menu_disabled = [this] { idle_->clear_disabled(); };
}

clapperboard::~clapperboard()
{
    parts_.timers.timer().clear_idle_menu_disabled = nullptr;
    menu_->on_closed = nullptr;
    menu_->on_changed = nullptr;
    window_.reset();
    release_hot_key();
}

void clapperboard::create_window()
{
    if (window_)
        return;
    window_ = std::make_unique<clapperboard_window>(*menu_, parts_.core.tasks(), parts_.timers.timer(),
                                                    &parts_.timers.schedule_source, &alarms_,
                                                    parts_.settings_folder + QStringLiteral("action_menu.ini"));
    if (make_report)
        window_->set_report(make_report());
}

bool clapperboard::visible() const { return window_ && window_->isVisible() && menu_->is_open(); }

void clapperboard::place_window()
{
    if (placed_)
        return;  // kept from last time
    placed_ = true;
    QScreen* s = QGuiApplication::screenAt(QCursor::pos());
    if (s == nullptr)
        s = QGuiApplication::primaryScreen();
    if (s == nullptr)
        return;
    window_->adjustSize();
    const QRect area = s->availableGeometry();
    window_->move(area.center() - QPoint(window_->width() / 2, window_->height() / 2));
}

void clapperboard::show(int mode, model::task_ptr task)
{
    create_window();
    if (!visible()) {
        const std::uint64_t active = parts_.desktop->active_window();
        previous_window_ = active != window_->winId() ? active : 0;
        if (menu_->is_open())
            menu_->close();  // a window hidden under the menu: start again
        menu_->open(mode, std::move(task));
        if (!menu_->is_open())
            return;  // the mode had nothing to work on (Break Down without a task)
        window_->setEnabled(true);
        window_->refresh();
        place_window();
        window_->show();
    }
    window_->raise();
    window_->activateWindow();
}

void clapperboard::close() { menu_->close(); }

void clapperboard::closed()
{
    if (!window_ || closing_)
        return;
    closing_ = true;
    const bool had_focus = window_->isActiveWindow();
    window_->hide();
    window_->setEnabled(false);
    if (had_focus) {
        if (previous_window_ != 0 && previous_window_ == parts_.frame.winId())
            parts_.frame.show_and_activate();
        else
            parts_.desktop->activate(previous_window_);
    }
    previous_window_ = 0;
    closing_ = false;
}

bool clapperboard::register_hot_key()
{
    const app::options& o = app::current_options();
    const QString text = hot_key_text(o.hot_key_modifiers, o.hot_key_virtual_key);
    for (;;) {
        const platform::grab_result r = parts_.hot_key->grab(o.hot_key_modifiers, o.hot_key_virtual_key);
        if (r == platform::grab_result::grabbed)
            return true;
        if (r == platform::grab_result::unsupported) {
            // Said once per run: there is nothing the user can change about it.
            static bool said = false;
            if (!said) {
                said = true;
                std::fprintf(stderr, "%s\n",
                             qPrintable(QStringLiteral("The hot key %1 is not available in this session: \"Clapper"
                                                       "board\" in the tray and Window menus still opens the "
                                                       "Clapperboard.").arg(text)));
            }
            return false;
        }
        refusal_choice choice = refusal_choice::carry_on;
        if (ask_after_refusal) {
            choice = ask_after_refusal(hot_key_refusal_text(text));
        } else if (display_available()) {
            QMessageBox box(QMessageBox::Information, QStringLiteral("Unable to Register Hot Key for Clapperboard"),
                            hot_key_refusal_text(text), QMessageBox::NoButton, &parts_.frame);
            QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
            QPushButton* again = box.addButton(QStringLiteral("&Try Again"), QMessageBox::AcceptRole);
            box.addButton(QStringLiteral("&Continue"), QMessageBox::DestructiveRole);
            box.setDefaultButton(again);
            box.exec();
            choice = box.clickedButton() == cancel  ? refusal_choice::cancel
                     : box.clickedButton() == again ? refusal_choice::try_again
                                                    : refusal_choice::carry_on;
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(hot_key_refusal_text(text)));
        }
        if (choice == refusal_choice::try_again)
            continue;  // only because the user asked: never on its own
        if (choice == refusal_choice::cancel && parts_.frame.open_options_page)
            parts_.frame.open_options_page(2);  // the Clapperboard page
        return false;
    }
}

void clapperboard::release_hot_key()
{
    if (parts_.hot_key)
        parts_.hot_key->release();
}

void clapperboard::show_history_list(bool undo)
{
    std::vector<popup_line> lines;
    const std::vector<history::list_line> list = undo ? parts_.history.undo_list() : parts_.history.redo_list();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const history::list_line& l = list[i];
        QString text = l.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        if (text.size() > 90)
            text = text.left(87) + QStringLiteral("...");
        const int steps = static_cast<int>(i) + 1;
        lines.push_back({l.letter.isNull() ? QString() : QString(l.letter), text, l.ago, [this, undo, steps] {
                             undo ? parts_.history.choose_undo(steps) : parts_.history.choose_redo(steps);
                         }});
    }
    if (!undo && list.size() == 1 && list.front().letter.isNull())
        lines.front().text = QStringLiteral("Nothing to redo");
    if (undo && list.empty())
        lines.push_back({QString(), QStringLiteral("Nothing to undo"), QString(), {}});
    if (!undo && list.empty())
        lines.push_back({QString(), QStringLiteral("Nothing to redo"), QString(), {}});
    action_popup::run(undo ? QStringLiteral("Undo") : QStringLiteral("Redo"), std::move(lines), &parts_.frame);
}

}  // namespace qm::ui
