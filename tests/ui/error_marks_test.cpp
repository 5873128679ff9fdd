// The red marks in the edit field: which character each error marks, what its tooltip
// says, and that the marks follow every change of the code.
#include <QApplication>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QToolTip>
#include <memory>

#include "AboutDialogForm.h"
#include "ErrorMarks.h"
#include "Controls.h"
#include "MainScreenForm.h"
#include "ReadingLists.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

const QString Emoji = QString::fromUtf8("\xF0\x9F\x98\x80");

// The marks as a line of '^' under the field's text ('\n' in the field is one character).
QString Picture(const TErrorMarks& marks) {
  QString picture;
  for (const TErrorMarks::Mark& mark : marks.Marks()) {
    if (picture.size() < mark.End) picture.resize(mark.End, u' ');
    for (int i = mark.Start; i < mark.End; ++i) picture[i] = u'^';
  }
  return picture;
}

QStringList ToolTips(const TErrorMarks& marks) {
  QStringList tips;
  for (const TErrorMarks::Mark& mark : marks.Marks()) tips << marks.MessagesOf(mark).join(u'\n');
  return tips;
}

}  // namespace

class ErrorMarksTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;

  const TErrorMarks& Marks() const { return w->ErrorMarks(); }
  QWidget* Viewport() const { return ui->meZendric->viewport(); }
  QPoint CentreOf(const TErrorMarks::Mark& mark) const {
    QTextCursor at(ui->meZendric->document());
    at.setPosition(mark.Start);
    const QRect caret = ui->meZendric->cursorRect(at);
    return QPoint(Marks().MarkRect(mark).center().x(), caret.center().y());
  }

 private slots:
  void init() {
    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() { w.reset(); }

  // The character before the caret that a click on the error gives, as one mark per
  // character with all of its messages.
  void eachErrorMarksTheCharacterBeforeItsCaret_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QStringList>("tips");
    QTest::newRow("unknown tag") << u"ZN2. W+ X"_s << u"        ^"_s
                                 << QStringList{u"Error: Invalid code at position 9 (X)"_s};
    QTest::newRow("the prefix") << u"zn2. W+"_s << u"^"_s << QStringList{u"Error - this isn't a Zendric 2"_s};
    QTest::newRow("first modifier character") << u"ZN2. W++++ H"_s << u"      ^"_s
                                              << QStringList{u"Error: invalid code in width tag"_s};
    QTest::newRow("three errors, two of them adjacent")
        << u"ZN2.Dw T2t Xy Wq"_s << u"           ^^  ^"_s
        << QStringList{u"Error: Invalid code at position 12 (X)"_s, u"Error: Invalid code at position 13 (y)"_s,
                       u"Error: invalid code in width tag"_s};
    QTest::newRow("past the end: the last character") << u"ZN2.Dw L12"_s << u"         ^"_s
                                                      << QStringList{u"Error: missing unit identifier in length tag"_s};
    QTest::newRow("past the end, field ends in a line break")
        << u"ZN2.Dw L12\n"_s << u"         ^"_s << QStringList{u"Error: missing unit identifier in length tag"_s};
    QTest::newRow("past the end, after empty lines") << u"ZN2.\n\n"_s << u"   ^"_s
                                                     << QStringList{u"Error: Species code should be found at position 5"_s};
    QTest::newRow("two errors on one character")
        << u"ZN2.D["_s << u"     ^"_s
        << QStringList{u"Error: Species code should be found at position 7\nError: missing ] at position 7"_s};
    QTest::newRow("after a line break") << u"ZN2. W+\nH- X"_s << u"           ^"_s
                                        << QStringList{u"Error: Invalid code at position 11 (X)"_s};
    QTest::newRow("after two line breaks") << u"ZN2.\n W+\n\n X"_s << u"           ^"_s
                                           << QStringList{u"Error: Invalid code at position 9 (X)"_s};
    QTest::newRow("a blank before a break") << u"ZN2. W+ \nX"_s << u"         ^"_s
                                            << QStringList{u"Error: Invalid code at position 9 (X)"_s};
    QTest::newRow("a character outside the BMP")
        << u"ZN2. "_s + Emoji + u"\nX"_s << u"     ^^ ^"_s
        << QStringList{QString::fromStdString(Messages(ParseCode("ZN2. \xF0\x9F\x98\x80X")).at(0)),
                       QString::fromStdString(Messages(ParseCode("ZN2. \xF0\x9F\x98\x80X")).at(1))};
    QTest::newRow("no errors") << u"ZN2. W+ H-"_s << u""_s << QStringList{};
    // The empty code has its message, but no character to carry a mark.
    QTest::newRow("empty field") << u""_s << u""_s << QStringList{};
    QTest::newRow("only line breaks") << u"\n\n"_s << u""_s << QStringList{};
  }
  void eachErrorMarksTheCharacterBeforeItsCaret() {
    QFETCH(QString, field);
    QFETCH(QString, picture);
    QFETCH(QStringList, tips);
    ui->meZendric->setPlainText(u"ZN2. X Y Z"_s);  // marks of another code first
    ui->meZendric->setPlainText(field);
    QCOMPARE(Picture(Marks()), picture);
    QCOMPARE(ToolTips(Marks()), tips);
  }

  // Each mark sits under the character whose error a click in the list would go to.
  void marksAgreeWithTheListsCaret() {
    ui->meZendric->setPlainText(u"ZN2.Dw T2t \nXy Wq L12"_s);
    QCOMPARE(ui->lbErrors->count(), 4);
    for (int row = 0; row < ui->lbErrors->count(); ++row) {
      ui->lbErrors->setCurrentRow(row);
      QTest::mouseClick(ui->lbErrors->viewport(), Qt::LeftButton, {},
                        ui->lbErrors->RowRect(row).center());
      const int caret = ui->meZendric->textCursor().position();
      const QString message = ui->lbErrors->Text(row);
      int hits = 0;
      for (const TErrorMarks::Mark& mark : Marks().Marks())
        if (Marks().MessagesOf(mark).contains(message)) {
          ++hits;
          QCOMPARE(mark.End, caret);
        }
      QCOMPARE(hits, 1);
    }
  }

  void marksFollowEveryChange() {
    QTest::keyClicks(ui->meZendric, u"ZN2. W+ X"_s);
    QCOMPARE(Picture(Marks()), u"        ^"_s);
    QTest::keyClick(ui->meZendric, Qt::Key_Backspace);  // the code is valid now
    QVERIFY(Marks().Marks().empty());
    QTest::keyClicks(ui->meZendric, u"Wq"_s);
    QCOMPARE(Picture(Marks()), u"         ^"_s);
    // A line break typed before the error moves the mark along with the character.
    ui->meZendric->moveCursor(QTextCursor::Start);
    for (int i = 0; i < 4; ++i) ui->meZendric->moveCursor(QTextCursor::NextCharacter);
    QTest::keyClick(ui->meZendric, Qt::Key_Return);
    QCOMPARE(Picture(Marks()), u"          ^"_s);
    QTest::keyClick(ui->meZendric, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Picture(Marks()), u"         ^"_s);
    // A code written by the About box is marked the same way.
    TAboutDialog about(w.get());
    QTest::mouseClick(AboutControls(about).btnRead, Qt::LeftButton);
    QVERIFY(Marks().Marks().empty());
  }

  // A hundred thousand errors: the marks made are those of the lines in view, wherever
  // the view is, and the lines in view have their waves.
  void onlyTheMarksInViewAreMade() {
    ui->meZendric->setPlainText(u"ZN2.Dw"_s + QString(100000, u'{'));
    QScrollBar* bar = ui->meZendric->verticalScrollBar();
    for (const int at : {0, bar->maximum() / 2, bar->maximum()}) {
      bar->setValue(at);
      QApplication::processEvents();
      const QImage image = ui->meZendric->grab().toImage();
      QSet<int> redRows;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (const QColor c = image.pixelColor(x, y); c.red() > 200 && c.green() < 90 && c.blue() < 90) redRows << y;
      const int lines = Viewport()->height() / ui->meZendric->fontMetrics().lineSpacing();
      QVERIFY2(redRows.size() >= lines, qPrintable(u"%1 rows of red for %2 lines"_s.arg(redRows.size()).arg(lines)));
      QVERIFY2(Marks().HeldMarks() > 0 && Marks().HeldMarks() < 10000, qPrintable(QString::number(Marks().HeldMarks())));
    }
  }

  // The pointer over a mark shows its messages; beside it, nothing.
  void tooltipOverAMark() {
    ui->meZendric->setPlainText(u"ZN2.Dw T2t Xy \nWq"_s);
    QCOMPARE(Marks().Marks().size(), std::size_t{3});
    for (const TErrorMarks::Mark& mark : Marks().Marks()) {
      const QPoint at = CentreOf(mark);
      QCOMPARE(Marks().ToolTipAt(at), Marks().MessagesOf(mark).join(u'\n'));
      QHelpEvent help(QEvent::ToolTip, at, Viewport()->mapToGlobal(at));
      QApplication::sendEvent(Viewport(), &help);
      QTRY_VERIFY(QToolTip::isVisible());
      QCOMPARE(QToolTip::text(), Marks().MessagesOf(mark).join(u'\n'));
    }
    // Over "T2t", a character with no error, and under the text, where no line is.
    const TErrorMarks::Mark& x = Marks().Marks().front();
    const QRect xRect = Marks().MarkRect(x);
    for (const QPoint beside : {QPoint(xRect.left() - 3 * xRect.width(), CentreOf(x).y()),
                                QPoint(xRect.center().x(), Viewport()->height() - 2)}) {
      QCOMPARE(Marks().ToolTipAt(beside), QString());
      QHelpEvent help(QEvent::ToolTip, beside, Viewport()->mapToGlobal(beside));
      QApplication::sendEvent(Viewport(), &help);
      QTRY_VERIFY(!QToolTip::isVisible());
    }
  }

  // The layer the waves are drawn on covers the text and nothing else, and lets the
  // mouse through to it.
  void layerLiesOverTheText() {
    QWidget* layer = Marks().Layer();
    QCOMPARE(layer->geometry(), Viewport()->geometry());
    w->resize(300, 400);
    QApplication::processEvents();
    QCOMPARE(layer->geometry(), Viewport()->geometry());
    QVERIFY(layer->testAttribute(Qt::WA_TransparentForMouseEvents));
    ui->meZendric->setPlainText(u"ZN2. W+ X"_s);
    ui->meZendric->moveCursor(QTextCursor::Start);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, CentreOf(Marks().Marks().front()));
    const int caret = ui->meZendric->textCursor().position();
    QVERIFY2(caret == 8 || caret == 9, qPrintable(QString::number(caret)));
  }
};

QTEST_MAIN(ErrorMarksTest)
#include "error_marks_test.moc"
