#pragma once
// "Import from …" and "Export to …": where the calendars are (Outlook,
// iCalendar files, a CalDAV server), the range, the calendars to read or
// write, and for an export the calendar that receives new appointments.
// Kept in "outlook_import.ini" / "outlook_export.ini" (section "calendars");
// a server password is never written.

#include "exchange/calendar_source.h"
#include "exchange/exchange_run.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace qm::ui {

class exchange_dialog : public QDialog {
    Q_OBJECT
public:
    exchange_dialog(exchange::direction dir, QString settings_file, QWidget* parent = nullptr);

    exchange::calendar_source source() const;
    exchange::exchange_request request() const;

    // For tests and for the file chooser: adds a file as a calendar, checked.
    void add_file(const QString& path);
    QListWidget* calendar_list() const { return calendars_; }

    void accept() override;

private:
    void source_changed();
    void choose_file();
    void find_calendars();
    void fill_defaults();
    void load();
    void save() const;

    exchange::direction dir_;
    QString settings_file_;
    QComboBox* source_ = nullptr;
    QComboBox* range_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QLineEdit* server_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QListWidget* calendars_ = nullptr;
    QComboBox* default_ = nullptr;
    QLabel* note_ = nullptr;
    QStringList chosen_;  // the calendars checked last time
    QString default_id_;
};

}  // namespace qm::ui
