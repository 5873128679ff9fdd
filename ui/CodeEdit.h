// The edit field for the code: a plain-text field that breaks lines at blanks only, as
// the items of a code are separated, and whose word wrap survives any paste.
// Word wrap breaks a line between words, and a run of characters without a blank has no
// such place: laying one out takes time that grows with the square of its length (half
// a minute for a pasted megabyte of one letter). While the field holds a run longer than
// LongRun, it breaks lines anywhere, which is how such a run shows in any case; the
// choice is made before the field lays out what changed, whatever changed it (a key, a
// paste, undo or a program).
// A blink of the caret repaints it, and in a paragraph of a hundred thousand characters
// and more each repaint makes the toolkit analyse the whole paragraph again (a
// megabyte: 17 ms a blink, a third of a second of CPU in ten idle seconds). While the
// caret stands in such a paragraph, it stays lit instead of blinking.
#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <string>

namespace zendric {

class TCodeEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  static constexpr int LongRun = 10000;
  // Paragraphs break only at blanks while there is no long run and the whole text is
  // up to this many characters.
  static constexpr int BlankBreakingUpTo = 100000;
  static constexpr int SteadyCaretFrom = 100000;  // characters in the caret's paragraph

  explicit TCodeEdit(QWidget* parent = nullptr);
  ~TCodeEdit() override;

  // The field's text as the field model takes it: the break between two blocks is a
  // line feed.
  std::u16string ModelText() const;

  // A paste or drop of text goes first to `taker`, which may take it instead of the
  // field (a text too large for it).
  void SetLargeTextTaker(std::function<bool(const QString&)> taker) { largeTextTaker = std::move(taker); }

 protected:
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void ChooseCaretBlink();

  std::function<bool(const QString&)> largeTextTaker;
  bool steadyCaret = false;
  int blinkTime = 0;  // the application's blink time while the caret is steady
};

}  // namespace zendric
