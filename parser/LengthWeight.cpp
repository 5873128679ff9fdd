#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadLengthItem(ParseState& s) { SkipUnreadItem(s); }
void ReadWeightItem(ParseState& s) { SkipUnreadItem(s); }

}  // namespace zendric
