#include "CodeEdit.h"

#include <QMimeData>

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
  QPlainTextEdit::insertFromMimeData(source);
}

std::u16string TCodeEdit::ModelText() const {
  const QString raw = document()->toRawText();
  std::u16string text(reinterpret_cast<const char16_t*>(raw.utf16()), static_cast<std::size_t>(raw.size()));
  for (char16_t& unit : text)
    if (unit == QChar::ParagraphSeparator) unit = u'\n';
  return text;
}

}  // namespace zendric
