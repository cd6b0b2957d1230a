#include "platform/BackgroundSync.h"

#include <system_error>
#include <utility>

namespace runebin::platform {

BackgroundSync::BackgroundSync(std::function<void()> flush, std::size_t step)
    : flush_(std::move(flush)), step_(step) {}

BackgroundSync::~BackgroundSync() {
  Stop();
}

void BackgroundSync::Written(std::size_t bytes) {
  std::unique_lock lock(mutex_);
  if (stopped_) {
    return;
  }
  unflushed_ += bytes;
  if (unflushed_ < step_) {
    return;
  }
  unflushed_ = 0;
  wanted_ = true;
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      stopped_ = true;  // the final flush does it all
      return;
    }
  }
  lock.unlock();
  wake_.notify_one();
}

void BackgroundSync::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return wanted_ || stopped_; });
    if (stopped_) {
      return;
    }
    wanted_ = false;
    lock.unlock();
    flush_();
    lock.lock();
  }
}

void BackgroundSync::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) {
    thread_.join();
  }
}

}  // namespace runebin::platform
