// Hostile megabytes in the window: how a long result line is cut into labels, how a
// long message is shown, and the window given error-heavy pastes: each finishes, a key
// in it costs a bounded multiple of a key in ordinary items of the same size, and once
// the column is settled nothing runs until the next change.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStyleHints>
#include <QTextBlock>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <fstream>
#include <memory>
#include <random>
#include <unistd.h>

#include "CodeEdit.h"
#include "ErrorList.h"
#include "MainScreenForm.h"
#include "ProcessMemory.h"

using namespace zendric;
using namespace Qt::StringLiterals;

namespace {

using Piece = TResultColumn::Piece;
using Ranges = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

Ranges Cut(const std::string& line) {
  std::vector<Piece> pieces;
  TResultColumn::CutIntoPieces(line, 7, pieces);
  Ranges ranges;
  for (const Piece& p : pieces) {
    if (p.Line != 7) return {};
    ranges.emplace_back(p.From, p.To);
  }
  return ranges;
}

std::string Repeat(std::string_view part, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += part;
  return text;
}

constexpr std::size_t Rows = TResultColumn::PieceRows, Bytes = TResultColumn::PieceBytes;

// This process's resident memory in bytes.
double Resident() {
  std::ifstream statm("/proc/self/statm");
  double size = 0, resident = 0;
  statm >> size >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Counts paints of the widgets it watches.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

class WindowLoadTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;

  QPlainTextEdit* Field() const { return w->findChild<QPlainTextEdit*>(); }

  void Paste(const std::string& code) {
    QApplication::clipboard()->setText(QString::fromUtf8(code.data(), static_cast<qsizetype>(code.size())));
    Field()->paste();
  }

  // Milliseconds for a letter typed at the end and taken back, painted.
  qint64 KeyTime() {
    QElapsedTimer clock;
    clock.start();
    for (const bool typing : {true, false}) {
      QTextCursor cursor(Field()->document());
      cursor.movePosition(QTextCursor::End);
      if (typing) cursor.insertText(u"x"_s);
      else cursor.deletePreviousChar();
      QApplication::processEvents();
    }
    return std::max<qint64>(clock.elapsed(), 1);
  }

 private slots:
  void init() {
    w = std::make_unique<TMainScreen>();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    Field()->setFocus();  // where the caret blinks
  }
  void cleanup() { w.reset(); }

  void cutIntoPieces_data() {
    QTest::addColumn<std::string>("line");
    QTest::addColumn<Ranges>("pieces");
    QTest::newRow("empty") << std::string() << Ranges{{0, 0}};
    QTest::newRow("short") << std::string("I am a dragon") << Ranges{{0, 13}};
    QTest::newRow("as many rows as fit") << Repeat("a\r", Rows - 1) + "a" << Ranges{{0, 2 * Rows - 1}};
    QTest::newRow("a row more: cut at its break") << Repeat("\r", Rows) << Ranges{{0, Rows - 1}, {Rows, Rows}};
    QTest::newRow("ends in a break") << std::string("a\r") << Ranges{{0, 2}};
    QTest::newRow("a million empty rows")
        << Repeat("\r", 3 * Rows - 1) << Ranges{{0, Rows - 1}, {Rows, 2 * Rows - 1}, {2 * Rows, 3 * Rows - 1}};
    QTest::newRow("long run: cut at the byte limit") << std::string(Bytes + 10, 'x') << Ranges{{0, Bytes}, {Bytes, Bytes + 10}};
    QTest::newRow("after a blank in the second half")
        << std::string(3000, 'x') + " " + std::string(2000, 'y') << Ranges{{0, 3001}, {3001, 5001}};
    QTest::newRow("a blank in the first half is not used")
        << std::string(100, 'x') + " " + std::string(5000, 'y') << Ranges{{0, Bytes}, {Bytes, 5101}};
    QTest::newRow("at the last break before the limit")
        << std::string(4000, 'x') + "\r" + std::string(500, 'y') << Ranges{{0, 4000}, {4001, 4501}};
    QTest::newRow("two-byte characters") << Repeat("\xC3\xA9", 3000) << Ranges{{0, Bytes}, {Bytes, 6000}};
    QTest::newRow("never inside a character") << Repeat("\xE2\x82\xAC", 2000) << Ranges{{0, 4095}, {4095, 6000}};
    QTest::newRow("just at the byte limit") << std::string(Bytes, 'x') << Ranges{{0, Bytes}};
  }
  void cutIntoPieces() {
    QFETCH(std::string, line);
    QFETCH(Ranges, pieces);
    QCOMPARE(Cut(line), pieces);
    // A column of whole lines keeps no pieces: it must agree on which lines those are.
    QCOMPARE(TResultColumn::IsOnePiece(line), pieces.size() == 1);
  }

  void shownMessage_data() {
    QTest::addColumn<std::string>("message");
    QTest::addColumn<QString>("shown");
    const std::size_t limit = ShownMessageLength, head = ShownMessageLength - TailLength;
    QTest::newRow("short") << std::string("Error: Invalid code at position 8 ({)") << u"Error: Invalid code at position 8 ({)"_s;
    QTest::newRow("as long as shown") << std::string(limit, 'a') << QString(limit, u'a');
    QTest::newRow("one more: start, ellipsis, end")
        << std::string(head, 'a') + std::string(limit + 1 - head, 'b')
        << QString(head, u'a') + u" \u2026 "_s + QString(TailLength, u'b');
    QTest::newRow("counted in characters, not bytes") << Repeat("\xC3\xA9", limit) << QString(limit, u'\u00E9');
    QTest::newRow("cut between characters")
        << Repeat("\xC3\xA9", limit + 1) << QString(head, u'\u00E9') + u" \u2026 "_s + QString(TailLength, u'\u00E9');
    QTest::newRow("a megabyte's item")
        << "Error: Species code Dw" + std::string(1 << 20, '"') + " is invalid"
        << u"Error: Species code Dw"_s + QString(head - 22, u'"') + u" \u2026 "_s + QString(TailLength - 11, u'"') +
               u" is invalid"_s;
  }
  void shownMessage() {
    QFETCH(std::string, message);
    QFETCH(QString, shown);
    QCOMPARE(ShownMessage(message), shown);
  }

  // The caret blinks but in a paragraph of over TCodeEdit::SteadyCaretFrom characters,
  // and blinks as before once it is out of one.
  void steadyCaret_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("steady");
    const int from = TCodeEdit::SteadyCaretFrom;
    QTest::newRow("a code") << u"ZN2.Dw W+"_s << false;
    QTest::newRow("as long as may blink") << u"ZN2. "_s + QString(from - 6, u'x') << false;
    QTest::newRow("a character more") << u"ZN2. "_s + QString(from - 5, u'x') << true;
    QTest::newRow("as long, in short lines") << (QString(99, u'x') + u'\n').repeated(2 * from / 100) << false;
    QTest::newRow("caret in a long last line") << u"ZN2.\n"_s + QString(2 * from, u'x') << true;
  }
  void steadyCaret() {
    QFETCH(QString, text);
    QFETCH(bool, steady);
    QStyleHints* hints = QGuiApplication::styleHints();
    const int blink = hints->cursorFlashTime();
    QVERIFY(blink > 0);
    Field()->setPlainText(text);
    Field()->moveCursor(QTextCursor::End);
    QCOMPARE(hints->cursorFlashTime(), steady ? 0 : blink);
    Field()->moveCursor(QTextCursor::Start);  // the first line is short in every row but two
    QCOMPARE(hints->cursorFlashTime(), Field()->textCursor().block().length() > TCodeEdit::SteadyCaretFrom ? 0 : blink);
    Field()->clear();
    QCOMPARE(hints->cursorFlashTime(), blink);
  }

  // A key typed and taken back again measures no line anew, whether the column fits
  // its view or needs a scroll bar (whose width it wraps for, but first tries without).
  void keysMeasureNoKnownLine_data() {
    QTest::addColumn<QString>("code");
    QTest::newRow("fits") << u"ZN2.Dw Gm"_s;
    QTest::newRow("scrolls") << u"ZN2.Dw"_s + u" Gm L12m Cbl|wh B\"sparks\""_s.repeated(12);
  }
  void keysMeasureNoKnownLine() {
    QFETCH(QString, code);
    w->resize(600, 320);
    Field()->setPlainText(code);
    QTRY_VERIFY(w->ResultColumn().AllMeasured());
    KeyTime();  // the line with the "x" is measured once
    const std::size_t before = w->ResultColumn().Measurements();
    KeyTime();
    KeyTime();
    QCOMPARE(w->ResultColumn().Measurements(), before);
  }

  // Freed memory goes back once a code is under a quarter of the largest read since
  // the last time, and only after a large one.
  void freedMemoryRule_data() {
    QTest::addColumn<std::vector<std::size_t>>("codes");
    QTest::addColumn<std::vector<bool>>("giveBack");
    const std::size_t large = TFreedMemory::LargeCode;
    QTest::newRow("small codes never") << std::vector<std::size_t>{large - 1, 0, 10, 0} << std::vector<bool>{0, 0, 0, 0};
    QTest::newRow("a large code cleared") << std::vector<std::size_t>{large, 0} << std::vector<bool>{0, 1};
    QTest::newRow("keys in a large code") << std::vector<std::size_t>{large, large + 1, large, large / 4 + 1}
                                          << std::vector<bool>{0, 0, 0, 0};
    QTest::newRow("just under a quarter") << std::vector<std::size_t>{4 * large, large - 1} << std::vector<bool>{0, 1};
    QTest::newRow("once, then again after a large one")
        << std::vector<std::size_t>{4 * large, 0, 0, 2 * large, 3} << std::vector<bool>{0, 1, 0, 0, 1};
    QTest::newRow("shrinking by steps measures from the largest")
        << std::vector<std::size_t>{8 * large, 4 * large, 3 * large, large} << std::vector<bool>{0, 0, 0, 1};
  }
  void freedMemoryRule() {
    QFETCH(std::vector<std::size_t>, codes);
    QFETCH(std::vector<bool>, giveBack);
    TFreedMemory memory;
    std::vector<bool> given;
    for (std::size_t bytes : codes) given.push_back(memory.AfterReading(bytes));
    QCOMPARE(given, giveBack);
  }

  // With freed memory kept as the program keeps it, clearing the field after an
  // error-heavy paste gives back most of what the paste took.
  void clearingGivesMemoryBack() {
    KeepFreedMemory();
    const double before = Resident();
    Paste("ZN2.Dw" + std::string(500000, '{'));
    QTRY_VERIFY_WITH_TIMEOUT(w->ResultColumn().Settled(), 60000);
    const double pasted = Resident();
    Field()->clear();
    QApplication::processEvents();
    const double cleared = Resident();
    const QString figures = u"MB before %1, pasted %2, cleared %3"_s.arg(before / 1e6).arg(pasted / 1e6).arg(cleared / 1e6);
    QVERIFY2(pasted - before > 20e6, qPrintable(figures));  // the paste took memory at all
    QVERIFY2(cleared - before < (pasted - before) / 4, qPrintable(figures));
  }

  // A pause after a long paste gives back what the paste freed on its way (the
  // clipboard's copies, the field's insertion), and keeps the reading shown.
  void restingGivesMemoryBack() {
    KeepFreedMemory();
    const double before = Resident();
    Paste("ZN2.Dw" + std::string(1000000, '"'));
    QTRY_VERIFY_WITH_TIMEOUT(w->ResultColumn().Settled(), 60000);
    const double pasted = Resident();
    QTest::qWait(TFreedMemory::IdleMilliseconds + 500);
    const double resting = Resident();
    const QString figures = u"MB before %1, pasted %2, resting %3"_s.arg(before / 1e6).arg(pasted / 1e6).arg(resting / 1e6);
    QVERIFY2(pasted - before > 20e6, qPrintable(figures));
    QVERIFY2(resting - before < (pasted - before) / 2, qPrintable(figures));
    QCOMPARE(w->findChild<TErrorList*>()->model()->rowCount(), 1);
  }

  // Each worst case finishes; a key in it costs at most a few times a key in ordinary
  // items of the same size (before, a '{' run cost over ten times as much); no label
  // holds more than a piece; and once settled nothing is left to run or paint.
  void worstCases_data() {
    QTest::addColumn<std::string>("code");
    constexpr std::size_t size = 300000;
    std::mt19937 random(5);
    std::string bytes = "ZN2.";
    while (bytes.size() < size) bytes += static_cast<char>(random() & 0xFF);
    QTest::newRow("a run of '{'") << "ZN2.Dw" + std::string(size, '{');
    QTest::newRow("a run of '\"'") << "ZN2.Dw" + std::string(size, '"');
    QTest::newRow("a run of NUL") << "ZN2.Dw" + std::string(size, '\0');
    QTest::newRow("random bytes") << bytes;
  }
  void worstCases() {
    QFETCH(std::string, code);
    std::string items = "ZN2.Dw";
    while (items.size() < code.size()) items += " W+ H- S~ Ac+ Tc+[gadget]";
    Paste(items);
    QTRY_VERIFY_WITH_TIMEOUT(w->ResultColumn().Settled(), 60000);
    const qint64 ordinary = KeyTime();
    Field()->clear();

    Paste(code);
    QTRY_VERIFY_WITH_TIMEOUT(w->ResultColumn().Settled(), 60000);
    const qint64 worst = KeyTime();
    QVERIFY2(worst < 4 * ordinary + 100, qPrintable(u"ordinary %1 ms, this %2 ms"_s.arg(ordinary).arg(worst)));
    QTRY_VERIFY_WITH_TIMEOUT(w->ResultColumn().Settled(), 60000);

    auto* panel = w->findChild<QScrollArea*>()->widget();
    const int rowHeight = QFontMetrics(panel->font()).lineSpacing();
    for (QLabel* label : panel->findChildren<QLabel*>())
      QVERIFY(label->height() <= static_cast<int>(TResultColumn::PieceRows) * rowHeight + 2 * rowHeight);

    QTest::qWait(100);  // the paint the last change asked for
    PaintCounter counter;
    panel->installEventFilter(&counter);
    for (QLabel* label : panel->findChildren<QLabel*>()) label->installEventFilter(&counter);
    w->findChild<TErrorList*>()->viewport()->installEventFilter(&counter);
    if (Field()->document()->blockCount() == 1) Field()->viewport()->installEventFilter(&counter);  // a steady caret
    QTest::qWait(600);
    QCOMPARE(counter.paints, 0);
    QVERIFY(w->ResultColumn().Settled());
    for (const QTimer* timer : w->findChildren<QTimer*>()) QVERIFY2(!timer->isActive(), qPrintable(timer->objectName()));
  }
};

QTEST_MAIN(WindowLoadTest)
#include "window_load_test.moc"
