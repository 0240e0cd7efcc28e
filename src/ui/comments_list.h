#pragma once
// A dated list of comments with Add, Edit and Delete, working on a copy of
// the list that its owner stores (the Comments pages of the task and project
// dialogs). Long and many-line texts are shown cut; the tooltip holds all.

#include "store/records.h"

#include <QWidget>

#include <vector>

class QPushButton;
class QTreeWidget;

namespace qm::ui {

class comments_list : public QWidget {
    Q_OBJECT
public:
    // type and owner are given to the comments added here.
    comments_list(int type, QWidget* parent = nullptr);

    void set_comments(std::int32_t owner, std::vector<store::comment_record> list);
    const std::vector<store::comment_record>& comments() const { return comments_; }
    QTreeWidget* list() const { return list_; }

    void add_comment();
    void edit_selected();
    void delete_selected();

private:
    void fill();
    int selected_index() const;

    int type_;
    std::int32_t owner_ = 0;
    std::vector<store::comment_record> comments_;
    QTreeWidget* list_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace qm::ui
