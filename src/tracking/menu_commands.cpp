#include "tracking/menu_commands.h"

#include "store/comment_facade.h"

namespace qm::tracking {

void add_comment_command::apply(bool first_time)
{
    (void)first_time;
    if (store::comment_facade::record_ptr r = comments_.save(comment_))
        comment_.id = r->id;
}

void add_comment_command::undo() { comments_.delete_entity(comment_.id); }

QString add_comment_command::change_text() const
{
    QString text = comment_.comment.simplified();
    if (text.size() > 40)
        text = text.left(37) + QStringLiteral("...");
    return QStringLiteral("adding the comment \"%1\"").arg(text);
}

}  // namespace qm::tracking
