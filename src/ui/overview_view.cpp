#include "ui/overview_view.h"

#include "ui/commands.h"
#include "ui/overview_drag.h"
#include "ui/value_exercise_dialog.h"

#include <QColorDialog>
#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::ui {

namespace {
constexpr int name_column = 0, description_column = 1;

bool is_role_message(int m)
{
    return (m >= store::message::role_base && m <= store::message::role_base + 3) ||
           (m >= store::message::value_base && m <= store::message::value_base + 3) ||
           m == store::message::mission_statement_changed;
}
}  // namespace

QColor stored_color(std::int32_t c) { return QColor(model::red_of(c), model::green_of(c), model::blue_of(c)); }
std::int32_t to_stored_color(const QColor& c) { return model::rgb(c.red(), c.green(), c.blue()); }

// ---- the values list ----

value_list_pane::value_list_pane(overview_view& owner, store::tables& tables, history::role_commands& commands,
                                 QWidget* parent)
    : owner_(owner), tables_(tables), commands_(commands)
{
    list_ = new cell_list(*this,
                          {{name_column, "Value", true, 1.0, -1, -1, true},
                           {description_column, "Description", true, 1.0, -1, -1, false}},
                          list_style::focus_row_commit, parent);
    list_->setObjectName(QStringLiteral("value_list"));
    list_->set_name_column(name_column);
}

void value_list_pane::refresh(std::int32_t focus_id)
{
    if (focus_id == 0)
        focus_id = value_at(list_->focus_row());
    std::vector<store::value_record> values;
    for (const auto& v : tables_.values.cache())
        values.push_back(*v);
    ids_.clear();
    int focus_row = -1;
    for (const auto& v : model::values_in_order(values)) {
        if (v.id == focus_id)
            focus_row = static_cast<int>(ids_.size());
        ids_.push_back(v.id);
    }
    if (focus_row < 0 && !ids_.empty())
        focus_row = std::clamp(list_->focus_row(), 0, row_count() - 1);
    list_->reload(focus_row, std::max(0, list_->focus_column_id()));
}

std::int32_t value_list_pane::value_at(int row) const
{
    return row >= 0 && row < row_count() ? ids_[static_cast<std::size_t>(row)] : 0;
}

QString value_list_pane::cell_text(int row, int column_id) const
{
    auto v = tables_.values.find(value_at(row));
    if (!v)
        return QString();
    return column_id == name_column ? QStringLiteral("%1. %2").arg(row + 1).arg(v->name) : v->description;
}

int value_list_pane::editor_of(int, int) const { return editor_kind::text; }

bool value_list_pane::begin_text_edit(int row, int column_id, QString& initial)
{
    auto v = tables_.values.find(value_at(row));
    if (!v)
        return false;
    initial = column_id == name_column ? v->name : v->description;
    return true;
}

int value_list_pane::commit_text(int row, int column_id, const QString& text)
{
    auto v = tables_.values.find(value_at(row));
    if (!v)
        return 0;
    if (column_id == name_column) {
        if (text.trimmed().isEmpty()) {
            owner_.report(QStringLiteral("A value needs a name."));
            return 2;
        }
        commands_.rename_value(v->id, text);
    } else {
        commands_.set_value_description(v->id, text);
    }
    return 0;
}

int value_list_pane::add_row(int focus_row)
{
    const int index = focus_row >= 0 && focus_row < row_count() ? focus_row + 1 : -1;
    const std::int32_t id = commands_.add_value(QStringLiteral("New Value"), index);
    refresh(id);
    return list_->focus_row();
}

bool value_list_pane::list_command(int id) { return owner_.own_command(id); }

// ---- the view ----

overview_view::overview_view(store::tables& tables, model::role_store& roles, history::role_commands& commands,
                             QWidget* parent)
    : view(id, QStringLiteral("Overview"), parent), tables_(tables), roles_(roles), commands_(commands)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* caption = new QLabel(QStringLiteral("<b>Mission Statement</b>"), this);
    layout->addWidget(caption);
    mission_ = new QPlainTextEdit(this);
    mission_->setObjectName(QStringLiteral("mission_statement"));
    mission_->setPlaceholderText(QStringLiteral("\u00ABNo mission statement, type here to enter\u00BB"));
    mission_->setFixedHeight(mission_->fontMetrics().lineSpacing() * 4 + 12);
    mission_->installEventFilter(this);
    layout->addWidget(mission_);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* left = new QWidget(splitter);
    auto* left_layout = new QVBoxLayout(left);
    left_layout->setContentsMargins(0, 0, 0, 0);
    left_layout->addWidget(new QLabel(QStringLiteral("<b>Life Areas and Roles</b>"), left));
    list_ = new cell_list(*this,
                          {{name_column, "Life Area / Role", true, 1.0, -1, -1, true},
                           {description_column, "Description", true, 1.0, -1, -1, false}},
                          list_style::focus_row_commit | list_style::no_enter_add, left);
    list_->setObjectName(QStringLiteral("role_list"));
    list_->set_name_column(name_column);
    list_->setItemDelegateForColumn(0, new tree_delegate(*list_, tree_));
    left_layout->addWidget(list_);

    auto* right = new QWidget(splitter);
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(0, 0, 0, 0);
    right_layout->addWidget(new QLabel(QStringLiteral("<b>Values</b>"), right));
    values_ = std::make_unique<value_list_pane>(*this, tables_, commands_, right);
    right_layout->addWidget(&values_->list());
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    // The roles and values above; other parts of the Overview (the habits
    // and routines) are added below with add_section.
    sections_ = new QSplitter(Qt::Vertical, this);
    sections_->setChildrenCollapsible(false);
    // What it needs is more than a small main window has: it gives way
    // rather than make the whole window taller.
    sections_->setMinimumHeight(160);
    sections_->addWidget(splitter);
    layout->addWidget(sections_, 1);

    drag_ = std::make_unique<overview_drag>(*this, roles_, commands_);
    store::listeners().add(this);
    refresh();
    // Every life area starts open, so a new user sees the roles at once.
    tree_.expand_all();
    refresh();
}

overview_view::~overview_view() { store::listeners().remove(this); }

std::vector<toolbar_button> overview_view::buttons() const
{
    return {{"Value Discovery Exercise", overview_cmd::value_exercise},
            {"-", 0},
            {"Add Role", overview_cmd::add_role},
            {"Add Life Area", overview_cmd::add_life_area},
            {"-", 0},
            {"Set Color", overview_cmd::set_color},
            {"Copy Color to Child Roles", overview_cmd::copy_color},
            {"Disassociate from Life Area", overview_cmd::disassociate},
            {"-", 0},
            {"Show Values Under Roles", overview_cmd::show_values, true, show_values_}};
}

void overview_view::schedule_refresh()
{
    if (refresh_pending_)
        return;
    refresh_pending_ = true;
    QTimer::singleShot(0, this, [this] {
        refresh_pending_ = false;
        // A reload would close an open editor; its commit brings the next one.
        if (list_->editing() || values_->list().editing())
            return;
        refresh();
    });
}

long overview_view::on_announcement(const store::announcement& a)
{
    if (is_role_message(a.message))
        schedule_refresh();
    return 0;
}

void overview_view::refresh()
{
    const row_item* focus = item_at(list_->focus_row());
    const QString focus_key = focus ? QStringLiteral("%1:%2:%3").arg(focus->kind).arg(focus->id).arg(focus->role)
                                    : QString();
    std::vector<tree_rows::node> nodes;
    items_.clear();
    auto add_role_rows = [&](const store::role_record& r, int level) {
        const std::vector<std::int32_t> values = show_values_ ? roles_.values_of(r) : std::vector<std::int32_t>{};
        nodes.push_back({QString::number(r.id), level, -1, !values.empty()});
        items_.push_back({1, r.id, 0});
        for (std::int32_t v : values) {
            nodes.push_back({QStringLiteral("%1.%2").arg(r.id).arg(v), level + 1, -1, false});
            items_.push_back({2, v, r.id});
        }
    };
    for (const auto& area : roles_.life_areas()) {
        const auto children = roles_.roles_of(area->id);
        nodes.push_back({QString::number(area->id), 0, -1, !children.empty()});
        items_.push_back({0, area->id, 0});
        for (const auto& r : children)
            add_role_rows(*r, 1);
    }
    for (const auto& r : roles_.roles_outside())
        add_role_rows(*r, 0);
    tree_.set_nodes(std::move(nodes));
    int row = -1;
    for (int i = 0; i < row_count() && !focus_key.isEmpty(); ++i) {
        const row_item* it = item_at(i);
        if (QStringLiteral("%1:%2:%3").arg(it->kind).arg(it->id).arg(it->role) == focus_key)
            row = i;
    }
    if (row < 0 && row_count() > 0)
        row = std::clamp(list_->focus_row(), 0, row_count() - 1);
    list_->reload(row, std::max(0, list_->focus_column_id()));
    values_->refresh();
    if (!mission_->hasFocus() && mission_->toPlainText() != tables_.mission_statement.text())
        mission_->setPlainText(tables_.mission_statement.text());
}

const overview_view::row_item* overview_view::item_at(int row) const
{
    const int node = tree_.node_of_row(row);
    return node >= 0 && node < static_cast<int>(items_.size()) ? &items_[static_cast<std::size_t>(node)] : nullptr;
}

QString overview_view::cell_text(int row, int column_id) const
{
    const row_item* it = item_at(row);
    if (it == nullptr)
        return QString();
    if (it->kind == 2) {
        auto v = tables_.values.find(it->id);
        return v ? (column_id == name_column ? v->name : v->description) : QString();
    }
    const store::role_record& r = roles_.find(it->id);
    return column_id == name_column ? r.name : r.description;
}

row_style overview_view::style_of(int row) const
{
    row_style s;
    const row_item* it = item_at(row);
    if (it == nullptr)
        return s;
    if (it->kind == 2) {
        s.dimmed = false;
        return s;
    }
    const store::role_record& r = roles_.find(it->id);
    s.bold = it->kind == 0;
    s.background = stored_color(r.background_color);
    return s;
}

QColor overview_view::cell_foreground(int row, int column_id) const
{
    const row_item* it = item_at(row);
    if (it == nullptr || it->kind == 2)
        return {};
    // The fill is the role's own, so the text takes the role's colour or
    // black, never the desktop's (perhaps light) text colour.
    const store::role_record& r = roles_.find(it->id);
    return column_id == name_column ? stored_color(r.foreground_color) : QColor(Qt::black);
}

int overview_view::editor_of(int row, int) const
{
    const row_item* it = item_at(row);
    return it != nullptr && it->kind != 2 ? editor_kind::text : editor_kind::none;
}

int overview_view::commit_text(int row, int column_id, const QString& text)
{
    const row_item* it = item_at(row);
    if (it == nullptr || it->kind == 2)
        return 0;
    if (column_id == name_column) {
        if (text.trimmed().isEmpty()) {
            report(QStringLiteral("A role or life area needs a name."));
            return 2;
        }
        commands_.rename(it->id, text);
    } else {
        commands_.set_description(it->id, text);
    }
    return 0;
}

int overview_view::add_row(int) { return -1; }

std::int32_t overview_view::focus_life_area() const
{
    const row_item* it = item_at(list_->focus_row());
    if (it == nullptr)
        return 0;
    const std::int32_t id = it->kind == 2 ? it->role : it->id;
    const store::role_record& r = roles_.find(id);
    if (model::role_store::is_life_area(r))
        return r.id;
    const store::role_record& area = roles_.find(r.parent);
    return model::role_store::is_life_area(area) ? area.id : 0;
}

std::vector<std::int32_t> overview_view::selected_roles(bool life_areas) const
{
    QVector<int> rows = list_->selected_rows();
    if (rows.isEmpty() && list_->focus_row() >= 0)
        rows << list_->focus_row();
    std::vector<std::int32_t> out;
    for (int row : rows)
        if (const row_item* it = item_at(row))
            if ((it->kind == 0) == life_areas && it->kind != 2)
                out.push_back(it->id);
    return out;
}

void overview_view::add_role(bool life_area)
{
    const std::int32_t parent = life_area ? -1 : focus_life_area();
    const std::int32_t id = commands_.add(life_area ? QStringLiteral("New Life Area") : QStringLiteral("New Role"), parent);
    if (parent > 0)
        tree_.set_expanded(QString::number(parent), true);
    refresh();
    for (int row = 0; row < row_count(); ++row)
        if (const row_item* it = item_at(row); it != nullptr && it->kind != 2 && it->id == id) {
            list_->setFocus();
            list_->set_focus_cell(row, name_column);
            list_->edit_cell(row, name_column);
            break;
        }
}

void overview_view::set_color()
{
    const row_item* it = item_at(list_->focus_row());
    if (it == nullptr || it->kind == 2) {
        report(QStringLiteral("Choose a life area or a role to colour."));
        return;
    }
    const store::role_record r = roles_.find(it->id);
    // The palette's first colours are offered as custom colours.
    const auto palette = model::color_palette();
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, stored_color(palette[static_cast<std::size_t>(i * 8 % 125)]));
    const QColor fill = QColorDialog::getColor(stored_color(r.background_color), this,
                                               QStringLiteral("Fill Color of %1").arg(r.name));
    if (!fill.isValid())
        return;
    const QColor text = QColorDialog::getColor(stored_color(r.foreground_color), this,
                                               QStringLiteral("Text Color of %1").arg(r.name));
    if (!text.isValid())
        return;
    commands_.set_color(r.id, to_stored_color(text), to_stored_color(fill));
}

void overview_view::delete_selected()
{
    if (values_->list().hasFocus()) {
        QVector<int> rows = values_->list().selected_rows();
        if (rows.isEmpty() && values_->list().focus_row() >= 0)
            rows << values_->list().focus_row();
        std::vector<std::int32_t> ids;
        for (int row : rows)
            if (std::int32_t v = values_->value_at(row))
                ids.push_back(v);
        commands_.delete_values(ids);
        return;
    }
    QVector<int> rows = list_->selected_rows();
    if (rows.isEmpty() && list_->focus_row() >= 0)
        rows << list_->focus_row();
    history::role_items items;
    for (int row : rows)
        if (const row_item* it = item_at(row)) {
            if (it->kind == 2)
                items.role_values.push_back({it->role, it->id});
            else if (list_->focus_column_id() == description_column && rows.size() == 1)
                items.descriptions.push_back(it->id);  // Delete on a description clears it
            else
                items.roles.push_back(it->id);
        }
    commands_.remove_items(items);
}

void overview_view::commit_mission() { commands_.set_mission_statement(mission_->toPlainText()); }

bool overview_view::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mission_ && event->type() == QEvent::FocusOut)
        commit_mission();
    return view::eventFilter(watched, event);
}

bool overview_view::own_command(int command)
{
    switch (command) {
    case overview_cmd::add_role: add_role(false); return true;
    case overview_cmd::add_life_area: add_role(true); return true;
    case overview_cmd::show_values:
        show_values_ = !show_values_;
        if (show_values_)
            tree_.expand_all();
        refresh();
        if (show_values_) {
            tree_.expand_all();
            refresh();
        }
        return true;
    case overview_cmd::set_color: set_color(); return true;
    case overview_cmd::value_exercise: open_value_exercise(); return true;
    case overview_cmd::copy_color:
        if (!commands_.copy_color_to_child_roles(selected_roles(true)))
            report(QStringLiteral("The roles of the selected life areas already have its colours."));
        return true;
    case overview_cmd::disassociate: commands_.disassociate(selected_roles(false)); return true;
    case overview_cmd::add_value: values_->list().setFocus(); values_->list().add_row(); return true;
    case cmd::delete_: delete_selected(); return true;
    case cmd::move_up:
    case cmd::move_down: {
        const std::int32_t v = values_->value_at(values_->list().focus_row());
        if (v != 0 && commands_.move_value(v, command == cmd::move_up ? -1 : 1))
            values_->refresh(v);
        return true;
    }
    default: return false;
    }
}

bool overview_view::handle_command(int command)
{
    if (own_command(command))
        return true;
    if (values_->list().hasFocus())
        return values_->list().handle_command(command);
    return list_->handle_command(command) || handle_tree_command(*list_, tree_, command);
}

bool overview_view::handles(int command) const
{
    switch (command) {
    case overview_cmd::add_role: case overview_cmd::add_life_area: case overview_cmd::show_values:
    case overview_cmd::set_color: case overview_cmd::copy_color: case overview_cmd::disassociate:
    case overview_cmd::add_value: case cmd::delete_: case cmd::move_up: case cmd::move_down:
    case overview_cmd::value_exercise:
        return true;
    default:
        return values_->list().can_handle(command) || list_->can_handle(command);
    }
}

void overview_view::open_value_exercise()
{
    value_exercise_dialog dialog(exercise_, commands_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::vector<std::int32_t>& added = dialog.added();
    if (added.empty()) {
        report(QStringLiteral("No value was added: move the values you choose to the right list, or type them."));
        return;
    }
    values_->refresh(added.front());
    report(added.size() == 1 ? QStringLiteral("1 value added to your values.")
                             : QStringLiteral("%1 values added to your values.").arg(added.size()));
}

void overview_view::add_section(QWidget* section)
{
    section->setParent(sections_);
    sections_->addWidget(section);
    sections_->setStretchFactor(0, 3);
    sections_->setStretchFactor(sections_->count() - 1, 2);
}

}  // namespace qm::ui
