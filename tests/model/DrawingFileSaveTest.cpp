#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <functional>

#include "model/DrawingFile.h"
#include "platform/SafeFileWriter.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin {
namespace {

using namespace runebin::testing;

class DrawingFileSave : public ::testing::Test {
 protected:
  TempDir dir;
  DrawingFile drawing{""};
  const Bytes original = Drawing({Reference("Tree"), Definition("Tree"), TypeZero(1)});
};

// Megabytes of records around one edited in place: what the file still holds is copied from it
// (or written from memory where the system cannot copy), the rest written, each at its place.
TEST_F(DrawingFileSave, UnchangedFileSavesByteForByte) {
  Bytes header = Header();
  std::fill(header.begin() + 49, header.end(), 0xA5);  // uninterpreted header bytes travel too
  const auto records = [&](std::string_view name) {
    std::vector<Bytes> all = {header, TypeZero(3), Definition(name, {Group(17, {Reference("B")})}),
                              Reference("A"), Record(9, Bytes(1536 * 1024, 7))};
    for (int i = 0; i < 600; ++i) {
      all.push_back(Record(9, Bytes(2000 + i, static_cast<std::uint8_t>(i))));
    }
    return Join(all);
  };
  const Bytes file = records("A");
  const auto path = dir.Write("same.pvx", file);
  ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
  ASSERT_EQ(drawing.Save(path).result, SaveResult::Saved);
  EXPECT_EQ(ReadFileBytes(path), file);
  ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
  drawing.SetSymbolName(0, "Z");
  ASSERT_EQ(drawing.Save(dir.Path("edited.pvx")).result, SaveResult::Saved);
  EXPECT_EQ(ReadFileBytes(dir.Path("edited.pvx")), records("Z"));

  const auto bare = dir.Write("bare.pvx", Header());
  ASSERT_EQ(drawing.Load(bare), LoadResult::Loaded);
  ASSERT_EQ(drawing.Save(bare).result, SaveResult::Saved);
  EXPECT_EQ(ReadFileBytes(bare), Header());
}

// A save begun while the file loads has the file copied into the new one meanwhile; whatever the
// edit, the result is what a save begun afterwards writes: the same layout (a rename), a shorter
// file (a removal) and records in another order.
TEST_F(DrawingFileSave, ASaveBegunWhileLoadingWritesWhatALaterSaveWrites) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows saves write every byte when it is written";
#else
  std::vector<Bytes> records = {Header(),        Definition("A", {Reference("B")}),
                                Reference("A"),  Record(9, Bytes(1536 * 1024, 7)),
                                Definition("B"), Reference("A")};
  records.push_back(Record(9, Bytes(1536 * 1024, 8)));
  const auto path = dir.Write("source.pvx", Join(records));
  const std::function<void(DrawingFile&)> edits[] = {
      [](DrawingFile& d) { d.SetSymbolName(0, "Z"); },
      [](DrawingFile& d) { d.RemoveSymbol(0); },
      [](DrawingFile& d) { d.SwapSymbols(0, 1); },
  };
  for (const auto& edit : edits) {
    platform::SafeFileWriter ahead;
    ASSERT_EQ(
        drawing.Load(path, nullptr, DrawingFile::PassedPages::Keep, DrawingFile::Scope::Everything,
                     [&](const platform::MemoryMap& view, platform::LockedFile*) {
                       ASSERT_TRUE(ahead.Begin(dir.Path("ahead.pvx")).Saved());
                       ahead.CopyAhead(view);
                     }),
        LoadResult::Loaded);
    edit(drawing);
    ASSERT_EQ(drawing.SaveWith(ahead, dir.Path("ahead.pvx")).result, SaveResult::Saved);
    ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
    edit(drawing);
    ASSERT_EQ(drawing.Save(dir.Path("later.pvx")).result, SaveResult::Saved);
    EXPECT_EQ(ReadFileBytes(dir.Path("ahead.pvx")), ReadFileBytes(dir.Path("later.pvx")));
  }
#endif
}

// A drawing file that another program cuts short while it is open (ignoring the lock) cannot be
// copied whole any more: the save fails, and nothing replaces the target.
TEST_F(DrawingFileSave, AFileCutShortUnderTheDocumentFailsToSave) {
#ifdef _WIN32
  GTEST_SKIP() << "a loaded file is read into memory on Windows, and is not read again";
#else
  const Bytes file = Drawing({Definition("A"), Record(9, Bytes(3 << 20, 1))});
  const auto path = dir.Write("cut.pvx", file);
  const auto target = dir.Write("target.pvx", original);
  ASSERT_EQ(drawing.Load(path), LoadResult::Loaded);
  std::filesystem::resize_file(Utf8Path(path), 1 << 20);
  EXPECT_EQ(drawing.Save(target).result, SaveResult::WriteFailed);
  EXPECT_EQ(ReadFileBytes(target), original);
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"cut.pvx", "target.pvx"}));
#endif
}

// The replacement keeps the permissions of the file it replaces and, through a symbolic link,
// replaces the file the link names. Nothing loaded, nothing is written. The window's fault tests
// go through the ways a save can fail.
TEST_F(DrawingFileSave, ReplacesTheFileALinkNamesKeepingItsPermissions) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no mode bits and making symbolic links takes a privilege; "
                  "Win32FileTest checks the attributes a replacement keeps";
#else
  const auto path = dir.Write("x.pvx", original);
  EXPECT_EQ(drawing.Save(path).result, SaveResult::NothingLoaded);
  ASSERT_EQ(drawing.Load(dir.Write("real.pvx", original)), LoadResult::Loaded);  // reordered
  drawing.SetModified(true);
  ASSERT_EQ(::chmod(dir.Path("real.pvx").c_str(), 0640), 0);
  ASSERT_EQ(::symlink(dir.Path("real.pvx").c_str(), dir.Path("link.pvx").c_str()), 0);
  ASSERT_EQ(drawing.Save(dir.Path("link.pvx")).result, SaveResult::Saved);
  EXPECT_FALSE(drawing.IsModified());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.pvx")));
  EXPECT_NE(ReadFileBytes(dir.Path("real.pvx")), original);
  EXPECT_EQ(ReadFileBytes(path), original);
  struct stat info {};
  ASSERT_EQ(::stat(dir.Path("real.pvx").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"link.pvx", "real.pvx", "x.pvx"}));
#endif
}

// A file with a second name is written in place, so both names show the same bytes: the new ones
// (here shorter than the old) once committed, the old ones again when a save that had already
// overwritten part of the file is given up. No safety copy is left either way.
TEST_F(DrawingFileSave, AFileWithTwoNamesIsWrittenInPlaceOrPutBack) {
  const Bytes old(3 << 20, 'o'), replacement(2 << 20, 'n');
  for (const bool commit : {true, false}) {
    SCOPED_TRACE(commit ? "committed" : "given up");
    const std::string path = dir.Write("a.pvx", old), other = dir.Path("b.pvx");
    std::filesystem::create_hard_link(Utf8Path(path), Utf8Path(other));
    platform::SafeFileWriter writer;
    ASSERT_TRUE(writer.Begin(other).Saved());
    EXPECT_TRUE(writer.WritesInPlace());
    ASSERT_TRUE(writer.Write(replacement.data(), replacement.size()));  // past the buffer, on disk
    if (commit) {
      EXPECT_TRUE(writer.Commit().Saved());
    } else {
      writer.Abandon();
    }
    EXPECT_EQ(ReadFileBytes(path), commit ? replacement : old);
    EXPECT_EQ(ReadFileBytes(other), ReadFileBytes(path));
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a.pvx", "b.pvx"}));
    std::filesystem::remove(Utf8Path(other));
  }
}

// A writer that may only make a new file leaves alone one that exists, also one that another
// program makes while the new contents are written; a folder is refused as one.
TEST_F(DrawingFileSave, ANewFileNeverReplacesAnother) {
  platform::WriteOptions createOnly;
  createOnly.createOnly = true;
  platform::SafeFileWriter writer;
  const auto there = dir.Write("there.pvx", original);
  EXPECT_EQ(writer.Begin(there, createOnly).error, EEXIST);
  EXPECT_EQ(writer.Begin(dir.Path()).error, EISDIR);

  const auto racing = dir.Path("racing.pvx");
  ASSERT_TRUE(writer.Begin(racing, createOnly).Saved());
  ASSERT_TRUE(writer.Write(Header().data(), Header().size()));
  dir.Write("racing.pvx", original);
  EXPECT_EQ(writer.Commit().error, EEXIST);
  EXPECT_EQ(ReadFileBytes(racing), original);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

}  // namespace
}  // namespace runebin
