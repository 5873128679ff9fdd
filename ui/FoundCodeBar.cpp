#include "FoundCodeBar.h"

#include <QBoxLayout>


namespace zendric {

TFoundCodeBar::TFoundCodeBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pnFound"));
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::ToolTipBase);
  setForegroundRole(QPalette::ToolTipText);
  lbFound = new QLabel(this);
  lbFound->setObjectName(QStringLiteral("lbFound"));
  cbFound = new QComboBox(this);
  cbFound->setObjectName(QStringLiteral("cbFound"));
  cbFound->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbFound->setMinimumContentsLength(20);
  cbFound->setAccessibleName(QStringLiteral("Found codes"));
  btnReadFound = new QPushButton(QStringLiteral("Read only the code"), this);
  btnReadFound->setObjectName(QStringLiteral("btnReadFound"));
  btnReadFound->setAccessibleDescription(
      QStringLiteral("Puts only the found code in the field; undo gives back the text"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(6, 3, 6, 3);
  row->addWidget(lbFound);
  row->addWidget(cbFound, 1);
  row->addWidget(btnReadFound);
  row->addStretch(0);  // takes the room the list leaves when it is hidden
  btnReadFound->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
  connect(btnReadFound, &QPushButton::clicked, this, [this] {
    const int chosen = cbFound->isVisible() ? cbFound->currentIndex() : 0;
    if (chosen >= 0 && static_cast<std::size_t>(chosen) < codes.size())
      emit ReadCode(QString::fromStdString(codes[static_cast<std::size_t>(chosen)].Found.Code));
  });
  hide();
}

void TFoundCodeBar::Offer(std::vector<OfferedCode> offered) {
  codes = std::move(offered);
  cbFound->clear();
  if (codes.empty()) {
    hide();
    return;
  }
  lbFound->setText(QString::fromStdString(OfferHeading(codes)));
  if (codes.size() > 1)
    for (const OfferedCode& code : codes) cbFound->addItem(QString::fromStdString(OfferEntry(code)));
  cbFound->setVisible(codes.size() > 1);
  show();
}

}  // namespace zendric
