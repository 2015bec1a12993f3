#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

// The bounds checks are on in builds without NDEBUG and in the sanitizer builds (VORNIK_CHECKS),
// where the fuzz tests run: neither AddressSanitizer nor UBSan sees an index that strays from one
// table into the next member of the same record.
#if defined(VORNIK_CHECKS) || !defined(NDEBUG)
#define VORNIK_ONE_BASED_CHECKS 1
#else
#define VORNIK_ONE_BASED_CHECKS 0
#endif

namespace vornik {

inline constexpr bool kOneBasedChecked = VORNIK_ONE_BASED_CHECKS;

[[noreturn]] inline void oneBasedOutOfRange(int i, int n) {
    std::fprintf(stderr, "OneBased: index %d outside 1..%d\n", i, n);
    std::abort();
}

// A fixed array indexed from 1, for the tables whose entries are numbered from 1
// (moves, joysticks, joystick entries, key-map records, target-window entries, named-key positions).
template <typename T, int N> struct OneBased {
    std::array<T, N> items{};

    static constexpr int size() { return N; }
    T& operator[](int i) {
        check(i);
        return items[static_cast<std::size_t>(i - 1)];
    }
    const T& operator[](int i) const {
        check(i);
        return items[static_cast<std::size_t>(i - 1)];
    }
    auto begin() { return items.begin(); }
    auto end() { return items.end(); }
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }
    bool operator==(const OneBased&) const = default;

private:
    static void check([[maybe_unused]] int i) {
        if constexpr (kOneBasedChecked) {
            if (i < 1 || i > N)
                oneBasedOutOfRange(i, N);
        }
    }
};

} // namespace vornik
