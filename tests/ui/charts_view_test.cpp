// The Charts tab and the time-spent panel drawn offscreen over a small
// fixture: the plotted points, bars and counters sit where the data puts
// them, the choices come back from "charts.ini", the page prints, and the
// planner shows both where the user looks for them.

#include "app/options.h"
#include "model/role_store.h"
#include "support/test_support.h"
#include "time/format.h"
#include "tracking/action_menu.h"
#include "ui/chart_canvas.h"
#include "ui/chart_print.h"
#include "ui/charts_view.h"
#include "ui/clapperboard.h"
#include "ui/clapperboard_window.h"
#include "ui/commands.h"
#include "ui/overview_view.h"
#include "ui/planner.h"
#include "ui/time_spent_panel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

constexpr std::int64_t hour = 3600;
const time::stored_date today = time::make_date(2026, 3, 11);

struct charts_fixture : ::testing::Test {
    fixed_clock clock{today + 10 * hour};
    started_core core;
    QString settings = core.folder() + QStringLiteral("charts.ini");

    model::task_store& store() { return core.core().tasks(); }

    model::task_ptr task(const QString& name, time::stored_date date, std::int64_t tracked, std::int32_t role = 0)
    {
        auto t = std::make_shared<model::task>();
        t->name = name;
        t->date = date;
        t->role = role;
        if (tracked > 0) {
            store::tracked_time_record e;
            e.id = core.core().tables().ids.allocate(7);
            e.start = date + 9 * hour;
            e.duration = static_cast<std::int32_t>(tracked);
            t->tracked_times.push_back(e);
        }
        store().add(t);
        store().end_change_batch();
        return t;
    }
    // Three days of tracked time in the last week: 1 h, 3 h and 2 h.
    void three_days()
    {
        task("One", today - 4 * 86400, hour);
        task("Three", today - 2 * 86400, 3 * hour);
        task("Two", today, 2 * hour);
    }
    std::unique_ptr<ui::charts_view> make_view()
    {
        auto v = std::make_unique<ui::charts_view>(store(), core.core().projects(), settings);
        v->resize(900, 500);
        return v;
    }
    // Only "Total time" of the selected range stays on.
    static void total_time_only(ui::charts_view& v)
    {
        for (std::size_t i = 1; i < v.shown_groups()[0].series.size(); ++i)
            v.set_series_visible(0, i, false);
    }
    static QImage draw(const ui::chart_canvas& c, const QRect& area)
    {
        QImage image(area.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        c.render(p, area);
        return image;
    }
};

TEST_F(charts_fixture, eachDisplayModePlotsTheValuesWhereTheDataPutsThem)
{
    three_days();
    auto v = make_view();
    v->choose_range(QStringLiteral("Last 7 Days"));
    total_time_only(*v);
    const ui::chart_canvas& c = v->canvas();
    ASSERT_EQ(c.data().buckets.size(), 8u);
    ASSERT_EQ(c.visible_series(), std::vector<int>{0});
    const QRect area(0, 0, 800, 420);
    const QColor color = c.color_of(0);
    const std::vector<double> expected{0, 0, 0, 1, 0, 3, 0, 2};
    ASSERT_EQ(c.data().values[0], expected);

    for (int display : {ui::chart_display::line, ui::chart_display::bar}) {
        v->set_display(display);
        const QImage image = draw(c, area);
        const ui::chart_canvas::geometry g = c.layout(area, QFontMetrics(c.font()));
        const double top = g.plot.top() + g.pad;
        for (int b = 0; b < 8; ++b) {
            const QPointF pt = c.point_at(0, b, g);
            // The height follows the value against the largest (3 hours).
            EXPECT_NEAR(pt.y(), g.plot.bottom() - expected[b] / 3.0 * (g.plot.bottom() - top), 0.01) << b;
            EXPECT_NEAR(pt.x(), g.plot.left() + (b + 0.5) * g.column, display == ui::chart_display::bar ? 1.0 : 0.01);
            if (display == ui::chart_display::line) {
                EXPECT_EQ(image.pixelColor(pt.toPoint()), color) << "point " << b;
            } else if (expected[b] > 0) {
                const QRectF bar = c.bar_at(0, b, g);
                EXPECT_EQ(image.pixelColor(bar.center().toPoint()), color) << "bar " << b;
                EXPECT_NEAR(bar.bottom(), g.plot.bottom(), 0.01);
            } else {
                EXPECT_NE(image.pixelColor(QPoint(static_cast<int>(pt.x()), g.plot.bottom() - 3)), color)
                    << "no bar on an empty day " << b;
            }
        }
    }

    // Counters: one line per series in each period, a swatch of its colour first.
    v->set_counters(true);
    const QImage image = draw(c, area);
    const ui::chart_canvas::geometry g = c.layout(area, QFontMetrics(c.font()));
    const int line = QFontMetrics(c.font()).height() + 2;
    for (int b = 0; b < 8; ++b) {
        const QPoint swatch(static_cast<int>(g.plot.left() + b * g.column + 7), g.plot.top() + 4 + line / 2);
        EXPECT_EQ(image.pixelColor(swatch), color) << "counter " << b;
    }
}

TEST_F(charts_fixture, aTooltipNamesThePeriodAndTheValue)
{
    three_days();
    auto v = make_view();
    total_time_only(*v);
    v->set_display(ui::chart_display::line);
    ui::chart_canvas& c = v->canvas();
    c.resize(800, 420);
    const auto g = c.layout(c.rect(), c.fontMetrics());
    const QPointF pt = c.point_at(0, 5, g);
    const QString tip = c.tip_at(pt.toPoint());
    EXPECT_TRUE(tip.endsWith("Total time: 3.00 hours")) << tip.toStdString();
    EXPECT_TRUE(tip.startsWith(time::format_long_date(today - 2 * 86400))) << tip.toStdString();
    EXPECT_TRUE(c.tip_at(QPoint(static_cast<int>(pt.x()), g.plot.top() + 2)).isEmpty());
}

TEST_F(charts_fixture, theSummaryTableEndsWithTotal)
{
    three_days();
    auto v = make_view();
    total_time_only(*v);
    QTableWidget* t = v->summary();
    ASSERT_EQ(t->rowCount(), 9);
    ASSERT_EQ(t->columnCount(), 2);
    EXPECT_EQ(t->horizontalHeaderItem(1)->text(), "Total time");
    EXPECT_EQ(t->item(8, 0)->text(), "Total");
    EXPECT_EQ(t->item(8, 1)->text(), "6.00");
    EXPECT_EQ(t->item(5, 1)->text(), "3.00");
}

TEST_F(charts_fixture, choicesComeBackFromTheSettingsFile)
{
    {
        auto v = make_view();
        EXPECT_EQ(v->range_name(), "Last 7 Days");
        EXPECT_EQ(v->granularity(), schedule::granularity::by_day);
        v->choose_range(QStringLiteral("Last 90 Days"));
        EXPECT_EQ(v->granularity(), schedule::granularity::by_week);  // the range brings its periods
        v->set_granularity(schedule::granularity::by_month);
        v->set_display(ui::chart_display::line);
        v->set_counters(true);
        v->set_series_visible(0, 0, false);
        v->add_series(0, schedule::series_kind::gaps);
        EXPECT_EQ(v->caption(), "Range: Last 90 Days");
    }
    auto v = make_view();
    EXPECT_EQ(v->range_name(), "Last 90 Days");
    EXPECT_EQ(v->granularity(), schedule::granularity::by_month);
    EXPECT_EQ(v->canvas().display(), ui::chart_display::line);
    EXPECT_TRUE(v->canvas().counters());
    const schedule::series_group g = v->shown_groups()[0];
    ASSERT_EQ(g.series.size(), 7u);
    EXPECT_FALSE(g.series[0].visible);
    EXPECT_EQ(g.series[6].kind, schedule::series_kind::gaps);
    // The new series took the first colour free: the first one's, given up.
    EXPECT_EQ(g.series[6].color, schedule::series_palette()[0]);
}

TEST_F(charts_fixture, everySeriesOffShowsNoData)
{
    auto v = make_view();
    for (std::size_t i = 0; i < 6; ++i)
        v->set_series_visible(0, i, false);
    EXPECT_TRUE(schedule::no_data(v->canvas().data(), v->shown_groups()));
    const QImage image = draw(v->canvas(), QRect(0, 0, 400, 300));
    EXPECT_FALSE(image.isNull());
}

TEST_F(charts_fixture, thePagePrintsToAFile)
{
    three_days();
    auto v = make_view();
    const QString file = core.folder() + QStringLiteral("chart.pdf");
    EXPECT_TRUE(ui::print_charts_to_pdf(*v, file));
}

TEST_F(charts_fixture, roleBalanceFillsAQuarterOfTheWorkdayAndTheRowsScaleToTheLargest)
{
    store::role_record r;
    r.name = QStringLiteral("Writer");
    r.parent = 0;
    r.background_color = model::rgb(0, 0, 200);
    const std::int32_t writer = core.core().tables().roles.add_entity(r)->id;
    r.name = QStringLiteral("Reader");
    r.background_color = model::rgb(0, 160, 0);
    const std::int32_t reader = core.core().tables().roles.add_entity(r)->id;
    task("Draft", today, 90 * 60, writer);
    task("Book", today, 30 * 60, reader);
    task("Old", today - 86400, 2 * hour, writer);

    ui::time_spent_panel panel({store(), core.core().projects(), core.core().roles()});
    panel.resize(600, 400);
    ASSERT_EQ(panel.report().scale, app::current_options().preferable_workload);  // 8 h
    ui::role_balance_bar* bar = panel.balance();
    bar->resize(400, 44);
    const QRectF writer_share = bar->share_rect(0);
    const QRectF reader_share = bar->share_rect(1);
    const double full = writer_share.width() + reader_share.width();
    EXPECT_NEAR(full / (bar->width() - 3), 2.0 / 8.0, 0.01);  // 2 h of 8 h
    EXPECT_NEAR(writer_share.width(), 3 * reader_share.width(), 0.01);
    QImage image(bar->size(), QImage::Format_RGB32);
    bar->render(&image);
    EXPECT_EQ(image.pixelColor(QPoint(static_cast<int>(writer_share.left()) + 2, static_cast<int>(writer_share.center().y()))),
              QColor(0, 0, 200));

    ui::time_spent_rows* rows = panel.rows();
    rows->resize(600, rows->sizeHint().height());
    ASSERT_EQ(panel.report().groups.size(), 1u);  // only "Time Spent, by Role"
    EXPECT_NEAR(rows->bar_rect(0, 1).width() * 3, rows->bar_rect(0, 0).width(), 0.01);

    panel.set_range(schedule::report_range::yesterday);
    EXPECT_EQ(panel.report().scale, 2 * hour);
    EXPECT_NEAR(panel.balance()->share_rect(0).width(), bar->width() - 3, 0.01);  // the whole scale
}

// ---- in the planner ----

struct planner_charts : ::testing::Test {
    fixed_clock clock{today + 10 * hour};
    temp_folder folder;
    std::unique_ptr<ui::planner> p;

    void start()
    {
        p = std::make_unique<ui::planner>(portable_locator(folder.path()));
        p->start();
        p->frame().show();
        p->frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&p->frame()));
    }
    static void settle()
    {
        for (int i = 0; i < 4; ++i)
            QCoreApplication::processEvents();
    }
};

TEST_F(planner_charts, theChartsTabTheOverviewAndTheDailyReportShowTheTime)
{
    start();
    p->frame().on_command(ui::cmd::charts);
    settle();
    auto* charts = dynamic_cast<ui::charts_view*>(p->frame().active_view());
    ASSERT_NE(charts, nullptr);
    EXPECT_TRUE(p->frame().command_action(ui::cmd::print)->isEnabled());
    // The tab's "Projects" switch has its own command and leaves the tab in front.
    p->frame().on_command(ui::chart_cmd::projects);
    settle();
    EXPECT_EQ(p->frame().active_view(), charts);
    EXPECT_GT(charts->shown_groups().size(), 0u);
    p->frame().on_command(ui::chart_cmd::by_week);
    EXPECT_EQ(charts->granularity(), schedule::granularity::by_week);

    auto t = std::make_shared<model::task>();
    t->name = QStringLiteral("Tracked");
    t->date = today;
    store::tracked_time_record e;
    e.id = p->core().tables().ids.allocate(7);
    e.start = today + 8 * hour;
    e.duration = static_cast<std::int32_t>(hour);
    t->tracked_times.push_back(e);
    p->core().tasks().add(t);
    p->core().tasks().end_change_batch();
    settle();
    EXPECT_DOUBLE_EQ(charts->canvas().data().totals[0], 1.0);  // the chart followed the change

    p->frame().on_command(ui::cmd::overview);
    settle();
    auto* panel = p->frame().findChild<ui::time_spent_panel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->report().largest, hour);

    p->clapperboard().show(tracking::menu_mode::report);
    settle();
    ui::clapperboard_window* w = p->clapperboard().window();
    ASSERT_NE(w, nullptr);
    ASSERT_NE(w->report(), nullptr);
    EXPECT_TRUE(w->report()->isVisible());
    EXPECT_EQ(w->report()->report().largest, hour);
    EXPECT_FALSE(w->shown_text().contains("not available"));
    p->clapperboard().close();
    p->frame().close();
    p.reset();
}

}  // namespace
