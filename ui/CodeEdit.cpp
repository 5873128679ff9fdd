#include "CodeEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTimer>
#include <algorithm>

#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
#include <QStyleHints>
#include <QFontMetricsF>
#include <QtMath>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextDocument>

namespace zendric {
namespace {

// Whether a block from `from` to `to` holds more than TCodeEdit::LongRun characters
// in a row without a blank.
bool HoldsLongRun(QTextBlock from, const QTextBlock& to) {
  for (QTextBlock block = from; block.isValid(); block = block.next()) {
    if (block.length() > TCodeEdit::LongRun) {
      int run = 0;
      for (QChar ch : block.text()) {
        run = ch.isSpace() ? 0 : run + 1;
        if (run > TCodeEdit::LongRun) return true;
      }
    }
    if (block == to) break;
  }
  return false;
}

bool IsBlank(QChar ch) { return ch == u' ' || ch == u'\t'; }

// The block format's mark of a block that continues the line of the block before it.
constexpr int ContinuesLineProperty = QTextFormat::UserProperty + 1;

// Where to cut `text` into pieces: after about every TCodeEdit::Piece characters, after
// a blank near there if there is one (so the cut looks like a wrap), never inside a
// surrogate pair.
std::vector<int> PieceEnds(const QString& text) {
  std::vector<int> ends;
  int at = 0;
  while (text.size() - at > TCodeEdit::Piece + TCodeEdit::Piece / 2) {
    int cut = at + TCodeEdit::Piece;
    for (int back = cut; back > cut - 256; --back)
      if (IsBlank(text.at(back - 1))) {
        cut = back;
        break;
      }
    if (text.at(cut - 1).isHighSurrogate()) --cut;
    ends.push_back(cut);
    at = cut;
  }
  return ends;
}

class TCodeLayout : public QPlainTextDocumentLayout {
 public:
  TCodeLayout(QTextDocument* document, QPlainTextEdit* edit) : QPlainTextDocumentLayout(document), Edit(edit) {}

  void documentChanged(int from, int charsRemoved, int charsAdded) override {
    // A switch lays out the whole document again, the changed part included.
    if (!Switching && SwitchedWrapMode(from, charsAdded)) return;
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    const QTextBlock last = document()->findBlock(from + charsAdded);
    for (QTextBlock block = document()->findBlock(from); block.isValid(); block = block.next()) {
      BreakAtBlanks(block, true);
      if (block == last) break;
    }
  }

  // Every way to a block's place and lines passes here before it is painted or hit.
  QRectF blockBoundingRect(const QTextBlock& block) const override {
    const_cast<TCodeLayout*>(this)->BreakAtBlanks(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
  }

 private:
  // The toolkit breaks lines where Unicode allows it, after "+" or "/" and before "["
  // among others, which shows a gap that is not in the code. While the code has blanks
  // (the long-run rule is off), a block is laid out again breaking after blanks only.
  // Paragraphs beyond BlankBreakingUpTo keep the toolkit's breaks: measuring every
  // word of them on each change would cost more than the breaks are worth. So do all
  // paragraphs of a text beyond it: a pasted megabyte of short lines measured word by
  // word took over a second (random bytes, whose line ends cut them into paragraphs).
  // A layout of ours carries a tab stop a hair's breadth off the document's (which the
  // toolkit puts back whenever it lays a block out itself) and the room in the block's
  // user state.
  static constexpr qreal OursMark = 1.0 / 1024;

  bool Marked(const QTextLayout* layout) const {
    return layout->textOption().tabStopDistance() == document()->defaultTextOption().tabStopDistance() + OursMark;
  }

  void BreakAtBlanks(const QTextBlock& block, bool changed = false) {
    if (Breaking || !block.isValid() || Edit->wordWrapMode() == QTextOption::WrapAnywhere ||
        Edit->lineWrapMode() != QPlainTextEdit::WidgetWidth || block.length() > TCodeEdit::BlankBreakingUpTo ||
        document()->characterCount() > TCodeEdit::BlankBreakingUpTo)
      return;
    const qreal margin = document()->documentMargin();
    const int room = Edit->viewport()->width() - qCeil(2 * margin);
    if (room <= 0) return;
    ensureBlockLayout(block);
    QTextLayout* layout = block.layout();
    if (Marked(layout) ? !changed && block.userState() == room : layout->lineCount() <= 1) return;  // ours, or one line
    const qreal width = room;
    const int linesBefore = layout->lineCount();
    const QString text = block.text();
    const QFontMetricsF metrics(document()->defaultFont());
    const qreal blank = metrics.horizontalAdvance(u' ');
    QTextOption option = document()->defaultTextOption();
    option.setTabStopDistance(option.tabStopDistance() + OursMark);
    layout->setTextOption(option);

    Breaking = true;
    layout->beginLayout();
    qreal height = 0;
    int at = 0;
    do {
      // The most words from `at` that fit; the line takes the blanks after the last.
      int end = at;
      qreal used = 0, words = 0;
      while (end < text.size()) {
        int wordEnd = end;
        while (wordEnd < text.size() && !IsBlank(text.at(wordEnd))) ++wordEnd;
        const qreal word = metrics.horizontalAdvance(QStringView(text).mid(end, wordEnd - end).toString());
        if (used + word > width && (end > at || word > width)) break;  // a run wider than a line: the toolkit cuts it
        used += word;
        words = used;
        end = wordEnd;
        while (end < text.size() && IsBlank(text.at(end))) {
          used += text.at(end) == u'\t' ? 8 * blank : blank;
          ++end;
        }
      }
      // Just room for those words: the toolkit then breaks after their blanks, as no
      // piece of the next word is narrower than half a blank. (Counting columns would
      // not do: the toolkit counts glyphs, and "fl" can be one.)
      QTextLine line = layout->createLine();
      line.setLineWidth(end > at ? std::min(width, words + blank / 2) : width);
      line.setPosition(QPointF(margin, height));
      height += line.height();
      at = line.textStart() + line.textLength();
      if (line.textLength() == 0) break;  // an empty paragraph has its one line
    } while (at < text.size());
    layout->endLayout();
    Breaking = false;
    QTextBlock laidOut = block;
    laidOut.setLineCount(layout->lineCount());
    laidOut.setUserState(room);
    if (layout->lineCount() != linesBefore) emit documentSizeChanged(documentSize());
  }

  bool SwitchedWrapMode(int from, int charsAdded) {
    QTextDocument* doc = document();
    const bool anywhere = Edit->wordWrapMode() == QTextOption::WrapAnywhere;
    // A long run can only arrive with the change, but it can leave with any change.
    const bool longRun = anywhere ? HoldsLongRun(doc->begin(), doc->lastBlock())
                                  : HoldsLongRun(doc->findBlock(from), doc->findBlock(from + charsAdded));
    if (longRun == anywhere) return false;
    Switching = true;
    Edit->setWordWrapMode(longRun ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    Switching = false;
    return true;
  }

  QPlainTextEdit* Edit;
  bool Switching = false;
  bool Breaking = false;
};

}  // namespace

TCodeEdit::TCodeEdit(QWidget* parent) : QPlainTextEdit(parent) {
  auto* doc = new QTextDocument(this);
  doc->setDocumentLayout(new TCodeLayout(doc, this));
  setDocument(doc);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TCodeEdit::ChooseCaretBlink);
  connect(this, &QPlainTextEdit::textChanged, this, &TCodeEdit::ChooseCaretBlink);
  connect(doc, &QTextDocument::contentsChange, this, &TCodeEdit::NoteChange);
}

bool TCodeEdit::ContinuesLine(const QTextBlock& block) {
  return block.isValid() && block.blockFormat().boolProperty(ContinuesLineProperty);
}

void TCodeEdit::NoteChange(int from, int, int charsAdded) {
  if (everSplit_) breaksStale_ = true;
  // Whatever put a long line in whole (the toolkit's own setPlainText, a drop moved
  // within the field), the next change finds it in pieces.
  const QTextBlock last = document()->findBlock(from + charsAdded);
  for (QTextBlock block = document()->findBlock(from); block.isValid(); block = block.next()) {
    if (block.length() > 2 * LongParagraph) {
      SplitLater();
      return;
    }
    if (block == last) break;
  }
}

void TCodeEdit::SplitLater() {
  if (splitQueued_) return;
  splitQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    splitQueued_ = false;
    QTextDocument* doc = document();
    bool any = false;
    for (QTextBlock block = doc->begin(); block.isValid() && !any; block = block.next())
      any = block.length() > LongParagraph + 1;
    if (!any) return;
    // Joined to the edit that brought the line, so that undo takes both back; with
    // nothing to undo (a text set whole), the pieces are where the history starts.
    const bool history = doc->isUndoAvailable();
    if (!history) doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    if (history)
      cursor.joinPreviousEditBlock();
    else
      cursor.beginEditBlock();
    SplitLongBlocks(0, doc->characterCount() - 1);
    cursor.endEditBlock();
    if (!history) doc->setUndoRedoEnabled(true);
  });
}

// Cuts every block from the one holding `from` to the one holding `to` that is longer
// than LongParagraph into pieces, the last block first so that the rest stay put.
void TCodeEdit::SplitLongBlocks(int from, int to) {
  QTextDocument* doc = document();
  QTextCursor cursor(doc);
  const QTextBlock first = doc->findBlock(from);
  for (QTextBlock block = doc->findBlock(to); block.isValid(); block = block.previous()) {
    if (block.length() > LongParagraph + 1) {
      QTextBlockFormat piece = block.blockFormat();
      piece.setProperty(ContinuesLineProperty, true);
      const std::vector<int> ends = PieceEnds(block.text());
      const int start = block.position();
      for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
        cursor.setPosition(start + *end);
        cursor.insertBlock(piece, cursor.charFormat());
      }
      everSplit_ = true;
      breaksStale_ = true;
    }
    if (block == first) break;
  }
}

void TCodeEdit::InsertText(QTextCursor& cursor, const QString& text) {
  cursor.beginEditBlock();
  const int start = cursor.selectionStart();
  const bool continues = ContinuesLine(document()->findBlock(start));
  cursor.insertText(text);
  AfterInsert(start, cursor.position(), continues);
  cursor.endEditBlock();
}

// A selection that ends in another block leaves its first block with the format of the
// block it ended in: replacing a whole line held in pieces marked the line's own first
// block as continuing the line before, and the code then had a line end at every break.
// The block where the edit started keeps the mark it had.
void TCodeEdit::KeepMark(int start, bool continues) {
  const QTextBlock block = document()->findBlock(start);
  if (ContinuesLine(block) == continues) return;
  QTextBlockFormat format = block.blockFormat();
  if (continues)
    format.setProperty(ContinuesLineProperty, true);
  else
    format.clearProperty(ContinuesLineProperty);
  QTextCursor(block).setBlockFormat(format);
  breaksStale_ = true;
}

// Inside the edit block of an insertion from `start` to `end`, so that the toolkit lays
// out only the pieces, once; `continues`: whether the block at `start` continued a line
// before it.
void TCodeEdit::AfterInsert(int start, int end, bool continues) {
  // A line end of the text starts a line, though the toolkit gives the block it makes
  // the format of the block it was cut from.
  if (everSplit_) {
    KeepMark(start, continues);
    QTextDocument* doc = document();
    const QTextBlock last = doc->findBlock(end);
    QTextCursor format(doc);
    for (QTextBlock block = doc->findBlock(start); block != last && block.isValid();) {
      block = block.next();
      if (!ContinuesLine(block)) continue;
      QTextBlockFormat line = block.blockFormat();
      line.clearProperty(ContinuesLineProperty);
      format.setPosition(block.position());
      format.setBlockFormat(line);
    }
  }
  SplitLongBlocks(start, end);
}

const std::vector<int>& TCodeEdit::Breaks() const {
  if (breaksStale_) {
    breaks_.clear();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
      if (ContinuesLine(block)) breaks_.push_back(block.position());
    breaksStale_ = false;
  }
  return breaks_;
}

int TCodeEdit::ModelOffset(int position) const {
  const std::vector<int>& breaks = Breaks();
  return position - static_cast<int>(std::upper_bound(breaks.begin(), breaks.end(), position) - breaks.begin());
}

int TCodeEdit::FieldPosition(int offset, bool afterBreak) const {
  // The k-th break (from 0) stands at code offset breaks[k] - k - 1; each one before
  // `offset` adds a position.
  const std::vector<int>& breaks = Breaks();
  int low = 0, high = static_cast<int>(breaks.size());
  while (low < high) {
    const int middle = (low + high) / 2;
    const int at = breaks[static_cast<std::size_t>(middle)] - middle - 1;
    if (at < offset || (afterBreak && at == offset))
      low = middle + 1;
    else
      high = middle;
  }
  return offset + low;
}

TCodeEdit::~TCodeEdit() {
  if (steadyCaret) QGuiApplication::styleHints()->setCursorFlashTime(blinkTime);
}

// The blink time is the application's: the field sets it to none and back.
void TCodeEdit::ChooseCaretBlink() {
  const bool steady = textCursor().block().length() > SteadyCaretFrom;
  if (steady == steadyCaret) return;
  steadyCaret = steady;
  QStyleHints* hints = QGuiApplication::styleHints();
  if (steady) {
    blinkTime = hints->cursorFlashTime();
    hints->setCursorFlashTime(0);
  } else {
    hints->setCursorFlashTime(blinkTime);
  }
}

}  // namespace zendric

namespace zendric {

void TCodeEdit::insertFromMimeData(const QMimeData* source) {
  if (largeTextTaker && source->hasText() && largeTextTaker(source->text())) return;
  // The toolkit's own insertion (its line ends are the ones typing makes), nested in an
  // edit block of ours.
  QTextCursor edit(document());
  edit.beginEditBlock();
  const int start = textCursor().selectionStart();
  const bool continues = ContinuesLine(document()->findBlock(start));
  QPlainTextEdit::insertFromMimeData(source);
  AfterInsert(start, textCursor().position(), continues);
  edit.endEditBlock();
}

// A copy holds the code: the breaks between the pieces of a line are left out.
QMimeData* TCodeEdit::createMimeDataFromSelection() const {
  QMimeData* data = QPlainTextEdit::createMimeDataFromSelection();
  const QTextCursor cursor = textCursor();
  const std::vector<int>& breaks = Breaks();
  const auto first = std::upper_bound(breaks.begin(), breaks.end(), cursor.selectionStart());
  const auto last = std::upper_bound(first, breaks.end(), cursor.selectionEnd());
  if (first == last) return data;
  QString text = data->text();
  for (auto at = last; at != first;) {
    --at;
    text.remove(*at - 1 - cursor.selectionStart(), 1);
  }
  delete data;
  data = new QMimeData;
  data->setText(text);
  return data;
}

// Between two pieces of a line there are two caret places for one place in the code:
// a key that would stop at the second, or delete the break, goes one further.
void TCodeEdit::keyPressEvent(QKeyEvent* event) {
  if (!everSplit_ || isReadOnly()) return QPlainTextEdit::keyPressEvent(event);
  QTextCursor cursor = textCursor();
  if (event->matches(QKeySequence::InsertParagraphSeparator)) {
    InsertText(cursor, QStringLiteral("\n"));
    setTextCursor(cursor);
    ensureCursorVisible();
    return;
  }
  const bool back = (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) ||
                    event->matches(QKeySequence::DeleteStartOfWord);
  const bool forward = event->matches(QKeySequence::Delete) || event->matches(QKeySequence::DeleteEndOfWord);
  if (!cursor.hasSelection() && back && cursor.atBlockStart() && ContinuesLine(cursor.block())) {
    cursor.movePosition(QTextCursor::PreviousCharacter);
    setTextCursor(cursor);
  } else if (!cursor.hasSelection() && forward && cursor.atBlockEnd() && ContinuesLine(cursor.block().next())) {
    cursor.movePosition(QTextCursor::NextCharacter);
    setTextCursor(cursor);
  }
  QPlainTextEdit::keyPressEvent(event);
  const bool right = event->matches(QKeySequence::MoveToNextChar) || event->matches(QKeySequence::SelectNextChar);
  const bool left = event->matches(QKeySequence::MoveToPreviousChar) || event->matches(QKeySequence::SelectPreviousChar);
  if (!right && !left) return;
  cursor = textCursor();
  const QTextCursor::MoveMode mode = event->matches(QKeySequence::SelectNextChar) ||
                                             event->matches(QKeySequence::SelectPreviousChar)
                                         ? QTextCursor::KeepAnchor
                                         : QTextCursor::MoveAnchor;
  if (right && cursor.atBlockEnd() && ContinuesLine(cursor.block().next()))
    cursor.movePosition(QTextCursor::NextCharacter, mode);
  else if (left && cursor.atBlockStart() && ContinuesLine(cursor.block()))
    cursor.movePosition(QTextCursor::PreviousCharacter, mode);
  else
    return;
  setTextCursor(cursor);
}

std::u16string TCodeEdit::ModelText() const {
  const QString raw = document()->toRawText();
  std::u16string text(reinterpret_cast<const char16_t*>(raw.utf16()), static_cast<std::size_t>(raw.size()));
  const std::vector<int>& breaks = Breaks();
  auto next = breaks.begin();
  std::size_t kept = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    char16_t unit = text[at];
    if (unit == QChar::ParagraphSeparator) {
      if (next != breaks.end() && static_cast<std::size_t>(*next) == at + 1) {
        ++next;
        continue;  // a break between pieces of one line
      }
      unit = u'\n';
    }
    text[kept++] = unit;
  }
  text.resize(kept);
  return text;
}

}  // namespace zendric
