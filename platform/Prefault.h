#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

namespace runebin::platform {

// Has the system back a fresh block with memory on a thread of its own, front to back, while the
// block's owner fills it from the front. On virtual machines the first touch of a page is dear
// (the host may have to find and clear memory for it, about a millisecond per megabyte); this
// moves that cost to the other processor. Only the page tables change: no byte of the block is
// written, so the owner may write anywhere at any time. It is a hint: where the system cannot do
// it (Windows, older kernels), nothing happens.
//
// The block must stay mapped until Stop has returned: stop it before freeing, shrinking or
// handing over the block. The destructor stops it too.
class Prefault {
 public:
  Prefault() = default;
  ~Prefault() { Stop(); }
  Prefault(const Prefault&) = delete;
  Prefault& operator=(const Prefault&) = delete;

  // Starts on `size` bytes from `bytes` (after stopping any earlier block). Blocks below
  // kMinPrefault are left alone: a thread costs more than their pages.
  void Start(std::uint8_t* bytes, std::size_t size);
  // Returns once the thread has ended; at most one step (2 MiB) later than asked.
  void Stop();

  static constexpr std::size_t kMinPrefault = std::size_t{8} << 20;

 private:
  void Run(std::uint8_t* bytes, std::size_t size);

  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace runebin::platform
