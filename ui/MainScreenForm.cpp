#include "MainScreenForm.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "AboutDialogForm.h"
#include "Accessibility.h"
#include "CaretMapping.h"
#include "ErrorMarks.h"
#include "ReadingText.h"

namespace zendric {
namespace {

// A result line marks its own line breaks with carriage returns; a label breaks at '\n'.
QString DisplayText(const std::string& resultLine) {
  QString text = QString::fromStdString(resultLine);
  text.replace(u'\r', u'\n');
  return text;
}

}  // namespace

TMainScreen::TMainScreen(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Zendric 2 reader"));
  resize(558, 315);

  pnTop = new QWidget(this);
  pnTop->setFixedHeight(57);
  meZendric = new QPlainTextEdit(pnTop);
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

  lbErrors = new QListWidget(this);
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
  connect(lbErrors, &QListWidget::itemClicked, this, &TMainScreen::lbErrorsClick);
  connect(lbErrors, &QListWidget::itemActivated, this, &TMainScreen::lbErrorsClick);
  connect(btnAbout, &QToolButton::clicked, this, &TMainScreen::btnAboutClick);
  errorMarks = new TErrorMarks(meZendric);
  AddCopyReading(sbCodeList, [this]() -> const ParseResult& { return reading; });
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
  reading = ParseCode(std::string_view(code.constData(), static_cast<std::size_t>(code.size())));
  ++parseCount;
  errorMarks->Show(reading);

  lbErrors->clear();
  for (const std::string& message : reading.ErrorMessages) lbErrors->addItem(QString::fromStdString(message));
  lbErrors->setVisible(!reading.ErrorMessages.empty());
  // Settle the scroll box's new height first, so the column wraps for the room it gets.
  layout()->activate();
  FillCodeList();
}

// A line break inside a line (pasted text may hold one) becomes a real line of the field.
void TMainScreen::SplitLines() {
  QTextDocument* document = meZendric->document();
  QTextCursor cursor(document);
  bool editing = false;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    const QString text = block.text();
    qsizetype at = 0;
    while (at < text.size() && !IsHardLineBreak(text.at(at))) ++at;
    if (at == text.size()) continue;
    if (!editing) {
      cursor.joinPreviousEditBlock();  // one undo step with the change that brought it
      editing = true;
    }
    cursor.setPosition(block.position() + static_cast<int>(at));
    cursor.deleteChar();
    cursor.insertBlock();
    // The rest of the line is now the next block, examined on the next turn.
  }
  if (editing) cursor.endEditBlock();
}

void TMainScreen::lbErrorsClick() {
  const int row = lbErrors->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= reading.ErrorPositions.size()) return;
  const int offset =
      FieldOffsetForCodePosition(meZendric->document()->toRawText(), reading.ErrorPositions[static_cast<std::size_t>(row)]);
  QTextCursor caret = meZendric->textCursor();
  caret.setPosition(offset);
  meZendric->setTextCursor(caret);
  meZendric->setFocus();
}

void TMainScreen::btnAboutClick() {
  if (AboutDialog) AboutDialog->exec();
}

void TMainScreen::ClearCodeList() {
  for (QWidget* control : codeListControls) delete control;
  codeListControls.clear();
}

// One word-wrapped label per result line, an etched line between every two.
void TMainScreen::FillCodeList() {
  ClearCodeList();
  for (std::size_t i = 0; i < reading.ResultLines.size(); ++i) {
    if (i > 0) {
      auto* separator = new QFrame(Panel1);
      separator->setFrameShape(QFrame::HLine);
      separator->setFrameShadow(QFrame::Sunken);
      codeListControls.push_back(separator);
    }
    auto* label = new QLabel(Panel1);
    label->setTextFormat(Qt::PlainText);  // "&" and "<b>" stay as typed
    label->setWordWrap(true);
    label->setContentsMargins(3, 0, 3, 0);  // keeps the text off the box's frame
    label->setText(DisplayText(reading.ResultLines[i]));
    label->ensurePolished();
    codeListControls.push_back(label);
  }

  const QSize room = sbCodeList->maximumViewportSize();
  int width = room.width();
  int total = PlaceCodeList(width);
  if (total > room.height()) {
    // The scroll bar will take its share of the width: wrap for what is left.
    width = std::max(0, width - sbCodeList->verticalScrollBar()->sizeHint().width());
    total = PlaceCodeList(width);
  }
  Panel1->resize(width, total);
  for (QWidget* control : codeListControls) control->show();
}

// Stacks the column at `width`; returns its height.
int TMainScreen::PlaceCodeList(int width) {
  int top = 0;
  for (QWidget* control : codeListControls) {
    if (qobject_cast<QLabel*>(control)) {
      const int height = control->heightForWidth(width);
      control->setGeometry(0, top, width, height);
      top += height;
    } else {
      auto* separator = static_cast<QFrame*>(control);
      separator->setGeometry(0, top, width, SeparatorHeight);
      separator->setFrameRect(QRect(0, 0, width, 2));  // the etched line along the top edge
      top += SeparatorHeight;
    }
  }
  return top;
}

}  // namespace zendric
