// The task's lists behave as std::vector does: every operation is run on both
// and the contents compared, with an element type that owns memory (so that
// a wrong move, a double destroy or a lost element shows under the sanitizers).

#include "model/compact_list.h"
#include "model/task.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using qm::model::compact_list;
using qm::model::tag_ref;

namespace {

tag_ref tag(int i) { return tag_ref{i, QStringLiteral("tag number %1 with a name long enough to allocate").arg(i)}; }

void expect_same(const compact_list<tag_ref>& list, const std::vector<tag_ref>& model, const char* step)
{
    ASSERT_EQ(list.size(), model.size()) << step;
    ASSERT_EQ(list.empty(), model.empty()) << step;
    for (std::size_t i = 0; i < model.size(); ++i)
        ASSERT_EQ(list[i], model[i]) << step << " at " << i;
    EXPECT_EQ(list.to_vector(), model) << step;
}

}  // namespace

TEST(compact_list, anEmptyListIsOnePointerAndOwnsNothing)
{
    static_assert(sizeof(compact_list<tag_ref>) == sizeof(void*));
    compact_list<tag_ref> list;
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.begin(), list.end());
    EXPECT_EQ(list.capacity(), 0u);
    EXPECT_THROW(list.at(0), std::out_of_range);
    compact_list<tag_ref> copy = list;
    EXPECT_TRUE(copy == list);
    // Erasing nothing and inserting at the end of an empty list both work.
    list.erase(list.begin(), list.end());
    list.insert(list.end(), tag(1));
    EXPECT_EQ(list.size(), 1u);
}

TEST(compact_list, scriptedOperationsMatchAVector)
{
    struct step {
        const char* name;
        std::function<void(compact_list<tag_ref>&)> on_list;
        std::function<void(std::vector<tag_ref>&)> on_vector;
    };
    const std::vector<step> steps = {
        {"push three", [](auto& l) { for (int i = 1; i <= 3; ++i) l.push_back(tag(i)); },
         [](auto& v) { for (int i = 1; i <= 3; ++i) v.push_back(tag(i)); }},
        // The list is full (capacity 4 after three), then grows while the
        // value pushed is one of its own elements.
        {"push own elements while growing", [](auto& l) { l.push_back(l[0]); l.push_back(l[1]); },
         [](auto& v) { const tag_ref a = v[0]; v.push_back(a); const tag_ref b = v[1]; v.push_back(b); }},
        {"insert at the front", [](auto& l) { l.insert(l.begin(), tag(10)); },
         [](auto& v) { v.insert(v.begin(), tag(10)); }},
        {"insert in the middle", [](auto& l) { l.insert(l.begin() + 3, tag(11)); },
         [](auto& v) { v.insert(v.begin() + 3, tag(11)); }},
        {"insert a range", [](auto& l) { const std::vector<tag_ref> r{tag(20), tag(21)}; l.insert(l.begin() + 1, r.begin(), r.end()); },
         [](auto& v) { const std::vector<tag_ref> r{tag(20), tag(21)}; v.insert(v.begin() + 1, r.begin(), r.end()); }},
        {"erase one", [](auto& l) { l.erase(l.begin() + 2); }, [](auto& v) { v.erase(v.begin() + 2); }},
        {"erase a range", [](auto& l) { l.erase(l.begin() + 1, l.begin() + 4); },
         [](auto& v) { v.erase(v.begin() + 1, v.begin() + 4); }},
        {"remove_if", [](auto& l) { l.erase(std::remove_if(l.begin(), l.end(), [](const tag_ref& t) { return t.id == 2; }), l.end()); },
         [](auto& v) { v.erase(std::remove_if(v.begin(), v.end(), [](const tag_ref& t) { return t.id == 2; }), v.end()); }},
        {"pop", [](auto& l) { l.pop_back(); }, [](auto& v) { v.pop_back(); }},
        {"assign from a vector", [](auto& l) { l = std::vector<tag_ref>{tag(5), tag(6)}; },
         [](auto& v) { v = {tag(5), tag(6)}; }},
        {"assign a braced list", [](auto& l) { l = {tag(7)}; }, [](auto& v) { v = {tag(7)}; }},
        {"clear and reuse", [](auto& l) { l.clear(); l.emplace_back(tag(8)); },
         [](auto& v) { v.clear(); v.emplace_back(tag(8)); }},
    };
    compact_list<tag_ref> list;
    std::vector<tag_ref> model;
    for (const step& s : steps) {
        s.on_list(list);
        s.on_vector(model);
        expect_same(list, model, s.name);
        // A copy is equal and independent; a move leaves the source empty.
        compact_list<tag_ref> copy = list;
        EXPECT_TRUE(copy == list) << s.name;
        copy.push_back(tag(99));
        EXPECT_TRUE(copy != list) << s.name;
        compact_list<tag_ref> moved = std::move(copy);
        EXPECT_TRUE(copy.empty()) << s.name;  // NOLINT: the moved-from state is part of the contract
        EXPECT_EQ(moved.size(), list.size() + 1) << s.name;
    }
}

TEST(compact_list, randomOperationsMatchAVector)
{
    QRandomGenerator rng(20261211);
    compact_list<tag_ref> list;
    std::vector<tag_ref> model;
    for (int i = 0; i < 5000; ++i) {
        const int op = rng.bounded(6);
        const int n = static_cast<int>(model.size());
        if (op <= 1 || n == 0) {
            list.push_back(tag(i));
            model.push_back(tag(i));
        } else if (op == 2) {
            const int at = rng.bounded(n + 1);
            list.insert(list.begin() + at, tag(i));
            model.insert(model.begin() + at, tag(i));
        } else if (op == 3) {
            const int at = rng.bounded(n);
            list.erase(list.begin() + at);
            model.erase(model.begin() + at);
        } else if (op == 4) {
            compact_list<tag_ref> copy(list);
            list = copy;  // copy-assign over a live list
        } else if (rng.bounded(50) == 0) {
            list.clear();
            model.clear();
        }
        expect_same(list, model, "random");
        if (HasFatalFailure())
            return;
    }
}
