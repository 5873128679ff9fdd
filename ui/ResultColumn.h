// The result column: one word-wrapped plain-text label per result line, an etched line
// between every two, stacked in a panel that a scroll box scrolls. A short column has
// all its labels; a long one (a pasted megabyte gives a hundred thousand lines) has
// labels only for the lines in and near the view, and they move to other lines as the
// view scrolls. Every line's height is measured once per text and width; a line not yet
// measured counts with an estimate until its turn comes, in the view at once and
// elsewhere in slices between events, so that the window never waits for all of them.
#pragma once

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QObject>
#include <QScrollArea>
#include <QTimer>
#include <cstdint>
#include <functional>
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

  // The column lives in `panel`, the widget that `box` scrolls; destroy it before them.
  TResultColumn(QScrollArea* box, QWidget* panel);
  ~TResultColumn() override;

  // Shows the result lines of `reading` (UTF-8, '\r' breaking a line within its label),
  // rewrapped for the room the box has now. The column shares the reading.
  void Fill(std::shared_ptr<const ParseResult> reading);
  // Destroys every label and separator; the panel keeps its size until the next Fill.
  void Clear();

  // Labels and separators that exist, top to bottom: label, separator, label, ...
  const std::vector<QWidget*>& Controls() const { return controls; }
  std::size_t LineCount() const { return heights.size(); }
  // Whether every line's height is measured, not estimated.
  bool AllMeasured() const { return pending == 0; }
  int LineTop(std::size_t line) const { return static_cast<int>(tops[line]); }
  int LineHeight(std::size_t line) const { return heights[line]; }
  // The first line the label of which exists (0 when there is none).
  std::size_t FirstShownLine() const { return first; }

 private:
  void SetUpLabel(QLabel* label) const;
  int Measure(std::string_view line, int width);
  int Estimate(std::string_view line) const;
  void Settle(std::size_t line);
  bool TallerThan(int width, int room);
  void UseWidth(int width);
  void Restack();
  void Place();
  void KeepInView(std::size_t line, std::int64_t offset);
  void Materialize(std::size_t from, std::size_t to);
  void MeasureFor(int milliseconds);
  void ForgetOldTexts();
  std::size_t LineAt(std::int64_t y) const;

  QScrollArea* Box;
  QWidget* Panel;
  QLabel ruler;  // never shown: measures texts exactly as a label of the column would
  QTimer measureTimer;

  std::shared_ptr<const ParseResult> lines;
  std::vector<int> heights;
  std::vector<bool> exact;          // heights[i] measured, not estimated
  std::vector<std::int64_t> tops;   // top of each line's label in the panel
  std::size_t pending = 0;          // lines with an estimated height
  std::size_t nextToMeasure = 0;
  int width = 0;

  // Heights by text, for the width and font they were measured at.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, int, TextHash, std::equal_to<>> knownHeights;
  int knownWidth = -1;
  QFont knownFont;
  int oneLineHeight = 0;
  int averageCharWidth = 1;

  std::vector<QLabel*> labels;         // labels of lines first, first + 1, ...
  std::vector<std::string> shownTexts;  // what each label shows, as read
  std::vector<QFrame*> separators;
  std::vector<QWidget*> controls;
  std::size_t first = 0;
  bool placing = false;
  bool restacking = false;
};

}  // namespace zendric
