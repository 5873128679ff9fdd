// Texts too large for the code field, through the window's own ways in: a 40 MB file
// opened, named on the command line, pasted and dropped. The field never holds the
// text; the codes are listed; Cancel stops; choosing puts one code, undoably.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "Arguments.h"
#include "Controls.h"
#include "LargeTextPanel.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

constexpr int MB = 1 << 20;

// `megabytes` of prose with a code at the start of each of `codes` equal stretches.
QByteArray TextWithCodes(int megabytes, int codes) {
  const QByteArray prose = "Nothing to read in this line of a long log, only words.\n";
  QByteArray text;
  text.reserve(megabytes * MB + MB);
  const qsizetype stretch = qsizetype{megabytes} * MB / codes;
  for (int i = 0; i < codes; ++i) {
    text += "Mine: ZN2.Dw Gm L" + QByteArray::number(i % 9 + 1) + "m\n";
    while (text.size() < stretch * (i + 1)) text += prose;
  }
  return text;
}

struct LargeControls {
  explicit LargeControls(const TMainScreen& w)
      : panel(Named<TLargeText>(&w, "pnLarge")),
        heading(Named<QLabel>(&w, "lbLargeHeading")),
        note(Named<QLabel>(&w, "lbLargeNote")),
        list(Named<QListView>(&w, "lvLarge")),
        cancel(Named<QPushButton>(&w, "btnLargeCancel")),
        read(Named<QPushButton>(&w, "btnLargeRead")) {}
  TLargeText* panel;
  QLabel* heading;
  QLabel* note;
  QListView* list;
  QPushButton* cancel;
  QPushButton* read;
};

}  // namespace

class LargeTextTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  QString fortyMb;

 private slots:
  void initTestCase() {
    QVERIFY(dir.isValid());
    fortyMb = dir.filePath(u"forty.txt"_s);
    QFile file(fortyMb);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(TextWithCodes(40, 3)) > 40 * MB - MB);
  }

  // Each way in: the field keeps what it held, the codes are listed, and a chosen code
  // goes in alone as one edit.
  void listsWithoutTheField_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("what");
    QTest::newRow("open") << u"open"_s << u"file forty.txt"_s;
    QTest::newRow("command line") << u"command line"_s << u"file forty.txt"_s;
    QTest::newRow("drop a file") << u"drop a file"_s << u"file forty.txt"_s;
    QTest::newRow("paste") << u"paste"_s << u"pasted text"_s;
    QTest::newRow("drop text") << u"drop text"_s << u"dropped text"_s;
  }
  void listsWithoutTheField() {
    QFETCH(QString, how);
    QFETCH(QString, what);
    TMainScreen w;
    w.show();
    w.ReplaceCode(u"keep me"_s);
    const ReaderControls ui(w);
    const LargeControls large(w);
    QMimeData data;
    if (how == u"open") {
      QVERIFY(w.OpenFile(fortyMb));
    } else if (how == u"command line") {
      const StartRequest request = ReadArguments({u"zendric"_s, fortyMb});
      QVERIFY(request.Large);
      QVERIFY(request.Code.isEmpty());  // not read before the window
      QVERIFY(w.OpenFile(request.File));
    } else if (how == u"drop a file") {
      data.setUrls({QUrl::fromLocalFile(fortyMb)});
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QVERIFY(static_cast<QObject&>(w).eventFilter(ui.meZendric->viewport(), &drop));
    } else {
      QFile file(fortyMb);
      QVERIFY(file.open(QIODevice::ReadOnly));
      const QString text = QString::fromUtf8(file.readAll());
      if (how == u"paste") {
        QGuiApplication::clipboard()->setText(text);
        ui.meZendric->paste();
      } else {
        data.setText(text);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject&>(w).event(&drop);
      }
    }
    QCOMPARE(ui.meZendric->toPlainText(), u"keep me"_s);
    QVERIFY(large.panel->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(large.panel->Progress() == TLargeText::State::Done, 60000);
    QCOMPARE(ui.meZendric->toPlainText(), u"keep me"_s);
    QCOMPARE(large.list->model()->rowCount(), 3);
    QCOMPARE(large.heading->text(), u"Found 3 Zendric 2 codes in 40.0 MB of text"_s);
    QVERIFY2(large.note->text().startsWith(u"The "_s + what + u" is too large"_s), qPrintable(large.note->text()));
    QVERIFY(large.list->model()->index(1, 0).data().toString().startsWith(u"Line "));

    large.list->setCurrentIndex(large.list->model()->index(1, 0));
    large.read->click();
    QCOMPARE(ui.meZendric->toPlainText(), u"ZN2.Dw Gm L2m"_s);
    const int line = large.panel->Found()[1].Line;
    QVERIFY(line > 1000);
    QCOMPARE(large.note->text(), u"The %1 was 40.0 MB: only the code from line %2 was taken into the field."_s.arg(
                                     what, QLocale(QLocale::English).toString(line)));
    ui.meZendric->undo();
    QCOMPARE(ui.meZendric->toPlainText(), u"keep me"_s);
  }

  // Cancel stops the reading where it is: nothing more is found afterwards.
  void cancelStops() {
    const QString many = dir.filePath(u"many.txt"_s);
    QFile file(many);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(TextWithCodes(40, 400)) > 0);
    file.close();
    TMainScreen w;
    w.show();
    const LargeControls large(w);
    QVERIFY(w.OpenFile(many));
    QTRY_VERIFY(large.panel->Found().size() > 0);
    large.cancel->click();
    QCOMPARE(large.panel->Progress(), TLargeText::State::Stopped);
    const std::size_t found = large.panel->Found().size();
    QVERIFY(found < 400);
    QTest::qWait(200);
    QCOMPARE(large.panel->Found().size(), found);
    QCOMPARE(static_cast<std::size_t>(large.list->model()->rowCount()), found);
    QVERIFY2(large.heading->text().startsWith(u"Stopped after "), qPrintable(large.heading->text()));
  }
};

QTEST_MAIN(LargeTextTest)
#include "large_text_test.moc"
