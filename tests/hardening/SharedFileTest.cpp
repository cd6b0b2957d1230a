// Writing back a file that other users and other programs share: the refusal of a file the user
// may not write, owner, group, mode and links kept (with real user ids, so only as root), an
// in-place write that fails put back, and a save ended by a signal.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <tuple>
#include <vector>

#include "platform/SafeFileWriter.h"
#include "symbols/Document.h"
#include "symbols/SymbolCommands.h"
#include "tests/hardening/ChildProcess.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/TempDir.h"

namespace runebin::testing {
namespace {

constexpr uid_t kOwner = 1000, kMember = 1001, kNobody = 65534;
constexpr gid_t kTeam = 2000;

const Bytes kUnsorted = Drawing({Definition("B"), Definition("A")});
const Bytes kSorted = Drawing({Definition("A"), Definition("B")});

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info;
}

// Sorts `path` through a Document as the given user and returns 10 + the save's result (or
// kChildSkipped when the system would not let the child become that user).
int SortAs(uid_t uid, gid_t gid, std::vector<gid_t> groups, const std::string& path,
           const std::function<void(Document&)>& change = {}, bool writeAhead = false) {
  return RunInChild([&] {
    if (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(gid) != 0 ||
        ::setuid(uid) != 0) {
      return kChildSkipped;
    }
    Document document("");
    if (writeAhead) {
      document.WriteAheadTo(path);
    }
    if (document.Open(path, false, Document::Lock::UntilWritten) != LoadResult::Loaded) {
      return kChildFailed;
    }
    change ? change(document) : void(SortSymbols(document.Drawing()));
    return 10 + static_cast<int>(document.WriteBack().result);
  });
}

class SharedFile : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "acting as other users needs root";
    }
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);  // anyone may replace files here
  }
  TempDir dir;
};

TEST_F(SharedFile, WriteBackNeverGivesTheFileAway) {
  struct Row {
    const char* what;
    uid_t owner;
    gid_t group;
    mode_t mode;
    uid_t user;
    std::vector<gid_t> groups;
    SaveResult expected;
    bool sameInode;  // written in place
  };
  using R = SaveResult;
  const Row rows[] = {
      {"root's file, another user", 0, 0, 0644, kNobody, {}, R::NotWritable, true},
      {"a team member's file", kOwner, kTeam, 0664, kMember, {kTeam}, R::Saved, true},
      {"the owner's own file", kOwner, kTeam, 0640, kOwner, {kTeam}, R::Saved, false},
      {"set-group-id kept by root", kOwner, kTeam, 02664, 0, {}, R::Saved, false},
  };
  // Also with the write begun while the file loads, as a rename begins it.
  for (const bool ahead : {false, true}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.what) + (ahead ? ", begun ahead" : ""));
      const std::string path = dir.Write("f.pvx", kUnsorted);
      ASSERT_EQ(::chown(path.c_str(), row.owner, row.group), 0);
      ASSERT_EQ(::chmod(path.c_str(), row.mode), 0);
      const struct stat before = StatOf(path);
      const int result =
          SortAs(row.user, row.user == 0 ? 0 : row.user, row.groups, path, {}, ahead);
      ASSERT_NE(result, kChildSkipped);
      EXPECT_EQ(result, 10 + static_cast<int>(row.expected));
      const struct stat after = StatOf(path);
      EXPECT_EQ(std::tie(after.st_uid, after.st_gid, after.st_mode, after.st_nlink),
                std::tie(before.st_uid, before.st_gid, before.st_mode, before.st_nlink));
      EXPECT_EQ(after.st_ino == before.st_ino, row.sameInode);
      EXPECT_EQ(ReadFileBytes(path), row.expected == SaveResult::Saved ? kSorted : kUnsorted);
      EXPECT_EQ(dir.List(), (std::vector<std::string>{"f.pvx"}));  // no copy or temporary left
    }
  }
}

// A write in place that runs into the file-size limit halfway: the original comes back whole.
TEST_F(SharedFile, AFailedInPlaceWritePutsTheOriginalBack) {
  const std::string path = dir.Write("f.pvx", kUnsorted), link = dir.Path("link.pvx");
  ASSERT_EQ(::link(path.c_str(), link.c_str()), 0);
  const LoadedDrawing big(Drawing({Definition("Big", {Record(3, Bytes(100000, 0))})}));
  const int result = SortAs(0, 0, {}, path, [&](Document& document) {
    AppendSymbolCopy(big.SymbolDefs().GetAt(0), document.Drawing());
    const rlimit limit{kUnsorted.size() + 1000, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(result, 10 + static_cast<int>(SaveResult::WriteFailed));
  EXPECT_EQ(ReadFileBytes(path), kUnsorted);
  EXPECT_EQ(StatOf(path).st_nlink, 2U);
  EXPECT_EQ(dir.List(), (std::vector<std::string>{"f.pvx", "link.pvx"}));
}

// Each signal that ends a program, arriving halfway through writing a large file: the program
// still ends by it, the temporary file is gone and the original is as it was.
TEST(SaveInterrupted, BySignalLeavesNoTemporaryFile) {
  TempDir dir;
  const Bytes original(3 << 20, 'o'), replacement(4 << 20, 'n');
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const std::string path = dir.Write("big.pvx", original);
    const int result = RunInChild([&] {
      platform::SafeFileWriter writer;
      if (!writer.Begin(path).Saved() || !writer.Write(replacement.data(), 3 << 20)) {
        return kChildFailed;
      }
      ::raise(signal);
      return kChildPassed;  // not reached
    });
    EXPECT_EQ(result, 128 + signal);
    EXPECT_EQ(ReadFileBytes(path), original);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"big.pvx"}));
  }
}

}  // namespace
}  // namespace runebin::testing
