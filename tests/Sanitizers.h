// ZENDRIC_ASAN is 1 in a build with AddressSanitizer, which keeps its own heap: memory
// limits and the C library's heap figures mean nothing there.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define ZENDRIC_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZENDRIC_ASAN 1
#endif
#endif
