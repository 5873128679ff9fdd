// A reading's lines, messages and positions as plain lists, to compare whole.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ZNParser.h"

namespace zendric {

inline std::vector<std::string> Lines(const ParseResult& r) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < r.LineCount(); ++i) out.emplace_back(r.Line(i));
  return out;
}
inline std::vector<std::string> Messages(const ParseResult& r) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < r.MessageCount(); ++i) out.emplace_back(r.Message(i));
  return out;
}
inline std::vector<std::int32_t> Positions(const ParseResult& r) {
  std::vector<std::int32_t> out;
  for (std::size_t i = 0; i < r.MessageCount(); ++i) out.push_back(r.MessagePosition(i));
  return out;
}

}  // namespace zendric
