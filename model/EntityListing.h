#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace runebin {

// What the entity listing shows of one top-level entity, in file order.
struct ListingRow {
  std::uint8_t type = 0;
  std::uint8_t subtype = 0;  // byte 5 of a type-0 record, else 0
};

// The diagnostic listing written at every load: a heading "%6s%10s%10s" of "#", "Type",
// "SubType", then "%6i%10d%10d" of index, type and subtype per entity, one line each. Files of
// millions of records give millions of lines, so it is formatted by hand in large chunks.
// Returns false if a write failed.
bool WriteEntityListing(std::FILE* out, std::span<const ListingRow> rows);

// The same text as one string (for small listings and tests).
std::string FormatEntityListing(std::span<const ListingRow> rows);

}  // namespace runebin
