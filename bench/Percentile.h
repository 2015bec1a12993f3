#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// Nearest-rank percentile (p in 0..1) of a non-empty sample.
inline double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size())));
    return values[std::max<std::size_t>(rank, 1) - 1];
}
