#include "platform/SignalCleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace runebin::platform {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalCount = 3;
constexpr int kSlots = 4;
constexpr std::size_t kPathCapacity = 4096;

// What the handler reads: only lock-free atomics and fixed buffers, as a handler may run at any
// moment of the program.
struct Slot {
  std::atomic<bool> used{false};
  char path[kPathCapacity];
};
Slot g_slots[kSlots];
struct sigaction g_previous[kSignalCount];
bool g_ours[kSignalCount];
int g_users = 0;  // nested SignalCleanup objects; touched outside handlers only

sigset_t CleanupSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kSignals) {
    sigaddset(&set, signal);
  }
  return set;
}

// Only async-signal-safe calls: unlink, sigaction, raise. The signal stays blocked while this
// runs, so the raise takes effect, with the previous disposition, when the handler returns.
void OnSignal(int signal) {
  for (Slot& slot : g_slots) {
    if (slot.used.load()) {
      ::unlink(slot.path);
    }
  }
  for (int i = 0; i < kSignalCount; ++i) {
    if (kSignals[i] == signal && g_ours[i]) {
      ::sigaction(signal, &g_previous[i], nullptr);
      g_ours[i] = false;
    }
  }
  ::raise(signal);
}

}  // namespace

SignalCleanup::SignalCleanup() {
  if (g_users++ > 0) {
    return;
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_mask = CleanupSignals();  // one cleanup at a time
  for (int i = 0; i < kSignalCount; ++i) {
    g_ours[i] = false;
    if (::sigaction(kSignals[i], nullptr, &g_previous[i]) != 0 ||
        g_previous[i].sa_handler == SIG_IGN) {
      continue;  // an ignored signal ends nothing, so there is nothing to clean up after
    }
    g_ours[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
  }
}

SignalCleanup::~SignalCleanup() {
  Forget();
  if (--g_users > 0) {
    return;
  }
  for (int i = 0; i < kSignalCount; ++i) {
    if (g_ours[i]) {
      ::sigaction(kSignals[i], &g_previous[i], nullptr);
      g_ours[i] = false;
    }
  }
}

void SignalCleanup::Watch(const char* path) {
  Forget();
  const std::size_t length = std::strlen(path);
  if (length == 0 || length >= kPathCapacity) {
    return;
  }
  for (int i = 0; i < kSlots; ++i) {
    if (!g_slots[i].used.load()) {
      std::memcpy(g_slots[i].path, path, length + 1);
      g_slots[i].used.store(true);
      slot_ = i;
      return;
    }
  }
}

void SignalCleanup::Forget() {
  if (slot_ >= 0) {
    g_slots[slot_].used.store(false);
    slot_ = -1;
  }
}

SignalHold::SignalHold() {
  static_assert(sizeof(sigset_t) <= sizeof(previous_));
  const sigset_t hold = CleanupSignals();
  ::pthread_sigmask(SIG_BLOCK, &hold, reinterpret_cast<sigset_t*>(previous_));
}

SignalHold::~SignalHold() {
  ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<const sigset_t*>(previous_), nullptr);
}

}  // namespace runebin::platform
