#pragma once
// The SQL of the Tasks table: the row statements and the three renumbering
// statements, posted to the background writer in the order memory changes.

#include "model/task.h"
#include "store/database.h"
#include "store/db_writer.h"

#include <QString>

namespace qm::model {

class task_proxy {
public:
    explicit task_proxy(store::db_writer& writer) : writer_(writer) {}

    static const QString& insert_text();
    static QString update_text(std::int32_t id);
    static QString delete_text(std::int32_t id);
    static QString load_text(const QString& suffix = QString());

    static QString day_group(time::stored_date date, int priority);
    static QString folder_group(std::int32_t parent, std::int32_t project);
    static QString open_text(const char* column, const QString& group, int position, std::int32_t id);
    static QString close_text(const char* column, const QString& group, int position, std::int32_t id);
    static QString move_text(const char* column, bool down, const QString& group, int lo, int hi, std::int32_t id);

    // The folder column: 0 a task, 1 an ROI folder (as every older file
    // holds), 3 a folder ordered by hand. Older versions read any non-zero
    // value as a folder.
    static int folder_column(int method);
    static int folder_method_from_column(int column);

    static task read(store::database& db, store::statement s);

    void post_insert(const task& t);
    void post_update(const task& t);
    void post_delete(std::int32_t id);
    void post_sql(const QString& sql);

private:
    store::db_writer& writer_;
};

}  // namespace qm::model
