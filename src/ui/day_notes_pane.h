#pragma once
// Under the Day view's list: the day note of the shown date, edited in place
// (kept when the focus leaves it, on Ctrl+Enter and before the day changes),
// and the free comments written that day, listed with their times.

#include "history/comment_commands.h"
#include "store/announcements.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPlainTextEdit;

namespace qm::ui {

class day_notes_pane : public QWidget, public store::listener {
    Q_OBJECT
public:
    day_notes_pane(store::comment_facade& comments, history::comment_commands& commands, QWidget* parent = nullptr);
    ~day_notes_pane() override;

    // Shows a date; the note being written for the old one is kept first.
    void set_date(time::stored_date d);
    time::stored_date date() const { return date_; }
    // Writes the note as it stands, one undoable step when it changed.
    void commit_note();

    QPlainTextEdit* note_editor() const { return note_; }
    QListWidget* comment_list() const { return list_; }
    QStringList comment_lines() const;

    void add_comment();
    void edit_selected();
    void delete_selected();

    long on_announcement(const store::announcement& a) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load_note();
    void fill_comments();

    store::comment_facade& comments_;
    history::comment_commands& commands_;
    time::stored_date date_ = 0;
    QString shown_note_;  // the note's text as loaded, to tell a change
    QPlainTextEdit* note_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* comments_heading_ = nullptr;
    bool committing_ = false;
};

}  // namespace qm::ui
