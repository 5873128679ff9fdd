#include "CodeEdit.h"

#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
#include <QStyleHints>
#include <QTextBlock>
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

class TCodeLayout : public QPlainTextDocumentLayout {
 public:
  TCodeLayout(QTextDocument* document, QPlainTextEdit* edit) : QPlainTextDocumentLayout(document), Edit(edit) {}

  void documentChanged(int from, int charsRemoved, int charsAdded) override {
    // A switch lays out the whole document again, the changed part included.
    if (!Switching && SwitchedWrapMode(from, charsAdded)) return;
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
  }

 private:
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
