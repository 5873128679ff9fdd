// Texts of the builder core as the builder window shows them.
#pragma once

#include <QString>
#include <string_view>

#include "Builder.h"

namespace zendric {

inline QString Qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A reading text as one line of a list: display-line breaks become blanks.
inline QString Plain(std::string_view text) { return Qs(text).replace(QLatin1Char('\r'), QLatin1Char(' ')).trimmed(); }

// A text longer than this is cut where the builder shows it: a label lays out every
// character of its text on each resize.
inline constexpr qsizetype LongestShown = 2000;
inline QString Cut(const QString& text) { return text.size() > LongestShown ? text.left(LongestShown) + QStringLiteral("…") : text; }

inline QString Title(const PersonaItem& item) { return Qs(ItemTitle(item)); }

}  // namespace zendric
