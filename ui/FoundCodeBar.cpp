#include "FoundCodeBar.h"

#include <QBoxLayout>

#include "ZNParser.h"

namespace zendric {

QString FoundCodeEntry(const FoundCode& code) {
  const ParseResult reading = ParseCode(code.Code);
  const std::string_view first = reading.LineCount() > 0 ? reading.Line(0) : std::string_view();
  const std::size_t messages = reading.MessageCount();
  return QStringLiteral("Line %1: %2 (%3 %4)")
      .arg(code.Line)
      .arg(QString::fromUtf8(first.data(), static_cast<qsizetype>(first.size())))
      .arg(messages)
      .arg(messages == 1 ? QStringLiteral("message") : QStringLiteral("messages"));
}

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
      emit ReadCode(QString::fromStdString(codes[static_cast<std::size_t>(chosen)].Code));
  });
  hide();
}

void TFoundCodeBar::Offer(std::vector<FoundCode> found) {
  codes = std::move(found);
  cbFound->clear();
  if (codes.empty()) {
    hide();
    return;
  }
  if (codes.size() == 1) {
    lbFound->setText(QStringLiteral("Found a Zendric 2 code on line %1").arg(codes.front().Line));
  } else {
    lbFound->setText(QStringLiteral("Found %1 Zendric 2 codes:").arg(codes.size()));
    for (const FoundCode& code : codes) cbFound->addItem(FoundCodeEntry(code));
  }
  cbFound->setVisible(codes.size() > 1);
  show();
}

}  // namespace zendric
