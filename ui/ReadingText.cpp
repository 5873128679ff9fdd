#include "ReadingText.h"

#include <QClipboard>
#include <QGuiApplication>

namespace zendric {

QString ReadingAsText(const ParseResult& reading) {
  QString text;
  for (std::size_t i = 0; i < reading.LineCount(); ++i) {
    const std::string_view line = reading.Line(i);
    QString paragraph = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    paragraph.replace(u'\r', u'\n');
    text += paragraph + QStringLiteral("\n\n");
  }
  for (std::size_t i = 0; i < reading.MessageCount(); ++i) {
    const std::string_view message = reading.Message(i);
    text += QStringLiteral("position %1: %2\n")
                .arg(reading.MessagePosition(i))
                .arg(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
  }
  return text;
}

QAction* AddCopyReading(QAbstractScrollArea* column, std::function<const ParseResult&()> reading) {
  auto* copy = new QAction(QStringLiteral("&Copy reading"), column);
  copy->setShortcuts(QKeySequence::Copy);
  // Only while the column has the focus: in the edit field the keys copy its selection.
  copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  copy->setShortcutVisibleInContextMenu(true);
  copy->setToolTip(QStringLiteral("Copy the whole reading and the errors as plain text"));
  QObject::connect(copy, &QAction::triggered, column, [reading = std::move(reading)] {
    const QString text = ReadingAsText(reading());
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
  });
  column->addAction(copy);
  column->setContextMenuPolicy(Qt::ActionsContextMenu);
  return copy;
}

}  // namespace zendric
