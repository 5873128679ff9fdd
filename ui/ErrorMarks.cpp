#include "ErrorMarks.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <algorithm>

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
  const std::vector<MessagePlace> places = shown_->Places();
  struct Found {
    int Start, End;
    std::uint32_t Message;
  };
  std::vector<Found> found;
  found.reserve(places.size());
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (places[i].Mark.Start == places[i].Mark.End) continue;  // no character to carry it: an empty field
    found.push_back({places[i].Mark.Start, places[i].Mark.End, static_cast<std::uint32_t>(i)});
  }
  // Several errors on one character make one mark that names them all, in list order.
  const auto byStart = [](const Found& a, const Found& b) { return a.Start < b.Start; };
  if (!std::is_sorted(found.begin(), found.end(), byStart)) std::stable_sort(found.begin(), found.end(), byStart);
  // Built anew rather than cleared, so that a short list lets the memory of a long one go.
  std::vector<Mark> marks;
  std::vector<std::uint32_t> order;
  order.reserve(found.size());
  for (const Found& f : found) {
    if (!marks.empty() && marks.back().Start == f.Start)
      ++marks.back().Count;
    else
      marks.push_back({f.Start, f.End, static_cast<std::uint32_t>(order.size()), 1});
    order.push_back(f.Message);
  }
  marks.shrink_to_fit();
  marks_ = std::move(marks);
  messageOrder_ = std::move(order);
  layer_->update();
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

QRect TErrorMarks::RectIn(const Mark& mark, const QTextBlock& block, QPointF origin) const {
  const QTextLayout* layout = block.layout();
  if (!layout || layout->lineCount() == 0) return {};
  const int start = field_->FieldPosition(mark.Start, true) - block.position();
  const int end = std::min(field_->FieldPosition(mark.End) - block.position(), block.length() - 1);
  const QTextLine line = LineHolding(*layout, start);
  const qreal left = line.cursorToX(start);
  const bool lastLine = line.lineNumber() == layout->lineCount() - 1;
  int width = 0;
  if (end < line.textStart() + line.textLength() || lastLine) width = qRound(line.cursorToX(end) - left);
  if (width <= 0) {
    // The character ends a wrapped display line: measure it instead.
    width = std::max(1, field_->fontMetrics().horizontalAdvance(block.text().mid(start, end - start)));
  }
  // Wide enough for two turns of the wave under a blank or an "i"; the wave runs in
  // the line's descent and may reach a little below it.
  return QRect(qRound(origin.x() + left), qRound(origin.y() + line.y()), std::max(width, 5), qRound(line.height()) + 2);
}

QRect TErrorMarks::MarkRect(const Mark& mark) const {
  const QTextBlock block = field_->document()->findBlock(field_->FieldPosition(mark.Start, true));
  return RectIn(mark, block, BlockOrigin(block));
}

void TErrorMarks::PaintMarks(QPainter& painter, const QRect& area) const {
  if (marks_.empty()) return;
  // Only the marks of the lines in view: a long code may carry thousands.
  const int first = field_->ModelOffset(field_->cursorForPosition(QPoint(0, 0)).position());
  const int last = field_->ModelOffset(field_->cursorForPosition(QPoint(layer_->width(), layer_->height())).position());
  auto m = std::lower_bound(marks_.begin(), marks_.end(), first - 1,
                            [](const Mark& mark, int offset) { return mark.End < offset; });
  const int baseline = field_->fontMetrics().ascent();
  painter.setPen(QPen(MarkColour, 1));
  QTextBlock block;
  QPointF origin;
  for (; m != marks_.end() && m->Start <= last + 1; ++m) {
    const int at = field_->FieldPosition(m->Start, true);
    if (!block.isValid() || !block.contains(at)) {
      block = field_->document()->findBlock(at);
      origin = BlockOrigin(block);
    }
    const QRect r = RectIn(*m, block, origin);
    if (!r.intersects(area)) continue;
    // A zigzag two pixels high and four long, from the baseline down.
    const int high = r.top() + baseline + 1, low = high + 2;
    QPolygon wave;
    int x = r.left();
    for (int i = 0; x <= r.right(); x += 2, ++i) wave << QPoint(x, i % 2 ? high : low);
    if (x - 2 < r.right()) wave << QPoint(r.right(), high + 1);  // half a turn to the character's edge
    painter.drawPolyline(wave);
  }
}

const TErrorMarks::Mark* TErrorMarks::MarkAt(QPoint point) const {
  // The caret place nearest the pointer has the character under it on one side or the other.
  const int caret = field_->ModelOffset(field_->cursorForPosition(point).position());
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
