#pragma once
// The Tags page of the task dialog: every tag with a check box, and a box
// to type a new one, which is created when the task is saved.

#include "ui/task_dialog.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace qm::ui {

class task_tags_page : public task_dialog_page {
    Q_OBJECT
public:
    task_tags_page(const task_page_context& context, QWidget* parent = nullptr);
    QString title() const override { return QStringLiteral("Tags"); }
    QString description() const override;
    void load(const model::task& t) override;
    bool store(model::task& t, QString& error) override;

    QListWidget* list() const { return list_; }
    QLineEdit* new_tag() const { return typed_; }
    // Checks the tag typed in the box, adding it to the list when it is new
    // (names match without regard to case); false for a blank name.
    bool add_typed();
    // The names of the checked tags, in the list's order.
    QStringList checked() const;
    void set_checked(const QString& name, bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void add_row(const model::tag_ref& tag, bool on);
    void show_count();

    task_page_context context_;
    std::vector<model::tag_ref> loaded_;
    QListWidget* list_ = nullptr;
    QLineEdit* typed_ = nullptr;
    QLabel* count_ = nullptr;
};

}  // namespace qm::ui
