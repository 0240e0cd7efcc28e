#include "schedule/day_schedule.h"

#include <algorithm>
#include <unordered_map>

namespace qm::schedule {

int task_copy::latest_end() const
{
    const int d = schedule_before();
    int c = -1;
    if (deadline != 0 && time::date_of(deadline) == date)
        c = static_cast<int>(deadline - date);
    if (c >= 0 && d >= 0)
        return std::min(c, d);
    return c >= 0 ? c : d;
}

int day_start(const day_input& in)
{
    const int start = in.date == time::date_of(in.now) ? static_cast<int>(in.now - in.date) : in.working_start;
    return start - start % 60;
}

namespace {

constexpr int midnight = 86400;
constexpr int move_limit = 99;

struct period {
    int start = 0;
    int end = 0;
    int kind = after_kind::day_start;
    std::int32_t owner = 0;
};

bool collide(int as, int ae, int bs, int be)
{
    auto inside = [](int x, int s, int e) { return x > s && x < e; };
    return inside(bs, as, ae) || inside(be, as, ae) || inside(as, bs, be) || inside(ae, bs, be) ||
           (as == bs && ae == be);
}

// A block list and, per task of the day, what it already holds, so that the
// amounts need no walk over the blocks.
struct block_list {
    std::vector<block> blocks;
    std::vector<std::int64_t> amount;
    std::vector<int> count;
};

struct problem {
    std::vector<int> tasks;  // indices, ascending by id
    int end = 0;
};

struct slot {
    int start = 0;
    int end = 0;
    int after = after_kind::day_start;
    std::int32_t after_task = 0;
    bool gave_up = false;
};

class computation {
public:
    computation(const day_input& in, const std::atomic<bool>* cancel) : in_(in), cancel_(cancel)
    {
        for (const task_copy& t : in_.tasks)
            order_.push_back(&t);
        std::stable_sort(order_.begin(), order_.end(), [](const task_copy* a, const task_copy* b) {
            return a->priority != b->priority ? a->priority < b->priority : a->position < b->position;
        });
        const int n = static_cast<int>(order_.size());
        busy_.resize(n);
        for (int i = 0; i < n; ++i) {
            const task_copy& o = *order_[i];
            index_[o.id] = i;
            if (o.appointment && o.status == 0 && o.appointment_start >= 0)
                busy_[i].push_back({o.appointment_start, o.appointment_start + std::max(0, o.appointment_duration),
                                    after_kind::appointment, o.id});
            for (const task_copy::tracked& e : o.tracked_times) {
                const time::stored_time end = e.start + e.duration;
                if (time::date_of(e.start) == in_.date)
                    busy_[i].push_back({static_cast<int>(e.start - in_.date),
                                        static_cast<int>(e.start - in_.date) + e.duration, after_kind::tracked, o.id});
                else if (time::date_of(end) == in_.date)
                    busy_[i].push_back({0, static_cast<int>(end - in_.date), after_kind::tracked, o.id});
            }
            if (o.schedulable() && o.latest_end() >= 0)
                constrained_.push_back(i);
        }
        start_ = day_start(in_);
        b_.amount.assign(n, 0);
        b_.count.assign(n, 0);
    }

    bool run(std::vector<block>& out);

private:
    const task_copy& at(int i) const { return *order_[i]; }
    bool cancelled() const { return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed); }

    bool fully_placed(int i, const block_list& b) const
    {
        return at(i).splittable ? b.amount[i] >= at(i).time_left : b.count[i] > 0;
    }
    std::int64_t remaining(int i, const block_list& b) const
    {
        return at(i).splittable ? at(i).time_left - b.amount[i] : at(i).time_left;
    }

    slot find_slot(int t, int s, int a, bool timed, const block_list& b) const;
    int place(int t, int s, int piece, bool timed, block_list& b) const;
    problem simulate(int c, int piece) const;
    int compare(const problem& p, const problem& q) const;

    struct choice {
        int task = -1;
        int piece = 0;
        bool ok = true;  // false: cancelled
    };
    choice evaluate(int r, bool timed);

    const day_input& in_;
    const std::atomic<bool>* cancel_;
    std::vector<const task_copy*> order_;
    std::unordered_map<std::int32_t, int> index_;
    std::vector<std::vector<period>> busy_;
    std::vector<int> constrained_;  // schedulable and constrained, in day order
    int start_ = 0;
    block_list b_;
};

slot computation::find_slot(int t, int s, int a, bool timed, const block_list& b) const
{
    const task_copy& task = at(t);
    slot r;
    if (timed && !task.splittable) {
        r.start = s;
        r.end = s + a;
        r.after = after_kind::timed;
        return r;
    }
    const int after = task.schedule_after();
    if (!timed && after >= 0 && after > s) {
        s = after;
        r.after = after_kind::held_back;
    }
    int cs = s, ce = s + a;
    int moves = 0;
    const int n = static_cast<int>(order_.size());
    for (;;) {
        const period* hit = nullptr;
        period block_hit;
        auto check_blocks = [&] {
            for (const block& x : b.blocks)
                if (collide(cs, ce, x.start, x.end)) {
                    block_hit = {x.start, x.end, after_kind::block, x.task};
                    hit = &block_hit;
                    return;
                }
        };
        // Each other task's appointment and tracked times in day order, the
        // blocks placed so far right after the first of them.
        bool blocks_seen = false;
        for (int o = 0; o < n && hit == nullptr; ++o) {
            if (o == t)
                continue;
            for (const period& p : busy_[o])
                if (collide(cs, ce, p.start, p.end)) {
                    hit = &p;
                    break;
                }
            if (hit == nullptr && !blocks_seen) {
                blocks_seen = true;
                check_blocks();
            }
        }
        if (hit == nullptr && !blocks_seen)
            check_blocks();
        if (hit == nullptr) {
            r.start = cs;
            r.end = ce;
            return r;
        }
        if (moves == move_limit) {
            r.start = r.end = midnight;
            r.gave_up = true;
            return r;
        }
        ++moves;
        if (!task.splittable || cs >= hit->start) {
            cs = hit->end;
            ce = hit->end + a;
            r.after = hit->kind;
            r.after_task = hit->owner;
        } else {
            ce = hit->start;
        }
    }
}

int computation::place(int t, int s, int piece, bool timed, block_list& b) const
{
    std::int64_t amount = piece != 0 ? piece : remaining(t, b);
    int end = 0;
    if (amount <= 0)
        return end;
    const int a0 = static_cast<int>(std::min<std::int64_t>(amount, 2 * midnight));
    int a = a0;
    bool gave_up_before = false;
    for (;;) {
        const slot sl = find_slot(t, s, a, timed, b);
        end = sl.end;
        if (sl.end >= a + midnight)
            break;
        // A search that gives up twice in a row would add empty blocks at
        // midnight for ever.
        if (sl.gave_up && gave_up_before)
            break;
        gave_up_before = sl.gave_up;
        b.blocks.push_back({false, false, at(t).id, sl.start, sl.end, sl.after, sl.after_task});
        b.amount[t] += sl.end - sl.start;
        ++b.count[t];
        a -= sl.end - sl.start;
        s = sl.end;
        if (a <= 0)
            break;
    }
    const task_copy& task = at(t);
    const int before = task.schedule_before();
    const bool before_mark = before >= 0 && before + 59 < end;
    // The day being computed, not today: a later date's deadline is weighed
    // against that date's own clock.
    const bool deadline_mark = task.deadline != 0 && in_.date + end > task.deadline + 59;
    if (before_mark || deadline_mark)
        for (block& x : b.blocks)
            if (x.task == task.id) {
                x.before_mark = x.before_mark || before_mark;
                x.deadline_mark = x.deadline_mark || deadline_mark;
            }
    return end;
}

problem computation::simulate(int c, int piece) const
{
    block_list copy = b_;
    const int e = place(c, start_, piece, false, copy);
    for (int t : constrained_)
        if (t != c && !fully_placed(t, b_))
            place(t, e, 0, false, copy);
    problem p;
    for (const block& x : copy.blocks)
        if (x.before_mark || x.deadline_mark) {
            p.tasks.push_back(index_.at(x.task));
            p.end = std::max(p.end, x.end);
        }
    std::sort(p.tasks.begin(), p.tasks.end(), [this](int l, int r) { return at(l).id < at(r).id; });
    p.tasks.erase(std::unique(p.tasks.begin(), p.tasks.end()), p.tasks.end());
    return p;
}

int computation::compare(const problem& p, const problem& q) const
{
    if (p.tasks.empty() && q.tasks.empty())
        return 0;
    if (p.tasks.empty())
        return -1;
    if (q.tasks.empty())
        return 1;
    const std::size_t n = std::min(p.tasks.size(), q.tasks.size());
    for (std::size_t k = 0; k < n; ++k) {
        const task_copy& a = at(p.tasks[k]);
        const task_copy& b = at(q.tasks[k]);
        if (a.priority != b.priority)
            return a.priority < b.priority ? -1 : 1;
        if (a.position != b.position)
            return a.position < b.position ? -1 : 1;
    }
    if (p.tasks.size() == q.tasks.size())
        return 0;
    return p.tasks.size() < q.tasks.size() ? -1 : 1;
}

computation::choice computation::evaluate(int r, bool timed)
{
    const problem p0 = simulate(r, 0);
    if (p0.tasks.empty())
        return {r, 0};

    // Piece search: the largest piece of r that hurts no one more than 120 s does.
    int piece = 0;
    problem ps;
    const std::int64_t f = remaining(r, b_);
    if (at(r).splittable && f >= 180) {
        if (cancelled())
            return {r, 0, false};
        const problem p120 = simulate(r, 120);
        if (p120.tasks.empty() || compare(p0, p120) == 1) {
            std::int64_t lo = 120, hi = f, amount = 0;
            for (;;) {
                const std::int64_t mid = lo + (hi - lo) / 2;
                const int m = static_cast<int>(mid - mid % 60);
                if (cancelled())
                    return {r, 0, false};
                ps = simulate(r, m);
                const int c = compare(p120, ps);
                if (c == -1) {
                    hi = mid;
                } else if (c == 1) {
                    lo = mid + 60;
                } else {
                    if (cancelled())
                        return {r, 0, false};
                    const problem pn = simulate(r, m + 60);
                    if (compare(ps, pn) == -1) {
                        amount = mid;
                        break;
                    }
                    lo = mid + 60;
                }
                if (hi - lo < 5) {
                    amount = lo;
                    break;
                }
            }
            // Never more than is left: a piece that covers the rest is the whole.
            amount -= amount % 60;
            piece = amount >= f ? 0 : static_cast<int>(amount);
        }
    }

    // Alternative search: a constrained to-do that does better placed first.
    int alternative = -1;
    problem best = p0;
    if (!timed)
        for (int t : constrained_) {
            if (t == r || fully_placed(t, b_))
                continue;
            if (cancelled())
                return {r, 0, false};
            problem pt = simulate(t, 0);
            const int c = compare(best, pt);
            if (c == 1 || (c == 0 && pt.end < best.end)) {
                alternative = t;
                best = std::move(pt);
                if (best.tasks.empty())
                    break;
            }
        }

    if (piece != 0 && alternative >= 0) {
        const int c = compare(ps, best);
        if (c == 1 || (c == 0 && best.end < ps.end))
            piece = 0;
        else
            alternative = -1;
    }
    if (piece != 0)
        return {r, piece};
    if (alternative >= 0) {
        for (int t : best.tasks)
            if (t == r)
                return {r, 0};
        return {alternative, 0};
    }
    return {r, 0};
}

bool computation::run(std::vector<block>& out)
{
    const int n = static_cast<int>(order_.size());
    int timed = -1;
    if (in_.timed != 0) {
        auto it = index_.find(in_.timed);
        if (it != index_.end()) {
            const task_copy& x = at(it->second);
            if (x.date == in_.date && !x.appointment && x.effective_estimate != 0)
                timed = it->second;
        }
    }
    bool timed_checked = false;
    int clock = start_;
    std::size_t next = 0;
    std::vector<int> waiting;
    while ((next < static_cast<std::size_t>(n) || !waiting.empty()) && clock <= midnight) {
        int selected = -1;
        std::size_t waiting_at = waiting.size();
        for (std::size_t w = 0; w < waiting.size(); ++w)
            if (at(waiting[w]).schedule_after() <= clock) {
                selected = waiting[w];
                waiting_at = w;
                break;
            }
        if (selected < 0 && next < static_cast<std::size_t>(n)) {
            selected = static_cast<int>(next);
        } else if (selected < 0) {
            waiting_at = 0;
            for (std::size_t w = 1; w < waiting.size(); ++w)
                if (at(waiting[w]).schedule_after() < at(waiting[waiting_at]).schedule_after())
                    waiting_at = w;
            selected = waiting[waiting_at];
            clock = at(selected).schedule_after();
        }
        const bool from_waiting = waiting_at < waiting.size();
        auto pass = [&] {
            if (from_waiting)
                waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(waiting_at));
            else
                ++next;
        };
        if ((!from_waiting && !at(selected).schedulable()) || fully_placed(selected, b_)) {
            pass();
            continue;
        }

        int r = selected;
        bool timed_turn = false;
        if (!timed_checked) {
            timed_checked = true;
            if (timed >= 0) {
                r = timed;
                timed_turn = true;
            }
        }
        if (!timed_turn && at(r).schedule_after() >= 0 && at(r).schedule_after() > clock) {
            waiting.push_back(r);
            pass();  // a task from the list; one from the waiting list never gets here
            continue;
        }

        choice c = in_.look_ahead ? evaluate(r, timed_turn) : choice{r, 0};
        if (!c.ok)
            return false;
        clock = place(c.task, start_, c.piece, timed_turn, b_);
        if (!timed_turn && c.task == r && c.piece == 0)
            pass();
    }
    out = std::move(b_.blocks);
    return true;
}

}  // namespace

bool compute_day(const day_input& in, std::vector<block>& out, const std::atomic<bool>* cancel)
{
    computation c(in, cancel);
    return c.run(out);
}

}  // namespace qm::schedule
