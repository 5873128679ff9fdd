// The reading on paper: the code, a paragraph per item and the messages, laid out as a
// document for the printer's pages (not a picture of the window).
#pragma once

#include <QPrinter>
#include <QString>
#include <QTextDocument>
#include <memory>

#include "ZNParser.h"

namespace zendric {

// The reading as a rich-text document, from the library's HTML.
std::unique_ptr<QTextDocument> ReadingDocument(const QString& code, const ParseResult& reading);

void PrintReading(QPrinter* printer, const QString& code, const ParseResult& reading);

}  // namespace zendric
