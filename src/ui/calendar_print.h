#pragma once
// Printing a calendar: the view's heading and dates over its grid of the
// hours that hold something (at least the working hours), scaled to the
// page, in light colours whatever the screen's theme.

class QPrinter;
class QWidget;

namespace qm::ui {

class calendar_view;

// Draws the calendar onto the printer's one page.
void print_calendar(calendar_view& v, QPrinter& printer);
// File > Print (a print dialog) and File > Print Preview.
void print_calendar_dialog(calendar_view& v, bool preview);

}  // namespace qm::ui
