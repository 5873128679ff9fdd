#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadAge(ParseState& s) { SkipUnreadItem(s); }
void ReadJoviality(ParseState& s) { SkipUnreadItem(s); }
void ReadMatingStatus(ParseState& s) { SkipUnreadItem(s); }
void ReadOffspring(ParseState& s) { SkipUnreadItem(s); }

}  // namespace zendric
