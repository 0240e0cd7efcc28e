#include "model/value_exercise.h"

#include <algorithm>

namespace qm::model {
namespace {

bool less_no_case(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

int index_no_case(const QStringList& list, const QString& word)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].compare(word, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int insert_sorted(QStringList& list, const QString& word)
{
    const auto at = std::lower_bound(list.begin(), list.end(), word, less_no_case);
    const int index = static_cast<int>(at - list.begin());
    list.insert(index, word);
    return index;
}

// Moves each named entry of from into to, keeping both sorted.
void move_words(QStringList& from, QStringList& to, const QStringList& words)
{
    for (const QString& w : words) {
        const int i = from.indexOf(w);
        if (i < 0)
            continue;
        from.removeAt(i);
        if (index_no_case(to, w) < 0)
            insert_sorted(to, w);
    }
}

}  // namespace

const QStringList& value_exercise::example_values()
{
    static const QStringList values = {
        "Accomplishment", "Advancement", "Adventure", "Arts", "Beauty", "Body", "Calmness", "Caring", "Challenge",
        "Cleanliness", "Collaboration", "Commitment", "Communication", "Community", "Competence", "Competition",
        "Concern for others", "Cooperation", "Courage", "Patriotism", "Creativity", "Customer satisfaction",
        "Decisiveness", "Devotion", "Discipline", "Discovery", "Efficiency", "Equality", "Excellence", "Fairness",
        "Faith", "Family", "Flair", "Freedom", "Friendliness", "Friendship", "Fun", "Global view", "Good will",
        "Gratitude", "Growth", "Hard work", "Harmony", "Health", "Honesty", "Honor", "Humbleness", "Independence",
        "Influence", "Inner peace", "Innovation", "Integrity", "Justice", "Knowledge", "Leadership", "Leisure",
        "Loyalty", "Meaning", "Merit", "Money", "Nature", "Nobleness", "Openness", "Order", "Passion", "Perfection",
        "Pleasure", "Positive attitude", "Power", "Practicality", "Preservation", "Problem solving",
        "Professionalism", "Progress", "Public service", "Punctuality", "Purity", "Quality of work", "Reliability",
        "Reputation", "Respect for others", "Responsiveness", "Romance", "Security", "Self-expression",
        "Self-respect", "Simplicity", "Skill", "Spirituality", "Stability", "Status", "Strength", "Teamwork",
        "Tolerance", "Tradition", "Tranquility", "Trust", "Truth", "Unity", "Wealth", "Wisdom"};
    return values;
}

void value_exercise::reset()
{
    history_.clear();
    left_ = example_values();
    std::sort(left_.begin(), left_.end(), less_no_case);
    right_.clear();
}

int value_exercise::add_typed(const QString& typed)
{
    const QString word = typed.simplified();
    if (word.isEmpty())
        return -1;
    const int there = index_no_case(right_, word);
    if (there >= 0)
        return there;
    const int on_left = index_no_case(left_, word);
    // An example typed by hand keeps the example's spelling.
    const QString entry = on_left >= 0 ? left_[on_left] : word;
    if (on_left >= 0)
        left_.removeAt(on_left);
    return insert_sorted(right_, entry);
}

void value_exercise::move_right(const QStringList& words) { move_words(left_, right_, words); }

void value_exercise::move_left(const QStringList& words) { move_words(right_, left_, words); }

bool value_exercise::next()
{
    if (!can_go_next())
        return false;
    history_.push_back({left_, right_});
    left_ = right_;
    right_.clear();
    return true;
}

bool value_exercise::back()
{
    if (history_.empty())
        return false;
    left_ = history_.back().left;
    right_ = history_.back().right;
    history_.pop_back();
    return true;
}

QString value_exercise::guidance() const
{
    const int n = static_cast<int>(right_.size());
    if (n >= 1 && n <= 8)
        return QStringLiteral("It is recommended that you choose more values to focus on. You can still click 'OK' to "
                              "accept these.");
    if (n >= 9 && n <= step_limit)
        return QStringLiteral("You have a good number of values to work with. You can click 'OK' to accept these.");
    if (step() == 1)
        return QStringLiteral("Step 1: Select the values most important to you from the left list and add them to the "
                              "right list. When you are ready, click the 'Next >>' button.");
    return QStringLiteral("Step %1: Now divide the list in half %2by moving the more important values to the right "
                          "list. Click the 'Next >>' button when you are finished.")
        .arg(step())
        .arg(step() == 2 ? QString() : QStringLiteral("again "));
}

QString value_exercise::left_caption() const
{
    return step() == 1 ? QStringLiteral("Example Values") : QStringLiteral("Less Important Values");
}

QString value_exercise::right_caption() const
{
    return step() == 1 ? QStringLiteral("Your Values") : QStringLiteral("More Important Values");
}

QStringList value_exercise::chosen() const
{
    if (!right_.isEmpty())
        return right_;
    if (left_.size() < left_limit)
        return left_;
    return {};
}

}  // namespace qm::model
