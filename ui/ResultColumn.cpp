#include "ResultColumn.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <algorithm>

namespace zendric {
namespace {

constexpr int FirstMeasureMs = 40;  // measured before the column first shows
constexpr int SliceMs = 12;         // measured per turn of the event loop after that
constexpr QMargins LabelMargins{3, 0, 3, 0};  // keeps the text off the box's frame

// A result line marks its own line breaks with carriage returns; a label breaks at '\n'.
QString DisplayText(std::string_view line) {
  QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  text.replace(u'\r', u'\n');
  return text;
}

int ClampToWidget(std::int64_t y) { return static_cast<int>(std::min<std::int64_t>(y, QWIDGETSIZE_MAX)); }

}  // namespace

TResultColumn::TResultColumn(QScrollArea* box, QWidget* panel) : Box(box), Panel(panel) {
  SetUpLabel(&ruler);
  ruler.ensurePolished();
  measureTimer.setSingleShot(true);
  measureTimer.setInterval(0);
  connect(&measureTimer, &QTimer::timeout, this, [this] { MeasureFor(SliceMs); });
  connect(Box->verticalScrollBar(), &QScrollBar::valueChanged, this, &TResultColumn::Place);
}

TResultColumn::~TResultColumn() { Clear(); }

void TResultColumn::SetUpLabel(QLabel* label) const {
  label->setTextFormat(Qt::PlainText);  // "&" and "<b>" stay as typed
  label->setWordWrap(true);
  label->setContentsMargins(LabelMargins);
}

int TResultColumn::Measure(std::string_view line, int atWidth) {
  ruler.setText(DisplayText(line));
  return ruler.heightForWidth(atWidth);
}

// Rows of average characters at the current width: near enough to size the scroll bar.
int TResultColumn::Estimate(std::string_view line) const {
  const int room = std::max(1, width - LabelMargins.left() - LabelMargins.right());
  const auto rows = [&](std::int64_t chars) { return std::max<std::int64_t>(1, (chars * averageCharWidth + room - 1) / room); };
  std::int64_t total = 0, chars = 0;
  for (char byte : line) {
    if (byte == '\r') {
      total += rows(chars);
      chars = 0;
    } else if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) {  // not inside a code point
      ++chars;
    }
  }
  total += rows(chars);
  return ClampToWidget(total * oneLineHeight);
}

// The exact height of `line`: known from an earlier line of the same text, or measured.
void TResultColumn::Settle(std::size_t line) {
  const std::string_view text = lines->Line(line);
  auto it = knownHeights.find(text);
  if (it == knownHeights.end()) it = knownHeights.emplace(std::string(text), Measure(text, width)).first;
  heights[line] = it->second;
  exact[line] = true;
  --pending;
}

// Whether the column at `atWidth` is taller than `room`; stops as soon as it is.
bool TResultColumn::TallerThan(int atWidth, int room) {
  const bool known = atWidth == knownWidth && ruler.font() == knownFont;
  std::int64_t total = -SeparatorHeight;
  for (std::size_t i = 0; i < lines->LineCount(); ++i) {
    const std::string_view line = lines->Line(i);
    const auto it = known ? knownHeights.find(line) : knownHeights.end();
    total += (it != knownHeights.end() ? it->second : Measure(line, atWidth)) + SeparatorHeight;
    if (total > room) return true;
  }
  return false;
}

void TResultColumn::UseWidth(int newWidth) {
  width = newWidth;
  if (width != knownWidth || ruler.font() != knownFont) {
    knownHeights.clear();
    knownWidth = width;
    knownFont = ruler.font();
  }
  oneLineHeight = Measure("Xg", width);
  averageCharWidth = std::max(1, ruler.fontMetrics().averageCharWidth());
}

void TResultColumn::Fill(std::shared_ptr<const ParseResult> reading) {
  measureTimer.stop();
  lines = reading ? std::move(reading) : std::make_shared<const ParseResult>();
  if (ruler.font() != Panel->font()) ruler.setFont(Panel->font());

  const QSize room = Box->maximumViewportSize();
  int newWidth = room.width();
  // The scroll bar will take its share of the width: wrap for what is left.
  if (TallerThan(newWidth, room.height()))
    newWidth = std::max(0, newWidth - Box->verticalScrollBar()->sizeHint().width());
  UseWidth(newWidth);

  const std::size_t count = lines->LineCount();
  heights.assign(count, 0);
  exact.assign(count, false);
  pending = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const auto it = knownHeights.find(lines->Line(i));
    if (it != knownHeights.end()) {
      heights[i] = it->second;
      exact[i] = true;
    } else {
      heights[i] = Estimate(lines->Line(i));
      ++pending;
    }
  }
  ForgetOldTexts();
  Restack();
  Place();
  nextToMeasure = first;
  MeasureFor(FirstMeasureMs);
}

// Old texts stay known while they may come back (a key pressed and undone); the map is
// cut back to the current lines once it holds far more.
void TResultColumn::ForgetOldTexts() {
  if (knownHeights.size() <= 2 * heights.size() + 1024) return;
  decltype(knownHeights) current;
  for (std::size_t i = 0; i < heights.size(); ++i)
    if (exact[i]) current.emplace(lines->Line(i), heights[i]);
  knownHeights = std::move(current);
}

void TResultColumn::Clear() {
  measureTimer.stop();
  for (QLabel* label : labels) delete label;
  for (QFrame* separator : separators) delete separator;
  labels.clear();
  shownTexts.clear();
  separators.clear();
  controls.clear();
  lines.reset();
  heights.clear();
  exact.clear();
  tops.clear();
  pending = 0;
  first = 0;
}

// Tops from the heights; the panel is as high as the labels plus the separators.
void TResultColumn::Restack() {
  const std::size_t count = heights.size();
  tops.resize(count);
  std::int64_t y = 0;
  for (std::size_t i = 0; i < count; ++i) {
    tops[i] = y;
    y += heights[i] + SeparatorHeight;
  }
  const std::int64_t total = count > 0 ? y - SeparatorHeight : 0;
  restacking = true;  // the scroll bar may move; Place follows anyway
  Panel->resize(width, ClampToWidget(total));
  restacking = false;
}

std::size_t TResultColumn::LineAt(std::int64_t y) const {
  const auto after = std::upper_bound(tops.begin(), tops.end(), y);
  return after == tops.begin() ? 0 : static_cast<std::size_t>(after - tops.begin() - 1);
}

// Gives the lines in and near the view their labels, measuring those not yet measured.
void TResultColumn::Place() {
  if (placing || restacking || !lines || lines->LineCount() != heights.size()) return;
  placing = true;
  const std::size_t count = heights.size();
  std::size_t from = 0, to = 0;
  while (count > 0) {
    const std::int64_t top = Box->verticalScrollBar()->value();
    if (count <= AllLabelsUpTo) {
      to = count;
    } else {
      const std::int64_t view = Box->maximumViewportSize().height();
      from = LineAt(top - ViewsAround * view);
      to = LineAt(top + view + ViewsAround * view) + 1;
    }
    const std::size_t anchor = LineAt(top);
    const std::int64_t offset = top - tops[anchor];
    bool measured = false;
    for (std::size_t i = from; i < to; ++i) {
      if (exact[i]) continue;
      Settle(i);
      measured = true;
    }
    if (!measured) break;
    Restack();
    KeepInView(anchor, offset);
    // and look again: the lines near the view may be others now
  }
  Materialize(from, to);
  placing = false;
}

// Scrolls so that `line` starts `offset` pixels above the top of the view, as it did
// before heights above it changed.
void TResultColumn::KeepInView(std::size_t line, std::int64_t offset) {
  QScrollBar* bar = Box->verticalScrollBar();
  const int value = ClampToWidget(std::max<std::int64_t>(0, tops[line] + offset));
  if (value != bar->value()) bar->setValue(value);
}

// Labels for lines from..to-1, taken over from the last placing where they can be.
void TResultColumn::Materialize(std::size_t from, std::size_t to) {
  const std::size_t count = to - from;
  std::vector<QLabel*> nextLabels(count, nullptr);
  std::vector<std::string> nextTexts(count);
  std::vector<std::size_t> spare;  // indexes into labels
  for (std::size_t k = 0; k < labels.size(); ++k) {
    const std::size_t line = first + k;
    if (line >= from && line < to) {
      nextLabels[line - from] = labels[k];
      nextTexts[line - from] = std::move(shownTexts[k]);
    } else {
      spare.push_back(k);
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t line = from + i;
    QLabel* label = nextLabels[i];
    bool fresh = false;
    if (!label && !spare.empty()) {
      label = labels[spare.back()];
      nextTexts[i] = std::move(shownTexts[spare.back()]);
      spare.pop_back();
    } else if (!label) {
      label = new QLabel(Panel);
      SetUpLabel(label);
      fresh = true;
    }
    if (fresh || nextTexts[i] != lines->Line(line)) {
      label->setText(DisplayText(lines->Line(line)));
      nextTexts[i] = lines->Line(line);
    }
    label->setGeometry(0, ClampToWidget(tops[line]), width, heights[line]);
    if (fresh) label->show();
    nextLabels[i] = label;
  }
  for (std::size_t k : spare) delete labels[k];

  const std::size_t separatorCount = count > 0 ? count - 1 : 0;
  while (separators.size() > separatorCount) {
    delete separators.back();
    separators.pop_back();
  }
  while (separators.size() < separatorCount) {
    auto* separator = new QFrame(Panel);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->show();
    separators.push_back(separator);
  }
  controls.clear();
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) {
      QFrame* separator = separators[i - 1];
      separator->setGeometry(0, ClampToWidget(tops[from + i] - SeparatorHeight), width, SeparatorHeight);
      separator->setFrameRect(QRect(0, 0, width, 2));  // the etched line along the top edge
      controls.push_back(separator);
    }
    controls.push_back(nextLabels[i]);
  }
  labels = std::move(nextLabels);
  shownTexts = std::move(nextTexts);
  first = from;
}

// Measures lines whose height is still estimated, for about `milliseconds`, going on
// down from where the last turn stopped; the line at the top of the view stays put.
void TResultColumn::MeasureFor(int milliseconds) {
  if (pending == 0 || !lines) return;
  QElapsedTimer clock;
  clock.start();
  const std::int64_t top = Box->verticalScrollBar()->value();
  const std::size_t anchor = LineAt(top);
  const std::int64_t offset = top - tops[anchor];
  const std::size_t count = heights.size();
  do {
    for (int batch = 0; batch < 16 && pending > 0; ++batch) {
      while (exact[nextToMeasure]) nextToMeasure = (nextToMeasure + 1) % count;
      Settle(nextToMeasure);
    }
  } while (pending > 0 && clock.elapsed() < milliseconds);
  Restack();
  KeepInView(anchor, offset);
  Place();
  if (pending > 0) measureTimer.start();
}

}  // namespace zendric
