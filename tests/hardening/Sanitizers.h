#pragma once

namespace runebin::testing {

// Whether this build runs under AddressSanitizer. Its shadow memory and quarantine of freed
// blocks make a process's resident memory say little about what the program itself keeps, and
// everything runs several times slower, so the resource tests use smaller inputs there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif

}  // namespace runebin::testing
