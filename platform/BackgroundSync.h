#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>

namespace runebin::platform {

// Flushes a file to disk on a thread of its own, a piece at a time, while the file is still being
// written. A flush takes about as long as the data written since the last one (a virtual disk in
// particular flushes its host's cache then), however long ago the system began writing it out:
// one flush at the end of a big save would make the user wait for all of it.
class BackgroundSync {
 public:
  // `flush` runs on the thread, at most one at a time, and must be safe beside the writes.
  BackgroundSync(std::function<void()> flush, std::size_t step);
  ~BackgroundSync();
  BackgroundSync(const BackgroundSync&) = delete;
  BackgroundSync& operator=(const BackgroundSync&) = delete;

  // Counts `bytes` more written, from any thread; once `step` of them are unflushed, the thread
  // (started on the first such call) flushes. Without a thread to be had, nothing is flushed early.
  void Written(std::size_t bytes);
  // Lets a flush under way end and starts none after: the caller then flushes what is left.
  void Stop();

 private:
  void Run();

  std::function<void()> flush_;
  std::size_t step_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::size_t unflushed_ = 0;
  bool wanted_ = false;
  bool stopped_ = false;
  std::thread thread_;
};

}  // namespace runebin::platform
