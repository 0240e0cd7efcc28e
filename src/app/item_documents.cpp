#include "app/item_documents.h"

#include "app/settings_document.h"

namespace qm::app {
namespace {

const QString database_block = QStringLiteral("database");
const QString path_key = QStringLiteral("path");
const QString items_block = QStringLiteral("items");

settings_node item_node(const QString& name, const model::item_descriptor& d)
{
    settings_node n;
    n.kind = settings_node::object;
    n.name = name;
    set_int(n, QStringLiteral("type"), d.type);
    set_int(n, QStringLiteral("id"), d.id);
    set_int(n, QStringLiteral("parent_type"), d.parent_type);
    set_int(n, QStringLiteral("parent_id"), d.parent_id);
    return n;
}

model::item_descriptor read_item(const settings_node& n)
{
    model::item_descriptor d;
    d.type = get_int(n, QStringLiteral("type"), 0);
    d.id = get_int(n, QStringLiteral("id"), 0);
    d.parent_type = get_int(n, QStringLiteral("parent_type"), 0);
    d.parent_id = get_int(n, QStringLiteral("parent_id"), 0);
    return d;
}

void add_items(settings_node& parent, const model::item_list& items)
{
    settings_node& block = parent.child_block(items_block);
    for (std::size_t i = 0; i < items.size(); ++i)
        block.add_child(item_node(QString::number(i), items[i]));
}

// The item blocks back in list order: a block named by an index inside the
// list goes there, any other after them.
model::item_list read_items(const settings_node* block)
{
    model::item_list out;
    if (block == nullptr)
        return out;
    std::vector<const settings_node*> blocks;
    for (const settings_node& n : block->children)
        if (n.kind == settings_node::object)
            blocks.push_back(&n);
    const std::size_t count = blocks.size();
    std::vector<const settings_node*> placed(count, nullptr);
    std::vector<const settings_node*> rest;
    for (const settings_node* n : blocks) {
        // A name of decimal digits only reads as an index.
        bool digits = !n->name.isEmpty() && n->name.size() <= 18;
        for (QChar c : n->name)
            digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const qulonglong at = digits ? n->name.toULongLong() : count;
        if (at < count && placed[at] == nullptr)
            placed[at] = n;
        else
            rest.push_back(n);
    }
    // Where a duplicate or a stray name left a gap, the others close it.
    for (const settings_node* n : placed)
        if (n != nullptr)
            out.push_back(read_item(*n));
    for (const settings_node* n : rest)
        out.push_back(read_item(*n));
    return out;
}

QString document_text(const settings_document& doc)
{
    QString text = from_settings_bytes(doc.serialize());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

settings_document parse_text(QString text)
{
    while (text.endsWith(QChar(0)))
        text.chop(1);
    return settings_document::parse(to_settings_bytes(text));
}

bool same_database(const settings_document& doc, const QString& database_path)
{
    const settings_node* db = doc.find_block(database_block);
    return db != nullptr && !database_path.isEmpty() && get_string(*db, path_key) == database_path;
}

}  // namespace

QString write_clipboard_document(const QString& database_path, const model::item_list& items, bool cut)
{
    settings_document doc;
    doc.set_string(database_block, path_key, database_path);
    settings_node& clip = doc.block(QStringLiteral("clipboard"));
    set_int(clip, QStringLiteral("cut"), cut ? 1 : 0);
    add_items(clip, items);
    return document_text(doc);
}

clipboard_contents read_clipboard_document(const QString& text, const QString& database_path)
{
    clipboard_contents out;
    const settings_document doc = parse_text(text);
    if (!same_database(doc, database_path))
        return out;
    const settings_node* clip = doc.find_block(QStringLiteral("clipboard"));
    if (clip == nullptr)
        return out;
    out.cut = get_int(*clip, QStringLiteral("cut"), 0) == 1;
    out.items = read_items(clip->find_child(items_block));
    return out;
}

QString write_drag_document(const QString& database_path, const model::item_descriptor& focused,
                            const model::item_list& items)
{
    settings_document doc;
    doc.set_string(database_block, path_key, database_path);
    settings_node& dragged = doc.block(QStringLiteral("dragged"));
    dragged.add_child(item_node(QStringLiteral("focused_item"), focused));
    add_items(dragged, items);
    return document_text(doc);
}

drag_contents read_drag_document(const QString& text, const QString& database_path)
{
    drag_contents out;
    const settings_document doc = parse_text(text);
    if (!same_database(doc, database_path))
        return out;
    const settings_node* dragged = doc.find_block(QStringLiteral("dragged"));
    const settings_node* focused = dragged != nullptr ? dragged->find_child(QStringLiteral("focused_item")) : nullptr;
    if (focused == nullptr || focused->kind != settings_node::object)
        return out;
    out.focused = read_item(*focused);
    out.items = read_items(dragged->find_child(items_block));
    return out;
}

drop_effect choose_drop_effect(bool has_document, bool ctrl, bool copy_allowed, bool move_allowed)
{
    if (!has_document || (!copy_allowed && !move_allowed))
        return drop_effect::none;
    if (ctrl)
        return copy_allowed ? drop_effect::copy : drop_effect::move;
    return move_allowed ? drop_effect::move : drop_effect::copy;
}

}  // namespace qm::app
