#include "CaretMapping.h"

#include <algorithm>

namespace zendric {

bool IsHardLineBreak(QChar ch) {
  return ch == u'\n' || ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator;
}

QString CodeTextOfField(const QString& fieldText) {
  QString code;
  code.reserve(fieldText.size());
  for (QChar ch : fieldText)
    if (!IsHardLineBreak(ch)) code += ch;
  return code;
}

int FieldOffsetForCodePosition(const QString& fieldText, int codePosition) {
  const qsizetype length = fieldText.size();
  qsizetype offset = 0;
  int counted = 0;
  while (counted < codePosition && offset < length) {
    const QChar ch = fieldText.at(offset);
    if (IsHardLineBreak(ch)) {
      ++offset;  // removed by the join: no code position of its own
      continue;
    }
    // A pair of surrogates is one code point and one position for the interpreter.
    const bool pair = ch.isHighSurrogate() && offset + 1 < length && fieldText.at(offset + 1).isLowSurrogate();
    offset += pair ? 2 : 1;
    ++counted;
  }
  return static_cast<int>(offset);
}

int CodePositionAtFieldOffset(const QString& fieldText, int offset) {
  const qsizetype end = std::min<qsizetype>(offset, fieldText.size());
  int counted = 0;
  for (qsizetype at = 0; at < end; ++at) {
    const QChar ch = fieldText.at(at);
    if (IsHardLineBreak(ch)) continue;
    if (ch.isHighSurrogate() && at + 1 < fieldText.size() && fieldText.at(at + 1).isLowSurrogate()) ++at;
    ++counted;
  }
  return counted + 1;
}

FieldRange FieldRangeForCodeSpan(const QString& fieldText, int from, int to) {
  int start = FieldOffsetForCodePosition(fieldText, from - 1);
  // The item starts at its first character, not at a line break the join took out.
  while (start < fieldText.size() && IsHardLineBreak(fieldText.at(start))) ++start;
  return {start, std::max(start, FieldOffsetForCodePosition(fieldText, to))};
}

}  // namespace zendric
