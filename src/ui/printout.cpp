#include "ui/printout.h"

#include "time/clock.h"
#include "time/format.h"
#include "ui/cell_list.h"
#include "ui/tree_rows.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>

namespace qm::ui {

printout printout_of_list(cell_list& list, const QString& title, const QString& range)
{
    printout p;
    p.title = title;
    p.range = range;
    const column_model& cols = list.columns();
    const QVector<int> order = cols.display_order();
    std::vector<int> ids;
    for (int i : order) {
        p.columns << cols.columns[i].title;
        p.widths << (cols.columns[i].proportional() ? cols.columns[i].width : 0.0);
        ids.push_back(cols.columns[i].id);
    }
    cell_list_owner& owner = list.owner();
    tree_rows* tree = owner.tree();
    for (int r = 0; r < owner.row_count(); ++r) {
        printout::line l;
        const row_style s = owner.style_of(r);
        l.level = tree != nullptr ? tree->level_of_row(r) : 0;
        l.struck = s.struck;
        if (s.heading) {
            l.kind = printout::line::heading;
            // A heading names itself in one of its cells, not always the first.
            for (int id : ids)
                if (const QString text = owner.cell_text(r, id); !text.isEmpty()) {
                    l.cells << text;
                    break;
                }
        } else {
            for (int id : ids) {
                QString text = owner.cell_text(r, id);
                const int check = owner.check_state(r, id);
                if (check >= 0 && text.isEmpty())
                    text = check == 2 ? QStringLiteral("\u2611") : QStringLiteral("\u2610");
                l.cells << text;
            }
        }
        p.lines.push_back(std::move(l));
    }
    return p;
}

namespace {

struct page_metrics {
    QRectF area;
    double row_height = 0;
    double heading_height = 0;
    double top_height = 0;     // the title block and the column titles
    double foot_height = 0;
    QFont body, bold, title, note;
    std::vector<double> widths;  // of the columns, in device pixels
};

// Each column as wide as its title and its widest cell (a long one capped),
// the room left shared by the list's own proportions; when the page is too
// narrow, every column gives up the same fraction.
std::vector<double> column_widths(const printout& p, const QPaintDevice* device, const page_metrics& m)
{
    const QFontMetricsF body(m.body, device), bold(m.bold, device);
    const double page = m.area.width();
    const double padding = body.horizontalAdvance(QStringLiteral("  "));
    std::vector<double> need(static_cast<std::size_t>(p.columns.size()), 0.0);
    for (int c = 0; c < p.columns.size(); ++c)
        need[static_cast<std::size_t>(c)] = bold.horizontalAdvance(p.columns[c]) + padding;
    for (const printout::line& l : p.lines)
        if (l.kind == printout::line::row)
            for (int c = 0; c < l.cells.size() && c < p.columns.size(); ++c) {
                const double indent = c == 0 ? l.level * m.row_height * 0.9 : 0;
                double& n = need[static_cast<std::size_t>(c)];
                n = std::max(n, std::min(page * 0.4, body.horizontalAdvance(l.cells[c]) + padding + indent));
            }
    double total = 0;
    for (double n : need)
        total += n;
    std::vector<double> out = need;
    if (total <= 0)
        return out;
    if (total > page) {
        for (double& w : out)
            w *= page / total;
        return out;
    }
    double shares = 0;
    for (int c = 0; c < p.columns.size(); ++c)
        shares += p.widths.value(c);
    for (int c = 0; c < p.columns.size(); ++c)
        out[static_cast<std::size_t>(c)] += (page - total) * (shares > 0 ? p.widths.value(c) / shares : 1.0 / p.columns.size());
    return out;
}

page_metrics metrics_for(QPrinter& printer, QPainter& painter)
{
    page_metrics m;
    m.area = printer.pageLayout().paintRectPixels(printer.resolution()).translated(
        -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());
    m.body = QFont(QStringLiteral("DejaVu Sans"));
    m.body.setPointSizeF(9);
    m.bold = m.body;
    m.bold.setBold(true);
    m.note = m.body;
    m.note.setItalic(true);
    m.title = m.body;
    m.title.setPointSizeF(14);
    m.title.setBold(true);
    painter.setFont(m.body);
    const double h = QFontMetricsF(m.body, &printer).height();
    m.row_height = h * 1.4;
    m.heading_height = h * 1.9;
    m.top_height = QFontMetricsF(m.title, &printer).height() * 1.3 + h * 1.2 + m.row_height * 1.3;
    m.foot_height = h * 2.0;
    return m;
}

double height_of(const printout::line& l, const page_metrics& m)
{
    return l.kind == printout::line::heading ? m.heading_height : m.row_height;
}

// The index of the first line of each page.
std::vector<std::size_t> paginate(const printout& p, const page_metrics& m)
{
    std::vector<std::size_t> starts{0};
    const double room = std::max(m.row_height * 3, m.area.height() - m.top_height - m.foot_height);
    double used = 0;
    for (std::size_t i = 0; i < p.lines.size(); ++i) {
        const double h = height_of(p.lines[i], m);
        // A heading never ends a page on its own.
        const double needed = p.lines[i].kind == printout::line::heading ? h + m.row_height : h;
        if (used > 0 && used + needed > room) {
            starts.push_back(i);
            used = 0;
        }
        used += h;
    }
    return starts;
}

void draw_top(QPainter& painter, const printout& p, const page_metrics& m, double& y)
{
    painter.setFont(m.title);
    const double title_h = QFontMetricsF(m.title, painter.device()).height() * 1.3;
    painter.drawText(QRectF(m.area.left(), y, m.area.width() * 0.6, title_h), Qt::AlignLeft | Qt::AlignVCenter, p.title);
    painter.setFont(m.body);
    painter.drawText(QRectF(m.area.left() + m.area.width() * 0.4, y, m.area.width() * 0.6, title_h),
                     Qt::AlignRight | Qt::AlignVCenter, p.range);
    y += title_h;
    painter.drawLine(QPointF(m.area.left(), y), QPointF(m.area.right(), y));
    y += m.row_height * 0.5;
    painter.setFont(m.bold);
    double x = m.area.left();
    for (int c = 0; c < p.columns.size(); ++c) {
        const double w = m.widths[static_cast<std::size_t>(c)];
        painter.drawText(QRectF(x + 2, y, w - 4, m.row_height), Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(m.bold, painter.device()).elidedText(p.columns[c], Qt::ElideRight, w - 4));
        x += w;
    }
    y += m.row_height;
    painter.drawLine(QPointF(m.area.left(), y), QPointF(m.area.right(), y));
    y += m.row_height * 0.3;
}

void draw_line(QPainter& painter, const printout& p, const printout::line& l, const page_metrics& m, double y)
{
    const double indent = l.level * m.row_height * 0.9;
    if (l.kind == printout::line::heading) {
        const QRectF band(m.area.left(), y + m.heading_height * 0.2, m.area.width(), m.heading_height * 0.75);
        painter.fillRect(band, QColor(225, 230, 238));
        painter.setFont(m.bold);
        painter.drawText(band.adjusted(4 + indent, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, l.cells.value(0));
        return;
    }
    if (l.kind == printout::line::note) {
        painter.setFont(m.note);
        const QRectF r(m.area.left() + indent + m.row_height, y, m.area.width() - indent - m.row_height, m.row_height);
        painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(m.note, painter.device()).elidedText(l.cells.value(0), Qt::ElideRight, r.width()));
        return;
    }
    QFont f = m.body;
    f.setStrikeOut(l.struck);
    painter.setFont(f);
    const QFontMetricsF fm(f, painter.device());
    double x = m.area.left();
    for (int c = 0; c < p.columns.size(); ++c) {
        const double w = m.widths[static_cast<std::size_t>(c)];
        const double shift = c == 0 ? indent : 0;
        const QRectF r(x + 2 + shift, y, w - 4 - shift, m.row_height);
        painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(l.cells.value(c), Qt::ElideRight, r.width()));
        x += w;
    }
    painter.setPen(QColor(215, 215, 215));
    painter.drawLine(QPointF(m.area.left(), y + m.row_height), QPointF(m.area.right(), y + m.row_height));
    painter.setPen(Qt::black);
}

}  // namespace

int render_printout(const printout& p, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    page_metrics m = metrics_for(printer, painter);
    m.widths = column_widths(p, &printer, m);
    const std::vector<std::size_t> starts = paginate(p, m);
    const int pages = static_cast<int>(starts.size());
    const QString printed = QStringLiteral("Printed %1").arg(time::format_date_time(time::now()));
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        painter.setPen(Qt::black);
        double y = m.area.top();
        draw_top(painter, p, m, y);
        const std::size_t end = page + 1 < pages ? starts[static_cast<std::size_t>(page) + 1] : p.lines.size();
        for (std::size_t i = starts[static_cast<std::size_t>(page)]; i < end; ++i) {
            draw_line(painter, p, p.lines[i], m, y);
            y += height_of(p.lines[i], m);
        }
        if (p.lines.empty()) {
            painter.setFont(m.note);
            painter.drawText(QRectF(m.area.left(), y, m.area.width(), m.row_height), Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("Nothing to show."));
        }
        painter.setFont(m.body);
        const QRectF foot(m.area.left(), m.area.bottom() - m.foot_height * 0.8, m.area.width(), m.foot_height * 0.8);
        painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, printed);
        painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
    }
    painter.end();
    return pages;
}

void print_printout(const printout& p, QWidget* parent, bool preview)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(p.title);
    if (preview) {
        QPrintPreviewDialog dialog(&printer, parent);
        dialog.setWindowTitle(QStringLiteral("Print Preview \u2014 %1").arg(p.title));
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&p](QPrinter* target) { render_printout(p, *target); });
        dialog.resize(900, 1000);
        dialog.exec();
        return;
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print %1").arg(p.title));
    if (dialog.exec() == QDialog::Accepted)
        render_printout(p, printer);
}

}  // namespace qm::ui
