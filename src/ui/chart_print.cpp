#include "ui/chart_print.h"

#include "schedule/chart_data.h"
#include "ui/chart_canvas.h"
#include "ui/charts_view.h"
#include "time/format.h"

#include <algorithm>

#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace qm::ui {

void render_chart_page(const charts_view& view, QPagedPaintDevice& device)
{
    // The page is drawn at screen resolution (twice over, for sharpness) and
    // laid onto the printer's page: fonts and lines keep the proportions
    // they have on screen at any printer resolution.
    const QRect target(QPoint(0, 0), device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    const double inches = static_cast<double>(target.width()) / std::max(1, device.logicalDpiX());
    const int width = std::max(400, static_cast<int>(inches * 96));
    const int height = std::max(300, width * target.height() / std::max(1, target.width()));
    QImage image(width * 2, height * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        const QRect area(0, 0, width, height);
        QFont heading = view.font();
        heading.setBold(true);
        heading.setPointSizeF(heading.pointSizeF() * 1.3);
        p.setFont(heading);
        const int heading_height = p.fontMetrics().height() + 12;
        p.drawText(QRect(area.left(), area.top(), area.width(), heading_height), Qt::AlignLeft | Qt::AlignVCenter,
                   view.caption());

        const chart_canvas& canvas = view.canvas();
        const std::vector<int> shown = canvas.visible_series();
        p.setFont(view.font());
        const int line = p.fontMetrics().height() + 4;
        const int totals_height = (static_cast<int>(shown.size()) + 2) * line;
        const QRect chart(area.left(), area.top() + heading_height, area.width(),
                          std::max(120, area.height() - heading_height - totals_height));
        canvas.render(p, chart);

        p.setFont(view.font());
        p.setPen(Qt::black);
        const schedule::chart_range r = view.range();
        int y = chart.bottom() + line;
        p.drawText(QPoint(area.left(), y), QStringLiteral("%1 to %2, totals:")
                                               .arg(time::format_long_date(r.start), time::format_long_date(r.end)));
        const schedule::chart_data& data = canvas.data();
        for (int s : shown) {
            y += line;
            p.fillRect(QRect(area.left(), y - line / 2 - 2, 10, 10), canvas.color_of(s));
            p.drawText(QPoint(area.left() + 16, y),
                       QStringLiteral("%1: %2").arg(canvas.series_name(s),
                                                    schedule::value_text(data.totals[static_cast<std::size_t>(s)])));
        }
    }
    QPainter out(&device);
    if (!out.isActive())
        return;
    out.setRenderHint(QPainter::SmoothPixmapTransform);
    out.drawImage(QRect(0, 0, target.width(), target.width() * height / width), image);
}

void print_charts(charts_view& view, bool preview)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(view.caption());
    if (preview) {
        QPrintPreviewDialog dialog(&printer, &view);
        dialog.setWindowTitle(QStringLiteral("Print Preview"));
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &view,
                         [&view](QPrinter* target) { render_chart_page(view, *target); });
        dialog.exec();
        return;
    }
    QPrintDialog dialog(&printer, &view);
    if (dialog.exec() == QDialog::Accepted)
        render_chart_page(view, printer);
}

bool print_charts_to_pdf(const charts_view& view, const QString& file)
{
    {
        QPdfWriter writer(file);
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setTitle(view.caption());
        render_chart_page(view, writer);
    }
    return QFileInfo(file).size() > 0;
}

}  // namespace qm::ui
