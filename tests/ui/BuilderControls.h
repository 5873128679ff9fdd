// The builder window's controls as its tests find them: a field of the selected item by
// its label, through the key the core gives it.
#pragma once

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "BuilderDialog.h"
#include "CodeEdit.h"
#include "Controls.h"

namespace zendric::testing {

// An object name with a "/", or one of a window's own controls ("lb…", "ed…"), is
// taken as it is.
inline QWidget* Field(const TBuilderDialog& d, const QString& label) {
  QCoreApplication::processEvents();  // a step may draw the page again
  if (label.contains(u'/') || label.startsWith(QStringLiteral("lb")) || label.startsWith(QStringLiteral("ed")))
    return Named<QWidget>(&d, qPrintable(label));
  const int row = Named<QListWidget>(&d, "lbItems")->currentRow();
  for (const FormField& f : DescribeItem(d.CurrentPersona().Items[static_cast<std::size_t>(row)]))
    if (QString::fromStdString(f.Label) == label) return Named<QWidget>(&d, "pnPage")->findChild<QWidget*>(QString::fromStdString(f.Key));
  return nullptr;
}

// The text of a text field, a line edit or a long text's field; a null string for any
// other control.
inline QString TextOf(const QWidget* control) {
  if (const auto* line = qobject_cast<const QLineEdit*>(control)) return line->text();
  if (const auto* text = qobject_cast<const TCodeEdit*>(control)) return QString::fromStdU16String(text->ModelText());
  return {};
}

// Shown and active, so that the window's keys reach it.
inline bool ShowActive(TBuilderDialog& d) {
  d.show();
  d.activateWindow();
  return QTest::qWaitForWindowActive(&d);
}

}  // namespace zendric::testing
