// The bar above the reading that offers the codes found inside a text that is not a
// code itself (a signature, a quoted reply, a forum post): one code by its line, several
// in a list, each with its first reading line and its number of messages.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "Finder.h"

namespace zendric {

class TFoundCodeBar : public QWidget {
  Q_OBJECT

 public:
  explicit TFoundCodeBar(QWidget* parent = nullptr);

  // Shows the bar for `codes`, or hides it when there are none.
  void Offer(std::vector<FoundCode> codes);
  const std::vector<FoundCode>& Codes() const { return codes; }

 signals:
  // The user asked to read only this code.
  void ReadCode(const QString& code);

 private:
  QLabel* lbFound = nullptr;
  QComboBox* cbFound = nullptr;
  QPushButton* btnReadFound = nullptr;
  std::vector<FoundCode> codes;
};

// The line shown for one code in the list: where it stands, what it says first and how
// many messages it gives.
QString FoundCodeEntry(const FoundCode& code);

}  // namespace zendric
