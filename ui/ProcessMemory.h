// How the process keeps the memory it frees. Reading a long code builds a reading of
// many small strings, and the window reads the whole code again on every keystroke.
// glibc's defaults hand freed memory back to the kernel at once (the top of the heap
// past 128 KB, and every block of 128 KB or more, which it maps on its own); on a
// virtual machine faulting those pages in again on the next reading costs several times
// the reading itself (a megabyte's reading took 100 ms instead of 16). Kept in the
// process, the memory of one reading serves the next.
#pragma once

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zendric {

inline void KeepFreedMemory() {
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest glibc takes
#endif
}

}  // namespace zendric
