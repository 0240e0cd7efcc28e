#pragma once
// Cut, Copy, Paste and drag and drop between the lists. item_clipboard is
// the program's one link to the system clipboard: it writes and reads the
// item documents under their MIME type (with the rows' names as plain text
// beside them, for other programs) and keeps the cut set, rebuilt whenever
// the clipboard changes. list_exchange is the small piece a list adopts: it
// carries out the list's Cut, Copy and Paste and its drags and drops, and
// hands what arrives to the list's owner.

#include "app/item_documents.h"
#include "model/task_store.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <unordered_set>

class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;

namespace qm::ui {

class cell_list;

// What arrives at a list: an item paste (drop false) or a drop.
struct received_items {
    model::item_list items;
    bool cut = false;   // a paste of a cut, or a drop that moves
    bool drop = false;
    int drop_row = -1;  // the row under the pointer, -1: below the rows
    model::item_descriptor focused;
};

class exchange_owner {
public:
    virtual ~exchange_owner() = default;
    // The references of the selected rows (the focus row when none is), in
    // list order, and of the focus row.
    virtual model::item_list selected_items() const = 0;
    virtual model::item_descriptor focused_item() const = 0;
    // The rows as readable text, one line each, for other programs.
    virtual QString items_text(const model::item_list& items) const = 0;
    virtual void receive_items(const received_items& r) = 0;
    // Plain text pasted; false when the list takes none.
    virtual bool receive_text(const QString& text)
    {
        (void)text;
        return false;
    }
    // The task a row shows, for its cut mark; 0 for none.
    virtual std::int32_t row_task(int row) const
    {
        (void)row;
        return 0;
    }
};

// The names of the tasks among the items, one a line: what other programs
// receive beside the item document.
QString task_names(const model::task_store& tasks, const model::item_list& items);

class item_clipboard : public QObject {
    Q_OBJECT
public:
    item_clipboard(QString database_path, const model::task_store& tasks, QObject* parent = nullptr);

    const QString& database_path() const { return database_path_; }

    // Empties the clipboard and puts the document and the text on it.
    void put(const model::item_list& items, bool cut, const QString& text);
    // The clipboard's item document, when it holds one (it may yield no
    // items: another database's).
    bool has_document() const;
    app::clipboard_contents document() const;
    // Plain text on the clipboard, when there is some.
    bool has_text() const;
    QString text() const;
    void clear();

    bool is_cut(std::int32_t task_id) const { return cut_.count(task_id) != 0; }
    const std::unordered_set<std::int32_t>& cut_set() const { return cut_; }
    // Rebuilt on every clipboard change; tests call it directly.
    void rebuild_cut_set();

    // The data a drag carries, and what a drop finds in it.
    QMimeData* drag_data(const model::item_descriptor& focused, const model::item_list& items,
                         const QString& text) const;
    static bool offers_items(const QMimeData* data);
    app::drag_contents read_drag(const QMimeData* data) const;

signals:
    // The cut marks changed: the lists redraw.
    void cut_set_changed();

private:
    QString database_path_;
    const model::task_store& tasks_;
    std::unordered_set<std::int32_t> cut_;
};

class list_exchange : public QObject {
    Q_OBJECT
public:
    list_exchange(cell_list& list, exchange_owner& owner, item_clipboard& clipboard);
    ~list_exchange() override;

    // Cut, Copy and Paste.
    bool handle_command(int id);
    bool can_handle(int id) const;
    bool is_cut_row(int row) const;

    // Called by the list.
    void start_drag();
    void drag_enter(QDragEnterEvent* e);
    void drag_move(QDragMoveEvent* e);
    void drag_leave(QDragLeaveEvent* e);
    void drop(QDropEvent* e);
    // While a drag is over the list: the row the drop goes onto (-1 below
    // the rows) and whether one is over it at all.
    bool drag_over() const { return drag_over_; }
    int drop_row() const { return drop_row_; }

    item_clipboard& clipboard() { return clipboard_; }

private:
    void copy(bool cut);
    void paste();
    int row_at(const QPoint& pos) const;

    cell_list& list_;
    exchange_owner& owner_;
    item_clipboard& clipboard_;
    bool drag_over_ = false;
    int drop_row_ = -1;
};

}  // namespace qm::ui
