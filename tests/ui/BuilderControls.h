// The builder window's controls as its tests find them: a field of the selected item by
// its label, through the key the core gives it.
#pragma once

#include <QCoreApplication>
#include <QListWidget>
#include <QTest>

#include "BuilderDialog.h"
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

// Shown and active, so that the window's keys reach it.
inline bool ShowActive(TBuilderDialog& d) {
  d.show();
  d.activateWindow();
  return QTest::qWaitForWindowActive(&d);
}

}  // namespace zendric::testing
