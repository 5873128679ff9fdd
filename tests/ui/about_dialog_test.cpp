// The About box, its pictures and its links, and the Read button working on the reader
// window behind the open box.
#include <QApplication>
#include <QEnterEvent>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>

#include "AboutDialogForm.h"
#include "MainScreenForm.h"
#include "ReadingLists.h"
#include "TextBreaking.h"

using namespace zendric;
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
  TAboutDialog* about = nullptr;  // owned by the reader window
  QStringList opened;

 private slots:
  void init() {
    reader = std::make_unique<TMainScreen>();
    about = new TAboutDialog(reader.get());
    reader->SetAboutDialog(about);
    opened.clear();
    for (THyperLink* link : {about->HyperLink1, about->HyperLink2})
      link->SetOpener([this](const QString& url) { opened << url; });
    reader->show();
    QVERIFY(QTest::qWaitForWindowExposed(reader.get()));
  }
  void cleanup() { reader.reset(); }

  void isAFixedBoxWithEveryControl() {
    QCOMPARE(about->windowTitle(), u"About"_s);
    QCOMPARE(about->size(), QSize(379, 245));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    QVERIFY(about->isHidden());
    QCOMPARE(about->Label1->text(), u"Zendric 2 reader"_s);
    QCOMPARE(about->Label1->font().pixelSize(), 19);
    QCOMPARE(about->Label4->text(), u"V1.0"_s);
    QVERIFY(about->Label2->text().endsWith(u" -"_s));
    QCOMPARE(about->HyperLink2->text(), u"Zendric 2 homepage"_s);
    QCOMPARE(about->HyperLink1->URL(), u"mailto:"_s + about->HyperLink1->text());
    for (const QString& url : {about->HyperLink1->URL(), about->HyperLink2->URL()})
      QVERIFY2(url.contains(u"example.org"_s) || url.contains(u"example.com"_s), qPrintable(url));
    QCOMPARE(about->btnRead->text(), u"&Read"_s);
    QCOMPARE(about->OKButton->text(), u"&Close"_s);
    QVERIFY(about->OKButton->isDefault());
    QVERIFY(about->meAbout->isReadOnly());
    QCOMPARE(about->meAbout->toPlainText(),
             u"This little program can read the Zendric 2.4 and produce something that's \n"
             "more easy to read ];-) It will also produce a list of errors in the code. (if any)\n"
             "If you have any comments, praises etc. feel free to mail them to me."_s);
    // The sample as shown is the sample, broken for display at blanks only.
    QString shown = about->lbZendric->text();
    QCOMPARE(shown.replace(u'\n', u' '), Sample());
  }

  // Nothing overlaps and nothing sticks out of the box (the emblem lies in its frame).
  void controlsFitWithoutOverlapping() {
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    const QList<QWidget*> controls = {about->bvIcon, about->Label1,  about->Label4,    about->Label2,
                                      about->HyperLink1, about->Label3, about->HyperLink2, about->Label5,
                                      about->lbZendric,  about->btnRead, about->meAbout,   about->OKButton};
    for (QWidget* c : controls) {
      QVERIFY2(about->rect().contains(c->geometry()), qPrintable(c->objectName() + c->metaObject()->className()));
      for (QWidget* d : controls)
        if (c != d)
          QVERIFY2(!c->geometry().intersects(d->geometry()),
                   qPrintable(QStringLiteral("%1 and %2").arg(c->geometry().y()).arg(d->geometry().y())));
    }
    QVERIFY(about->bvIcon->geometry().contains(about->imIcon->geometry()));
    // All of the description can be read: it fits, or the field scrolls to the rest.
    QApplication::processEvents();
    QTextEdit* text = about->meAbout;
    QVERIFY(text->document()->size().height() <= text->viewport()->height() || text->verticalScrollBar()->isVisible());
    // Every text fits its label: nothing is cut off.
    for (QLabel* l : {about->Label1, about->Label4, about->Label2, static_cast<QLabel*>(about->HyperLink1), about->Label3,
                      static_cast<QLabel*>(about->HyperLink2), about->Label5, about->lbZendric})
      QVERIFY2(l->width() >= l->sizeHint().width() && l->height() >= l->sizeHint().height(), qPrintable(l->text()));
    about->reject();
  }

  void emblemAndGlyphAreDrawn() {
    const QPixmap emblem = about->imIcon->pixmap();
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

    const QImage glyph = reader->btnAbout->icon().pixmap(QSize(16, 16)).toImage();
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
    QVERIFY(!Lines(r).empty());
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
    const QFontMetrics metrics(about->lbZendric->font());
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
    reader->meZendric->setPlainText(u"ZN2. X\nY"_s);
    QVERIFY(reader->lbErrors->isVisible());
    const int parses = reader->ParseCount();
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
      QVERIFY(about->isVisible());
      QVERIFY(about->isModal());
      QTest::mouseClick(about->btnRead, Qt::LeftButton);
      checked = true;
      QVERIFY(about->isVisible());  // the box stays open
      QCOMPARE(reader->meZendric->toPlainText(), Sample());
      QCOMPARE(reader->meZendric->document()->blockCount(), 1);
      QCOMPARE(reader->ParseCount(), parses + 2);  // cleared, then appended
      const ParseResult want = ParseCode(SampleCode);
      QCOMPARE(Lines(reader->Reading()), Lines(want));
      QVERIFY(reader->lbErrors->isHidden());
      QCOMPARE(reader->CodeListControls().size(), want.LineCount() == 0 ? 0 : want.LineCount() * 2 - 1);
      QTest::mouseClick(about->OKButton, Qt::LeftButton);
    });
    QTest::mouseClick(reader->btnAbout, Qt::LeftButton);  // returns when the box is closed
    QVERIFY(checked);
    QVERIFY(about->isHidden());
    QCOMPARE(about->result(), int(QDialog::Accepted));
  }

  void enterClosesTheBox() {
    QTimer::singleShot(0, this, [&] { QTest::keyClick(about, Qt::Key_Return); });
    QCOMPARE(about->exec(), int(QDialog::Accepted));
  }

  void linkColours() {
    THyperLink* link = about->HyperLink2;
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
    THyperLink* link = about->HyperLink1;
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
    THyperLink* link = about->HyperLink1;
    QTest::mousePress(link, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(!link->Pressed());
    QTest::mouseRelease(link, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(opened.isEmpty());
  }

  // Any length goes through intact.
  void longAddressesStayWhole() {
    THyperLink* link = about->HyperLink2;
    const QString url = u"https://zendric.example.org/"_s + QString(300, u'a') + u"?code=ZN2.Dw%20Gm"_s;
    link->SetURL(url);
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(opened, QStringList{url});
  }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
