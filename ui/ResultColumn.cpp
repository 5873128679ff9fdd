#include "ResultColumn.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>

namespace zendric {
namespace {

constexpr int FirstMeasureMs = 40;  // measured before the column first shows
constexpr int SliceMs = 12;         // measured per turn of the event loop after that
constexpr QMargins LabelMargins{3, 0, 3, 0};  // keeps the text off the box's frame

// A result line marks its own line breaks with carriage returns; a label breaks at '\n'.
QString DisplayText(const std::string& line) {
  QString text = QString::fromStdString(line);
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
  Box->installEventFilter(this);
}

TResultColumn::~TResultColumn() { Clear(); }

// A paragraph's text can be selected with the mouse, and with Shift and the arrows once
// it has the focus; Tab passes over the paragraphs, and the column's menu is theirs.
void TResultColumn::SetUpLabel(QLabel* label) const {
  label->setTextFormat(Qt::PlainText);  // "&" and "<b>" stay as typed
  label->setWordWrap(true);
  label->setContentsMargins(LabelMargins);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  label->setFocusPolicy(Qt::ClickFocus);
  label->setContextMenuPolicy(Qt::NoContextMenu);
  label->installEventFilter(const_cast<TResultColumn*>(this));
}

QString TResultColumn::SelectedText() const {
  for (const QLabel* label : labels)
    if (label->hasSelectedText()) return label->selectedText();
  return {};
}

bool TResultColumn::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && ColumnKey(static_cast<QKeyEvent*>(event))) return true;
  return QObject::eventFilter(watched, event);
}

// Home and End (with or without Ctrl) go to the top and the bottom, the page keys a page
// on, from the column or from a paragraph in it; Enter puts the focus in the first
// paragraph in view, to select from the keyboard, and Escape takes it back out.
bool TResultColumn::ColumnKey(QKeyEvent* key) {
  QScrollBar* bar = Box->verticalScrollBar();
  const bool inParagraph = QApplication::focusWidget() != Box;
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  const bool plain = mods == Qt::NoModifier, ctrl = mods == Qt::ControlModifier;
  switch (key->key()) {
    case Qt::Key_Home:
      if (!(ctrl || (plain && !inParagraph))) return false;
      bar->triggerAction(QAbstractSlider::SliderToMinimum);
      return true;
    case Qt::Key_End:
      if (!(ctrl || (plain && !inParagraph))) return false;
      bar->triggerAction(QAbstractSlider::SliderToMaximum);
      return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      if (!plain) return false;
      bar->triggerAction(key->key() == Qt::Key_PageUp ? QAbstractSlider::SliderPageStepSub
                                                       : QAbstractSlider::SliderPageStepAdd);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    {
      if (inParagraph || labels.empty()) return false;
      const std::size_t top = std::clamp(LineAt(bar->value()), first, first + labels.size() - 1);
      labels[top - first]->setFocus(Qt::OtherFocusReason);
      labels[top - first]->setSelection(0, 0);  // the caret at the start of the paragraph
      return true;
    }
    case Qt::Key_Escape:
      if (!inParagraph) return false;
      Box->setFocus(Qt::OtherFocusReason);
      return true;
    default:
      return false;
  }
}

int TResultColumn::Measure(const std::string& line, int atWidth) {
  ruler.setText(DisplayText(line));
  return ruler.heightForWidth(atWidth);
}

// Rows of average characters at the current width: near enough to size the scroll bar.
int TResultColumn::Estimate(const std::string& line) const {
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
  const std::string& text = (*lines)[line];
  auto [it, added] = knownHeights.try_emplace(text, 0);
  if (added) it->second = Measure(text, width);
  heights[line] = it->second;
  exact[line] = true;
  --pending;
}

// Whether the column at `atWidth` is taller than `room`; stops as soon as it is.
bool TResultColumn::TallerThan(int atWidth, int room) {
  const bool known = atWidth == knownWidth && ruler.font() == knownFont;
  std::int64_t total = -SeparatorHeight;
  for (const std::string& line : *lines) {
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

void TResultColumn::Fill(const std::vector<std::string>& newLines) {
  measureTimer.stop();
  lines = &newLines;
  if (ruler.font() != Panel->font()) ruler.setFont(Panel->font());

  const QSize room = Box->maximumViewportSize();
  int newWidth = room.width();
  // The scroll bar will take its share of the width: wrap for what is left.
  if (TallerThan(newWidth, room.height()))
    newWidth = std::max(0, newWidth - Box->verticalScrollBar()->sizeHint().width());
  UseWidth(newWidth);

  const std::size_t count = lines->size();
  heights.assign(count, 0);
  exact.assign(count, false);
  pending = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const auto it = knownHeights.find((*lines)[i]);
    if (it != knownHeights.end()) {
      heights[i] = it->second;
      exact[i] = true;
    } else {
      heights[i] = Estimate((*lines)[i]);
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
  std::unordered_map<std::string, int> current;
  for (std::size_t i = 0; i < heights.size(); ++i)
    if (exact[i]) current.emplace((*lines)[i], heights[i]);
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
  lines = nullptr;
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
  if (placing || restacking || !lines || lines->size() != heights.size()) return;
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
    if (fresh || nextTexts[i] != (*lines)[line]) {
      label->setText(DisplayText((*lines)[line]));
      nextTexts[i] = (*lines)[line];
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
