// Fuzz target over ParseCode. Beyond "no crash" it checks what every reading must
// hold, so that a reader that loses track of its state fails here too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "Builder.h"
#include "Finder.h"
#include "ParseState.h"

namespace {

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

bool IsValidUtf8(std::string_view text) { return zendric::ToValidUtf8(text) == text; }

// The same bytes as a text to find codes in: whole, and streamed in two pieces.
void CheckFinder(std::string_view text) {
  const std::vector<zendric::FoundCode> found = zendric::FindCodes(text);
  std::int32_t lastLine = 0;
  for (const zendric::FoundCode& f : found) {
    Require(f.Code.starts_with("ZN2."), "a found code starts with ZN2.");
    Require(IsValidUtf8(f.Code), "a found code is UTF-8");
    Require(f.Code.find_first_of("\r\n") == std::string::npos, "a found code holds no line end");
    Require(f.Code.back() != ' ' && f.Code.back() != '\t', "a found code has no trailing blank");
    Require(f.Line >= lastLine && f.Column >= 1, "codes in order, columns from 1");
    lastLine = f.Line;
  }
  std::vector<zendric::FoundCode> streamed;
  zendric::CodeFinder finder([&streamed](const zendric::FoundCode& f) { streamed.push_back(f); });
  finder.Feed(text.substr(0, text.size() / 2));
  finder.Feed(text.substr(text.size() / 2));
  finder.Finish();
  Require(streamed.size() == found.size(), "streaming finds as many codes");
  for (std::size_t i = 0; i < found.size(); ++i) {
    Require(streamed[i].Code == found[i].Code && streamed[i].Line == found[i].Line &&
                streamed[i].Column == found[i].Column,
            "streaming finds the same codes");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view code(reinterpret_cast<const char*>(data), size);
  zendric::ParseState s;
  zendric::ParseCode(s, code);

  const zendric::ParseResult& r = s.Result;
  Require(s.OpenFormBlocks == 0, "form blocks closed");
  Require(s.ReadDepth == 0, "nested reads left");
  const auto length = static_cast<std::int64_t>(s.CodeText.size());
  const bool codeHasLineFeed = code.find('\n') != std::string_view::npos;
  for (std::size_t i = 0; i < r.LineCount(); ++i) {
    const std::string_view line = r.Line(i);
    Require(IsValidUtf8(line), "result line is UTF-8");
    Require(codeHasLineFeed || line.find('\n') == std::string_view::npos, "line feed only from the code");
    const zendric::Span where = r.LineSpan(i);
    Require(1 <= where.From && where.From <= where.To && where.To <= length, "line span within the code");
    if (i > 0) {
      const zendric::Span before = r.LineSpan(i - 1);
      Require(where.From >= before.From && where.To >= before.To, "line spans do not decrease");
      Require(where.From > before.To, "spans of different lines do not overlap");
    }
  }
  for (std::size_t i = 0; i < r.MessageCount(); ++i) {
    const std::int32_t p = r.MessagePosition(i);
    Require(p >= 1 && p <= length + 2, "position within the code");
    Require(IsValidUtf8(r.Message(i)), "message is UTF-8");
    const zendric::Span item = r.MessageItem(i);
    Require(item.From == 0 ? item.To == 0 : 1 <= item.From && item.From <= item.To && item.To <= length,
            "message item within the code");
    // Only the message about a missing prefix stands outside every item.
    Require((item.From == 0) == (i == 0 && !code.starts_with("ZN2.")), "every other message has its item");
  }

  // The same text read again, on the same state, reads the same.
  const zendric::ParseResult first = r;
  zendric::ParseCode(s, code);
  Require(s.Result == first, "a second reading gives the same result");
  CheckFinder(code);

  // The builder opens any text and builds it back unchanged.
  Require(zendric::BuildCode(zendric::OpenCode(code)) == code, "open and build give the text back");
  return 0;
}
