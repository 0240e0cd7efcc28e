#pragma once

#include <QApplication>

namespace qm::ui {

// The application object. A database failure raised inside an event handler
// cannot unwind through Qt's event loop, so it is caught here: the report is
// shown, the writes already queued are drained, and the process ends with 0.
class application : public QApplication {
public:
    application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace qm::ui
