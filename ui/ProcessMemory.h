// How the process keeps the memory it frees. Reading a long code builds a reading of
// many small strings, and the window reads the whole code again on every keystroke.
// glibc's defaults hand freed memory back to the kernel at once (the top of the heap
// past 128 KB, and every block of 128 KB or more, which it maps on its own); on a
// virtual machine faulting those pages in again on the next reading costs several times
// the reading itself (a megabyte's reading took 100 ms instead of 16). The same goes
// for the edit field's layout of a long paragraph, whose buffers are redone on every
// change and are larger than any threshold glibc allows for its own mappings (a key
// pressed in a megabyte's code took 500 ms instead of 200). So no block gets a
// mapping of its own, and the heap keeps up to 256 MB of freed memory: the memory of
// one reading serves the next.
#pragma once

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zendric {

inline void KeepFreedMemory() {
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_MMAP_MAX, 0);
#endif
}

}  // namespace zendric
