#include "Scale.h"

#include <algorithm>
#include <string>

namespace zendric {

void ReadScale(ParseState& s, std::span<const ScaleEntry> scale, TerminatorSet terminators,
               std::string_view Heading, std::string_view Noun) {
  // The double quote always ends a modifier; "}" does inside a form block (the scan adds it).
  const TerminatorSet stops = terminators.With(" \"");
  std::int32_t end = ScanToTerminator(s, stops, true, s.Cursor);
  if (end == 0) end = std::max(CodeLength(s) + 1, s.Cursor);
  std::u32string_view modifier;
  if (end > s.Cursor) {
    modifier = std::u32string_view(s.CodeText).substr(static_cast<std::size_t>(s.Cursor - 1),
                                                      static_cast<std::size_t>(end - s.Cursor));
  }

  if (terminators.Contains(U'"') && CharAt(s, end) == U'"') {
    s.Cursor = end;  // the opening quote: a missing-quote message points at it
    const Enclosure quoted = ScanEnclosed(s, U'"', BraceEnds::Quietly, {"Error: Missing \" in ", Noun, " tag"});
    std::string text(Heading);
    text += EnclosedText(s, quoted);
    AppendText(s, text);
    return;
  }

  if (const ScaleEntry* entry = FindRow(scale, &ScaleEntry::Key, modifier)) {
    AppendText(s, Heading);
    AppendText(s, entry->Text);
    s.Cursor = end;
    return;
  }
  AddError(s, "Error: invalid code in " + std::string(Noun) + " tag");
  s.Cursor = end;
}

}  // namespace zendric
