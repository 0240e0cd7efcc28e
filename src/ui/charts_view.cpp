#include "ui/charts_view.h"

#include "app/options.h"
#include "app/settings_document.h"
#include "model/project_store.h"
#include "model/role_store.h"
#include "model/task_store.h"
#include "time/format.h"
#include "ui/chart_canvas.h"
#include "ui/chart_print.h"
#include "ui/commands.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm::ui {
namespace {

const QString chart_block = QStringLiteral("chart");
const QString series_list_name = QStringLiteral("series");

QIcon swatch(std::int32_t color, bool visible)
{
    QPixmap p(12, 12);
    p.fill(visible ? QColor(model::red_of(color), model::green_of(color), model::blue_of(color)) : QColor(Qt::white));
    QPainter painter(&p);
    painter.setPen(QColor(120, 120, 120));
    painter.drawRect(0, 0, 11, 11);
    return QIcon(p);
}

// The period in the summary's first column, kept short beside the numbers.
QString period_text(const schedule::chart_bucket& b, int granularity)
{
    auto picture = [](time::stored_date d, const char* pattern) {
        return time::format_picture(QString::fromLatin1(pattern), time::fields(d), time::picture_kind::date);
    };
    switch (granularity) {
    case schedule::granularity::by_week:
        return QStringLiteral("#%1, %2").arg(time::week_number(schedule::week_of(b)) + 1).arg(picture(b.first, "d MMM"));
    case schedule::granularity::by_month: return picture(b.last, "MMM yyyy");
    default: return picture(b.last, "ddd d MMM");
    }
}

constexpr int project_role = Qt::UserRole;
constexpr int index_role = Qt::UserRole + 1;

}  // namespace

charts_view::charts_view(const model::task_store& tasks, const model::project_store& projects, QString settings_file,
                         QWidget* parent)
    : view(id, QStringLiteral("Charts"), parent),
      tasks_(tasks),
      projects_(projects),
      settings_file_(std::move(settings_file))
{
    setObjectName(QStringLiteral("charts"));
    setFocusPolicy(Qt::StrongFocus);
    range_group_ = schedule::default_group();

    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("range_caption"));
    QFont bold = caption_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    caption_->setFont(bold);
    dates_ = new QLabel(this);
    // Long dates must not widen the whole window: the label gives way.
    dates_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* top = new QHBoxLayout;
    top->addWidget(caption_);
    top->addSpacing(12);
    top->addWidget(dates_, 1);

    canvas_ = new chart_canvas(this);
    canvas_->project_name = [this](std::int32_t p) { return project_caption(p); };

    summary_ = new QTableWidget(this);
    summary_->setObjectName(QStringLiteral("chart_summary"));
    summary_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    summary_->verticalHeader()->setVisible(false);
    summary_->setSelectionMode(QAbstractItemView::NoSelection);

    series_ = new QTreeWidget(this);
    series_->setObjectName(QStringLiteral("chart_series"));
    series_->setHeaderLabels({QStringLiteral("Series")});
    series_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(series_, &QTreeWidget::customContextMenuRequested, this, &charts_view::series_menu);
    connect(series_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (filling_ || item->parent() == nullptr)
            return;
        set_series_visible(item->data(0, project_role).toInt(), item->data(0, index_role).toUInt(),
                           item->checkState(0) == Qt::Checked);
    });

    auto* side = new QSplitter(Qt::Vertical, this);
    side->addWidget(summary_);
    side->addWidget(series_);
    side->setStretchFactor(0, 3);
    side->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(canvas_);
    split->addWidget(side);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    split->setSizes({880, 360});
    side->setMinimumWidth(160);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(split, 1);

    load_settings();
    store::listeners().add(this);
    refresh();
}

charts_view::~charts_view() { store::listeners().remove(this); }

std::vector<toolbar_button> charts_view::buttons() const
{
    using schedule::granularity::by_day;
    using schedule::granularity::by_month;
    using schedule::granularity::by_week;
    return {{"Projects", chart_cmd::projects, true, show_projects_},
            {"Counters", chart_cmd::counters, true, counters_},
            {"-", 0},
            {"Line Chart", chart_cmd::line_chart, true, display_ == chart_display::line},
            {"Bar Chart", chart_cmd::bar_chart, true, display_ == chart_display::bar},
            {"-", 0},
            {"By Day", chart_cmd::by_day, true, granularity_ == by_day},
            {"By Week", chart_cmd::by_week, true, granularity_ == by_week},
            {"By Month", chart_cmd::by_month, true, granularity_ == by_month},
            {"-", 0},
            {"Range", chart_cmd::range}};
}

bool charts_view::handles(int command) const
{
    switch (command) {
    case chart_cmd::projects: case chart_cmd::counters: case chart_cmd::line_chart: case chart_cmd::bar_chart:
    case chart_cmd::by_day: case chart_cmd::by_week: case chart_cmd::by_month: case chart_cmd::range:
    case cmd::print: case cmd::print_preview:
        return true;
    default:
        return false;
    }
}

bool charts_view::handle_command(int command)
{
    switch (command) {
    case chart_cmd::projects: set_projects(!show_projects_); return true;
    case chart_cmd::counters: set_counters(!counters_); return true;
    case chart_cmd::line_chart: set_display(chart_display::line); return true;
    case chart_cmd::bar_chart: set_display(chart_display::bar); return true;
    case chart_cmd::by_day: set_granularity(schedule::granularity::by_day); return true;
    case chart_cmd::by_week: set_granularity(schedule::granularity::by_week); return true;
    case chart_cmd::by_month: set_granularity(schedule::granularity::by_month); return true;
    case chart_cmd::range: range_menu(); return true;
    case cmd::print: print(false); return true;
    case cmd::print_preview: print(true); return true;
    default: return false;
    }
}

schedule::chart_range charts_view::range() const
{
    const time::stored_date today = time::today();
    const auto r = schedule::preset_range(range_name_, today, schedule::earliest_task_date(tasks_));
    return r ? *r : schedule::chart_range{time::add_days(today, -7), today};
}

QString charts_view::caption() const { return QStringLiteral("Range: ") + range_name_; }

QString charts_view::project_caption(std::int32_t project) const
{
    const model::project_ptr p = projects_.find(project);
    return p ? model::project_caption(*p) : QStringLiteral("(deleted project)");
}

std::vector<schedule::series_group> charts_view::shown_groups() const
{
    std::vector<schedule::series_group> out{range_group_};
    if (!show_projects_)
        return out;
    for (const model::project* p : projects_.list_order()) {
        const auto it = project_groups_.find(p->id);
        out.push_back(it != project_groups_.end() ? it->second : schedule::project_group(p->id));
    }
    return out;
}

schedule::series_group* charts_view::group_of(std::int32_t project)
{
    if (project == 0)
        return &range_group_;
    auto it = project_groups_.find(project);
    if (it == project_groups_.end())
        it = project_groups_.emplace(project, schedule::project_group(project)).first;
    return &it->second;
}

void charts_view::choose_range(const QString& name)
{
    if (!schedule::preset_range_names().contains(name))
        return;
    range_name_ = name;
    // A new range brings the periods that suit its length; the buttons can
    // still change them afterwards.
    granularity_ = schedule::automatic_granularity(range());
    changed();
}

void charts_view::set_granularity(int g)
{
    granularity_ = g;
    changed();
}

void charts_view::set_display(int display)
{
    display_ = display;
    changed();
}

void charts_view::set_counters(bool on)
{
    counters_ = on;
    changed();
}

void charts_view::set_projects(bool on)
{
    show_projects_ = on;
    changed();
}

void charts_view::set_series_visible(std::int32_t project, std::size_t index, bool visible)
{
    schedule::series_group* g = group_of(project);
    if (index >= g->series.size() || g->series[index].visible == visible)
        return;
    schedule::chart_series& s = g->series[index];
    if (visible) {
        // A series switched on takes the first colour no other visible one
        // wears, in whichever group it is.
        std::vector<schedule::series_group> all{range_group_};
        for (const auto& [project_id, group] : project_groups_)
            all.push_back(group);
        s.color = schedule::free_series_color(all);
    }
    s.visible = visible;
    changed();
}

void charts_view::add_series(std::int32_t project, int kind)
{
    schedule::series_group* g = group_of(project);
    std::vector<schedule::series_group> all = shown_groups();
    g->series.push_back({kind, schedule::free_series_color(all), true});
    changed();
}

void charts_view::remove_series(std::int32_t project, std::size_t index)
{
    schedule::series_group* g = group_of(project);
    if (index >= g->series.size())
        return;
    g->series.erase(g->series.begin() + static_cast<std::ptrdiff_t>(index));
    changed();
}

void charts_view::changed()
{
    save_state();
    sync_buttons();
    refresh();
}

void charts_view::refresh()
{
    refresh_pending_ = false;
    const app::options& o = app::current_options();
    const schedule::working_day wd{o.working_start, o.working_end, time::now()};
    const std::vector<schedule::series_group> groups = shown_groups();
    const schedule::chart_range r = range();
    canvas_->set_chart(schedule::compute_chart(tasks_, groups, r, granularity_, wd), groups, display_, counters_);
    caption_->setText(caption());
    dates_->setText(r.start == r.end ? time::format_long_date(r.start)
                                     : QStringLiteral("%1 to %2").arg(time::format_long_date(r.start),
                                                                       time::format_long_date(r.end)));
    fill_summary();
    fill_series_list();
}

void charts_view::fill_summary()
{
    const schedule::chart_data& data = canvas_->data();
    const std::vector<int> shown = canvas_->visible_series();
    summary_->clear();
    summary_->setColumnCount(static_cast<int>(shown.size()) + 1);
    summary_->setRowCount(static_cast<int>(data.buckets.size()) + 1);
    QStringList headers{QStringLiteral("Period")};
    for (int s : shown)
        headers << canvas_->series_name(s);
    summary_->setHorizontalHeaderLabels(headers);
    auto cell = [this](int row, int column, const QString& text, bool number) {
        auto* item = new QTableWidgetItem(text);
        if (number)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        summary_->setItem(row, column, item);
        return item;
    };
    const int rows = static_cast<int>(data.buckets.size());
    for (int b = 0; b < rows; ++b) {
        const schedule::chart_bucket& k = data.buckets[static_cast<std::size_t>(b)];
        cell(b, 0, period_text(k, data.granularity), false)->setToolTip(schedule::bucket_caption(k, data.granularity));
        for (std::size_t i = 0; i < shown.size(); ++i)
            cell(b, static_cast<int>(i) + 1,
                 schedule::value_text(data.values[static_cast<std::size_t>(shown[i])][static_cast<std::size_t>(b)]),
                 true);
    }
    QFont bold = summary_->font();
    bold.setBold(true);
    cell(rows, 0, QStringLiteral("Total"), false)->setFont(bold);
    for (std::size_t i = 0; i < shown.size(); ++i)
        cell(rows, static_cast<int>(i) + 1, schedule::value_text(data.totals[static_cast<std::size_t>(shown[i])]), true)
            ->setFont(bold);
    summary_->resizeColumnsToContents();
}

void charts_view::fill_series_list()
{
    filling_ = true;
    const int scroll = series_->verticalScrollBar() != nullptr ? series_->verticalScrollBar()->value() : 0;
    std::map<std::int32_t, bool> open;
    for (int i = 0; i < series_->topLevelItemCount(); ++i)
        open[series_->topLevelItem(i)->data(0, project_role).toInt()] = series_->topLevelItem(i)->isExpanded();
    series_->clear();
    for (const schedule::series_group& g : shown_groups()) {
        auto* head = new QTreeWidgetItem(series_);
        head->setText(0, g.project == 0 ? QStringLiteral("Selected Range") : project_caption(g.project));
        head->setData(0, project_role, g.project);
        QFont f = head->font(0);
        f.setBold(true);
        head->setFont(0, f);
        for (std::size_t i = 0; i < g.series.size(); ++i) {
            const schedule::chart_series& s = g.series[i];
            auto* item = new QTreeWidgetItem(head);
            item->setText(0, schedule::series_label(s.kind));
            item->setIcon(0, swatch(s.color, s.visible));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, s.visible ? Qt::Checked : Qt::Unchecked);
            item->setData(0, project_role, g.project);
            item->setData(0, index_role, static_cast<uint>(i));
        }
        const auto was = open.find(g.project);
        head->setExpanded(was != open.end() ? was->second : g.project == 0);
    }
    if (series_->verticalScrollBar() != nullptr)
        series_->verticalScrollBar()->setValue(scroll);
    filling_ = false;
}

void charts_view::sync_buttons()
{
    // The frame's buttons are made from buttons(); their pressed state follows here.
    const std::vector<toolbar_button> wanted = buttons();
    if (QWidget* w = window())
        for (QAction* a : w->findChildren<QAction*>())
            // Only the view's row: the tabs have a "Projects" of their own.
            if (a->isCheckable() && a->parent() != nullptr &&
                a->parent()->objectName() == QLatin1String("ViewToolbar"))
                for (const toolbar_button& b : wanted)
                    if (b.checkable && a->text() == b.label)
                        a->setChecked(b.checked);
}

void charts_view::range_menu()
{
    QMenu menu(this);
    for (const QString& name : schedule::preset_range_names()) {
        QAction* a = menu.addAction(name);
        a->setCheckable(true);
        a->setChecked(name == range_name_);
        connect(a, &QAction::triggered, this, [this, name] { choose_range(name); });
    }
    // Under the caption it names, where the keyboard's R opens it too.
    menu.exec(caption_->mapToGlobal(QPoint(0, caption_->height())));
}

void charts_view::series_menu(const QPoint& pos)
{
    QTreeWidgetItem* item = series_->itemAt(pos);
    if (item == nullptr)
        return;
    const std::int32_t project = item->data(0, project_role).toInt();
    QMenu menu(this);
    QMenu* add = menu.addMenu(QStringLiteral("&Add Series"));
    for (int kind : schedule::series_kinds())
        connect(add->addAction(schedule::series_label(kind)), &QAction::triggered, this,
                [this, project, kind] { add_series(project, kind); });
    if (item->parent() != nullptr) {
        const std::size_t index = item->data(0, index_role).toUInt();
        connect(menu.addAction(QStringLiteral("&Remove Series")), &QAction::triggered, this,
                [this, project, index] { remove_series(project, index); });
    }
    menu.exec(series_->viewport()->mapToGlobal(pos));
}

void charts_view::load_settings()
{
    const app::settings_document doc = app::settings_document::load(settings_file_);
    const int display = doc.get_int(chart_block, QStringLiteral("display"), chart_display::bar);
    display_ = display == chart_display::line ? chart_display::line : chart_display::bar;
    counters_ = doc.get_bool(chart_block, QStringLiteral("counters"), false);
    show_projects_ = doc.get_bool(chart_block, QStringLiteral("projects"), false);
    const QString range = doc.get_string(chart_block, QStringLiteral("range"), range_name_);
    if (schedule::preset_range_names().contains(range))
        range_name_ = range;
    const int g = doc.get_int(chart_block, QStringLiteral("granularity"), 0);
    granularity_ = g >= schedule::granularity::by_day && g <= schedule::granularity::by_month
                       ? g
                       : schedule::automatic_granularity(this->range());

    // One item per series: "project,kind,colour,visible".
    if (doc.find_block(series_list_name) == nullptr)
        return;  // a new chart keeps its default group
    QStringList items;
    doc.get_list(series_list_name, items);
    range_group_.series.clear();
    for (const QString& item : items) {
        const QStringList f = item.split(QLatin1Char(','));
        if (f.size() != 4)
            continue;
        const int kind = f[1].toInt();
        if (schedule::series_label(kind).isEmpty())
            continue;
        const std::int32_t project = f[0].toInt();
        schedule::series_group* group = &range_group_;
        if (project != 0) {
            auto it = project_groups_.find(project);
            if (it == project_groups_.end())
                it = project_groups_.emplace(project, schedule::series_group{project, {}}).first;
            group = &it->second;
        }
        group->series.push_back({kind, f[2].toInt(), f[3].toInt() != 0});
    }
}

void charts_view::save_state()
{
    app::settings_document doc = app::settings_document::load(settings_file_);
    doc.set_int(chart_block, QStringLiteral("display"), display_);
    doc.set_int(chart_block, QStringLiteral("counters"), counters_ ? 1 : 0);
    doc.set_int(chart_block, QStringLiteral("projects"), show_projects_ ? 1 : 0);
    doc.set_int(chart_block, QStringLiteral("granularity"), granularity_);
    doc.set_string(chart_block, QStringLiteral("range"), range_name_);
    QStringList items;
    auto add = [&items](const schedule::series_group& g) {
        for (const schedule::chart_series& s : g.series)
            items << QStringLiteral("%1,%2,%3,%4").arg(g.project).arg(s.kind).arg(s.color).arg(s.visible ? 1 : 0);
    };
    add(range_group_);
    // A project's group is kept once it differs from a fresh one.
    for (const auto& [project, group] : project_groups_)
        if (!(group == schedule::project_group(project)) && projects_.find(project))
            add(group);
    doc.set_list(series_list_name, items);
    doc.save(settings_file_);
}

void charts_view::print(bool preview) { print_charts(*this, preview); }

void charts_view::keyPressEvent(QKeyEvent* event)
{
    // One letter a button, for a tab driven from the keyboard like the rest.
    static const std::pair<int, int> keys[] = {
        {Qt::Key_P, chart_cmd::projects}, {Qt::Key_C, chart_cmd::counters}, {Qt::Key_L, chart_cmd::line_chart},
        {Qt::Key_B, chart_cmd::bar_chart}, {Qt::Key_D, chart_cmd::by_day}, {Qt::Key_W, chart_cmd::by_week},
        {Qt::Key_M, chart_cmd::by_month}, {Qt::Key_R, chart_cmd::range}};
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
        for (auto [key, command] : keys)
            if (event->key() == key) {
                handle_command(command);
                return;
            }
    view::keyPressEvent(event);
}

void charts_view::showEvent(QShowEvent* event)
{
    view::showEvent(event);
    sync_buttons();
    // The range ends today: a chart left open overnight moves on.
    if (refresh_pending_ || canvas_->data().range.end != time::today())
        refresh();
}

void charts_view::schedule_refresh()
{
    // The chart walks every task of the range: a hidden tab catches up when shown.
    const bool was_pending = refresh_pending_;
    refresh_pending_ = true;
    if (was_pending || !isVisible())
        return;
    QTimer::singleShot(0, this, [this] {
        if (refresh_pending_ && isVisible())
            refresh();
    });
}

long charts_view::on_announcement(const store::announcement& a)
{
    if (a.message == model::task_message::batch_ended || a.message == model::task_message::timer_stopped ||
        a.message == model::project_message::changed || a.message == model::project_message::added)
        schedule_refresh();
    return 0;
}

}  // namespace qm::ui
