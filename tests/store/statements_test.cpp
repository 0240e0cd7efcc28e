#include "store/statements.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace qm::store;

TEST(statements, genericBuildersMatchCharacterForCharacter)
{
    const QStringList ids = {"id", "next_id"};
    struct row {
        QString built;
        const char* expected;
    };
    const row cases[] = {
        {update_statement("Ids", ids, where_id(7)), "UPDATE [Ids] SET [id] = ?, [next_id] = ? WHERE id = 7"},
        {insert_statement("Ids", ids), "INSERT INTO [Ids] ([id], [next_id]) VALUES(?,?)"},
        {insert_statement("Contexts", {"id"}), "INSERT INTO [Contexts] ([id]) VALUES(?)"},
        {update_statement("Contexts", {"id", "name"}, where_id(3)),
         "UPDATE [Contexts] SET [id] = ?, [name] = ? WHERE id = 3"},
        {delete_statement("Alarms", where_id(12)), "DELETE FROM [Alarms] WHERE id = 12"},
        {load_statement("Ids"), "SELECT * FROM [Ids]"},
        {load_statement("Dependencies", "ORDER BY [entity]"), "SELECT * FROM [Dependencies] ORDER BY [entity]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.built.toStdString(), c.expected);
}

TEST(statements, loadStatementLongerThan79CharactersIsRefusedNotCut)
{
    const QString suffix(79 - QString("SELECT * FROM [T] ").size(), QLatin1Char('x'));
    EXPECT_EQ(load_statement("T", suffix).size(), 79);
    EXPECT_THROW(load_statement("T", suffix + "x"), std::length_error);
}
