// The Value Discovery Exercise without its window: the example list, typing
// and moving words, the halving steps and their lines, and what OK takes.

#include "model/value_exercise.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {

QStringList words(int n, const QString& stem = QStringLiteral("Value"))
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("%1 %2").arg(stem).arg(i, 3, 10, QLatin1Char('0'));
    return out;
}

// An exercise whose right list holds n typed words.
model::value_exercise with_right(int n)
{
    model::value_exercise e;
    for (const QString& w : words(n))
        e.add_typed(w);
    return e;
}

TEST(value_exercise, starts_with_the_101_examples_sorted_without_regard_to_case)
{
    model::value_exercise e;
    EXPECT_EQ(model::value_exercise::example_values().size(), 101);
    EXPECT_EQ(model::value_exercise::example_values()[19], "Patriotism");  // as written, not sorted
    ASSERT_EQ(e.left().size(), 101);
    EXPECT_EQ(e.left().front(), "Accomplishment");
    EXPECT_EQ(e.left().back(), "Wisdom");
    EXPECT_LT(e.left().indexOf("Concern for others"), e.left().indexOf("Cooperation"));
    EXPECT_LT(e.left().indexOf("Patriotism"), e.left().indexOf("Perfection"));
    EXPECT_TRUE(e.right().isEmpty());
    EXPECT_EQ(e.step(), 1);
    EXPECT_EQ(e.left_caption(), "Example Values");
    EXPECT_EQ(e.right_caption(), "Your Values");
}

TEST(value_exercise, a_typed_word_joins_the_right_list_once)
{
    model::value_exercise e;
    EXPECT_EQ(e.add_typed("  "), -1);
    EXPECT_EQ(e.add_typed("Kindness"), 0);
    EXPECT_EQ(e.add_typed("kindness"), 0);  // already there: found, not repeated
    // An example typed by hand leaves the left list, in the example's spelling.
    EXPECT_EQ(e.add_typed("honesty"), 0);
    EXPECT_EQ(e.right(), (QStringList{"Honesty", "Kindness"}));
    EXPECT_FALSE(e.left().contains("Honesty"));
    e.move_right({"Wisdom", "Arts", "no such word"});
    EXPECT_EQ(e.right(), (QStringList{"Arts", "Honesty", "Kindness", "Wisdom"}));
    e.move_left({"Kindness", "Arts"});
    EXPECT_EQ(e.right(), (QStringList{"Honesty", "Wisdom"}));
    EXPECT_TRUE(e.left().contains("Kindness"));
    EXPECT_EQ(e.left().size(), 101 - 2 + 1);
}

TEST(value_exercise, the_guidance_line_follows_the_count_and_the_step)
{
    const QString few = "It is recommended that you choose more values to focus on. You can still click 'OK' to accept these.";
    const QString good = "You have a good number of values to work with. You can click 'OK' to accept these.";
    const QString step1 = "Step 1: Select the values most important to you from the left list and add them to the right "
                          "list. When you are ready, click the 'Next >>' button.";
    const struct {
        int right;
        QString line;
        bool next;
    } cases[] = {{0, step1, false}, {1, few, false},  {8, few, false},    {9, good, false},
                 {20, good, false}, {21, step1, true}, {25, step1, true}};
    for (const auto& c : cases) {
        model::value_exercise e = with_right(c.right);
        EXPECT_EQ(e.guidance(), c.line) << c.right;
        EXPECT_EQ(e.can_go_next(), c.next) << c.right;
        EXPECT_EQ(e.next(), c.next) << c.right;
    }
}

TEST(value_exercise, halving_steps_go_forward_and_back)
{
    model::value_exercise e = with_right(25);
    ASSERT_TRUE(e.next());
    EXPECT_EQ(e.step(), 2);
    EXPECT_EQ(e.left(), words(25));
    EXPECT_TRUE(e.right().isEmpty());
    EXPECT_EQ(e.guidance(), "Step 2: Now divide the list in half by moving the more important values to the right "
                            "list. Click the 'Next >>' button when you are finished.");
    EXPECT_EQ(e.left_caption(), "Less Important Values");
    EXPECT_EQ(e.right_caption(), "More Important Values");

    e.move_right(words(22));
    ASSERT_TRUE(e.next());
    EXPECT_EQ(e.step(), 3);
    EXPECT_EQ(e.guidance(), "Step 3: Now divide the list in half again by moving the more important values to the "
                            "right list. Click the 'Next >>' button when you are finished.");
    e.move_right(words(5));
    // Back: the lists of step 2 as they were when it was left.
    ASSERT_TRUE(e.back());
    EXPECT_EQ(e.step(), 2);
    EXPECT_EQ(e.right(), words(22));
    EXPECT_EQ(e.left(), words(25).mid(22));
    ASSERT_TRUE(e.back());
    EXPECT_EQ(e.step(), 1);
    EXPECT_EQ(e.right(), words(25));
    EXPECT_EQ(e.left().size(), 101);
    EXPECT_FALSE(e.back());
}

TEST(value_exercise, ok_takes_the_right_list_else_a_short_left_list)
{
    // The right list, when it holds anything.
    EXPECT_EQ(with_right(3).chosen(), words(3));
    // Nothing at step 1 with an empty right list: 101 examples are too many.
    EXPECT_TRUE(model::value_exercise().chosen().isEmpty());

    // After a step the left list is the choice before it, the right empty.
    const struct {
        int left;
        bool taken;
    } cases[] = {{35, false}, {30, false}, {29, true}, {21, true}};
    for (const auto& c : cases) {
        model::value_exercise e = with_right(c.left);
        ASSERT_TRUE(e.next());
        ASSERT_EQ(e.left().size(), c.left);
        EXPECT_EQ(e.chosen(), c.taken ? words(c.left) : QStringList()) << c.left;
    }
}

TEST(value_exercise, reset_starts_again_from_the_examples)
{
    model::value_exercise e = with_right(25);
    e.next();
    e.reset();
    EXPECT_EQ(e.step(), 1);
    EXPECT_EQ(e.left().size(), 101);
    EXPECT_TRUE(e.right().isEmpty());
}

}  // namespace
