#include "model/NamedEntity.h"

#include <algorithm>
#include <cstring>

#include "model/ByteOrder.h"

namespace runebin {

std::string_view NameFieldView(std::span<const std::uint8_t> record, std::size_t offset) {
  if (offset >= record.size()) {
    return {};
  }
  const auto field = record.subspan(offset, std::min(kNameFieldSize, record.size() - offset));
  const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
  return {reinterpret_cast<const char*>(field.data()),
          static_cast<std::size_t>(end - field.begin())};
}

std::string ReadNameField(std::span<const std::uint8_t> record, std::size_t offset) {
  return std::string(NameFieldView(record, offset));
}

void WriteNameField(std::span<std::uint8_t> record, std::size_t offset, std::string_view name) {
  if (offset >= record.size()) {
    return;
  }
  const auto field = record.subspan(offset, std::min(kNameFieldSize, record.size() - offset));
  const std::size_t count = std::min({name.size(), kMaxNameLength, field.size() - 1});
  std::memcpy(field.data(), name.data(), count);
  field[count] = 0;
}

std::string NamedEntity::GetName() const {
  return std::string(NameView());
}

std::string_view NamedEntity::NameView() const {
  return NameFieldView(RecordBytes(), NameOffset());
}

std::string NamedEntity::SetName(std::string_view newName) {
  std::string previous = GetName();
  WriteNameField(RecordBytes(), NameOffset(), newName);
  MarkEdited();
  nameTag_ = 0;  // the field may hold less than `newName` (a short record, a long name)
  return previous;
}

int SymbolDef::Parse(std::span<const std::uint8_t> available) {
  return ParseGroup(available, kTypeSymbolDef);
}

int SymbolDef::GetExtents(float& lowX, float& lowY, float& highX, float& highY) const {
  const auto record = RecordBytes();
  lowX = ReadF32(record, kDefLowXOffset).value_or(0.0F);
  lowY = ReadF32(record, kDefLowYOffset).value_or(0.0F);
  highX = ReadF32(record, kDefHighXOffset).value_or(0.0F);
  highY = ReadF32(record, kDefHighYOffset).value_or(0.0F);
  return 0;
}

std::span<std::uint8_t> SymbolDef::GroupBody() {
  return BytesAfterRecord();
}

}  // namespace runebin
