#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "model/EntityList.h"
#include "model/NamedEntity.h"
#include "tests/support/DrawingBuilder.h"

namespace runebin {
namespace {

using namespace runebin::testing;

std::unique_ptr<Entity> Make(const Bytes& bytes) {
  return CreateEntity(bytes);
}

NamedEntity& Named(const std::unique_ptr<Entity>& entity) {
  return *entity->AsNamed();
}

TEST(CreateEntity, ChoosesTheClassByTypeAndTakesTheRightExtent) {
  const Bytes reference = Reference("Tree");
  auto ref = Make(Join({reference, Record(1, Bytes(9, 0))}));
  EXPECT_NE(dynamic_cast<SymbolRef*>(ref.get()), nullptr);
  EXPECT_EQ(ref->Length(), reference.size());

  const Bytes definition = Definition("Tree", {Group(17, {Reference("Leaf")}), Record(3)});
  auto def = Make(Join({definition, TypeZero(1)}));
  EXPECT_NE(dynamic_cast<SymbolDef*>(def.get()), nullptr);
  EXPECT_EQ(def->Length(), definition.size());

  EXPECT_NE(dynamic_cast<TypeZeroEntity*>(Make(TypeZero(2)).get()), nullptr);
  EXPECT_NE(dynamic_cast<GroupEntity*>(Make(Group(18, {})).get()), nullptr);
  auto plain = Make(Record(30, Bytes(2, 0)));
  EXPECT_EQ(plain->AsNamed(), nullptr);
  EXPECT_EQ(plain->GetType(), 30);
}

// Owned bytes in a fresh buffer of exactly their size.
std::unique_ptr<std::uint8_t[]> Owned(const Bytes& bytes) {
  auto owned = std::make_unique<std::uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), owned.get());
  return owned;
}

TEST(CreateEntity, TakesOverBytesTheRecordFillsExactly) {
  const Bytes definition = Definition("Tree", {Group(17, {Record(3)})});
  auto owned = Owned(definition);
  const std::uint8_t* buffer = owned.get();
  auto def = CreateEntity(std::move(owned), definition.size());
  EXPECT_NE(dynamic_cast<SymbolDef*>(def.get()), nullptr);
  EXPECT_EQ(def->Bytes().data(), buffer);
  EXPECT_TRUE(std::ranges::equal(def->Bytes(), definition));
  EXPECT_EQ(Named(def).GetName(), "Tree");
}

TEST(CreateEntity, CopiesWhenTheRecordDoesNotFillTheBytes) {
  const Bytes reference = Reference("Tree");
  const Bytes more = Join({reference, TypeZero(1)});
  auto ref = CreateEntity(Owned(more), more.size());
  EXPECT_NE(dynamic_cast<SymbolRef*>(ref.get()), nullptr);
  EXPECT_TRUE(std::ranges::equal(ref->Bytes(), reference));
  // An unclosed group is malformed either way.
  const Bytes open = Join({Record(kTypeSymbolDef, Bytes(83, 0)), GroupOpen()});
  EXPECT_EQ(CreateEntity(Owned(open), open.size())->Length(), 0u);
}

TEST(GroupEntity, RefusesAnotherType) {
  GroupEntity group17(17);
  EXPECT_EQ(group17.Parse(Group(18, {})), -1);
  EXPECT_EQ(group17.Length(), 0u);
  EXPECT_EQ(group17.Parse(Group(17, {})), 0);
}

TEST(SymbolName, CutsLongNamesAndLeavesOldBytesBehindTheZero) {
  auto def = Make(Definition("Forest"));
  EXPECT_EQ(Named(def).SetName("Oak"), "Forest");
  EXPECT_EQ(Named(def).GetName(), "Oak");
  const auto field = def->Bytes().subspan(56, 8);
  EXPECT_EQ(std::string(field.begin(), field.end()), std::string("Oak\0st\0\0", 8));

  const std::string forty(40, 'n');
  EXPECT_EQ(Named(def).SetName(forty), "Oak");
  EXPECT_EQ(Named(def).GetName(), std::string(31, 'n'));
  EXPECT_EQ(def->Bytes()[87], 0);
  EXPECT_EQ(Named(def).SetName(std::string(31, 'n')), std::string(31, 'n'));  // same name
}

TEST(SymbolName, ReferenceNameLivesAtOffset52AndMayFillAll32Bytes) {
  auto ref = Make(Reference("Tree"));
  Named(ref).SetName("Ash");
  EXPECT_EQ(ref->Bytes()[52], 'A');
  EXPECT_EQ(Named(ref).GetName(), "Ash");
  Bytes definition = Definition("x");
  std::fill(definition.begin() + 56, definition.begin() + 88, 'z');
  EXPECT_EQ(Named(Make(definition)).GetName(), std::string(32, 'z'));
}

// Records too short for their fields: nothing may be read from or written into the GroupOpen
// and the records that follow them.
TEST(SymbolName, ShortRecordsNeverReachIntoTheirGroup) {
  auto stub = Make(Definition("Name", {Reference("Inner")}, {1, 2, 3, 4}, 42));
  float lx, ly, hx, hy;
  stub->GetExtents(lx, ly, hx, hy);
  EXPECT_EQ(lx, 1.0F);
  EXPECT_EQ(ly, 2.0F);
  EXPECT_EQ(hx, 0.0F);  // would lie at bytes 40..43
  EXPECT_EQ(hy, 0.0F);
  EXPECT_EQ(Named(stub).GetName(), "");
  EXPECT_EQ(Named(stub).SetName("X"), "");
  EXPECT_EQ(stub->NestedReferenceNames(), std::vector<std::string>{"Inner"});

  const Bytes definition = Definition("ABCDEFG", {Reference("Inner")}, {}, 60);
  auto def = Make(definition);
  ASSERT_EQ(def->Length(), definition.size());
  EXPECT_EQ(Named(def).GetName(), "ABCD");
  Named(def).SetName("LongerThanTheField");
  EXPECT_EQ(Named(def).GetName(), "Lon");
  EXPECT_TRUE(std::equal(def->Bytes().begin() + 60, def->Bytes().end(), definition.begin() + 60));

  auto ref = Make(Reference("Tree", 54));
  EXPECT_EQ(Named(ref).GetName(), "Tr");  // no room for the zero
  Named(ref).SetName("Oak");
  EXPECT_EQ(Named(ref).GetName(), "O");
  EXPECT_EQ(ref->Length(), 54u);
  EXPECT_EQ(Named(Make(Reference("Tree", 40))).GetName(), "");
}

TEST(Entity, ExtentsAreZeroExceptForDefinitions) {
  float values[4] = {9, 9, 9, 9};
  Make(Reference("A"))->GetExtents(values[0], values[1], values[2], values[3]);
  EXPECT_EQ(values[0] + values[1] + values[2] + values[3], 0.0F);
  Make(Definition("A", {}, {-1.5F, 2, 12.5F, 8}))
      ->GetExtents(values[0], values[1], values[2], values[3]);
  EXPECT_EQ(values[2] - values[0], 14.0F);
}

TEST(Entity, AssignCopiesBytesAndUseCount) {
  auto source = Make(Definition("Src", {Record(3)}));
  source->useCount = 4;
  SymbolDef target;
  target.Assign(*source);
  EXPECT_EQ(target.useCount, 4);
  EXPECT_TRUE(std::equal(target.Bytes().begin(), target.Bytes().end(), source->Bytes().begin(),
                         source->Bytes().end()));
  target.Assign(target);
  EXPECT_EQ(target.GetName(), "Src");
}

TEST(Entity, ListsAndRenamesNestedReferences) {
  auto def = Make(Definition("Outer", {Reference("Leaf"), Group(17, {Reference("Twig")}),
                                       Reference("leaf"), Reference("Leaf", 60)}));
  EXPECT_EQ(def->NestedReferenceNames(),
            (std::vector<std::string>{"Leaf", "Twig", "leaf", "Leaf"}));
  EXPECT_EQ(def->RenameNestedReferences("Leaf", "Bud"), 2);
  EXPECT_EQ(def->NestedReferenceNames(), (std::vector<std::string>{"Bud", "Twig", "leaf", "Bud"}));
  EXPECT_EQ(Named(def).GetName(), "Outer");  // the definition's own name is not a reference
  EXPECT_TRUE(Make(Reference("Leaf"))->NestedReferenceNames().empty());
}

TEST(EntityList, RefusesIndexesOutsideTheList) {
  EntityList list;
  list.Add(Make(Definition("A")));
  list.Add(Make(Definition("B")));
  EXPECT_THROW(list.GetAt(2), std::invalid_argument);
  EXPECT_THROW(list.GetAt(-1), std::invalid_argument);
  EXPECT_THROW(list.SetAt(2, nullptr), std::invalid_argument);
  EXPECT_THROW(list.RemoveAt(1, 2), std::invalid_argument);
  EXPECT_THROW(list.Swap(0, 5), std::invalid_argument);
  EXPECT_EQ(list.GetSize(), 2);
}

TEST(EntityList, FindByNameTakesTheLastExactMatch) {
  EntityList list;
  list.Add(Make(Definition("Tree")));
  list.Add(Make(Record(3)));
  list.Add(Make(Definition("Tree")));
  list.Add(Make(Definition("tree")));
  EXPECT_EQ(list.FindByName("Tree"), 2);
  EXPECT_EQ(list.FindByName("TREE"), -1);
  auto removed = list.RemoveAt(1, 2);
  EXPECT_EQ(removed.size(), 2u);
  EXPECT_EQ(list.FindByName("Tree"), 0);
  EXPECT_EQ(list.DeleteAll(), 2);
  EXPECT_EQ(list.GetSize(), 0);
}

}  // namespace
}  // namespace runebin
