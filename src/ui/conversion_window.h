#pragma once
// The small window that shows the conversion of an older database file step
// by step, and the questions and notices of the conversion. Main thread only:
// the conversion runs there, so the window repaints whenever it reports.

#include "app/conversion_presenter.h"

#include <QElapsedTimer>
#include <QPointer>

class QLabel;
class QProgressBar;
class QWidget;

namespace qm::ui {

class conversion_window : public app::conversion_presenter {
public:
    conversion_window();
    ~conversion_window() override;

    void progress(const QString& step, int number, int count) override;
    void working() override;
    void finished() override;
    store::backup_answer backup_failed(const QString& caption, const QString& text) override;
    void show_notice(const QString& caption, const QString& text) override;

    // The window while it is shown (for tests), else nullptr.
    QWidget* window() const;

private:
    void repaint_now();

    QPointer<QWidget> window_;
    QLabel* step_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QElapsedTimer since_repaint_;
};

}  // namespace qm::ui
