#pragma once
// The Value Discovery Exercise without its window: the user moves the values
// that matter to him from a list of examples to his own list, then halves
// that list step by step until a workable number is left. The exercise
// object outlives its window, so that a cancelled exercise goes on where it
// was left the next time it is opened. Main thread only.

#include <QString>
#include <QStringList>

#include <vector>

namespace qm::model {

class value_exercise {
public:
    // The next step is offered once the right list holds more than this.
    static constexpr int step_limit = 20;
    // OK with an empty right list takes the left one when it is shorter.
    static constexpr int left_limit = 30;

    value_exercise() { reset(); }

    // The 101 example values, as written (not sorted).
    static const QStringList& example_values();

    // Both lists are kept sorted without regard to case.
    const QStringList& left() const { return left_; }
    const QStringList& right() const { return right_; }
    // From 1: the choosing step; each halving step adds one.
    int step() const { return static_cast<int>(history_.size()) + 1; }

    // A typed word goes to the right list (taken out of the left one when it
    // is there); an entry already on the right is only found. Returns its
    // index in the right list, -1 for a blank word.
    int add_typed(const QString& word);
    // Moves the named entries to the other list; unknown names are ignored.
    void move_right(const QStringList& words);
    void move_left(const QStringList& words);

    bool can_go_next() const { return right_.size() > step_limit; }
    // The right list becomes the left one of a new, empty halving step.
    bool next();
    bool can_go_back() const { return !history_.empty(); }
    // The lists as they were when the step was begun.
    bool back();

    // The line that tells the user what to do now.
    QString guidance() const;
    QString left_caption() const;
    QString right_caption() const;

    // What OK takes: the right list unless it is empty, else the left list
    // when it is shorter than left_limit, else nothing.
    QStringList chosen() const;
    // Back to the first step with every example on the left.
    void reset();

private:
    struct lists {
        QStringList left;
        QStringList right;
    };
    std::vector<lists> history_;
    QStringList left_;
    QStringList right_;
};

}  // namespace qm::model
