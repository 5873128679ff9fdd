#include "Placeholder.h"
#include "Readers.h"

namespace zendric {

void ReadSpeciesItem(ParseState& s, TerminatorSet, bool, bool, std::string_view) { SkipUnreadItem(s); }

}  // namespace zendric
