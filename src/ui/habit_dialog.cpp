#include "ui/habit_dialog.h"

#include "model/habits.h"
#include "model/project_store.h"
#include "model/task_recurrences.h"
#include "store/tables.h"
#include "time/format.h"
#include "time/parse.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

// Roles keep their colours as 0x00BBGGRR.
QColor role_colour(const store::tables& tables, std::int32_t role)
{
    auto r = tables.roles.find(role);
    if (!r || r->background_color == 0)
        return {};
    const int c = r->background_color;
    return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
}

QIcon colour_icon(const QColor& c)
{
    if (!c.isValid())
        return {};
    QPixmap p(12, 12);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setBrush(c);
    painter.setPen(c.darker(140));
    painter.drawRect(0, 0, 11, 11);
    return QIcon(p);
}

QString folder_path(const habit_sources& s, const model::task& folder)
{
    QStringList parts{folder.name};
    const model::task* at = &folder;
    for (int step = 0; step < 1000 && at->parent != 0; ++step) {
        model::task_ptr p = s.tasks.find(at->parent);
        if (!p)
            break;
        parts.prepend(p->name);
        at = p.get();
    }
    if (model::project_ptr p = s.projects.find(folder.project))
        parts.prepend(model::project_caption(*p));
    return parts.join(QLatin1Char('\\'));
}

QTime time_of(std::int32_t seconds) { return QTime(0, 0).addSecs(std::clamp(seconds, 0, 86399)); }

}  // namespace

std::vector<habit_item> habit_items(const habit_sources& s, int kind)
{
    std::vector<habit_item> out;
    switch (kind) {
    case model::habit_kind::task_recurrence:
        for (const model::task* m : s.recurrences.masters())
            out.push_back({m->id, m->name, role_colour(s.tables, s.tasks.effective_role(*m)), false});
        break;
    case model::habit_kind::folder:
        // Every folder of every project, by its path, so that the kind can be used.
        for (const model::task_ptr& t : s.tasks.all())
            if (t->is_folder() && t->project != 0)
                out.push_back({t->id, folder_path(s, *t), role_colour(s.tables, s.tasks.effective_role(*t)), false});
        std::sort(out.begin(), out.end(), [](const habit_item& a, const habit_item& b) {
            return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
        });
        break;
    case model::habit_kind::project:
        for (const model::project_ptr& p : s.projects.all())
            out.push_back({p->id, model::project_caption(*p), role_colour(s.tables, p->role), false});
        break;
    default: {
        // Life areas, each followed by its roles, then the roles outside any.
        const auto& roles = s.tables.roles.cache();
        for (const auto& area : roles) {
            if (area->parent != -1)
                continue;
            out.push_back({area->id, area->name, role_colour(s.tables, area->id), false});
            for (const auto& r : roles)
                if (r->parent == area->id)
                    out.push_back({r->id, r->name, role_colour(s.tables, r->id), true});
        }
        for (const auto& r : roles)
            if (r->parent == 0)
                out.push_back({r->id, r->name, role_colour(s.tables, r->id), false});
        break;
    }
    }
    return out;
}

QString habit_item_name(const habit_sources& s, const store::habit_record& h)
{
    for (const habit_item& item : habit_items(s, h.type))
        if (item.id == h.attached_id)
            return item.text;
    return QStringLiteral("(gone)");
}

habit_dialog::habit_dialog(const habit_sources& sources, const store::habit_record& h, bool adding, QWidget* parent)
    : QDialog(parent), sources_(sources), habit_(h)
{
    setWindowTitle(adding ? QStringLiteral("Add habit") : QStringLiteral("Edit habit"));
    setObjectName(QStringLiteral("habit_dialog"));

    description_ = new QLineEdit(h.description, this);
    description_->setObjectName(QStringLiteral("habit_description"));
    points_ = new QSpinBox(this);
    points_->setRange(1, 100000);
    points_->setValue(std::max(1, h.points));
    completion_ = new QRadioButton(QStringLiteral("on the completion of"), this);
    effort_ = new QRadioButton(QStringLiteral("for every"), this);
    duration_ = new QLineEdit(time::format_duration(h.duration > 0 ? h.duration : 1800), this);
    duration_->setMaximumWidth(100);
    (h.duration > 0 ? effort_ : completion_)->setChecked(true);
    duration_->setEnabled(h.duration > 0);
    connect(effort_, &QRadioButton::toggled, duration_, &QWidget::setEnabled);

    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("habit_kind"));
    for (int k = 0; k < 4; ++k)
        kind_->addItem(model::habit_kind_text(k), k);
    kind_->setCurrentIndex(std::clamp(h.type, 0, 3));
    items_ = new QListWidget(this);
    items_->setObjectName(QStringLiteral("habit_items"));
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] { fill_items(0); });

    after_on_ = new QCheckBox(QStringLiteral("Only count points after:"), this);
    after_ = new QTimeEdit(time_of(h.after_time > 0 ? h.after_time : 9 * 3600), this);
    after_on_->setChecked(h.after_time > 0);
    before_on_ = new QCheckBox(QStringLiteral("Only count points before:"), this);
    before_ = new QTimeEdit(time_of(h.before_time > 0 ? h.before_time : 17 * 3600), this);
    before_on_->setChecked(h.before_time > 0);
    maximum_on_ = new QCheckBox(QStringLiteral("Limit points to a maximum of:"), this);
    maximum_ = new QSpinBox(this);
    maximum_->setRange(1, 1000000);
    maximum_->setValue(h.maximum_points > 0 ? h.maximum_points : 10);
    maximum_on_->setChecked(h.maximum_points > 0);
    for (auto [box, field] : {std::pair<QCheckBox*, QWidget*>{after_on_, after_}, {before_on_, before_}, {maximum_on_, maximum_}}) {
        field->setEnabled(box->isChecked());
        connect(box, &QCheckBox::toggled, field, &QWidget::setEnabled);
    }
    after_->setDisplayFormat(QStringLiteral("HH:mm"));
    before_->setDisplayFormat(QStringLiteral("HH:mm"));
    problem_ = new QLabel(this);
    problem_->setStyleSheet(QStringLiteral("color: #b00020;"));
    problem_->setWordWrap(true);
    problem_->hide();

    auto* give = new QHBoxLayout;
    give->addWidget(new QLabel(QStringLiteral("Give "), this));
    give->addWidget(points_);
    give->addWidget(new QLabel(QStringLiteral("points"), this));
    give->addStretch(1);
    auto* how = new QHBoxLayout;
    how->addWidget(completion_);
    how->addSpacing(12);
    how->addWidget(effort_);
    how->addWidget(duration_);
    how->addWidget(new QLabel(QStringLiteral("of effort on"), this));
    how->addStretch(1);
    auto* limits = new QFormLayout;
    limits->addRow(after_on_, after_);
    limits->addRow(before_on_, before_);
    limits->addRow(maximum_on_, maximum_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &habit_dialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Description"), this));
    layout->addWidget(description_);
    layout->addLayout(give);
    layout->addLayout(how);
    layout->addWidget(kind_);
    layout->addWidget(items_, 1);
    layout->addLayout(limits);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    resize(460, 520);
    fill_items(h.attached_id);
}

void habit_dialog::fill_items(std::int32_t select)
{
    items_->clear();
    for (const habit_item& item : habit_items(sources_, kind_->currentData().toInt())) {
        auto* row = new QListWidgetItem(colour_icon(item.colour), (item.indented ? QStringLiteral("    ") : QString()) + item.text,
                                        items_);
        row->setData(Qt::UserRole, item.id);
        if (item.id == select)
            items_->setCurrentItem(row);
    }
    if (items_->count() == 0) {
        auto* row = new QListWidgetItem(QStringLiteral("(nothing of this kind yet)"), items_);
        row->setFlags(Qt::NoItemFlags);
    }
}

store::habit_record habit_dialog::habit() const
{
    store::habit_record h = habit_;
    h.description = description_->text().trimmed();
    h.points = points_->value();
    h.type = kind_->currentData().toInt();
    QListWidgetItem* item = items_->currentItem();
    h.attached_id = item != nullptr && item->data(Qt::UserRole).isValid() ? item->data(Qt::UserRole).toInt() : 0;
    if (completion_->isChecked()) {
        h.duration = 0;
    } else {
        const std::optional<time::duration> d = time::parse_duration_checked(duration_->text());
        h.duration = d && *d > 0 ? *d : -1;
    }
    auto seconds = [](const QTime& t) { return t.hour() * 3600 + t.minute() * 60; };
    h.after_time = after_on_->isChecked() ? seconds(after_->time()) : 0;
    h.before_time = before_on_->isChecked() ? seconds(before_->time()) : 0;
    h.maximum_points = maximum_on_->isChecked() ? maximum_->value() : 0;
    return h;
}

void habit_dialog::accept()
{
    const store::habit_record h = habit();
    QString problem = model::habit_problem(h);
    if (problem.isEmpty() && h.description.isEmpty())
        problem = QStringLiteral("Give the habit a description.");
    if (problem.isEmpty() && h.duration < 0)
        problem = QStringLiteral("\"%1\" is not a length of time: type for example 30m or 1h.").arg(duration_->text());
    if (!problem.isEmpty()) {
        problem_->setText(problem);
        problem_->show();
        return;
    }
    QDialog::accept();
}

}  // namespace qm::ui
