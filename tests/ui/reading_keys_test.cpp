// The reading column as a text: the keys that move through it, and selecting and
// copying a part of a paragraph with the mouse or the keyboard.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "Controls.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

// Many paragraphs: far more than a view holds.
QString LongCode() {
  QString code = u"ZN2.Dw"_s;
  for (int i = 0; i < 300; ++i) code += u" W+ H- Fr\"fruit number %1\""_s.arg(i);
  return code;
}

}  // namespace

class ReadingKeysTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;

  QLabel* Paragraph(int index) const {
    int seen = 0;
    for (QWidget* control : w->CodeListControls())
      if (auto* label = qobject_cast<QLabel*>(control); label && seen++ == index) return label;
    return nullptr;
  }

 private slots:
  void init() {
    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
  }
  void cleanup() { w.reset(); }

  // Where the view stands after a key, from a view in the middle of a long reading.
  void keysMoveThroughTheColumn_data() {
    QTest::addColumn<QString>("from");  // "column" or "paragraph": what has the focus
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("lands");  // "top", "bottom", "page up", "page down", "still"
    const int none = Qt::NoModifier, ctrl = Qt::ControlModifier;
    QTest::newRow("Home") << u"column"_s << int(Qt::Key_Home) << none << u"top"_s;
    QTest::newRow("End") << u"column"_s << int(Qt::Key_End) << none << u"bottom"_s;
    QTest::newRow("Ctrl+Home") << u"column"_s << int(Qt::Key_Home) << ctrl << u"top"_s;
    QTest::newRow("Ctrl+End") << u"column"_s << int(Qt::Key_End) << ctrl << u"bottom"_s;
    QTest::newRow("PgUp") << u"column"_s << int(Qt::Key_PageUp) << none << u"page up"_s;
    QTest::newRow("PgDn") << u"column"_s << int(Qt::Key_PageDown) << none << u"page down"_s;
    QTest::newRow("Home in a paragraph moves its caret") << u"paragraph"_s << int(Qt::Key_Home) << none << u"still"_s;
    QTest::newRow("Ctrl+Home from a paragraph") << u"paragraph"_s << int(Qt::Key_Home) << ctrl << u"top"_s;
    QTest::newRow("Ctrl+End from a paragraph") << u"paragraph"_s << int(Qt::Key_End) << ctrl << u"bottom"_s;
    QTest::newRow("PgDn from a paragraph") << u"paragraph"_s << int(Qt::Key_PageDown) << none << u"page down"_s;
  }
  void keysMoveThroughTheColumn() {
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, lands);
    w->ReplaceCode(LongCode());
    QScrollBar* bar = ui->sbCodeList->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 4 * bar->pageStep());
    bar->setValue(bar->maximum() / 2);
    const int middle = bar->value();
    ui->sbCodeList->setFocus();
    QWidget* target = ui->sbCodeList;
    if (from == "paragraph") {
      QTest::keyClick(ui->sbCodeList, Qt::Key_Return);  // into the first paragraph in view
      target = QApplication::focusWidget();
      QVERIFY(qobject_cast<QLabel*>(target));
      QVERIFY(ui->Panel1->isAncestorOf(target));
      QCOMPARE(bar->value(), middle);
    }
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QApplication::processEvents();
    if (lands == "top") QCOMPARE(bar->value(), 0);
    if (lands == "bottom") QCOMPARE(bar->value(), bar->maximum());
    if (lands == "page up") QCOMPARE(bar->value(), middle - bar->pageStep());
    if (lands == "page down") QCOMPARE(bar->value(), middle + bar->pageStep());
    if (lands == "still") QCOMPARE(bar->value(), middle);
  }

  // Escape leaves a paragraph for the column, which keeps its place.
  void escapeLeavesTheParagraph() {
    w->ReplaceCode(u"ZN2.Dw W+ H-"_s);
    ui->sbCodeList->setFocus();
    QTest::keyClick(ui->sbCodeList, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), Paragraph(0));
    QTest::keyClick(Paragraph(0), Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), ui->sbCodeList);
  }

  // Ctrl+C copies what is selected in a paragraph; with nothing selected, the whole
  // reading, the code first.
  void copySelectionOrWhole_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("copied");
    QTest::newRow("keyboard: Enter, then Shift+Right") << u"keys"_s << u"I am"_s;
    QTest::newRow("mouse: a double click on a word") << u"double click"_s << u"Western"_s;
    QTest::newRow("keyboard: select, then Escape drops it") << u"escape"_s
                                                            << u"ZN2.Dw W+\n\nI am a Western Dragon\n\n"
                                                               "Concerning my width: 'I'm a little on the broad side!'\n\n"_s;
  }
  void copySelectionOrWhole() {
    QFETCH(QString, how);
    QFETCH(QString, copied);
    w->ReplaceCode(u"ZN2.Dw W+"_s);
    QLabel* first = Paragraph(0);
    QVERIFY(first);
    QCOMPARE(first->text(), u"I am a Western Dragon"_s);
    if (how == "keys" || how == "escape") {
      ui->sbCodeList->setFocus();
      QTest::keyClick(ui->sbCodeList, Qt::Key_Return);
      for (int i = 0; i < 4; ++i) QTest::keyClick(first, Qt::Key_Right, Qt::ShiftModifier);
      QCOMPARE(first->selectedText(), u"I am"_s);
      if (how == "escape") QTest::keyClick(first, Qt::Key_Escape);
    }
    if (how == "double click") {
      const int x = first->contentsMargins().left() + first->fontMetrics().horizontalAdvance(u"I am a W"_s);
      QTest::mouseDClick(first, Qt::LeftButton, {}, QPoint(x, first->height() / 2));
      QCOMPARE(QApplication::focusWidget(), first);
    }
    QApplication::clipboard()->clear();
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), copied);
  }
};

QTEST_MAIN(ReadingKeysTest)
#include "reading_keys_test.moc"
