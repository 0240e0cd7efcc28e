#pragma once
// Printing a view: a view that can be printed hands the frame a printout
// (a title, the dates it covers, column titles and the rows with their
// cells), and this piece lays it out on pages of a QPrinter with the
// headings, the column titles on every page and "Page n of m" at the foot.
// File > Print asks for a printer first; Print Preview shows the pages.
// Main thread only.

#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

class QPrinter;
class QWidget;

namespace qm::ui {

class cell_list;

struct printout {
    struct line {
        enum kind_t { heading, row, note } kind = row;
        QStringList cells;  // one per column; a heading or a note uses the first only
        int level = 0;      // indentation of the first cell
        bool struck = false;
    };

    QString title;   // "Day", "Task List"
    QString range;   // the dates shown: "Wednesday, March 11, 2026"
    QStringList columns;
    // Each column takes the width of its title and its cells; what the page
    // has left goes to the columns in these shares (0: a fixed column).
    QVector<double> widths;
    std::vector<line> lines;
};

class printable_view {
public:
    virtual ~printable_view() = default;
    virtual printout make_printout() const = 0;
};

// The rows of a list as it is shown: its visible columns in their order,
// the proportional ones with their shares, headings (rows the owner styles as headings) across the page.
printout printout_of_list(cell_list& list, const QString& title, const QString& range);

// Lays the printout out on the printer's pages; returns the page count.
int render_printout(const printout& p, QPrinter& printer);
// File > Print (preview false: the print dialog first) and Print Preview.
void print_printout(const printout& p, QWidget* parent, bool preview);

}  // namespace qm::ui
