// The clipboard and drag documents: round trips, the list order restored
// from the block names, the database check, and damaged documents.

#include "app/item_documents.h"
#include "app/settings_document.h"

#include <gtest/gtest.h>

using namespace qm;
using model::item_descriptor;
using model::item_list;

namespace {

const QString db = QStringLiteral("/home/user/.local/share/Quillmere Planner/ferncastle.db");

item_list numbered(int n)
{
    item_list out;
    for (int i = 0; i < n; ++i)
        out.push_back({100 + i, i % 2 == 0 ? 1 : 7, i, i % 3});
    return out;
}

TEST(item_documents, clipboard_round_trips_in_list_order)
{
    for (int count : {0, 1, 3, 10, 12, 105}) {
        for (bool cut : {false, true}) {
            const item_list items = numbered(count);
            const app::clipboard_contents back =
                app::read_clipboard_document(app::write_clipboard_document(db, items, cut), db);
            EXPECT_EQ(back.items, items) << count;
            EXPECT_EQ(back.cut, cut) << count;
        }
    }
}

TEST(item_documents, drag_round_trips_with_the_focused_row)
{
    for (int count : {1, 3, 11}) {
        const item_list items = numbered(count);
        const item_descriptor focused{7, 1, 3, 1};
        const app::drag_contents back = app::read_drag_document(app::write_drag_document(db, focused, items), db);
        EXPECT_EQ(back.items, items);
        EXPECT_EQ(back.focused, focused);
    }
}

TEST(item_documents, blocks_stand_in_name_order_and_read_back_in_list_order)
{
    const QString text = app::write_clipboard_document(db, numbered(11), false);
    // "10" sorts before "2" in the text.
    const int ten = text.indexOf(QStringLiteral("\t\t10\n"));
    const int two = text.indexOf(QStringLiteral("\t\t2\n"));
    ASSERT_GE(ten, 0) << text.toStdString();
    ASSERT_GE(two, 0);
    EXPECT_LT(ten, two);
    EXPECT_TRUE(text.contains(QStringLiteral("\tcut:0\n")));
    // Each item block holds its four entries in name order.
    const int id = text.indexOf(QStringLiteral("\tid:"), two);
    const int parent_id = text.indexOf(QStringLiteral("\tparent_id:"), two);
    const int type = text.indexOf(QStringLiteral("\ttype:"), two);
    EXPECT_LT(id, parent_id);
    EXPECT_LT(parent_id, type);
    EXPECT_EQ(app::read_clipboard_document(text, db).items, numbered(11));
}

TEST(item_documents, another_database_yields_nothing)
{
    const QString clip = app::write_clipboard_document(db, numbered(3), true);
    const QString drag = app::write_drag_document(db, {1, 1, 0, 0}, numbered(3));
    for (const QString& other : {QStringLiteral("/tmp/other.db"), QString(), db + QStringLiteral(" ")}) {
        EXPECT_TRUE(app::read_clipboard_document(clip, other).items.empty());
        EXPECT_FALSE(app::read_clipboard_document(clip, other).cut);
        EXPECT_TRUE(app::read_drag_document(drag, other).items.empty());
    }
    // A path beyond Latin-1 survives the escape of the settings format.
    const QString odd = QStringLiteral("/home/j\u00f6rg/\u263a/planner.db");
    EXPECT_EQ(app::read_clipboard_document(app::write_clipboard_document(odd, numbered(2), false), odd).items,
              numbered(2));
}

// A document written by hand: the "database" block, then the item blocks.
QString document(const QString& items_text, const QString& extra = QString())
{
    return QStringLiteral("database\n{\n\tpath:%1\n}\n\r\nclipboard\n{\n%2\titems\n\t{\n%3\t}\n}\n")
        .arg(db, extra, items_text);
}

QString block(const char* name, int id)
{
    return QStringLiteral("\t\t%1\n\t\t{\n\t\t\tid:%2\n\t\t\ttype:1\n\t\t}\n").arg(QLatin1String(name)).arg(id);
}

std::vector<std::int32_t> ids(const item_list& items)
{
    std::vector<std::int32_t> out;
    for (const auto& i : items)
        out.push_back(i.id);
    return out;
}

TEST(item_documents, damaged_documents_paste_what_they_can)
{
    struct case_ {
        const char* what;
        QString text;
        std::vector<std::int32_t> ids;
        bool cut;
    };
    const std::vector<case_> cases = {
        {"hand-written, in list order", document(block("0", 5) + block("1", 6) + block("2", 7), QStringLiteral("\tcut:1\n")), {5, 6, 7}, true},
        {"a missing index", document(block("0", 5) + block("2", 7)), {5, 7}, false},
        {"a duplicated index", document(block("0", 5) + block("0", 6) + block("1", 7)), {5, 7, 6}, false},
        {"a non-numeric name", document(block("x", 9) + block("0", 5)), {5, 9}, false},
        {"an index beyond the count", document(block("0", 5) + block("7", 8)), {5, 8}, false},
        {"a signed name", document(block("-1", 4) + block("0", 5)), {5, 4}, false},
        {"missing entries", document(QStringLiteral("\t\t0\n\t\t{\n\t\t}\n")), {0}, false},
        {"no items block", QStringLiteral("database\n{\n\tpath:%1\n}\n\r\nclipboard\n{\n\tcut:1\n}\n").arg(db), {}, true},
        {"no clipboard block", QStringLiteral("database\n{\n\tpath:%1\n}\n").arg(db), {}, false},
        {"empty", QString(), {}, false},
        {"a terminating null", app::write_clipboard_document(db, numbered(2), false) + QChar(0), {100, 101}, false},
    };
    for (const case_& c : cases) {
        const app::clipboard_contents back = app::read_clipboard_document(c.text, db);
        EXPECT_EQ(ids(back.items), c.ids) << c.what;
        EXPECT_EQ(back.cut, c.cut) << c.what;
    }
    // Cut off anywhere, a document reads without a crash.
    const QString whole = app::write_clipboard_document(db, numbered(12), true);
    for (int n = 0; n < whole.size(); ++n)
        (void)app::read_clipboard_document(whole.left(n), db);
}

TEST(item_documents, drag_needs_its_focused_item)
{
    const QString text = app::write_drag_document(db, {1, 1, 0, 0}, numbered(2));
    QString without = text;
    without.replace(QStringLiteral("focused_item"), QStringLiteral("other"));
    EXPECT_TRUE(app::read_drag_document(without, db).items.empty());
    QString renamed = text;
    renamed.replace(QStringLiteral("dragged\n"), QStringLiteral("clipboard\n"));
    EXPECT_TRUE(app::read_drag_document(renamed, db).items.empty());
}

TEST(item_documents, drop_effect)
{
    using app::drop_effect;
    struct case_ {
        bool document, ctrl, copy, move;
        drop_effect effect;
    };
    const case_ cases[] = {
        {false, false, true, true, drop_effect::none}, {false, true, true, true, drop_effect::none},
        {true, false, true, true, drop_effect::move},  {true, true, true, true, drop_effect::copy},
        {true, true, false, true, drop_effect::move},  {true, false, true, false, drop_effect::copy},
        {true, false, false, false, drop_effect::none},
    };
    for (const case_& c : cases)
        EXPECT_EQ(app::choose_drop_effect(c.document, c.ctrl, c.copy, c.move), c.effect)
            << c.document << c.ctrl << c.copy << c.move;
}

}  // namespace
