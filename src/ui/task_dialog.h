#pragma once
// The task dialog (Edit > Properties): a list of pages, each one class that
// shows and edits a working copy of the task. Later parts add their pages to
// task_dialog_pages(). Confirming writes the copy as one undoable change.
// Its size and last page are kept in "task_dlg.ini".

#include "history/task_commands.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QStackedWidget;

namespace qm::store {
struct tables;
}
namespace qm::tracking {
class task_timer;
}

namespace qm::ui {

// What a page may read besides the task.
struct task_page_context {
    model::task_store& store;
    store::tables& tables;
    const tracking::task_timer* timer = nullptr;  // nullptr where nothing is timed
};

class task_dialog_page : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual QString title() const = 0;
    // The sentence shown above the page.
    virtual QString description() const = 0;
    // Shows the working copy.
    virtual void load(const model::task& t) = 0;
    // Writes the page's fields into the copy; false (with the reason) leaves
    // the copy untouched and the dialog open on this page.
    virtual bool store(model::task& t, QString& error) = 0;
};

using task_page_factory = std::function<task_dialog_page*(const task_page_context&, QWidget* parent)>;
// Every page of the dialog, in the order shown.
std::vector<task_page_factory>& task_dialog_pages();

class task_dialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int general_page = 0;
    static constexpr int timers_page = 1;

    task_dialog(const model::task& t, model::task_store& store, store::tables& tables,
                const tracking::task_timer* timer, QString settings_file, QWidget* parent = nullptr);
    ~task_dialog() override;

    void show_page(int index);
    int current_page() const;
    int page_count() const { return static_cast<int>(pages_.size()); }
    task_dialog_page* page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }

    // The working copy with every page written into it; false (and the dialog
    // on the page at fault, with its message) when a page refuses its input.
    bool gather(model::task& out);
    const QString& error_text() const { return error_; }
    // After the dialog was accepted: the copy as one undoable change of the
    // task. False when nothing changed or the task is gone.
    bool commit(history::task_commands& commands);

    void accept() override;

private:
    void save_settings() const;

    model::task_store& store_;
    model::task copy_;
    model::task result_;
    const tracking::task_timer* timer_;
    QString settings_file_;
    std::vector<task_dialog_page*> pages_;
    QListWidget* page_list_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* error_label_ = nullptr;
    QString error_;
};

}  // namespace qm::ui
