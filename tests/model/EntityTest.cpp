#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <tuple>

#include "model/DrawingFile.h"
#include "model/EntityList.h"
#include "model/NamedEntity.h"
#include "tests/support/DrawingBuilder.h"

namespace runebin {
namespace {

using namespace runebin::testing;

NamedEntity& Named(const std::unique_ptr<Entity>& entity) {
  return *entity->AsNamed();
}

platform::ByteBuffer Owned(const Bytes& bytes) {
  platform::ByteBuffer owned(bytes.size());
  std::copy(bytes.begin(), bytes.end(), owned.data());
  return owned;
}

// An entity is its record, plus the group that follows it for definitions and group records, up
// to the marker that closes the outer level (a marker is a 5-byte record of its type).
TEST(CreateEntity, TakesTheRecordAndItsGroupAndNothingAfterThem) {
  const Bytes after = Record(1, Bytes(9, 0));
  for (const Bytes& record :
       {Reference("Tree"), Record(30, Bytes(2, 0)), TypeZero(2),
        Definition("Tree", {Group(17, {Reference("Leaf")}), Record(3)}), Group(18, {Record(3)}),
        Definition("Outer", {GroupOpen(), Record(9), Record(0xAA), GroupClose(), TypeZero(2)}),
        Join({Record(kTypeSymbolDef, Bytes(83, 0)), GroupClose()})}) {
    const Bytes both = Join({record, after});
    EXPECT_EQ(CreateEntity(both)->Length(), record.size()) << int{record[4]};
    const auto fromOwned = CreateEntity(Owned(both));
    EXPECT_TRUE(std::ranges::equal(fromOwned->Bytes(), record)) << int{record[4]};
  }
  EXPECT_EQ(CreateEntity(Record(30))->AsNamed(), nullptr);
  // An unclosed group is malformed.
  const Bytes open = Join({Record(kTypeSymbolDef, Bytes(83, 0)), GroupOpen()});
  EXPECT_EQ(CreateEntity(Owned(open))->Length(), 0u);
  GroupEntity group17(17);
  EXPECT_EQ(group17.Parse(Group(18, {})), -1);
  EXPECT_EQ(group17.Parse(Group(17, {})), 0);
}

// The name field: 32 bytes at 56 (definitions) or 52 (references), zero-ended when there is
// room; names are cut to 31 bytes and a shorter name leaves the old bytes behind its zero. A
// record too short for the field holds what fits and nothing is read from or written into the
// group and records after it.
TEST(SymbolName, FieldBoundsByRecordLength) {
  struct Row {
    Bytes record;
    std::string name, renamedTo, afterRename;
  };
  const Row rows[] = {
      {Definition("Forest"), "Forest", "Oak", "Oak"},
      {Definition("Oak"), "Oak", std::string(40, 'n'), std::string(31, 'n')},
      {Reference("Tree"), "Tree", "Ash", "Ash"},
      {Definition("Name", {Reference("Inner")}, {}, 42), "", "X", ""},
      {Definition("Name", {Reference("Inner")}, {}, 56), "", "X", ""},  // ends where it starts
      {Definition("ABCDEFG", {Reference("Inner")}, {}, 60), "ABCD", "LongerThanTheField", "Lon"},
      {Reference("Tree", 54), "Tr", "Oak", "O"},  // no room for the zero
      {Reference("Tree", 40), "", "Oak", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name + " " + std::to_string(row.record.size()));
    const auto entity = CreateEntity(row.record);
    ASSERT_EQ(entity->Length(), row.record.size());
    EXPECT_EQ(Named(entity).SetName(row.renamedTo), row.name);
    EXPECT_EQ(Named(entity).GetName(), row.afterRename);
    const std::size_t field = entity->GetType() == kTypeSymbolDef ? 56 : 52;
    const std::size_t recordLength = row.record[0] | row.record[1] << 8;
    const auto bytes = entity->Bytes();
    EXPECT_TRUE(std::equal(bytes.begin() + static_cast<std::ptrdiff_t>(recordLength), bytes.end(),
                           row.record.begin() + static_cast<std::ptrdiff_t>(recordLength)));
    if (recordLength > field + 31) {
      EXPECT_EQ(bytes[field + 31], 0);
    }
  }
  auto def = CreateEntity(Definition("Forest"));
  Named(def).SetName("Oak");
  EXPECT_EQ(std::string(def->Bytes().begin() + 56, def->Bytes().begin() + 64),
            std::string("Oak\0st\0\0", 8));
  Bytes full = Definition("x");
  std::fill(full.begin() + 56, full.begin() + 88, 'z');
  EXPECT_EQ(Named(CreateEntity(full)).GetName(), std::string(32, 'z'));
}

TEST(Entity, ExtentsAreReadFromDefinitionsOnlyAndAssignCopiesBytesAndCount) {
  float values[4] = {9, 9, 9, 9};
  CreateEntity(Reference("A"))->GetExtents(values[0], values[1], values[2], values[3]);
  EXPECT_EQ(std::vector<float>(values, values + 4), std::vector<float>(4, 0));
  // Extents at 28..43; a 42-byte record holds the low corner only.
  CreateEntity(Definition("A", {}, {1, 2, 3, 4}, 42))
      ->GetExtents(values[0], values[1], values[2], values[3]);
  EXPECT_EQ(std::vector<float>(values, values + 4), (std::vector<float>{1, 2, 0, 0}));

  auto source = CreateEntity(Definition("Src", {Record(3)}));
  source->useCount = 4;
  SymbolDef target;
  target.Assign(*source);
  target.Assign(target);
  EXPECT_EQ(target.useCount, 4);
  EXPECT_TRUE(std::ranges::equal(target.Bytes(), source->Bytes()));
}

// References are renamed at every depth, removed at the top level only, and matched exactly.
TEST(References, RenameReachesEveryDepthRemoveTheTopLevelOnly) {
  const Bytes tree = Reference("Tree"), park = Definition("Park", {tree, Reference("Tree", 60)});
  const Bytes deep = Group(18, {Group(17, {tree})});
  const Bytes others = Join({Reference("tree"), Reference("Trees")});  // other names
  const std::vector<Bytes> records = {Definition("Tree"), park, tree, others, deep, tree};
  const Bytes birch = Reference("Birch"), q31 = Reference(std::string(31, 'q'));
  const std::tuple<std::function<int(DrawingFile&)>, int, std::vector<Bytes>> rows[] = {
      {[](DrawingFile& d) { return d.RenameReferences("Tree", "Birch"); },
       5,
       {Definition("Tree"), Definition("Park", {birch, Reference("Birch", 60)}), birch, others,
        Group(18, {Group(17, {birch})}), birch}},
      {[](DrawingFile& d) { return d.RenameReferences("tree", std::string(40, 'q')); },
       1,
       {Definition("Tree"), park, tree, q31, Reference("Trees"), deep, tree}},
      {[](DrawingFile& d) { return d.RemoveReferences("Tree"); },
       2,
       {Definition("Tree"), park, others, deep}},
      {[](DrawingFile& d) { return d.RenameReferences("Elm", "Ash") + d.RemoveReferences("TREE"); },
       0, records},
  };
  for (const auto& [change, count, after] : rows) {
    LoadedDrawing drawing(Drawing(records));
    EXPECT_EQ(change(drawing), count);
    EXPECT_EQ(drawing.IsModified(), count > 0);
    EXPECT_EQ(Written(drawing), Drawing(after)) << count;
    EXPECT_EQ(drawing.SymbolDefs().GetAt(0).useCount, 2);  // counts are not redone
  }
}

// A load tells its entities their names and which groups hold no reference, so that searches pass
// over most bytes; what it told must follow every change of the bytes.
TEST(References, WhatALoadToldTheEntitiesFollowsTheirChanges) {
  LoadedDrawing drawing(
      Drawing({Definition("A"), Definition("B", {Reference("A")}), Reference("A")}));
  drawing.AssignSymbol(0, drawing.SymbolDefs().GetAt(1));  // now with a reference inside
  EXPECT_EQ(drawing.RenameReferences("A", "C"), 3);
  EXPECT_EQ(drawing.RenameReferences("C", "D"), 3);
  drawing.SetSymbolName(1, "E");
  EXPECT_EQ(drawing.SymbolDefs().FindByName("E"), 1);
  EXPECT_EQ(drawing.SymbolDefs().FindByName("B"), 0);
  EXPECT_EQ(Written(drawing), Drawing({Definition("B", {Reference("D")}),
                                       Definition("E", {Reference("D")}), Reference("D")}));
}

TEST(EntityList, RefusesIndexesOutsideTheListAndFindsTheLastExactName) {
  EntityList list;
  list.Reserve(SIZE_MAX);  // a hint the list cannot take: it grows as it goes instead
  for (const Bytes& record :
       {Definition("Tree"), Record(3), Definition("Tree"), Definition("tree")}) {
    list.Add(CreateEntity(record));
  }
  EXPECT_THROW(list.GetAt(4), std::invalid_argument);
  EXPECT_THROW(list.GetAt(-1), std::invalid_argument);
  EXPECT_THROW(list.SetAt(4, nullptr), std::invalid_argument);
  EXPECT_THROW(list.RemoveAt(3, 2), std::invalid_argument);
  EXPECT_THROW(list.Swap(0, 5), std::invalid_argument);
  EXPECT_EQ(list.FindByName("Tree"), 2);
  EXPECT_EQ(list.FindByName("TREE"), -1);
  EXPECT_EQ(list.RemoveAt(1, 2).size(), 2u);
  EXPECT_EQ(list.FindByName("Tree"), 0);
  EXPECT_EQ(list.DeleteAll(), 2);
  EXPECT_EQ(list.GetSize(), 0);
}

}  // namespace
}  // namespace runebin
