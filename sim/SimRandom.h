#pragma once
// Seeded generator with its own distributions, so the simulator's numbers are the same on every
// standard library.
#include <cmath>
#include <cstdint>

class CSimRandom {
public:
    explicit CSimRandom(uint64_t seed = 1) : state_(seed) {}

    void Seed(uint64_t seed) { state_ = seed; }

    uint64_t Next() {  // splitmix64
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform integer in [lo, hi].
    int Between(int lo, int hi) {
        return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1));
    }
    // Standard normal (Box-Muller; one value per call keeps the sequence simple).
    double Normal() {
        double u1 = Uniform();
        double u2 = Uniform();
        if (u1 < 1e-300) u1 = 1e-300;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }

private:
    uint64_t state_;
};
