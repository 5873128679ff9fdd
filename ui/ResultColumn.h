// The result column: one word-wrapped plain-text label per result line, an etched line
// between every two, stacked in a panel that a scroll box scrolls. A short column has
// all its labels; a long one (a pasted megabyte gives a hundred thousand lines) has
// labels only for the lines in and near the view, and they move to other lines as the
// view scrolls. A line too long for one label (a megabyte of '{' reads as one line of
// a million display lines, which a label lays out whole on every paint) is cut into
// pieces, each a label of its own, stacked with no gap, so that only the pieces in view
// are laid out. Every piece's height is measured once per text and width; a piece not
// yet measured counts with an estimate until its turn comes, in the view at once and
// elsewhere in slices between events, so that the window never waits for all of them.
// Once all are measured, nothing runs until the next change.
#pragma once

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QObject>
#include <QScrollArea>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ZNParser.h"

namespace zendric {

class TResultColumn : public QObject {
  Q_OBJECT

 public:
  static constexpr int SeparatorHeight = 5;
  // Columns up to this many lines keep a label for every line.
  static constexpr std::size_t AllLabelsUpTo = 200;
  // Labels exist for this many view heights above and below the view as well.
  static constexpr int ViewsAround = 1;
  // A piece holds at most this many display lines and bytes: a label of it lays out
  // in well under a millisecond.
  static constexpr std::size_t PieceRows = 64;
  static constexpr std::size_t PieceBytes = 4096;

  // The column lives in `panel`, the widget that `box` scrolls; destroy it before them.
  TResultColumn(QScrollArea* box, QWidget* panel);
  ~TResultColumn() override;

  // Shows the result lines of `reading` (UTF-8, '\r' breaking a line within its label),
  // rewrapped for the room the box has now. The column shares the reading.
  void Fill(std::shared_ptr<const ParseResult> reading);
  // Shows nothing and lets the reading go, while the heights measured for its texts
  // stay known for the next one: a reading let go before the next is made.
  void LetGo();
  // Destroys every label and separator; the panel keeps its size until the next Fill.
  void Clear();

  // Labels and separators that exist, top to bottom: label, separator, label, ...; the
  // pieces of one line follow each other with no separator.
  const std::vector<QWidget*>& Controls() const { return controls; }
  std::size_t LineCount() const { return lines ? lines->LineCount() : 0; }
  std::size_t PieceCount() const { return wholeLines ? LineCount() : pieces.size(); }
  // Whether every piece's height is measured, not estimated.
  bool AllMeasured() const { return pending == 0; }
  // Labels laid out to measure a height, since the column was made.
  std::size_t Measurements() const { return measurements; }
  // Whether measuring is over and no slice of it is waiting to run.
  bool Settled() const { return pending == 0 && !measureTimer.isActive(); }
  int LineTop(std::size_t line) const { return static_cast<int>(tops[FirstPieceOf(line)]); }
  int LineHeight(std::size_t line) const;
  // The first line a label of which exists (0 when there is none).
  std::size_t FirstShownLine() const { return PieceCount() == 0 ? 0 : LineOfPiece(first); }

  // Where `line` is cut into pieces: [from, to) byte ranges, each holding at most
  // PieceRows display lines and PieceBytes bytes; the '\r' at a cut belongs to neither.
  struct Piece {
    std::uint32_t Line;
    std::uint32_t From;
    std::uint32_t To;
  };
  static void CutIntoPieces(std::string_view line, std::uint32_t index, std::vector<Piece>& out);
  // Whether CutIntoPieces leaves `line` whole.
  static bool IsOnePiece(std::string_view line);

  // The text selected in a paragraph of the column, empty when none is.
  QString SelectedText() const;

  // Lines [first, last) stand out in the highlight colour, as selected rows do; none
  // when first == last. They stay lit as the view scrolls, until the next call.
  void SetHighlight(std::size_t firstLine, std::size_t lastLine);
  std::size_t HighlightFirst() const { return highlightFirst; }
  std::size_t HighlightLast() const { return highlightLast; }
  // Scrolls the least that shows the highlighted lines (their top when they are
  // taller than the view).
  void ScrollToHighlight();
  // Whether the label shows a highlighted line.
  bool IsLit(const QLabel* label) const;

 signals:
  // The pointer came onto a line's paragraph (its index) or left it (-1).
  void LineHovered(std::ptrdiff_t line);
  // A paragraph was clicked without selecting any of its text.
  void LineClicked(std::size_t line);

 protected:
  // The keys that move through the column while it has the focus.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUpLabel(QLabel* label) const;
  void Light(QLabel* label, bool lit) const;
  std::ptrdiff_t LineOfLabel(const QObject* label) const;
  bool PointerEvent(QObject* watched, QEvent* event);
  bool ColumnKey(QKeyEvent* key);
  std::string_view TextOf(std::size_t piece) const;
  std::size_t LineOfPiece(std::size_t piece) const { return wholeLines ? piece : pieces[piece].Line; }
  std::size_t FirstPieceOf(std::size_t line) const { return wholeLines ? line : firstPiece[line]; }
  int Measure(std::string_view text, int width);
  int Estimate(std::string_view text) const;
  void Settle(std::size_t piece);
  bool TallerThan(int width, int room);
  void UseWidth(int width);
  void Restack();
  void Place();
  void KeepInView(std::size_t line, std::int64_t offset);
  void Materialize(std::size_t from, std::size_t to);
  void MeasureFor(int milliseconds);
  void ForgetOldTexts();
  std::size_t PieceAt(std::int64_t y) const;
  int GapBefore(std::size_t piece) const;

  QScrollArea* Box;
  QWidget* Panel;
  QLabel ruler;  // never shown: measures texts exactly as a label of the column would
  QTimer measureTimer;

  std::shared_ptr<const ParseResult> lines;
  bool keepTexts = false;  // while a reading is let go
  // Every line one piece, the usual case: then pieces and firstPiece stay empty, which
  // spares 16 bytes a line (2.4 MB for a megabyte of items).
  bool wholeLines = true;
  std::vector<Piece> pieces;
  std::vector<std::uint32_t> firstPiece;  // of each line, and the piece count at the end
  std::vector<int> heights;         // of each piece
  std::vector<bool> exact;          // heights[i] measured, not estimated
  std::vector<std::int64_t> tops;   // top of each piece's label in the panel
  std::size_t pending = 0;          // pieces with an estimated height
  std::size_t nextToMeasure = 0;
  int width = 0;

  // Heights by text (a hash of it and its length: no copy of a long reading's text),
  // for the width and font they were measured at.
  std::unordered_map<std::uint64_t, int> knownHeights;
  int knownWidth = -1;
  QFont knownFont;
  std::unordered_map<std::uint64_t, int> wideHeights;  // at the width without a scroll bar
  int wideWidth = -1;
  QFont wideFont;
  std::size_t measurements = 0;
  int oneLineHeight = 0;
  int averageCharWidth = 1;

  std::vector<QLabel*> labels;         // labels of pieces first, first + 1, ...
  std::vector<std::string> shownTexts;  // what each label shows, as read
  std::vector<QFrame*> separators;
  std::vector<QWidget*> controls;
  std::size_t first = 0;
  std::size_t highlightFirst = 0, highlightLast = 0;
  QPoint pressedAt{-1, -1};
  bool placing = false;
  bool restacking = false;
};

}  // namespace zendric
