#pragma once

#include <cstddef>
#include <numeric>
#include <utility>
#include <vector>

namespace runebin::testing {

// The exchange sort written out literally, n(n-1)/2 comparisons: for each place i, every later
// entry that sorts strictly before the entry now at i is swapped with it. The fast sort must give
// exactly this order. Returns the original index of the entry at each place, and sets `moved`
// when any swap happened.
template <typename T>
std::vector<int> LiteralExchangeSortOrder(const std::vector<T>& keys, bool* moved = nullptr) {
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  bool swapped = false;
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    for (std::size_t j = i + 1; j < order.size(); ++j) {
      if (keys[static_cast<std::size_t>(order[j])] < keys[static_cast<std::size_t>(order[i])]) {
        std::swap(order[i], order[j]);
        swapped = true;
      }
    }
  }
  if (moved != nullptr) {
    *moved = swapped;
  }
  return order;
}

}  // namespace runebin::testing
