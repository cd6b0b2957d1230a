// Faults while the window writes a changed file back: each one must leave the file on disk as it
// was, leave no temporary file, keep the document marked changed until the user has been told,
// and be reported with "Can't write to file "..."." - seen through the in-memory toolkit.

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/MainDialog.h"
#include "resources/ControlIds.h"
#include "tests/hardening/ChildProcess.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/FakeToolkit.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnwritableFolder.h"

namespace runebin::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Passes everything on to the in-memory toolkit, and when a message box appears, first notes
// what the program has in hand at that moment.
class WitnessToolkit final : public Toolkit {
 public:
  WitnessToolkit(FakeToolkit& fake, std::function<void()> onMessage)
      : fake_(fake), onMessage_(std::move(onMessage)) {}

  Answer ShowMessage(const std::string& text, MessageKind kind) override {
    onMessage_();
    return fake_.ShowMessage(text, kind);
  }

  void EnableControl(int id, bool enabled) override { fake_.EnableControl(id, enabled); }
  bool IsControlEnabled(int id) const override { return fake_.IsControlEnabled(id); }
  void ShowControl(int id, bool shown) override { fake_.ShowControl(id, shown); }
  bool IsControlShown(int id) const override { return fake_.IsControlShown(id); }
  void SetControlText(int id, const std::string& text) override { fake_.SetControlText(id, text); }
  std::string GetControlText(int id) const override { return fake_.GetControlText(id); }
  void ListReset(int id) override { fake_.ListReset(id); }
  void ListSetLines(int id, const std::vector<std::string>& lines) override {
    fake_.ListSetLines(id, lines);
  }
  int ListCount(int id) const override { return fake_.ListCount(id); }
  int ListGetSelection(int id) const override { return fake_.ListGetSelection(id); }
  void ListSetSelection(int id, int index) override { fake_.ListSetSelection(id, index); }
  std::optional<OpenFileChoice> ChooseFileToOpen(const OpenFileRequest& request) override {
    return fake_.ChooseFileToOpen(request);
  }
  bool RunRenameDialog(RenameDialogData& data) override { return fake_.RunRenameDialog(data); }
  bool RunWmfImportDialog(WmfImportDialogData& data) override {
    return fake_.RunWmfImportDialog(data);
  }
  void RunAboutBox() override { fake_.RunAboutBox(); }
  void RunMainWindow(WindowEvents& events) override { fake_.RunMainWindow(events); }
  void EndMainWindow() override { fake_.EndMainWindow(); }

 private:
  FakeToolkit& fake_;
  std::function<void()> onMessage_;
};

// Names out of order, so that Sort changes the file, and a large definition, so that a write
// fails in the middle rather than at its first byte.
Bytes Original() {
  return Drawing({Reference("Tree"), Definition("Tree", {Record(3, Bytes(150000, 7))}), TypeZero(3),
                  Definition("Bush")});
}

class SaveThroughWindow : public ::testing::Test {
 protected:
  // Opens `path` in File 1 and sorts it, which changes it in memory only.
  void OpenAndChange(const std::string& path) {
    ui.ChooseFile(path);
    ui.Press(dialog, ids::kOpenClose1);
    ASSERT_TRUE(dialog.Pane1().drawing.IsLoaded());
    ui.Press(dialog, ids::kSort1);
    ASSERT_TRUE(dialog.Pane1().drawing.IsModified());
  }

  void Close() { ui.Press(dialog, ids::kOpenClose1); }

  // What every refused write-back must show.
  void ExpectReported(const std::string& path) {
    EXPECT_EQ(ui.MessageTexts(), Names{"Can't write to file \"" + path + "\"."});
    EXPECT_TRUE(modifiedWhenReported) << "the document lost its changed mark before the report";
    EXPECT_FALSE(dialog.Pane1().drawing.IsLoaded());
    EXPECT_EQ(ui.GetControlText(ids::kOpenClose1), "Open...");
  }

  void Witness() {
    modifiedWhenReported = dialog.Pane1().drawing.IsModified();
    entriesWhenReported.clear();
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(watchedFolder, ignored)) {
      entriesWhenReported.push_back(entry.path().filename().string());
    }
    std::sort(entriesWhenReported.begin(), entriesWhenReported.end());
  }

  TempDir dir;
  FakeToolkit ui;
  WitnessToolkit witness{ui, [this] { Witness(); }};
  MainDialog dialog{witness, ""};
  std::string watchedFolder = dir.Path();
  bool modifiedWhenReported = false;
  Names entriesWhenReported;
};

TEST_F(SaveThroughWindow, FileSizeLimitReachedMidWrite) {
  const auto path = dir.Write("a.pvx", Original());
  OpenAndChange(path);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 64 * 1024;  // well inside the 150 KB the file needs
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  Close();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ExpectReported(path);
  EXPECT_EQ(ReadFileBytes(path), Original());
  EXPECT_EQ(entriesWhenReported, Names{"a.pvx"});
  EXPECT_EQ(dir.List(), Names{"a.pvx"});
}

// A real full disk: a small in-memory file system, mounted in a mount namespace of a child
// process so that nothing outside the test sees it. Skips where the system does not allow that.
TEST_F(SaveThroughWindow, DiskFullMidWrite) {
  const std::string small = dir.Path("small");
  fs::create_directory(small);
  const int code = RunInChild([&] {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0) {
      return kChildSkipped;
    }
    // The original fits; a second copy beside it does not.
    const auto path = dir.Write("small/a.pvx", Original());
    watchedFolder = small;
    OpenAndChange(path);
    Close();
    ExpectReported(path);
    EXPECT_EQ(ReadFileBytes(path), Original());
    EXPECT_EQ(entriesWhenReported, Names{"a.pvx"});
    EXPECT_EQ(fs::directory_iterator(small)->path().filename(), "a.pvx");
    EXPECT_EQ(std::distance(fs::directory_iterator(small), fs::directory_iterator()), 1);
    return kChildPassed;
  });
  if (code == kChildSkipped) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  EXPECT_EQ(code, kChildPassed);
}

TEST_F(SaveThroughWindow, UnwritableFolder) {
  fs::create_directory(dir.Path("locked"));
  const auto path = dir.Write("locked/a.pvx", Original());
  OpenAndChange(path);
  watchedFolder = dir.Path("locked");
  {
    UnwritableFolder guard(dir.Path("locked"));
    if (!guard.Works()) {
      GTEST_SKIP() << "cannot make a folder unwritable here";
    }
    Close();
  }
  ExpectReported(path);
  EXPECT_EQ(ReadFileBytes(path), Original());
  EXPECT_EQ(entriesWhenReported, Names{"a.pvx"});
}

TEST_F(SaveThroughWindow, TargetReadOnlyOnDisk) {
  const auto path = dir.Write("a.pvx", Original());
  OpenAndChange(path);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  Close();
  ExpectReported(path);
  EXPECT_EQ(ReadFileBytes(path), Original());
  EXPECT_EQ(entriesWhenReported, Names{"a.pvx"});
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0444U);
}

TEST_F(SaveThroughWindow, TargetReplacedByAFolder) {
  const auto path = dir.Write("a.pvx", Original());
  OpenAndChange(path);
  fs::remove(path);
  fs::create_directory(path);
  dir.Write("a.pvx/inside", Bytes{1, 2, 3});
  Close();
  ExpectReported(path);
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_EQ(ReadFileBytes(path + "/inside"), (Bytes{1, 2, 3}));
  EXPECT_EQ(entriesWhenReported, Names{"a.pvx"});
}

TEST_F(SaveThroughWindow, FileLockedByAnotherProcess) {
  const auto path = dir.Write("a.pvx", Original());
  OpenAndChange(path);
  {
    LockHolder other(path.c_str());
    ASSERT_TRUE(other.Holding());
    Close();
  }
  ExpectReported(path);
  EXPECT_EQ(ReadFileBytes(path), Original());
  EXPECT_EQ(entriesWhenReported, Names{"a.pvx"});

  // Once the other program has let go, the same steps write the file.
  OpenAndChange(path);
  Close();
  EXPECT_EQ(ui.MessageTexts().size(), 1U);
  EXPECT_NE(ReadFileBytes(path), Original());
  EXPECT_EQ(dir.List(), Names{"a.pvx"});
}

TEST_F(SaveThroughWindow, FolderVanished) {
  fs::create_directory(dir.Path("gone"));
  const auto path = dir.Write("gone/a.pvx", Original());
  OpenAndChange(path);
  fs::remove_all(dir.Path("gone"));
  Close();
  ExpectReported(path);
  EXPECT_FALSE(fs::exists(dir.Path("gone")));
  EXPECT_TRUE(entriesWhenReported.empty());
  EXPECT_TRUE(dir.List().empty());
}

}  // namespace
}  // namespace runebin::testing
