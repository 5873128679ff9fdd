// The builder's choices as a form: each item of a persona described as a list of
// fields in the reading's own words, and a value given to one field turned into new
// choices through the builder core. Standard C++: the page's bindings draw nothing
// but these fields, and the tests drive them natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Builder.h"

namespace zendric {

struct FormOption {
  std::string Value;
  std::string Text;
  std::string Heading;  // the options under one heading stand together; empty: none
};

struct FormField {
  enum class Kind : std::uint8_t { Select, Number, Text, Check, Button, Note };
  Kind Shape = Kind::Select;
  std::string Group;  // the part of the item it belongs to ("Form 2"); fields of one group stand together
  std::string Label;
  std::vector<FormOption> Options;  // Select only
  std::string Value;  // Select: an option's value; Number, Text, Note: the text; Check: "1" or "0"
};

std::string_view KindName(FormField::Kind kind);

// The fields of one item, in the order they are shown.
std::vector<FormField> DescribeItem(const PersonaItem& item);

// Gives field `field` of the item at `at` (as DescribeItem numbers them) the value
// `value`; a button takes any value. False, with the persona unchanged, when there is
// no such field or the value is not one it takes (a number with a letter in it, an
// option it does not offer).
bool SetField(Persona& p, std::size_t at, std::size_t field, std::string_view value);

}  // namespace zendric
