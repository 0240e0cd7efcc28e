#pragma once
// The binding of the Projects table: its hand-written row statements, the
// three renumbering statements of the project order and the load repair,
// posted to the background writer in the order memory changes.

#include "model/project.h"
#include "store/database.h"
#include "store/db_writer.h"

#include <QString>

#include <vector>

namespace qm::model {

class project_facade {
public:
    explicit project_facade(store::db_writer& writer) : writer_(writer) {}

    static const QString& insert_text();
    static QString update_text(std::int32_t id);
    static QString delete_text(std::int32_t id);
    static QString delete_comments_text(std::int32_t id);
    static QString group(std::int32_t parent);
    static QString open_text(std::int32_t parent, int position, std::int32_t id);
    static QString close_text(std::int32_t parent, int position, std::int32_t id);
    static QString move_text(bool down, std::int32_t parent, int lo, int hi, std::int32_t id);
    static QString repair_text(int value, std::int32_t id);

    // "SELECT id FROM [PROJECTS]", then each row by its id.
    static std::vector<project> load(store::database& db);

    void post_insert(const project& p);
    void post_update(const project& p);
    // The row and its type-3 comments.
    void post_delete(std::int32_t id);
    void post_sql(const QString& sql);

private:
    store::db_writer& writer_;
};

}  // namespace qm::model
