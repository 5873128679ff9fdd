#include "ErrorList.h"

#include <QStyle>
#include <climits>

namespace zendric {

void TErrorListModel::SetMessages(const std::vector<std::string>* messages, QSize rowSize) {
  beginResetModel();
  Messages = messages;
  RowSize = rowSize;
  endResetModel();
}

int TErrorListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !Messages) return 0;
  return static_cast<int>(std::min<std::size_t>(Messages->size(), INT_MAX));
}

QVariant TErrorListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString((*Messages)[static_cast<std::size_t>(index.row())]);
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
void TErrorList::SetMessages(const std::vector<std::string>& messages) {
  QSize rowSize;
  if (!messages.empty()) {
    std::size_t longest = 0;
    for (std::size_t i = 1; i < messages.size(); ++i)
      if (messages[i].size() > messages[longest].size()) longest = i;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.text = QString::fromStdString(messages[longest]);
    option.features |= QStyleOptionViewItem::HasDisplay;
    rowSize = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    rowSize.rwidth() += fontMetrics().averageCharWidth();
  }
  Model->SetMessages(&messages, rowSize);
}

}  // namespace zendric
