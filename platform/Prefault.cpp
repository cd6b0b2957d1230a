#include "platform/Prefault.h"

#include <system_error>

#ifndef _WIN32
#include <sys/mman.h>
#endif

namespace runebin::platform {

void Prefault::Start(std::uint8_t* bytes, std::size_t size) {
  Stop();
#if defined(_WIN32) || !defined(MADV_POPULATE_WRITE)
  (void)bytes;
  (void)size;
#else
  if (bytes == nullptr || size < kMinPrefault) {
    return;
  }
  stop_.store(false, std::memory_order_relaxed);
  try {
    thread_ = std::thread(&Prefault::Run, this, bytes, size);
  } catch (const std::system_error&) {
    // No thread to be had: the owner touches the pages itself, as without us.
  }
#endif
}

void Prefault::Stop() {
  if (thread_.joinable()) {
    stop_.store(true, std::memory_order_relaxed);
    thread_.join();
  }
}

void Prefault::Run([[maybe_unused]] std::uint8_t* bytes, [[maybe_unused]] std::size_t size) {
#if !defined(_WIN32) && defined(MADV_POPULATE_WRITE)
  // One huge page a step, so that a stop is seen soon. The block's start is page aligned (the
  // system's blocks are), and the system rounds the last step's length up to whole pages.
  constexpr std::size_t kStep = std::size_t{2} << 20;
  for (std::size_t done = 0; done < size && !stop_.load(std::memory_order_relaxed);) {
    const std::size_t step = size - done < kStep ? size - done : kStep;
    if (::madvise(bytes + done, step, MADV_POPULATE_WRITE) != 0) {
      return;  // not supported here, or no memory: the owner's own touches will tell
    }
    done += step;
  }
#endif
}

}  // namespace runebin::platform
