#include "AboutDialogForm.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

#include "MainScreenForm.h"
#include "TextBreaking.h"

namespace zendric {
namespace {

constexpr int ClientWidth = 379;
constexpr int ClientHeight = 245;
constexpr int SampleWidth = 368;

QString SampleText() { return QString::fromUtf8(SampleCode.data(), static_cast<qsizetype>(SampleCode.size())); }

template <class Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

QLabel* PlainLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = Named(new QLabel(text, parent), name);
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

  CreateEmblem();
  CreateCredits();
  CreateSample();
  CreateDescription();
  CreateButtons();
  DescribeControls();
  PlaceControls();
}

void TAboutDialog::CreateEmblem() {
  bvIcon = Named(new QFrame(this), "bvIcon");
  bvIcon->setFrameStyle(QFrame::Panel | QFrame::Raised);
  imIcon = Named(new QLabel(this), "imIcon");
  imIcon->setPixmap(QIcon(QStringLiteral(":/pictures/emblem.svg")).pixmap(QSize(64, 64)));
}

void TAboutDialog::CreateCredits() {
  Label1 = PlainLabel(this, "Label1", QStringLiteral("Zendric 2 reader"));
  QFont title = Label1->font();
  title.setPixelSize(19);
  Label1->setFont(title);
  Label4 = PlainLabel(this, "Label4", QStringLiteral("V1.0"));

  Label2 = PlainLabel(this, "Label2", QStringLiteral("By the reader team -"));
  HyperLink1 = Named(new THyperLink(this), "HyperLink1");
  HyperLink1->setText(QStringLiteral("reader-team@example.org"));
  HyperLink1->SetURL(QStringLiteral("mailto:reader-team@example.org"));
  Label3 = PlainLabel(this, "Label3", QStringLiteral("Freeware © 2026"));
  HyperLink2 = Named(new THyperLink(this), "HyperLink2");
  HyperLink2->setText(QStringLiteral("Zendric 2 homepage"));
  HyperLink2->SetURL(QStringLiteral("https://zendric.example.org/"));
}

void TAboutDialog::CreateSample() {
  Label5 = PlainLabel(this, "Label5", QStringLiteral("My own Zendric 2 code:"));
  lbZendric = PlainLabel(this, "lbZendric", SampleText());
}

void TAboutDialog::CreateDescription() {
  // Lays out all of its text at once, so its scroll bar knows the whole length from the start.
  meAbout = Named(new QTextEdit(this), "meAbout");
  meAbout->setReadOnly(true);
  meAbout->setAcceptRichText(false);
  meAbout->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  meAbout->setFocusPolicy(Qt::ClickFocus);
  meAbout->document()->setDocumentMargin(2);
  meAbout->setPlainText(
      QStringLiteral("This little program can read the Zendric 2.4 and produce something that's \n"
                     "more easy to read ];-) It will also produce a list of errors in the code. (if any)\n"
                     "If you have any comments, praises etc. feel free to mail them to me."));
}

// Close first, Read next, then the two links.
void TAboutDialog::CreateButtons() {
  btnRead = Named(new QPushButton(QStringLiteral("&Read"), this), "btnRead");
  btnRead->setAutoDefault(false);
  OKButton = Named(new QPushButton(QStringLiteral("&Close"), this), "OKButton");
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnRead, &QPushButton::clicked, this, &TAboutDialog::btnReadClick);

  setTabOrder(OKButton, btnRead);
  setTabOrder(btnRead, HyperLink1);
  setTabOrder(HyperLink1, HyperLink2);
  OKButton->setFocus();
}

// What a screen reader says for each control; labels are announced by their own text,
// so only what they are for is added.
void TAboutDialog::DescribeControls() {
  const struct {
    QWidget* control;
    QString name;
    QString description;
  } descriptions[] = {
      {this, QStringLiteral("About"), QStringLiteral("About the Zendric 2 reader")},
      {bvIcon, QStringLiteral("Emblem frame"), QStringLiteral("The frame around the emblem")},
      {imIcon, QStringLiteral("Emblem"), QStringLiteral("A dark-red winged dragon above a white plate marked ZN2")},
      {Label1, {}, QStringLiteral("The program's name")},
      {Label4, {}, QStringLiteral("The program's version")},
      {Label2, {}, QStringLiteral("Who wrote the program")},
      {HyperLink1, {}, QStringLiteral("Link: writes a mail to the author")},
      {Label3, {}, QStringLiteral("Licence and year")},
      {HyperLink2, {}, QStringLiteral("Link: opens the home page of the Zendric 2 code")},
      {Label5, {}, QStringLiteral("Introduces the sample code below")},
      {lbZendric, {}, QStringLiteral("The author's own Zendric 2 code, which Read loads into the reader window")},
      {btnRead, {}, QStringLiteral("Loads the sample code into the reader window")},
      {meAbout, QStringLiteral("About this program"), QStringLiteral("What the program does")},
      {OKButton, {}, QStringLiteral("Closes this box (Enter or Escape)")},
  };
  for (const auto& d : descriptions) {
    if (!d.name.isEmpty()) d.control->setAccessibleName(d.name);
    d.control->setAccessibleDescription(d.description);
  }
}

// Every control stands at its designed place while the real fonts leave room for it.
// The sample needs three lines where the design gives it one, so the Read button below
// it and the text field below that move down by as much; the field keeps as many whole
// lines as fit above Close.
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
  placeAutoSized(Label5, 0, 88);

  lbZendric->setText(BreakAtBlanks(SampleText(), lbZendric->fontMetrics(), SampleWidth));
  placeAutoSized(lbZendric, 0, std::max(104, Label5->geometry().bottom() + 3));

  const int buttonHeight = std::max(17, btnRead->sizeHint().height());
  btnRead->setGeometry(0, std::max(120, lbZendric->geometry().bottom() + 3), 75, buttonHeight);

  const int okHeight = std::max(25, OKButton->sizeHint().height());
  const int okTop = ClientHeight - okHeight - 1;
  OKButton->setGeometry(152, okTop, 75, okHeight);
  // As many whole lines of text as fit above the Close button; the field scrolls to the rest.
  const int aboutTop = std::max(144, btnRead->geometry().bottom() + 5);
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

// The sample replaces the code as one edit: one undo brings back what the user had.
void TAboutDialog::btnReadClick() { Reader->ReplaceCode(SampleText()); }

}  // namespace zendric
