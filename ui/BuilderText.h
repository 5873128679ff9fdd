// Texts of the builder core as the builder window shows them.
#pragma once

#include <QString>
#include <string_view>

#include "Builder.h"
#include "BuilderForm.h"

namespace zendric {

inline QString Qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A reading text as one line of a list: display-line breaks become blanks.
inline QString Plain(std::string_view text) { return Qs(text).replace(QLatin1Char('\r'), QLatin1Char(' ')).trimmed(); }

// A text of any length as the builder shows it: its start, cut by the core's rule.
inline QString Cut(std::string_view text) { return Qs(CutText(text)); }

inline QString Title(const PersonaItem& item) { return Qs(ItemTitle(item)); }

}  // namespace zendric
