// Fuzz target over ParseCode. Beyond "no crash" it checks what every reading must
// hold, so that a reader that loses track of its state fails here too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ParseState.h"

namespace {

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

bool IsValidUtf8(std::string_view text) { return zendric::ToValidUtf8(text) == text; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view code(reinterpret_cast<const char*>(data), size);
  zendric::ParseState s;
  zendric::ParseCode(s, code);

  Require(s.ErrorMessages.size() == s.ErrorPositions.size(), "one position per message");
  Require(s.OpenFormBlocks == 0, "form blocks closed");
  Require(s.ReadDepth == 0, "nested reads left");
  const auto length = static_cast<std::int64_t>(s.CodeText.size());
  for (std::int32_t p : s.ErrorPositions) Require(p >= 1 && p <= length + 2, "position within the code");
  const bool codeHasLineFeed = code.find('\n') != std::string_view::npos;
  for (const std::string& line : s.ResultLines) {
    Require(IsValidUtf8(line), "result line is UTF-8");
    Require(codeHasLineFeed || line.find('\n') == std::string::npos, "line feed only from the code");
  }
  for (const std::string& message : s.ErrorMessages) Require(IsValidUtf8(message), "message is UTF-8");

  // The same text read again, on the same state, reads the same.
  const auto lines = s.ResultLines;
  const auto messages = s.ErrorMessages;
  const auto positions = s.ErrorPositions;
  zendric::ParseCode(s, code);
  Require(s.ResultLines == lines && s.ErrorMessages == messages && s.ErrorPositions == positions,
          "a second reading gives the same result");
  return 0;
}
