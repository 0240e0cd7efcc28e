#include "ui/task_general_page.h"

#include "model/role_store.h"
#include "store/tables.h"
#include "time/format.h"
#include "ui/checked_field.h"
#include "ui/typed_values.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace qm::ui {
namespace {

template <class T>
checked_field::checker checker_of(reading<T> (*read)(const QString&))
{
    return [read](const QString& text) -> std::optional<QString> {
        const reading<T> r = read(text);
        if (r.value)
            return std::nullopt;
        return r.why;
    };
}

std::optional<QString> time_check(const QString& text)
{
    const reading<std::int32_t> r = read_time_of_day(text);
    return r.value ? std::nullopt : std::optional<QString>(r.why);
}

std::optional<QString> duration_check(const QString& text)
{
    const reading<std::int32_t> r = read_duration(text);
    return r.value ? std::nullopt : std::optional<QString>(r.why);
}

QString date_text(time::stored_date d) { return d == time::NO_DATE ? QStringLiteral("No Date") : time::format_short_date(d); }
QString duration_text(std::int32_t s) { return s <= 0 ? QString() : time::format_duration(s); }
QString time_text(std::int32_t s) { return s < 0 ? QString() : time::format_time_of_day(s == 0 ? 0 : s); }

}  // namespace

task_general_page::task_general_page(const task_page_context& context, QWidget* parent)
    : task_dialog_page(parent), context_(context)
{
    setObjectName(QStringLiteral("task_general_page"));
    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    name_ = new QLineEdit(this);
    form->addRow(QStringLiteral("&Name:"), name_);
    date_ = new checked_field(checker_of(&read_date), this);
    form->addRow(QStringLiteral("&Date:"), date_);
    priority_ = new QComboBox(this);
    priority_->addItems({QStringLiteral("A \u2014 Critical"), QStringLiteral("B \u2014 Important"),
                         QStringLiteral("C \u2014 Desired")});
    form->addRow(QStringLiteral("Day &priority:"), priority_);
    estimate_ = new checked_field(duration_check, this);
    form->addRow(QStringLiteral("&Estimate:"), estimate_);
    original_ = new checked_field(duration_check, this);
    form->addRow(QStringLiteral("&Original estimate:"), original_);
    status_ = new QComboBox(this);
    for (int s = 0; s <= model::status::waiting; ++s)
        status_->addItem(model::status_text(s, true));
    form->addRow(QStringLiteral("&Status:"), status_);
    splittable_ = new QCheckBox(QStringLiteral("The schedule may split this task across free periods"), this);
    form->addRow(QStringLiteral("Sp&littable:"), splittable_);
    after_ = new checked_field(time_check, this);
    after_label_ = new QLabel(QStringLiteral("Schedule &after:"), this);
    after_label_->setBuddy(after_->edit());
    form->addRow(after_label_, after_);
    before_ = new checked_field(time_check, this);
    before_label_ = new QLabel(QStringLiteral("Schedule &before:"), this);
    before_label_->setBuddy(before_->edit());
    form->addRow(before_label_, before_);
    deadline_ = new checked_field(checker_of(&read_deadline), this);
    form->addRow(QStringLiteral("Dead&line:"), deadline_);

    // Projects arrive with their own part of the program; the fields stand
    // ready and keep the task's values.
    project_ = new QComboBox(this);
    project_->setEnabled(false);
    form->addRow(QStringLiteral("Pro&ject:"), project_);
    project_priority_ = new QComboBox(this);
    project_priority_->addItem(QStringLiteral("<None>"));
    for (int p = 1; p <= 10; ++p)
        project_priority_->addItem(p == 1 ? QStringLiteral("1 (Highest)")
                                   : p == 10 ? QStringLiteral("10 (Lowest)")
                                             : QString::number(p));
    form->addRow(QStringLiteral("Project priorit&y:"), project_priority_);
    role_ = new QComboBox(this);
    form->addRow(QStringLiteral("&Role:"), role_);
    impact_ = new checked_field([](const QString& text) -> std::optional<QString> {
        const reading<std::int32_t> r = read_count(text);
        return r.value ? std::nullopt : std::optional<QString>(r.why);
    }, this);
    form->addRow(QStringLiteral("&Impact:"), impact_);
    description_ = new QPlainTextEdit(this);
    description_->setTabChangesFocus(true);
    form->addRow(QStringLiteral("Des&cription:"), description_);
}

QString task_general_page::description() const
{
    return QStringLiteral("What the task is, when it is planned and how long it should take.");
}

void task_general_page::load(const model::task& t)
{
    appointment_ = t.appointment;
    name_->setText(t.name);
    date_->set_text(date_text(t.date));
    priority_->setCurrentIndex(std::clamp(t.priority, 1, 3) - 1);
    priority_->setEnabled(!t.appointment);
    estimate_->set_text(duration_text(t.estimate));
    estimate_->setEnabled(!t.appointment);
    original_->set_text(duration_text(t.original_estimate));
    status_->setCurrentIndex(std::clamp(t.status, 0, model::status::waiting));
    splittable_->setChecked(t.splittable);
    splittable_->setEnabled(!t.appointment);
    if (t.appointment) {
        after_label_->setText(QStringLiteral("St&art:"));
        before_label_->setText(QStringLiteral("Durat&ion:"));
        after_->set_text(time_text(t.appointment_start));
        before_->set_text(duration_text(t.appointment_duration));
    } else {
        after_->set_text(time_text(t.appointment_start));
        // A stored 0 is the end of the day.
        before_->set_text(t.appointment_duration < 0 ? QString() : time_text(t.appointment_duration == 0 ? 86400 : t.appointment_duration));
    }
    deadline_->set_text(t.deadline == 0 ? QString() : time::format_date_time(t.deadline));
    project_->clear();
    project_->addItem(t.project == 0 ? QStringLiteral("<None>") : QStringLiteral("Project %1").arg(t.project));
    project_priority_->setCurrentIndex(std::clamp(t.project_priority, 0, 10));
    project_priority_->setEnabled(t.project != 0);
    role_->clear();
    role_->addItem(QStringLiteral("<None>"), 0);
    // In role order, each with its life area and in its colours.
    const model::role_store roles(context_.tables);
    for (const model::role_ptr& r : roles.roles()) {
        const store::role_record& area = roles.find(r->parent);
        role_->addItem(model::role_store::is_life_area(area) ? QStringLiteral("%1 (%2)").arg(r->name, area.name)
                                                             : r->name,
                       r->id);
        role_->setItemData(role_->count() - 1, QColor(model::red_of(r->background_color),
                                                      model::green_of(r->background_color),
                                                      model::blue_of(r->background_color)),
                           Qt::BackgroundRole);
        role_->setItemData(role_->count() - 1, QColor(model::red_of(r->foreground_color),
                                                      model::green_of(r->foreground_color),
                                                      model::blue_of(r->foreground_color)),
                           Qt::ForegroundRole);
    }
    const int role_index = role_->findData(t.role);
    role_->setCurrentIndex(role_index >= 0 ? role_index : 0);
    loaded_role_index_ = role_->currentIndex();
    impact_->set_text(t.units == 0 ? QString() : QString::number(t.units));
    description_->setPlainText(t.description);
    loaded_ = t;
    loaded_texts_ = {date_->text(), deadline_->text(), after_->text(), before_->text()};
}

bool task_general_page::store(model::task& t, QString& error)
{
    // Every field first, so that a refused one changes nothing.
    // A field left as shown keeps its value and is not read again: a master's
    // special date or its deadline offset need not parse as typed dates.
    auto left_as_shown = [&](const checked_field* f) {
        return (f == date_ && f->text() == loaded_texts_.value(0)) ||
               (f == deadline_ && f->text() == loaded_texts_.value(1));
    };
    for (checked_field* f : {date_, estimate_, original_, after_, before_, deadline_, impact_})
        if (!left_as_shown(f) && !f->check()) {
            error = f->message();
            f->edit()->setFocus();
            return false;
        }
    const auto date = read_date(date_->text());
    const auto deadline = read_deadline(deadline_->text());
    const auto estimate = read_duration(estimate_->text());
    const auto original = read_duration(original_->text());
    const auto impact = read_count(impact_->text());
    const auto after = read_time_of_day(after_->text());
    std::int32_t before_value = -1;
    if (appointment_) {
        before_value = read_duration(before_->text()).value.value_or(0);
    } else {
        const auto before = read_time_of_day(before_->text());
        before_value = *before.value;
        if (before_value == 86400)
            before_value = 0;  // the end of the day is stored as 0
        if (*after.value >= 0 && before_value >= 0 && (before_value == 0 ? 86400 : before_value) <= *after.value) {
            error = QStringLiteral("\"Schedule before\" must be later than \"schedule after\".");
            before_->edit()->setFocus();
            return false;
        }
    }

    // A field left as shown keeps its value exactly (the texts show whole minutes).
    const bool date_kept = date_->text() == loaded_texts_.value(0);
    const bool deadline_kept = deadline_->text() == loaded_texts_.value(1);
    const bool after_kept = after_->text() == loaded_texts_.value(2);
    const bool before_kept = before_->text() == loaded_texts_.value(3);

    t.name = name_->text();
    t.date = date_kept ? loaded_.date : *date.value;
    if (!appointment_) {
        t.priority = priority_->currentIndex() + 1;
        t.estimate = *estimate.value;
        t.splittable = splittable_->isChecked();
    }
    t.original_estimate = *original.value;
    if (t.original_estimate == 0 && !appointment_)
        t.original_estimate = t.estimate;  // the first estimate is kept for comparison, as in the lists
    t.status = status_->currentIndex();
    t.appointment_start = after_kept ? loaded_.appointment_start : *after.value;
    t.appointment_duration = before_kept ? loaded_.appointment_duration : before_value;
    t.deadline = deadline_kept ? loaded_.deadline : *deadline.value;
    if (t.project != 0)
        t.project_priority = project_priority_->currentIndex();
    // A role deleted since shows as none, but the task keeps its id unless
    // another role is chosen.
    if (role_->currentIndex() != loaded_role_index_)
        t.role = role_->currentData().toInt();
    else
        t.role = loaded_.role;
    t.units = *impact.value;
    t.description = description_->toPlainText();
    return true;
}

}  // namespace qm::ui
