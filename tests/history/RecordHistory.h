#pragma once
// The states one stored record may be in after operations that ran side by side or were killed:
// every order of their effects that real time allows.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace history {

// A record as far as the history cares: which content it holds (-1: nothing stored yet; 0 for a
// measured record, the version for an imported one), its comment and its valid flag.
struct State {
    int content = -1;
    std::string memo;
    int valid = 0;
    auto operator<=>(const State&) const = default;
};

std::string Describe(const State& s);

// One operation's effect on one record, at moments inside [start, end] (milliseconds). A rewrite
// chooses its records at one moment (select) and writes them at a later one; a store or an import
// does both at once (no select).
struct Effect {
    int64_t start = 0, end = 0;
    bool required = false;  // acknowledged: it happened
    std::function<bool(const State&)> select;
    std::function<void(State&)> apply;
};

// Every state the record may end in from initial: the effects in any order that keeps real time
// (an operation that ended before another began came first), every required one taken, each
// other one taken or not. At most 32 effects.
std::set<State> Outcomes(const State& initial, const std::vector<Effect>& effects);

}  // namespace history
