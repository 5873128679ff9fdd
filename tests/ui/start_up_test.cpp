// Start-up: what the command line asks for, and the window's size, place and split
// kept between runs.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "Arguments.h"
#include "Controls.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(StartRequest::Kind)

class StartUpTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;

  QString Write(const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(name));
    return file.fileName();
  }

 private slots:
  void arguments_data() {
    QVERIFY(dir.isValid());
    using K = StartRequest::Kind;
    QTest::addColumn<QStringList>("arguments");  // "@name" is the file of that name in a temporary folder
    QTest::addColumn<K>("kind");
    QTest::addColumn<QString>("text");  // the code, or what is printed (for a failure: its start)
    QTest::addColumn<int>("status");
    QTest::newRow("nothing") << QStringList{} << K::OpenWindow << u""_s << 0;
    QTest::newRow("a code") << QStringList{u"ZN2.Dw Gf L4m"_s} << K::OpenWindow << u"ZN2.Dw Gf L4m"_s << 0;
    QTest::newRow("a code without quotes") << QStringList{u"ZN2.Dw"_s, u"Gf"_s, u"L4m"_s} << K::OpenWindow
                                           << u"ZN2.Dw Gf L4m"_s << 0;
    QTest::newRow("a code with a blank in front") << QStringList{u" ZN2.Dw"_s} << K::OpenWindow << u" ZN2.Dw"_s << 0;
    QTest::newRow("a broken code with a blank") << QStringList{u"Dw Gf"_s} << K::OpenWindow << u"Dw Gf"_s << 0;
    QTest::newRow("a file") << QStringList{u"@code.txt"_s} << K::OpenWindow << u"ZN2.Dw Gm\n\u00e4\uFFFD\n"_s << 0;
    QTest::newRow("an empty file") << QStringList{u"@empty.txt"_s} << K::OpenWindow << u""_s << 0;
    QTest::newRow("after --, a word that looks like an option") << QStringList{u"--"_s, u"-x y"_s} << K::OpenWindow
                                                              << u"-x y"_s << 0;
    QTest::newRow("--help") << QStringList{u"--help"_s} << K::Print << u"Usage: zendric [CODE... | FILE]\n"_s << 0;
    QTest::newRow("-h, with a code") << QStringList{u"-h"_s, u"ZN2.Dw"_s} << K::Print << u"Usage: zendric"_s << 0;
    QTest::newRow("--version") << QStringList{u"--version"_s} << K::Print << u"zendric 1.0\n"_s << 0;
    QTest::newRow("a folder") << QStringList{u"@"_s} << K::Fail << u"zendric: cannot read "_s << 2;
    QTest::newRow("no such file") << QStringList{u"@missing.txt"_s} << K::Fail << u"zendric: cannot read "_s << 2;
    QTest::newRow("an unknown option") << QStringList{u"--colour"_s} << K::Fail << u"zendric: Unknown option"_s << 2;
  }
  void arguments() {
    QFETCH(QStringList, arguments);
    QFETCH(StartRequest::Kind, kind);
    QFETCH(QString, text);
    QFETCH(int, status);
    Write(u"code.txt"_s, "ZN2.Dw Gm\n\xC3\xA4\xFF\n");
    Write(u"empty.txt"_s, "");
    for (QString& a : arguments)
      if (a.startsWith(u'@')) a = a == u"@"_s ? dir.path() : dir.filePath(a.mid(1));
    const StartRequest got = ReadArguments(QStringList{u"/usr/bin/zendric"_s} + arguments);
    QCOMPARE(got.What, kind);
    QCOMPARE(got.ExitStatus, status);
    if (kind == StartRequest::Kind::OpenWindow) QCOMPARE(got.Code, text);
    if (kind != StartRequest::Kind::OpenWindow) QVERIFY2(got.Output.startsWith(text), qPrintable(got.Output));
    if (kind == StartRequest::Kind::Fail) {
      QCOMPARE(got.Output.count(u'\n'), 1);  // one line
      QVERIFY(got.Output.endsWith(u'\n'));
    }
  }

  // What the window is left at comes back at the next start; the first start has the
  // first size, centred, and the code field its first height.
  void layoutIsRemembered_data() {
    QTest::addColumn<QRect>("geometry");  // empty: left as it started
    QTest::addColumn<int>("codeHeight");  // 0: left as it started
    QTest::newRow("as it started") << QRect() << 0;
    QTest::newRow("moved and resized") << QRect(40, 30, 700, 500) << 0;
    QTest::newRow("split moved") << QRect() << 150;
    QTest::newRow("both") << QRect(10, 20, 400, 300) << 30;
  }
  void layoutIsRemembered() {
    QFETCH(QRect, geometry);
    QFETCH(int, codeHeight);
    const QString file = dir.filePath(u"layout-%1.ini"_s.arg(QTest::currentDataTag()));
    QFile::remove(file);
    QRect left;
    QList<int> split;
    {
      TMainScreen first;
      first.RememberLayoutIn(std::make_unique<QSettings>(file, QSettings::IniFormat));
      first.show();
      QVERIFY(QTest::qWaitForWindowExposed(&first));
      QCOMPARE(first.size(), TMainScreen::FirstSize);
      const QRect screen = first.screen()->availableGeometry();
      // Centred but for the frame, which the window learns of only once it is shown.
      const QPoint off = first.frameGeometry().center() - screen.center();
      QVERIFY2(off.manhattanLength() <= 6, qPrintable(u"%1, %2"_s.arg(off.x()).arg(off.y())));
      auto* splitter = Named<QSplitter>(&first, "spReading");
      QCOMPARE(splitter->sizes().front(), TMainScreen::FirstCodeHeight);
      if (geometry.isValid()) first.setGeometry(geometry);
      if (codeHeight) splitter->setSizes({codeHeight, splitter->height() - codeHeight});
      QApplication::processEvents();
      left = first.geometry();
      split = splitter->sizes();
      QVERIFY(first.close());
    }
    TMainScreen again;
    again.RememberLayoutIn(std::make_unique<QSettings>(file, QSettings::IniFormat));
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.geometry(), left);
    QCOMPARE(Named<QSplitter>(&again, "spReading")->sizes(), split);
  }

  // Dragging the boundary gives the reading the room, and it wraps for it at once.
  void splitterRewrapsTheReading() {
    TMainScreen w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.ReplaceCode(u"ZN2.Dw W+ H- Fr+^ I+# Df+ Ac+"_s);
    const ReaderControls ui(w);
    auto* splitter = Named<QSplitter>(&w, "spReading");
    const int before = ui.sbCodeList->height();
    splitter->setSizes({150, splitter->height() - 150});
    QApplication::processEvents();
    QVERIFY(ui.sbCodeList->height() < before);
    QCOMPARE(ui.Panel1->width(), ui.sbCodeList->viewport()->width());
    QVERIFY(ui.meZendric->height() > 140);
  }

  // Ctrl+Q closes the window from any control.
  void ctrlQQuits() {
    TMainScreen w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(ReaderControls(w).meZendric, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w.isVisible());
  }
};

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
