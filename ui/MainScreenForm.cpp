#include "MainScreenForm.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "AboutDialogForm.h"
#include "Accessibility.h"
#include "CaretMapping.h"
#include "CodeEdit.h"
#include "ErrorMarks.h"
#include "ReadingText.h"

namespace zendric {

TMainScreen::TMainScreen(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Zendric 2 reader"));
  resize(558, 315);

  pnTop = new QWidget(this);
  pnTop->setFixedHeight(57);
  meZendric = new TCodeEdit(pnTop);
  meZendric->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  meZendric->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  meZendric->setTabChangesFocus(true);
  meZendric->installEventFilter(this);
  pnButton = new QWidget(pnTop);
  pnButton->setFixedWidth(38);
  btnAbout = new QToolButton(pnButton);
  btnAbout->setAutoRaise(true);
  btnAbout->setGeometry(8, 16, 25, 25);
  btnAbout->setIcon(QIcon(QStringLiteral(":/pictures/question.svg")));
  btnAbout->setIconSize(QSize(16, 16));
  btnAbout->setToolTip(QStringLiteral("About"));
  btnAbout->setAccessibleName(QStringLiteral("About"));
  auto* topRow = new QHBoxLayout(pnTop);
  topRow->setContentsMargins(0, 0, 0, 0);
  topRow->setSpacing(0);
  topRow->addWidget(meZendric, 1);
  topRow->addWidget(pnButton);

  sbCodeList = new QScrollArea(this);
  sbCodeList->setWidgetResizable(false);
  sbCodeList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sbCodeList->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Panel1 = new QWidget;
  Panel1->resize(0, 0);
  sbCodeList->setWidget(Panel1);
  resultColumn = std::make_unique<TResultColumn>(sbCodeList, Panel1);

  lbErrors = new TErrorList(this);
  lbErrors->setFixedHeight(ErrorListHeight);
  lbErrors->hide();

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(pnTop);
  column->addWidget(sbCodeList, 1);
  column->addWidget(lbErrors);

  setTabOrder(lbErrors, sbCodeList);
  setTabOrder(sbCodeList, meZendric);
  setTabOrder(meZendric, btnAbout);
  meZendric->setFocus();

  connect(meZendric, &QPlainTextEdit::textChanged, this, &TMainScreen::meZendricChange);
  connect(lbErrors, &QListView::clicked, this, &TMainScreen::lbErrorsClick);
  connect(lbErrors, &QListView::activated, this, &TMainScreen::lbErrorsClick);
  connect(btnAbout, &QToolButton::clicked, this, &TMainScreen::btnAboutClick);
  errorMarks = new TErrorMarks(meZendric);
  AddCopyReading(sbCodeList, [this]() -> const ParseResult& { return *reading; });
  MakeReaderAccessible(*this);

  if (const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen())
    move(where->availableGeometry().center() - rect().center());
}

TMainScreen::~TMainScreen() { ClearCodeList(); }

void TMainScreen::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FillCodeList();
}

// Shift+Enter would put a line break inside the line; it gives a new line, like Enter.
// Splitting it afterwards would not do: the key's edit is no undo group the split can
// join, so undo would bring the break back and the split would follow at once.
bool TMainScreen::eventFilter(QObject* watched, QEvent* event) {
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

// Every change of the field, whatever made it: one reading of the whole code.
void TMainScreen::meZendricChange() {
  if (SplittingLines) return;  // our own line edits below
  SplittingLines = true;
  SplitLines();
  SplittingLines = false;

  const QByteArray code = CodeTextOfField(meZendric->document()->toRawText()).toUtf8();
  auto next = std::make_shared<const ParseResult>(
      ParseCode(std::string_view(code.constData(), static_cast<std::size_t>(code.size()))));
  ++parseCount;

  // Settle the scroll box's new height first, so the column wraps for the room it gets;
  // the list and the column still show the last reading while it does.
  lbErrors->setVisible(next->MessageCount() > 0);
  layout()->activate();
  reading = std::move(next);
  errorMarks->Show(*reading);
  lbErrors->SetReading(reading);
  FillCodeList();
}

// A line break inside a line (pasted text may hold one) becomes a real line of the field.
// Each line's text is read once and cut at every break in it: reading the rest of the
// line again after each cut would make a paste of many breaks take quadratic time.
void TMainScreen::SplitLines() {
  QTextDocument* document = meZendric->document();
  QTextCursor cursor(document);
  bool editing = false;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    const QString text = block.text();
    const int start = block.position();
    bool cut = false;
    for (qsizetype at = 0; at < text.size(); ++at) {
      if (!IsHardLineBreak(text.at(at))) continue;
      if (!editing) {
        cursor.joinPreviousEditBlock();  // one undo step with the change that brought it
        editing = true;
      }
      // One character becomes one line break: positions further on stay as they were.
      // (Selecting it by position, not by deleteChar, which would look for the next
      // character boundary in the whole line every time.)
      cursor.setPosition(start + static_cast<int>(at));
      cursor.setPosition(start + static_cast<int>(at) + 1, QTextCursor::KeepAnchor);
      cursor.insertBlock();
      cut = true;
    }
    if (cut) block = document->findBlock(start + static_cast<int>(text.size()));  // the last piece
  }
  if (editing) cursor.endEditBlock();
}

void TMainScreen::lbErrorsClick() {
  const int row = lbErrors->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= reading->MessageCount()) return;
  const int offset =
      FieldOffsetForCodePosition(meZendric->document()->toRawText(), reading->MessagePosition(static_cast<std::size_t>(row)));
  QTextCursor caret = meZendric->textCursor();
  caret.setPosition(offset);
  meZendric->setTextCursor(caret);
  meZendric->setFocus();
}

void TMainScreen::btnAboutClick() {
  if (AboutDialog) AboutDialog->exec();
}

void TMainScreen::ClearCodeList() { resultColumn->Clear(); }

// One word-wrapped label per result line, an etched line between every two; labels of
// the last column are reused, and a long column has them only where the view is.
void TMainScreen::FillCodeList() { resultColumn->Fill(reading); }

}  // namespace zendric
