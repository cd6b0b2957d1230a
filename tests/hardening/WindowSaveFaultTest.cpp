// Faults while the window writes a changed file back: each one must leave the file on disk as it
// was, leave no temporary file, keep the document marked changed until the user has been told,
// and be put to the user with the system's reason before the changes go - seen through the
// in-memory toolkit.
//
// Some faults are injected into the system calls of the safe writer: this test is linked with
// --wrap for write, fchmod and mkostemp.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <utility>

#include "app/MainDialog.h"
#include "resources/ControlIds.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/FakeToolkit.h"
#include "tests/support/TempDir.h"

namespace {

// The injected faults; all off unless a test arms them.
std::size_t g_writeBudget = SIZE_MAX;  // bytes writes may write before they fail with ENOSPC
int g_writeInterrupts = 0;             // writes to interrupt: by turns with EINTR and short
bool g_fchmodFails = false;
bool g_mkostempFails = false;

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
  if (size > g_writeBudget) {
    errno = ENOSPC;
    return -1;
  }
  g_writeBudget -= g_writeBudget == SIZE_MAX ? 0 : size;
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

namespace runebin::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Names out of order, so that Sort changes the file, and a large definition, so that a write
// fails in the middle rather than at its first byte.
Bytes Original() {
  return Drawing({Reference("Tree"), Definition("Tree", {Record(3, Bytes(150000, 7))}), TypeZero(3),
                  Definition("Bush")});
}

// One run of the window over a.pvx in a fresh folder; what the program had in hand when it showed
// its message is noted.
struct Session {
  Session() {
    dir.Write("a.pvx", Original());
    ui.onMessage = [this] {
      modifiedWhenReported = dialog.Pane1().Drawing().IsModified();
      entriesWhenReported = fs::exists(folder) ? dir.List() : Names{};
    };
  }
  ~Session() {
    if (otherLock >= 0) {
      ::close(otherLock);
    }
  }
  // Opens the file in File 1, sorts it (which changes it in memory only) and closes it.
  void ChangeAndClose(const std::function<void()>& beforeClose = [] {}) {
    ui.ChooseFile(path);
    ui.Press(dialog, ids::kOpenClose1);
    ASSERT_TRUE(dialog.Pane1().Drawing().IsLoaded());
    ui.Press(dialog, ids::kSort1);
    ASSERT_TRUE(dialog.Pane1().Drawing().IsModified());
    beforeClose();
    ui.Press(dialog, ids::kOpenClose1);
  }

  TempDir dir;
  std::string folder = dir.Path();
  std::string path = dir.Path("a.pvx");
  FakeToolkit ui;
  MainDialog dialog{ui, ""};
  bool modifiedWhenReported = false;
  Names entriesWhenReported = {"none reported"};
  int otherLock = -1;
};

struct Fault {
  const char* what;
  const char* reason;                    // the system's words for it
  std::function<void(Session&)> arm;     // after the file is opened and changed
  std::function<void(Session&)> disarm;  // null when the fault cannot be undone
};

rlimit g_savedLimit{};

const Fault kFaults[] = {
    {"file size limit reached mid-write", "File too large",
     [](Session&) {
       ::getrlimit(RLIMIT_FSIZE, &g_savedLimit);
       rlimit limited = g_savedLimit;
       limited.rlim_cur = 64 * 1024;  // well inside the 150 KB the file needs
       ::setrlimit(RLIMIT_FSIZE, &limited);
     },
     [](Session&) { ::setrlimit(RLIMIT_FSIZE, &g_savedLimit); }},
    {"disk full mid-write", "No space left on device", [](Session&) { g_writeBudget = 64 * 1024; },
     [](Session&) { g_writeBudget = SIZE_MAX; }},
    {"no file can be made in the folder", "Permission denied",
     [](Session&) { g_mkostempFails = true; }, [](Session&) { g_mkostempFails = false; }},
    {"permissions of the new file cannot be set", "Operation not permitted",
     [](Session&) { g_fchmodFails = true; }, [](Session&) { g_fchmodFails = false; }},
    {"target read-only on disk", "Permission denied",
     [](Session& r) { ::chmod(r.path.c_str(), 0444); },
     [](Session& r) { ::chmod(r.path.c_str(), 0644); }},
    {"target locked by another program", "Resource temporarily unavailable",
     [](Session& r) {
       // A lock on another open file of the same file conflicts even within one process.
       r.otherLock = ::open(r.path.c_str(), O_RDONLY);
       ASSERT_EQ(::flock(r.otherLock, LOCK_EX | LOCK_NB), 0);
     },
     [](Session& r) { ::close(std::exchange(r.otherLock, -1)); }},
    {"target replaced by a folder", "Permission denied",
     [](Session& r) {
       fs::remove(r.path);
       fs::create_directory(r.path);
     },
     nullptr},
    {"folder vanished", "No such file or directory", [](Session& r) { fs::remove_all(r.folder); },
     nullptr},
};

// The user first keeps the changes (No); once the fault is gone, closing again writes them, so a
// failed save left no lock behind. A fault that stays is answered Yes: the pane closes.
TEST(SaveThroughWindow, EachFaultKeepsTheFileAndAsks) {
  for (const Fault& fault : kFaults) {
    SCOPED_TRACE(fault.what);
    Session run;
    run.ChangeAndClose([&] {
      fault.arm(run);
      run.ui.AnswerNo();
    });
    EXPECT_EQ(run.ui.MessageTexts(),
              Names{"Can't write to file \"" + run.path + "\".\n" + fault.reason +
                    "\nClose it anyway and lose the changes?"});
    EXPECT_TRUE(run.modifiedWhenReported) << "the document lost its changed mark before the report";
    EXPECT_TRUE(run.dialog.Pane1().Drawing().IsModified()) << "No kept the pane with its changes";
    EXPECT_EQ(run.ui.GetControlText(ids::kOpenClose1), "Close");
    EXPECT_EQ(run.entriesWhenReported, fs::exists(run.folder) ? Names{"a.pvx"} : Names{});
    if (!fault.disarm) {
      run.ui.AnswerYes();
      run.ui.Press(run.dialog, ids::kOpenClose1);
      EXPECT_FALSE(run.dialog.Pane1().Drawing().IsLoaded());
      continue;
    }
    fault.disarm(run);
    EXPECT_EQ(ReadFileBytes(run.path), Original());
    run.ui.Press(run.dialog, ids::kOpenClose1);
    EXPECT_EQ(run.ui.MessageTexts().size(), 1U);
    EXPECT_FALSE(run.dialog.Pane1().Drawing().IsLoaded());
    EXPECT_NE(ReadFileBytes(run.path), Original());
    EXPECT_EQ(run.dir.List(), Names{"a.pvx"});
  }
}

// Writes that the system interrupts after writing part are carried on.
TEST(SaveThroughWindow, InterruptedWritesStillWriteTheWholeFile) {
  Session run;
  run.ChangeAndClose([] { g_writeInterrupts = 3; });
  EXPECT_EQ(g_writeInterrupts, 0);
  g_writeInterrupts = 0;
  EXPECT_TRUE(run.ui.messages.empty());
  EXPECT_EQ(ReadFileBytes(run.path),
            Drawing({TypeZero(3), Definition("Bush"),
                     Definition("Tree", {Record(3, Bytes(150000, 7))}), Reference("Tree")}));
}

}  // namespace
}  // namespace runebin::testing
