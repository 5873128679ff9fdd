// The reader window with codes of thousands of items and pastes of a megabyte: the
// result column keeps exact heights and shows the right labels wherever it is
// scrolled, labels are reused, the error list holds every message, and the edit field
// and the line splitting stay linear in the size of what was pasted.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <map>
#include <memory>

#include "CodeEdit.h"
#include "FieldModel.h"
#include "FoundCodeBar.h"
#include "CodeEdit.h"
#include "Controls.h"
#include "MainScreenForm.h"
#include "ReadingLists.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

// "ZN2.Dw" and then `count` items, item k made by `item(k)`.
QString CodeOf(int count, const std::function<QString(int)>& item) {
  QString code = u"ZN2.Dw"_s;
  for (int k = 0; k < count; ++k) code += u' ' + item(k);
  return code;
}

// Four texts over and over.
QString Repeated(int items) {
  static const QString cycle[] = {u"W+"_s, u"H-"_s, u"S~"_s, u"Ac+"_s};
  return CodeOf(items, [](int k) { return cycle[k % 4]; });
}
// No two lines alike, each of two display lines.
QString Distinct(int items) {
  return CodeOf(items, [](int k) { return u"Tc+[gadget number %1]"_s.arg(k); });
}
// No two alike, and of wide letters: wrapped into more rows than characters of average
// width would need.
QString WideDistinct(int items) {
  return CodeOf(items, [](int k) { return u"Tc+[WWWWWW MMMMMM WWWWWW MMMMMM WWWWWW MMMMMM WWWWWW %1]"_s.arg(k); });
}
// One, two and three display lines in turn, some wider than the window.
QString MultiLine(int items) {
  static const QString cycle[] = {u"A(r+v-)"_s, u"Fr\"lemon & lime\""_s, u"M+*3"_s, u"W+"_s};
  return CodeOf(items, [](int k) { return cycle[k % 4]; });
}

QString DisplayText(const std::string& line) { return QString::fromStdString(line).replace(u'\r', u'\n'); }

}  // namespace

class LargeWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;

  QScrollBar* Bar() const { return ui->sbCodeList->verticalScrollBar(); }

  void Paste(const QString& text) {
    QApplication::clipboard()->setText(text);
    ui->meZendric->paste();
  }

  // Every line's height is what a label of the column reports for its text at the
  // panel's width, and the lines are stacked with 5 pixels between every two.
  void CheckHeights() {
    const TResultColumn& column = w->ResultColumn();
    const auto& lines = Lines(w->Reading());
    QCOMPARE(column.LineCount(), lines.size());
    QVERIFY(column.AllMeasured());
    if (lines.empty()) {
      QCOMPARE(ui->Panel1->height(), 0);
      return;
    }
    auto* shown = qobject_cast<QLabel*>(w->CodeListControls().front());
    QVERIFY(shown);
    QLabel fresh;
    fresh.setFont(shown->font());
    fresh.setTextFormat(shown->textFormat());
    fresh.setWordWrap(shown->wordWrap());
    fresh.setContentsMargins(shown->contentsMargins());
    QHash<QString, int> byText;
    const int width = ui->Panel1->width();
    qint64 top = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const QString text = DisplayText(lines[i]);
      auto known = byText.find(text);
      if (known == byText.end()) {
        fresh.setText(text);
        known = byText.insert(text, fresh.heightForWidth(width));
      }
      QCOMPARE(column.LineHeight(i), *known);
      QCOMPARE(static_cast<qint64>(column.LineTop(i)), top);
      top += *known + TMainScreen::SeparatorHeight;
    }
    QCOMPARE(static_cast<qint64>(ui->Panel1->height()), top - TMainScreen::SeparatorHeight);
  }

  // The labels that exist are those of consecutive lines, in place, with separators
  // between them, and together they cover the visible part of the panel.
  void CheckShownPart() {
    const TResultColumn& column = w->ResultColumn();
    const auto& lines = Lines(w->Reading());
    const auto& controls = w->CodeListControls();
    QCOMPARE(static_cast<int>(ui->Panel1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size()),
             static_cast<int>(controls.size()));
    QCOMPARE(controls.size() % 2, std::size_t{1});
    const std::size_t first = column.FirstShownLine();
    const int width = ui->Panel1->width();
    for (std::size_t k = 0; k < controls.size(); ++k) {
      const std::size_t line = first + k / 2;
      QVERIFY(line < lines.size());
      QVERIFY(controls[k]->isVisible());
      if (k % 2 == 0) {
        auto* label = qobject_cast<QLabel*>(controls[k]);
        QVERIFY(label);
        QCOMPARE(label->text(), DisplayText(lines[line]));
        QCOMPARE(label->geometry(), QRect(0, column.LineTop(line), width, column.LineHeight(line)));
        QCOMPARE(label->heightForWidth(width), label->height());
      } else {
        QVERIFY(!qobject_cast<QLabel*>(controls[k]));
        QCOMPARE(controls[k]->geometry(), QRect(0, controls[k - 1]->geometry().bottom() + 1, width,
                                                TMainScreen::SeparatorHeight));
        QCOMPARE(controls[k + 1]->y(), controls[k]->geometry().bottom() + 1);
      }
    }
    const int viewTop = Bar()->value();
    const int viewBottom = std::min(viewTop + ui->sbCodeList->viewport()->height(), ui->Panel1->height());
    QVERIFY(controls.front()->y() <= viewTop);
    QVERIFY(controls.back()->geometry().bottom() + 1 >= viewBottom);
  }

  void ScrollTo(int value) {
    Bar()->setValue(value);
    QApplication::processEvents();
  }

  // The label whose line is at the top of the view, and how far into it the view starts.
  std::pair<std::size_t, int> TopOfView() const {
    const TResultColumn& column = w->ResultColumn();
    std::size_t line = column.FirstShownLine();
    while (line + 1 < column.LineCount() && column.LineTop(line + 1) <= Bar()->value()) ++line;
    return {line, Bar()->value() - column.LineTop(line)};
  }

 private slots:
  void init() {
    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() { w.reset(); }

  void longColumn_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("lines");
    QTest::newRow("four texts again and again") << Repeated(4000) << 4001;
    QTest::newRow("no two lines alike") << Distinct(3000) << 3001;
    QTest::newRow("one to three display lines") << MultiLine(3000) << 3001;
    QTest::newRow("just over the short column") << Repeated(TResultColumn::AllLabelsUpTo) << 201;
  }
  void longColumn() {
    QFETCH(QString, code);
    QFETCH(int, lines);
    ui->meZendric->setPlainText(code);
    QTRY_VERIFY(w->ResultColumn().AllMeasured());
    QApplication::processEvents();  // the scroll box shows its bar
    QCOMPARE(static_cast<int>(w->Reading().LineCount()), lines);
    CheckHeights();
    QVERIFY(ui->sbCodeList->verticalScrollBar()->isVisible());
    QCOMPARE(ui->Panel1->width(), ui->sbCodeList->viewport()->width());
    // A few views' worth of labels, never one per line.
    const int view = ui->sbCodeList->viewport()->height();
    const int labels = static_cast<int>(w->CodeListControls().size() + 1) / 2;
    QVERIFY2(labels <= 3 * view / w->ResultColumn().LineHeight(0) + 2, qPrintable(QString::number(labels)));

    for (int value : {0, Bar()->maximum() / 3, Bar()->maximum() / 2 + 7, Bar()->maximum() - 1, Bar()->maximum()}) {
      ScrollTo(value);
      CheckShownPart();
    }
    // At the end, the last line's label ends at the bottom of the view.
    auto* last = qobject_cast<QLabel*>(w->CodeListControls().back());
    QVERIFY(last);
    QCOMPARE(last->text(), DisplayText(Lines(w->Reading()).back()));
    QCOMPARE(last->geometry().bottom() + 1, ui->Panel1->height());
    QCOMPARE(last->mapTo(ui->sbCodeList->viewport(), QPoint(0, last->height())).y(), ui->sbCodeList->viewport()->height());
    // And back at the top, the first.
    ScrollTo(0);
    QCOMPARE(w->ResultColumn().FirstShownLine(), std::size_t{0});
    QCOMPARE(qobject_cast<QLabel*>(w->CodeListControls().front())->text(), DisplayText(Lines(w->Reading())[0]));
  }

  // A change keeps the labels of the lines in view as they are: the same objects,
  // with no text set again where the line did not change.
  void labelsAreReused_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("scrollTo");  // percent of the way down
    QTest::newRow("short column") << MultiLine(12) << 0;
    QTest::newRow("long column at the top") << Distinct(2000) << 0;
    QTest::newRow("long column in the middle") << Distinct(2000) << 50;
  }
  void labelsAreReused() {
    QFETCH(QString, code);
    QFETCH(int, scrollTo);
    ui->meZendric->setPlainText(code);
    QTRY_VERIFY(w->ResultColumn().AllMeasured());
    ScrollTo(Bar()->maximum() * scrollTo / 100);
    // The caret's item is scrolled into view as it moves: put it where the keys go first.
    ui->meZendric->moveCursor(QTextCursor::End);
    QApplication::processEvents();
    std::map<std::size_t, QPointer<QLabel>> before;
    for (std::size_t k = 0; k < w->CodeListControls().size(); k += 2)
      before[w->ResultColumn().FirstShownLine() + k / 2] = qobject_cast<QLabel*>(w->CodeListControls()[k]);
    const int parses = w->ParseCount();

    ui->meZendric->moveCursor(QTextCursor::End);
    QTest::keyClicks(ui->meZendric, u" H-"_s);  // three changes, one line more at the end
    QCOMPARE(w->ParseCount(), parses + 3);
    QTRY_VERIFY(w->ResultColumn().AllMeasured());
    CheckShownPart();
    int kept = 0;
    for (std::size_t k = 0; k < w->CodeListControls().size(); k += 2) {
      const auto was = before.find(w->ResultColumn().FirstShownLine() + k / 2);
      if (was == before.end()) continue;
      QVERIFY(was->second);  // not destroyed
      QCOMPARE(w->CodeListControls()[k], was->second.data());
      ++kept;
    }
    // Every line shown before and after kept its label (the view follows the caret to the
    // new last line, so a line at the top may have gone out of it).
    const std::size_t firstShown = w->ResultColumn().FirstShownLine();
    const std::size_t shown = (w->CodeListControls().size() + 1) / 2;
    int stillShown = 0;
    for (const auto& [line, label] : before) stillShown += line >= firstShown && line < firstShown + shown;
    QCOMPARE(kept, stillShown);
    QVERIFY(kept >= static_cast<int>(before.size()) - 2);
  }

  void resizeRewrapsALongColumn() {
    ui->meZendric->setPlainText(MultiLine(3000));
    QTRY_VERIFY(w->ResultColumn().AllMeasured());
    ScrollTo(Bar()->maximum() / 2);
    const int parses = w->ParseCount();
    const int tall = ui->Panel1->height();
    w->resize(300, 315);
    QTRY_VERIFY(w->ResultColumn().AllMeasured());
    QVERIFY(ui->Panel1->height() > tall);
    CheckHeights();
    CheckShownPart();
    w->resize(558, 315);
    QTRY_VERIFY(w->ResultColumn().AllMeasured());
    QCOMPARE(ui->Panel1->height(), tall);
    CheckShownPart();
    QCOMPARE(w->ParseCount(), parses);
  }

  // Heights measured after the column shows (above the view among them) move nothing
  // in view: the line at the top of the view stays where it is.
  void viewStaysPutWhileHeightsAreMeasured() {
    Paste(WideDistinct(20000));
    ScrollTo(Bar()->maximum() / 2);
    const bool measuring = !w->ResultColumn().AllMeasured();
    CheckShownPart();  // what is in view is measured at once
    const auto [line, offset] = TopOfView();
    QTRY_VERIFY_WITH_TIMEOUT(w->ResultColumn().AllMeasured(), 30000);
    const auto after = TopOfView();
    QCOMPARE(after.first, line);
    QCOMPARE(after.second, offset);
    CheckHeights();
    CheckShownPart();
    if (!measuring) qInfo("every height was measured before the column showed: only the end state was checked");
  }

  void megabytePastes_data() {
    QTest::addColumn<QString>("code");
    QTest::newRow("realistic items") << MultiLine(130000);
    QTest::newRow("stray characters") << u"ZN2.Dw "_s + QString(1 << 20, u'x');
  }
  void megabytePastes() {
    QFETCH(QString, code);
    QVERIFY(code.size() >= 1 << 20);
    const int parses = w->ParseCount();
    Paste(code);
    QCOMPARE(w->ParseCount(), parses + 1);
    const ParseResult want = ParseCode(code.toStdString());
    QCOMPARE(w->Reading().LineCount(), want.LineCount());
    QCOMPARE(w->Reading().MessageCount(), want.MessageCount());
    QCOMPARE(w->ResultColumn().LineCount(), want.LineCount());
    QCOMPARE(ui->lbErrors->count(), static_cast<int>(want.MessageCount()));
    QVERIFY(ui->lbErrors->isVisible() == (want.MessageCount() > 0));
    QTRY_VERIFY_WITH_TIMEOUT(w->ResultColumn().AllMeasured(), 30000);
    CheckHeights();
    ScrollTo(Bar()->maximum());
    CheckShownPart();
    if (want.MessageCount() == 0) return;

    // The last message, at the end of the list, puts the caret where it was found.
    const int last = ui->lbErrors->count() - 1;
    QCOMPARE(ui->lbErrors->Text(0), QString::fromStdString(Messages(want).front()));
    QCOMPARE(ui->lbErrors->Text(last), QString::fromStdString(Messages(want).back()));
    ui->lbErrors->scrollToBottom();
    QTest::mouseClick(ui->lbErrors->viewport(), Qt::LeftButton, {}, ui->lbErrors->RowRect(last).center());
    QCOMPARE(ui->lbErrors->currentRow(), last);
    auto* field = static_cast<TCodeEdit*>(ui->meZendric);
    QCOMPARE(field->ModelOffset(field->textCursor().position()),
             FieldModel(field->ModelText()).PlaceOf(want.MessageCount() - 1).Caret);
    QCOMPARE(w->ParseCount(), parses + 1);
  }

  // A reading of LargeReading lines and messages is let go before the next one is made:
  // what shows after a key is all the next one's, the reading stays scrolled where it
  // was, and the codes of the other lines are found again from the text before the key.
  void aKeyAfterALargeReading() {
    const QString large = MultiLine(int(TMainScreen::LargeReading) / 2) + u" X"_s + QString(60000, u'{');
    ui->meZendric->setPlainText(u"ZN2.Dw Gm \n"_s + large);
    const auto* bar = Named<TFoundCodeBar>(w.get(), "pnFound");
    QCOMPARE(bar->Codes().size(), std::size_t{2});
    QVERIFY2(w->Reading().LineCount() + w->Reading().MessageCount() >= TMainScreen::LargeReading,
             qPrintable(u"%1 lines, %2 messages"_s.arg(w->Reading().LineCount()).arg(w->Reading().MessageCount())));
    ScrollTo(Bar()->maximum() / 2);
    const int scrolled = Bar()->value();
    QTextCursor end(ui->meZendric->document()->firstBlock());
    end.movePosition(QTextCursor::EndOfBlock);  // after the blank
    ui->meZendric->setTextCursor(end);
    QTest::keyClicks(ui->meZendric, u"L4m"_s);
    auto* field = static_cast<TCodeEdit*>(ui->meZendric);
    const ParseResult want = ParseCode(CodeOfField(field->ModelText()));
    QCOMPARE(w->Reading().LineCount(), want.LineCount());
    QCOMPARE(ui->lbErrors->count(), static_cast<int>(want.MessageCount()));
    QCOMPARE(w->ResultColumn().LineCount(), want.LineCount());
    QCOMPARE(Bar()->value(), scrolled);
    QCOMPARE(bar->Codes().size(), std::size_t{2});
    QCOMPARE(QString::fromStdString(bar->Codes().front().Found.Code), u"ZN2.Dw Gm L4m"_s);
  }

  // All rows have one height, and each is wide enough for its message.
  void errorRowsHoldTheirMessages() {
    ui->meZendric->setPlainText(u"ZN2.Dw W+ xy Wq M+*3q O(ra+2v--)x ZZ"_s + u" Tc+[engines"_s);
    QVERIFY(ui->lbErrors->count() >= 5);
    const int height = ui->lbErrors->RowRect(0).height();
    QVERIFY(height > 0);
    for (int row = 0; row < ui->lbErrors->count(); ++row) {
      const QRect rect = ui->lbErrors->RowRect(row);
      QCOMPARE(rect.height(), height);
      QVERIFY2(ui->lbErrors->fontMetrics().horizontalAdvance(ui->lbErrors->Text(row)) < rect.width(),
               qPrintable(ui->lbErrors->Text(row)));
    }
  }

  // Word wrap breaks between words, except while the field holds a run without blanks
  // of over TCodeEdit::LongRun characters.
  void editFieldWrapMode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("anywhere");
    const int run = TCodeEdit::LongRun;
    QTest::newRow("a code") << Repeated(40) << false;
    QTest::newRow("the longest run that wraps by words") << u"ZN2. "_s + QString(run, u'x') << false;
    QTest::newRow("one character more") << u"ZN2. "_s + QString(run + 1, u'x') << true;
    QTest::newRow("long, with blanks between") << (QString(run, u'x') + u' ').repeated(4) << false;
    QTest::newRow("on a later line") << u"ZN2. W+\nH-\n"_s + QString(run + 1, u'x') << true;
    QTest::newRow("tabs are blanks too") << (QString(run, u'x') + u'\t').repeated(3) << false;
  }
  void editFieldWrapMode() {
    QFETCH(QString, text);
    QFETCH(bool, anywhere);
    const auto wraps = [this] { return ui->meZendric->wordWrapMode(); };
    const auto wordWrap = QTextOption::WrapAtWordBoundaryOrAnywhere;
    const auto expected = anywhere ? QTextOption::WrapAnywhere : wordWrap;
    Paste(text);
    QCOMPARE(wraps(), expected);
    ui->meZendric->selectAll();
    QTest::keyClick(ui->meZendric, Qt::Key_Delete);
    QCOMPARE(wraps(), wordWrap);
    ui->meZendric->undo();  // brings the run back without a paste
    QCOMPARE(wraps(), expected);
    ui->meZendric->setPlainText(u"ZN2. W+"_s);
    QCOMPARE(wraps(), wordWrap);
    ui->meZendric->setPlainText(text);
    QCOMPARE(wraps(), expected);
    // Every line of the field is laid out within its width.
    QTextDocument* document = ui->meZendric->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
      document->documentLayout()->blockBoundingRect(block);  // lays the block out
      QVERIFY(block.layout()->lineCount() > 0);
      for (int i = 0; i < block.layout()->lineCount(); ++i)
        QVERIFY(block.layout()->lineAt(i).naturalTextWidth() <= ui->meZendric->viewport()->width());
    }
  }

  // A paste of one long run, and one of many line separators, cost about what a paste
  // of the same length of ordinary items does (word by word, the run took 25 times
  // as long; the separators, one reading of the rest of the line per separator).
  void largePastesTakeLinearTime() {
    const int size = 300000;
    const auto pasteTime = [this](const QString& text) {
      ui->meZendric->clear();
      QElapsedTimer clock;
      clock.start();
      Paste(text);
      const qint64 ms = clock.elapsed();
      ui->meZendric->clear();
      return std::max<qint64>(ms, 1);
    };
    QString items = u"ZN2."_s;
    while (items.size() < size) items += u" W+ H- S~ Ac+"_s;
    QString separated = items;
    for (qsizetype at = 40; at < separated.size(); at += 40) separated[at] = QChar::LineSeparator;

    const qint64 ordinary = pasteTime(items);
    const qint64 run = pasteTime(u"ZN2. "_s + QString(size, u'x'));
    const qint64 separators = pasteTime(separated);
    const QString times = u"ordinary %1 ms, one run %2 ms, separators %3 ms"_s.arg(ordinary).arg(run).arg(separators);
    QVERIFY2(run < 6 * ordinary + 50, qPrintable(times));
    QVERIFY2(separators < 6 * ordinary + 50, qPrintable(times));
  }

  // U+2028 is a character of the code, which the field shows as a line break.
  void manyLineSeparatorsStayInTheCode() {
    QString text = u"ZN2."_s;
    for (int k = 0; k < 3000; ++k) text += u" W+"_s + QChar::LineSeparator + u"H-"_s;
    const int parses = w->ParseCount();
    Paste(text);
    QCOMPARE(w->ParseCount(), parses + 1);
    auto* field = static_cast<TCodeEdit*>(ui->meZendric);
    QCOMPARE(QString::fromStdU16String(field->ModelText()), text);
    QCOMPARE(field->ModelOffset(field->textCursor().position()), text.size());
    const ParseResult want = ParseCode(text.toStdString());
    QCOMPARE(Lines(w->Reading()), Lines(want));
    QCOMPARE(Messages(w->Reading()), Messages(want));
    ui->meZendric->undo();
    QVERIFY(ui->meZendric->toPlainText().isEmpty());
  }
};

QTEST_MAIN(LargeWindowTest)
#include "large_window_test.moc"
