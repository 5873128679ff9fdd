#include "BuilderDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "BuilderText.h"

namespace zendric {

TBuilderDialog::TBuilderDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("BuilderDialog"));
  setWindowTitle(QStringLiteral("Make a code"));
  resize(820, 660);
  CreateItemList();
  CreateLiveArea();
  CreateButtons();
  DescribeControls();
  Open(QString());
}

TBuilderDialog::~TBuilderDialog() = default;

// The items at the left with what adds, removes and moves them; the page at the right.
void TBuilderDialog::CreateItemList() {
  auto* top = new QSplitter(Qt::Horizontal);
  auto* left = new QWidget(top);
  auto* leftColumn = new QVBoxLayout(left);
  leftColumn->setContentsMargins(0, 0, 0, 0);
  lbItems = new QListWidget(left);
  lbItems->setObjectName(QStringLiteral("lbItems"));
  leftColumn->addWidget(lbItems, 1);

  cbAddTag = new QComboBox(left);
  cbAddTag->setObjectName(QStringLiteral("cbAddTag"));
  cbAddTag->addItem(QStringLiteral("Species"), -1);
  for (std::size_t i = 0; i < TagCatalogue.size(); ++i)
    cbAddTag->addItem(QStringLiteral("%1 (%2)").arg(Qs(TagCatalogue[i].Title), Qs(TagCatalogue[i].Letters)),
                      static_cast<int>(i));
  btnAdd = new QPushButton(QStringLiteral("&Add"), left);
  btnAdd->setObjectName(QStringLiteral("btnAdd"));
  auto* addRow = new QHBoxLayout;
  addRow->addWidget(cbAddTag, 1);
  addRow->addWidget(btnAdd);
  leftColumn->addLayout(addRow);

  btnRemove = new QPushButton(QStringLiteral("Re&move"), left);
  btnRemove->setObjectName(QStringLiteral("btnRemove"));
  btnUp = new QPushButton(QStringLiteral("&Up"), left);
  btnUp->setObjectName(QStringLiteral("btnUp"));
  btnDown = new QPushButton(QStringLiteral("&Down"), left);
  btnDown->setObjectName(QStringLiteral("btnDown"));
  auto* editRow = new QHBoxLayout;
  editRow->addWidget(btnRemove);
  editRow->addWidget(btnUp);
  editRow->addWidget(btnDown);
  leftColumn->addLayout(editRow);

  sbPage = new QScrollArea(top);
  sbPage->setObjectName(QStringLiteral("sbPage"));
  sbPage->setWidgetResizable(true);
  sbPage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sbPage->setFocusPolicy(Qt::NoFocus);  // its controls take the keyboard, and scroll into view
  top->addWidget(left);
  top->addWidget(sbPage);
  top->setStretchFactor(1, 2);

  auto* whole = new QVBoxLayout(this);
  whole->addWidget(top, 4);

  connect(lbItems, &QListWidget::currentRowChanged, this, &TBuilderDialog::lbItemsChange);
  connect(btnAdd, &QPushButton::clicked, this, &TBuilderDialog::btnAddClick);
  connect(btnRemove, &QPushButton::clicked, this, &TBuilderDialog::btnRemoveClick);
  connect(btnUp, &QPushButton::clicked, this, [this] { btnMoveClick(-1); });
  connect(btnDown, &QPushButton::clicked, this, [this] { btnMoveClick(+1); });
}

// The code and its reading, live.
void TBuilderDialog::CreateLiveArea() {
  edCode = new QLineEdit(this);
  edCode->setObjectName(QStringLiteral("edCode"));
  edCode->setReadOnly(true);
  meReading = new QPlainTextEdit(this);
  meReading->setObjectName(QStringLiteral("meReading"));
  meReading->setReadOnly(true);
  meReading->setTabChangesFocus(true);
  auto* form = new QFormLayout;
  auto* codeLabel = new QLabel(QStringLiteral("&Code:"), this);
  codeLabel->setBuddy(edCode);
  auto* readingLabel = new QLabel(QStringLiteral("&Reading:"), this);
  readingLabel->setBuddy(meReading);
  form->addRow(codeLabel, edCode);
  form->addRow(readingLabel, meReading);
  static_cast<QVBoxLayout*>(layout())->addLayout(form, 2);
}

void TBuilderDialog::CreateButtons() {
  btnRandom = new QPushButton(QStringLiteral("R&andom"), this);
  btnRandom->setObjectName(QStringLiteral("btnRandom"));
  btnUse = new QPushButton(QStringLiteral("U&se this code"), this);
  btnUse->setObjectName(QStringLiteral("btnUse"));
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  for (QPushButton* button : {btnRandom, btnUse, btnCancel}) button->setAutoDefault(false);
  auto* row = new QHBoxLayout;
  row->addWidget(btnRandom);
  row->addStretch(1);
  row->addWidget(btnUse);
  row->addWidget(btnCancel);
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
  connect(btnRandom, &QPushButton::clicked, this, &TBuilderDialog::btnRandomClick);
  connect(btnUse, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TBuilderDialog::DescribeControls() {
  struct Description {
    QWidget* control;
    const char* name;
    const char* description;
  };
  const Description descriptions[] = {
      {lbItems, "Items", "The items of the code in code order; the selected one is shown at the right"},
      {cbAddTag, "Tag to add", "Every tag by its heading"},
      {btnAdd, "Add", "Adds the chosen tag behind the selected item"},
      {btnRemove, "Remove", "Removes the selected item"},
      {btnUp, "Up", "Moves the selected item one place towards the start"},
      {btnDown, "Down", "Moves the selected item one place towards the end"},
      {sbPage, "Choices", "The choices of the selected item, in the words of the reading"},
      {edCode, "Code", "The code as built now"},
      {meReading, "Reading", "The reading of the code as built now, and its messages"},
      {btnRandom, "Random", "Makes a random persona"},
      {btnUse, "Use this code", "Puts the code into the reader's field"},
      {btnCancel, "Cancel", "Closes without changing the reader's field"},
  };
  for (const Description& d : descriptions) {
    d.control->setAccessibleName(QString::fromUtf8(d.name));
    d.control->setAccessibleDescription(QString::fromUtf8(d.description));
    d.control->setToolTip(QString::fromUtf8(d.description));
  }
}

void TBuilderDialog::Open(const QString& code) {
  searches.clear();
  const std::string text = code.toStdString();
  if (text.empty()) {
    persona = Persona();
    persona.Items.push_back(NewItem(nullptr));
  } else {
    persona = OpenCode(text);
  }
  FillItemList(0);
}

QString TBuilderDialog::Code() const { return QString::fromStdString(BuildCode(persona)); }

void TBuilderDialog::RememberSizeIn(std::unique_ptr<QSettings> settings) {
  Settings = std::move(settings);
  if (!Settings) return;
  const QSize size = Settings->value(QStringLiteral("builder/size")).toSize();
  if (size.isValid()) resize(size);
}

void TBuilderDialog::done(int result) {
  if (Settings) {
    Settings->setValue(QStringLiteral("builder/size"), size());
    Settings->sync();
  }
  QDialog::done(result);
}

void TBuilderDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter) return QDialog::keyPressEvent(event);
  if ((event->modifiers() & Qt::ControlModifier) != 0) return accept();
  // A button with the keyboard takes Enter itself; nothing else closes the window.
  event->accept();
}

void TBuilderDialog::FillItemList(int select) {
  const QSignalBlocker quiet(lbItems);
  lbItems->clear();
  for (const PersonaItem& item : persona.Items)
    lbItems->addItem(QStringLiteral("%1: %2").arg(Title(item), Cut(Qs(BuildItem(item)))));
  if (!persona.Items.empty()) lbItems->setCurrentRow(std::clamp(select, 0, static_cast<int>(persona.Items.size()) - 1));
  FillPage();
  ShowCode();
}

void TBuilderDialog::lbItemsChange() { FillPage(); }

// A choice that changes what the page shows rebuilds it once its control has finished
// telling of the change: the control is part of the page.
void TBuilderDialog::RefillPageLater() { QMetaObject::invokeMethod(this, &TBuilderDialog::FillPage, Qt::QueuedConnection); }

void TBuilderDialog::btnAddClick() {
  const int row = cbAddTag->currentData().toInt();
  const TagRow* tag = row < 0 ? nullptr : &TagCatalogue[static_cast<std::size_t>(row)];
  FillItemList(static_cast<int>(AddItemBehind(persona, tag, lbItems->currentRow())));
}

void TBuilderDialog::btnRemoveClick() {
  const int row = lbItems->currentRow();
  if (row < 0) return;
  RemoveItem(persona, static_cast<std::size_t>(row));
  FillItemList(row);
}

void TBuilderDialog::btnMoveClick(int step) {
  const int row = lbItems->currentRow();
  if (row < 0) return;
  FillItemList(static_cast<int>(MoveItemBy(persona, static_cast<std::size_t>(row), step)));
}

void TBuilderDialog::btnRandomClick() {
  searches.clear();
  persona = RandomPersona(random);
  FillItemList(0);
}

void TBuilderDialog::ShowCode() {
  const std::string code = BuildCode(persona);
  edCode->setText(Qs(code));
  const ParseResult r = ParseCode(code);
  QString text;
  for (std::size_t i = 0; i < r.LineCount(); ++i)
    text += Qs(std::string(r.Line(i))).replace(QLatin1Char('\r'), QStringLiteral("\n    ")) + "\n";
  const std::size_t listed = std::min(r.MessageCount(), MostMessagesListed);
  for (std::size_t i = 0; i < listed; ++i)
    text += QStringLiteral("position %1: %2\n").arg(r.MessagePosition(i)).arg(Qs(std::string(r.Message(i))));
  if (listed < r.MessageCount()) text += Qs(MoreMessages(r.MessageCount() - listed));
  meReading->setPlainText(text.trimmed());
}

}  // namespace zendric
