#include "ui/recurrence_editor.h"

#include "time/calendar.h"
#include "time/format.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

enum choice { none = 0, daily = 1, weekly = 2, monthly = 3, yearly = 4 };
// The year the yearly date picker shows: a leap year, so February 29 can be chosen.
constexpr int picker_year = 2004;

QDate to_qdate(time::stored_date d)
{
    const time::calendar_fields f = time::fields(d);
    return QDate(f.year, f.month, f.day);
}

time::stored_date from_qdate(const QDate& q) { return time::make_date(q.year(), q.month(), q.day()); }

QSpinBox* count_box(QWidget* parent, int value = 3)
{
    auto* s = new QSpinBox(parent);
    s->setRange(1, 255);  // the pattern keeps its interval in one byte
    s->setValue(value);
    return s;
}

QComboBox* list_box(QWidget* parent, const QStringList& items)
{
    auto* c = new QComboBox(parent);
    c->addItems(items);
    return c;
}

QStringList position_items() { return {"First", "Second", "Third", "Fourth", "Last"}; }

QStringList weekday_items()
{
    QStringList out;
    for (int w = 1; w <= 7; ++w)
        out << time::weekday_word(w);
    return out;
}

QStringList month_items()
{
    QStringList out;
    for (int m = 1; m <= 12; ++m)
        out << time::month_word(m);
    return out;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets)
{
    auto* h = new QHBoxLayout;
    for (QWidget* w : widgets)
        h->addWidget(w);
    h->addStretch(1);
    return h;
}

// Three choices of an interval: 1, 2 or a typed number.
int interval_of(const QRadioButton* one, const QRadioButton* two, const QSpinBox* n)
{
    return one->isChecked() ? 1 : two->isChecked() ? 2 : n->value();
}

void show_interval(int value, QRadioButton* one, QRadioButton* two, QRadioButton* every, QSpinBox* n)
{
    if (value == 1)
        one->setChecked(true);
    else if (value == 2)
        two->setChecked(true);
    else {
        every->setChecked(true);
        n->setValue(std::max(1, value));
    }
}

}  // namespace

recurrence_editor::recurrence_editor(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* pattern_box = new QGroupBox(QStringLiteral("Recurrence pattern"), this);
    auto* pattern_layout = new QHBoxLayout(pattern_box);
    auto* kinds = new QVBoxLayout;
    kinds_ = new QButtonGroup(this);
    const char* names[] = {"&None", "&Daily", "&Weekly", "&Monthly", "&Yearly"};
    for (int i = 0; i < 5; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(names[i]), pattern_box);
        kinds_->addButton(b, i);
        kinds->addWidget(b);
    }
    kinds->addStretch(1);
    pattern_layout->addLayout(kinds);
    stack_ = new QStackedWidget(pattern_box);
    pattern_layout->addWidget(stack_, 1);

    // None
    stack_->addWidget(new QWidget(stack_));

    // Daily
    {
        auto* page = new QWidget(stack_);
        auto* v = new QVBoxLayout(page);
        auto* group = new QButtonGroup(page);
        daily_1_ = new QRadioButton(QStringLiteral("Every day."), page);
        daily_2_ = new QRadioButton(QStringLiteral("Every other day."), page);
        daily_every_ = new QRadioButton(QStringLiteral("Every"), page);
        daily_n_ = count_box(page);
        for (QRadioButton* b : {daily_1_, daily_2_, daily_every_})
            group->addButton(b);
        v->addWidget(daily_1_);
        v->addWidget(daily_2_);
        v->addLayout(row({daily_every_, daily_n_, new QLabel(QStringLiteral("days."), page)}));
        v->addStretch(1);
        stack_->addWidget(page);
    }

    // Weekly
    {
        auto* page = new QWidget(stack_);
        auto* v = new QVBoxLayout(page);
        auto* grid = new QGridLayout;
        // Monday first, as a week is read; made in that order so that Tab
        // visits them as they are seen.
        for (int at = 0; at < 7; ++at) {
            const int w = (at + 1) % 7 + 1;
            days_[w - 1] = new QCheckBox(time::weekday_word(w), page);
            grid->addWidget(days_[w - 1], at / 4, at % 4);
        }
        v->addLayout(grid);
        auto* group = new QButtonGroup(page);
        weekly_1_ = new QRadioButton(QStringLiteral("every week."), page);
        weekly_2_ = new QRadioButton(QStringLiteral("every other week."), page);
        weekly_every_ = new QRadioButton(QStringLiteral("every"), page);
        weekly_n_ = count_box(page);
        for (QRadioButton* b : {weekly_1_, weekly_2_, weekly_every_})
            group->addButton(b);
        v->addWidget(weekly_1_);
        v->addWidget(weekly_2_);
        v->addLayout(row({weekly_every_, weekly_n_, new QLabel(QStringLiteral("weeks."), page)}));
        v->addStretch(1);
        stack_->addWidget(page);
    }

    // Monthly
    {
        auto* page = new QWidget(stack_);
        auto* v = new QVBoxLayout(page);
        auto* which = new QButtonGroup(page);
        monthly_every_ = new QRadioButton(QStringLiteral("Every"), page);
        QStringList day_items;
        for (int d = 1; d <= 31; ++d)
            day_items << time::ordinal(d);
        day_items << QStringLiteral("Last day");
        monthly_day_ = list_box(page, day_items);
        monthly_the_ = new QRadioButton(QStringLiteral("The"), page);
        monthly_position_ = list_box(page, position_items());
        monthly_weekday_ = list_box(page, weekday_items());
        which->addButton(monthly_every_);
        which->addButton(monthly_the_);
        v->addLayout(row({monthly_every_, monthly_day_}));
        v->addLayout(row({monthly_the_, monthly_position_, monthly_weekday_}));
        auto* group = new QButtonGroup(page);
        months_1_ = new QRadioButton(QStringLiteral("every month."), page);
        months_2_ = new QRadioButton(QStringLiteral("every other month."), page);
        months_every_ = new QRadioButton(QStringLiteral("every"), page);
        months_n_ = count_box(page);
        for (QRadioButton* b : {months_1_, months_2_, months_every_})
            group->addButton(b);
        v->addWidget(months_1_);
        v->addWidget(months_2_);
        v->addLayout(row({months_every_, months_n_, new QLabel(QStringLiteral("months."), page)}));
        v->addStretch(1);
        stack_->addWidget(page);
    }

    // Yearly
    {
        auto* page = new QWidget(stack_);
        auto* v = new QVBoxLayout(page);
        auto* which = new QButtonGroup(page);
        yearly_every_ = new QRadioButton(QStringLiteral("Every"), page);
        yearly_date_ = new QDateEdit(page);
        yearly_date_->setDisplayFormat(QStringLiteral("MMMM d"));
        yearly_date_->setDateRange(QDate(picker_year, 1, 1), QDate(picker_year, 12, 31));
        yearly_the_ = new QRadioButton(QStringLiteral("The"), page);
        yearly_position_ = list_box(page, position_items());
        yearly_weekday_ = list_box(page, weekday_items());
        yearly_month_ = list_box(page, month_items());
        which->addButton(yearly_every_);
        which->addButton(yearly_the_);
        v->addLayout(row({yearly_every_, yearly_date_}));
        v->addLayout(row({yearly_the_, yearly_position_, yearly_weekday_, new QLabel(QStringLiteral("of"), page),
                          yearly_month_}));
        v->addStretch(1);
        stack_->addWidget(page);
    }
    layout->addWidget(pattern_box);

    // Range
    auto* range_box = new QGroupBox(QStringLiteral("Range of recurrence"), this);
    auto* range = new QVBoxLayout(range_box);
    begin_ = new QDateEdit(range_box);
    begin_->setCalendarPopup(true);
    begin_->setDateRange(QDate(1970, 1, 1), QDate(2999, 12, 31));
    auto* begin_label = new QLabel(QStringLiteral("&Begin on"), range_box);
    begin_label->setBuddy(begin_);
    range->addLayout(row({begin_label, begin_}));
    auto* ends = new QButtonGroup(range_box);
    never_ = new QRadioButton(QStringLiteral("ne&ver end."), range_box);
    end_on_ = new QRadioButton(QStringLiteral("end &on"), range_box);
    ends->addButton(never_);
    ends->addButton(end_on_);
    end_ = new QDateEdit(range_box);
    end_->setCalendarPopup(true);
    end_->setDateRange(QDate(1970, 1, 1), QDate(2999, 12, 31));
    occurrences_ = new QSpinBox(range_box);
    occurrences_->setRange(0, 9999);
    auto* occurrences_label = new QLabel(QStringLiteral("o&ccurrences."), range_box);
    occurrences_label->setBuddy(occurrences_);
    range->addWidget(never_);
    range->addLayout(row({end_on_, end_, new QLabel(QStringLiteral("or"), range_box), occurrences_, occurrences_label}));
    layout->addWidget(range_box);

    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    summary_->setObjectName(QStringLiteral("recurrence_summary"));
    layout->addWidget(summary_);
    notice_ = new QLabel(this);
    notice_->setWordWrap(true);
    notice_->setStyleSheet(QStringLiteral("color: #b00020;"));
    layout->addWidget(notice_);

    // A master's deadline, counted from each occurrence's date.
    deadline_group_ = new QGroupBox(QStringLiteral("Deadline of each occurrence"), this);
    auto* dl = new QVBoxLayout(deadline_group_);
    deadline_ = new QCheckBox(QStringLiteral("Deadline"), deadline_group_);
    deadline_days_ = new QSpinBox(deadline_group_);
    deadline_days_->setRange(0, 9999);
    deadline_time_ = new QTimeEdit(deadline_group_);
    deadline_time_->setDisplayFormat(QStringLiteral("HH:mm"));
    any_time_ = new QCheckBox(QStringLiteral("Any time"), deadline_group_);
    dl->addWidget(deadline_);
    dl->addLayout(row({new QLabel(QStringLiteral("When:"), deadline_group_), deadline_days_,
                       new QLabel(QStringLiteral("days from task recurrence date"), deadline_group_)}));
    dl->addLayout(row({new QLabel(QStringLiteral("At:"), deadline_group_), deadline_time_, any_time_}));
    layout->addWidget(deadline_group_);
    layout->addStretch(1);

    auto changed_now = [this] { update_view(); };
    connect(kinds_, &QButtonGroup::idClicked, this, changed_now);
    for (QRadioButton* b : findChildren<QRadioButton*>())
        connect(b, &QRadioButton::toggled, this, changed_now);
    for (QCheckBox* b : findChildren<QCheckBox*>())
        connect(b, &QCheckBox::toggled, this, changed_now);
    for (QComboBox* c : findChildren<QComboBox*>())
        connect(c, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed_now);
    for (QSpinBox* s : {daily_n_, weekly_n_, months_n_, deadline_days_})
        connect(s, QOverload<int>::of(&QSpinBox::valueChanged), this, changed_now);
    connect(yearly_date_, &QDateEdit::dateChanged, this, changed_now);
    connect(begin_, &QDateEdit::dateChanged, this, [this] {
        end_chosen();
        update_view();
    });
    connect(deadline_time_, &QTimeEdit::timeChanged, this, changed_now);
    connect(end_, &QDateEdit::dateChanged, this, [this] {
        if (!updating_)
            end_on_->setChecked(true);
        end_chosen();
        update_view();
    });
    connect(occurrences_, QOverload<int>::of(&QSpinBox::valueChanged), this, [this] {
        occurrences_typed();
        update_view();
    });

    load(std::nullopt, time::today(), 0, 64800);
}

void recurrence_editor::set_deadline_shown(bool shown)
{
    deadline_shown_ = shown;
    update_view();
}

QRadioButton* recurrence_editor::kind_button(int choice) const
{
    return static_cast<QRadioButton*>(kinds_->button(choice));
}

void recurrence_editor::load(const std::optional<time::recurrence>& r, time::stored_date new_start,
                             std::int64_t deadline_offset, int working_end)
{
    updating_ = true;
    const time::calendar_fields start = time::fields(r ? r->starting_date : new_start);
    // What each kind shows before it is chosen.
    daily_1_->setChecked(true);
    for (QCheckBox* b : days_)
        b->setChecked(false);
    days_[start.weekday - 1]->setChecked(true);
    weekly_1_->setChecked(true);
    monthly_the_->setChecked(true);
    monthly_position_->setCurrentIndex(0);
    monthly_weekday_->setCurrentIndex(0);
    monthly_day_->setCurrentIndex(start.day - 1);
    months_n_->setValue(3);
    months_1_->setChecked(true);
    yearly_every_->setChecked(true);
    yearly_date_->setDate(QDate(picker_year, start.month, std::min(start.day, 29)));
    yearly_month_->setCurrentIndex(start.month - 1);
    never_->setChecked(true);
    end_->setDate(to_qdate(r ? r->starting_date : new_start));
    begin_->setDate(to_qdate(r ? r->starting_date : new_start));
    id_ = r ? r->id : 0;
    attached_ = r ? r->attached : 0;

    int choice = none;
    if (r) {
        switch (r->type) {
        case time::recurrence_kind::daily:
            choice = daily;
            show_interval(r->param1, daily_1_, daily_2_, daily_every_, daily_n_);
            break;
        case time::recurrence_kind::weekly:
            choice = weekly;
            for (int w = 1; w <= 7; ++w)
                days_[w - 1]->setChecked((r->param1 & (1 << (w - 1))) != 0);
            show_interval(r->param2, weekly_1_, weekly_2_, weekly_every_, weekly_n_);
            break;
        case time::recurrence_kind::monthly_day:
            choice = monthly;
            monthly_every_->setChecked(true);
            monthly_day_->setCurrentIndex(std::clamp<int>(r->param1, 1, 32) - 1);
            show_interval(r->param2, months_1_, months_2_, months_every_, months_n_);
            break;
        case time::recurrence_kind::monthly_weekday:
            choice = monthly;
            monthly_the_->setChecked(true);
            monthly_position_->setCurrentIndex(std::clamp<int>(r->param1, 1, 5) - 1);
            monthly_weekday_->setCurrentIndex(std::clamp<int>(r->param2, 1, 7) - 1);
            show_interval(r->param3, months_1_, months_2_, months_every_, months_n_);
            break;
        case time::recurrence_kind::yearly_date: {
            choice = yearly;
            yearly_every_->setChecked(true);
            const int month = std::clamp<int>(r->param2, 1, 12);
            yearly_date_->setDate(QDate(picker_year, month,
                                        std::clamp<int>(r->param1, 1, time::days_in_month(month, picker_year))));
            break;
        }
        case time::recurrence_kind::yearly_weekday:
            choice = yearly;
            yearly_the_->setChecked(true);
            yearly_position_->setCurrentIndex(std::clamp<int>(r->param1, 1, 5) - 1);
            yearly_weekday_->setCurrentIndex(std::clamp<int>(r->param2, 1, 7) - 1);
            yearly_month_->setCurrentIndex(std::clamp<int>(r->param3, 1, 12) - 1);
            break;
        default: break;
        }
        if (r->ending_date != 0) {
            end_on_->setChecked(true);
            end_->setDate(to_qdate(r->ending_date));
        }
    }
    kind_button(choice)->setChecked(true);

    deadline_->setChecked(deadline_offset > 0);
    deadline_days_->setValue(deadline_offset > 0 ? static_cast<int>(deadline_offset / 86400) : 7);
    const int at = deadline_offset > 0 ? static_cast<int>(deadline_offset % 86400) : working_end;
    deadline_time_->setTime(QTime(0, 0).addSecs(std::clamp(at, 0, 86399)));
    any_time_->setChecked(deadline_offset > 0 && deadline_offset % 86400 == 0);
    updating_ = false;
    end_chosen();
    update_view();
}

std::optional<time::recurrence> recurrence_editor::read() const
{
    const int choice = kinds_->checkedId();
    if (choice <= none)
        return std::nullopt;
    time::recurrence r;
    r.id = id_;
    r.attached = attached_;
    auto byte = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    switch (choice) {
    case daily:
        r.type = time::recurrence_kind::daily;
        r.param1 = byte(interval_of(daily_1_, daily_2_, daily_n_));
        break;
    case weekly: {
        r.type = time::recurrence_kind::weekly;
        int mask = 0;
        for (int w = 1; w <= 7; ++w)
            if (days_[w - 1]->isChecked())
                mask |= 1 << (w - 1);
        r.param1 = byte(mask);
        r.param2 = byte(interval_of(weekly_1_, weekly_2_, weekly_n_));
        break;
    }
    case monthly: {
        const int interval = interval_of(months_1_, months_2_, months_n_);
        if (monthly_every_->isChecked()) {
            r.type = time::recurrence_kind::monthly_day;
            r.param1 = byte(monthly_day_->currentIndex() + 1);
            r.param2 = byte(interval);
        } else {
            r.type = time::recurrence_kind::monthly_weekday;
            r.param1 = byte(monthly_position_->currentIndex() + 1);
            r.param2 = byte(monthly_weekday_->currentIndex() + 1);
            r.param3 = byte(interval);
        }
        break;
    }
    default:
        if (yearly_every_->isChecked()) {
            r.type = time::recurrence_kind::yearly_date;
            r.param1 = byte(yearly_date_->date().day());
            r.param2 = byte(yearly_date_->date().month());
        } else {
            r.type = time::recurrence_kind::yearly_weekday;
            r.param1 = byte(yearly_position_->currentIndex() + 1);
            r.param2 = byte(yearly_weekday_->currentIndex() + 1);
            r.param3 = byte(yearly_month_->currentIndex() + 1);
        }
        break;
    }
    r.starting_date = from_qdate(begin_->date());
    r.ending_date = end_on_->isChecked() ? from_qdate(end_->date()) : 0;
    return r;
}

std::optional<time::recurrence> recurrence_editor::pattern() const { return read(); }

std::int64_t recurrence_editor::deadline_offset() const
{
    if (!deadline_->isChecked() || deadline_days_->value() <= 0)
        return 0;
    std::int64_t offset = std::int64_t(std::min(deadline_days_->value(), 365)) * 86400;
    if (!any_time_->isChecked()) {
        const QTime t = deadline_time_->time();
        offset += t.hour() * 3600 + t.minute() * 60;
    }
    return offset;
}

QString recurrence_editor::error() const
{
    const std::optional<time::recurrence> r = read();
    if (!r)
        return QString();
    if (r->type == time::recurrence_kind::weekly && r->param1 == 0)
        return QStringLiteral("Choose at least one day of the week for a weekly recurrence.");
    if (!time::is_valid(*r))
        return QStringLiteral("This recurrence is not valid: it would never occur.");
    if (r->ending_date != 0 && r->ending_date < r->starting_date)
        return QStringLiteral("The ending date lies before the starting date.");
    return QString();
}

QString recurrence_editor::summary() const
{
    const std::optional<time::recurrence> r = read();
    return r ? time::describe(*r) : QStringLiteral("No recurrence, occurs just once.");
}

QString recurrence_editor::notice() const
{
    const std::optional<time::recurrence> r = read();
    if (!r || !time::is_valid(*r) || (r->ending_date != 0 && r->ending_date < r->starting_date))
        return QString();
    time::recurrence moved = *r;
    if (!time::move_start_to_first_occurrence(moved))
        return QStringLiteral("This recurrence does not occur within 1000 days of its start; it is saved as it is.");
    if (!time::is_active(*r))
        return QStringLiteral("This item is no longer active. (No future occurrences will occur)");
    return QString();
}

void recurrence_editor::occurrences_typed()
{
    if (updating_)
        return;
    const std::optional<time::recurrence> r = read();
    if (!r || occurrences_->value() <= 0)
        return;
    updating_ = true;
    end_->setDate(to_qdate(time::nth_occurrence(*r, occurrences_->value())));
    end_on_->setChecked(true);
    updating_ = false;
}

void recurrence_editor::end_chosen()
{
    if (updating_)
        return;
    const std::optional<time::recurrence> r = read();
    updating_ = true;
    if (!r)
        occurrences_->setValue(1);
    else
        occurrences_->setValue(end_on_->isChecked() ? time::count_occurrences_until(*r, from_qdate(end_->date())) : 0);
    updating_ = false;
}

void recurrence_editor::update_view()
{
    const int choice = std::max(0, kinds_->checkedId());
    stack_->setCurrentIndex(choice);
    const bool any = choice != none;
    for (QWidget* w : {static_cast<QWidget*>(begin_), static_cast<QWidget*>(never_), static_cast<QWidget*>(end_on_),
                       static_cast<QWidget*>(end_), static_cast<QWidget*>(occurrences_)})
        w->setEnabled(any);
    deadline_group_->setVisible(any && deadline_shown_);
    const bool dated = deadline_->isChecked();
    deadline_days_->setEnabled(dated);
    any_time_->setEnabled(dated);
    deadline_time_->setEnabled(dated && !any_time_->isChecked());
    daily_n_->setEnabled(daily_every_->isChecked());
    weekly_n_->setEnabled(weekly_every_->isChecked());
    months_n_->setEnabled(months_every_->isChecked());
    monthly_day_->setEnabled(monthly_every_->isChecked());
    monthly_position_->setEnabled(monthly_the_->isChecked());
    monthly_weekday_->setEnabled(monthly_the_->isChecked());
    yearly_date_->setEnabled(yearly_every_->isChecked());
    for (QComboBox* c : {yearly_position_, yearly_weekday_, yearly_month_})
        c->setEnabled(yearly_the_->isChecked());
    if (!any && !updating_) {
        updating_ = true;
        occurrences_->setValue(1);
        updating_ = false;
    }
    summary_->setText(QStringLiteral("    ") + summary());
    const QString error_text = error();
    const QString n = error_text.isEmpty() ? notice() : error_text;
    notice_->setText(n);
    notice_->setVisible(!n.isEmpty());
    if (!updating_)
        emit changed();
}

}  // namespace qm::ui
