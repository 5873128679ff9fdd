#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadDietItem(ParseState& s) { SkipUnreadItem(s); }

}  // namespace zendric
