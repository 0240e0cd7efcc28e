#pragma once
// The progress window of an import or export: the rich-text log, the bar,
// the status line, "&Cancel" (then "Close") and "Close if completed without
// errors"; and the launcher that File > Import / Export and the
// Clapperboard's "M" and "E" call. While a run's window is open, opening
// import or export again brings that window up instead. Main thread only.

#include "exchange/calendar_source.h"
#include "exchange/exchange_run.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;

namespace qm::ui {

class exchange_window : public QDialog {
    Q_OBJECT
public:
    // settings_file keeps the window's layout and the check box.
    exchange_window(std::unique_ptr<exchange::exchange_run> run, exchange::direction dir, QString settings_file,
                    QWidget* parent = nullptr);
    ~exchange_window() override;

    void start();
    exchange::exchange_run& run() { return *run_; }
    QTextEdit* log() const { return log_; }
    QPushButton* button() const { return button_; }

protected:
    void reject() override;  // Escape and the close box cancel a running exchange first
    void closeEvent(QCloseEvent* event) override;

private:
    void add_line(const QString& line, bool error);
    void finished();
    void save_layout();

    std::unique_ptr<exchange::exchange_run> run_;
    QString settings_file_;
    QTextEdit* log_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* button_ = nullptr;
    QCheckBox* close_when_done_ = nullptr;
};

class exchange_launcher {
public:
    exchange_launcher(exchange::planner_side planner, QString settings_folder, QWidget* parent)
        : planner_(planner), settings_(std::move(settings_folder)), parent_(parent)
    {
    }

    // File > Import and the Clapperboard's "M: I&mport from Outlook".
    void open_import() { open(exchange::direction::import_); }
    // File > Export and the Clapperboard's "E: &Export to Outlook".
    void open_export() { open(exchange::direction::export_); }
    void open(exchange::direction dir);
    // Starts a run without the choice dialog (tests, and a repeated run).
    exchange_window* start(const exchange::calendar_source& source, const exchange::exchange_request& request);
    exchange_window* window() const { return window_; }

private:
    exchange::planner_side planner_;
    QString settings_;
    QWidget* parent_;
    QPointer<exchange_window> window_;
};

}  // namespace qm::ui
