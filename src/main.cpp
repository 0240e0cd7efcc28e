// The entry point: one copy per user, the main frame, the event loop, and
// the exit codes (1 after a normal end or when another copy was shown, 0 after
// a database failure on the main thread).

#include "app/core.h"
#include "app/crash_handler.h"
#include "app/data_folder.h"
#include "app/message_box.h"
#include "app/options.h"
#include "app/single_instance.h"
#include "app/termination_signals.h"
#include "platform/desktop_identity.h"
#include "store/database.h"
#include "store/database_settings.h"
#include "store/sqlite_exception.h"
#include "store/upgrade.h"
#include "ui/application.h"
#include "ui/main_frame.h"
#include "ui/conversion_window.h"
#include "ui/message_box_presenter.h"
#include "ui/planner.h"
#include "ui/tray_icon.h"

#include <QDir>
#include <QStyle>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

bool display_reachable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;  // the caller chose a platform, offscreen included
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int run(qm::ui::application& application)
{
    qm::app::data_folder_locator folders;
    qm::app::install_crash_handler(folders.data_folder());

    // Installed first: a session that ends while the planner is still
    // starting must not kill it before the orderly shutdown can run. The
    // request waits in the event loop until the frame exists.
    qm::ui::main_frame* running_frame = nullptr;
    qm::app::termination_signals terminate_handler([&running_frame](int) {
        if (running_frame != nullptr)
            running_frame->exit_program();
        else
            QCoreApplication::exit(1);
    });

    const bool skip_check = qm::app::skip_check_present();
    qm::app::single_instance instance;
    const bool first = instance.acquire();
    if (!first && !skip_check) {
        instance.ask_running_copy_to_show();
        return 1;
    }
    if (first)
        instance.listen();

    // Options come before the frame: the storage folder and the clock depend on them.
    qm::app::options& options = qm::app::current_options();
    options.load(folders.home_settings_folder() + qm::app::options_file_name());
    folders.set_storage_directory(options.storage_directory);
    qm::app::apply_time_options(options);
    qm::app::install_crash_handler(folders.data_folder());

    qm::ui::planner planner(folders);
    qm::ui::main_frame& frame = planner.frame();
    try {
        planner.start();
    } catch (const qm::store::sqlite_exception& e) {
        if (e.busy()) {
            // Nothing was read or written; the other program is the one to close.
            qm::app::show_error_message(
                QStringLiteral("Quillmere Planner"),
                QStringLiteral("The database \"%1\" is in use by another program, which kept it locked for "
                               "%2 seconds. Close that program and start Quillmere Planner again; the file has "
                               "not been changed.")
                    .arg(QDir::toNativeSeparators(planner.core().folders().database_path()))
                    .arg(qm::store::busy_timeout_milliseconds() / 1000.0));
            return 0;
        }
        // Reported here, while the main connection still knows its last SQL.
        qm::app::report_database_error(e.message());
        return 0;
    } catch (const qm::app::data_folder_unusable& e) {
        qm::app::show_error_message(QStringLiteral("Quillmere Planner"), e.text());
        return 0;
    } catch (const qm::store::unsupported_version& e) {
        qm::app::show_error_message(
            QStringLiteral("Quillmere Planner"),
            QStringLiteral("The database \"%1\" was written by Quillmere Planner %2, a newer version than this "
                           "one (%3). Please start that version or a newer one; the file has not been changed.")
                .arg(planner.core().folders().database_path(), e.text(), qm::store::about_version_text()));
        return 0;
    } catch (const qm::store::conversion_cancelled&) {
        return 0;  // the user chose to stop before anything was changed
    } catch (const qm::app::restart_requested&) {
        return 1;  // the first part of a conversion is done; the next run goes on
    }

    QObject::connect(&instance, &qm::app::single_instance::show_requested, &frame,
                     &qm::ui::main_frame::show_and_activate);
    running_frame = &frame;

    frame.restore_placement();
    frame.show_and_activate();
    return application.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    if (!display_reachable()) {
        std::fprintf(stderr,
                     "Quillmere Planner needs a graphical display, and none was found (DISPLAY is not set).\n"
                     "Start it from a desktop session, or under a virtual display such as xvfb-run.\n");
        return 2;
    }
    qm::ui::application application(argc, argv);
    qm::platform::set_desktop_identity();
    QApplication::setWindowIcon(qm::ui::program_icon());  // every window and message box
    QApplication::setQuitOnLastWindowClosed(false);
    if (qm::ui::display_available()) {
        qm::app::set_message_presenter(std::make_shared<qm::ui::message_box_presenter>());
        qm::app::set_conversion_presenter(std::make_shared<qm::ui::conversion_window>());
    }

    int code = 0;
    try {
        code = run(application);
    } catch (const qm::store::sqlite_exception& e) {
        qm::app::report_database_error(e.message());
    }
    // The conversion window goes before the application object does.
    qm::app::set_conversion_presenter(nullptr);
    return code;
}
