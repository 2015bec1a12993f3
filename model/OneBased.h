#pragma once

#include <array>
#include <cassert>
#include <cstddef>

namespace vornik {

// A fixed array indexed from 1, for the tables whose entries are numbered from 1
// (moves, joysticks, joystick entries, key-map records, target-window entries, named-key positions).
template <typename T, int N> struct OneBased {
    std::array<T, N> items{};

    static constexpr int size() { return N; }
    T& operator[](int i) {
        assert(i >= 1 && i <= N);
        return items[static_cast<std::size_t>(i - 1)];
    }
    const T& operator[](int i) const {
        assert(i >= 1 && i <= N);
        return items[static_cast<std::size_t>(i - 1)];
    }
    auto begin() { return items.begin(); }
    auto end() { return items.end(); }
    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }
    bool operator==(const OneBased&) const = default;
};

} // namespace vornik
