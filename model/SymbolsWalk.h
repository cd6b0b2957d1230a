#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/BodyWindow.h"

namespace runebin {

// The walk of a load that keeps only what a drawing says about its symbols (see
// DrawingFile::Scope::SymbolsOnly): it frames the top-level records as TopLevelExtentAt does and
// stops at the references and the groups (definitions and group records), passing over the rest.
//
// It reads each record in the span that one BodyWindow::At hands out, which runs to the end of
// the window's buffer, and asks the window again only where a record's head would cross that end:
// millions of records cost one call each otherwise.
//
// A group comes out as its digest, a copy of the bytes that matter for symbols while the walk has
// them at hand: the leading record, the group's markers, and the references and leading records
// nested in it; every other record of the group is left out. The digest frames as the group does
// (ScanGroupLength takes all of it) and holds the same nested references in the same order.
class SymbolsWalk {
 public:
  explicit SymbolsWalk(const BodyWindow& window) : window_(window) {}
  SymbolsWalk(const SymbolsWalk&) = delete;
  SymbolsWalk& operator=(const SymbolsWalk&) = delete;

  enum class Found {
    Reference,  // a top-level reference: Name()
    Group,      // a group leader with its group: Digest()
    Tail,       // the rest of the body from Start() on cannot be framed (or the window Failed)
    End,        // the body ends
  };
  // Goes on to the next reference or group, or the end. Every step frames at least one record,
  // and after Tail or End it always answers End.
  Found Next();

  // Where in the body what Next found starts.
  std::size_t Start() const { return start_; }
  // The reference's name, good until the next call of Next.
  std::string_view Name() const { return name_; }
  // The group's digest, good until the next call of Next.
  std::span<const std::uint8_t> Digest() const { return digest_; }

 private:
  // The bytes from offset_ on: at least `want` of them, or all that are left (none once the
  // window failed).
  std::span<const std::uint8_t> Here(std::size_t want);
  // Frames the group that starts at offset_ into digest_ and passes it; false when it is not
  // closed within the body or a record on the way is malformed.
  bool DigestGroup();
  // Appends the `length` bytes from offset_ on to digest_ and passes them.
  bool Copy(std::size_t length);

  const BodyWindow& window_;
  std::span<const std::uint8_t> span_;  // what the window last handed out,
  std::size_t spanStart_ = 0;           // from here in the body
  std::size_t offset_ = 0;              // the next record
  std::size_t start_ = 0;
  std::string_view name_;
  std::vector<std::uint8_t> digest_;
};

}  // namespace runebin
