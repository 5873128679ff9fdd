// The bar above the reading that offers the codes found inside a text that is not a
// code itself (a signature, a quoted reply, a forum post): one code by its line, several
// in a list, each with its first reading line and its number of messages.
#pragma once

#include <QAbstractListModel>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <vector>

#include "FieldModel.h"

namespace zendric {

// Found codes for a view, each entry made only when the view shows it: a list of
// 200 000 codes costs what its visible rows cost.
class TFoundCodeModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using Entry = std::function<QString(std::size_t)>;
  TFoundCodeModel(Entry entry, QObject* parent);

  void Reset(std::size_t count);
  void Grow(std::size_t count);  // more codes after those there are
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  Entry entry_;
  int count_ = 0;
};

class TFoundCodeBar : public QWidget {
  Q_OBJECT

 public:
  explicit TFoundCodeBar(QWidget* parent = nullptr);

  // Keeps `codes` (all the finder found in the field) and shows the bar for them when
  // `shown`, or hides it.
  void Offer(std::vector<OfferedCode> codes, bool shown);
  // The codes it kept, for the next state of the field; the bar shows none meanwhile.
  std::vector<OfferedCode> TakeCodes();
  // The codes shown; none while hidden.
  const std::vector<OfferedCode>& Codes() const;
  // The index of the code chosen in the list; -1 while there is no list.
  std::ptrdiff_t Chosen() const;

 signals:
  // The user asked to read only this code.
  void ReadCode(const QString& code);

 private:
  QLabel* lbFound = nullptr;
  QComboBox* cbFound = nullptr;
  QPushButton* btnReadFound = nullptr;
  TFoundCodeModel* model = nullptr;
  std::vector<OfferedCode> codes;
  bool shown = false;
};

}  // namespace zendric
