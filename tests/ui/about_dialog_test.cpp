// The About box, its pictures and its links, and the Read button working on the reader
// window behind the open box.
#include <QApplication>
#include <QClipboard>
#include <QEnterEvent>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>

#include "AboutDialogForm.h"
#include "Controls.h"
#include "MainScreenForm.h"
#include "ReadingLists.h"
#include "TextBreaking.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

QString Sample() { return QString::fromUtf8(SampleCode.data(), static_cast<qsizetype>(SampleCode.size())); }

bool IsDarkRed(QColor c) { return c.alpha() > 200 && c.red() > 100 && c.red() < 200 && c.green() < 40 && c.blue() < 40; }
bool IsWhite(QColor c) { return c.alpha() > 200 && c.red() > 240 && c.green() > 240 && c.blue() > 240; }
bool IsYellow(QColor c) { return c.alpha() > 200 && c.red() > 200 && c.green() > 180 && c.blue() < 80; }
bool IsBlack(QColor c) { return c.alpha() > 200 && c.red() < 50 && c.green() < 50 && c.blue() < 50; }

int Count(const QImage& image, bool (*kind)(QColor)) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += kind(image.pixelColor(x, y));
  return n;
}

void SendEnter(QWidget* w) {
  QEnterEvent enter(QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
  QApplication::sendEvent(w, &enter);
}
void SendLeave(QWidget* w) {
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(w, &leave);
}

}  // namespace

class AboutDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> reader;
  std::unique_ptr<ReaderControls> readerUi;
  std::unique_ptr<AboutControls> aboutUi;
  TAboutDialog* about = nullptr;  // owned by the reader window
  QStringList opened;

 private slots:
  void init() {
    reader = std::make_unique<TMainScreen>();
    readerUi = std::make_unique<ReaderControls>(*reader);
    about = new TAboutDialog(reader.get());
    aboutUi = std::make_unique<AboutControls>(*about);
    reader->SetAboutDialog(about);
    opened.clear();
    for (THyperLink* link : {aboutUi->HyperLink1, aboutUi->HyperLink2})
      link->SetOpener([this](const QString& url) {
        opened << url;
        return true;
      });
    reader->show();
    QVERIFY(QTest::qWaitForWindowExposed(reader.get()));
  }
  void cleanup() { reader.reset(); }

  void isAFixedBoxWithEveryControl() {
    QCOMPARE(about->windowTitle(), u"About"_s);
    QCOMPARE(about->size(), QSize(379, 245));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    QVERIFY(about->isHidden());
    QCOMPARE(aboutUi->Label1->text(), u"Zendric 2 reader"_s);
    QCOMPARE(aboutUi->Label1->font().pixelSize(), 19);
    QCOMPARE(aboutUi->Label4->text(), u"V1.0"_s);
    QVERIFY(aboutUi->Label2->text().endsWith(u" -"_s));
    QCOMPARE(aboutUi->HyperLink2->text(), u"Zendric 2 homepage"_s);
    QCOMPARE(aboutUi->HyperLink1->URL(), u"mailto:"_s + aboutUi->HyperLink1->text());
    for (const QString& url : {aboutUi->HyperLink1->URL(), aboutUi->HyperLink2->URL()})
      QVERIFY2(url.contains(u"example.org"_s) || url.contains(u"example.com"_s), qPrintable(url));
    QCOMPARE(aboutUi->btnRead->text(), u"&Read"_s);
    QCOMPARE(aboutUi->OKButton->text(), u"&Close"_s);
    QVERIFY(aboutUi->OKButton->isDefault());
    QVERIFY(aboutUi->meAbout->isReadOnly());
    QCOMPARE(aboutUi->meAbout->toPlainText(),
             u"This little program can read the Zendric 2.4 and produce something that's \n"
             "more easy to read ];-) It will also produce a list of errors in the code. (if any)\n"
             "If you have any comments, praises etc. feel free to mail them to me."_s);
    // The sample as shown is the sample, broken for display at blanks only.
    QString shown = aboutUi->lbZendric->text();
    QCOMPARE(shown.replace(u'\n', u' '), Sample());
  }

  // Nothing overlaps and nothing sticks out of the box (the emblem lies in its frame).
  void controlsFitWithoutOverlapping() {
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    const QList<QWidget*> controls = {aboutUi->bvIcon, aboutUi->Label1,  aboutUi->Label4,    aboutUi->Label2,
                                      aboutUi->HyperLink1, aboutUi->Label3, aboutUi->HyperLink2, aboutUi->Label5,
                                      aboutUi->lbZendric,  aboutUi->btnRead, aboutUi->meAbout,   aboutUi->OKButton};
    for (QWidget* c : controls) {
      QVERIFY2(about->rect().contains(c->geometry()), qPrintable(c->objectName() + c->metaObject()->className()));
      for (QWidget* d : controls)
        if (c != d)
          QVERIFY2(!c->geometry().intersects(d->geometry()),
                   qPrintable(QStringLiteral("%1 and %2").arg(c->geometry().y()).arg(d->geometry().y())));
    }
    QVERIFY(aboutUi->bvIcon->geometry().contains(aboutUi->imIcon->geometry()));
    // All of the description can be read: it fits, or the field scrolls to the rest.
    QApplication::processEvents();
    QTextEdit* text = aboutUi->meAbout;
    QVERIFY(text->document()->size().height() <= text->viewport()->height() || text->verticalScrollBar()->isVisible());
    // Every text fits its label: nothing is cut off.
    for (QLabel* l : {aboutUi->Label1, aboutUi->Label4, aboutUi->Label2, static_cast<QLabel*>(aboutUi->HyperLink1), aboutUi->Label3,
                      static_cast<QLabel*>(aboutUi->HyperLink2), aboutUi->Label5, aboutUi->lbZendric})
      QVERIFY2(l->width() >= l->sizeHint().width() && l->height() >= l->sizeHint().height(), qPrintable(l->text()));
    about->reject();
  }

  // Where the design puts each control: x and width exactly, y at the designed place or,
  // where a taller line above pushes it down, below that line and in the same order.
  void placesAsDesigned_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("width");  // 0: sized to its text
    QTest::addColumn<QString>("below");  // the control it must stand under, if any
    QTest::newRow("bvIcon") << u"bvIcon"_s << 15 << 8 << 66 << u""_s;
    QTest::newRow("imIcon") << u"imIcon"_s << 16 << 9 << 64 << u""_s;
    QTest::newRow("Label1") << u"Label1"_s << 104 << 0 << 0 << u""_s;
    QTest::newRow("Label2") << u"Label2"_s << 104 << 32 << 0 << u""_s;
    QTest::newRow("Label3") << u"Label3"_s << 104 << 56 << 0 << u""_s;
    QTest::newRow("HyperLink2") << u"HyperLink2"_s << 104 << 72 << 0 << u""_s;
    QTest::newRow("Label5") << u"Label5"_s << 0 << 88 << 0 << u""_s;
    QTest::newRow("lbZendric") << u"lbZendric"_s << 0 << 104 << 0 << u"Label5"_s;
    QTest::newRow("btnRead") << u"btnRead"_s << 0 << 120 << 75 << u"lbZendric"_s;
    QTest::newRow("meAbout") << u"meAbout"_s << 0 << 144 << 377 << u"btnRead"_s;
    QTest::newRow("OKButton") << u"OKButton"_s << 152 << 219 << 75 << u"meAbout"_s;
  }
  void placesAsDesigned() {
    QFETCH(QString, control);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, width);
    QFETCH(QString, below);
    auto* c = about->findChild<QWidget*>(control);
    QVERIFY(c);
    QCOMPARE(c->x(), x);
    if (width) QCOMPARE(c->width(), width);
    if (below.isEmpty()) QCOMPARE(c->y(), y);
    else {
      QVERIFY2(c->y() >= y, qPrintable(QString::number(c->y())));
      QVERIFY(c->y() > about->findChild<QWidget*>(below)->geometry().bottom());
    }
    if (control == u"lbZendric"_s) QVERIFY(c->width() <= 368);
  }

  void emblemAndGlyphAreDrawn() {
    const QPixmap emblem = aboutUi->imIcon->pixmap();
    QCOMPARE(emblem.size(), QSize(64, 64));
    const QImage e = emblem.toImage();
    QCOMPARE(e.pixelColor(0, 0).alpha(), 0);  // transparent background
    QVERIFY(Count(e, IsDarkRed) > 300);       // the dragon
    QVERIFY(Count(e, IsWhite) > 300);         // the plate
    QVERIFY(Count(e, IsBlack) > 30);          // its letters and rim
    // The dragon stands above the plate: the plate's first wide white row.
    int lowestRed = 0, plateTop = 64;
    for (int y = 0; y < 64; ++y) {
      int white = 0;
      for (int x = 0; x < 64; ++x) {
        if (IsDarkRed(e.pixelColor(x, y))) lowestRed = std::max(lowestRed, y);
        white += IsWhite(e.pixelColor(x, y));
      }
      if (white >= 20) plateTop = std::min(plateTop, y);
    }
    QVERIFY(plateTop >= 40);
    QVERIFY(lowestRed <= plateTop + 1);

    const QImage glyph = readerUi->btnAbout->icon().pixmap(QSize(16, 16)).toImage();
    QCOMPARE(glyph.size(), QSize(16, 16));
    QCOMPARE(glyph.pixelColor(0, 0).alpha(), 0);
    QVERIFY(Count(glyph, IsYellow) > 8);
    QVERIFY(Count(glyph, IsBlack) > 8);
  }

  // The sample must come through without one message once every reader exists.
  void sampleIsOneCleanLine() {
    QVERIFY(SampleCode.starts_with("ZN2."));
    QVERIFY(SampleCode.find('\n') == std::string_view::npos && SampleCode.find('\r') == std::string_view::npos);
    QVERIFY(SampleCode.size() >= 150 && SampleCode.size() <= 300);
    const ParseResult r = ParseCode(SampleCode);
    QCOMPARE(Messages(r), std::vector<std::string>{});
    QVERIFY((r.LineCount() > 0));
  }

  void breaksOnlyAtBlanks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::newRow("the sample") << Sample() << 371;
    QTest::newRow("narrow") << Sample() << 120;
    QTest::newRow("wide enough") << u"ZN2.Dw Gm"_s << 400;
    QTest::newRow("one long run") << u"ZN2.Dw|/|/|/|/|/|/|/|/|/|/|/|/|/|/|/|/|/|/|/|/ Gm"_s << 40;
    QTest::newRow("no blanks") << u"ZN2.Dw"_s << 5;
  }
  void breaksOnlyAtBlanks() {
    QFETCH(QString, text);
    QFETCH(int, width);
    const QFontMetrics metrics(aboutUi->lbZendric->font());
    const QString broken = BreakAtBlanks(text, metrics, width);
    QCOMPARE(broken.size(), text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
      if (broken[i] != text[i]) QVERIFY(broken[i] == u'\n' && text[i] == u' ');
    const QStringList lines = broken.split(u'\n');
    for (const QString& line : lines)
      QVERIFY2(metrics.horizontalAdvance(line) <= width || !line.contains(u' '), qPrintable(line));
    // Greedy: the next line's first word would not have fitted on the line before.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
      QVERIFY(metrics.horizontalAdvance(lines[i] + u' ' + lines[i + 1].section(u' ', 0, 0)) > width);
  }

  // Read replaces what was typed, and the window behind the open box shows it at once.
  void readLoadsTheSampleBehindTheOpenBox() {
    readerUi->meZendric->setPlainText(u"ZN2. X\nY"_s);
    QVERIFY(readerUi->lbErrors->isVisible());
    const int parses = reader->ParseCount();
    bool modal = false, stayedOpen = false;
    QString field;
    int blocks = 0, parsesAfter = 0;
    // Only looks inside the box and closes it: a failed check there would leave it open.
    QTimer::singleShot(0, this, [&] {
      modal = about->isVisible() && about->isModal();
      QTest::mouseClick(aboutUi->btnRead, Qt::LeftButton);
      stayedOpen = about->isVisible();
      field = readerUi->meZendric->toPlainText();
      blocks = readerUi->meZendric->document()->blockCount();
      parsesAfter = reader->ParseCount();
      QTest::mouseClick(aboutUi->OKButton, Qt::LeftButton);
    });
    QTest::mouseClick(readerUi->btnAbout, Qt::LeftButton);  // returns when the box is closed
    QVERIFY(modal);
    QVERIFY(stayedOpen);
    QCOMPARE(field, Sample());
    QCOMPARE(blocks, 1);
    QCOMPARE(parsesAfter, parses + 1);  // one edit, one reading
    const ParseResult want = ParseCode(SampleCode);
    QCOMPARE(Lines(reader->Reading()), Lines(want));
    QVERIFY(readerUi->lbErrors->isHidden());
    QCOMPARE(reader->CodeListControls().size(), want.LineCount() == 0 ? 0 : want.LineCount() * 2 - 1);
    QVERIFY(about->isHidden());
    QCOMPARE(about->result(), int(QDialog::Accepted));
  }

  // Typed, F1, Alt+R, Escape, Ctrl+Z: the field holds again exactly what was typed, and
  // redo brings the sample back.
  void undoAfterReadGivesBackTheTypedCode_data() {
    QTest::addColumn<QString>("typed");  // '\n' typed as Enter
    QTest::newRow("a code of one's own") << u"ZN2.Dw Gm W+ my own"_s;
    QTest::newRow("over two lines") << u"ZN2.Dw Gm\nW+ X"_s;
    QTest::newRow("nothing typed") << u""_s;
    QTest::newRow("blanks around") << u"  ZN2.Dw  Gm  "_s;
    QTest::newRow("the sample itself") << Sample();
  }
  void undoAfterReadGivesBackTheTypedCode() {
    QFETCH(QString, typed);
    reader->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(reader.get()));
    QPlainTextEdit* field = readerUi->meZendric;
    field->setFocus();
    for (const QString& line : typed.split(u'\n')) {
      if (line.data() != typed.data() && field->document()->characterCount() > 1) QTest::keyClick(field, Qt::Key_Return);
      QTest::keyClicks(field, line);
    }
    const QString before = field->toPlainText();
    QCOMPARE(before, typed);
    const int parses = reader->ParseCount();
    bool read = false;
    QTimer::singleShot(0, this, [&] {
      if (!QTest::qWaitFor([&] { return about->isVisible(); }) || !QTest::qWaitForWindowExposed(about)) return;
      about->activateWindow();
      if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == about; })) return;
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
      // The button shows its press first.
      read = QTest::qWaitFor([&] { return reader->ParseCount() > parses; }) && field->toPlainText() == Sample();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      if (about->isVisible()) about->reject();
    });
    QTest::keyClick(field, Qt::Key_F1);
    QVERIFY(read);
    QCOMPARE(reader->ParseCount(), parses + 1);
    QCOMPARE(reader->focusWidget(), field);  // where the keys go when the window is active again
    reader->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(reader.get()));
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(field->toPlainText(), before);
    QCOMPARE(Lines(reader->Reading()), Lines(ParseCode(QString(before).remove(u'\n').toStdString())));
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(field->toPlainText(), Sample());
  }

  void enterClosesTheBox() {
    QTimer::singleShot(0, this, [&] { QTest::keyClick(about, Qt::Key_Return); });
    QCOMPARE(about->exec(), int(QDialog::Accepted));
  }

  void linkColours() {
    THyperLink* link = aboutUi->HyperLink2;
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QVERIFY(link->font().underline());
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link->Colour(), QColor(0, 0, 255));
    SendEnter(link);
    QCOMPARE(link->Colour(), QColor(255, 0, 0));
    SendLeave(link);
    QCOMPARE(link->Colour(), QColor(0, 0, 255));

    const QPoint inside(link->width() / 2, link->height() / 2);
    SendEnter(link);
    QTest::mousePress(link, Qt::LeftButton, {}, inside);
    QVERIFY(link->Pressed());
    QCOMPARE(link->Colour(), QColor(128, 0, 0));
    QTest::mouseMove(link, QPoint(link->width() + 10, inside.y()));
    QCOMPARE(link->Colour(), QColor(0, 0, 255));
    QTest::mouseMove(link, inside);
    QCOMPARE(link->Colour(), QColor(128, 0, 0));
    QTest::mouseRelease(link, Qt::LeftButton, {}, inside);
    QVERIFY(!link->Pressed());
    QCOMPARE(link->Colour(), QColor(0, 0, 255));  // blue after the click, pointer still over it
    QCOMPARE(opened, QStringList{link->URL()});
    SendLeave(link);
    SendEnter(link);
    QCOMPARE(link->Colour(), QColor(255, 0, 0));
    // Coming in with the button held down shows the pressed colour.
    QTest::mousePress(link, Qt::LeftButton, {}, inside);
    SendLeave(link);
    SendEnter(link);
    QCOMPARE(link->Colour(), QColor(128, 0, 0));
    QTest::mouseRelease(link, Qt::LeftButton, {}, inside);
    about->reject();
  }

  void releaseOpensOnlyStrictlyInside_data() {
    QTest::addColumn<int>("dx");  // from the left (>= 0) or, below 0, from the right edge
    QTest::addColumn<int>("dy");
    QTest::addColumn<bool>("opens");
    QTest::newRow("middle") << 5 << 5 << true;
    QTest::newRow("first inner pixel") << 1 << 1 << true;
    QTest::newRow("last inner pixel") << -1 << -1 << true;
    QTest::newRow("left column") << 0 << 5 << false;
    QTest::newRow("top row") << 5 << 0 << false;
    QTest::newRow("right edge") << -1000 << 5 << false;
    QTest::newRow("bottom edge") << 5 << -1000 << false;
    QTest::newRow("outside to the left") << -2000 << 5 << false;
  }
  void releaseOpensOnlyStrictlyInside() {
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(bool, opens);
    THyperLink* link = aboutUi->HyperLink1;
    link->resize(81, 13);
    auto coordinate = [](int d, int size) {
      if (d == -1000) return size;  // just past the last pixel
      if (d == -2000) return -3;
      return d >= 0 ? d : size + d;
    };
    const QPoint at(coordinate(dx, link->width()), coordinate(dy, link->height()));
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(link, Qt::LeftButton, {}, at);
    QCOMPARE(opened.size(), opens ? 1 : 0);
    QVERIFY(!link->Pressed());
    QCOMPARE(link->Colour(), QColor(0, 0, 255));
  }

  void otherButtonsDoNotPress() {
    THyperLink* link = aboutUi->HyperLink1;
    QTest::mousePress(link, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(!link->Pressed());
    QTest::mouseRelease(link, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(opened.isEmpty());
  }

  // An address the desktop cannot open is shown in a message and put on the clipboard;
  // one it opens leaves the clipboard alone.
  void linkThatCannotBeOpened_data() {
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("url");
    QTest::newRow("opened") << true << u"https://zendric.example.org/"_s;
    QTest::newRow("not opened") << false << u"https://zendric.example.org/"_s;
    QTest::newRow("not opened, a mail address") << false << u"mailto:reader-team@example.org"_s;
    QTest::newRow("not opened, long and with marks") << false << u"https://example.org/"_s + QString(200, u'a') + u"?a=<b>&c"_s;
  }
  void linkThatCannotBeOpened() {
    QFETCH(bool, opens);
    QFETCH(QString, url);
    THyperLink* link = aboutUi->HyperLink2;
    link->SetURL(url);
    link->SetOpener([&](const QString& asked) {
      opened << asked;
      return opens;
    });
    QApplication::clipboard()->setText(u"(untouched)"_s);
    QString shown;
    QTimer::singleShot(0, this, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        shown = box->text();
        box->accept();
      }
    });
    link->Open();
    QCOMPARE(opened, QStringList{url});
    QCOMPARE(shown.isEmpty(), opens);
    if (!opens) QVERIFY2(shown.endsWith(u"\n"_s + url), qPrintable(shown));
    QCOMPARE(QApplication::clipboard()->text(), opens ? u"(untouched)"_s : url);
  }

  // Any length goes through intact.
  void longAddressesStayWhole() {
    THyperLink* link = aboutUi->HyperLink2;
    const QString url = u"https://zendric.example.org/"_s + QString(300, u'a') + u"?code=ZN2.Dw%20Gm"_s;
    link->SetURL(url);
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(opened, QStringList{url});
  }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
