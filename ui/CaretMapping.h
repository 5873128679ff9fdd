// Between the edit field's text and the code text the interpreter reads: the code is
// the field with its hard line breaks taken out, and code positions count code points
// where the field counts UTF-16 units.
#pragma once

#include <QString>

namespace zendric {

// A line break the field keeps between lines (its own block break, a line feed, or a
// line separator) that the code text leaves out.
bool IsHardLineBreak(QChar ch);

// The field's text with every hard line break removed: what gets read.
QString CodeTextOfField(const QString& fieldText);

// The field offset (UTF-16 units, as a QTextCursor counts) just after the character at
// 1-based code position `codePosition`; 0 for positions below 1, the end of the field
// for positions past the end of the code.
int FieldOffsetForCodePosition(const QString& fieldText, int codePosition);

// The code position (from 1) of the first code character at or after field offset
// `offset`; one past the last position at the end.
int CodePositionAtFieldOffset(const QString& fieldText, int offset);

// The field range [start, end) that holds code positions from..to (both included).
struct FieldRange {
  int Start = 0;
  int End = 0;
};
FieldRange FieldRangeForCodeSpan(const QString& fieldText, int from, int to);

}  // namespace zendric
