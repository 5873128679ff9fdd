#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadAppendagesItem(ParseState& s) { SkipUnreadItem(s); }

}  // namespace zendric
