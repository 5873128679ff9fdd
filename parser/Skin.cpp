#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadSkinItem(ParseState& s) { SkipUnreadItem(s); }

}  // namespace zendric
