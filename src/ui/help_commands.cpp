#include "ui/help_commands.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QMessageBox>
#include <QToolTip>

namespace qm::ui {

QString licence_text()
{
    return QStringLiteral("GNU General Public License, version 3 or any later version (GPL-3.0-or-later). "
                          "This program comes with ABSOLUTELY NO WARRANTY.");
}

QString about_text(const QString& version, const QString& data_folder)
{
    return QStringLiteral("<h3>Quillmere Planner %1</h3>"
                          "<p>A planner for personal time management.</p>"
                          "<p><b>Licence:</b> %2</p>"
                          "<p><b>Your data:</b> %3</p>")
        .arg(version.toHtmlEscaped(), licence_text().toHtmlEscaped(),
             QDir::toNativeSeparators(data_folder).toHtmlEscaped());
}

void show_about(QWidget* parent, const QString& version, const QString& data_folder)
{
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("About Quillmere Planner"));
    box.setTextFormat(Qt::RichText);
    box.setText(about_text(version, data_folder));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);  // the path can be copied
    box.setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

tooltip_switch::tooltip_switch(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

tooltip_switch::~tooltip_switch()
{
    if (qApp != nullptr)
        qApp->removeEventFilter(this);
}

void tooltip_switch::set_on(bool on)
{
    on_ = on;
    if (!on)
        QToolTip::hideText();
}

bool tooltip_switch::eventFilter(QObject* watched, QEvent* event)
{
    if (!on_ && event->type() == QEvent::ToolTip)
        return true;
    return QObject::eventFilter(watched, event);
}

}  // namespace qm::ui
