#include "BuilderDialog.h"

#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "BuilderText.h"
#include "CodeEdit.h"

namespace zendric {
namespace {

// Ctrl+Y takes back an undo as well: the key most users know for it.
bool IsUndo(const QKeyEvent* key) { return key->matches(QKeySequence::Undo); }
bool IsRedo(const QKeyEvent* key) {
  return key->matches(QKeySequence::Redo) || key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
}

// A row of a long list: its text is made when the list asks for it, which it does
// for the rows in view.
class TLazyRow : public QListWidgetItem {
 public:
  TLazyRow(const TBuilderDialog* dialog, int row) : dialog(dialog), row(row) {}
  QVariant data(int role) const override {
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return dialog->RowText(row, role == Qt::ToolTipRole);
    return QListWidgetItem::data(role);
  }

 private:
  const TBuilderDialog* dialog;
  int row;
};

}  // namespace

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

// Hidden while its sitting still stands: a field losing the focus ends its typing.
TBuilderDialog::~TBuilderDialog() { hide(); }

// The items at the left with what adds, removes and moves them; the page at the right.
void TBuilderDialog::CreateItemList() {
  auto* top = new QSplitter(Qt::Horizontal);
  auto* left = new QWidget(top);
  auto* leftColumn = new QVBoxLayout(left);
  leftColumn->setContentsMargins(0, 0, 0, 0);
  lbItems = new QListWidget(left);
  lbItems->setObjectName(QStringLiteral("lbItems"));
  // A row's hint wraps under it in the list's width rather than scroll out of sight.
  lbItems->setWordWrap(true);
  lbItems->setResizeMode(QListView::Adjust);
  lbItems->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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
  btnRandom = new QPushButton(QStringLiteral("Ra&ndom"), this);
  btnRandom->setObjectName(QStringLiteral("btnRandom"));
  btnUndo = new QPushButton(QStringLiteral("Und&o"), this);
  btnUndo->setObjectName(QStringLiteral("btnUndo"));
  btnRedo = new QPushButton(QStringLiteral("R&edo"), this);
  btnRedo->setObjectName(QStringLiteral("btnRedo"));
  btnUse = new QPushButton(QStringLiteral("U&se this code"), this);
  btnUse->setObjectName(QStringLiteral("btnUse"));
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  for (QPushButton* button : {btnRandom, btnUndo, btnRedo, btnUse, btnCancel}) button->setAutoDefault(false);
  auto* row = new QHBoxLayout;
  row->addWidget(btnRandom);
  row->addWidget(btnUndo);
  row->addWidget(btnRedo);
  row->addStretch(1);
  row->addWidget(btnUse);
  row->addWidget(btnCancel);
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
  connect(btnRandom, &QPushButton::clicked, this, &TBuilderDialog::btnRandomClick);
  connect(btnUndo, &QPushButton::clicked, this, &TBuilderDialog::Undo);
  connect(btnRedo, &QPushButton::clicked, this, &TBuilderDialog::Redo);
  connect(btnUse, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  // Outside a line edit the window's keys; inside one, eventFilter hands them over.
  auto* undo = new QShortcut(this);
  undo->setKeys(QKeySequence::Undo);
  connect(undo, &QShortcut::activated, this, &TBuilderDialog::Undo);
  QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
  if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
  auto* redo = new QShortcut(this);
  redo->setKeys(redoKeys);
  connect(redo, &QShortcut::activated, this, &TBuilderDialog::Redo);
  edCode->installEventFilter(this);

  // A code pasted into the item list opens, as a step that undo takes back.
  auto* paste = new QShortcut(QKeySequence::Paste, lbItems, nullptr, nullptr, Qt::WidgetShortcut);
  connect(paste, &QShortcut::activated, this, &TBuilderDialog::OpenPasted);
}

void TBuilderDialog::DescribeControls() {
  struct Description {
    QWidget* control;
    const char* name;
    const char* description;
  };
  const Description descriptions[] = {
      {lbItems, "Items", "The items of the code in code order; the selected one is shown at the right. Ctrl+V opens a pasted code"},
      {cbAddTag, "Tag to add", "Every tag by its heading"},
      {btnAdd, "Add", "Adds the chosen tag behind the selected item"},
      {btnRemove, "Remove", "Removes the selected item"},
      {btnUp, "Up", "Moves the selected item one place towards the start"},
      {btnDown, "Down", "Moves the selected item one place towards the end"},
      {sbPage, "Choices", "The choices of the selected item, in the words of the reading"},
      {edCode, "Code", "The code as built now"},
      {meReading, "Reading", "The reading of the code as built now, and its messages"},
      {btnRandom, "Random", "Makes a random persona; Undo takes it back"},
      {btnUndo, "Undo", "Takes back the last step (Ctrl+Z)"},
      {btnRedo, "Redo", "Does again the step taken back (Ctrl+Shift+Z, Ctrl+Y)"},
      {btnUse, "Use this code", "Puts the code into the reader's field in the place of the code opened (Ctrl+Enter)"},
      {btnCancel, "Cancel", "Closes without changing the reader's field; asks first when there are changes"},
  };
  for (const Description& d : descriptions) {
    d.control->setAccessibleName(QString::fromUtf8(d.name));
    d.control->setAccessibleDescription(QString::fromUtf8(d.description));
    d.control->setToolTip(QString::fromUtf8(d.description));
  }
}

void TBuilderDialog::Open(const QString& field, std::ptrdiff_t chosen, const FieldModel* read) {
  searches.clear();
  refused.clear();
  session.Start(field.toStdU16String(), chosen, read);
  FillItemList(0);
}

void TBuilderDialog::OpenPasted() {
  const QString text = QGuiApplication::clipboard()->text();
  if (text.isEmpty()) return;
  EndTyping();
  searches.clear();
  refused.clear();
  session.Open(text.toStdU16String());
  FillItemList(0);
}

QString TBuilderDialog::Code() const { return Qs(session.Code()); }

std::optional<BuilderSession::Splice> TBuilderDialog::Use(const QString& field) const {
  return session.Use(field.toStdU16String());
}

void TBuilderDialog::RememberSizeIn(std::unique_ptr<QSettings> settings) {
  Settings = std::move(settings);
  if (!Settings) return;
  const QSize size = Settings->value(QStringLiteral("builder/size")).toSize();
  if (size.isValid()) resize(size);
  FitScreen();
}

// A size remembered on a larger screen or at a smaller scale, or the first size on a
// small screen, would put the buttons off the screen.
void TBuilderDialog::FitScreen() {
  const QWidget* anchor = parentWidget() != nullptr ? parentWidget()->window() : this;
  const QScreen* where = anchor->screen() != nullptr ? anchor->screen() : QGuiApplication::primaryScreen();
  if (where == nullptr) return;
  // The frame the window manager put around it when it last showed; none before that.
  const QSize frame = (frameGeometry().size() - geometry().size()).expandedTo(QSize(0, 0));
  const QRect room = where->availableGeometry();
  resize(size().boundedTo(room.size() - frame).expandedTo(minimumSize()));
  if (!isVisible()) return;
  // Shown, its frame is known: it goes where all of it is on the screen.
  const QRect outer = frameGeometry();
  QPoint to = outer.topLeft();
  to.setX(std::clamp(to.x(), room.left(), std::max(room.left(), room.right() + 1 - outer.width())));
  to.setY(std::clamp(to.y(), room.top(), std::max(room.top(), room.bottom() + 1 - outer.height())));
  if (to == outer.topLeft()) return;
  move(to);
  setAttribute(Qt::WA_Moved, false);  // not a place the user chose: the next opening centres it again
}

void TBuilderDialog::setVisible(bool visible) {
  if (visible) FitScreen();
  QDialog::setVisible(visible);
}

void TBuilderDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FitScreen();
}

void TBuilderDialog::reject() {
  // Text typed into a field that did not take it is not in the code, but it is work.
  if (session.Changed() || !refused.empty()) {
    QMessageBox ask(QMessageBox::Question, windowTitle(), QStringLiteral("Discard the changes?"), QMessageBox::NoButton, this);
    ask.setObjectName(QStringLiteral("mbDiscard"));
    ask.setInformativeText(QStringLiteral("The code built here has not been used."));
    QPushButton* discard = ask.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    QPushButton* keep = ask.addButton(QStringLiteral("Keep editing"), QMessageBox::RejectRole);
    ask.setDefaultButton(keep);
    ask.setEscapeButton(keep);
    ask.exec();
    if (ask.clickedButton() != discard) return;
  }
  QDialog::reject();
}

void TBuilderDialog::done(int result) {
  if (Settings) {
    Settings->setValue(QStringLiteral("builder/size"), size());
    Settings->sync();
  }
  QDialog::done(result);
}

bool TBuilderDialog::eventFilter(QObject* watched, QEvent* event) {
  // A line edit takes Ctrl+Z for its own undo; in the builder the step of a typed field
  // is the builder's, so its undo ends the typing and takes back the whole field.
  if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool undo = IsUndo(key), redo = !undo && IsRedo(key);
    if (undo || redo) {
      event->accept();  // not a shortcut of the window: the key comes here as a press
      if (event->type() == QEvent::KeyPress) undo ? Undo() : Redo();
      return true;
    }
  }
  if (qobject_cast<TCodeEdit*>(watched) != nullptr) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        keyPressEvent(key);
        return true;
      }
    }
    if (event->type() == QEvent::FocusOut) EndTyping();
  }
  return QDialog::eventFilter(watched, event);
}

void TBuilderDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter) return QDialog::keyPressEvent(event);
  if ((event->modifiers() & Qt::ControlModifier) != 0) return accept();
  // A button with the keyboard takes Enter itself; nothing else closes the window.
  event->accept();
}

void TBuilderDialog::FillItemList(int select) {
  const Persona& persona = session.Current();
  {
    const QSignalBlocker quiet(lbItems);
    // Wrapped rows are measured one by one, every one of them, before the list shows:
    // in a long list a row is one line, its hint behind its text.
    const bool many = persona.Items.size() > ManyRows;
    lbItems->setUniformItemSizes(many);
    lbItems->setWordWrap(!many);
    lbItems->clear();
    for (std::size_t i = 0; i < persona.Items.size(); ++i) {
      if (many) lbItems->addItem(new TLazyRow(this, static_cast<int>(i)));
      else lbItems->addItem(QString());
    }
    ShowRows();
    if (!persona.Items.empty()) lbItems->setCurrentRow(std::clamp(select, 0, static_cast<int>(persona.Items.size()) - 1));
  }
  redrawAfterTyping = false;
  FillPage();
  ShowCode();
}

// The item's text, and under it what the builder would tell of it (a tag given twice).
QString TBuilderDialog::RowText(int row, bool tip) const {
  const Persona& persona = session.Current();
  if (row < 0 || static_cast<std::size_t>(row) >= persona.Items.size()) return {};
  const PersonaItem& item = persona.Items[static_cast<std::size_t>(row)];
  const std::string built = BuildItem(item);
  const QString hint = Qs(ItemHint(persona, static_cast<std::size_t>(row)));
  if (tip) return hint.isEmpty() ? Cut(built) : Cut(built) + QLatin1Char('\n') + hint;
  // Rows wrap: a long kept text shows its start, the tooltip and the page the rest.
  constexpr std::size_t LongestRow = 160;
  QString shown = QStringLiteral("%1: %2").arg(Title(item), Qs(CutText(built, LongestRow)));
  if (!hint.isEmpty()) shown += (lbItems->uniformItemSizes() ? QStringLiteral(" \u2014 ") : QStringLiteral("\n    ")) + hint;
  return shown;
}

void TBuilderDialog::ShowRow(int row) {
  QListWidgetItem* entry = lbItems->item(row);
  if (entry == nullptr) return;
  if (const QString shown = RowText(row, false); entry->text() != shown) entry->setText(shown);
  entry->setToolTip(RowText(row, true));
}

// A change to one item can change the hints of others. The rows of a long list make
// their texts as they are drawn.
void TBuilderDialog::ShowRows() {
  if (lbItems->uniformItemSizes()) return lbItems->viewport()->update();
  for (int row = 0; row < lbItems->count(); ++row) ShowRow(row);
}

void TBuilderDialog::lbItemsChange() {
  EndTyping();
  refused.clear();
  FillPage();
}

// A choice that changes what the page shows rebuilds it once its control has finished
// telling of the change: the control is part of the page.
void TBuilderDialog::RefillPageLater() { QMetaObject::invokeMethod(this, &TBuilderDialog::FillPage, Qt::QueuedConnection); }

void TBuilderDialog::btnAddClick() {
  EndTyping();
  const int row = cbAddTag->currentData().toInt();
  const TagRow* tag = row < 0 ? nullptr : &TagCatalogue[static_cast<std::size_t>(row)];
  FillItemList(static_cast<int>(session.Add(tag, lbItems->currentRow())));
}

void TBuilderDialog::btnRemoveClick() {
  EndTyping();
  const int row = lbItems->currentRow();
  if (row < 0) return;
  session.Remove(static_cast<std::size_t>(row));
  FillItemList(row);
}

void TBuilderDialog::btnMoveClick(int step) {
  EndTyping();
  const int row = lbItems->currentRow();
  if (row < 0) return;
  FillItemList(static_cast<int>(session.Move(static_cast<std::size_t>(row), step)));
}

void TBuilderDialog::btnRandomClick() {
  EndTyping();
  searches.clear();
  refused.clear();
  session.Random(random);
  FillItemList(0);
}

void TBuilderDialog::Undo() {
  EndTyping();
  const std::optional<std::size_t> item = session.Undo();
  if (!item) return;
  refused.clear();
  FillItemList(static_cast<int>(*item));
}

void TBuilderDialog::Redo() {
  EndTyping();
  const std::optional<std::size_t> item = session.Redo();
  if (!item) return;
  refused.clear();
  FillItemList(static_cast<int>(*item));
}

void TBuilderDialog::ShowUndoState() {
  btnUndo->setEnabled(session.CanUndo());
  btnRedo->setEnabled(session.CanRedo());
}

void TBuilderDialog::ShowCode() {
  ShowUndoState();
  const std::string code = session.Code();
  // A line edit shapes all of its text on every paint: a code of a megabyte shows its
  // start, as a kept item does, and "Use this code" takes all of it.
  const QString shown = Cut(code);
  edCode->setText(shown);
  // The caret goes to the end of a text given: a cut code would show the end of its
  // start, a run of whatever the middle holds, instead of its species and first items.
  if (shown.size() < static_cast<qsizetype>(code.size())) edCode->setCursorPosition(0);
  const ReadingListing& listed = session.Listing();
  QString text;
  for (const std::string& line : listed.Lines) text += Qs(line).replace(QLatin1Char('\r'), QStringLiteral("\n    ")) + "\n";
  for (const std::string& message : listed.Messages) text += Qs(message) + "\n";
  meReading->setPlainText(text.trimmed());
}

}  // namespace zendric
