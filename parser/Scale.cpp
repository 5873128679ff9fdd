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
    s.Cursor = end;  // keep the opening quote's position: a missing-quote error points at it
    std::int32_t close = ScanToTerminator(s, TerminatorSet("\""), false, s.Cursor + 1);
    if (close == 0) {
      AddError(s, "Error: Missing \" in " + std::string(Noun) + " tag");
      close = CodeLength(s) + 1;
    }
    std::string text(Heading);
    text += CodeSlice(s, s.Cursor + 1, close);
    AppendText(s, text);
    s.Cursor = close + 1;
    return;
  }

  for (const ScaleEntry& entry : scale) {
    // Keys are ASCII, so comparing code point by code point is exact.
    if (entry.Key.size() == modifier.size() &&
        std::equal(entry.Key.begin(), entry.Key.end(), modifier.begin(),
                   [](char k, char32_t c) { return static_cast<unsigned char>(k) == c; })) {
      AppendText(s, Heading);
      AppendText(s, entry.Text);
      s.Cursor = end;
      return;
    }
  }
  AddError(s, "Error: invalid code in " + std::string(Noun) + " tag");
  s.Cursor = end;
}

}  // namespace zendric
