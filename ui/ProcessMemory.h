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
//
// Kept for good, that memory would stay with the program after the long code is gone
// (a megabyte of errors: 300 MB held by an empty window). So the window gives freed
// memory back once the code it reads has become much smaller than the largest it read
// since it last did: when the field is cleared, or a long paste replaced by a code.
// It also does so when typing in a long code pauses: the keys of a burst reuse the
// memory the last reading freed, and the window at rest holds little beyond what it
// shows (a megabyte's paste leaves some 35 MB of freed pages behind: the clipboard's
// copies, the field's insertion, the readings made on the way).
#pragma once

#include <algorithm>
#include <cstddef>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zendric {

inline void KeepFreedMemory() {
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_MMAP_MAX, 0);
  // One heap for every thread. The toolkit's event thread takes in a pasted megabyte
  // (the clipboard's transfer) in a heap of its own; freed there, it stays past the
  // threshold above, and malloc_trim gives back only the main heap's end (2 MB kept
  // for good after a megabyte's paste).
  mallopt(M_ARENA_MAX, 1);
#endif
}

// Every freed page the heap holds, back to the kernel.
inline void GiveBackFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

// When to give freed memory back, from the sizes of the codes read one after another.
class TFreedMemory {
 public:
  // Codes below this size never hold enough to be worth giving back.
  static constexpr std::size_t LargeCode = 256 * 1024;
  // Given back once a code is under this share of the largest read since.
  static constexpr std::size_t Shrink = 4;
  // And this long after the last reading of a code of LargeCode or more: long enough
  // that typing goes on at full speed, since the first key after memory went back
  // takes its pages again (some 40 ms for a megabyte of errors).
  static constexpr int IdleMilliseconds = 3000;

  // Tells of a reading of `codeBytes`; true when the memory freed since should go back
  // now (the caller does so, after the last reading's memory is freed).
  bool AfterReading(std::size_t codeBytes) {
    if (largest >= LargeCode && codeBytes * Shrink < largest) {
      largest = codeBytes;
      return true;
    }
    largest = std::max(largest, codeBytes);
    return false;
  }

 private:
  std::size_t largest = 0;  // the largest code read since memory was last given back
};

}  // namespace zendric
