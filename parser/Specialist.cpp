#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadTechnology(ParseState& s) { SkipUnreadItem(s); }
void ReadMagic(ParseState& s) { SkipUnreadItem(s); }
void ReadPsionics(ParseState& s) { SkipUnreadItem(s); }

}  // namespace zendric
