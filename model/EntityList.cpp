#include "model/EntityList.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>

#include "model/NamedEntity.h"

namespace runebin {

void EntityList::CheckIndex(int index) const {
  if (index < 0 || index >= GetSize()) {
    throw std::invalid_argument("entity list index " + std::to_string(index) + " out of range");
  }
}

Entity& EntityList::GetAt(int index) const {
  CheckIndex(index);
  return *entries_[static_cast<std::size_t>(index)];
}

std::unique_ptr<Entity> EntityList::SetAt(int index, std::unique_ptr<Entity> entity) {
  CheckIndex(index);
  entries_[static_cast<std::size_t>(index)].swap(entity);
  return entity;
}

void EntityList::Swap(int first, int second) {
  CheckIndex(first);
  CheckIndex(second);
  entries_[static_cast<std::size_t>(first)].swap(entries_[static_cast<std::size_t>(second)]);
}

void EntityList::Reserve(std::size_t count) noexcept {
  try {
    entries_.reserve(std::min(count, static_cast<std::size_t>(INT_MAX)));
  } catch (const std::exception&) {
    // bad_alloc, or length_error past the largest vector: then without the room
  }
}

int EntityList::Add(std::unique_ptr<Entity> entity) {
  if (entries_.size() >= static_cast<std::size_t>(INT_MAX)) {
    throw std::length_error("entity list is full");
  }
  entries_.push_back(std::move(entity));
  return GetSize() - 1;
}

std::vector<std::unique_ptr<Entity>> EntityList::RemoveAt(int index, int count) {
  CheckIndex(index);
  if (count < 0 || count > GetSize() - index) {
    throw std::invalid_argument("entity list range out of range");
  }
  const auto first = entries_.begin() + index;
  std::vector<std::unique_ptr<Entity>> removed(std::make_move_iterator(first),
                                               std::make_move_iterator(first + count));
  entries_.erase(first, first + count);
  return removed;
}

int EntityList::DeleteAll() {
  const int count = GetSize();
  while (!entries_.empty()) {
    entries_.pop_back();
  }
  entries_.shrink_to_fit();  // and the room a load reserved
  return count;
}

int EntityList::WriteAll(OutputFile& file) const {
  int written = 0;
  for (const auto& entity : entries_) {
    if (entity->Write(file)) {
      ++written;
    }
  }
  return written;
}

int EntityList::FindByName(std::string_view name) const {
  for (int index = GetSize() - 1; index >= 0; --index) {
    const NamedEntity* named = entries_[static_cast<std::size_t>(index)]->AsNamed();
    if (named != nullptr && named->IsNamed(name)) {
      return index;
    }
  }
  return -1;
}

}  // namespace runebin
