#include "ResultColumn.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace zendric {
namespace {

constexpr int FirstMeasureMs = 40;  // measured before the column first shows
constexpr int SliceMs = 12;         // measured per turn of the event loop after that
constexpr QMargins LabelMargins{3, 0, 3, 0};  // keeps the text off the box's frame

// A result line marks its own line breaks with carriage returns; a label breaks at '\n'.
QString DisplayText(std::string_view piece) {
  QString text = QString::fromUtf8(piece.data(), static_cast<qsizetype>(piece.size()));
  text.replace(u'\r', u'\n');
  return text;
}

std::uint64_t TextKey(std::string_view text) {
  return std::hash<std::string_view>{}(text) * 0x9E3779B97F4A7C15ull + text.size();
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
  if (watched != Box && PointerEvent(watched, event)) return true;
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
      const std::size_t top = std::clamp(PieceAt(bar->value()), first, first + labels.size() - 1);
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

void TResultColumn::CutIntoPieces(std::string_view line, std::uint32_t index, std::vector<Piece>& out) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t limit = std::min(line.size(), from + PieceBytes);
    std::size_t rows = 1, at = from;
    while (at < limit && !(line[at] == '\r' && ++rows > PieceRows)) ++at;
    if (at == line.size()) {
      out.push_back({index, static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(at)});
      return;
    }
    std::size_t to = at, next = at + 1;  // cut at the line break that starts a row too many
    if (at == limit) {
      // Too many bytes: cut after the last line break, else after a blank in the second
      // half, else between two code points. Each piece takes at least one byte.
      const std::string_view part = line.substr(from, limit - from);
      const std::size_t lastBreak = part.rfind('\r');
      const std::size_t lastBlank = part.rfind(' ');
      if (lastBreak != std::string_view::npos && lastBreak > 0) {
        to = from + lastBreak;
        next = to + 1;
      } else if (lastBlank != std::string_view::npos && lastBlank >= PieceBytes / 2) {
        to = next = from + lastBlank + 1;
      } else {
        to = limit;
        while (to > from + 1 && (static_cast<unsigned char>(line[to]) & 0xC0) == 0x80) --to;
        next = to;
      }
    }
    out.push_back({index, static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to)});
    from = next;
  }
}

bool TResultColumn::IsOnePiece(std::string_view line) {
  return line.size() <= PieceBytes && static_cast<std::size_t>(std::count(line.begin(), line.end(), '\r')) < PieceRows;
}

std::string_view TResultColumn::TextOf(std::size_t piece) const {
  if (wholeLines) return lines->Line(piece);
  const Piece& p = pieces[piece];
  return lines->Line(p.Line).substr(p.From, p.To - p.From);
}

int TResultColumn::LineHeight(std::size_t line) const {
  const std::size_t last = FirstPieceOf(line + 1) - 1;
  return static_cast<int>(tops[last] + heights[last] - tops[FirstPieceOf(line)]);
}

// The separator above a piece: none above the first, nor between pieces of one line.
int TResultColumn::GapBefore(std::size_t piece) const {
  return piece > 0 && LineOfPiece(piece) != LineOfPiece(piece - 1) ? SeparatorHeight : 0;
}

int TResultColumn::Measure(std::string_view text, int atWidth) {
  ++measurements;
  ruler.setText(DisplayText(text));
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

// The exact height of `piece`: known from an earlier piece of the same text, or measured.
void TResultColumn::Settle(std::size_t piece) {
  const std::string_view text = TextOf(piece);
  auto [it, added] = knownHeights.try_emplace(TextKey(text), 0);
  if (added) it->second = Measure(text, width);
  heights[piece] = it->second;
  exact[piece] = true;
  --pending;
}

// Whether the column at `atWidth` is taller than `room`; stops as soon as it is.
bool TResultColumn::TallerThan(int atWidth, int room) {
  // Asked first at the width without a scroll bar, while the heights kept are for the
  // width with one: that width keeps heights of its own, or every key in a column
  // taller than its view measured its lines again (half of a keystroke's time).
  const bool known = atWidth == knownWidth && ruler.font() == knownFont;
  if (!known && (atWidth != wideWidth || ruler.font() != wideFont || wideHeights.size() > 2 * PieceCount() + 1024)) {
    wideHeights.clear();
    wideWidth = atWidth;
    wideFont = ruler.font();
  }
  std::unordered_map<std::uint64_t, int>& heightsAt = known ? knownHeights : wideHeights;
  std::int64_t total = 0;
  for (std::size_t i = 0; i < PieceCount(); ++i) {
    const std::string_view text = TextOf(i);
    auto [it, added] = heightsAt.try_emplace(TextKey(text), 0);
    if (added) it->second = Measure(text, atWidth);
    total += it->second + GapBefore(i);
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
    oneLineHeight = Measure("Xg", width);
  }
  averageCharWidth = std::max(1, ruler.fontMetrics().averageCharWidth());
}

void TResultColumn::LetGo() {
  keepTexts = true;
  Fill(nullptr);
  keepTexts = false;
}

void TResultColumn::Fill(std::shared_ptr<const ParseResult> reading) {
  measureTimer.stop();
  lines = reading ? std::move(reading) : std::make_shared<const ParseResult>();
  if (ruler.font() != Panel->font()) ruler.setFont(Panel->font());
  // Rebuilt rather than cleared, so that a short reading lets a long one's memory go.
  std::vector<Piece> newPieces;
  std::vector<std::uint32_t> newFirsts;
  std::size_t cut = 0;
  while (cut < lines->LineCount() && IsOnePiece(lines->Line(cut))) ++cut;
  wholeLines = cut == lines->LineCount();
  if (!wholeLines) {
    newPieces.reserve(lines->LineCount());
    newFirsts.reserve(lines->LineCount() + 1);
    for (std::size_t i = 0; i < lines->LineCount(); ++i) {
      newFirsts.push_back(static_cast<std::uint32_t>(newPieces.size()));
      CutIntoPieces(lines->Line(i), static_cast<std::uint32_t>(i), newPieces);
    }
    newFirsts.push_back(static_cast<std::uint32_t>(newPieces.size()));
  }
  pieces = std::move(newPieces);
  firstPiece = std::move(newFirsts);

  // A reading let go keeps the width it was wrapped at, and with it the heights known.
  if (!keepTexts) {
    const QSize room = Box->maximumViewportSize();
    int newWidth = room.width();
    // The scroll bar will take its share of the width: wrap for what is left.
    if (TallerThan(newWidth, room.height()))
      newWidth = std::max(0, newWidth - Box->verticalScrollBar()->sizeHint().width());
    UseWidth(newWidth);
  }

  const std::size_t count = PieceCount();
  std::vector<int>(count, 0).swap(heights);
  std::vector<bool>(count, false).swap(exact);
  pending = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view text = TextOf(i);
    const auto it = knownHeights.find(TextKey(text));
    if (it != knownHeights.end()) {
      heights[i] = it->second;
      exact[i] = true;
    } else {
      heights[i] = Estimate(text);
      ++pending;
    }
  }
  if (!keepTexts) ForgetOldTexts();
  Restack();
  Place();
  nextToMeasure = first;
  MeasureFor(FirstMeasureMs);
}

// Old texts stay known while they may come back (a key pressed and undone); the map is
// cut back to the current lines once it holds far more.
void TResultColumn::ForgetOldTexts() {
  if (knownHeights.size() <= 2 * heights.size() + 1024) return;
  std::unordered_map<std::uint64_t, int> current;
  for (std::size_t i = 0; i < heights.size(); ++i)
    if (exact[i]) current.emplace(TextKey(TextOf(i)), heights[i]);
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
  std::vector<Piece>().swap(pieces);
  std::vector<std::uint32_t>().swap(firstPiece);
  wholeLines = true;
  std::vector<int>().swap(heights);
  std::vector<bool>().swap(exact);
  std::vector<std::int64_t>().swap(tops);
  pending = 0;
  first = 0;
}

// Tops from the heights; the panel is as high as the labels plus the separators.
void TResultColumn::Restack() {
  const std::size_t count = heights.size();
  if (tops.size() != count) std::vector<std::int64_t>(count).swap(tops);
  std::int64_t y = 0;
  for (std::size_t i = 0; i < count; ++i) {
    y += GapBefore(i);
    tops[i] = y;
    y += heights[i];
  }
  const std::int64_t total = y;
  restacking = true;  // the scroll bar may move; Place follows anyway
  Panel->resize(width, ClampToWidget(total));
  restacking = false;
}

std::size_t TResultColumn::PieceAt(std::int64_t y) const {
  const auto after = std::upper_bound(tops.begin(), tops.end(), y);
  return after == tops.begin() ? 0 : static_cast<std::size_t>(after - tops.begin() - 1);
}

// Gives the lines in and near the view their labels, measuring those not yet measured.
void TResultColumn::Place() {
  if (placing || restacking || !lines || PieceCount() != heights.size() || tops.size() != heights.size()) return;
  placing = true;
  const std::size_t count = heights.size();
  std::size_t from = 0, to = 0;
  while (count > 0) {
    const std::int64_t top = Box->verticalScrollBar()->value();
    if (count <= AllLabelsUpTo) {
      to = count;
    } else {
      const std::int64_t view = Box->maximumViewportSize().height();
      from = PieceAt(top - ViewsAround * view);
      to = PieceAt(top + view + ViewsAround * view) + 1;
    }
    const std::size_t anchor = PieceAt(top);
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

// Labels for pieces from..to-1, taken over from the last placing where they can be.
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
    const std::size_t piece = from + i;
    const std::string_view text = TextOf(piece);
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
    if (fresh || nextTexts[i] != text) {
      label->setText(DisplayText(text));
      nextTexts[i] = text;
    }
    label->setGeometry(0, ClampToWidget(tops[piece]), width, heights[piece]);
    Light(label, LineOfPiece(piece) >= highlightFirst && LineOfPiece(piece) < highlightLast);
    if (fresh) label->show();
    nextLabels[i] = label;
  }
  for (std::size_t k : spare) delete labels[k];

  std::size_t separatorCount = 0;
  for (std::size_t i = 1; i < count; ++i) separatorCount += GapBefore(from + i) > 0;
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
  std::size_t used = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0 && GapBefore(from + i) > 0) {
      QFrame* separator = separators[used++];
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

// A lit paragraph takes the colours of a selected row.
void TResultColumn::Light(QLabel* label, bool lit) const {
  if (label->autoFillBackground() == lit) return;
  label->setAutoFillBackground(lit);
  label->setBackgroundRole(lit ? QPalette::Highlight : QPalette::Window);
  label->setForegroundRole(lit ? QPalette::HighlightedText : QPalette::WindowText);
}

bool TResultColumn::IsLit(const QLabel* label) const { return label->autoFillBackground(); }

std::ptrdiff_t TResultColumn::LineOfLabel(const QObject* label) const {
  for (std::size_t k = 0; k < labels.size(); ++k)
    if (labels[k] == label) return static_cast<std::ptrdiff_t>(LineOfPiece(first + k));
  return -1;
}

// Entering and leaving a paragraph, and a click in it that selects nothing (a press and
// a release in one spot): the paragraph keeps its own handling of all of them.
bool TResultColumn::PointerEvent(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Enter:
      emit LineHovered(LineOfLabel(watched));
      break;
    case QEvent::Leave:
      emit LineHovered(-1);
      break;
    case QEvent::MouseButtonPress:
      pressedAt = static_cast<QMouseEvent*>(event)->position().toPoint();
      break;
    case QEvent::MouseButtonRelease: {
      const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
      const bool still = (at - pressedAt).manhattanLength() < QApplication::startDragDistance();
      pressedAt = {-1, -1};
      const std::ptrdiff_t line = LineOfLabel(watched);
      if (still && line >= 0 && !static_cast<QLabel*>(watched)->hasSelectedText())
        emit LineClicked(static_cast<std::size_t>(line));
      break;
    }
    default:
      break;
  }
  return false;
}

void TResultColumn::SetHighlight(std::size_t firstLine, std::size_t lastLine) {
  if (lastLine <= firstLine) firstLine = lastLine = 0;
  highlightFirst = firstLine;
  highlightLast = lastLine;
  for (std::size_t k = 0; k < labels.size(); ++k) {
    const std::size_t line = LineOfPiece(first + k);
    Light(labels[k], line >= highlightFirst && line < highlightLast);
  }
}

void TResultColumn::ScrollToHighlight() {
  if (highlightLast <= highlightFirst || highlightLast > LineCount() || tops.size() != heights.size()) return;
  const std::size_t top = FirstPieceOf(highlightFirst), bottom = FirstPieceOf(highlightLast) - 1;
  if (bottom >= tops.size()) return;
  const std::int64_t from = tops[top], to = tops[bottom] + heights[bottom];
  QScrollBar* bar = Box->verticalScrollBar();
  const std::int64_t view = Box->viewport()->height();
  std::int64_t value = bar->value();
  if (from < value || to - from > view) value = from;
  else if (to > value + view) value = to - view;
  bar->setValue(ClampToWidget(value));
}

// Measures lines whose height is still estimated, for about `milliseconds`, going on
// down from where the last turn stopped; the line at the top of the view stays put.
void TResultColumn::MeasureFor(int milliseconds) {
  if (pending == 0 || !lines) return;
  QElapsedTimer clock;
  clock.start();
  const std::int64_t top = Box->verticalScrollBar()->value();
  const std::size_t anchor = PieceAt(top);
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
