#include "model/UseCounter.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "model/Entity.h"

namespace runebin {
namespace {

// A hint that `address` is read soon.
inline void Prefetch(const void* address) {
#if defined(__GNUC__)
  __builtin_prefetch(address);
#else
  static_cast<void>(address);
#endif
}

// A body this big gets room for this many names, and twice as many slots (2 MiB) to begin with.
constexpr std::size_t kBigBody = std::size_t{64} << 20;
constexpr std::size_t kRoomForNames = std::size_t{1} << 17;

}  // namespace

UseCounter::UseCounter(std::size_t bodySize) {
  if (bodySize >= kBigBody) {
    tallies_.reserve(kRoomForNames);
    slots_.assign(2 * kRoomForNames, kEmpty);
  }
}

void UseCounter::Definition(Entity& definition, std::string_view name, std::uint32_t hash) {
  Find(name, hash).lastDefinition = &definition;
}

void UseCounter::Reference(std::string_view name, std::uint32_t hash) {
  Pending& entry = pending_[references_ % kPending];
  if (references_ >= kPending) {
    Count(entry);  // the oldest, which came in kPending steps ago
  }
  entry.length = static_cast<std::uint8_t>(std::min(name.size(), kNameFieldSize));
  std::copy_n(name.begin(), entry.length, entry.name);
  entry.hash = hash;
  if (!slots_.empty()) {
    Prefetch(&slots_[entry.hash & (slots_.size() - 1)]);
  }
  ++references_;
  // The one half way through: its slot is at hand by now, so its tally is fetched.
  if (references_ > kPending / 2 && !slots_.empty()) {
    const Pending& middle = pending_[(references_ - 1 - kPending / 2) % kPending];
    const std::uint64_t slot = slots_[middle.hash & (slots_.size() - 1)];
    if (slot != kEmpty) {
      Prefetch(&tallies_[static_cast<std::uint32_t>(slot) - 1]);
    }
  }
}

void UseCounter::Apply() {
  for (std::size_t i = references_ - std::min(references_, kPending); i < references_; ++i) {
    Count(pending_[i % kPending]);
  }
  references_ = 0;
  for (const Tally& tally : tallies_) {
    if (tally.lastDefinition != nullptr) {
      tally.lastDefinition->useCount = tally.references;
    }
  }
}

UseCounter::Tally& UseCounter::Find(std::string_view name, std::uint32_t hash) {
  if (2 * (tallies_.size() + 1) > slots_.size()) {
    Grow();
  }
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const std::uint64_t slot = slots_[i];
    if (slot == kEmpty) {
      Tally& added = tallies_.emplace_back();
      added.length = static_cast<std::uint8_t>(std::min(name.size(), kNameFieldSize));
      std::copy_n(name.begin(), added.length, added.name);
      slots_[i] = std::uint64_t{hash} << 32 | tallies_.size();
      return added;
    }
    if (slot >> 32 == hash) {
      Tally& tally = tallies_[static_cast<std::uint32_t>(slot) - 1];
      if (tally.Name() == name) {
        return tally;
      }
    }
  }
}

void UseCounter::Grow() {
  auto old = std::exchange(slots_, {});
  slots_.assign(old.empty() ? 1024 : 2 * old.size(), kEmpty);
  const std::size_t mask = slots_.size() - 1;
  for (const std::uint64_t slot : old) {
    if (slot != kEmpty) {
      std::size_t i = (slot >> 32) & mask;
      while (slots_[i] != kEmpty) {
        i = (i + 1) & mask;
      }
      slots_[i] = slot;
    }
  }
}

}  // namespace runebin
