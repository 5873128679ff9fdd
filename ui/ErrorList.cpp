#include "ErrorList.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
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

void TErrorList::updateGeometries() {
  QListView::updateGeometries();
  FitWholeRows();
  emit GeometriesUpdated();
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
// longest in bytes is the widest but for a pixel or two of slack.
void TErrorList::SetReading(std::shared_ptr<const ParseResult> reading, std::shared_ptr<const FieldModel> field) {
  QSize rowSize;
  int positionWidth = 0;
  const std::size_t count = reading ? reading->MessageCount() : 0;
  if (count > 0) {
    std::size_t longest = 0;
    for (std::size_t i = 1; i < count; ++i)
      if (reading->Message(i).size() > reading->Message(longest).size()) longest = i;
    std::int32_t last = 1;
    for (std::size_t i = 0; i < count; ++i) last = std::max(last, reading->MessagePosition(i));
    positionWidth = fontMetrics().horizontalAdvance(PositionText(last) + u"  "_s);
    rowSize = SizeOfRow(ShownMessage(reading->Message(longest)));
    rowSize.rwidth() += fontMetrics().averageCharWidth() + positionWidth;
    RowHeight_ = rowSize.height();
  }
  Model->SetReading(std::move(reading), std::move(field), rowSize, positionWidth);
}

}  // namespace zendric
