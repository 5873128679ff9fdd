// The reading as plain text for the clipboard, and the ways to copy it from the result
// column: its context menu and the platform's Copy keys while it has the focus.
#pragma once

#include <QAbstractScrollArea>
#include <QAction>
#include <QString>
#include <functional>

#include "ZNParser.h"

namespace zendric {

// One paragraph per result line (its carriage returns as line breaks, a blank line
// after it), then one line per message with its position, as zendric-read writes them.
QString ReadingAsText(const ParseResult& reading);

// Adds the copy action to `column`; `reading` gives the reading shown at the time.
QAction* AddCopyReading(QAbstractScrollArea* column, std::function<const ParseResult&()> reading);

}  // namespace zendric
