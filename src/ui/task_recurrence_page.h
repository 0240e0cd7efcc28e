#pragma once
// The Recurrence page of the task dialog: the pattern of the task's
// recurrence (its master's, for an occurrence) and a master's deadline in
// days from each occurrence. Confirming the dialog makes a plain task the
// master of a new recurrence, or changes the pattern with the cascade
// question.

#include "time/recurrence.h"
#include "ui/task_dialog.h"

#include <optional>

namespace qm::ui {

class recurrence_editor;

class task_recurrence_page : public task_dialog_page {
    Q_OBJECT
public:
    task_recurrence_page(const task_page_context& context, QWidget* parent = nullptr);
    QString title() const override { return QStringLiteral("Recurrence"); }
    QString description() const override;
    void load(const model::task& t) override;
    bool store(model::task& t, QString& error) override;

    // The pattern chosen when the page was last stored; nullopt for None.
    const std::optional<time::recurrence>& wanted() const { return wanted_; }
    // Whether the chosen pattern differs from the one the task had.
    bool pattern_changed() const;
    recurrence_editor* editor() const { return editor_; }

private:
    task_page_context context_;
    recurrence_editor* editor_ = nullptr;
    std::optional<time::recurrence> loaded_;
    std::optional<time::recurrence> wanted_;
    bool master_ = false;      // the task is a master
    bool occurrence_ = false;  // the task is an occurrence of a master
    std::int64_t loaded_offset_ = 0;
};

}  // namespace qm::ui
