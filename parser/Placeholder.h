// Stand-in for readers that are not written yet: skip to the next blank, write nothing.
#pragma once

#include "ParseState.h"

namespace zendric {
inline void SkipUnreadItem(ParseState& s) {
  const std::int32_t next = ScanToTerminator(s, TerminatorSet(" "), false, s.Cursor);
  s.Cursor = next == 0 ? CodeLength(s) + 1 : next;
}
}  // namespace zendric
