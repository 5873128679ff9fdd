// The map between the code and its reading in the window: the caret's item lights its
// lines, a line's item is marked and selected in the field, an error row marks its item.
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "Controls.h"
#include "ErrorMarks.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace Qt::StringLiterals;
using zendric::testing::ReaderControls;

namespace {

// Field text with '\n' between lines, as the field keeps them.
void SetField(QPlainTextEdit* field, const QString& text) { field->setPlainText(text); }

}  // namespace

class ItemMapTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;

  void PutCaret(int offset) {
    QTextCursor caret = ui->meZendric->textCursor();
    caret.setPosition(offset);
    ui->meZendric->setTextCursor(caret);
  }

  // The lines whose labels are lit, as [first, last); every label of them lit and no other.
  std::pair<std::size_t, std::size_t> LitLines() const {
    const TResultColumn& column = w->ResultColumn();
    std::size_t first = 0, last = 0;
    const auto& controls = w->CodeListControls();
    for (std::size_t k = 0; k < controls.size(); k += 2) {
      const std::size_t line = column.FirstShownLine() + k / 2;
      if (!column.IsLit(qobject_cast<QLabel*>(controls[k]))) continue;
      if (first == last) first = line;
      last = line + 1;
    }
    return {first, last};
  }

  QLabel* LabelOf(std::size_t line) const {
    return qobject_cast<QLabel*>(w->CodeListControls().at(2 * (line - w->ResultColumn().FirstShownLine())));
  }

 private slots:
  void init() {
    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() { w.reset(); }

  void caretLightsItsLines_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    const QString oneLine = u"ZN2.Dw Gm L12m"_s;
    QTest::newRow("one line: in the species item") << oneLine << 2 << 0 << 1;
    QTest::newRow("one line: at the start of Gm") << oneLine << 7 << 1 << 2;
    QTest::newRow("one line: inside Gm") << oneLine << 8 << 1 << 2;
    QTest::newRow("one line: just after the last item") << oneLine << 14 << 2 << 3;
    QTest::newRow("one line: just before a blank") << u"ZN2.Dw  Gm"_s << 6 << 0 << 1;
    QTest::newRow("one line: between two blanks") << u"ZN2.Dw  Gm"_s << 7 << 0 << 0;
    QTest::newRow("one line: an item that writes nothing") << u"ZN2. x Gm"_s << 6 << 0 << 0;
    // The join takes the line breaks out: the code is "ZN2.DwGmL12m".
    const QString lines = u"ZN2.Dw\nGm\nL12m"_s;
    QTest::newRow("lines: inside Gm") << lines << 8 << 1 << 2;
    QTest::newRow("lines: start of the third line") << lines << 10 << 1 << 2;  // after the m of Gm
    QTest::newRow("lines: inside L12m") << lines << 11 << 2 << 3;
    // the join puts G right after w: the caret after w goes on with what it follows
    QTest::newRow("lines: end of the first line") << lines << 6 << 0 << 1;
    QTest::newRow("lines: inside Dw") << lines << 5 << 0 << 1;
    // The dragon is one code position and two units of the field.
    QTest::newRow("above U+FFFF before the item") << u"ZN2.Dw \U0001F409 Gm"_s << 11 << 1 << 2;
  }
  void caretLightsItsLines() {
    QFETCH(QString, field);
    QFETCH(int, caret);
    QFETCH(int, first);
    QFETCH(int, last);
    SetField(ui->meZendric, field);
    PutCaret(caret);
    QCOMPARE(w->ResultColumn().HighlightFirst(), static_cast<std::size_t>(first));
    QCOMPARE(w->ResultColumn().HighlightLast(), static_cast<std::size_t>(last));
    QCOMPARE(LitLines(), std::make_pair(static_cast<std::size_t>(first), static_cast<std::size_t>(last)));
  }

  // Typing follows: the item being typed stays lit as the reading changes under it.
  void litLinesFollowEdits() {
    SetField(ui->meZendric, u"ZN2.Dw Gm"_s);
    ui->meZendric->moveCursor(QTextCursor::End);
    QTest::keyClicks(ui->meZendric, u" L12m"_s);
    QCOMPARE(LitLines(), std::make_pair(std::size_t{2}, std::size_t{3}));
    ui->meZendric->moveCursor(QTextCursor::Start);
    QTest::keyClicks(ui->meZendric, u"x "_s);  // no prefix any more: no lines at all
    QCOMPARE(LitLines(), std::make_pair(std::size_t{0}, std::size_t{0}));
  }

  // In a long reading the caret's line is scrolled into view.
  void litLinesScrollIntoView() {
    QString code = u"ZN2.Dw"_s;
    for (int k = 0; k < 150; ++k) code += u" Tc+[gadget %1]"_s.arg(k);
    SetField(ui->meZendric, code);
    ui->meZendric->moveCursor(QTextCursor::End);
    QApplication::processEvents();
    QCOMPARE(w->ResultColumn().HighlightFirst(), std::size_t{150});
    const QRect view = ui->sbCodeList->viewport()->rect();
    QLabel* label = LabelOf(150);
    const QRect shown(label->mapTo(ui->sbCodeList->viewport(), QPoint(0, 0)), label->size());
    QVERIFY2(view.contains(shown), qPrintable(u"label at %1..%2, view %3"_s.arg(shown.top()).arg(shown.bottom()).arg(view.height())));
    PutCaret(0);
    QCOMPARE(ui->sbCodeList->verticalScrollBar()->value(), 0);
  }

  void clickOnLineSelectsItsItem_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("selected");
    QTest::newRow("one line") << u"ZN2.Dw Gm L12m"_s << 1 << u"Gm"_s;
    QTest::newRow("the species item") << u"ZN2.Dw{Gm} W+"_s << 0 << u"ZN2.Dw{Gm}"_s;
    QTest::newRow("over a line break") << u"ZN2.Dw Cbl\n|re W+"_s << 1 << u"Cbl\u2029|re"_s;
    QTest::newRow("above U+FFFF") << u"ZN2.Dw Fr\"\U0001F409\" W+"_s << 1 << u"Fr\"\U0001F409\""_s;
  }
  void clickOnLineSelectsItsItem() {
    QFETCH(QString, field);
    QFETCH(int, line);
    QFETCH(QString, selected);
    SetField(ui->meZendric, field);
    QLabel* label = LabelOf(static_cast<std::size_t>(line));
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, label->height() / 2));
    QCOMPARE(ui->meZendric->textCursor().selectedText(), selected);
    // and the caret's item is the line clicked
    QCOMPARE(w->ResultColumn().HighlightFirst(), static_cast<std::size_t>(line));
  }

  void hoverMarksTheItem() {
    SetField(ui->meZendric, u"ZN2.Dw Gm L12m"_s);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(LabelOf(2), &enter);
    QCOMPARE(w->HoverMark().Start, 10);
    QCOMPARE(w->HoverMark().End, 14);
    QCOMPARE(ui->meZendric->extraSelections().size(), 1);
    QCOMPARE(ui->meZendric->extraSelections().front().cursor.selectedText(), u"L12m"_s);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(LabelOf(2), &leave);
    QCOMPARE(w->HoverMark().End, 0);
    QVERIFY(ui->meZendric->extraSelections().isEmpty());
  }

  void errorRowMarksItsItem_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("item");
    QTest::newRow("a bad unit") << u"ZN2.Dw L12x Gm"_s << 0 << u"L12x"_s;
    QTest::newRow("a stray character") << u"ZN2.Dw ? Gm"_s << 0 << u"?"_s;
    QTest::newRow("inside a form block") << u"ZN2.Dw{x} W+"_s << 0 << u"ZN2.Dw{x}"_s;
    QTest::newRow("above U+FFFF") << u"ZN2.Dw \U0001F409 Gm"_s << 0 << u"\U0001F409"_s;
    QTest::newRow("no prefix: no item") << u"ZX"_s << 0 << QString();
  }
  void errorRowMarksItsItem() {
    QFETCH(QString, field);
    QFETCH(int, row);
    QFETCH(QString, item);
    SetField(ui->meZendric, field);
    ui->lbErrors->setCurrentRow(row);
    QCOMPARE(ui->lbErrors->ItemText(row), item);
    const QModelIndex index = ui->lbErrors->model()->index(row, 0);
    if (item.isEmpty()) {
      // no item line: at most what the place expects
      QVERIFY(!index.data(Qt::ToolTipRole).toString().startsWith(u'\n'));
      QCOMPARE(w->ErrorItemMark().End, 0);
      QVERIFY(ui->meZendric->extraSelections().isEmpty());
      return;
    }
    // the item first; what the item expects follows on lines of its own
    QCOMPARE(index.data(Qt::ToolTipRole).toString().section(u'\n', 0, 0), item);
    QCOMPARE(ui->meZendric->extraSelections().size(), 1);
    QCOMPARE(ui->meZendric->extraSelections().front().cursor.selectedText(), item);
    QCOMPARE(w->ErrorMarks().Marks().empty(), false);  // the wave stays beside the mark
  }
};

QTEST_MAIN(ItemMapTest)
#include "item_map_test.moc"
