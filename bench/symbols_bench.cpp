// Sorting symbol definitions by name: the exchange-sort order computed in O(n log n) against the
// literal exchange sort, on catalogs of 1,000 to 50,000 names of which half are duplicates.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "model/ByteOrder.h"
#include "model/Entity.h"
#include "model/EntityList.h"
#include "model/Format.h"
#include "symbols/SortByName.h"
#include "tests/support/ExchangeSortReference.h"

namespace {

using runebin::EntityList;

// Catalog-like names ("Valve-DN50-r3"); half of the entries repeat a name of the other half.
std::vector<std::string> CatalogNames(std::size_t count) {
  std::mt19937 random(12345);
  const char* const stems[] = {"Valve", "valve", "Pump", "Door", "Window", "Tree", "Bolt", "Nut"};
  std::vector<std::string> names;
  names.reserve(count);
  const std::size_t distinct = std::max<std::size_t>(1, count / 2);
  for (std::size_t i = 0; i < distinct; ++i) {
    names.push_back(std::string(stems[random() % 8]) + "-DN" + std::to_string(random() % 1000) +
                    "-r" + std::to_string(i));
  }
  while (names.size() < count) {
    names.push_back(names[random() % distinct]);
  }
  std::shuffle(names.begin(), names.end(), random);
  return names;
}

// A symbol definition record with its (empty) group, as a file holds it.
std::unique_ptr<runebin::Entity> DefinitionNamed(const std::string& name) {
  std::vector<std::uint8_t> bytes(runebin::kDefRecordLength + 10, 0);
  runebin::PutU32(bytes.data(), static_cast<std::uint32_t>(runebin::kDefRecordLength));
  bytes[runebin::kTypeOffset] = runebin::kTypeSymbolDef;
  std::copy_n(name.begin(), std::min(name.size(), runebin::kMaxNameLength),
              bytes.begin() + runebin::kDefNameOffset);
  std::copy(std::begin(runebin::kGroupOpen), std::end(runebin::kGroupOpen),
            bytes.begin() + runebin::kDefRecordLength);
  std::copy(std::begin(runebin::kGroupClose), std::end(runebin::kGroupClose),
            bytes.begin() + runebin::kDefRecordLength + 5);
  return runebin::CreateEntity(bytes);
}

void FastOrder(benchmark::State& state) {
  const auto names = CatalogNames(static_cast<std::size_t>(state.range(0)));
  // Where the literal sort is affordable, the two orders must be the same.
  if (names.size() <= 5000 && runebin::ExchangeSortOrder(std::span<const std::string>(names)) !=
                                  runebin::testing::LiteralExchangeSortOrder(names)) {
    state.SkipWithError("the fast order differs from the exchange sort's");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(runebin::ExchangeSortOrder(std::span<const std::string>(names)));
  }
  state.SetComplexityN(state.range(0));
}

void LiteralOrder(benchmark::State& state) {
  const auto names = CatalogNames(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(runebin::testing::LiteralExchangeSortOrder(names));
  }
}

// The whole command on a list of definitions: names read, order computed, entries moved.
void SortByNameOnAList(benchmark::State& state) {
  const auto names = CatalogNames(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    EntityList list;
    for (const auto& name : names) {
      list.Add(DefinitionNamed(name));
    }
    state.ResumeTiming();
    // As DrawingFile::ReorderSymbols moves them.
    if (const auto order = runebin::SortedOrder(list)) {
      auto entries = list.RemoveAt(0, list.GetSize());
      for (const int from : *order) {
        list.Add(std::move(entries[static_cast<std::size_t>(from)]));
      }
    }
    state.PauseTiming();
    list.DeleteAll();
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK(FastOrder)->Arg(1000)->Arg(5000)->Arg(10000)->Arg(20000)->Arg(50000)->Unit(
    benchmark::kMillisecond);
BENCHMARK(LiteralOrder)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByNameOnAList)->Arg(1000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
