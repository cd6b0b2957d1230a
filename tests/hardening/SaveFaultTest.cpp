// Faults while a changed document is written back: each must leave the file on disk as it was,
// leave no temporary file, keep the document changed and give the system's reason, and a later
// write-back once the fault is gone must succeed (a failed one left no lock behind). How the
// window puts such a failure to its user is tested with the window.
//
// Some faults are injected into the system calls of the safe writer: this test is linked with
// --wrap for write, fchmod and mkostemp. A wrapped fstat also makes a metafile outgrow the size
// its reader was told.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

#include "metafile/ImportMetafile.h"
#include "symbols/Document.h"
#include "symbols/SymbolCommands.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/MetafileBuilder.h"
#include "tests/support/TempDir.h"

namespace {

// The injected faults; all off unless a test arms them.
int g_writeInterrupts = 0;  // writes to interrupt: by turns with EINTR and short
bool g_fchmodFails = false;
bool g_mkostempFails = false;
bool g_fstatHalvesSizes = false;

}  // namespace

extern "C" ssize_t __real_write(int fd, const void* data, size_t size);
extern "C" ssize_t __wrap_write(int fd, const void* data, size_t size) {
  if (g_writeInterrupts > 0 && size > 1) {
    if (g_writeInterrupts-- % 2 == 1) {
      errno = EINTR;  // interrupted before writing anything
      return -1;
    }
    return __real_write(fd, data, size / 2);  // interrupted after writing part
  }
  return __real_write(fd, data, size);
}

extern "C" int __real_fchmod(int fd, mode_t mode);
extern "C" int __wrap_fchmod(int fd, mode_t mode) {
  if (g_fchmodFails) {
    errno = EPERM;
    return -1;
  }
  return __real_fchmod(fd, mode);
}

extern "C" int __real_mkostemp(char* pattern, int flags);
extern "C" int __wrap_mkostemp(char* pattern, int flags) {
  if (g_mkostempFails) {
    errno = EACCES;
    return -1;
  }
  return __real_mkostemp(pattern, flags);
}

extern "C" int __real_fstat(int fd, struct stat* info);
extern "C" int __wrap_fstat(int fd, struct stat* info) {
  const int result = __real_fstat(fd, info);
  if (result == 0 && g_fstatHalvesSizes) {
    info->st_size /= 2;
  }
  return result;
}

namespace runebin::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Names out of order, so that Sort changes the file, and a large definition, so that a write
// fails in the middle rather than at its first byte.
const Bytes kTree = Definition("Tree", {Record(3, Bytes(150000, 7))});
const Bytes kOriginal = Drawing({Reference("Tree"), kTree, TypeZero(3), Definition("Bush")});
const Bytes kSorted = Drawing({TypeZero(3), Definition("Bush"), kTree, Reference("Tree")});

// a.pvx in a fresh folder, opened as the window opens files and sorted in memory.
struct Session {
  Session() {
    EXPECT_EQ(document.Open(dir.Write("a.pvx", kOriginal), false, Document::Lock::WhileLoading),
              LoadResult::Loaded);
    EXPECT_TRUE(SortSymbols(document.Drawing()));
  }
  TempDir dir;
  std::string folder = dir.Path(), path = dir.Path("a.pvx");
  Document document{""};
  std::optional<FileHeldElsewhere> otherProgram;
};

struct Fault {
  const char* what;
  int error;                             // the system's reason
  std::function<void(Session&)> arm;     // after the file is opened and changed
  std::function<void(Session&)> disarm;  // null when the fault cannot be undone
};

rlimit g_savedLimit{};

const Fault kFaults[] = {
    {"file size limit reached mid-write", EFBIG,
     [](Session&) {
       ::getrlimit(RLIMIT_FSIZE, &g_savedLimit);
       rlimit limited = g_savedLimit;
       limited.rlim_cur = 64 * 1024;  // well inside the 150 KB the file needs
       ::setrlimit(RLIMIT_FSIZE, &limited);
     },
     [](Session&) { ::setrlimit(RLIMIT_FSIZE, &g_savedLimit); }},
    {"no file can be made in the folder", EACCES, [](Session&) { g_mkostempFails = true; },
     [](Session&) { g_mkostempFails = false; }},
    {"permissions of the new file cannot be set", EPERM, [](Session&) { g_fchmodFails = true; },
     [](Session&) { g_fchmodFails = false; }},
    {"target locked by another program", EAGAIN,
     // A lock on another open file of the same file conflicts even within one process.
     [](Session& r) { ASSERT_TRUE(r.otherProgram.emplace(r.path).Holds()); },
     [](Session& r) { r.otherProgram.reset(); }},
    {"target replaced by a folder", EISDIR,
     [](Session& r) {
       fs::remove(r.path);
       fs::create_directory(r.path);
     },
     nullptr},
    {"folder vanished", ENOENT, [](Session& r) { fs::remove_all(r.folder); }, nullptr},
};

TEST(SaveFault, EachKeepsTheFileAndTheChangesAndALaterSaveSucceeds) {
  for (const Fault& fault : kFaults) {
    SCOPED_TRACE(fault.what);
    Session run;
    fault.arm(run);
    const SaveStatus status = run.document.WriteBack();
    EXPECT_FALSE(status.Saved());
    EXPECT_EQ(status.error, fault.error) << std::strerror(status.error);
    EXPECT_TRUE(run.document.Drawing().IsModified());
    EXPECT_EQ(fs::exists(run.folder) ? run.dir.List() : Names{"a.pvx"}, Names{"a.pvx"});
    if (!fault.disarm) {
      continue;
    }
    EXPECT_EQ(ReadFileBytes(run.path), kOriginal);
    fault.disarm(run);
    EXPECT_TRUE(run.document.WriteBack().Saved());
    EXPECT_FALSE(run.document.Drawing().IsModified());
    EXPECT_EQ(ReadFileBytes(run.path), kSorted);
    EXPECT_EQ(run.dir.List(), Names{"a.pvx"});
  }
}

// An import written into the new file ahead of its save that meets the file size limit partway
// is written with the rest instead; when it is deleted before the save, nothing it left in the new
// file stays past the end of what the save wrote.
TEST(SaveFault, AnImportPlacedInPartLeavesNothingBehind) {
  TempDir dir;
  const Bytes original = Drawing({Definition("Bush")});
  std::vector<Pt> outline;
  for (std::int16_t i = 0; i < 2000; ++i) {
    outline.push_back({i, static_cast<std::int16_t>(i % 9)});
  }
  const auto metafile = dir.Write("big.wmf", Wmf().Polygon(outline).End().Data());
  Document document("");
  document.WriteAheadTo(dir.Path("out.pvx"), Document::EarlyWrite::PlaceImports);
  ASSERT_EQ(document.Open(dir.Write("a.pvx", original), false, Document::Lock::UntilWritten),
            LoadResult::Loaded);
  ::getrlimit(RLIMIT_FSIZE, &g_savedLimit);
  rlimit limited = g_savedLimit;
  limited.rlim_cur = 8 * 1024;  // inside the symbol
  ::setrlimit(RLIMIT_FSIZE, &limited);
  const ImportResult imported = document.ImportSymbol(metafile, "Big", 100, false);
  ::setrlimit(RLIMIT_FSIZE, &g_savedLimit);
  ASSERT_EQ(imported, ImportResult::Succeeded);
  EXPECT_FALSE(document.Drawing().SymbolDefs().GetAt(1).PlacedAhead());
  document.Drawing().RemoveSymbol(1);
  ASSERT_TRUE(document.WriteBack(dir.Path("out.pvx")).Saved());
  EXPECT_EQ(ReadFileBytes(dir.Path("out.pvx")), original);
}

// A symbol imported straight into the new file is read back from there: when the save it was
// placed for fails (and its new file is thrown away), the next save still writes it whole.
TEST(SaveFault, ASymbolPlacedAheadOutlivesTheSaveThatFailed) {
  TempDir dir;
  const auto source = dir.Write("a.pvx", Drawing({Definition("Bush"), Record(9, Bytes(60000, 3))}));
  std::vector<Pt> outline;
  for (std::int16_t i = 0; i < 2000; ++i) {
    outline.push_back({i, static_cast<std::int16_t>(i % 9)});
  }
  const auto metafile = dir.Write("big.wmf", Wmf().Polygon(outline).End().Data());
  Document plain("");
  ASSERT_EQ(plain.Open(source, false, Document::Lock::UntilWritten), LoadResult::Loaded);
  ASSERT_EQ(plain.ImportSymbol(metafile, "Big", 100, false), ImportResult::Succeeded);
  ASSERT_TRUE(plain.WriteBack(dir.Path("plain.pvx")).Saved());
  plain.Close();

  Document document("");
  document.WriteAheadTo(dir.Path("out.pvx"), Document::EarlyWrite::PlaceImports);
  ASSERT_EQ(document.Open(source, false, Document::Lock::UntilWritten), LoadResult::Loaded);
  ASSERT_EQ(document.ImportSymbol(metafile, "Big", 100, false), ImportResult::Succeeded);
  ASSERT_TRUE(document.Drawing().SymbolDefs().GetAt(1).PlacedAhead());
  ::getrlimit(RLIMIT_FSIZE, &g_savedLimit);
  rlimit limited = g_savedLimit;
  limited.rlim_cur = 40 * 1024;  // past the symbol, inside the record after it
  ::setrlimit(RLIMIT_FSIZE, &limited);
  const SaveStatus failed = document.WriteBack(dir.Path("out.pvx"));
  ::setrlimit(RLIMIT_FSIZE, &g_savedLimit);
  EXPECT_EQ(failed.error, EFBIG);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("out.pvx")));
  ASSERT_TRUE(document.WriteBack(dir.Path("again.pvx")).Saved());
  EXPECT_EQ(ReadFileBytes(dir.Path("again.pvx")), ReadFileBytes(dir.Path("plain.pvx")));
}

// Once written, the file the symbol went into is the one its definition reads from. Written
// again in place (it has a second name by then), with a larger symbol now in front of it, it must
// not be overwritten under the definition's feet.
TEST(SaveFault, ASymbolPlacedAheadSurvivesItsFileWrittenAgainInPlace) {
  TempDir dir;
  const auto source = dir.Write("a.pvx", Drawing({Definition("Bush")}));
  std::vector<Pt> outline;
  for (std::int16_t i = 0; i < 2000; ++i) {
    outline.push_back({i, static_cast<std::int16_t>(i % 9)});
  }
  const auto big = dir.Write("big.wmf", Wmf().Polygon(outline).End().Data());
  // Larger than the writer's buffer: written straight through, over what lies behind it.
  Wmf larger;
  for (int i = 0; i < 100; ++i) {
    larger.Polygon(outline);
  }
  const auto leaf = dir.Write("leaf.wmf", larger.End().Data());
  const auto change = [&](Document& d) {
    return d.ImportSymbol(big, "Big", 100, false) == ImportResult::Succeeded &&
           d.WriteBack(dir.Path("out.pvx")).Saved() &&
           d.ImportSymbol(leaf, "Bush", 100, false, 0) == ImportResult::Succeeded;
  };
  Document plain("");
  ASSERT_EQ(plain.Open(source, false, Document::Lock::UntilWritten), LoadResult::Loaded);
  ASSERT_TRUE(change(plain));
  ASSERT_TRUE(plain.WriteBack(dir.Path("plain.pvx")).Saved());
  plain.Close();

  Document document("");
  document.WriteAheadTo(dir.Path("out.pvx"), Document::EarlyWrite::PlaceImports);
  ASSERT_EQ(document.Open(source, false, Document::Lock::UntilWritten), LoadResult::Loaded);
  ASSERT_TRUE(change(document));
  std::filesystem::create_hard_link(dir.Path("out.pvx"), dir.Path("alias.pvx"));
  ASSERT_TRUE(document.WriteBack(dir.Path("out.pvx")).Saved());
  EXPECT_EQ(ReadFileBytes(dir.Path("out.pvx")), ReadFileBytes(dir.Path("plain.pvx")));
}

// Writes that the system interrupts, before or after writing part, are carried on.
TEST(SaveFault, InterruptedWritesStillWriteTheWholeFile) {
  Session run;
  g_writeInterrupts = 3;
  EXPECT_TRUE(run.document.WriteBack().Saved());
  EXPECT_EQ(g_writeInterrupts, 0);
  g_writeInterrupts = 0;
  EXPECT_EQ(ReadFileBytes(run.path), kSorted);
}

// A file that grew after its size was asked (here: one whose size is told short) is read whole.
TEST(ReadFault, AMetafileLongerThanItsToldSizeIsReadWhole) {
  TempDir dir;
  const Bytes data = Wmf().Polygon({{1, 2}, {30, 40}, {5, 60}}).End().Data();
  ASSERT_EQ(data.size() % 2, 0U);  // read in two rounds, the second ending at the end
  std::unique_ptr<SymbolDef> fromFile, fromBytes;
  g_fstatHalvesSizes = true;
  const ImportResult result = ImportMetafile(dir.Write("a.wmf", data), "t", 10, fromFile);
  g_fstatHalvesSizes = false;
  ASSERT_EQ(result, ImportResult::Succeeded);
  ASSERT_EQ(ImportMetafileBytes(data, "t", 10, fromBytes), ImportResult::Succeeded);
  EXPECT_TRUE(std::ranges::equal(fromFile->Bytes(), fromBytes->Bytes()));
}

}  // namespace
}  // namespace runebin::testing
