#include "ReadingPrint.h"

#include <QFont>
#include <QPageLayout>

#include "ReadingText.h"
#include "Renderings.h"

namespace zendric {

// Qt's rich text takes only simple rules; these stand in for the page's stylesheet.
constexpr auto PrintStyle =
    "p { margin-bottom: 8px; white-space: pre-wrap; }"
    "p.zendric-code { font-family: monospace; font-weight: bold; margin-bottom: 12px; }"
    "ul.zendric-messages { color: #a40000; }";

std::unique_ptr<QTextDocument> ReadingDocument(const QString& code, const ParseResult& reading) {
  auto document = std::make_unique<QTextDocument>();
  document->setDefaultStyleSheet(QString::fromLatin1(PrintStyle));
  document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));
  document->setHtml(ReadingAs(ReadingFormat::Html, code, reading));
  document->setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Zendric 2 reading"));
  return document;
}

void PrintReading(QPrinter* printer, const QString& code, const ParseResult& reading) {
  printer->setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
  printer->setDocName(QStringLiteral("Zendric 2 reading"));
  ReadingDocument(code, reading)->print(printer);
}

}  // namespace zendric
