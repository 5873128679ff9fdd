// Texts of the builder core as the builder window shows them.
#pragma once

#include <QString>
#include <string_view>

#include "Builder.h"

namespace zendric {

inline QString Qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A reading text as one line of a list: display-line breaks become blanks.
inline QString Plain(std::string_view text) { return Qs(text).replace(QLatin1Char('\r'), QLatin1Char(' ')).trimmed(); }

inline QString Title(const PersonaItem& item) { return Qs(ItemTitle(item)); }

}  // namespace zendric
