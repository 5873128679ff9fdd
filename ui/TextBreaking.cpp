#include "TextBreaking.h"

namespace zendric {

QString BreakAtBlanks(const QString& text, const QFontMetrics& metrics, int width) {
  QString result = text;
  qsizetype lineStart = 0;
  qsizetype lastBlank = -1;
  for (qsizetype i = 0; i < result.size(); ++i) {
    if (result.at(i) != u' ') continue;
    if (metrics.horizontalAdvance(result.mid(lineStart, i - lineStart)) > width && lastBlank >= lineStart) {
      result[lastBlank] = u'\n';
      lineStart = lastBlank + 1;
    }
    lastBlank = i;
  }
  if (metrics.horizontalAdvance(result.mid(lineStart)) > width && lastBlank >= lineStart) result[lastBlank] = u'\n';
  return result;
}

}  // namespace zendric
