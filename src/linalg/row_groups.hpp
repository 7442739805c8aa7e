// How the fast products walk the rows: in blocks of LANES rows (a vector's
// width), up to GROUP blocks side by side so that their add chains overlap
// instead of waiting on each other's latency.
#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>

// Turns a run-time count 1..MAX into a compile-time one.
template <int MAX, typename Run>
void dispatchCount(std::int32_t count, Run run) {
  if constexpr (MAX > 0) {
    if (count == MAX) return run(std::integral_constant<int, MAX>{});
    dispatchCount<MAX - 1>(count, run);
  }
}

// Calls run(std::integral_constant<int, B>{}, firstRows) for each group of
// B <= GROUP blocks, firstRows[b] being block b's first row. When LANES does
// not divide n, the last block is moved back to end at row n - 1: it
// recomputes a few rows, to the same bits, instead of needing a narrower tail.
// Requires n >= LANES.
template <int LANES, int GROUP, typename Run>
void forEachRowGroup(std::int32_t n, Run run) {
  const std::int32_t blocks = (n + LANES - 1) / LANES;
  for (std::int32_t first = 0; first < blocks; first += GROUP) {
    std::int32_t rows[GROUP];
    const std::int32_t count = std::min<std::int32_t>(GROUP, blocks - first);
    for (std::int32_t b = 0; b < count; ++b) rows[b] = std::min(LANES * (first + b), n - LANES);
    dispatchCount<GROUP>(count, [&](auto size) { run(size, rows); });
  }
}
