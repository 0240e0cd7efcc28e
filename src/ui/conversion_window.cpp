#include "ui/conversion_window.h"

#include "store/database_settings.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace qm::ui {

conversion_window::conversion_window() = default;

conversion_window::~conversion_window() { delete window_.data(); }

QWidget* conversion_window::window() const { return window_.data(); }

void conversion_window::progress(const QString& step, int number, int count)
{
    if (!window_) {
        window_ = new QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        window_->setWindowTitle(QStringLiteral("Quillmere Planner"));
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* layout = new QVBoxLayout(window_);
        layout->setContentsMargins(18, 16, 18, 16);
        layout->setSpacing(10);
        auto* heading = new QLabel(
            QStringLiteral("<b>Converting your database for Quillmere Planner %1</b>")
                .arg(store::version_text(store::program_major, store::program_minor)),
            window_);
        layout->addWidget(heading);
        auto* note = new QLabel(QStringLiteral("The file was written by an older version. A copy of it is kept "
                                               "beside it before anything is changed."),
                                window_);
        note->setWordWrap(true);
        layout->addWidget(note);
        step_ = new QLabel(window_);
        step_->setWordWrap(true);
        layout->addWidget(step_);
        bar_ = new QProgressBar(window_);
        bar_->setTextVisible(true);
        layout->addWidget(bar_);
        window_->setMinimumWidth(460);
        window_->adjustSize();
        // The step texts differ in length: a fixed size keeps the window still.
        window_->setFixedSize(window_->size());
        window_->show();
        window_->raise();
    }
    step_->setText(QStringLiteral("Step %1 of %2: %3").arg(number).arg(count).arg(step));
    bar_->setRange(0, count);
    bar_->setValue(number - 1);
    bar_->setFormat(QStringLiteral("%v of %m steps done"));
    repaint_now();
}

void conversion_window::working()
{
    // The conversion calls this often; painting every time would slow it.
    if (window_ && since_repaint_.isValid() && since_repaint_.elapsed() < 50)
        return;
    repaint_now();
}

void conversion_window::repaint_now()
{
    if (!window_)
        return;
    // The conversion holds the main thread: let the window paint and move,
    // but take no input that could start other work meanwhile.
    window_->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    since_repaint_.restart();
}

void conversion_window::finished()
{
    if (!window_)
        return;
    bar_->setValue(bar_->maximum());
    delete window_.data();
}

store::backup_answer conversion_window::backup_failed(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, window_.data());
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    QPushButton* again = box.addButton(QStringLiteral("Try Again"), QMessageBox::AcceptRole);
    QPushButton* go_on = box.addButton(QStringLiteral("Continue"), QMessageBox::DestructiveRole);
    box.setDefaultButton(again);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == again)
        return store::backup_answer::try_again;
    if (box.clickedButton() == go_on)
        return store::backup_answer::go_on;
    return store::backup_answer::cancel;
}

void conversion_window::show_notice(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, window_.data());
    box.exec();
}

}  // namespace qm::ui
