#include "ui/column_model.h"

#include "app/settings_document.h"

#include <algorithm>
#include <cmath>

namespace qm::ui {

int column_model::index_of(int id) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].id == id)
            return i;
    return -1;
}

void column_model::normalise()
{
    // 1. Unplaced columns take consecutive places.
    int next_order = 0;
    for (const auto& c : columns)
        next_order = std::max(next_order, c.order_index + 1);
    for (auto& c : columns)
        if (c.order_index == -1)
            c.order_index = next_order++;

    // 2. Distinct, consecutive display positions; earlier columns win ties.
    QVector<int> visible;
    for (int i = 0; i < columns.size(); ++i) {
        column& c = columns[i];
        if (!c.visible) {
            c.ui_index = -1;
            continue;
        }
        if (c.ui_index == -1)
            c.ui_index = 0;
        visible << i;
    }
    std::stable_sort(visible.begin(), visible.end(),
                     [&](int a, int b) { return columns[a].ui_index < columns[b].ui_index; });
    for (int pos = 0; pos < visible.size(); ++pos)
        columns[visible[pos]].ui_index = pos;

    // 3. Shares add up to 1, none below 0.05; repeated until nothing changes.
    // Each round raises at least one column for good, so it ends; with 25 or
    // more proportional columns the minimum cannot hold and the last round stops.
    for (int round = 0; round <= columns.size() + 1; ++round) {
        double sum = 0;
        for (const auto& c : columns)
            if (c.visible && c.proportional())
                sum += c.width;
        if (sum <= 0)
            break;
        bool changed = false;
        for (auto& c : columns) {
            if (!c.visible || !c.proportional())
                continue;
            c.width /= sum;
            if (c.width < 0.04) {
                c.width = 0.05;
                changed = true;
            }
        }
        if (!changed)
            break;
    }
}

QVector<int> column_model::display_order() const
{
    QVector<int> order;
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].visible)
            order << i;
    std::sort(order.begin(), order.end(), [&](int a, int b) { return columns[a].ui_index < columns[b].ui_index; });
    return order;
}

QVector<column_span> column_model::layout(int client_width, double dpi) const
{
    QVector<column_span> spans(columns.size());
    const QVector<int> order = display_order();
    int fixed_total = 0;
    bool any_proportional = false;
    if (order.size() > 1)
        for (int i : order) {
            if (!columns[i].proportional())
                fixed_total += static_cast<int>(columns[i].width * dpi / 96.0);
            else
                any_proportional = true;
        }
    // With a large font on a narrow list the fixed columns give way, so that
    // the Task column keeps a third of the width instead of vanishing.
    const int fixed_room = client_width * 2 / 3;
    if (any_proportional && fixed_total > fixed_room && fixed_room > 0) {
        dpi = dpi * fixed_room / fixed_total;
        fixed_total = 0;
        for (int i : order)
            if (!columns[i].proportional())
                fixed_total += static_cast<int>(columns[i].width * dpi / 96.0);
    }
    const int proportional_width = client_width - fixed_total;

    double shares_before = 0;
    int fixed_before = 0;
    QVector<int> lefts;
    for (int i : order) {
        lefts << fixed_before + static_cast<int>(proportional_width * shares_before);
        if (columns[i].proportional())
            shares_before += columns[i].width;
        else
            fixed_before += static_cast<int>(columns[i].width * dpi / 96.0);
    }
    for (int k = 0; k < order.size(); ++k) {
        spans[order[k]].left = lefts[k];
        spans[order[k]].right = k + 1 < order.size() ? lefts[k + 1] : client_width;
    }
    return spans;
}

bool column_model::show(int id)
{
    const int i = index_of(id);
    if (i < 0 || columns[i].visible)
        return false;
    column& c = columns[i];
    if (c.proportional())
        for (auto& other : columns)
            if (other.visible && other.proportional())
                other.width *= (1.0 - c.width);
    c.visible = true;
    c.ui_index = static_cast<int>(display_order().size());  // at the end
    normalise();
    return true;
}

bool column_model::hide(int id)
{
    const int i = index_of(id);
    if (i < 0 || !columns[i].visible || columns[i].locked || display_order().size() <= 1)
        return false;
    columns[i].visible = false;
    normalise();
    return true;
}

bool column_model::toggle(int id)
{
    const int i = index_of(id);
    if (i < 0)
        return false;
    return columns[i].visible ? hide(id) : show(id);
}

void column_model::click_title(int id)
{
    if (sorting_id != id) {
        sorting_id = id;
        ascending = true;
    } else if (ascending) {
        ascending = false;
    } else if (allow_unsorted) {
        sorting_id = -1;
        ascending = true;
    } else {
        ascending = true;
    }
}

void column_model::save(app::settings_document& doc, const QString& block) const
{
    app::settings_node& b = doc.block(block);
    // An older file's "sorting_index" goes; "sorting_id" replaces it.
    b.children.erase(std::remove_if(b.children.begin(), b.children.end(),
                                    [](const app::settings_node& n) { return n.name == QLatin1String("sorting_index"); }),
                     b.children.end());
    app::set_int(b, "sorting_id", sorting_id);
    app::set_int(b, "ascending", ascending ? 1 : 0);
    for (const auto& c : columns) {
        app::settings_node& cb = b.child_block(QString::number(c.id));
        app::set_int(cb, "visible", c.visible ? 1 : 0);
        app::set_string(cb, "width", QString::number(c.width, 'g', 10));
        app::set_int(cb, "ui_index", c.ui_index);
        app::set_int(cb, "order_index", c.order_index);
    }
    app::set_int(b, "filter_flags", filter_flags);
}

void column_model::load(const app::settings_document& doc, const QString& block)
{
    const app::settings_node* b = doc.find_block(block);
    if (b == nullptr) {
        normalise();
        return;
    }
    const int stored_id = app::get_int(*b, "sorting_id", -2);
    const int stored_index = app::get_int(*b, "sorting_index", -1);
    sorting_id = -1;
    if (stored_id != -2) {
        if (index_of(stored_id) >= 0)
            sorting_id = stored_id;
    } else if (stored_index >= 0 && stored_index < columns.size()) {
        sorting_id = columns[stored_index].id;
    }
    ascending = sorting_id == -1 ? true : app::get_bool(*b, "ascending", true);
    for (auto& c : columns) {
        const app::settings_node* cb = b->find_child(QString::number(c.id));
        if (cb == nullptr)
            continue;
        c.visible = app::get_bool(*cb, "visible", c.visible);
        const double w = app::get_real(*cb, "width", c.width);
        if (std::isfinite(w) && w > 0 && w < 100000)
            c.width = w;  // a damaged file must not make a column vanish or swallow the list
        c.ui_index = app::get_int(*cb, "ui_index", -1);
        c.order_index = app::get_int(*cb, "order_index", -1);
    }
    filter_flags = app::get_int(*b, "filter_flags", 0);
    normalise();
}

}  // namespace qm::ui
