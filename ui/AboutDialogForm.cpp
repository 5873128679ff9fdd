#include "AboutDialogForm.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

#include "Accessibility.h"
#include "MainScreenForm.h"
#include "TextBreaking.h"

namespace zendric {
namespace {

constexpr int ClientWidth = 379;
constexpr int ClientHeight = 245;
constexpr int SampleWidth = 371;

QString SampleText() { return QString::fromUtf8(SampleCode.data(), static_cast<qsizetype>(SampleCode.size())); }

QLabel* PlainLabel(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

TAboutDialog::TAboutDialog(TMainScreen* reader)
    : QDialog(reader, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Reader(reader) {
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(ClientWidth, ClientHeight);
  setModal(true);
  // The places below are made for a font 11 pixels high.
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  bvIcon = new QFrame(this);
  bvIcon->setFrameStyle(QFrame::Panel | QFrame::Raised);
  imIcon = new QLabel(this);
  imIcon->setPixmap(QIcon(QStringLiteral(":/pictures/emblem.svg")).pixmap(QSize(64, 64)));

  Label1 = PlainLabel(this, QStringLiteral("Zendric 2 reader"));
  QFont title = Label1->font();
  title.setPixelSize(19);
  Label1->setFont(title);
  Label4 = PlainLabel(this, QStringLiteral("V1.0"));

  Label2 = PlainLabel(this, QStringLiteral("By the reader team -"));
  HyperLink1 = new THyperLink(this);
  HyperLink1->setText(QStringLiteral("reader-team@example.org"));
  HyperLink1->SetURL(QStringLiteral("mailto:reader-team@example.org"));
  Label3 = PlainLabel(this, QStringLiteral("Freeware © 2026"));
  HyperLink2 = new THyperLink(this);
  HyperLink2->setText(QStringLiteral("Zendric 2 homepage"));
  HyperLink2->SetURL(QStringLiteral("https://zendric.example.org/"));

  Label5 = PlainLabel(this, QStringLiteral("My own Zendric 2 code:"));
  lbZendric = PlainLabel(this, SampleText());
  btnRead = new QPushButton(QStringLiteral("&Read"), this);
  btnRead->setAutoDefault(false);

  // Lays out all of its text at once, so its scroll bar knows the whole length from the start.
  meAbout = new QTextEdit(this);
  meAbout->setReadOnly(true);
  meAbout->setAcceptRichText(false);
  meAbout->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  meAbout->setFocusPolicy(Qt::ClickFocus);
  meAbout->document()->setDocumentMargin(2);
  meAbout->setPlainText(
      QStringLiteral("This little program can read the Zendric 2.4 and produce something that's \n"
                     "more easy to read ];-) It will also produce a list of errors in the code. (if any)\n"
                     "If you have any comments, praises etc. feel free to mail them to me."));

  OKButton = new QPushButton(QStringLiteral("&Close"), this);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnRead, &QPushButton::clicked, this, &TAboutDialog::btnReadClick);

  setTabOrder(OKButton, btnRead);
  OKButton->setFocus();
  PlaceControls();
  MakeAboutAccessible(*this);
}

// Every control stands at its designed place while the real fonts leave room for it.
// The sample needs three lines where the design gives it one, so the Read button moves
// up beside its caption and the text field below keeps what is left above Close.
void TAboutDialog::PlaceControls() {
  auto placeAutoSized = [](QLabel* label, int x, int y) {
    label->adjustSize();
    label->move(x, y);
  };
  bvIcon->setGeometry(15, 8, 66, 66);
  imIcon->setGeometry(16, 9, 64, 64);
  placeAutoSized(Label1, 104, 0);
  placeAutoSized(Label4, std::max(296, Label1->geometry().right() + 8), 8);
  placeAutoSized(Label2, 104, 32);
  placeAutoSized(HyperLink1, std::max(164, Label2->geometry().right() + 5), 32);
  placeAutoSized(Label3, 104, 56);
  placeAutoSized(HyperLink2, 104, 72);

  const int buttonHeight = std::max(17, btnRead->sizeHint().height());
  btnRead->setGeometry(SampleWidth - 75, 83, 75, buttonHeight);
  Label5->adjustSize();
  Label5->move(0, btnRead->geometry().center().y() - Label5->height() / 2);

  lbZendric->setText(BreakAtBlanks(SampleText(), lbZendric->fontMetrics(), SampleWidth));
  lbZendric->adjustSize();
  lbZendric->move(0, std::max(104, btnRead->geometry().bottom() + 2));

  const int okHeight = std::max(25, OKButton->sizeHint().height());
  const int okTop = ClientHeight - okHeight - 1;
  OKButton->setGeometry(152, okTop, 75, okHeight);
  // As many whole lines of text as fit above the Close button; the field scrolls to the rest.
  const int aboutTop = lbZendric->geometry().bottom() + 4;
  const int chrome = 2 * (meAbout->frameWidth() + static_cast<int>(meAbout->document()->documentMargin()));
  const int line = meAbout->fontMetrics().lineSpacing();
  const int lines = std::max(2, (okTop - 5 - aboutTop - chrome) / line);
  meAbout->setGeometry(0, aboutTop, 377, lines * line + chrome);
}

void TAboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen())
    move(where->availableGeometry().center() - rect().center());
}

// The sample goes into the reader window as two ordinary changes: cleared, then appended.
void TAboutDialog::btnReadClick() {
  Reader->meZendric->clear();
  Reader->meZendric->appendPlainText(SampleText());
}

}  // namespace zendric
