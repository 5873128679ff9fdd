// Between the page's code field and the code the interpreter reads, the way the reader
// window has it: the code is the field with its hard line breaks taken out, positions
// in the code count code points, offsets in the field count UTF-16 units (as
// JavaScript strings and the field's caret do). Standard library only.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zendric {

// A break between two lines of the field that the code leaves out.
bool IsFieldLineBreak(char16_t unit);

// The field's text as the UTF-8 code it stands for: line breaks removed, a lone
// surrogate read as U+FFFD (one position, as the field counts it one unit).
std::string CodeOfField(std::u16string_view field);

// The field's whole text as UTF-8, line breaks kept (a lone surrogate as U+FFFD).
std::string FieldAsUtf8(std::u16string_view field);

// For each 1-based code position, the field offset just after that code point: 0 for
// positions below 1, the end of the field for positions past the end of the code.
// Positions may come in any order.
std::vector<std::int32_t> FieldOffsetsForCodePositions(std::u16string_view field,
                                                       std::span<const std::int32_t> positions);

// How many code positions stand before field offset `offset`: line breaks count none,
// a surrogate pair one.
std::int32_t CodePositionsBefore(std::u16string_view field, std::int32_t offset);

// The field range [first, second) of code positions `from` to `to` (both included):
// from the start of the character at `from` to the end of the one at `to`, line
// breaks before it skipped.
std::pair<std::int32_t, std::int32_t> FieldRangeOfPositions(std::u16string_view field, std::int32_t from,
                                                            std::int32_t to);

// The field range [first, second) of the character before `offset`, line breaks
// skipped; {0, 0} when there is none.
std::pair<std::int32_t, std::int32_t> CharacterBefore(std::u16string_view field, std::int32_t offset);

}  // namespace zendric
