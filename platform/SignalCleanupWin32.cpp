#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "platform/FileNames.h"
#include "platform/SignalCleanup.h"

// Windows has no SIGTERM or SIGHUP: a console program is ended by Ctrl+C, Ctrl+Break, closing its
// console, logoff or shutdown, each delivered to a console control handler on a thread of its own.
// The handler removes the watched files, waits out a SignalHold, and lets the default handling
// end the program.

namespace runebin::platform {
namespace {

constexpr int kSlots = 4;

std::mutex g_mutex;
std::wstring g_slots[kSlots];
bool g_used[kSlots] = {};
int g_users = 0;
std::atomic<int> g_holds{0};

BOOL WINAPI OnControl(DWORD) {
  while (g_holds.load() > 0) {
    ::Sleep(10);
  }
  const std::lock_guard<std::mutex> guard(g_mutex);
  for (int i = 0; i < kSlots; ++i) {
    if (g_used[i]) {
      ::DeleteFileW(g_slots[i].c_str());
    }
  }
  return FALSE;  // the next handler, in the end the system's, ends the program
}

}  // namespace

SignalCleanup::SignalCleanup() {
  const std::lock_guard<std::mutex> guard(g_mutex);
  if (g_users++ == 0) {
    ::SetConsoleCtrlHandler(OnControl, TRUE);
  }
}

SignalCleanup::~SignalCleanup() {
  Forget();
  const std::lock_guard<std::mutex> guard(g_mutex);
  if (--g_users == 0) {
    ::SetConsoleCtrlHandler(OnControl, FALSE);
  }
}

void SignalCleanup::Watch(const char* path) {
  Forget();
  if (path == nullptr || *path == '\0') {
    return;
  }
  const std::lock_guard<std::mutex> guard(g_mutex);
  for (int i = 0; i < kSlots; ++i) {
    if (!g_used[i]) {
      g_slots[i] = Widen(path);
      g_used[i] = true;
      slot_ = i;
      return;
    }
  }
}

void SignalCleanup::Forget() {
  if (slot_ < 0) {
    return;
  }
  const std::lock_guard<std::mutex> guard(g_mutex);
  g_used[slot_] = false;
  slot_ = -1;
}

SignalHold::SignalHold() : previous_{} {
  ++g_holds;
}

SignalHold::~SignalHold() {
  --g_holds;
}

}  // namespace runebin::platform
