#pragma once
// The Options dialog: pages on the left, the page's name and description
// above it, and "Restore Defaults", "OK", "Apply", "Cancel". Apply writes
// the controls into the options, saves "options.ini" and tells the views.

#include "app/options.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QTableWidget;
class QTimeEdit;

namespace qm::ui {

class options_dialog : public QDialog {
    Q_OBJECT
public:
    options_dialog(app::options& options, QString options_file, QWidget* parent = nullptr);

    void apply();
    void restore_defaults();
    QStringList page_names() const;

signals:
    void applied();

public:
    void show_page(int index);
    // The five default-alarm buttons: the key (16, 17, 18, 20, 24) to edit.
    std::function<void(int key, QWidget* parent)> edit_alarm_defaults;

private:
    void load_controls(const app::options& o);
    void store_controls(app::options& o) const;
    QWidget* calendar_page();
    QWidget* formatting_page();
    QWidget* clapperboard_page();
    QWidget* idle_page();
    QWidget* alarms_page();
    QWidget* shortcuts_page();
    void filter_shortcuts(const QString& text);

    app::options& options_;
    QString options_file_;
    QListWidget* pages_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* description_ = nullptr;
    QStringList descriptions_;

    QComboBox* workload_ = nullptr;
    QComboBox* first_day_ = nullptr;
    QTimeEdit* working_start_ = nullptr;
    QTimeEdit* working_end_ = nullptr;
    QTimeEdit* sleeping_start_ = nullptr;
    QTimeEdit* sleeping_end_ = nullptr;
    QComboBox* duration_format_ = nullptr;
    QComboBox* time_format_ = nullptr;
    QComboBox* short_date_format_ = nullptr;
    QComboBox* long_date_format_ = nullptr;
    QCheckBox* alt_ = nullptr;
    QCheckBox* control_ = nullptr;
    QCheckBox* shift_ = nullptr;
    QCheckBox* windows_key_ = nullptr;
    QLineEdit* hot_key_ = nullptr;
    int hot_key_code_ = 186;
    QCheckBox* idle_show_ = nullptr;
    QComboBox* idle_threshold_ = nullptr;
    QCheckBox* conflict_alarms_ = nullptr;
    QCheckBox* deadline_alarms_ = nullptr;
    QTableWidget* shortcuts_ = nullptr;
};

}  // namespace qm::ui
