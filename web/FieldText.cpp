#include "FieldText.h"

#include <algorithm>
#include <numeric>

namespace zendric {
namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

bool IsFieldLineBreak(char16_t unit) { return unit == u'\n' || unit == u'\r' || unit == 0x2028 || unit == 0x2029; }

namespace {

std::string Utf8OfField(std::u16string_view field, bool keepBreaks) {
  std::string code;
  code.reserve(field.size() + field.size() / 4);
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char16_t unit = field[i];
    if (!keepBreaks && IsFieldLineBreak(unit)) continue;
    if (IsHigh(unit) && i + 1 < field.size() && IsLow(field[i + 1])) {
      AppendUtf8(code, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(field[i + 1]) - 0xDC00));
      ++i;
    } else if (IsHigh(unit) || IsLow(unit)) {
      AppendUtf8(code, 0xFFFD);
    } else {
      AppendUtf8(code, unit);
    }
  }
  return code;
}

}  // namespace

std::string CodeOfField(std::u16string_view field) { return Utf8OfField(field, false); }

std::string FieldAsUtf8(std::u16string_view field) { return Utf8OfField(field, true); }

std::vector<std::int32_t> FieldOffsetsForCodePositions(std::u16string_view field,
                                                       std::span<const std::int32_t> positions) {
  std::vector<std::size_t> order(positions.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return positions[a] < positions[b]; });

  // One walk over the field, resumed from one position to the next.
  std::vector<std::int32_t> offsets(positions.size());
  std::size_t offset = 0;
  std::int32_t counted = 0;
  for (std::size_t i : order) {
    while (counted < positions[i] && offset < field.size()) {
      const char16_t unit = field[offset];
      if (IsFieldLineBreak(unit)) {
        ++offset;  // taken out by the join: no position of its own
        continue;
      }
      const bool pair = IsHigh(unit) && offset + 1 < field.size() && IsLow(field[offset + 1]);
      offset += pair ? 2 : 1;
      ++counted;
    }
    offsets[i] = static_cast<std::int32_t>(offset);
  }
  return offsets;
}

std::int32_t CodePositionsBefore(std::u16string_view field, std::int32_t offset) {
  const std::size_t end = static_cast<std::size_t>(std::clamp<std::int64_t>(offset, 0, static_cast<std::int64_t>(field.size())));
  std::int32_t counted = 0;
  for (std::size_t i = 0; i < end; ++i) {
    if (IsFieldLineBreak(field[i])) continue;
    if (IsHigh(field[i]) && i + 1 < end && IsLow(field[i + 1])) ++i;
    ++counted;
  }
  return counted;
}

std::pair<std::int32_t, std::int32_t> FieldRangeOfPositions(std::u16string_view field, std::int32_t from,
                                                            std::int32_t to) {
  const std::int32_t positions[] = {from - 1, to};
  const std::vector<std::int32_t> offsets = FieldOffsetsForCodePositions(field, positions);
  std::size_t start = static_cast<std::size_t>(offsets[0]);
  while (start < field.size() && IsFieldLineBreak(field[start])) ++start;
  return {static_cast<std::int32_t>(std::min<std::size_t>(start, static_cast<std::size_t>(offsets[1]))), offsets[1]};
}

std::pair<std::int32_t, std::int32_t> CharacterBefore(std::u16string_view field, std::int32_t offset) {
  std::size_t end = static_cast<std::size_t>(std::clamp<std::int64_t>(offset, 0, static_cast<std::int64_t>(field.size())));
  while (end > 0 && IsFieldLineBreak(field[end - 1])) --end;
  if (end == 0) return {0, 0};
  std::size_t start = end - 1;
  if (start > 0 && IsLow(field[start]) && IsHigh(field[start - 1])) --start;
  return {static_cast<std::int32_t>(start), static_cast<std::int32_t>(end)};
}

}  // namespace zendric
