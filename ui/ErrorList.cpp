#include "ErrorList.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QCursor>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

#include "FocusFrame.h"

namespace zendric {
namespace {

class TErrorRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem row = option;
    const bool focused = row.state & QStyle::State_HasFocus;
    // The style's own focus mark and selection give way to ours: a selected row is lit
    // more than one under the pointer, and the frame in the full colour shows on both.
    const bool selected = row.state & QStyle::State_Selected;
    row.state &= ~(QStyle::State_HasFocus | QStyle::State_Selected);
    if (selected || (row.state & QStyle::State_MouseOver)) {
      QColor lit = row.palette.color(QPalette::Active, QPalette::Highlight);
      lit.setAlpha(selected ? 96 : 48);
      painter->fillRect(row.rect, lit);
    }
    // the position stands in a column of its own in front of the message
    const int column = index.data(PositionWidthRole).toInt();
    if (column > 0) {
      const QRect place = row.rect.adjusted(row.fontMetrics.averageCharWidth() / 2, 0, 0, 0);
      painter->save();
      painter->setPen(row.palette.color(QPalette::PlaceholderText));
      painter->drawText(place, Qt::AlignLeft | Qt::AlignVCenter, index.data(PositionTextRole).toString());
      painter->restore();
      row.rect.setLeft(row.rect.left() + column);
    }
    QStyledItemDelegate::paint(painter, row, index);
    if (focused) PaintFocusFrame(*painter, option.rect, row.palette);
  }
};

bool StartsCodePoint(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

}  // namespace

QString ShownMessage(std::string_view message) {
  const auto text = [](std::string_view part) { return QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size())); };
  // Counted from the front only until the limit is passed: a megabyte costs no more
  // than a short message.
  const std::size_t headLength = ShownMessageLength - TailLength;
  std::size_t at = 0, points = 0, headEnd = 0;
  for (; at < message.size() && points <= ShownMessageLength; ++at) {
    if (!StartsCodePoint(message[at])) continue;
    if (points == headLength) headEnd = at;
    ++points;
  }
  if (points <= ShownMessageLength) return text(message);
  std::size_t tailStart = message.size();
  for (std::size_t tail = 0; tail < TailLength;)
    if (StartsCodePoint(message[--tailStart])) ++tail;
  return text(message.substr(0, headEnd)) + QStringLiteral(" \u2026 ") + text(message.substr(tailStart));
}

QString PositionText(std::int32_t position) { return u"position "_s + QString::number(position); }

void TErrorListModel::SetReading(std::shared_ptr<const ParseResult> reading, std::shared_ptr<const FieldModel> field,
                                 QSize rowSize, int positionWidth) {
  beginResetModel();
  PositionWidth = positionWidth;
  Reading = std::move(reading);
  Field = std::move(field);
  RowSize = rowSize;
  endResetModel();
}

int TErrorListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !Reading) return 0;
  return static_cast<int>(std::min<std::size_t>(Reading->MessageCount(), INT_MAX));
}

QVariant TErrorListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) return ShownMessage(Reading->Message(static_cast<std::size_t>(index.row())));
  if (role == Qt::SizeHintRole && RowSize.isValid()) return RowSize;
  if (role == PositionTextRole) return PositionText(Reading->MessagePosition(static_cast<std::size_t>(index.row())));
  if (role == PositionWidthRole) return PositionWidth;
  if (role == Qt::AccessibleTextRole)
    return PositionText(Reading->MessagePosition(static_cast<std::size_t>(index.row()))) + u": "_s +
           ShownMessage(Reading->Message(static_cast<std::size_t>(index.row())));
  if (role == Qt::ToolTipRole) {
    QString tip = ShownMessage(ItemText(index.row()).toStdString());
    if (Explain) {
      const QString expects = Explain(index.row());
      if (!expects.isEmpty()) tip += (tip.isEmpty() ? u""_s : u"\n"_s) + expects;
    }
    if (!tip.isEmpty()) return tip;
  }
  return {};
}

TErrorList::TErrorList(QWidget* parent) : QListView(parent), Model(new TErrorListModel(this)) {
  setModel(Model);
  setUniformItemSizes(true);  // rows are placed by arithmetic, not measured one by one
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setItemDelegate(new TErrorRowDelegate(this));
  setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_Hover);
  RowHeight_ = SizeOfRow(QStringLiteral("Error")).height();
}

QSize TErrorList::SizeOfRow(const QString& text) const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.text = text;
  option.features |= QStyleOptionViewItem::HasDisplay;
  return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
}

void TErrorList::SetHeightForRows(int height) {
  Room = height;
  FitWholeRows();
}

// The rows' height is fixed; what is left for them depends on the horizontal scroll bar,
// which comes and goes with the width.
int TErrorList::WholeRowsHeight(int room) const {
  if (RowHeight_ <= 0) return room;
  const QScrollBar* bar = horizontalScrollBar();
  const bool barShown = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ||
                        (horizontalScrollBarPolicy() == Qt::ScrollBarAsNeeded && bar->maximum() > 0);
  const int chrome = 2 * frameWidth() + (barShown ? bar->sizeHint().height() : 0);
  const int rows = std::max(1, (room - chrome) / RowHeight_);
  return chrome + rows * RowHeight_;
}

void TErrorList::FitWholeRows() {
  if (Room <= 0 || RowHeight_ <= 0 || Fitting) return;
  const int height = WholeRowsHeight(Room);
  if (height == this->height() && minimumHeight() == maximumHeight()) return;
  Fitting = true;
  setFixedHeight(height);
  Fitting = false;
}

void TErrorList::changeEvent(QEvent* event) {
  QListView::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    RowHeight_ = SizeOfRow(QStringLiteral("Error")).height();
    FitWholeRows();
  }
}

// A pointing hand over a row, the plain arrow beside the rows.
void TErrorList::mouseMoveEvent(QMouseEvent* event) {
  QListView::mouseMoveEvent(event);
  if (indexAt(event->position().toPoint()).isValid()) viewport()->setCursor(Qt::PointingHandCursor);
  else viewport()->unsetCursor();
}

void TErrorList::leaveEvent(QEvent* event) {
  QListView::leaveEvent(event);
  viewport()->unsetCursor();
}

QString TErrorListModel::ItemText(int row) const {
  if (!Reading || !Field || row < 0 || static_cast<std::size_t>(row) >= Reading->MessageCount()) return {};
  const std::string_view item = Field->CodeOf(Reading->MessageItem(static_cast<std::size_t>(row)));
  return QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()));
}

// All rows take the size of the longest message, so that the list scrolls sideways as
// far as the widest one reaches; messages come from a few fixed patterns, so the
// longest in bytes is the widest but for a pixel or two of slack. The reading keeps its
// longest message and largest position: nothing here walks the messages.
void TErrorList::SetReading(std::shared_ptr<const ParseResult> reading, std::shared_ptr<const FieldModel> field) {
  QSize rowSize;
  int positionWidth = 0;
  if (reading && reading->MessageCount() > 0) {
    const std::int32_t last = std::max<std::int32_t>(1, reading->LargestMessagePosition());
    positionWidth = fontMetrics().horizontalAdvance(PositionText(last) + u"  "_s);
    rowSize = SizeOfRow(ShownMessage(reading->Message(reading->LongestMessage())));
    rowSize.rwidth() += fontMetrics().averageCharWidth() + positionWidth;
    RowHeight_ = rowSize.height();
  }
  RowWidth = rowSize.isValid() ? rowSize.width() : 0;
  HoverRow = -1;  // as the view forgets its hovered index on a reset
  Model->SetReading(std::move(reading), std::move(field), rowSize, positionWidth);
}

// --- the rows' geometry, by arithmetic ---

void TErrorList::doItemsLayout() {
  ++LayoutCount_;
  // QListView's own would walk every row to place it: skipped for its base's, which
  // only sets the scroll bars and repaints.
  QAbstractItemView::doItemsLayout();
}

int TErrorList::RowsInView() const { return RowHeight_ > 0 ? viewport()->height() / RowHeight_ : 0; }

// Scrolled by item (the usual style), the vertical scroll bar counts rows.
int TErrorList::verticalOffset() const {
  const qint64 value = verticalScrollBar()->value();
  return static_cast<int>(std::min<qint64>(PerItem() ? value * RowHeight_ : value, INT_MAX));
}

int TErrorList::horizontalOffset() const {
  const QScrollBar* bar = horizontalScrollBar();
  return isRightToLeft() ? bar->maximum() - bar->value() : bar->value();
}

QRect TErrorList::visualRect(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != Model || index.row() >= Model->rowCount() || RowHeight_ <= 0) return {};
  // far out of sight, a row's place is kept within what a rectangle can hold
  const qint64 top = static_cast<qint64>(index.row()) * RowHeight_ - verticalOffset();
  const int y = static_cast<int>(std::clamp<qint64>(top, INT_MIN / 4, INT_MAX / 4));
  return {-horizontalOffset(), y, std::max(RowWidth, viewport()->width()), RowHeight_};
}

std::pair<int, int> TErrorList::RowsIn(const QRect& area) const {
  const int count = Model->rowCount();
  const int left = -horizontalOffset(), width = std::max(RowWidth, viewport()->width());
  if (RowHeight_ <= 0 || count == 0 || area.isEmpty() || area.right() < left || area.left() >= left + width)
    return {0, -1};
  const qint64 top = static_cast<qint64>(area.top()) + verticalOffset();
  const qint64 bottom = static_cast<qint64>(area.bottom()) + verticalOffset();
  if (bottom < 0) return {0, -1};
  return {static_cast<int>(std::max<qint64>(0, top) / RowHeight_),
          static_cast<int>(std::min<qint64>(count - 1, bottom / RowHeight_))};
}

QModelIndex TErrorList::indexAt(const QPoint& point) const {
  const auto [first, last] = RowsIn(QRect(point, QSize(1, 1)));
  return first <= last ? Model->index(first) : QModelIndex();
}

// The scroll bars as QListView sets them for rows of one size in one column: scrolled
// by item, a page is the whole rows in view and the bar ends with the last row at the
// bottom.
void TErrorList::updateGeometries() {
  QScrollBar* across = horizontalScrollBar();
  QScrollBar* down = verticalScrollBar();
  const qint64 count = Model->rowCount();
  if (geometry().isEmpty() || count <= 0 || RowHeight_ <= 0) {
    across->setRange(0, 0);
    down->setRange(0, 0);
  } else {
    const QSize room = viewport()->size();
    across->setSingleStep(RowWidth);
    across->setPageStep(room.width());
    across->setRange(0, std::max(0, RowWidth - room.width()));
    const qint64 height = count * RowHeight_;
    if (PerItem()) {
      const qint64 page = height <= room.height() ? count : room.height() / RowHeight_;
      down->setSingleStep(1);
      down->setPageStep(static_cast<int>(page));
      down->setRange(0, static_cast<int>(count - page));
    } else {
      down->setSingleStep(RowHeight_);
      down->setPageStep(room.height());
      down->setRange(0, static_cast<int>(std::clamp<qint64>(height - room.height(), 0, INT_MAX)));
    }
  }
  // The scroll area would show or hide its bars for the new ranges on the next turn of
  // the event loop; QListView's own has them placed at once, and so the rows too.
  if (!PlacingBars) {
    PlacingBars = true;
    QEvent place(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &place);
    PlacingBars = false;
  }
  QAbstractItemView::updateGeometries();
  FitWholeRows();
  emit GeometriesUpdated();
}

void TErrorList::scrollContentsBy(int dx, int dy) {
  if (PerItem()) dy = static_cast<int>(std::clamp<qint64>(static_cast<qint64>(dy) * RowHeight_, INT_MIN / 4, INT_MAX / 4));
  scrollDirtyRegion(dx, dy);
  viewport()->scroll(dx, dy);
}

// As QListView goes for rows in one column: a page moves by the whole rows in view
// less one, so that the row left stays in sight; Home and End go to the first and last.
QModelIndex TErrorList::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
  const int count = Model->rowCount();
  if (count == 0) return {};
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return Model->index(0);
  const int row = current.row();
  const int page = std::max(1, RowsInView() - 1);
  qint64 to = row;
  switch (cursorAction) {
    case MoveUp:
    case MovePrevious: to = row - 1; break;
    case MoveDown:
    case MoveNext: to = row + 1; break;
    case MovePageUp: to = static_cast<qint64>(row) - page; break;
    case MovePageDown: to = static_cast<qint64>(row) + page; break;
    case MoveHome: to = 0; break;
    case MoveEnd: to = count - 1; break;
    case MoveLeft:
    case MoveRight: break;
  }
  return Model->index(static_cast<int>(std::clamp<qint64>(to, 0, count - 1)));
}

void TErrorList::scrollTo(const QModelIndex& index, ScrollHint hint) {
  const QRect rect = visualRect(index);
  if (!rect.isValid()) return;
  const QRect area = viewport()->rect();
  if (hint == EnsureVisible) {
    if (rect.top() < area.top()) hint = PositionAtTop;
    else if (rect.bottom() > area.bottom()) hint = PositionAtBottom;
    else return;
  }
  QScrollBar* bar = verticalScrollBar();
  qint64 value = bar->value();
  if (PerItem()) {
    // the rows that end with this one and fit in the view
    const int row = index.row();
    const int shown = std::max(1, std::min(row + 1, RowsInView()));
    value = hint == PositionAtTop ? row : hint == PositionAtBottom ? row - shown + 1 : row - shown / 2;
  } else {
    value += hint == PositionAtTop      ? rect.top()
             : hint == PositionAtBottom ? std::min(rect.top(), rect.bottom() - area.height() + 1)
                                        : rect.top() - (area.height() - rect.height()) / 2;
  }
  bar->setValue(static_cast<int>(std::clamp<qint64>(value, bar->minimum(), bar->maximum())));
}

void TErrorList::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
  QItemSelection selection;
  const auto [first, last] = RowsIn(rect.normalized());
  if (first <= last) selection.select(Model->index(first), Model->index(last));
  selectionModel()->select(selection, command);
}

QRegion TErrorList::visualRegionForSelection(const QItemSelection& selection) const {
  QRegion region;
  for (const QItemSelectionRange& range : selection)
    if (range.isValid() && range.model() == Model)
      region += (visualRect(Model->index(range.top())) | visualRect(Model->index(range.bottom()))) & viewport()->rect();
  return region;
}

// The rows in sight, with the states QListView gives them.
void TErrorList::paintEvent(QPaintEvent* event) {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  QPainter painter(viewport());
  const QModelIndex current = currentIndex();
  const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
  const QStyle::State state = option.state;
  const auto [first, last] = RowsIn(event->rect());
  for (int row = first; row <= last; ++row) {
    const QModelIndex index = Model->index(row);
    option.rect = visualRect(index);
    option.state = state;
    if (selectionModel()->isSelected(index)) option.state |= QStyle::State_Selected;
    if (state & QStyle::State_Enabled) {
      const bool enabled = Model->flags(index) & Qt::ItemIsEnabled;
      option.state.setFlag(QStyle::State_Enabled, enabled);
      option.palette.setCurrentColorGroup(enabled ? QPalette::Normal : QPalette::Disabled);
    }
    if (focus && index == current) option.state |= QStyle::State_HasFocus;
    option.state.setFlag(QStyle::State_MouseOver, row == HoverRow);
    itemDelegateForIndex(index)->paint(&painter, option, index);
  }
}

// The row under the pointer, followed as the view follows its hovered index.
bool TErrorList::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove: HoverRow = indexAt(static_cast<QHoverEvent*>(event)->position().toPoint()).row(); break;
    case QEvent::Enter: HoverRow = indexAt(viewport()->mapFromGlobal(QCursor::pos())).row(); break;
    case QEvent::HoverLeave:
    case QEvent::Leave: HoverRow = -1; break;
    default: break;
  }
  return QListView::viewportEvent(event);
}

// QListView's own tell screen readers of the row by its place in the layout; a row's
// place is its number.
void TErrorList::Announce(QAccessible::Event what, const QModelIndex& index) {
  if (!index.isValid() || !QAccessible::isActive()) return;
  QAccessibleEvent event(this, what);
  event.setChild(index.row());
  QAccessible::updateAccessibility(&event);
}

void TErrorList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (hasFocus()) Announce(QAccessible::Focus, current);
  QAbstractItemView::currentChanged(current, previous);
}

void TErrorList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  Announce(QAccessible::SelectionAdd, selected.indexes().value(0));
  Announce(QAccessible::SelectionRemove, deselected.indexes().value(0));
  QAbstractItemView::selectionChanged(selected, deselected);
}

}  // namespace zendric
