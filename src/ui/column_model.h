#pragma once
// The columns of a list: proportional shares and fixed widths, their order,
// showing and hiding, sorting, and their place in a view's settings block.
// Pure logic, so that the rules can be tested without a window.

#include <QString>
#include <QVector>

namespace qm::app {
class settings_document;
struct settings_node;
}  // namespace qm::app

namespace qm::ui {

struct column {
    int id = 0;
    QString title;
    bool visible = true;
    double width = 0.1;  // below 1.1 a share of the proportional width; else pixels at 96 dpi
    int ui_index = -1;
    int order_index = -1;
    bool locked = false;

    bool proportional() const { return width < 1.1; }
};

struct column_span {
    int left = 0;
    int right = 0;
};

class column_model {
public:
    QVector<column> columns;
    int sorting_id = -1;  // -1: not sorted
    bool ascending = true;
    bool allow_unsorted = false;
    int filter_flags = 0;

    void normalise();
    // Left and right edges of each column (hidden ones empty), for a client width.
    QVector<column_span> layout(int client_width, double dpi = 96.0) const;
    // The visible columns in their display order.
    QVector<int> display_order() const;

    // Showing scales the other proportional shares by (1 − w); hiding is
    // refused for a locked column and for the only visible one.
    bool show(int id);
    bool hide(int id);
    bool toggle(int id);

    // A click on a title: another column sorts ascending; the sorting column
    // toggles (through unsorted where the view allows it).
    void click_title(int id);

    int index_of(int id) const;

    void save(app::settings_document& doc, const QString& block) const;
    void load(const app::settings_document& doc, const QString& block);
};

}  // namespace qm::ui
