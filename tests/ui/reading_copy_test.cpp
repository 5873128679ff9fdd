// Copying the reading: the plain text it makes, and the two ways to it from the result
// column (the Copy keys while the column has the focus, and its context menu).
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <memory>

#include "Controls.h"
#include "MainScreenForm.h"
#include "ReadingText.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

const QString Marker = u"(clipboard untouched)"_s;

// A code of three items, one of them two lines long and one with an empty first line,
// and two errors.
const QString ThreeItemsTwoErrors = u"ZN2.Dw Cgr^|bk,bye+ X A(r"_s;
const QString ItsReading =
    u"ZN2.Dw Cgr^|bk,bye+ X A(r\n"
    "\n"
    "I am a Western Dragon\n"
    "\n"
    "My colour: I am metallic green with black stripes\n"
    "My belly is light yellow\n"
    "\n"
    "My age: \n"
    "My real life age: Mature adult\n"
    "\n"
    "Error: Invalid code at position 21 (X)\n"
    "position 26: Error: Missing ) in age tag\n"_s;

}  // namespace

class ReadingCopyTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;

  QAction* CopyAction() const {
    for (QAction* action : ui->sbCodeList->actions())
      if (action->text() == u"&Copy"_s) return action;
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
    QApplication::clipboard()->setText(Marker);
  }
  void cleanup() { w.reset(); }

  void readingAsText_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << u""_s << QStringList{} << QStringList{} << QList<int>{} << u""_s;
    QTest::newRow("one line") << u""_s << QStringList{u"I am a Western Dragon"_s} << QStringList{} << QList<int>{}
                              << u"I am a Western Dragon\n\n"_s;
    QTest::newRow("carriage returns break lines inside a paragraph")
        << u""_s << QStringList{u"My colour:\rgreen\r\rblue"_s, u"Last"_s} << QStringList{} << QList<int>{}
        << u"My colour:\ngreen\n\nblue\n\nLast\n\n"_s;
    QTest::newRow("an empty result line is an empty paragraph")
        << u""_s << QStringList{u"A"_s, u""_s, u"B"_s} << QStringList{} << QList<int>{} << u"A\n\n\n\nB\n\n"_s;
    QTest::newRow("messages only") << u""_s << QStringList{} << QStringList{u"Error - this isn't a Zendric 2"_s}
                                   << QList<int>{1} << u"position 1: Error - this isn't a Zendric 2\n"_s;
    QTest::newRow("positions as recorded, in list order")
        << u""_s << QStringList{u"Me"_s} << QStringList{u"Error: b"_s, u"Error: a"_s} << QList<int>{120, 7}
        << u"Me\n\nposition 120: Error: b\nposition 7: Error: a\n"_s;
    QTest::newRow("UTF-8 and marks stay as they are")
        << u""_s << QStringList{u"Ich bin ein Drache: \u00e4 & <b>"_s} << QStringList{u"Error: % %1 (\u00df)"_s}
        << QList<int>{3} << u"Ich bin ein Drache: \u00e4 & <b>\n\nposition 3: Error: % %1 (\u00df)\n"_s;
    QTest::newRow("the code comes first")
        << u"ZN2. W+"_s << QStringList{u"Concerning my width: slim"_s} << QStringList{} << QList<int>{}
        << u"ZN2. W+\n\nConcerning my width: slim\n\n"_s;
    // Where the message names its own position, the line does not say it again.
    QTest::newRow("a message that names its position")
        << u"ZN2. X"_s << QStringList{} << QStringList{u"Error: Invalid code at position 6 (X)"_s} << QList<int>{6}
        << u"ZN2. X\n\nError: Invalid code at position 6 (X)\n"_s;
    QTest::newRow("a message that names another position")
        << u""_s << QStringList{} << QStringList{u"Error: missing } at position 14"_s} << QList<int>{1}
        << u"position 1: Error: missing } at position 14\n"_s;
    QTest::newRow("a longer number is another position")
        << u""_s << QStringList{} << QStringList{u"Error: Invalid code at position 140 (X)"_s} << QList<int>{14}
        << u"position 14: Error: Invalid code at position 140 (X)\n"_s;
    QTest::newRow("a number that only ends like it")
        << u""_s << QStringList{} << QStringList{u"Error: at position 114"_s} << QList<int>{14}
        << u"position 14: Error: at position 114\n"_s;
  }

  void readingAsText() {
    QFETCH(QString, code);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);
    QFETCH(QList<int>, positions);
    QFETCH(QString, text);
    ParseResult reading;
    for (const QString& line : lines) reading.AddLine(line.toStdString());
    for (qsizetype i = 0; i < messages.size(); ++i) reading.AddMessage(messages[i].toStdString(), positions[i]);
    QCOMPARE(ReadingAsText(code, reading), text);
  }

  // The platform's Copy keys copy the reading while the column has the focus, however
  // it got there; elsewhere they keep their own meaning.
  void copyKeysOnTheColumn_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("column, given the focus") << u"column"_s << ItsReading;
    QTest::newRow("column, reached by Tab") << u"tab"_s << ItsReading;
    QTest::newRow("edit field: its selection") << u"field"_s << ThreeItemsTwoErrors;
    QTest::newRow("error list: the current error") << u"list"_s << u"Error: Missing ) in age tag"_s;
  }
  void copyKeysOnTheColumn() {
    QFETCH(QString, focus);
    QFETCH(QString, clipboard);
    ui->meZendric->setPlainText(ThreeItemsTwoErrors);
    QWidget* target = ui->sbCodeList;
    if (focus == "column") ui->sbCodeList->setFocus();
    if (focus == "tab") {
      ui->lbErrors->setFocus();
      QTest::keyClick(ui->lbErrors, Qt::Key_Tab);
    }
    if (focus == "field") {
      target = ui->meZendric;
      ui->meZendric->setFocus();
      ui->meZendric->selectAll();
    }
    if (focus == "list") {
      target = ui->lbErrors;
      ui->lbErrors->setFocus();
      ui->lbErrors->setCurrentRow(1);
    }
    QTRY_COMPARE(QApplication::focusWidget(), target);
    for (const QKeySequence& keys : QKeySequence::keyBindings(QKeySequence::Copy)) {
      QApplication::clipboard()->setText(Marker);
      QTest::keySequence(target, keys);
      QCOMPARE(QApplication::clipboard()->text(), clipboard);
    }
  }

  // Nothing read yet: the keys leave the clipboard alone.
  void nothingToCopy() {
    ui->sbCodeList->setFocus();
    QTest::keySequence(ui->sbCodeList, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), Marker);
  }

  // A right click on a paragraph of the reading offers the copy, with its keys.
  void contextMenuCopies() {
    ui->meZendric->setPlainText(ThreeItemsTwoErrors);
    QAction* copy = CopyAction();
    QVERIFY(copy);
    QCOMPARE(ui->sbCodeList->contextMenuPolicy(), Qt::ActionsContextMenu);
    QVERIFY(copy->shortcuts().contains(QKeySequence(QKeySequence::Copy)));

    QWidget* label = w->CodeListControls().at(2);  // the colour's paragraph
    const QPoint at = label->rect().center();
    QStringList offered;
    QTimer::singleShot(0, this, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu);
      for (QAction* action : menu->actions()) offered << action->text();
      menu->setActiveAction(copy);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, label->mapToGlobal(at));
    QApplication::sendEvent(label, &click);
    QCOMPARE(offered, (QStringList{u"&Copy"_s, u"Copy &whole reading"_s}));
    QTRY_COMPARE(QApplication::clipboard()->text(), ItsReading);
  }
};

QTEST_MAIN(ReadingCopyTest)
#include "reading_copy_test.moc"
