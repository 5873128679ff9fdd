#include "ReadingText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStringDecoder>

namespace zendric {
namespace {

void Copy(const QString& text) {
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

}  // namespace

QString ReadingAsText(const QString& code, const ParseResult& reading) {
  return ReadingAs(ReadingFormat::Text, code, reading);
}

QString ReadingAs(ReadingFormat format, const QString& code, const ParseResult& reading) {
  const QByteArray bytes = code.toUtf8();
  const std::string text =
      RenderReading(format, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), reading);
  // A code that starts with a byte order mark keeps it.
  QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
  return decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
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
