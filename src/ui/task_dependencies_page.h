#pragma once
// The Dependencies page of the task dialog: the tasks this one waits on,
// chosen by name with completion and removed again. A choice that would make
// two tasks wait on each other is refused with a word.

#include "ui/task_dialog.h"

#include <QMap>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace qm::ui {

class task_dependencies_page : public task_dialog_page {
    Q_OBJECT
public:
    task_dependencies_page(const task_page_context& context, QWidget* parent = nullptr);
    QString title() const override { return QStringLiteral("Dependencies"); }
    QString description() const override;
    void load(const model::task& t) override;
    bool store(model::task& t, QString& error) override;

    QLineEdit* chooser() const { return chooser_; }
    QTreeWidget* list() const { return list_; }
    QString problem() const;
    const std::vector<std::int32_t>& dependencies() const { return dependencies_; }
    // Adds the task named in the chooser; false (with the reason shown) when
    // no single task has that name or the link would close a circle.
    bool add_chosen();
    void remove_selected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void say(const QString& text);
    std::int32_t find_named(const QString& text, QString& error) const;

    task_page_context context_;
    std::int32_t task_id_ = 0;
    std::vector<std::int32_t> dependencies_;
    QMap<QString, std::int32_t> choices_;  // the completion texts
    QLineEdit* chooser_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace qm::ui
