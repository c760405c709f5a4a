#pragma once
#include <cstdint>
#include <random>
#include <vector>

namespace cl::demo {

// Deterministic draws for a seed on every platform: the engine is fully specified by the
// standard, while the standard distributions are not, so the draws are made here.
class DemoRandom {
  public:
    explicit DemoRandom(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, n), without modulo bias; 0 when n is 0.
    std::uint64_t below(std::uint64_t n) {
        if (n == 0) return 0;
        const std::uint64_t limit = UINT64_MAX - UINT64_MAX % n;
        std::uint64_t x;
        do {
            x = engine_();
        } while (x >= limit);
        return x % n;
    }
    // Uniform in [lo, hi].
    long long between(long long lo, long long hi) {
        return lo + static_cast<long long>(below(static_cast<std::uint64_t>(hi - lo) + 1));
    }
    // Uniform in [0, 1) from the top 53 bits.
    double unit() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    bool chance(double p) { return unit() < p; }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }

  private:
    std::mt19937_64 engine_;
};

}  // namespace cl::demo
