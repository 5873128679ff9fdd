// The error list on its own: a new reading costs it the same for a million rows as for
// ten thousand, and its rows are where a QListView over the same model puts them, for
// the keys, the pointer and the scroll bar, and where screen readers look for them.
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <memory>

#include "ErrorList.h"

using namespace zendric;
using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<const ParseResult> Reading(int messages) {
  auto reading = std::make_shared<ParseResult>();
  for (int i = 0; i < messages; ++i)
    reading->AddMessage(i % 7 ? "unexpected '{'" : "a longer message, for a wider row", i + 7, {i + 7, i + 7});
  return reading;
}

// The fewest milliseconds of a few readings given to `list` and painted.
double ReadingTime(TErrorList& list, const std::shared_ptr<const ParseResult>& reading) {
  double least = 1e9;
  for (int i = 0; i < 5; ++i) {
    QElapsedTimer timer;
    timer.start();
    list.SetReading(reading);
    QApplication::processEvents();
    least = std::min(least, static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  return least;
}

}  // namespace

class ErrorListTest : public QObject {
  Q_OBJECT

  TErrorList list;
  QListView reference;  // QListView's own layout of the same rows

  void Show(int messages) {
    list.SetReading(Reading(messages));
    reference.setModel(list.model());
    QApplication::processEvents();
  }

 private slots:
  void initTestCase() {
    list.resize(420, 150);
    list.SetHeightForRows(150);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    reference.setUniformItemSizes(true);
    reference.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
  }

  void aReadingCostsTheSameForAnyCount() {
    const auto small = Reading(10'000), large = Reading(1'000'000);
    ReadingTime(list, small);  // first paint and the like
    const int layouts = list.LayoutCount();
    const double smallTime = ReadingTime(list, small), largeTime = ReadingTime(list, large);
    // a layout each, each as cheap: work over the rows would make it a hundred times
    QCOMPARE(list.LayoutCount(), layouts + 10);
    QVERIFY2(largeTime < 10 * smallTime + 1, qPrintable(u"%1 ms against %2"_s.arg(largeTime).arg(smallTime)));
    QCOMPARE(list.count(), 1'000'000);
    QCOMPARE(list.verticalScrollBar()->maximum() + list.verticalScrollBar()->pageStep(), 1'000'000);
  }

  void keysMoveAsInAListView() {
    Show(200);
    reference.resize(list.size());
    QApplication::processEvents();
    QCOMPARE(list.viewport()->size(), reference.viewport()->size());
    struct Row {
      int from;
      Qt::Key key;
    };
    const Row rows[] = {{0, Qt::Key_Down},      {0, Qt::Key_Up},        {199, Qt::Key_Down},   {0, Qt::Key_PageDown},
                        {7, Qt::Key_PageDown},  {197, Qt::Key_PageDown}, {199, Qt::Key_PageUp}, {2, Qt::Key_PageUp},
                        {100, Qt::Key_PageUp},  {50, Qt::Key_End},      {50, Qt::Key_Home},    {60, Qt::Key_Right}};
    for (const Row& row : rows) {
      const QString what = u"from %1, key %2"_s.arg(row.from).arg(row.key, 0, 16);
      list.setCurrentRow(row.from);
      reference.setCurrentIndex(reference.model()->index(row.from, 0));
      QTest::keyClick(&list, row.key);
      QTest::keyClick(&reference, row.key);
      QVERIFY2(list.currentRow() == reference.currentIndex().row(), qPrintable(what));
      QVERIFY2(list.verticalScrollBar()->value() == reference.verticalScrollBar()->value(), qPrintable(what));
      QVERIFY2(list.RowRect(list.currentRow()) == reference.visualRect(reference.currentIndex()), qPrintable(what));
    }
    QCOMPARE(list.verticalScrollBar()->maximum(), reference.verticalScrollBar()->maximum());
    QCOMPARE(list.verticalScrollBar()->pageStep(), reference.verticalScrollBar()->pageStep());
    QCOMPARE(list.horizontalScrollBar()->maximum(), reference.horizontalScrollBar()->maximum());
  }

  // Under the pointer, scrolled anywhere and below the last row.
  void pointsFindTheirRows() {
    struct Row {
      int messages, scrolledTo;
    };
    for (const Row row : {Row{2, 0}, Row{200, 0}, Row{200, 57}, Row{200, 400}}) {
      Show(row.messages);
      list.verticalScrollBar()->setValue(row.scrolledTo);
      reference.verticalScrollBar()->setValue(row.scrolledTo);
      QCOMPARE(list.verticalScrollBar()->value(), reference.verticalScrollBar()->value());
      for (int y = 0; y < list.viewport()->height(); y += 3)
        for (const int x : {1, 200, 419}) {
          const QPoint at(x, y);
          QVERIFY2(list.indexAt(at) == reference.indexAt(at),
                   qPrintable(u"%1 rows from %2, at %3,%4"_s.arg(row.messages).arg(row.scrolledTo).arg(x).arg(y)));
        }
    }
  }

  // A screen reader finds each row where it is drawn, by its number, with its text.
  void screenReadersFindTheRows() {
    Show(200);
    list.verticalScrollBar()->setValue(120);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&list);
    QVERIFY(face);
    QCOMPARE(face->role(), QAccessible::List);
    QCOMPARE(face->childCount(), 200);
    for (const int row : {0, 120, 122, 199}) {
      QAccessibleInterface* cell = face->child(row);
      QVERIFY(cell);
      const QRect drawn(list.viewport()->mapToGlobal(list.RowRect(row).topLeft()), list.RowRect(row).size());
      QCOMPARE(cell->rect(), drawn);
      QCOMPARE(cell->text(QAccessible::Name), list.model()->index(row, 0).data(Qt::AccessibleTextRole).toString());
      if (list.viewport()->rect().contains(list.RowRect(row).center()))
        QCOMPARE(face->indexOfChild(face->childAt(drawn.center().x(), drawn.center().y())), row);
    }
  }
};

QTEST_MAIN(ErrorListTest)
#include "error_list_test.moc"
