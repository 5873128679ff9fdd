// Breaking a line of code for display. Blanks separate the items of a code, so a code
// shown over several lines must break at blanks only: a break after "/" or before "["
// would look like a blank that is not there.
#pragma once

#include <QFontMetrics>
#include <QString>

namespace zendric {

// `text` with some blanks turned into '\n' so that each line fits `width` pixels where it
// can; a run without blanks wider than `width` stays whole on its own line.
QString BreakAtBlanks(const QString& text, const QFontMetrics& metrics, int width);

}  // namespace zendric
