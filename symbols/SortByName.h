#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/EntityList.h"

namespace runebin {

// Sorting a file's symbol definitions by name.
//
// The order is that of the classic exchange sort: for every place i from the front, each later
// entry j that sorts strictly before the entry now at i is exchanged with it. Names compare byte
// for byte as unsigned values (every upper-case ASCII letter before every lower-case one, a name
// before any longer name it begins). Equal names are never exchanged with each other, yet the
// result is not stable: a third entry can carry one of them past the other, so
// [B(1), B(2), A] ends as [A, B(2), B(1)]. Users see and keep that order in their files, so it is
// reproduced exactly - but without the n(n-1)/2 name comparisons the exchange sort makes.

// The final order of the exchange sort over `ranks` (any integers; only their order matters):
// element k of the result is the original index of the entry that ends at place k.
std::vector<int> ExchangeSortOrder(std::span<const int> ranks);

// The same for names.
std::vector<int> ExchangeSortOrder(std::span<const std::string> names);

// The order of `symbolDefs` after the exchange sort, as above; nothing when the sort would not
// exchange any pair, that is when the names are already in order.
std::optional<std::vector<int>> SortedOrder(const EntityList& symbolDefs);

}  // namespace runebin
