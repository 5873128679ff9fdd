// The code field: lines break at blanks only while the code has blanks, and an empty
// field shows a hint.
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <memory>

#include "CodeEdit.h"
#include "Controls.h"
#include "FieldModel.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

class CodeFieldTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;

  // The field's display lines, as laid out now.
  QStringList DisplayLines() const { return DisplayLinesOf(ui->meZendric); }
  static QStringList DisplayLinesOf(QPlainTextEdit* field) {
    QStringList lines;
    for (QTextBlock block = field->document()->begin(); block.isValid(); block = block.next()) {
      field->document()->documentLayout()->blockBoundingRect(block);  // laid out as for painting
      const QTextLayout* layout = block.layout();
      for (int i = 0; i < layout->lineCount(); ++i)
        lines << block.text().mid(layout->lineAt(i).textStart(), layout->lineAt(i).textLength());
    }
    return lines;
  }

 private slots:
  void init() {
    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() { w.reset(); }

  void wrapsAtBlanksOnly_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("width");  // of the window
    QTest::addColumn<bool>("anywhere");  // a run over the long-run limit: breaks anywhere
    const QString every = u"ZN2.Dw+Hew Gm/f L12m6t20w W- T2t Cgr^|bk,bye+ Bfl|/sm# A(r++v-) J~ M+2 O(r+3v?) "
                          "Nm H+ $- Fc/v+ Pl4wt Sks,wl Tc++[alchemy] V++ Q- Fr+^ Ac+ Df+ R* S? U! I+#"_s;
    QTest::newRow("every tag, default width") << every << 558 << false;
    QTest::newRow("every tag, narrow") << every << 380 << false;
    QTest::newRow("every tag, very narrow") << every << 290 << false;
    QTest::newRow("Tc++ at the edge") << u"ZN2.Dw Gm Tc++ Tc++ Tc++ Tc++ Tc++ Tc++ Tc++ Tc++ Tc++"_s << 310 << false;
    QTest::newRow("a run wider than a line") << u"ZN2.Dw "_s + QString(60, u'+') + u" Gm"_s << 340 << false;
    QTest::newRow("tabs are blanks") << u"ZN2.Dw\tGm\tTc++\tW+\tH-\tFc/v+\tPl4wt\tSks,wl"_s << 310 << false;
    QString twelve = u"ZN2.Dw+Hew"_s;
    for (int i = 0; i < 12; ++i) twelve += u" Gm/f L12m6t20w W- Cgr^|bk,bye+ Bfl|/sm# A(r++v-) Fc/v+"_s;
    QTest::newRow("many lines") << twelve << 558 << false;
    QTest::newRow("over the long-run limit") << u"ZN2."_s + QString(TCodeEdit::LongRun + 1, u'+') << 300 << true;
  }
  void wrapsAtBlanksOnly() {
    QFETCH(QString, code);
    QFETCH(int, width);
    QFETCH(bool, anywhere);
    w->resize(width, 315);
    QApplication::processEvents();  // the field takes its width first
    w->ReplaceCode(code);
    QApplication::processEvents();
    const QStringList lines = DisplayLines();
    QVERIFY(lines.size() > 1 || width >= 558);
    QCOMPARE(lines.join(QString()), code);
    if (anywhere) {
      QCOMPARE(ui->meZendric->wordWrapMode(), QTextOption::WrapAnywhere);
      return;
    }
    const int room = ui->meZendric->viewport()->width();
    const QFontMetrics metrics(ui->meZendric->font());
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
      const QString& line = lines[i];
      const bool endsAfterBlank = line.back() == u' ' || line.back() == u'\t';
      // A line may end inside a word only when the word alone is wider than a line.
      const bool runTooWide = !line.contains(u' ') && !line.contains(u'\t');
      QVERIFY2(endsAfterBlank || runTooWide, qPrintable(u"line %1: [%2]"_s.arg(i).arg(line)));
      // And no line runs out of the field.
      if (!runTooWide) QVERIFY2(metrics.horizontalAdvance(line.trimmed()) <= room, qPrintable(line));
    }
  }

  // Past BlankBreakingUpTo characters in all, even short paragraphs keep the toolkit's
  // breaks (here after a "/" inside a word), which cost no measuring of every word.
  void longTextKeepsTheToolkitBreaks_data() {
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("atBlanks");
    QTest::newRow("within") << 1 << true;
    QTest::newRow("beyond") << TCodeEdit::BlankBreakingUpTo / 20 + 1 << false;
  }
  void longTextKeepsTheToolkitBreaks() {
    QFETCH(int, copies);
    QFETCH(bool, atBlanks);
    w->resize(290, 315);
    QApplication::processEvents();
    const QString first = u"ZN2.Dw Gm"_s + u"/ff"_s.repeated(80);  // wider than the field
    w->ReplaceCode(first + u"\nZN2.Dw Gm W+ H- S~ Ac+"_s.repeated(copies - 1));
    QTest::qWait(50);  // the window settles on its size (the found-code bar shows)
    QTextBlock block = ui->meZendric->document()->begin();
    // Laid out as for painting (the field shows its end, where the caret is).
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(ui->meZendric->document()->documentLayout());
    QVERIFY(layout);
    layout->ensureBlockLayout(block);
    layout->blockBoundingRect(block);
    const QTextLine line = block.layout()->lineAt(0);
    QVERIFY(block.layout()->lineCount() > 1);
    QCOMPARE(block.text().mid(line.textStart(), line.textLength()) == u"ZN2.Dw "_s, atBlanks);
  }

  // A code given at start-up is in the field before the window has its size.
  void codeGivenBeforeTheWindowShows() {
    TMainScreen early;
    QString code = u"ZN2.Dw"_s;
    for (int i = 0; i < 40; ++i) code += u" Gm/f L12m6t20w"_s;
    early.ReplaceCode(code);
    early.show();
    QVERIFY(QTest::qWaitForWindowExposed(&early));
    QPlainTextEdit* field = ReaderControls(early).meZendric;
    const QStringList lines = DisplayLinesOf(field);
    QVERIFY(lines.size() > 3);
    const QFontMetrics metrics(field->font());
    for (const QString& line : lines) QVERIFY2(metrics.horizontalAdvance(line.trimmed()) <= field->viewport()->width(), qPrintable(line));
  }

  // Typing in the middle, and undo, keep the breaks at blanks.
  void editsKeepTheBreaks() {
    w->resize(360, 315);
    w->ReplaceCode(u"ZN2.Dw Gm Tc++[alchemy] Cgr^|bk,bye+ Bfl|/sm# A(r++v-)"_s);
    ui->meZendric->setFocus();
    ui->meZendric->moveCursor(QTextCursor::Start);
    for (int i = 0; i < 7; ++i) ui->meZendric->moveCursor(QTextCursor::NextCharacter);
    QTest::keyClicks(ui->meZendric, u"W+ H- "_s);
    for (const QString& line : DisplayLines().mid(0, DisplayLines().size() - 1))
      QVERIFY2(line.endsWith(u' ') || !line.contains(u' '), qPrintable(line));
    QTest::keyClick(ui->meZendric, Qt::Key_Z, Qt::ControlModifier);
    for (const QString& line : DisplayLines().mid(0, DisplayLines().size() - 1))
      QVERIFY2(line.endsWith(u' ') || !line.contains(u' '), qPrintable(line));
  }

  // A long line is held in pieces; the code, its positions, copies and edits at the
  // breaks between them are those of one line. Each row pastes `text` and then makes
  // the edit at `at` (a code offset): `keys` typed, or Backspace / Delete.
  void longLinesInPieces_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("at");
    QTest::addColumn<QString>("keys");  // "\b" Backspace, "\x7f" Delete, "\n" Enter
    const QString braces = u"ZN2.Dw"_s + QString(300000, u'{');
    QString items = u"ZN2.Dw"_s;
    while (items.size() < 100000) items += u" Gm W+ H-"_s;
    QTest::newRow("typed in the middle") << braces << 150000 << u"x"_s;
    QTest::newRow("backspace at a break") << braces << -1 << u"\b"_s;
    QTest::newRow("delete at a break") << braces << -1 << u"\x7f"_s;
    QTest::newRow("enter at a break") << braces << -1 << u"\n"_s;
    QTest::newRow("enter, then typed") << items << 50001 << u"\nZN2.Dw"_s;
    QTest::newRow("lines around it") << u"ZN2.Dw Gm\n"_s + items + u"\nZN2.Dw Gf"_s << 20 << u"y"_s;
  }
  void longLinesInPieces() {
    QFETCH(QString, text);
    QFETCH(int, at);
    QFETCH(QString, keys);
    auto* field = static_cast<TCodeEdit*>(ui->meZendric);
    field->setFocus();
    QApplication::clipboard()->setText(text);
    field->paste();
    QVERIFY(field->document()->blockCount() > text.count(u'\n') + 1);  // held in pieces
    for (QTextBlock block = field->document()->begin(); block.isValid(); block = block.next())
      QVERIFY(block.length() <= TCodeEdit::LongParagraph);
    QCOMPARE(QString::fromStdU16String(field->ModelText()), text);

    // Every code offset and back; a break's two sides are one offset.
    QTextBlock second = field->document()->begin().next();
    while (!TCodeEdit::ContinuesLine(second)) second = second.next();
    const int breakAt = field->ModelOffset(second.position());
    QCOMPARE(field->ModelOffset(second.position() - 1), breakAt);
    QCOMPARE(field->FieldPosition(breakAt), second.position() - 1);
    QCOMPARE(field->FieldPosition(breakAt, true), second.position());
    for (int offset : {0, 1, breakAt - 1, breakAt + 1, static_cast<int>(text.size())})
      QCOMPARE(field->ModelOffset(field->FieldPosition(offset)), offset);

    // A copy across the break holds the code as it is.
    QTextCursor select(field->document());
    select.setPosition(field->FieldPosition(breakAt - 3));
    select.setPosition(field->FieldPosition(breakAt + 3), QTextCursor::KeepAnchor);
    field->setTextCursor(select);
    field->copy();
    QCOMPARE(QApplication::clipboard()->text(), text.mid(breakAt - 3, 6));

    const int offset = at < 0 ? breakAt : at;
    QTextCursor caret(field->document());
    caret.setPosition(field->FieldPosition(offset, true));
    field->setTextCursor(caret);
    QString want = text;
    int place = offset;
    for (QChar key : keys) {
      if (key == u'\b') {
        QTest::keyClick(field, Qt::Key_Backspace);
        want.remove(--place, 1);
      } else if (key == u'\x7f') {
        QTest::keyClick(field, Qt::Key_Delete);
        want.remove(place, 1);
      } else if (key == u'\n') {
        QTest::keyClick(field, Qt::Key_Return);
        want.insert(place++, u'\n');
      } else {
        QTest::keyClicks(field, QString(key));
        want.insert(place++, key);
      }
    }
    QCOMPARE(QString::fromStdU16String(field->ModelText()), want);
    QCOMPARE(field->ModelOffset(field->textCursor().position()), place);
    QCOMPARE(w->Reading().LineCount(), FieldModel(want.toStdU16String()).Reading().LineCount());
    if (keys.size() > 1) return;
    field->undo();  // one key, one step back
    QCOMPARE(QString::fromStdU16String(field->ModelText()), text);
  }

  // A line in pieces replaced by another keeps its first block a line's start, and the
  // code then has no line end at the breaks: replaced whole, from its start or from a
  // break to the end, by the program or typed over.
  void replacedPiecesStartALine_data() {
    QTest::addColumn<int>("from");  // a code offset; -1: the first break
    QTest::addColumn<bool>("typed");
    QTest::newRow("whole line") << 0 << false;
    QTest::newRow("whole line, typed over") << 0 << true;
    QTest::newRow("from a break") << -1 << false;
  }
  void replacedPiecesStartALine() {
    QFETCH(int, from);
    QFETCH(bool, typed);
    auto* field = static_cast<TCodeEdit*>(ui->meZendric);
    field->setFocus();
    const QString text = u"ZN2.Dw"_s + QString(100000, u'{');
    w->ReplaceCode(text);
    QTextBlock piece = field->document()->begin().next();
    QVERIFY(TCodeEdit::ContinuesLine(piece));
    const int start = from < 0 ? field->ModelOffset(piece.position()) : from;
    QTextCursor select(field->document());
    select.setPosition(field->FieldPosition(start, true));
    select.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    const QString added = typed ? u"x"_s : QString(100000, u'"');
    if (typed) {
      field->setTextCursor(select);
      QTest::keyClicks(field, added);
    } else {
      field->InsertText(select, added);
    }
    QCOMPARE(QString::fromStdU16String(field->ModelText()), text.left(start) + added);
    QTest::keyClicks(field, u"yz"_s);
    QCOMPARE(QString::fromStdU16String(field->ModelText()), text.left(start) + added + u"yz"_s);
  }

  // Arrow keys pass a break between pieces in one press, as they pass a character.
  void arrowsPassABreakInOneKey_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("from");  // code offsets, from the break
    QTest::addColumn<int>("to");
    QTest::newRow("right onto it") << int(Qt::Key_Right) << -1 << 0;
    QTest::newRow("right from it") << int(Qt::Key_Right) << 0 << 1;
    QTest::newRow("left onto it") << int(Qt::Key_Left) << 1 << 0;
    QTest::newRow("left from it") << int(Qt::Key_Left) << 0 << -1;
  }
  void arrowsPassABreakInOneKey() {
    QFETCH(int, key);
    QFETCH(int, from);
    QFETCH(int, to);
    auto* field = static_cast<TCodeEdit*>(ui->meZendric);
    field->setFocus();
    w->ReplaceCode(u"ZN2.Dw"_s + QString(100000, u'{'));
    QTextBlock piece = field->document()->begin().next();
    QVERIFY(TCodeEdit::ContinuesLine(piece));
    const int breakAt = field->ModelOffset(piece.position());
    QTextCursor caret(field->document());
    caret.setPosition(field->FieldPosition(breakAt + from, key == Qt::Key_Right));
    field->setTextCursor(caret);
    QTest::keyClick(field, Qt::Key(key));
    QCOMPARE(field->ModelOffset(field->textCursor().position()), breakAt + to);
    QTest::keyClick(field, Qt::Key(key));
    QCOMPARE(field->ModelOffset(field->textCursor().position()), breakAt + to + (key == Qt::Key_Right ? 1 : -1));
  }

  // The hint shows in the empty field and nowhere else; it is no text of the field.
  void emptyFieldShowsAHint() {
    QCOMPARE(ui->meZendric->placeholderText(), u"Type or paste a Zendric 2 code, e.g. ZN2.Dw Gm L12m"_s);
    QVERIFY(ui->meZendric->toPlainText().isEmpty());
    QCOMPARE(w->ParseCount(), 0);
    auto ink = [this] {
      const QImage image = ui->meZendric->viewport()->grab().toImage();
      const QRgb ground = image.pixel(image.width() - 2, image.height() - 2);
      int n = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != ground;
      return n;
    };
    QVERIFY(ink() > 100);  // the hint is drawn
    QTest::keyClicks(ui->meZendric, u"Z"_s);
    QVERIFY(ink() < 100);  // one letter and the caret
  }
};

QTEST_MAIN(CodeFieldTest)
#include "code_field_test.moc"
