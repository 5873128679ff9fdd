#include "ErrorMarks.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <algorithm>
#include <limits>

#include "ErrorList.h"

namespace zendric {

// Drawn over the field's viewport rather than in it, so the waves are ours to shape:
// the toolkit's own wave underline is two pixels high at this font size and fades to
// pink. It lets the mouse through to the field below.
class TMarkLayer : public QWidget {
 public:
  TMarkLayer(QWidget* parent, const TErrorMarks& marks) : QWidget(parent), marks_(marks) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Error marks"));
    setAccessibleDescription(QStringLiteral("Red wavy lines under the characters where errors were found"));
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    marks_.PaintMarks(painter, event->rect());
  }

 private:
  const TErrorMarks& marks_;
};

TErrorMarks::TErrorMarks(TCodeEdit* field) : QObject(field), field_(field) {
  layer_ = new TMarkLayer(field_, *this);
  layer_->setGeometry(field_->viewport()->geometry());
  layer_->raise();
  field_->viewport()->installEventFilter(this);
}

void TErrorMarks::Show(std::shared_ptr<const FieldModel> field) {
  shown_ = std::move(field);
  coveredAny_ = false;
  // Let go rather than cleared, so that a short list lets the memory of a long one go.
  marks_ = {};
  messageOrder_ = {};
  layer_->update();
}

void TErrorMarks::Cover(FieldRange range) const {
  if (coveredAny_ && covered_.Start <= range.Start && range.End <= covered_.End) return;
  std::vector<Mark> marks;
  std::vector<std::uint32_t> order;
  if (shown_) {
    const std::vector<MarkedMessage> found = shown_->MarksIn(range);
    order.reserve(found.size());
    // Several errors on one character make one mark that names them all, in list order.
    for (const MarkedMessage& f : found) {
      if (!marks.empty() && marks.back().Start == f.Mark.Start)
        ++marks.back().Count;
      else
        marks.push_back({f.Mark.Start, f.Mark.End, static_cast<std::uint32_t>(order.size()), 1});
      order.push_back(f.Message);
    }
  }
  marks_ = std::move(marks);
  messageOrder_ = std::move(order);
  covered_ = range;
  coveredAny_ = true;
}

const std::vector<TErrorMarks::Mark>& TErrorMarks::Marks() const {
  Cover({0, std::numeric_limits<std::int32_t>::max()});
  return marks_;
}

std::span<const std::uint32_t> TErrorMarks::MessagesUnder(int offset) const {
  Cover({offset, offset + 1});
  for (const Mark& mark : marks_)
    if (mark.Start <= offset && offset < mark.End) return MessageIndexes(mark);
  return {};
}

QStringList TErrorMarks::MessagesOf(const Mark& mark) const {
  QStringList messages;
  for (std::uint32_t k = mark.First; k < mark.First + mark.Count; ++k)
    messages << ShownMessage(shown_->Reading().Message(messageOrder_[k]));
  return messages;
}

namespace {

// The line of `layout` that holds block position `at`, found by halving: the layout's
// own lookup walks the lines from the first, and a pasted megabyte has thousands.
QTextLine LineHolding(const QTextLayout& layout, int at) {
  int low = 0, high = layout.lineCount() - 1;
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (layout.lineAt(middle).textStart() <= at)
      low = middle;
    else
      high = middle - 1;
  }
  return layout.lineAt(low);
}

}  // namespace

// Where the layout of `block` has its origin in the viewport: the caret rectangle at
// the block's start, less the first line's place. A caret rectangle costs a walk over
// every line of its block, so a paint takes one per block, not one per mark.
QPointF TErrorMarks::BlockOrigin(const QTextBlock& block) const {
  QTextCursor at(field_->document());
  at.setPosition(block.position());
  const QRect caret = field_->cursorRect(at);  // lays the block out if it was not
  const QTextLine first = block.layout()->lineAt(0);
  if (!first.isValid()) return caret.topLeft();
  return QPointF(caret.left() - first.cursorToX(0), caret.top() - first.y());
}

// The rectangle of field positions [start, end) of `block`, on the display line that
// holds `start`, cut at that line's end.
QRect TErrorMarks::RunRect(const QTextBlock& block, QPointF origin, int start, int end) const {
  const QTextLayout* layout = block.layout();
  if (!layout || layout->lineCount() == 0) return {};
  const QTextLine line = LineHolding(*layout, start);
  const int lineEnd = line.textStart() + line.textLength();
  end = std::min(end, lineEnd);
  const qreal left = line.cursorToX(start);
  const bool lastLine = line.lineNumber() == layout->lineCount() - 1;
  int width = 0;
  if (end < lineEnd || lastLine) width = qRound(line.cursorToX(end) - left);
  if (width <= 0) {
    // The run ends a wrapped display line: measure it instead.
    width = std::max(1, field_->fontMetrics().horizontalAdvance(block.text().mid(start, end - start)));
  }
  // Wide enough for two turns of the wave under a blank or an "i"; the wave runs in
  // the line's descent and may reach a little below it.
  return QRect(qRound(origin.x() + left), qRound(origin.y() + line.y()), std::max(width, 5), qRound(line.height()) + 2);
}

QRect TErrorMarks::RectIn(const Mark& mark, const QTextBlock& block, QPointF origin) const {
  const int start = field_->FieldPosition(mark.Start, true) - block.position();
  const int end = std::min(field_->FieldPosition(mark.End) - block.position(), block.length() - 1);
  return RunRect(block, origin, start, end);
}

QRect TErrorMarks::MarkRect(const Mark& mark) const {
  const QTextBlock block = field_->document()->findBlock(field_->FieldPosition(mark.Start, true));
  return RectIn(mark, block, BlockOrigin(block));
}

void TErrorMarks::PaintMarks(QPainter& painter, const QRect& area) const {
  if (!shown_ || shown_->Reading().MessageCount() == 0) return;
  // Only the marks of the lines in view: a long code may carry a million.
  const int first = field_->ModelOffset(field_->cursorForPosition(QPoint(0, 0)).position());
  const int last = field_->ModelOffset(field_->cursorForPosition(QPoint(layer_->width(), layer_->height())).position());
  Cover({std::max(first - 1, 0), last + 2});
  const int baseline = field_->fontMetrics().ascent();
  painter.setPen(QPen(MarkColour, 1));
  const auto wave = [&](const QRect& r) {
    if (!r.intersects(area)) return;
    // A zigzag two pixels high and four long, from the baseline down.
    const int high = r.top() + baseline + 1, low = high + 2;
    QPolygon zigzag;
    int x = r.left();
    for (int i = 0; x <= r.right(); x += 2, ++i) zigzag << QPoint(x, i % 2 ? high : low);
    if (x - 2 < r.right()) zigzag << QPoint(r.right(), high + 1);  // half a turn to the character's edge
    painter.drawPolyline(zigzag);
  };
  QTextBlock block;
  QPointF origin;
  for (auto m = marks_.begin(); m != marks_.end();) {
    // Marks one after the other in one block make one run, drawn a display line at a
    // time: a line of errors costs two measures, not two for each character.
    const int start = field_->FieldPosition(m->Start, true);
    int end = field_->FieldPosition(m->End);
    for (++m; m != marks_.end() && field_->FieldPosition(m->Start, true) == end; ++m) end = field_->FieldPosition(m->End);
    if (!block.isValid() || !block.contains(start)) {
      block = field_->document()->findBlock(start);
      origin = BlockOrigin(block);
    }
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0) continue;
    const int blockEnd = block.length() - 1;
    for (int at = start - block.position(), to = std::min(end - block.position(), blockEnd); at < to;) {
      const QTextLine line = LineHolding(*layout, at);
      const int lineEnd = line.textStart() + line.textLength();
      wave(RunRect(block, origin, at, to));
      if (lineEnd <= at) break;
      at = lineEnd;
    }
  }
}

const TErrorMarks::Mark* TErrorMarks::MarkAt(QPoint point) const {
  // The caret place nearest the pointer has the character under it on one side or the other.
  const int caret = field_->ModelOffset(field_->cursorForPosition(point).position());
  Cover({std::max(caret - 1, 0), caret + 2});
  auto m = std::lower_bound(marks_.begin(), marks_.end(), caret - 1,
                            [](const Mark& mark, int offset) { return mark.End < offset; });
  for (; m != marks_.end() && m->Start <= caret + 1; ++m)
    if (MarkRect(*m).contains(point)) return &*m;
  return nullptr;
}

QString TErrorMarks::ToolTipAt(QPoint point) const {
  const Mark* mark = MarkAt(point);
  return mark ? MessagesOf(*mark).join(u'\n') : QString();
}

bool TErrorMarks::eventFilter(QObject* watched, QEvent* event) {
  if (watched != field_->viewport()) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
      layer_->setGeometry(field_->viewport()->geometry());
      break;
    case QEvent::ToolTip: {
      const auto* help = static_cast<QHelpEvent*>(event);
      if (const Mark* mark = MarkAt(help->pos()))
        QToolTip::showText(help->globalPos(), MessagesOf(*mark).join(u'\n'), field_->viewport(), MarkRect(*mark));
      else
        QToolTip::hideText();
      return true;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace zendric
