#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadGenderItem(ParseState& s) { SkipUnreadItem(s); }

}  // namespace zendric
