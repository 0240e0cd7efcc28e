#include "ui/tracked_time_editor.h"

#include "time/format.h"
#include "ui/checked_field.h"
#include "ui/typed_values.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

std::optional<QString> date_check(const QString& text)
{
    const auto r = read_date(text);
    if (!r.value)
        return r.why;
    if (*r.value == time::NO_DATE)
        return QStringLiteral("A tracked time needs a date.");
    return std::nullopt;
}

std::optional<QString> time_check(const QString& text)
{
    const auto r = read_time_of_day(text, false);
    return r.value ? std::nullopt : std::optional<QString>(r.why);
}

std::optional<QString> length_check(const QString& text)
{
    const auto r = read_duration(text, false);
    return r.value ? std::nullopt : std::optional<QString>(r.why);
}

QString duration_text(std::int64_t s) { return time::format_duration(s, QString(), time::duration_options{true, false}); }

}  // namespace

bool overlaps(const tracking::TrackedTime& a, const tracking::TrackedTime& b)
{
    return a.start < tracking::end_of(b) && b.start < tracking::end_of(a);
}

tracked_time_editor::tracked_time_editor(const tracking::TrackedTime& entry, const tracking::TrackedTime* running,
                                         QWidget* parent)
    : QDialog(parent), entry_(entry)
{
    setWindowTitle(entry.id == 0 ? QStringLiteral("Add Tracked Time") : QStringLiteral("Edit Tracked Time"));
    setObjectName(QStringLiteral("tracked_time_editor"));
    if (running != nullptr && running->id != entry.id)
        running_ = *running;

    start_date_ = new checked_field(date_check, this);
    start_time_ = new checked_field(time_check, this);
    end_date_ = new checked_field(date_check, this);
    end_time_ = new checked_field(time_check, this);
    length_ = new checked_field(length_check, this);
    problem_ = new QLabel(this);
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b00020;"));

    auto pair = [this](checked_field* a, checked_field* b) {
        auto* w = new QWidget(this);
        auto* l = new QHBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(a, 1);
        l->addWidget(b, 1);
        return w;
    };
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Start (date, time):"), pair(start_date_, start_time_));
    form->addRow(QStringLiteral("&End (date, time):"), pair(end_date_, end_time_));
    form->addRow(QStringLiteral("&Duration:"), length_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &tracked_time_editor::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addStretch(1);
    layout->addWidget(buttons);

    for (checked_field* f : {start_date_, start_time_, end_date_, end_time_, length_})
        connect(f, &checked_field::accepted_text, this, [this] { field_changed(); });
    show_entry();
    resize(560, sizeHint().height());
}

void tracked_time_editor::show_entry()
{
    const time::stored_time end = tracking::end_of(entry_);
    start_date_->set_text(time::format_short_date(time::date_of(entry_.start)));
    start_time_->set_text(time::format_time_of_day(entry_.start - time::date_of(entry_.start)));
    end_date_->set_text(time::format_short_date(time::date_of(end)));
    end_time_->set_text(time::format_time_of_day(end - time::date_of(end)));
    length_->set_text(duration_text(entry_.duration));
    shown_ = {start_date_->text(), start_time_->text(), end_date_->text(), end_time_->text(), length_->text()};
    QString problem;
    if (running_ && overlaps(entry_, *running_))
        problem = QStringLiteral("This entry overlaps the running entry (%1).")
                      .arg(time::time_range_text(running_->start, running_->duration));
    problem_->setText(problem);
}

std::optional<time::stored_time> tracked_time_editor::typed_start() const
{
    const auto d = read_date(start_date_->text());
    const auto t = read_time_of_day(start_time_->text(), false);
    if (!d.value || !t.value || *d.value == time::NO_DATE)
        return std::nullopt;
    return *d.value + *t.value;
}

std::optional<time::stored_time> tracked_time_editor::typed_end() const
{
    const auto d = read_date(end_date_->text());
    const auto t = read_time_of_day(end_time_->text(), false);
    if (!d.value || !t.value || *d.value == time::NO_DATE)
        return std::nullopt;
    return *d.value + *t.value;
}

void tracked_time_editor::field_changed()
{
    // The other fields follow the one typed; a refused value keeps the old times.
    if (read()) {
        show_entry();
        return;
    }
    const QString why = problem_->text();
    show_entry();
    problem_->setText(why);
}

QString tracked_time_editor::problem() const { return problem_->text(); }

bool tracked_time_editor::read()
{
    for (checked_field* f : {start_date_, start_time_, end_date_, end_time_, length_})
        if (!f->check()) {
            problem_->setText(f->message());
            return false;
        }
    // The fields show whole minutes: what was not retyped keeps its seconds.
    const bool start_typed = start_date_->text() != shown_[0] || start_time_->text() != shown_[1];
    const bool end_typed = end_date_->text() != shown_[2] || end_time_->text() != shown_[3];
    const bool length_typed = length_->text() != shown_[4];
    time::stored_time start = entry_.start;
    time::stored_time end = tracking::end_of(entry_);
    if (start_typed) {
        const auto s = typed_start();
        if (!s)
            return false;
        start = *s;
        if (!end_typed && !length_typed)
            end = start + entry_.duration;
    }
    if (end_typed) {
        const auto e = typed_end();
        if (!e)
            return false;
        end = *e;
    } else if (length_typed) {
        end = start + *read_duration(length_->text(), false).value;
    }
    if (end < start) {
        problem_->setText(QStringLiteral("The end lies before the start."));
        return false;
    }
    entry_.start = start;
    entry_.duration = tracking::clamp_duration(end - start);
    return true;
}

void tracked_time_editor::accept()
{
    if (read())
        QDialog::accept();
}

}  // namespace qm::ui
