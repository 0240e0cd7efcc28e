#pragma once
// Dragging in the Overview: roles onto a life area (they join it) and
// values, from the values list or from under a role, onto a role (they are
// added to its list). Each drop is one undoable, described step. The rows
// travel as their ids under a type of the Overview's own, so a drop
// anywhere else takes nothing.

#include "history/role_commands.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <memory>

class QMimeData;

namespace qm::ui {

class cell_list;
class overview_view;

class overview_drag : public QObject {
    Q_OBJECT
public:
    overview_drag(overview_view& view, const model::role_store& roles, history::role_commands& commands);
    ~overview_drag() override;

    static const QString& mime_type();

    // What a drag begun on a row carries: from the roles list the selected
    // roles (or the selected values under roles), from the values list the
    // selected values; nullptr when the row carries nothing.
    std::unique_ptr<QMimeData> roles_list_data(int row) const;
    std::unique_ptr<QMimeData> values_list_data(int row) const;
    // What dropping onto a row of the roles list would do: Qt::IgnoreAction
    // where nothing can be dropped.
    Qt::DropAction drop_action(const QMimeData& data, int row) const;
    // Carries the drop out; false when nothing changed.
    bool drop(const QMimeData& data, int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct payload {
        bool roles = false;  // else values
        std::vector<std::int32_t> ids;
    };
    static std::unique_ptr<QMimeData> make_data(bool roles, const std::vector<std::int32_t>& ids);
    static bool read(const QMimeData& data, payload& out);
    // The life area or role a drop onto the row goes to; 0 when none.
    std::int32_t target_of(const payload& p, int row) const;
    void start(cell_list& list, int row);

    overview_view& view_;
    const model::role_store& roles_;
    history::role_commands& commands_;
    QPointer<cell_list> pressed_list_;
    QPoint press_at_;
};

}  // namespace qm::ui
