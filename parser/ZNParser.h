// Public face of the code interpreter: one call reads a whole Zendric 2 code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zendric {

// What one reading gives back. ErrorPositions runs parallel to ErrorMessages and
// holds 1-based code-point positions into the code that was read.
struct ParseResult {
  std::vector<std::string> ResultLines;  // UTF-8; '\r' starts a new display line
  std::vector<std::string> ErrorMessages;
  std::vector<std::int32_t> ErrorPositions;
};

// Reads `code` (UTF-8; ill-formed bytes read as U+FFFD). Never throws.
ParseResult ParseCode(std::string_view code);

// `bytes` as well-formed UTF-8: each ill-formed part replaced as ParseCode reads it.
std::string ToValidUtf8(std::string_view bytes);

}  // namespace zendric
