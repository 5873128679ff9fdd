// The error list: one row per message of the last reading. A code can hold a million
// stray characters, each with its message, so the rows are not items of their own: a
// model shows the interpreter's messages where they are, and the view places rows by
// arithmetic, all of one height, and lays out only the rows in sight.
#pragma once

#include <QAbstractListModel>
#include <QAccessible>
#include <QListView>
#include <QSize>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "FieldModel.h"

namespace zendric {

// A message as the list shows it. A message quotes the item it is about, and a pasted
// megabyte can make that item a megabyte long, which a row would lay out whole on every
// paint: a message of more than ShownMessageLength code points shows its start, " … "
// and its last TailLength code points (where the message says what is wrong).
inline constexpr std::size_t ShownMessageLength = 400;
inline constexpr std::size_t TailLength = 60;
QString ShownMessage(std::string_view message);
// "position 22", as a row shows where its message was recorded.
QString PositionText(std::int32_t position);

// The row's position text, and the width of the column it stands in.
inline constexpr int PositionTextRole = Qt::UserRole + 1;
inline constexpr int PositionWidthRole = Qt::UserRole + 2;

class TErrorListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  // Shows the messages of `reading`, which the model shares, read from `field`; every
  // row has the size `rowSize`.
  void SetReading(std::shared_ptr<const ParseResult> reading, std::shared_ptr<const FieldModel> field, QSize rowSize,
                  int positionWidth = 0);
  // What a row's tooltip adds under its item: what the item expects.
  std::function<QString(int row)> Explain;
  // The text of the item that message `row` belongs to, empty for none.
  QString ItemText(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  std::shared_ptr<const ParseResult> Reading;
  std::shared_ptr<const FieldModel> Field;  // what was read
  QSize RowSize;
  int PositionWidth = 0;
};

// Rows that can be clicked show it: the row under the pointer is lit and the pointer
// is a pointing hand. The current row shows the keyboard focus as a frame, and the
// list is as high as a whole number of rows, so that no row is cut in half.
//
// A QListView lays out every row after each reset, even rows of one size: a million
// messages cost it tens of milliseconds a key. So the list does its own geometry (row
// r stands at r row heights, as wide as the widest row or the view) and never lets the
// QListView's layout run; it stays a QListView for what it gives outside of that (the
// options rows are drawn with, a list to screen readers). Everything QListView would
// work out from its layout is overridden here.
class TErrorList : public QListView {
  Q_OBJECT

 public:
  explicit TErrorList(QWidget* parent = nullptr);

  // The list takes the most whole rows that fit in `height` pixels, scroll bar and
  // frame included.
  void SetHeightForRows(int height);
  int RowHeight() const { return RowHeight_; }

  // Shows the messages of `reading`, which the list shares, read from `field`.
  void SetReading(std::shared_ptr<const ParseResult> reading, std::shared_ptr<const FieldModel> field = {});
  QString ItemText(int row) const { return Model->ItemText(row); }
  void SetExplanation(std::function<QString(int row)> explain) { Model->Explain = std::move(explain); }
  // The height of the most whole rows that fit in `height` pixels, scroll bar and
  // frame included, for a list whose height something else sets.
  int WholeRowsHeight(int height) const;

  int count() const { return Model->rowCount(); }
  // The selected row, or -1 when none is.
  int currentRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }
  void setCurrentRow(int row) { setCurrentIndex(Model->index(row)); }
  QString Text(int row) const { return Model->index(row).data().toString(); }
  QRect RowRect(int row) const { return visualRect(Model->index(row)); }
  // How many times the rows were laid out, whatever their number: for tests.
  int LayoutCount() const { return LayoutCount_; }

  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  QModelIndex indexAt(const QPoint& point) const override;
  void doItemsLayout() override;

 signals:
  // The rows, the scroll bars or the room changed.
  void GeometriesUpdated();

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void updateGeometries() override;
  void changeEvent(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
  int horizontalOffset() const override;
  int verticalOffset() const override;
  void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
  QRegion visualRegionForSelection(const QItemSelection& selection) const override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

 private:
  void FitWholeRows();
  QSize SizeOfRow(const QString& text) const;
  bool PerItem() const { return verticalScrollMode() == ScrollPerItem; }
  // Whole rows the view shows.
  int RowsInView() const;
  // The rows, from first to last, that the part `area` of the view shows any of; first
  // greater than last for none.
  std::pair<int, int> RowsIn(const QRect& area) const;
  void Announce(QAccessible::Event what, const QModelIndex& index);

  TErrorListModel* Model;
  int Room = 0;
  int RowHeight_ = 0;
  int RowWidth = 0;  // the widest row's
  int HoverRow = -1;
  int LayoutCount_ = 0;
  bool Fitting = false;
  bool PlacingBars = false;
};

}  // namespace zendric
