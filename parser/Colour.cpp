#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadColourItem(ParseState& s) { SkipUnreadItem(s); }

}  // namespace zendric
