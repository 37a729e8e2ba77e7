#include "tests/history/RecordHistory.h"

#include <cassert>
#include <tuple>

namespace history {

std::string Describe(const State& s) {
    if (s.content < 0) return "absent";
    return "content " + std::to_string(s.content) + " memo \"" + s.memo + "\" valid " + std::to_string(s.valid);
}

std::set<State> Outcomes(const State& initial, const std::vector<Effect>& effects) {
    const std::size_t n = effects.size();
    assert(n <= 32);
    // Effect i has step 2i (choosing) and 2i + 1 (writing); one without a choice starts chosen.
    uint64_t first = 0;
    std::vector<uint64_t> before(n, 0);  // the steps that must be taken before effect i begins
    for (std::size_t i = 0; i < n; ++i) {
        if (!effects[i].select) first |= uint64_t{1} << (2 * i);
        for (std::size_t j = 0; j < n; ++j)
            if (effects[j].end < effects[i].start) before[i] |= uint64_t{3} << (2 * j);
    }
    const uint64_t all = n == 32 ? ~uint64_t{0} : (uint64_t{1} << (2 * n)) - 1;
    std::set<State> out;
    std::set<std::tuple<uint64_t, uint32_t, State>> seen;
    std::function<void(uint64_t, uint32_t, const State&)> walk = [&](uint64_t taken, uint32_t chosen, const State& s) {
        if (!seen.insert({taken, chosen, s}).second) return;
        if (taken == all) {
            out.insert(s);
            return;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const Effect& e = effects[i];
            const uint64_t choose = uint64_t{1} << (2 * i), write = choose << 1;
            if ((taken & before[i]) != before[i] || (taken & write)) continue;
            if (!(taken & choose)) {
                walk(taken | choose, e.select(s) ? chosen | uint32_t{1} << i : chosen, s);
                continue;
            }
            const bool applies = !e.select || (chosen >> i & 1);
            if (applies) {
                State t = s;
                e.apply(t);
                walk(taken | write, chosen, t);
            }
            if (!applies || !e.required) walk(taken | write, chosen, s);
        }
    };
    walk(first, 0, initial);
    return out;
}

}  // namespace history
