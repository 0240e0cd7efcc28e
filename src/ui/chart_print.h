#pragma once
// Printing the Charts tab: File > Print asks for the printer, Print Preview
// shows the pages first. One landscape page: the range's caption, the chart
// as the tab draws it and the totals of the visible series.

#include <QString>

class QPagedPaintDevice;

namespace qm::ui {

class charts_view;

// Asks for a printer (or shows the preview) and prints the chart.
void print_charts(charts_view& view, bool preview);
// Draws the page onto a printer or a PDF writer.
void render_chart_page(const charts_view& view, QPagedPaintDevice& device);
// Writes the page as a PDF file; false when the file could not be written.
bool print_charts_to_pdf(const charts_view& view, const QString& file);

}  // namespace qm::ui
