#include "ReadingText.h"

#include <QClipboard>
#include <QGuiApplication>

namespace zendric {

QString ReadingAsText(const ParseResult& reading) {
  QString text;
  for (const std::string& line : reading.ResultLines) {
    QString paragraph = QString::fromStdString(line);
    paragraph.replace(u'\r', u'\n');
    text += paragraph + QStringLiteral("\n\n");
  }
  const std::size_t count = std::min(reading.ErrorMessages.size(), reading.ErrorPositions.size());
  for (std::size_t i = 0; i < count; ++i)
    text += QStringLiteral("position %1: %2\n")
                .arg(reading.ErrorPositions[i])
                .arg(QString::fromStdString(reading.ErrorMessages[i]));
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
