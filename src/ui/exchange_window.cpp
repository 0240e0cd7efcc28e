#include "ui/exchange_window.h"

#include "app/settings_document.h"
#include "ui/exchange_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace qm::ui {

exchange_window::exchange_window(std::unique_ptr<exchange::exchange_run> run, exchange::direction dir,
                                 QString settings_file, QWidget* parent)
    : QDialog(parent), run_(std::move(run)), settings_file_(std::move(settings_file))
{
    setWindowTitle(dir == exchange::direction::import_ ? QStringLiteral("Import Appointments")
                                                       : QStringLiteral("Export Appointments"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    log_ = new QTextEdit(this);
    log_->setReadOnly(true);
    layout->addWidget(log_);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 0);  // busy until the worker knows how much there is
    layout->addWidget(bar_);
    status_ = new QLabel(this);
    layout->addWidget(status_);
    auto* row = new QHBoxLayout;
    close_when_done_ = new QCheckBox(QStringLiteral("Close if completed without errors"), this);
    button_ = new QPushButton(QStringLiteral("&Cancel"), this);
    row->addWidget(close_when_done_);
    row->addStretch();
    row->addWidget(button_);
    layout->addLayout(row);

    const app::settings_document doc = app::settings_document::load(settings_file_);
    close_when_done_->setChecked(doc.get_bool(QStringLiteral("progress"), QStringLiteral("close_if_completed")));
    const int w = doc.get_int(QStringLiteral("progress"), QStringLiteral("width"), 560);
    const int h = doc.get_int(QStringLiteral("progress"), QStringLiteral("height"), 360);
    resize(std::clamp(w, 300, 3000), std::clamp(h, 200, 3000));

    connect(button_, &QPushButton::clicked, this, [this] { reject(); });
    run_->on_line = [this](const QString& line, bool error) { add_line(line, error); };
    run_->on_progress = [this](int value, int maximum) {
        bar_->setRange(0, std::max(1, maximum));
        bar_->setValue(std::min(value, std::max(1, maximum)));
    };
    run_->on_status = [this](const QString& s) { status_->setText(s); };
    run_->on_finished = [this] { finished(); };
}

exchange_window::~exchange_window() = default;

void exchange_window::start() { run_->start(); }

void exchange_window::add_line(const QString& line, bool error)
{
    // Plain text in a rich-text log: names may hold "<" and "&".
    const QString text = line.toHtmlEscaped();
    log_->append(error ? QStringLiteral("<span style=\"color:#b00020\">%1</span>").arg(text) : text);
}

void exchange_window::finished()
{
    bar_->setRange(0, 1);
    bar_->setValue(1);
    button_->setText(QStringLiteral("Close"));
    if (close_when_done_->isChecked() && !run_->had_errors())
        close();
}

void exchange_window::reject()
{
    if (!run_->finished()) {
        run_->cancel();
        status_->setText(QStringLiteral("Canceling..."));
        return;
    }
    save_layout();
    QDialog::reject();
}

void exchange_window::closeEvent(QCloseEvent* event)
{
    if (!run_->finished()) {
        // The run ends first, at its next item.
        run_->cancel();
        status_->setText(QStringLiteral("Canceling..."));
        event->ignore();
        return;
    }
    save_layout();
    event->accept();
}

void exchange_window::save_layout()
{
    app::settings_document doc = app::settings_document::load(settings_file_);
    doc.set_int(QStringLiteral("progress"), QStringLiteral("width"), width());
    doc.set_int(QStringLiteral("progress"), QStringLiteral("height"), height());
    doc.set_int(QStringLiteral("progress"), QStringLiteral("close_if_completed"), close_when_done_->isChecked() ? 1 : 0);
    doc.save(settings_file_);
}

void exchange_launcher::open(exchange::direction dir)
{
    if (window_) {
        window_->show();
        window_->raise();
        window_->activateWindow();
        return;
    }
    const bool import = dir == exchange::direction::import_;
    exchange_dialog dialog(dir, settings_ + (import ? QStringLiteral("outlook_import.ini") : QStringLiteral("outlook_export.ini")),
                           parent_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    start(dialog.source(), dialog.request());
}

exchange_window* exchange_launcher::start(const exchange::calendar_source& source, const exchange::exchange_request& request)
{
    if (window_)
        return window_;
    const bool import = request.dir == exchange::direction::import_;
    exchange::exchange_request r = request;
    if (r.versions_file.isEmpty())
        r.versions_file = settings_ + QStringLiteral("calendar_versions.txt");
    auto run = std::make_unique<exchange::exchange_run>(planner_, exchange::make_backend(source), r);
    window_ = new exchange_window(std::move(run), request.dir,
                                  settings_ + (import ? QStringLiteral("outlook_import_progress.ini")
                                                      : QStringLiteral("outlook_export_progress.ini")),
                                  parent_);
    window_->setWindowTitle((import ? QStringLiteral("Import from ") : QStringLiteral("Export to ")) +
                            exchange::source_names().value(source.kind));
    window_->show();
    window_->start();
    return window_;
}

}  // namespace qm::ui
