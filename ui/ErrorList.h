// The error list: one row per message of the last reading. A code can hold a million
// stray characters, each with its message, so the rows are not items of their own: a
// model shows the interpreter's messages where they are, and the view lays out only the
// rows in sight, all of one height.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QSize>
#include <memory>

#include "ZNParser.h"

namespace zendric {

class TErrorListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  // Shows the messages of `reading`, which the model shares; every row has the size
  // `rowSize`.
  void SetReading(std::shared_ptr<const ParseResult> reading, QSize rowSize);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  std::shared_ptr<const ParseResult> Reading;
  QSize RowSize;
};

class TErrorList : public QListView {
  Q_OBJECT

 public:
  explicit TErrorList(QWidget* parent = nullptr);

  void SetReading(std::shared_ptr<const ParseResult> reading);

  int count() const { return Model->rowCount(); }
  // The selected row, or -1 when none is.
  int currentRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }
  void setCurrentRow(int row) { setCurrentIndex(Model->index(row)); }
  QString Text(int row) const { return Model->index(row).data().toString(); }
  QRect RowRect(int row) const { return visualRect(Model->index(row)); }

 private:
  TErrorListModel* Model;
};

}  // namespace zendric
