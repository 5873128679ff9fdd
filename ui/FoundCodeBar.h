// The bar above the reading that offers the codes found inside a text that is not a
// code itself (a signature, a quoted reply, a forum post): one code by its line, several
// in a list, each with its first reading line and its number of messages.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "FieldModel.h"

namespace zendric {

class TFoundCodeBar : public QWidget {
  Q_OBJECT

 public:
  explicit TFoundCodeBar(QWidget* parent = nullptr);

  // Shows the bar for `codes`, or hides it when there are none.
  void Offer(std::vector<OfferedCode> codes);
  const std::vector<OfferedCode>& Codes() const { return codes; }

 signals:
  // The user asked to read only this code.
  void ReadCode(const QString& code);

 private:
  QLabel* lbFound = nullptr;
  QComboBox* cbFound = nullptr;
  QPushButton* btnReadFound = nullptr;
  std::vector<OfferedCode> codes;
};

}  // namespace zendric
