// The reader window with real widgets: when it reads, what the result column and the
// error list show, where a click on an error puts the caret, and what a resize redoes.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QTextBlock>
#include <memory>

#include "Controls.h"
#include "MainScreenForm.h"
#include "ReadingLists.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

const QString Emoji = QString::fromUtf8("\xF0\x9F\x98\x80");

// Three scaled items that every branch of the interpreter reads the same way.
const QString ThreeItems = u"ZN2. W+ H- S~"_s;

std::vector<QLabel*> LabelsOf(const TMainScreen& w) {
  std::vector<QLabel*> labels;
  for (QWidget* control : w.CodeListControls())
    if (auto* label = qobject_cast<QLabel*>(control)) labels.push_back(label);
  return labels;
}

// Rows of a rendered label that hold ink: one band per display line.
struct InkBand {
  int top, bottom, left, right;
};
std::vector<InkBand> InkBands(QWidget* widget) {
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRgb background = image.pixel(image.width() - 1, 0);
  std::vector<InkBand> bands;
  bool inBand = false;
  for (int y = 0; y < image.height(); ++y) {
    int left = image.width(), right = -1;
    for (int x = 0; x < image.width(); ++x)
      if (qAbs(qGray(image.pixel(x, y)) - qGray(background)) > 60) {
        left = std::min(left, x);
        right = x;
      }
    if (right >= 0 && !inBand) bands.push_back({y, y, left, right});
    if (right >= 0) {
      bands.back().bottom = y;
      bands.back().left = std::min(bands.back().left, left);
      bands.back().right = std::max(bands.back().right, right);
    }
    inBand = right >= 0;
  }
  return bands;
}

}  // namespace

class MainScreenTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;

  void SetCode(const QString& text) { ui->meZendric->setPlainText(text); }

  void ExpectReadingOf(const QString& code) {
    const ParseResult want = ParseCode(code.toStdString());
    QCOMPARE(Lines(w->Reading()), Lines(want));
    QCOMPARE(Messages(w->Reading()), Messages(want));
    QCOMPARE(Positions(w->Reading()), Positions(want));
  }

  void ClickError(int row) {
    QVERIFY(row < ui->lbErrors->count());
    QTest::mouseClick(ui->lbErrors->viewport(), Qt::LeftButton, {}, ui->lbErrors->RowRect(row).center());
  }

 private slots:
  void init() {
    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() { w.reset(); }

  void startsEmptyAndUnread() {
    QCOMPARE(w->windowTitle(), u"Zendric 2 reader"_s);
    QCOMPARE(w->size(), QSize(558, 315));
    QCOMPARE(w->ParseCount(), 0);
    QVERIFY(ui->meZendric->toPlainText().isEmpty());
    QVERIFY(ui->lbErrors->isHidden());
    QVERIFY(w->CodeListControls().empty());
    QCOMPARE(ui->Panel1->height(), 0);
    // A resize before the first change builds an empty column and reads nothing.
    w->resize(600, 400);
    QCOMPARE(w->ParseCount(), 0);
    QVERIFY(w->CodeListControls().empty());
    QVERIFY(ui->lbErrors->isHidden());
  }

  void everyChangeReadsOnce_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("parses");
    QTest::newRow("one key") << u"key"_s << 1;
    QTest::newRow("four keys") << u"keys"_s << 4;
    QTest::newRow("paste with line feeds") << u"paste"_s << 1;
    QTest::newRow("Shift+Enter inside a line") << u"shift-enter"_s << 1;
    QTest::newRow("Enter") << u"enter"_s << 1;
    QTest::newRow("delete") << u"delete"_s << 1;
    QTest::newRow("undo") << u"undo"_s << 1;
    QTest::newRow("replace all") << u"set"_s << 1;
  }
  void everyChangeReadsOnce() {
    QFETCH(QString, change);
    QFETCH(int, parses);
    SetCode(u"ZN2. W+"_s);
    ui->meZendric->moveCursor(QTextCursor::End);
    const int before = w->ParseCount();
    if (change == "key") QTest::keyClicks(ui->meZendric, u"X"_s);
    if (change == "keys") QTest::keyClicks(ui->meZendric, u" H-X"_s);
    if (change == "paste") {
      QApplication::clipboard()->setText(u" H-\nS~\r\nX"_s + QChar::LineSeparator + u"\n"_s);
      QTest::keyClick(ui->meZendric, Qt::Key_V, Qt::ControlModifier);
    }
    if (change == "shift-enter") QTest::keyClick(ui->meZendric, Qt::Key_Return, Qt::ShiftModifier);
    if (change == "enter") QTest::keyClick(ui->meZendric, Qt::Key_Return);
    if (change == "delete") QTest::keyClick(ui->meZendric, Qt::Key_Backspace);
    if (change == "undo") {
      QTest::keyClicks(ui->meZendric, u"X"_s);
      QCOMPARE(w->ParseCount(), before + 1);
      QTest::keyClick(ui->meZendric, Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(ui->meZendric->toPlainText(), u"ZN2. W+"_s);
      QCOMPARE(w->ParseCount(), before + 1 + parses);
      return;
    }
    if (change == "set") SetCode(u"ZN2. H-"_s);
    QCOMPARE(w->ParseCount(), before + parses);
  }

  // What the edit field shows as lines and what the interpreter reads.
  void linesAreJoinedWithNothingBetween_data() {
    QTest::addColumn<QString>("typed");  // '\n' typed as Enter, '|' as Shift+Enter
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("code");
    QTest::newRow("Enter between items") << u"ZN2. W+\nH- X"_s << u""_s << 2 << u"ZN2. W+H- X"_s;
    QTest::newRow("Enter inside an item") << u"ZN2. W\n+ X"_s << u""_s << 2 << u"ZN2. W+ X"_s;
    QTest::newRow("Shift+Enter") << u"ZN2. W+|H- X"_s << u""_s << 2 << u"ZN2. W+H- X"_s;
    QTest::newRow("paste with line feeds") << u""_s << u"ZN2. W+\nH-\n X"_s << 3 << u"ZN2. W+H- X"_s;
    QTest::newRow("paste with CR LF") << u""_s << u"ZN2. W+\r\nH-\r\n X"_s << 3 << u"ZN2. W+H- X"_s;
    QTest::newRow("paste ending in a line feed") << u""_s << u"ZN2. W+ X\n"_s << 2 << u"ZN2. W+ X"_s;
    QTest::newRow("paste with an empty line") << u""_s << u"ZN2. W+\n\nX"_s << 3 << u"ZN2. W+X"_s;
    QTest::newRow("paste with a CR") << u""_s << u"ZN2. W+\rX"_s << 2 << u"ZN2. W+X"_s;
    QTest::newRow("a line separator is code") << u""_s << u"ZN2. W+"_s + QChar::LineSeparator + u"X"_s << 1
                                              << u"ZN2. W+"_s + QChar::LineSeparator + u"X"_s;
  }
  void linesAreJoinedWithNothingBetween() {
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(int, lines);
    QFETCH(QString, code);
    ui->meZendric->setFocus();
    for (QChar ch : typed) {
      if (ch == u'\n') QTest::keyClick(ui->meZendric, Qt::Key_Return);
      else if (ch == u'|') QTest::keyClick(ui->meZendric, Qt::Key_Return, Qt::ShiftModifier);
      else QTest::keyClicks(ui->meZendric, QString(ch));
    }
    if (!pasted.isEmpty()) {
      QApplication::clipboard()->setText(pasted);
      QTest::keyClick(ui->meZendric, Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(ui->meZendric->document()->blockCount(), lines);
    // No line keeps a line end inside it: each shows as a line of its own.
    for (QTextBlock b = ui->meZendric->document()->begin(); b.isValid(); b = b.next())
      QVERIFY(!b.text().contains(u'\r') && !b.text().contains(u'\n'));
    ExpectReadingOf(code);
  }

  // Shift+Enter gives a real line break, like Enter; undo takes breaks back, pasted
  // ones included, without the window splitting them again.
  void lineBreaksUndoCleanly() {
    QTest::keyClicks(ui->meZendric, u"ZN2. W+"_s);
    QTest::keyClick(ui->meZendric, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(ui->meZendric, u"H-"_s);
    QCOMPARE(ui->meZendric->document()->toRawText(), u"ZN2. W+"_s + QChar::ParagraphSeparator + u"H-"_s);
    QCOMPARE(ui->meZendric->textCursor().position(), 10);
    QTest::keyClick(ui->meZendric, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(ui->meZendric, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ui->meZendric->toPlainText(), u"ZN2. W+"_s);

    QApplication::clipboard()->setText(u" X\r\nY"_s);
    QTest::keyClick(ui->meZendric, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(ui->meZendric->document()->toRawText(), u"ZN2. W+ X"_s + QChar::ParagraphSeparator + u"Y"_s);
    const int parses = w->ParseCount();
    QTest::keyClick(ui->meZendric, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ui->meZendric->toPlainText(), u"ZN2. W+"_s);
    QCOMPARE(w->ParseCount(), parses + 1);
  }

  void resultColumn_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("labels");
    QTest::newRow("no result line") << u"ZN2. X"_s << 0;
    QTest::newRow("empty field") << u""_s << 0;
    QTest::newRow("one result line") << u"ZN2. W+"_s << 1;
    QTest::newRow("three result lines") << ThreeItems << 3;
  }
  void resultColumn() {
    QFETCH(QString, code);
    QFETCH(int, labels);
    SetCode(u"ZN2. W+ H- S~ Ac+ R*"_s);  // a longer column first: a rebuild must leave nothing of it
    SetCode(code);
    const auto& controls = w->CodeListControls();
    const int separators = labels > 0 ? labels - 1 : 0;
    QCOMPARE(static_cast<int>(controls.size()), labels + separators);
    QCOMPARE(Panel1Children(), labels + separators);

    int top = 0, labelHeights = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      QWidget* control = controls[i];
      const bool isLabel = i % 2 == 0;  // label, separator, label, ...
      QCOMPARE(qobject_cast<QLabel*>(control) != nullptr, isLabel);
      QCOMPARE(control->parentWidget(), ui->Panel1);
      QCOMPARE(control->y(), top);  // stacked without gaps or overlaps
      QCOMPARE(control->width(), ui->Panel1->width());
      if (isLabel) {
        auto* label = static_cast<QLabel*>(control);
        QCOMPARE(label->text(), QString::fromStdString(Lines(w->Reading())[i / 2]));
        QVERIFY(label->height() > 0);
        labelHeights += label->height();
      } else {
        QCOMPARE(control->height(), TMainScreen::SeparatorHeight);
      }
      top += control->height();
    }
    QCOMPARE(ui->Panel1->height(), labelHeights + TMainScreen::SeparatorHeight * separators);
    QCOMPARE(ui->Panel1->width(), ui->sbCodeList->viewport()->width());
  }

  // A carriage return breaks the line inside one label; "&" and "<b>" show as typed.
  void labelsShowPlainTextAndLineBreaks() {
    SetCode(uR"(ZN2. Fr"A & <b>B</b>")"_s);
    const auto labels = LabelsOf(*w);
    QCOMPARE(labels.size(), std::size_t{1});
    QCOMPARE(labels[0]->text(), u"My fruitiness:\nA & <b>B</b>"_s);
    const auto bands = InkBands(labels[0]);
    QCOMPARE(bands.size(), std::size_t{2});
    // Rich text would drop the tags and an accelerator would eat the "&": both narrow the line.
    const int drawn = bands[1].right - bands[1].left + 1;
    const int plain = labels[0]->fontMetrics().horizontalAdvance(u"A & <b>B</b>"_s);
    QVERIFY2(qAbs(drawn - plain) <= 3, qPrintable(u"drawn %1, plain text %2"_s.arg(drawn).arg(plain)));
  }

  // Where a control stands in the window, whatever panel holds it.
  QRect InWindow(const QWidget* control) const { return {control->mapTo(w.get(), QPoint()), control->size()}; }

  void errorListShowsOnlyWithMessages() {
    SetCode(u"ZN2. W+"_s);
    QVERIFY(ui->lbErrors->isHidden());
    QCOMPARE(InWindow(ui->sbCodeList).bottom(), w->height() - 1);

    SetCode(u"ZN2. W+ X Wq"_s);
    QVERIFY(ui->lbErrors->isVisible());
    QCOMPARE(ui->lbErrors->count(), 2);
    QCOMPARE(ui->lbErrors->Text(0), u"Error: Invalid code at position 9 (X)"_s);
    QCOMPARE(ui->lbErrors->Text(1), u"Error: invalid code in width tag"_s);
    QVERIFY(ui->lbErrors->height() <= TMainScreen::ErrorListHeight);
    QCOMPARE(InWindow(ui->lbErrors).bottom(), w->height() - 1);
    // the boundary above the list lies between them, to be dragged
    const int boundary = w->findChild<QSplitter*>(u"spErrors"_s)->handleWidth();
    QCOMPARE(InWindow(ui->sbCodeList).bottom() + 1 + boundary, InWindow(ui->lbErrors).y());

    SetCode(u"ZN2. W+"_s);
    QVERIFY(ui->lbErrors->isHidden());
    QCOMPARE(ui->lbErrors->count(), 0);
    QCOMPARE(InWindow(ui->sbCodeList).bottom(), w->height() - 1);

    // An emptied field reads as the empty code: one message, no results.
    SetCode(u""_s);
    QVERIFY(ui->lbErrors->isVisible());
    QCOMPARE(ui->lbErrors->count(), 1);
    QCOMPARE(ui->lbErrors->Text(0), u"Error - this isn't a Zendric 2"_s);
    QVERIFY(w->CodeListControls().empty());
  }

  // The list takes the bottom of the window in whole rows: no row is cut, at the top or
  // the bottom, with or without the sideways scroll bar, scrolled or not.
  void errorListShowsWholeRows_data() {
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("width");
    QTest::newRow("two errors") << 2 << 558;
    QTest::newRow("more errors than fit") << 12 << 558;
    QTest::newRow("narrow: scrolls sideways") << 12 << 200;
    QTest::newRow("wide") << 12 << 1000;
  }
  void errorListShowsWholeRows() {
    QFETCH(int, errors);
    QFETCH(int, width);
    w->resize(width, 315);
    SetCode(u"ZN2.Dw"_s + QString(u" X"_s).repeated(errors));
    QApplication::processEvents();
    TErrorList* list = ui->lbErrors;
    QCOMPARE(list->count(), errors);
    const int row = list->RowHeight();
    QVERIFY(row > 5);
    const QScrollBar* sideways = list->horizontalScrollBar();
    QCOMPARE(sideways->isVisible(), width < 300);
    QVERIFY(list->height() <= TMainScreen::ErrorListHeight);
    QVERIFY(list->height() > TMainScreen::ErrorListHeight - row);  // as many rows as fit
    QCOMPARE(list->viewport()->height() % row, 0);
    QCOMPARE(InWindow(list).bottom(), w->height() - 1);
    for (bool scrolled : {false, true}) {
      if (scrolled) list->scrollToBottom();
      QApplication::processEvents();
      // Rows scroll sideways, so only their tops and bottoms count.
      const int viewBottom = list->viewport()->height() - 1;
      auto whole = [&](const QRect& r) { return r.top() >= 0 && r.bottom() <= viewBottom; };
      for (int i = 0; i < errors; ++i) {
        const QRect r = list->RowRect(i);
        QVERIFY2(whole(r) || r.bottom() < 0 || r.top() > viewBottom, qPrintable(u"row %1 cut"_s.arg(i)));
      }
      QVERIFY(whole(list->RowRect(scrolled ? errors - 1 : 0)));
    }
  }

  // A row under the pointer is lit and shows a pointing hand; beside the rows, neither.
  void errorRowsShowTheyCanBeClicked() {
    SetCode(u"ZN2.Dw X"_s);
    TErrorList* list = ui->lbErrors;
    const QPoint onRow = list->RowRect(0).center();
    const QPoint besideRows(5, list->RowRect(0).bottom() + 10);
    const QRgb before = list->viewport()->grab().toImage().pixel(onRow.x() + 40, onRow.y());
    QTest::mouseMove(list->viewport(), onRow);
    QTRY_COMPARE(list->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTRY_VERIFY(list->viewport()->grab().toImage().pixel(onRow.x() + 40, onRow.y()) != before);
    QTest::mouseMove(list->viewport(), besideRows);
    QTRY_COMPARE(list->viewport()->cursor().shape(), Qt::ArrowCursor);
  }

  void clickingAnErrorPlacesTheCaret_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("caret");
    QTest::newRow("position 1") << u"zn2. W+"_s << 0 << 1;
    QTest::newRow("one line") << u"ZN2. W+ X"_s << 0 << 9;
    QTest::newRow("second message") << u"ZN2. X W+ Y"_s << 1 << 11;
    QTest::newRow("after a line break") << u"ZN2. W+\nH- X"_s << 0 << 12;
    QTest::newRow("after two line breaks") << u"ZN2.\n W+\n\n X"_s << 0 << 12;
    QTest::newRow("at the end of a line") << u"ZN2. W+ X\nH-"_s << 0 << 9;
    QTest::newRow("the wide character") << u"ZN2. "_s + Emoji + u"\nX"_s << 0 << 7;
    QTest::newRow("after a wide character") << u"ZN2. "_s + Emoji + u"\nX"_s << 1 << 9;
    QTest::newRow("first character of a modifier") << u"ZN2. W+\nWq"_s << 0 << 10;
    // on a blank: at the end of the item before it, where typing adds to it
    QTest::newRow("a blank after a line break") << u"ZN2.Dw L12\n Gm"_s << 0 << 10;
  }
  void clickingAnErrorPlacesTheCaret() {
    QFETCH(QString, field);
    QFETCH(int, row);
    QFETCH(int, caret);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    SetCode(field);
    ui->meZendric->moveCursor(QTextCursor::Start);
    const int parses = w->ParseCount();
    ClickError(row);
    QCOMPARE(ui->meZendric->textCursor().position(), caret);
    QVERIFY(!ui->meZendric->textCursor().hasSelection());
    QTRY_VERIFY(ui->meZendric->hasFocus());
    QCOMPARE(w->ParseCount(), parses);
  }

  void clickBesideTheItemsDoesNothing() {
    SetCode(u"ZN2. X"_s);
    ui->meZendric->moveCursor(QTextCursor::End);
    const QRect last = ui->lbErrors->RowRect(0);
    QTest::mouseClick(ui->lbErrors->viewport(), Qt::LeftButton, {}, QPoint(5, last.bottom() + 20));
    QCOMPARE(ui->meZendric->textCursor().position(), 6);
  }

  void resizeRewrapsWithoutReading() {
    SetCode(u"ZN2. Fr+^ I+# Df+ Ac+ W+ H- S~"_s + u" X"_s);
    const int parses = w->ParseCount();
    const QStringList errors = {ui->lbErrors->Text(0)};
    auto heights = [this] {
      int sum = 0;
      for (QLabel* l : LabelsOf(*w)) sum += l->height();
      return sum;
    };
    const int wide = heights();
    w->resize(300, 315);
    QCOMPARE(w->ParseCount(), parses);
    QVERIFY2(heights() > wide, "narrower labels wrap into more lines");
    QCOMPARE(ui->Panel1->width(), ui->sbCodeList->viewport()->width());
    QCOMPARE(ui->lbErrors->count(), 1);
    QCOMPARE(ui->lbErrors->Text(0), errors.front());
    w->resize(558, 315);
    QCOMPARE(heights(), wide);
    QCOMPARE(w->ParseCount(), parses);
  }

  // A column taller than the box gets a scroll bar, and no label runs under it.
  void tallColumnScrollsWithoutClipping() {
    SetCode(u"ZN2. Fr+^ I+# Df+ Ac+ W+ H- S~ R* U! N! $-"_s);
    QApplication::processEvents();
    QVERIFY(ui->Panel1->height() > ui->sbCodeList->viewport()->height());
    QVERIFY(ui->sbCodeList->verticalScrollBar()->isVisible());
    QCOMPARE(ui->Panel1->width(), ui->sbCodeList->viewport()->width());
    for (QLabel* label : LabelsOf(*w)) QVERIFY(label->geometry().right() < ui->sbCodeList->viewport()->width());
  }

 private:
  int Panel1Children() const {
    return static_cast<int>(ui->Panel1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size());
  }
};

QTEST_MAIN(MainScreenTest)
#include "main_screen_test.moc"
