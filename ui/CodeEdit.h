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
// The toolkit lays a paragraph out whole on every change to it: a key in a line of a
// megabyte cost 150 ms. A line longer than LongParagraph is therefore held as several
// blocks of about Piece characters each, and a block that continues the line before it
// is marked in its format. The marks are edits of the document, so undo and redo keep
// them with the text. The code the field holds (ModelText) has no break there, and
// positions in it (offsets) differ from the document's (positions) by the breaks
// before them: FieldPosition and ModelOffset turn one into the other.
#pragma once

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>
#include <string>
#include <vector>

namespace zendric {

class TCodeEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  static constexpr int LongRun = 10000;
  // Paragraphs break only at blanks while there is no long run and the whole text is
  // up to this many characters.
  static constexpr int BlankBreakingUpTo = 100000;
  static constexpr int SteadyCaretFrom = 100000;  // characters in the caret's paragraph
  static constexpr int LongParagraph = 16384;
  static constexpr int Piece = 4096;

  explicit TCodeEdit(QWidget* parent = nullptr);
  ~TCodeEdit() override;

  // The field's text as the field model takes it: the break between two blocks is a
  // line feed.
  std::u16string ModelText() const;

  // The document position of code offset `offset`: where a break that is not in the
  // code stands there, before it (where a range ends) or after it (where a character
  // starts); and the code offset of document position `position`.
  int FieldPosition(int offset, bool afterBreak = false) const;
  int ModelOffset(int position) const;
  // Whether `block` continues the line of the block before it.
  static bool ContinuesLine(const QTextBlock& block);

  // Puts `text` in the place of the cursor's selection, as QTextCursor::insertText does,
  // in one undo step; its line ends start lines and its long lines are held in pieces.
  void InsertText(QTextCursor& cursor, const QString& text);

  // A paste or drop of text goes first to `taker`, which may take it instead of the
  // field (a text too large for it).
  void SetLargeTextTaker(std::function<bool(const QString&)> taker) { largeTextTaker = std::move(taker); }

 protected:
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ChooseCaretBlink();
  void NoteChange(int from, int charsRemoved, int charsAdded);
  void SplitLongBlocks(int from, int to);
  void AfterInsert(int start, int end, bool continues);
  void KeepMark(int start, bool continues);
  void SplitLater();
  const std::vector<int>& Breaks() const;

  std::function<bool(const QString&)> largeTextTaker;
  // Document positions of the blocks that continue a line, by position; made again when
  // asked after a change. None while no block was ever split.
  mutable std::vector<int> breaks_;
  mutable bool breaksStale_ = false;
  bool everSplit_ = false;
  bool splitQueued_ = false;
  bool steadyCaret = false;
  int blinkTime = 0;  // the application's blink time while the caret is steady
};

}  // namespace zendric
