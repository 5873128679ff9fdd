#include "ErrorList.h"

#include <QStyle>
#include <climits>

namespace zendric {
namespace {

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
  if (role == Qt::DisplayRole) return ShownMessage((*Messages)[static_cast<std::size_t>(index.row())]);
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
    option.text = ShownMessage(messages[longest]);
    option.features |= QStyleOptionViewItem::HasDisplay;
    rowSize = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    rowSize.rwidth() += fontMetrics().averageCharWidth();
  }
  Model->SetMessages(&messages, rowSize);
}

}  // namespace zendric
