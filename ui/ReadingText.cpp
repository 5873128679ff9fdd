#include "ReadingText.h"

#include <QClipboard>
#include <QGuiApplication>

namespace zendric {
namespace {

// "... at position 14 (Z)" names 14; "position 140" does not.
bool NamesPosition(const QString& message, int position) {
  const QString named = QStringLiteral("position %1").arg(position);
  for (qsizetype at = message.indexOf(named); at >= 0; at = message.indexOf(named, at + 1)) {
    const qsizetype after = at + named.size();
    const bool wordStart = at == 0 || !message.at(at - 1).isLetterOrNumber();
    if (wordStart && (after == message.size() || !message.at(after).isDigit())) return true;
  }
  return false;
}

void Copy(const QString& text) {
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

}  // namespace

QString ReadingAsText(const QString& code, const ParseResult& reading) {
  QString text;
  if (!code.isEmpty()) text += code + QStringLiteral("\n\n");
  for (std::size_t i = 0; i < reading.LineCount(); ++i) {
    const std::string_view line = reading.Line(i);
    QString paragraph = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    paragraph.replace(u'\r', u'\n');
    text += paragraph + QStringLiteral("\n\n");
  }
  for (std::size_t i = 0; i < reading.MessageCount(); ++i) {
    const std::string_view bytes = reading.Message(i);
    const QString message = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const int position = reading.MessagePosition(i);
    text += (NamesPosition(message, position) ? message : QStringLiteral("position %1: %2").arg(position).arg(message)) +
            u'\n';
  }
  return text;
}

void AddCopyReading(QAbstractScrollArea* column, ReadingSources sources) {
  auto whole = [sources] { return ReadingAsText(sources.code(), sources.reading()); };
  auto* copy = new QAction(QStringLiteral("&Copy"), column);
  copy->setShortcuts(QKeySequence::Copy);
  // Only while the column has the focus: in the edit field the keys copy its selection.
  copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  copy->setShortcutVisibleInContextMenu(true);
  copy->setToolTip(QStringLiteral("Copy the selected text, or the whole reading when nothing is selected"));
  QObject::connect(copy, &QAction::triggered, column, [sources, whole] {
    const QString selected = sources.selection();
    Copy(selected.isEmpty() ? whole() : selected);
  });
  auto* copyAll = new QAction(QStringLiteral("Copy &whole reading"), column);
  copyAll->setToolTip(QStringLiteral("Copy the code, its reading and the errors as plain text"));
  QObject::connect(copyAll, &QAction::triggered, column, [whole] { Copy(whole()); });
  column->addAction(copy);
  column->addAction(copyAll);
  column->setContextMenuPolicy(Qt::ActionsContextMenu);
}

}  // namespace zendric
