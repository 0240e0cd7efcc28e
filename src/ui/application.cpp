#include "ui/application.h"

#include "app/core.h"
#include "store/sqlite_exception.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace qm::ui {
namespace {

[[noreturn]] void end_after_failure(const QString& message)
{
    app::report_database_error(message);
    if (app::core* c = app::core::instance())
        c->shutdown();
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace

application::application(int& argc, char** argv) : QApplication(argc, argv) {}

bool application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const store::sqlite_exception& e) {
        end_after_failure(e.message());
    } catch (const std::exception& e) {
        end_after_failure(QString::fromUtf8(e.what()));
    }
}

}  // namespace qm::ui
