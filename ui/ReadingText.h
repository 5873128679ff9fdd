// The reading as plain text for the clipboard, and the ways to copy it from the result
// column: its context menu and the platform's Copy keys while it has the focus.
#pragma once

#include <QAbstractScrollArea>
#include <QAction>
#include <QString>
#include <functional>

#include "Renderings.h"
#include "ZNParser.h"

namespace zendric {

// The code, a blank line, one paragraph per result line (its carriage returns as line
// breaks, a blank line after it), then one line per message: "position N: " and the
// message, or the message alone where it names its position itself.
QString ReadingAsText(const QString& code, const ParseResult& reading);
// The reading in any of the library's formats.
QString ReadingAs(ReadingFormat format, const QString& code, const ParseResult& reading);

// The copy actions of `column`: Copy (the platform's keys) copies what `selection`
// gives, or the whole reading when that is empty; "Copy whole reading" always the whole.
// `code` and `reading` give what is shown at the time.
struct ReadingSources {
  std::function<QString()> code;
  std::function<const ParseResult&()> reading;
  std::function<QString()> selection;
};
void AddCopyReading(QAbstractScrollArea* column, ReadingSources sources);

}  // namespace zendric
