#include "symbols/SortByName.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

#include "symbols/SymbolCommands.h"

namespace runebin {
namespace {

// How the exchange sort treats a run of equal values v, derived from what one pass does.
//
// Pass i carries the entry at i along the rest of the list and swaps it with every entry that is
// strictly smaller than the one it carries. The carried entries form the chain of strict prefix
// minima; each of them moves to the place of the next one, and the last (the first occurrence of
// the smallest value) ends at i.
//
// Restricted to the entries <= v, this is the same pass on that subsequence: every larger entry
// is ahead of them in the chain and only trades places with them. Looking at the subsequence as
// a string of S (smaller than v) and V (equal to v), one pass either drops a leading S, or - if a
// V leads - moves that V to the place of the first S (the V jumps past the other V before that S)
// and drops the leading place. Each pass thus consumes the first S, and rotates the leading block
// of V by one when there is one. Once no S is left, the V leave in their order.
//
// So the final order of the V follows from the number of smaller entries between consecutive V
// alone: append each V to a block, then rotate the block left by the number of smaller entries
// up to the next V. The block is kept as a ring with a start mark; appending inserts before the
// start, rotating moves the start by the count modulo the block size, the short way round.
class Ring {
 public:
  explicit Ring(std::size_t capacity) : next_(capacity), previous_(capacity) {}

  void Append(int item) {
    const auto i = static_cast<std::size_t>(item);
    if (size_ == 0) {
      next_[i] = previous_[i] = item;
      start_ = item;
    } else {
      const auto s = static_cast<std::size_t>(start_);
      const int last = previous_[s];
      next_[static_cast<std::size_t>(last)] = item;
      previous_[i] = last;
      next_[i] = start_;
      previous_[s] = item;
    }
    ++size_;
  }

  void RotateLeft(std::size_t steps) {
    if (size_ == 0) {
      return;
    }
    steps %= size_;
    if (steps <= size_ / 2) {
      for (; steps > 0; --steps) {
        start_ = next_[static_cast<std::size_t>(start_)];
      }
    } else {
      for (steps = size_ - steps; steps > 0; --steps) {
        start_ = previous_[static_cast<std::size_t>(start_)];
      }
    }
  }

  template <typename Visit>
  void ForEach(Visit visit) const {
    int item = start_;
    for (std::size_t k = 0; k < size_; ++k) {
      visit(item);
      item = next_[static_cast<std::size_t>(item)];
    }
  }

 private:
  std::vector<int> next_;
  std::vector<int> previous_;
  std::size_t size_ = 0;
  int start_ = 0;
};

// Counts marked places below a position (a Fenwick tree).
class PlaceCounter {
 public:
  explicit PlaceCounter(std::size_t size) : tree_(size + 1, 0) {}

  void Mark(std::size_t place) {
    for (std::size_t i = place + 1; i < tree_.size(); i += i & (~i + 1)) {
      ++tree_[i];
    }
  }

  // Marked places in [0, place).
  std::size_t CountBelow(std::size_t place) const {
    std::size_t count = 0;
    for (std::size_t i = place; i > 0; i -= i & (~i + 1)) {
      count += tree_[i];
    }
    return count;
  }

 private:
  std::vector<std::size_t> tree_;
};

}  // namespace

std::vector<int> ExchangeSortOrder(std::span<const int> ranks) {
  const std::size_t n = ranks.size();
  // The places grouped by value, ascending; each group keeps its places in list order.
  std::vector<int> byValue(n);
  std::iota(byValue.begin(), byValue.end(), 0);
  std::stable_sort(byValue.begin(), byValue.end(), [&](int a, int b) {
    return ranks[static_cast<std::size_t>(a)] < ranks[static_cast<std::size_t>(b)];
  });

  std::vector<int> order;
  order.reserve(n);
  PlaceCounter smaller(n);
  std::size_t smallerTotal = 0;
  std::vector<std::size_t> smallerBefore;
  for (std::size_t first = 0; first < n;) {
    std::size_t end = first + 1;
    while (end < n && ranks[static_cast<std::size_t>(byValue[end])] ==
                          ranks[static_cast<std::size_t>(byValue[first])]) {
      ++end;
    }
    const std::size_t count = end - first;
    if (count == 1) {
      order.push_back(byValue[first]);
    } else {
      smallerBefore.resize(count);
      for (std::size_t k = 0; k < count; ++k) {
        smallerBefore[k] = smaller.CountBelow(static_cast<std::size_t>(byValue[first + k]));
      }
      Ring block(count);
      for (std::size_t k = 0; k < count; ++k) {
        block.Append(static_cast<int>(k));
        const std::size_t upToNext = k + 1 < count ? smallerBefore[k + 1] : smallerTotal;
        block.RotateLeft(upToNext - smallerBefore[k]);
      }
      block.ForEach([&](int k) { order.push_back(byValue[first + static_cast<std::size_t>(k)]); });
    }
    for (std::size_t k = first; k < end; ++k) {
      smaller.Mark(static_cast<std::size_t>(byValue[k]));
    }
    smallerTotal += count;
    first = end;
  }
  return order;
}

std::vector<int> ExchangeSortOrder(std::span<const std::string> names) {
  // Ranks by one comparison sort; std::string compares its bytes as unsigned values.
  std::vector<int> byName(names.size());
  std::iota(byName.begin(), byName.end(), 0);
  std::sort(byName.begin(), byName.end(), [&](int a, int b) {
    return names[static_cast<std::size_t>(a)] < names[static_cast<std::size_t>(b)];
  });
  std::vector<int> ranks(names.size());
  int rank = 0;
  for (std::size_t k = 0; k < byName.size(); ++k) {
    if (k > 0 && names[static_cast<std::size_t>(byName[k - 1])] !=
                     names[static_cast<std::size_t>(byName[k])]) {
      ++rank;
    }
    ranks[static_cast<std::size_t>(byName[k])] = rank;
  }
  return ExchangeSortOrder(ranks);
}

std::optional<std::vector<int>> SortedOrder(const EntityList& symbolDefs) {
  const int size = symbolDefs.GetSize();
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i) {
    names.push_back(NameOf(symbolDefs.GetAt(i)));
  }
  // The exchange sort swaps something exactly when some later entry is strictly smaller than an
  // earlier one, that is when the names are not already in order.
  if (std::is_sorted(names.begin(), names.end())) {
    return std::nullopt;
  }
  return ExchangeSortOrder(names);
}

}  // namespace runebin
