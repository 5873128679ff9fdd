#include "ErrorList.h"

#include <QStyle>
#include <climits>

namespace zendric {

namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

void TErrorListModel::SetReading(std::shared_ptr<const ParseResult> reading, QSize rowSize) {
  beginResetModel();
  Reading = std::move(reading);
  RowSize = rowSize;
  endResetModel();
}

int TErrorListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !Reading) return 0;
  return static_cast<int>(std::min<std::size_t>(Reading->MessageCount(), INT_MAX));
}

QVariant TErrorListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) return ToQString(Reading->Message(static_cast<std::size_t>(index.row())));
  if (role == Qt::SizeHintRole && RowSize.isValid()) return RowSize;
  return {};
}

TErrorList::TErrorList(QWidget* parent) : QListView(parent), Model(new TErrorListModel(this)) {
  setModel(Model);
  setUniformItemSizes(true);  // rows are placed by arithmetic, not measured one by one
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
}

// All rows take the size of the longest message, so that the list scrolls sideways as
// far as the widest one reaches; messages come from a few fixed patterns, so the
// longest in bytes is the widest but for a pixel or two of slack.
void TErrorList::SetReading(std::shared_ptr<const ParseResult> reading) {
  QSize rowSize;
  const std::size_t count = reading ? reading->MessageCount() : 0;
  if (count > 0) {
    std::size_t longest = 0;
    for (std::size_t i = 1; i < count; ++i)
      if (reading->Message(i).size() > reading->Message(longest).size()) longest = i;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.text = ToQString(reading->Message(longest));
    option.features |= QStyleOptionViewItem::HasDisplay;
    rowSize = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    rowSize.rwidth() += fontMetrics().averageCharWidth();
  }
  Model->SetReading(std::move(reading), rowSize);
}

}  // namespace zendric
