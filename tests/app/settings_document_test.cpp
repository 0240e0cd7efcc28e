#include "app/settings_document.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

using namespace qm;
using app::settings_document;
using app::settings_node;

TEST(settings_document, windowBlockHasTheExactBytes)
{
    settings_document doc;
    // Set in another order than the file keeps them: keys are written by name.
    doc.set_int("window", "y2", 700);
    doc.set_int("window", "x", 10);
    doc.set_int("window", "maximized", 0);
    doc.set_int("window", "y", 10);
    doc.set_int("window", "x2", 910);
    EXPECT_EQ(doc.serialize(), QByteArray("window\r\n{\r\n\tmaximized:0\r\n\tx:10\r\n\tx2:910\r\n\ty:10\r\n\ty2:700\r\n}\r\n"));
}

TEST(settings_document, blocksAreSeparatedByALineHoldingOneCarriageReturn)
{
    settings_document doc;
    doc.set_string("a", "k", "v");
    doc.set_list("l", {"one", "two"});
    EXPECT_EQ(doc.serialize(), QByteArray("a\r\n{\r\n\tk:v\r\n}\r\n\r\r\nl\r\n[\r\n\tone\r\n\ttwo\r\n]\r\n"));
}

TEST(settings_document, roundTripKeepsValuesPutsListsFirstAndKeepsDuplicates)
{
    test::temp_folder folder;
    settings_document doc;
    doc.set_string("view", "title", "Plan: the week");
    doc.set_string("view", "note", "first line\r\nsecond line");
    doc.set_int("view", "count", -42);
    settings_node& nested = doc.block("view").child_block("columns");
    app::set_int(nested, "width", 120);
    doc.set_list("recent", {"alpha", "beta: with colon", "multi\r\nline"});
    doc.block("view").add_child(settings_node{settings_node::entry, 1, "count", "7", {}});  // a duplicate key
    ASSERT_TRUE(doc.save(folder.file("sub/dir/view.ini")));

    const settings_document back = settings_document::load(folder.file("sub/dir/view.ini"));
    ASSERT_EQ(back.blocks().size(), 2u);
    EXPECT_EQ(back.blocks()[0].name, "recent");  // lists first
    EXPECT_EQ(back.blocks()[1].name, "view");
    EXPECT_EQ(back.get_string("view", "title"), "Plan: the week");
    EXPECT_EQ(back.get_string("view", "note"), "first line\r\nsecond line");
    EXPECT_EQ(back.get_int("view", "count"), -42);  // the first of two
    EXPECT_EQ(app::get_int(*back.find_block("view")->find_child("columns"), "width"), 120);
    QStringList items;
    back.get_list("recent", items);
    EXPECT_EQ(items, QStringList({"alpha", "beta: with colon", "multi\r\nline"}));
    EXPECT_EQ(back.serialize(), settings_document::parse(back.serialize()).serialize());
}

TEST(settings_document, charactersAboveLatin1ComeBackUnchanged)
{
    const QString texts[] = {
        QStringLiteral("/home/пользователь/Планы"), QStringLiteral("Ωμέγα"), QStringLiteral("日本語のフォルダ"),
        QStringLiteral("emoji 😀 and ✓"), QStringLiteral("literal \x1B escape"), QStringLiteral("café"),
    };
    for (const QString& text : texts) {
        settings_document doc;
        doc.set_string("directories", "storage directory", text);
        doc.set_list(text, {text});
        const settings_document back = settings_document::parse(doc.serialize());
        EXPECT_EQ(back.get_string("directories", "storage directory"), text);
        QStringList items;
        back.get_list(text, items);
        EXPECT_EQ(items, QStringList({text}));
        EXPECT_FALSE(doc.serialize().contains('?'));
    }
    // Latin-1 text is stored byte for byte, with no escape at all.
    EXPECT_EQ(app::to_settings_bytes(QStringLiteral("café")), QByteArray("caf\xE9"));
    EXPECT_EQ(app::to_settings_bytes(QStringLiteral("Ω")), QByteArray("\x1B" "3A9;"));
}

TEST(settings_document, backslashesAndEmptyItemsComeBackAsTheyWere)
{
    const QString texts[] = {
        QStringLiteral("C:\\new folder"), QStringLiteral("ends with \\"), QStringLiteral("\\n\\n"),
        QStringLiteral("a\\\r\nb"), QStringLiteral("\\\\n and \\t"), QStringLiteral("line\r\nbreak \\n"),
    };
    for (const QString& text : texts) {
        settings_document doc;
        doc.set_string("directories", "storage directory", text);
        doc.set_list("recent", {text, QString(), text});
        const settings_document back = settings_document::parse(doc.serialize());
        EXPECT_EQ(back.get_string("directories", "storage directory"), text) << text.toStdString();
        QStringList items;
        back.get_list("recent", items);
        EXPECT_EQ(items, QStringList({text, QString(), text})) << text.toStdString();
    }
    // A list item that is one bracket alone stays an item.
    settings_document brackets;
    brackets.set_list("recent", {"a", "{", "b", "[", "]", "}", "{x"});
    brackets.set_string("b", "k", "{");
    const settings_document read_back = settings_document::parse(brackets.serialize());
    QStringList items;
    read_back.get_list("recent", items);
    EXPECT_EQ(items, QStringList({"a", "{", "b", "[", "]", "}", "{x"}));
    EXPECT_EQ(read_back.get_string("b", "k"), "{");
    EXPECT_TRUE(brackets.serialize().contains("\tk:{\r\n"));  // an entry needs no escape
    // Only a backslash before an "n" takes the escape; a file without one is unchanged.
    EXPECT_EQ(settings_document::parse("b\r\n{\r\n\tk:C:\\temp\\x\r\n}\r\n").serialize(),
              QByteArray("b\r\n{\r\n\tk:C:\\temp\\x\r\n}\r\n"));
    settings_document doc;
    doc.set_string("b", "k", "C:\\new");
    EXPECT_EQ(doc.serialize(), QByteArray("b\r\n{\r\n\tk:C:\x1B" "5C;new\r\n}\r\n"));
    // A "\\n" written by a line break still reads as one.
    EXPECT_EQ(settings_document::parse("b\r\n{\r\n\tk:one\\ntwo\r\n}\r\n").get_string("b", "k"), "one\r\ntwo");
}

TEST(settings_document, numbersConvertLikeTheCLibrary)
{
    struct row {
        const char* text;
        int value;
    };
    const row cases[] = {
        {"42", 42},         {"-17", -17},       {"+5", 5},        {"  12", 12},         {"12abc", 12},
        {"abc", 0},         {"", 0},            {"-", 0},         {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},      {"3.9", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::to_int(c.text), c.value) << c.text;
    EXPECT_DOUBLE_EQ(app::to_real("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(app::to_real("-1e3x"), -1000.0);
    EXPECT_DOUBLE_EQ(app::to_real("nonsense"), 0.0);

    settings_document doc;
    doc.set_string("b", "n", "not a number");
    EXPECT_EQ(doc.get_int("b", "n", 5), 0);
    EXPECT_EQ(doc.get_int("b", "missing", 5), 5);
    EXPECT_TRUE(doc.get_bool("b", "missing", true));
}

TEST(settings_document, malformedInputReadsAsWhatCanBeSaved)
{
    struct row {
        const char* name;
        QByteArray bytes;
        const char* block;
        const char* key;
        int expected;  // value of get_int(block, key, -1)
    };
    const row cases[] = {
        {"empty", "", "w", "x", -1},
        {"only separators", "\r\r\n\r\n\r\n", "w", "x", -1},
        {"no closing bracket", "w\r\n{\r\n\tx:5\r\n", "w", "x", 5},
        {"closing bracket only", "}\r\n]\r\n", "w", "x", -1},
        {"bracket without name", "{\r\n\tx:5\r\n}\r\n", "w", "x", -1},
        {"name without bracket", "w\r\n\tx:5\r\n", "w", "x", -1},
        {"nested without end", "w\r\n{\r\n\tn\r\n\t{\r\n\t\ty:1\r\n\tx:3\r\n}\r\n", "w", "x", -1},
        {"unix line ends", "w\n{\n\tx:8\n}\n", "w", "x", 8},
        {"truncated mid-line", "w\r\n{\r\n\tx:1", "w", "x", 1},
        {"entry without colon", "w\r\n{\r\n\tx\r\n}\r\n", "w", "x", 0},
        {"binary bytes", QByteArray("w\r\n{\r\n\tx:9\x00\xff\x01\r\n}\r\n", 17), "w", "x", 9},
        {"broken escape", "w\r\n{\r\n\tx:4\x1B" "ZZ\r\n}\r\n", "w", "x", 4},
        {"escape out of range", "w\r\n{\r\n\tx:4\x1B" "FFFFFF;\r\n}\r\n", "w", "x", 4},
    };
    for (const auto& c : cases) {
        const settings_document doc = settings_document::parse(c.bytes);
        EXPECT_EQ(doc.get_int(c.block, c.key, -1), c.expected) << c.name;
        // Whatever was read can be written and read again.
        const QByteArray again = doc.serialize();
        EXPECT_EQ(settings_document::parse(again).serialize(), again) << c.name;
    }
}

TEST(settings_document, missingAndUnreadableFilesAreEmpty)
{
    test::temp_folder folder;
    EXPECT_TRUE(settings_document::load(folder.file("nothing.ini")).blocks().empty());
    EXPECT_TRUE(settings_document::load(folder.path()).blocks().empty());  // a folder, not a file
}

namespace {

// Files may grow to no more than `bytes` while it lives: a full disk that
// stops root as well as anyone else.
class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes)
    {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~file_size_limit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit old_{};
    void (*old_handler_)(int) = nullptr;
};

}  // namespace

TEST(settings_document, aSaveThatCannotBeWrittenSaysWhyAndKeepsTheOldFile)
{
    test::temp_folder folder;
    const QString path = folder.file("today.ini");
    settings_document old;
    old.set_string("view", "name", "the old settings");
    ASSERT_TRUE(old.save(path));
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    settings_document big;
    for (int i = 0; i < 2000; ++i)
        big.set_string("view", QStringLiteral("key %1").arg(i), QString(40, QLatin1Char('x')));

    QString why;
    {
        file_size_limit full(4096);
        EXPECT_FALSE(big.save(path, &why));
    }
    EXPECT_FALSE(why.isEmpty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before) << "the old file must be found whole";
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"today.ini"}) << "no temporary file is left";

    // A folder that cannot be made (a file stands where it would go).
    ASSERT_TRUE(old.save(folder.file("blocker")));
    why.clear();
    EXPECT_FALSE(old.save(folder.file("blocker/today.ini"), &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(settings_document, severalMegabytesInRandomOrderLoad)
{
    QByteArray big = "big\r\n{\r\n";
    QRandomGenerator rng(7);
    for (int i = 0; i < 200000; ++i)
        big += "\tkey" + QByteArray::number(rng.bounded(1000000)) + ":" + QByteArray(8, 'v') + "\r\n";
    big += "}\r\n";
    ASSERT_GT(big.size(), 3 * 1024 * 1024);
    const settings_document doc = settings_document::parse(big);
    ASSERT_EQ(doc.blocks().size(), 1u);
    const auto& children = doc.blocks()[0].children;
    EXPECT_EQ(children.size(), 200000u);
    EXPECT_TRUE(std::is_sorted(children.begin(), children.end(),
                               [](const settings_node& a, const settings_node& b) { return a.name < b.name; }));
}

TEST(settings_document, mutatedDocumentsNeverBreakTheReader)
{
    settings_document doc;
    doc.set_string("window", "x", "10");
    doc.set_string("view", "text", "a\r\nb Ω");
    doc.set_list("list", {"one", "two"});
    app::set_int(doc.block("view").child_block("inner"), "deep", 3);
    const QByteArray original = doc.serialize();
    const char alphabet[] = "{}[]:\t\r\n\x1B" "0aF;";
    QRandomGenerator rng(20261210);
    for (int round = 0; round < 3000; ++round) {
        QByteArray mutated = original;
        const int edits = 1 + rng.bounded(6);
        for (int e = 0; e < edits && !mutated.isEmpty(); ++e) {
            const int at = rng.bounded(mutated.size());
            switch (rng.bounded(3)) {
            case 0: mutated[at] = alphabet[rng.bounded(int(sizeof alphabet) - 1)]; break;
            case 1: mutated.remove(at, 1 + rng.bounded(4)); break;
            default: mutated.insert(at, char(rng.bounded(256))); break;
            }
        }
        const settings_document parsed = settings_document::parse(mutated);
        const QByteArray again = parsed.serialize();
        ASSERT_EQ(settings_document::parse(again).serialize(), again) << mutated.toHex().toStdString();
        parsed.get_int("window", "x", 0);
        parsed.get_string("view", "text");
    }
}
