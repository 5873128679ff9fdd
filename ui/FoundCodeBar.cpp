#include "FoundCodeBar.h"

#include <QBoxLayout>
#include <QListView>

namespace zendric {

TFoundCodeModel::TFoundCodeModel(Entry entry, QObject* parent) : QAbstractListModel(parent), entry_(std::move(entry)) {}

void TFoundCodeModel::Reset(std::size_t count) {
  beginResetModel();
  count_ = static_cast<int>(std::min<std::size_t>(count, INT_MAX));
  endResetModel();
}

void TFoundCodeModel::Grow(std::size_t count) {
  const int now = static_cast<int>(std::min<std::size_t>(count, INT_MAX));
  if (now <= count_) return;
  beginInsertRows({}, count_, now - 1);
  count_ = now;
  endInsertRows();
}

int TFoundCodeModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

QVariant TFoundCodeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count_) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
    return entry_(static_cast<std::size_t>(index.row()));
  return {};
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
  model = new TFoundCodeModel([this](std::size_t i) { return QString::fromStdString(OfferEntry(codes[i])); }, this);
  cbFound->setModel(model);
  // Every row is one line of text: the list measures one, not all.
  if (auto* list = qobject_cast<QListView*>(cbFound->view())) list->setUniformItemSizes(true);
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
    if (shown && chosen >= 0 && static_cast<std::size_t>(chosen) < codes.size())
      emit ReadCode(QString::fromStdString(codes[static_cast<std::size_t>(chosen)].Found.Code));
  });
  hide();
}

void TFoundCodeBar::Offer(std::vector<OfferedCode> offered, bool show) {
  codes = std::move(offered);
  shown = show && !codes.empty();
  // The list holds the codes only while it shows them.
  model->Reset(shown && codes.size() > 1 ? codes.size() : 0);
  if (!shown) {
    hide();
    return;
  }
  lbFound->setText(QString::fromStdString(OfferHeading(codes)));
  cbFound->setCurrentIndex(codes.size() > 1 ? 0 : -1);
  cbFound->setVisible(codes.size() > 1);
  QWidget::show();
}

std::vector<OfferedCode> TFoundCodeBar::TakeCodes() {
  model->Reset(0);
  shown = false;
  return std::exchange(codes, {});
}

const std::vector<OfferedCode>& TFoundCodeBar::Codes() const {
  static const std::vector<OfferedCode> none;
  return shown ? codes : none;
}

std::ptrdiff_t TFoundCodeBar::Chosen() const {
  if (!shown || codes.size() < 2 || cbFound->isHidden()) return -1;
  return cbFound->currentIndex();
}

}  // namespace zendric
