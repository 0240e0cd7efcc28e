#include "ui/calendar_print.h"

#include "app/options.h"
#include "time/format.h"
#include "ui/calendar_grid.h"
#include "ui/calendar_view.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStyle>

#include <algorithm>

namespace qm::ui {

void print_calendar(calendar_view& v, QPrinter& printer)
{
    const calendar_grid& shown = v.grid();
    // The hours worth the paper: the working hours and whatever lies outside them.
    const app::options& o = app::current_options();
    int from = std::min(o.working_start, o.working_end), to = std::max(o.working_start, o.working_end);
    for (const calendar_item& i : shown.items()) {
        from = std::min(from, i.start);
        to = std::max(to, i.end);
    }
    from = from / 3600 * 3600;
    to = std::min(86400, (to + 3599) / 3600 * 3600);
    if (to - from < 4 * 3600)
        to = std::min(86400, from + 4 * 3600);

    // A grid of its own, in the light palette, laid out for the page's shape.
    calendar_grid g;
    g.setAttribute(Qt::WA_DontShowOnScreen);
    g.setPalette(QApplication::style()->standardPalette());
    g.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g.setFrameShape(QFrame::NoFrame);
    g.set_days(shown.first_day(), shown.day_count());
    g.set_items(shown.items());
    g.set_bands(o.working_start, o.working_end, o.sleeping_start, o.sleeping_end);
    g.set_current_day(-1);

    QPainter p(&printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double dpi_scale = printer.resolution() / 96.0;
    QFont title = QApplication::font();
    title.setPointSizeF(title.pointSizeF() * 1.4);
    title.setBold(true);
    p.setFont(title);
    const QFontMetricsF title_metrics(title, &printer);
    const QString heading = v.is_week() ? QStringLiteral("%1 \u2013 %2")
                                              .arg(time::format_long_date(shown.first_day()),
                                                   time::format_long_date(time::add_days(shown.first_day(), 6)))
                                        : time::format_long_date(shown.first_day());
    p.drawText(QRectF(0, 0, page.width(), title_metrics.height()), Qt::AlignLeft | Qt::AlignTop, heading);
    QFont small = QApplication::font();
    p.setFont(small);
    const QFontMetricsF small_metrics(small, &printer);
    const double footer = small_metrics.height() * 1.5;
    p.drawText(QRectF(0, page.height() - small_metrics.height(), page.width(), small_metrics.height()),
               Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Page 1 of 1"));
    p.drawText(QRectF(0, page.height() - small_metrics.height(), page.width(), small_metrics.height()),
               Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("%1 \u2013 %2").arg(time::format_time_of_day(from), time::format_time_of_day(to)));

    const double top = title_metrics.height() * 1.5;
    const QSizeF area(page.width(), page.height() - top - footer);
    // The grid's own size in screen pixels, so its fonts keep their proportion.
    const int width = static_cast<int>(area.width() / dpi_scale);
    const int hours = (to - from) / 3600;
    g.resize(width, 100);
    const int header = g.header_height();
    const int hour_height = std::max(16, static_cast<int>((area.height() / dpi_scale - header - 4) / hours));
    g.resize(width, header + hours * hour_height + 2);
    g.show();
    g.set_hour_height(hour_height);
    g.scroll_to_second(from);
    p.save();
    p.translate(0, top);
    p.scale(dpi_scale, dpi_scale);
    p.setClipRect(QRect(QPoint(0, 0), g.viewport()->size()));
    g.render_page(p);
    p.restore();
}

void print_calendar_dialog(calendar_view& v, bool preview)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(v.is_week() ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(v.title());
    if (preview) {
        QPrintPreviewDialog dialog(&printer, &v);
        dialog.setWindowTitle(QStringLiteral("Print Preview \u2014 %1").arg(v.title()));
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &v,
                         [&v](QPrinter* target) { print_calendar(v, *target); });
        dialog.exec();
        return;
    }
    QPrintDialog dialog(&printer, &v);
    if (dialog.exec() == QDialog::Accepted)
        print_calendar(v, printer);
}

}  // namespace qm::ui
