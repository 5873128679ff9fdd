// Text as a terminal is given it: no character reaches it that the terminal would act
// on rather than show. C0 controls and DEL are written as their Unicode control
// pictures (U+2400 to U+241F, U+2421); a C1 control as its 7-bit equivalent, the
// picture of ESC and a character from '@' to '_', since terminals act on both alike.
// The controls of bidirectional text (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066
// to U+2069), which would turn what follows them round on the screen, are written as
// their names, such as <U+202E>. zendric-read and zendric-make write everything a
// person reads this way: readings, messages and the arguments their usage errors quote.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zendric {

// Appends the character starting at text[i] (well-formed UTF-8) as it is shown;
// returns where the next character starts.
std::size_t AppendVisibleCharacter(std::string& out, std::string_view text, std::size_t i);

// Terminal columns the character starting at text[i] takes once shown, counting one
// for each character of its own.
int VisibleColumns(std::string_view text, std::size_t i);

// Any bytes as shown: ill-formed parts as U+FFFD, then each character as above.
std::string VisibleText(std::string_view bytes);

}  // namespace zendric
