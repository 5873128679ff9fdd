#include "MainScreenForm.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include <QBoxLayout>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "AboutDialogForm.h"
#include "Arguments.h"
#include "BuilderDialog.h"
#include "FixMenu.h"
#include "CodeEdit.h"
#include "ErrorMarks.h"
#include "FocusFrame.h"
#include "FoundCodeBar.h"
#include "LargeTextPanel.h"
#include "MainMenu.h"
#include "ReadingText.h"

namespace zendric {
namespace {

// The platform's key for help, F1 where it has none.
QKeySequence HelpKey() {
  const QKeySequence help(QKeySequence::HelpContents);
  return help.isEmpty() ? QKeySequence(Qt::Key_F1) : help;
}

QString KeyText(const QKeySequence& keys) { return keys.toString(QKeySequence::NativeText); }

QString CodeText(const FieldModel& field) {
  return QString::fromUtf8(field.Code().data(), static_cast<qsizetype>(field.Code().size()));
}

}  // namespace

TMainScreen::TMainScreen(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Zendric 2 reader"));
  resize(FirstSize);
  CreateTopPanel();
  CreateCodeList();
  CreateErrorList();
  LayOutControls();
  fixOffer = new TFixOffer(meZendric, lbErrors, errorMarks, this);
  CreateShortcuts();
  DescribeControls();
  ConnectControls();
  PlaceOnScreen();
  setAcceptDrops(true);
  meZendric->viewport()->installEventFilter(this);  // a file dropped on the field opens
  giveBackWhenIdle.setSingleShot(true);
  giveBackWhenIdle.setInterval(TFreedMemory::IdleMilliseconds);
  connect(&giveBackWhenIdle, &QTimer::timeout, this, [] { GiveBackFreedMemory(); });
}

// The code field, and the About button in a narrow panel at its right.
void TMainScreen::CreateTopPanel() {
  pnTop = new QWidget(this);
  pnTop->setObjectName(QStringLiteral("pnTop"));
  pnTop->setMinimumHeight(24);
  meZendric = new TCodeEdit(pnTop);
  meZendric->setObjectName(QStringLiteral("meZendric"));
  meZendric->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  meZendric->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  meZendric->setTabChangesFocus(true);
  meZendric->installEventFilter(this);
  meZendric->setPlaceholderText(QStringLiteral("Type or paste a Zendric 2 code, e.g. ZN2.Dw Gm L12m"));
  errorMarks = new TErrorMarks(meZendric);
  new TFocusFrame(meZendric);

  pnButton = new QWidget(pnTop);
  pnButton->setObjectName(QStringLiteral("pnButton"));
  btnMake = new QToolButton(pnButton);
  btnMake->setObjectName(QStringLiteral("btnMake"));
  btnMake->setAutoRaise(true);
  btnMake->setText(QStringLiteral("Make a code\u2026"));
  new TFocusFrame(btnMake);
  btnAbout = new QToolButton(pnButton);
  btnAbout->setObjectName(QStringLiteral("btnAbout"));
  btnAbout->setAutoRaise(true);
  btnAbout->setIcon(QIcon(QStringLiteral(":/pictures/question.svg")));
  btnAbout->setIconSize(QSize(16, 16));
  new TFocusFrame(btnAbout);
  PlaceButtons();

  auto* topRow = new QHBoxLayout(pnTop);
  topRow->setContentsMargins(0, 0, 0, 0);
  topRow->setSpacing(0);
  topRow->addWidget(meZendric, 1);
  topRow->addWidget(pnButton);
}

// "Make a code..." stands to the left of "?", which keeps its place at the right edge;
// the text's width sets the button's, so that a larger font never cuts it.
void TMainScreen::PlaceButtons() {
  constexpr int LeastMakeWidth = 104, ButtonHeight = 25;
  const QSize make = btnMake->sizeHint();
  const int width = std::max(LeastMakeWidth, make.width());
  const int height = std::max(ButtonHeight, make.height());
  pnButton->setFixedWidth(38 + width);
  btnMake->setGeometry(4, 16, width, height);
  btnAbout->setGeometry(width + 8, 16, ButtonHeight, ButtonHeight);
}

void TMainScreen::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange && btnMake != nullptr) PlaceButtons();
  QWidget::changeEvent(event);
}

// The reading, with the bar that offers codes found in other text above it.
void TMainScreen::CreateCodeList() {
  pnReading = new QWidget(this);
  pnReading->setObjectName(QStringLiteral("pnReading"));
  pnFound = new TFoundCodeBar(pnReading);
  connect(pnFound, &TFoundCodeBar::ReadCode, this, &TMainScreen::ReplaceCode);
  pnLarge = new TLargeText(pnReading);
  connect(pnLarge, &TLargeText::ReadCode, this, &TMainScreen::ReplaceCode);
  static_cast<TCodeEdit*>(meZendric)->SetLargeTextTaker([this](const QString& text) {
    if (!TooLargeForField(static_cast<std::uintmax_t>(text.size()))) return false;
    pnLarge->TakeText(text, QStringLiteral("pasted text"));
    return true;
  });
  sbCodeList = new QScrollArea(pnReading);
  auto* stack = new QVBoxLayout(pnReading);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->setSpacing(0);
  stack->addWidget(pnFound);
  stack->addWidget(pnLarge);
  stack->addWidget(sbCodeList, 1);
  sbCodeList->setObjectName(QStringLiteral("sbCodeList"));
  sbCodeList->setWidgetResizable(false);
  sbCodeList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sbCodeList->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Panel1 = new QWidget;
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->resize(0, 0);
  sbCodeList->setWidget(Panel1);
  resultColumn = std::make_unique<TResultColumn>(sbCodeList, Panel1);
  // The column shows nothing of its own while it has the focus: Tab would seem to vanish.
  new TFocusFrame(sbCodeList);
  sbCodeList->installEventFilter(this);  // rewraps the column for the room it gets
  AddCopyReading(sbCodeList, {[this] { return CodeText(*field); },
                              [this]() -> const ParseResult& { return *reading; },
                              [this] { return resultColumn->SelectedText(); }});
}

void TMainScreen::CreateErrorList() {
  lbErrors = new TErrorList(this);
  lbErrors->setObjectName(QStringLiteral("lbErrors"));
  lbErrors->hide();
}

// The code above the reading, the boundary between them to be dragged; the errors below.
void TMainScreen::LayOutControls() {
  spReading = new QSplitter(Qt::Vertical, this);
  spReading->setObjectName(QStringLiteral("spReading"));
  spReading->setChildrenCollapsible(false);
  spReading->setHandleWidth(4);
  spReading->addWidget(pnTop);
  spReading->addWidget(pnReading);
  spReading->setStretchFactor(0, 0);
  spReading->setStretchFactor(1, 1);
  spReading->setSizes({FirstCodeHeight, FirstSize.height()});

  // the boundary above the errors can be dragged too; the list keeps whole rows
  spErrors = new QSplitter(Qt::Vertical, this);
  spErrors->setObjectName(QStringLiteral("spErrors"));
  spErrors->setChildrenCollapsible(false);
  spErrors->setHandleWidth(4);
  spErrors->addWidget(spReading);
  spErrors->addWidget(lbErrors);
  spErrors->setStretchFactor(0, 1);
  spErrors->setStretchFactor(1, 0);
  connect(spErrors, &QSplitter::splitterMoved, this, [this] { SetErrorListHeight(lbErrors->height()); });
  // the rows' height and the sideways scroll bar change what whole rows come to
  connect(lbErrors, &TErrorList::GeometriesUpdated, this, [this] { SetErrorListHeight(errorListHeight); });
  SetErrorListHeight(ErrorListHeight);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(spErrors, 1);

  setTabOrder(lbErrors, sbCodeList);
  setTabOrder(sbCodeList, meZendric);
  setTabOrder(meZendric, pnFound);
  setTabOrder(pnFound, btnMake);
  setTabOrder(btnMake, btnAbout);
  meZendric->setFocus();
}

// The menu bar holds the window's keys: help, making a code, opening, quitting.
void TMainScreen::CreateShortcuts() {
  mbMain = new TMainMenu({.window = this,
                          .field = meZendric,
                          .readingColumn = sbCodeList,
                          .code = [this] { return CodeText(*field); },
                          .reading = [this]() -> const ParseResult& { return *reading; },
                          .openFile = [this](const QString& path) { return OpenFile(path); },
                          .makeCode = [this] { btnMake->click(); },
                          .about = [this] { btnAbout->click(); }},
                         this);
  layout()->setMenuBar(mbMain);
  btnAbout->setToolTip(QStringLiteral("About (%1)").arg(KeyText(HelpKey())));
  btnMake->setToolTip(QStringLiteral("Make a code (%1)").arg(KeyText(QKeySequence(Qt::CTRL | Qt::Key_N))));
  auto* fixes = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period), this);
  connect(fixes, &QShortcut::activated, fixOffer, &TFixOffer::OpenAtCaret);
}

void TMainScreen::DescribeControls() {
  const QString copyKeys = KeyText(QKeySequence::Copy);
  const QString helpKey = KeyText(HelpKey());
  const struct {
    QWidget* control;
    QString name;
    QString description;
  } descriptions[] = {
      {this, QStringLiteral("Zendric 2 reader"),
       QStringLiteral("Reads a Zendric 2 code and says in plain English what each of its items describes")},
      {pnTop, QStringLiteral("Code and About"), QStringLiteral("The code to read and the About button")},
      {meZendric, QStringLiteral("Code"),
       QStringLiteral("The Zendric 2 code to read: type or paste it here. Errors are underlined in red")},
      {pnButton, QStringLiteral("About button"), QStringLiteral("Holds the Make a code and About buttons")},
      {btnMake, QStringLiteral("Make a code"),
       QStringLiteral("Opens the code builder with the code in the field (Ctrl+N)")},
      {btnAbout, QStringLiteral("About"),
       QStringLiteral("Shows the program's name and version and a sample code (%1)").arg(helpKey)},
      {sbCodeList, QStringLiteral("Reading"),
       QStringLiteral("What each item of the code says, one paragraph per item. %1 copies it all").arg(copyKeys)},
      {Panel1, QStringLiteral("Reading text"), QStringLiteral("The paragraphs of the reading")},
      {lbErrors, QStringLiteral("Errors"),
       QStringLiteral("The errors found in the code. Enter puts the caret at the selected error")},
  };
  for (const auto& d : descriptions) {
    d.control->setAccessibleName(d.name);
    d.control->setAccessibleDescription(d.description);
  }
}

void TMainScreen::ConnectControls() {
  connect(meZendric, &QPlainTextEdit::textChanged, this, &TMainScreen::meZendricChange);
  connect(lbErrors, &QListView::clicked, this, &TMainScreen::lbErrorsClick);
  connect(lbErrors, &QListView::activated, this, &TMainScreen::lbErrorsClick);
  connect(btnAbout, &QToolButton::clicked, this, &TMainScreen::btnAboutClick);
  connect(btnMake, &QToolButton::clicked, this, &TMainScreen::btnMakeClick);
  connect(meZendric, &QPlainTextEdit::cursorPositionChanged, this, [this] { ShowCaretItem(false); });
  connect(resultColumn.get(), &TResultColumn::LineHovered, this, &TMainScreen::MarkHoveredLine);
  connect(resultColumn.get(), &TResultColumn::LineClicked, this, &TMainScreen::SelectLineItem);
  connect(lbErrors->selectionModel(), &QItemSelectionModel::currentChanged, this, &TMainScreen::MarkErrorItem);
}

void TMainScreen::PlaceOnScreen() {
  if (const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen())
    move(where->availableGeometry().center() - rect().center());
}

TMainScreen::~TMainScreen() { ClearCodeList(); }

// A remembered size that the screen cannot hold, or that cuts the controls off, is
// not one the user chose: a corrupt setting, or one from another screen.
static bool FitsItsScreen(const QWidget& window) {
  // Below this the buttons and the first lines of the code and the reading are cut off.
  constexpr QSize LeastUsable{320, 200};
  const QSize least = window.minimumSizeHint().expandedTo(LeastUsable);
  if (window.width() < least.width() || window.height() < least.height()) return false;
  const QScreen* where = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!where) return true;
  const QRect room = where->availableGeometry();
  return window.width() <= room.width() && window.height() <= room.height() && room.intersects(window.geometry());
}

void TMainScreen::RememberLayoutIn(std::unique_ptr<QSettings> settings) {
  Settings = std::move(settings);
  if (!Settings) return;
  mbMain->RememberFilesIn(std::make_unique<QSettings>(Settings->fileName(), Settings->format()));
  const QByteArray geometry = Settings->value(QStringLiteral("window/geometry")).toByteArray();
  if (geometry.isEmpty() || !restoreGeometry(geometry) || !FitsItsScreen(*this)) {
    resize(FirstSize);
    PlaceOnScreen();
  }
  spReading->restoreState(Settings->value(QStringLiteral("window/split")).toByteArray());
  SetErrorListHeight(Settings->value(QStringLiteral("window/errors"), ErrorListHeight).toInt());
}

// The list's height in whole rows, as near `height` as they come; the reading above
// takes the rest.
void TMainScreen::SetErrorListHeight(int height) {
  if (settingErrorListHeight) return;
  errorListHeight = std::clamp(height, lbErrors->RowHeight() + 4, 4000);
  const int rows = lbErrors->WholeRowsHeight(errorListHeight);
  const int total = std::max(spErrors->height(), rows + 2 * FirstCodeHeight);
  if (spErrors->sizes().value(1) == rows) return;
  settingErrorListHeight = true;
  spErrors->setSizes({total - rows - spErrors->handleWidth(), rows});
  settingErrorListHeight = false;
}

void TMainScreen::closeEvent(QCloseEvent* event) {
  if (Settings) {
    Settings->setValue(QStringLiteral("window/geometry"), saveGeometry());
    Settings->setValue(QStringLiteral("window/split"), spReading->saveState());
    Settings->setValue(QStringLiteral("window/errors"), errorListHeight);
    Settings->sync();
  }
  QWidget::closeEvent(event);
}

// Shift+Enter would put a U+2028 inside the line, which shows as a line break but is a
// character of the code; it gives a new line, like Enter.
bool TMainScreen::eventFilter(QObject* watched, QEvent* event) {
  if (watched == sbCodeList && event->type() == QEvent::Resize) FillCodeList();
  if (watched == meZendric->viewport() && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) &&
      static_cast<QDropEvent*>(event)->mimeData()->hasUrls()) {
    static_cast<QDropEvent*>(event)->acceptProposedAction();
    return true;
  }
  if (watched == meZendric->viewport() && event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (drop->mimeData()->hasUrls()) {
      if (TakeDrop(drop->mimeData())) drop->acceptProposedAction();
      return true;
    }
  }
  if (watched == meZendric && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::InsertLineSeparator)) {
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, key->modifiers() & ~Qt::ShiftModifier, QStringLiteral("\r"));
      QCoreApplication::sendEvent(meZendric, &enter);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// Every change of the field, whatever made it: one reading of the whole code. The field
// makes a line of its own of every line end put into it, whatever the edit.
void TMainScreen::meZendricChange() {
  // A reading of a hundred thousand lines and messages and more holds tens of megabytes
  // (a megabyte of errors, some 60): it goes before the next one is made, so that the
  // window never holds both, and the next one is written into its memory.
  const ParseResult& last = field->Reading();
  const bool letGo = last.MessageCount() + last.LineCount() >= LargeReading;
  const int columnScroll = sbCodeList->verticalScrollBar()->value();
  std::shared_ptr<FieldModel> before = letGo ? LetGoOfReading() : field;
  ParseResult room = letGo && before.use_count() == 1 ? before->TakeReading() : ParseResult();
  auto next = std::make_shared<FieldModel>(meZendric->ModelText(), std::move(room));
  ++parseCount;

  // Settle the scroll box's new height first, so the column wraps for the room it gets;
  // the list and the column still show the last reading while it does.
  lbErrors->setVisible(next->Reading().MessageCount() > 0);
  spErrors->refresh();
  layout()->activate();
  field = std::move(next);
  reading = std::shared_ptr<const ParseResult>(field, &field->Reading());
  OfferFoundCodes(before->Text());
  before.reset();
  errorMarks->Show(field);
  lbErrors->SetReading(reading, field);
  fixOffer->SetReading(field);
  FillCodeList();
  if (letGo) sbCodeList->verticalScrollBar()->setValue(columnScroll);  // as a reading in place of a reading leaves it
  hoverMark = errorItemMark = {};  // their items may be gone
  ShowItemMarks();
  caretShownAt = -1;
  ShowCaretItem(true);
  // The last reading, its marks and its column are freed by now.
  if (freedMemory.AfterReading(field->Code().size())) GiveBackFreedMemory();
  if (field->Code().size() >= TFreedMemory::LargeCode) giveBackWhenIdle.start();
}

// The lines of the item the caret (or the start of the selection) stands in light up in
// the reading. The caret moves with every key as well: once for a reading is enough.
void TMainScreen::ShowCaretItem(bool scroll) {
  const int caret = meZendric->ModelOffset(meZendric->textCursor().selectionStart());
  if (caret == caretShownAt) return;
  caretShownAt = caret;
  const CaretItem item = field->ItemAt(caret);
  const bool moved = item.FirstLine != caretFirst || item.LastLine != caretLast;
  caretFirst = item.FirstLine;
  caretLast = item.LastLine;
  resultColumn->SetHighlight(caretFirst, caretLast);
  if (scroll || moved) resultColumn->ScrollToHighlight();
}

FieldRange TMainScreen::ItemRange(Span item) const { return field->RangeOf(item); }

// The pointer on a line of the reading lightly marks the code it came from.
void TMainScreen::MarkHoveredLine(std::ptrdiff_t line) {
  hoverMark = line >= 0 && static_cast<std::size_t>(line) < reading->LineCount()
                  ? ItemRange(reading->LineSpan(static_cast<std::size_t>(line)))
                  : FieldRange{};
  ShowItemMarks();
}

// A click on a line selects the code it came from, scrolled into view.
void TMainScreen::SelectLineItem(std::size_t line) {
  if (line >= reading->LineCount()) return;
  const FieldRange range = ItemRange(reading->LineSpan(line));
  QTextCursor select = meZendric->textCursor();
  select.setPosition(meZendric->FieldPosition(range.Start, true));
  select.setPosition(meZendric->FieldPosition(range.End), QTextCursor::KeepAnchor);
  meZendric->setTextCursor(select);
  meZendric->ensureCursorVisible();
}

// The selected error row marks its message's item, beside the message's red wave.
void TMainScreen::MarkErrorItem() {
  const int row = lbErrors->currentRow();
  errorItemMark = row >= 0 && static_cast<std::size_t>(row) < reading->MessageCount()
                      ? ItemRange(reading->MessageItem(static_cast<std::size_t>(row)))
                      : FieldRange{};
  ShowItemMarks();
}

void TMainScreen::ShowItemMarks() {
  QList<QTextEdit::ExtraSelection> marks;
  for (const FieldRange& range : {errorItemMark, hoverMark}) {
    if (range.End <= range.Start) continue;
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(meZendric->document());
    mark.cursor.setPosition(meZendric->FieldPosition(range.Start, true));
    mark.cursor.setPosition(meZendric->FieldPosition(range.End), QTextCursor::KeepAnchor);
    QColor light = meZendric->palette().color(QPalette::Active, QPalette::Highlight);
    light.setAlpha(60);
    mark.format.setBackground(light);
    marks << mark;
  }
  meZendric->setExtraSelections(marks);
}

// Select all and type over it, in one edit block: the field's undo takes back exactly
// this, and the window reads the new code once.
void TMainScreen::ReplaceCode(const QString& code) {
  QTextCursor cursor(meZendric->document());
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  meZendric->InsertText(cursor, code);
  cursor.endEditBlock();
  meZendric->setTextCursor(cursor);  // the caret after the new code, as typing leaves it
}

// Every part of the window that shows the reading lets it go, and shows none for now.
// Gives back the model let go: its text, and its reading's memory for the next one.
std::shared_ptr<FieldModel> TMainScreen::LetGoOfReading() {
  errorMarks->Show(nullptr);
  lbErrors->SetReading(nullptr);
  fixOffer->SetReading(nullptr);
  resultColumn->LetGo();
  std::shared_ptr<FieldModel> last = std::exchange(field, std::make_shared<FieldModel>());
  reading = std::shared_ptr<const ParseResult>(field, &field->Reading());
  return last;
}

// A text that is not a code may hold one, and a text of several lines that starts
// like a code may hold more than one (a file of codes, one a line). The finder reads
// again only the lines the edit touched: a field of 20 000 codes costs a keystroke
// what its edited line costs.
void TMainScreen::OfferFoundCodes(std::u16string_view before) {
  std::vector<OfferedCode> codes = pnFound->TakeCodes();
  const bool known = std::exchange(codesFound, false);
  if (!field->MayOffer()) {
    pnFound->Offer({}, false);
    return;
  }
  codes = known ? RefindOffered(before, field->Text(), std::move(codes)) : FindOffered(field->Text());
  codesFound = true;
  const bool shown = field->Offers(codes.size());
  pnFound->Offer(std::move(codes), shown);
}

bool TMainScreen::OpenText(const QString& text, const QString& source) {
  const QByteArray bytes = text.toUtf8();
  const std::vector<FoundCode> codes =
      FindCodes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (codes.empty()) {
    Tell(QStringLiteral("No Zendric 2 code was found in %1").arg(source));
    return false;
  }
  ReplaceCode(codes.size() == 1 ? QString::fromStdString(codes.front().Code) : text);
  return true;
}

bool TMainScreen::OpenFile(const QString& path) {
  // Too large for the field: read in pieces, its codes listed as they are met.
  const QFileInfo info(path);
  if (info.isFile() && TooLargeForField(static_cast<std::uintmax_t>(info.size()))) {
    QString why;
    if (!pnLarge->OpenFile(path, why)) {
      Tell(QStringLiteral("Cannot read %1: %2").arg(path, why));
      return false;
    }
    mbMain->FileOpened(path);
    return true;
  }
  qsizetype opened = 0;
  bool found = false;
  {
    QString text, why;
    if (ReadTextFile(path, text, why)) {
      opened = text.size();
      found = OpenText(text, QFileInfo(path).fileName());
    } else {
      Tell(QStringLiteral("Cannot read %1: %2").arg(path, why));
    }
  }
  // A long log with a short code in it leaves nothing of itself behind.
  if (opened >= static_cast<qsizetype>(TFreedMemory::LargeCode)) GiveBackFreedMemory();
  if (found) mbMain->FileOpened(path);
  return found;
}

// Said without stopping the window: the box closes itself when dismissed.
void TMainScreen::Tell(const QString& message) {
  auto* box = new QMessageBox(QMessageBox::Information, windowTitle(), message, QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("mbTell"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

// A dropped file opens as Ctrl+O opens it; dropped text goes through the finder.
bool TMainScreen::TakeDrop(const QMimeData* data) {
  if (data->hasUrls()) {
    for (const QUrl& url : data->urls())
      if (url.isLocalFile()) {
        OpenFile(url.toLocalFile());
        return true;
      }
    return false;
  }
  if (data->hasText()) {
    const QString text = data->text();
    if (TooLargeForField(static_cast<std::uintmax_t>(text.size()))) {
      pnLarge->TakeText(text, QStringLiteral("dropped text"));
      return true;
    }
    return OpenText(text, QStringLiteral("the dropped text"));
  }
  return false;
}

void TMainScreen::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() || event->mimeData()->hasText()) event->acceptProposedAction();
}

void TMainScreen::dropEvent(QDropEvent* event) {
  if (TakeDrop(event->mimeData())) event->acceptProposedAction();
}

void TMainScreen::lbErrorsClick() {
  const int row = lbErrors->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= reading->MessageCount()) return;
  QTextCursor caret = meZendric->textCursor();
  caret.setPosition(meZendric->FieldPosition(field->PlaceOf(static_cast<std::size_t>(row)).Caret));
  meZendric->setTextCursor(caret);
  meZendric->setFocus();
}

void TMainScreen::btnAboutClick() {
  if (AboutDialog) AboutDialog->exec();
}

// The builder opens what the found-code bar offers (the code chosen in its list), or the
// whole field; its code goes back in the place of what it opened as one undoable edit,
// the rest of the field left as it is, line ends included.
void TMainScreen::btnMakeClick() {
  if (!BuilderDialog) {
    BuilderDialog = new TBuilderDialog(this);
    if (Settings) BuilderDialog->RememberSizeIn(std::make_unique<QSettings>(Settings->fileName(), Settings->format()));
  }
  const QString text = QString::fromStdU16String(std::u16string(field->Text()));
  BuilderDialog->Open(text, pnFound->Chosen(), field.get());  // the field's reading serves
  const bool used = BuilderDialog->exec() == QDialog::Accepted;
  const std::optional<BuilderSession::Splice> splice = used ? BuilderDialog->Use(text) : std::nullopt;
  // Every opening starts a new sitting: the one on a long code (its items, the steps
  // to undo, the page's copy of a kept text) goes now, and once the old page is deleted
  // too, what it took goes back.
  BuilderDialog->Open(QString());
  if (text.size() >= static_cast<qsizetype>(TFreedMemory::LargeCode))
    QMetaObject::invokeMethod(this, [] { GiveBackFreedMemory(); }, Qt::QueuedConnection);
  if (!splice) return;
  QTextCursor cursor(meZendric->document());
  cursor.beginEditBlock();
  cursor.setPosition(meZendric->FieldPosition(splice->Range.Start, true));
  cursor.setPosition(meZendric->FieldPosition(splice->Range.End), QTextCursor::KeepAnchor);
  meZendric->InsertText(cursor, QString::fromStdU16String(splice->Text));
  cursor.endEditBlock();
  meZendric->setTextCursor(cursor);  // the caret after the code, as typing leaves it
}

void TMainScreen::ClearCodeList() { resultColumn->Clear(); }

// One word-wrapped label per result line, an etched line between every two; labels of
// the last column are reused, and a long column has them only where the view is.
void TMainScreen::FillCodeList() { resultColumn->Fill(reading); }

}  // namespace zendric
