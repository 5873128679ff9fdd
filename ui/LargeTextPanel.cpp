#include "LargeTextPanel.h"

#include <QBoxLayout>
#include <QFileInfo>

#include "FieldModel.h"
#include "FoundCodeBar.h"

namespace zendric {
namespace {

QString Text(const std::string& words) { return QString::fromStdString(words); }

}  // namespace

TLargeText::TLargeText(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pnLarge"));
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::ToolTipBase);
  setForegroundRole(QPalette::ToolTipText);
  lbHeading = new QLabel(this);
  lbHeading->setObjectName(QStringLiteral("lbLargeHeading"));
  lbHeading->setWordWrap(true);
  QFont bold = lbHeading->font();
  bold.setBold(true);
  lbHeading->setFont(bold);
  lbNote = new QLabel(this);
  lbNote->setObjectName(QStringLiteral("lbLargeNote"));
  lbNote->setWordWrap(true);

  pnProgress = new QWidget(this);
  auto* searched = new QLabel(QStringLiteral("Searched"), pnProgress);
  pbSearched = new QProgressBar(pnProgress);
  pbSearched->setObjectName(QStringLiteral("pbLarge"));
  pbSearched->setRange(0, 1000);
  pbSearched->setTextVisible(false);
  searched->setBuddy(pbSearched);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), pnProgress);
  btnCancel->setObjectName(QStringLiteral("btnLargeCancel"));
  auto* progressRow = new QHBoxLayout(pnProgress);
  progressRow->setContentsMargins(0, 0, 0, 0);
  progressRow->addWidget(searched);
  progressRow->addWidget(pbSearched, 1);
  progressRow->addWidget(btnCancel);
  pnProgress->hide();

  lvFound = new QListView(this);
  lvFound->setObjectName(QStringLiteral("lvLarge"));
  lvFound->setAccessibleName(QStringLiteral("Codes found in the large text"));
  lvFound->setUniformItemSizes(true);  // one line each: the list measures one row, not all
  lvFound->setEditTriggers(QAbstractItemView::NoEditTriggers);
  model = new TFoundCodeModel(
      [this](std::size_t i) { return Text(OfferEntry(OfferOf(finder->Found()[i]))); }, this);
  lvFound->setModel(model);
  lvFound->setMinimumHeight(lvFound->fontMetrics().height() * 3);
  lvFound->setMaximumHeight(lvFound->fontMetrics().height() * 6);

  btnReadThis = new QPushButton(QStringLiteral("Read this code"), this);
  btnReadThis->setObjectName(QStringLiteral("btnLargeRead"));
  btnReadThis->setAccessibleDescription(QStringLiteral("Puts only the chosen code in the field"));
  btnClose = new QPushButton(QStringLiteral("Close"), this);
  btnClose->setObjectName(QStringLiteral("btnLargeClose"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnReadThis);
  buttons->addStretch(1);
  buttons->addWidget(btnClose);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 3, 6, 3);
  column->addWidget(lbHeading);
  column->addWidget(lbNote);
  column->addWidget(pnProgress);
  column->addWidget(lvFound);
  column->addLayout(buttons);

  pump.setInterval(0);
  connect(&pump, &QTimer::timeout, this, &TLargeText::Pump);
  connect(btnCancel, &QPushButton::clicked, this, &TLargeText::Cancel);
  connect(btnClose, &QPushButton::clicked, this, &TLargeText::Close);
  connect(lvFound, &QListView::activated, this, [this](const QModelIndex& index) { Choose(index.row()); });
  connect(btnReadThis, &QPushButton::clicked, this, [this] {
    const QModelIndex current = lvFound->currentIndex();
    Choose(current.isValid() ? current.row() : 0);
  });
  hide();
}

TLargeText::~TLargeText() = default;

const std::vector<FoundCode>& TLargeText::Found() const {
  static const std::vector<FoundCode> none;
  return finder ? finder->Found() : none;
}

bool TLargeText::OpenFile(const QString& path, QString& why) {
  Stop();
  file.setFileName(path);
  if (!file.open(QIODevice::ReadOnly)) {
    why = file.errorString();
    return false;
  }
  const auto fileSize = static_cast<std::uintmax_t>(file.size());
  text.clear();
  Start(fileSize, fileSize, QStringLiteral("file ") + QFileInfo(path).fileName());
  return true;
}

void TLargeText::TakeText(QString pasted, const QString& name) {
  Stop();
  text = std::move(pasted);
  Start(Utf8BytesOf(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<std::size_t>(text.size()))),
        static_cast<std::uintmax_t>(text.size()), name);
}

void TLargeText::Start(std::uintmax_t textBytes, std::uintmax_t textSize, const QString& name) {
  finder = std::make_unique<LargeTextFinder>();
  bytes = textBytes;
  size = textSize;
  done = 0;
  what = name.toStdString();
  model->Reset(0);
  state = State::Finding;
  lbHeading->setText(Text(LookingHeading(bytes)));
  lbNote->setText(Text(LargeTextNote(what)));
  pbSearched->setValue(0);
  pnProgress->hide();
  btnReadThis->setEnabled(false);
  show();
  since.start();
  pump.start();
}

// Pieces for TaskMs, then the list and the progress as they stand, then the events.
void TLargeText::Pump() {
  QElapsedTimer task;
  task.start();
  while (state == State::Finding && task.elapsed() < TaskMs) {
    if (file.isOpen()) {
      const QByteArray piece = file.read(PieceBytes);
      if (piece.isEmpty()) {
        Finished();
        break;
      }
      finder->FeedBytes(std::string_view(piece.constData(), static_cast<std::size_t>(piece.size())));
      done += static_cast<std::uintmax_t>(piece.size());
    } else {
      const auto at = static_cast<qsizetype>(done);
      if (at >= text.size()) {
        Finished();
        break;
      }
      const qsizetype length = std::min(PieceUnits, text.size() - at);
      finder->FeedUnits(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()) + at,
                                            static_cast<std::size_t>(length)));
      done += static_cast<std::uintmax_t>(length);
    }
  }
  if (state != State::Finding) return;
  ShowFound();
  lbHeading->setText(Text(LookingHeading(bytes, finder->Found().size())));
  if (since.elapsed() >= QuietMs) pnProgress->show();
}

void TLargeText::ShowFound() {
  model->Grow(finder->Found().size());
  btnReadThis->setEnabled(!finder->Found().empty());
  if (!lvFound->currentIndex().isValid() && model->rowCount() > 0) lvFound->setCurrentIndex(model->index(0));
  pbSearched->setValue(size == 0 ? 1000 : static_cast<int>(1000.0 * static_cast<double>(done) / static_cast<double>(size)));
}

void TLargeText::Finished() {
  finder->Finish();
  Stop();
  state = State::Done;
  ShowFound();
  const std::vector<FoundCode>& found = finder->Found();
  lbHeading->setText(Text(FoundHeading(bytes, found.size(), found.empty() ? 0 : found.front().Line)));
}

// Reading ends; what was read so far is let go.
void TLargeText::Stop() {
  pump.stop();
  file.close();
  text = QString();
  pnProgress->hide();
}

void TLargeText::Cancel() {
  if (state != State::Finding) return;
  Stop();
  state = State::Stopped;
  ShowFound();
  lbHeading->setText(Text(StoppedHeading(bytes, done, size, finder->Found().size())));
}

void TLargeText::Close() {
  Stop();
  state = State::Closed;
  model->Reset(0);
  finder.reset();
  hide();
}

void TLargeText::Choose(int row) {
  if (!finder || row < 0 || static_cast<std::size_t>(row) >= finder->Found().size()) return;
  const FoundCode& code = finder->Found()[static_cast<std::size_t>(row)];
  lbNote->setText(Text(TakenNote(what, bytes, code.Line)));
  emit ReadCode(QString::fromStdString(code.Code));
}

}  // namespace zendric
