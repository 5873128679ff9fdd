#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadBreathItem(ParseState& s) { SkipUnreadItem(s); }

}  // namespace zendric
