// What the windows look like, checked on their pixels: the waves under the errors, text
// that stays readable on a dark desktop palette, and sharp pictures. CTest runs it at
// 100 % and again at 200 % scale (QT_SCALE_FACTOR=2).
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <cmath>
#include <memory>

#include "AboutDialogForm.h"
#include "ErrorMarks.h"
#include "Controls.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

bool IsMarkRed(QColor c) { return c.red() > 200 && c.green() < 90 && c.blue() < 90; }

// Relative luminance and contrast ratio as accessibility guidelines define them.
double Luminance(QColor c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
double Contrast(QColor a, QColor b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The background of a rendered widget (its commonest colour) and the text colour that
// stands out from it the most.
struct Inks {
  QColor background, text;
};
Inks InksOf(QWidget* widget) {
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QHash<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
  QRgb background = 0;
  int most = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > most) {
      most = it.value();
      background = it.key();
    }
  QColor text = QColor(background);
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (Contrast(QColor(it.key()), QColor(background)) > Contrast(text, QColor(background))) text = QColor(it.key());
  return {QColor(background), text};
}

QPalette DarkPalette() {
  QPalette p;
  const QColor window(0x2b, 0x2b, 0x2b), base(0x1e, 0x1e, 0x1e), text(0xe6, 0xe6, 0xe6);
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Window, window);
    p.setColor(group, QPalette::WindowText, text);
    p.setColor(group, QPalette::Base, base);
    p.setColor(group, QPalette::AlternateBase, window);
    p.setColor(group, QPalette::Text, text);
    p.setColor(group, QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(group, QPalette::ButtonText, text);
    p.setColor(group, QPalette::Light, QColor(0x50, 0x50, 0x50));
    p.setColor(group, QPalette::Midlight, QColor(0x40, 0x40, 0x40));
    p.setColor(group, QPalette::Mid, QColor(0x30, 0x30, 0x30));
    p.setColor(group, QPalette::Dark, QColor(0x15, 0x15, 0x15));
    p.setColor(group, QPalette::Shadow, Qt::black);
  }
  return p;
}

}  // namespace

class DisplayTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;
  std::unique_ptr<AboutControls> aboutUi;
  TAboutDialog* about = nullptr;  // owned by the reader window
  QPalette lightPalette;

  // Red pixels of the edit field in and around the marks' rectangles, and elsewhere.
  std::pair<int, int> RedInAndOut() {
    QApplication::processEvents();
    const QImage image = ui->meZendric->grab().toImage();
    const qreal scale = image.devicePixelRatio();
    const QPoint viewport = ui->meZendric->viewport()->pos();
    QList<QRect> marks;
    for (const TErrorMarks::Mark& mark : w->ErrorMarks().Marks()) {
      // The pen may reach a pixel past the rectangle's edge.
      const QRect r = w->ErrorMarks().MarkRect(mark).translated(viewport).adjusted(-1, -1, 1, 1);
      marks << QRect(QPoint(std::floor(r.left() * scale), std::floor(r.top() * scale)),
                     QPoint(std::ceil((r.right() + 1) * scale), std::ceil((r.bottom() + 1) * scale)));
    }
    int in = 0, out = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        if (!IsMarkRed(image.pixelColor(x, y))) continue;
        const bool inside = std::any_of(marks.begin(), marks.end(), [&](const QRect& r) { return r.contains(x, y); });
        (inside ? in : out)++;
      }
    return {in, out};
  }

 private slots:
  void initTestCase() { lightPalette = QApplication::palette(); }
  void init() {
    QApplication::setPalette(lightPalette);
    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    about = new TAboutDialog(w.get());
    aboutUi = std::make_unique<AboutControls>(*about);
    w->SetAboutDialog(about);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() { w.reset(); }

  // The run at 200 % really is at 200 %.
  void scaleIsTheOneAskedFor() {
    const qreal asked = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qgetenv("QT_SCALE_FACTOR").toDouble() : 1.0;
    QCOMPARE(w->devicePixelRatioF(), asked);
    QCOMPARE(w->grab().toImage().width(), qRound(w->width() * asked));
  }

  // A wave under every marked character, in red, and no red anywhere else.
  void wavesUnderTheErrors_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("marks");
    QTest::newRow("two errors") << u"ZN2. W+ X W++++"_s << 2;
    QTest::newRow("on two lines") << u"ZN2. X\nW+ Wq"_s << 2;
    QTest::newRow("on a blank") << u"ZN2.Dw Gm/ "_s << 1;
    QTest::newRow("none") << u"ZN2. W+ H-"_s << 0;
  }
  void wavesUnderTheErrors() {
    QFETCH(QString, code);
    QFETCH(int, marks);
    ui->meZendric->setPlainText(code);
    QCOMPARE(static_cast<int>(w->ErrorMarks().Marks().size()), marks);
    const auto [in, out] = RedInAndOut();
    const qreal scale = w->devicePixelRatioF();
    QVERIFY2(in >= marks * 4 * scale, qPrintable(u"%1 red pixels under %2 marks"_s.arg(in).arg(marks)));
    QCOMPARE(out, 0);
    // Corrected, the code shows no red at all.
    ui->meZendric->setPlainText(u"ZN2. W+"_s);
    QCOMPARE(RedInAndOut(), std::make_pair(0, 0));
  }

  // The waves scroll with the text: the error out of view shows no wave, and scrolled
  // into view it has its wave under it.
  void wavesScrollWithTheText() {
    QString code = u"ZN2. X"_s;
    for (int i = 0; i < 12; ++i) code += u"\nW+"_s;
    code += u"\nWq"_s;
    ui->meZendric->setPlainText(code);
    QCOMPARE(w->ErrorMarks().Marks().size(), std::size_t{2});
    ui->meZendric->verticalScrollBar()->setValue(0);
    const auto [inTop, outTop] = RedInAndOut();
    QVERIFY(inTop > 0);
    QCOMPARE(outTop, 0);
    ui->meZendric->verticalScrollBar()->setValue(ui->meZendric->verticalScrollBar()->maximum());
    const auto [inBottom, outBottom] = RedInAndOut();
    QVERIFY(inBottom > 0);
    QCOMPARE(outBottom, 0);
    const QRect last = w->ErrorMarks().MarkRect(w->ErrorMarks().Marks().back());
    QVERIFY(ui->meZendric->viewport()->rect().intersects(last));
    QVERIFY(!ui->meZendric->viewport()->rect().intersects(w->ErrorMarks().MarkRect(w->ErrorMarks().Marks().front())));
  }

  // With a dark desktop palette every text keeps a readable contrast, the marks are
  // still red, and the links keep their own colours.
  void darkPalette_data() {
    QTest::addColumn<bool>("beforeTheWindow");
    QTest::newRow("dark from the start") << true;
    QTest::newRow("desktop turns dark while the program runs") << false;
  }
  void darkPalette() {
    QFETCH(bool, beforeTheWindow);
    if (beforeTheWindow) {
      w.reset();
      QApplication::setPalette(DarkPalette());
      w = std::make_unique<TMainScreen>();
      ui = std::make_unique<ReaderControls>(*w);
      about = new TAboutDialog(w.get());
      aboutUi = std::make_unique<AboutControls>(*about);
      w->show();
      QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    ui->meZendric->setPlainText(u"ZN2. Cgr^|bk,bye+ W+ X"_s);
    if (!beforeTheWindow) QApplication::setPalette(DarkPalette());
    QApplication::processEvents();

    QList<QWidget*> texts = {ui->meZendric->viewport(), ui->lbErrors->viewport()};
    for (QWidget* control : w->CodeListControls())
      if (qobject_cast<QLabel*>(control)) texts << control;
    for (QWidget* text : texts) {
      const Inks inks = InksOf(text);
      QVERIFY2(Luminance(inks.background) < 0.1, qPrintable(inks.background.name()));  // dark, as the desktop asks
      QVERIFY2(Contrast(inks.text, inks.background) >= 7.0,
               qPrintable(inks.text.name() + u" on "_s + inks.background.name()));
    }
    const auto [in, out] = RedInAndOut();
    QVERIFY(in > 0);
    QCOMPARE(out, 0);

    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    for (QLabel* label : {aboutUi->Label1, aboutUi->Label2, aboutUi->Label5, aboutUi->lbZendric}) {
      const Inks inks = InksOf(label);
      QVERIFY2(Contrast(inks.text, inks.background) >= 7.0, qPrintable(label->text()));
    }
    for (THyperLink* link : {aboutUi->HyperLink1, aboutUi->HyperLink2}) {
      QCOMPARE(link->Colour(), QColor(0, 0, 255));
      // Drawn in that colour, too.
      const QImage image = link->grab().toImage();
      bool blue = false;
      for (int y = 0; y < image.height() && !blue; ++y)
        for (int x = 0; x < image.width() && !blue; ++x) blue = image.pixelColor(x, y) == QColor(0, 0, 255);
      QVERIFY(blue);
    }
    about->reject();
  }

  // The emblem and the glyph are drawn for the screen's pixels, not blown up.
  void picturesAreSharp() {
    const qreal scale = w->devicePixelRatioF();
    const QPixmap emblem = aboutUi->imIcon->pixmap();
    QCOMPARE(emblem.deviceIndependentSize().toSize(), QSize(64, 64));
    QCOMPARE(emblem.size(), QSize(64, 64) * scale);
    const QPixmap glyph = ui->btnAbout->icon().pixmap(ui->btnAbout->iconSize(), scale);
    QCOMPARE(glyph.size(), QSize(16, 16) * scale);
  }

  // Each paragraph of the reading has all of its lines in view.
  void paragraphsAreNotCutOff() {
    ui->meZendric->setPlainText(u"ZN2. Cgr^|bk,bye+ Fr\"A & B\" W+ H- S~"_s);
    for (QWidget* control : w->CodeListControls()) {
      auto* label = qobject_cast<QLabel*>(control);
      if (!label) continue;
      QVERIFY(label->height() >= label->heightForWidth(label->width()));
      const int lines = static_cast<int>(label->text().count(u'\n')) + 1;
      QVERIFY(label->height() >= lines * label->fontMetrics().height());
      QVERIFY(label->geometry().right() < ui->sbCodeList->viewport()->width());
    }
  }
};

QTEST_MAIN(DisplayTest)
#include "display_test.moc"
