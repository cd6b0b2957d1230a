#include "symbols/SortByName.h"

#include <gtest/gtest.h>

#include <random>

#include "model/DrawingFile.h"
#include "model/NamedEntity.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/ExchangeSortReference.h"

namespace runebin {
namespace {

using namespace runebin::testing;

std::vector<int> FastOrder(const std::vector<int>& ranks) {
  return ExchangeSortOrder(std::span<const int>(ranks));
}

TEST(ExchangeSortOrder, CarriesAnEqualNamePastItsTwin) {
  const std::vector<std::string> names = {"B", "B", "A"};
  EXPECT_EQ(ExchangeSortOrder(std::span<const std::string>(names)), (std::vector<int>{2, 1, 0}));
}

TEST(ExchangeSortOrder, ComparesBytesAsUnsignedValues) {
  // Upper case before lower case, a prefix before its extensions, and bytes above 127 last.
  const std::vector<std::string> names = {"b", "B", "\xE9t\xE9", "a", "A", "ab", "a"};
  const std::vector<int> order = ExchangeSortOrder(std::span<const std::string>(names));
  std::vector<std::string> sorted;
  for (int from : order) {
    sorted.push_back(names[static_cast<std::size_t>(from)]);
  }
  EXPECT_EQ(sorted, (std::vector<std::string>{"A", "B", "a", "a", "ab", "b", "\xE9t\xE9"}));
  EXPECT_EQ(order, LiteralExchangeSortOrder(names));
}

TEST(ExchangeSortOrder, HandlesEmptyAndSingleLists) {
  EXPECT_TRUE(FastOrder({}).empty());
  EXPECT_EQ(FastOrder({7}), (std::vector<int>{0}));
}

// The fast order must be the literal sort's order in every case; duplicates are where the two
// could part, so the random lists draw from few distinct values.
TEST(ExchangeSortOrder, MatchesTheLiteralSortOnRandomListsWithManyDuplicates) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 4000; ++round) {
    const int size = std::uniform_int_distribution<int>(0, 40)(random);
    const int distinct = std::uniform_int_distribution<int>(1, 1 + size / 2)(random);
    std::vector<int> ranks(static_cast<std::size_t>(size));
    for (int& rank : ranks) {
      rank = std::uniform_int_distribution<int>(0, distinct - 1)(random);
    }
    ASSERT_EQ(FastOrder(ranks), LiteralExchangeSortOrder(ranks)) << "round " << round;
  }
}

TEST(ExchangeSortOrder, MatchesTheLiteralSortOnStructuredLists) {
  std::vector<std::vector<int>> cases;
  std::vector<int> descending, sawtooth, oneBigRun, alternating;
  for (int i = 0; i < 60; ++i) {
    descending.push_back(60 - i);
    sawtooth.push_back(i % 7);
    oneBigRun.push_back(i % 5 == 0 ? 0 : 9);
    alternating.push_back(i % 2 == 0 ? 60 - i : 5);
  }
  for (const auto& ranks : {descending, sawtooth, oneBigRun, alternating}) {
    EXPECT_EQ(FastOrder(ranks), LiteralExchangeSortOrder(ranks));
  }
}

TEST(ExchangeSortOrder, MatchesTheLiteralSortOnALargeList) {
  std::mt19937 random(7);
  std::vector<int> ranks(3000);
  for (int& rank : ranks) {
    rank = std::uniform_int_distribution<int>(0, 1499)(random);
  }
  EXPECT_EQ(FastOrder(ranks), LiteralExchangeSortOrder(ranks));
}

class SortByNameList : public ::testing::Test {
 protected:
  // Loads definitions named `names`; each carries its original place as its use count so that
  // equal names can be told apart afterwards.
  EntityList& Load(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      const Bytes bytes = Definition(names[i], {Reference("inner")});
      auto entity = CreateEntity(bytes);
      entity->useCount = static_cast<int>(i);
      list.Add(std::move(entity));
    }
    return list;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < list.GetSize(); ++i) {
      names.push_back(list.GetAt(i).AsNamed()->GetName());
    }
    return names;
  }
  std::vector<int> Origins() const {
    std::vector<int> origins;
    for (int i = 0; i < list.GetSize(); ++i) {
      origins.push_back(list.GetAt(i).useCount);
    }
    return origins;
  }
  EntityList list;
};

TEST_F(SortByNameList, ReportsNoExchangeForSortedListsAndLeavesThemAlone) {
  Load({"A", "B", "B", "c"});
  EXPECT_FALSE(SortByName(list));
  EXPECT_EQ(Origins(), (std::vector<int>{0, 1, 2, 3}));
  EntityList empty;
  EXPECT_FALSE(SortByName(empty));
}

TEST_F(SortByNameList, MovesWholeDefinitionsWithTheirGroups) {
  Load({"b", "a"});
  const Bytes expected = Definition("a", {Reference("inner")});
  ASSERT_TRUE(SortByName(list));
  const auto bytes = list.GetAt(0).Bytes();
  EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), expected);
}

}  // namespace
}  // namespace runebin
