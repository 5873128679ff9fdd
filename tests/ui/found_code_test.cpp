// The bar that offers codes found inside other text, and opening files through the finder.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "Arguments.h"
#include "Controls.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

struct FoundControls {
  explicit FoundControls(const TMainScreen& w)
      : pnFound(Named<QWidget>(&w, "pnFound")),
        lbFound(Named<QLabel>(&w, "lbFound")),
        cbFound(Named<QComboBox>(&w, "cbFound")),
        btnReadFound(Named<QPushButton>(&w, "btnReadFound")) {}
  QWidget* pnFound;
  QLabel* lbFound;
  QComboBox* cbFound;
  QPushButton* btnReadFound;
};

QStringList Entries(const QComboBox* box) {
  QStringList entries;
  for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
  return entries;
}

// As a paste leaves it: one undoable edit at the caret.
void Paste(TMainScreen& w, const QString& text) { ReaderControls(w).meZendric->insertPlainText(text); }

}  // namespace

class FoundCodeTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;

 private slots:
  void bar_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");  // empty: no bar
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("signature") << u"Cheers,\n-- \nZN2.Dw Gm\n"_s << u"Found a Zendric 2 code on line 3"_s
                               << QStringList{};
    QTest::newRow("quoted reply") << u"On Monday you wrote:\n> Hi!\n> ZN2.Dw Gf\n\nThanks"_s
                                  << u"Found a Zendric 2 code on line 3"_s << QStringList{};
    QTest::newRow("a blank in front") << u" ZN2.Dw"_s << u"Found a Zendric 2 code on line 1"_s << QStringList{};
    QTest::newRow("a plain code") << u"ZN2.Dw Gm"_s << QString() << QStringList{};
    QTest::newRow("a code, then prose") << u"ZN2.Dw Gm\nCheers"_s << QString() << QStringList{};
    QTest::newRow("a code over two lines") << u"ZN2.Dw Gm\nL4m"_s << QString() << QStringList{};
    QTest::newRow("codes, one a line") << u"ZN2.Dw Gm\nZN2.Hd L4m\n"_s << u"Found 2 Zendric 2 codes"_s
                                       << QStringList{u"Line 1, column 1: I am a Western Dragon (0 messages)"_s,
                                                      u"Line 2, column 1: I am a Dwarf (0 messages)"_s};
    QTest::newRow("no code") << u"Hello there,\nhow are you?"_s << QString() << QStringList{};
    QTest::newRow("near misses") << u"aZN2.Dw zn2.Dw ZN2 Dw"_s << QString() << QStringList{};
    QTest::newRow("two codes") << u"Mine:\nZN2.Dw Gq\nand hers:\nZN2.Dw Gf L4m\n"_s << u"Found 2 Zendric 2 codes"_s
                               << QStringList{u"Line 2, column 1: I am a Western Dragon (2 messages)"_s,
                                              u"Line 4, column 1: I am a Western Dragon (0 messages)"_s};
  }
  // The bar appears for text that holds a code without being one; the reading of the
  // field itself is left as the text reads.
  void bar() {
    QFETCH(QString, text);
    QFETCH(QString, label);
    QFETCH(QStringList, entries);
    TMainScreen w;
    w.show();
    Paste(w, text);
    const FoundControls bar(w);
    QCOMPARE(bar.pnFound->isVisible(), !label.isEmpty());
    if (!label.isEmpty()) QCOMPARE(bar.lbFound->text(), label);
    QCOMPARE(bar.cbFound->isVisible(), !entries.isEmpty());
    if (!entries.isEmpty()) QCOMPARE(Entries(bar.cbFound), entries);
    QString joined = text;
    joined.remove(u'\n');
    const QByteArray code = joined.toUtf8();
    const ParseResult alone = ParseCode(std::string_view(code.constData(), static_cast<std::size_t>(code.size())));
    QCOMPARE(w.Reading().LineCount(), alone.LineCount());
    QCOMPARE(w.Reading().MessageCount(), alone.MessageCount());
    QCOMPARE(w.ParseCount(), 1);
  }

  // The button reads the chosen code in one edit; undo gives back the pasted text exactly.
  void readOnlyTheCode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("code");
    QTest::newRow("signature") << u"Cheers,\n-- \nZN2.Dw Gm\n"_s << 0 << u"ZN2.Dw Gm"_s;
    QTest::newRow("wrapped, quoted") << u"> My code:\n> ZN2.Dw Gf\n> L4m\n"_s << 0 << u"ZN2.Dw Gf L4m"_s;
    QTest::newRow("the second of two") << u"Mine: ZN2.Dw Gq and\n ZN2.Dw Gf L4m"_s << 1 << u"ZN2.Dw Gf L4m"_s;
    QTest::newRow("the second line of codes") << u"ZN2.Dw Gq\nZN2.Dw Gf L4m"_s << 1 << u"ZN2.Dw Gf L4m"_s;
  }
  void readOnlyTheCode() {
    QFETCH(QString, text);
    QFETCH(int, choice);
    QFETCH(QString, code);
    TMainScreen w;
    w.show();
    Paste(w, text);
    const FoundControls bar(w);
    const ReaderControls ui(w);
    if (choice > 0) bar.cbFound->setCurrentIndex(choice);
    const int reads = w.ParseCount();
    QTest::mouseClick(bar.btnReadFound, Qt::LeftButton);
    QCOMPARE(ui.meZendric->toPlainText(), code);
    QCOMPARE(w.ParseCount(), reads + 1);
    QVERIFY(!bar.pnFound->isVisible());
    ui.meZendric->undo();
    QCOMPARE(ui.meZendric->toPlainText(), text);
    QVERIFY(bar.pnFound->isVisible());
  }

  void openFile_data() {
    QVERIFY(dir.isValid());
    QTest::addColumn<QString>("name");  // empty: a file that does not exist
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("field");  // afterwards; the field held "keep me" before
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("message");  // the start of what the window says, if anything
    QTest::newRow("one code") << u"one.txt"_s << QByteArray("Hi,\r\n-- \r\n\tZN2.Dw Gm\r\n") << u"ZN2.Dw Gm"_s << 0
                              << QString();
    QTest::newRow("two codes") << u"two.txt"_s << QByteArray("a ZN2.Dw\nb ZN2.Dw Gf\n") << u"a ZN2.Dw\nb ZN2.Dw Gf\n"_s
                               << 2 << QString();
    QTest::newRow("no code") << u"none.txt"_s << QByteArray("aZN2.Dw zn2.Dw\n") << u"keep me"_s << 0
                             << u"No Zendric 2 code was found in none.txt"_s;
    QTest::newRow("no such file") << QString() << QByteArray() << u"keep me"_s << 0 << u"Cannot read "_s;
  }
  void openFile() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, field);
    QFETCH(int, entries);
    QFETCH(QString, message);
    QString path = dir.filePath(name.isEmpty() ? u"missing.txt"_s : name);
    if (!name.isEmpty()) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    TMainScreen w;
    w.show();
    w.ReplaceCode(u"keep me"_s);
    w.OpenFile(path);
    QCOMPARE(ReaderControls(w).meZendric->toPlainText(), field);
    const FoundControls bar(w);
    QCOMPARE(bar.cbFound->count(), entries);
    QCOMPARE(bar.pnFound->isVisible(), entries > 0);
    auto* box = w.findChild<QMessageBox*>(u"mbTell"_s);
    QCOMPARE(box != nullptr, !message.isEmpty());
    if (box) QVERIFY2(box->text().startsWith(message), qPrintable(box->text()));
  }

  // A file dropped on the field opens as Ctrl+O opens it; text dropped beside the field
  // goes through the finder.
  void drops_data() {
    QTest::addColumn<bool>("onField");
    QTest::addColumn<bool>("asFile");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("field");
    QTest::newRow("a file on the field") << true << true << QByteArray("> ZN2.Dw Gm\n") << u"ZN2.Dw Gm"_s;
    QTest::newRow("a file on the window") << false << true << QByteArray("x\n-- \nZN2.Dw Gf\n") << u"ZN2.Dw Gf"_s;
    QTest::newRow("text on the window") << false << false << QByteArray("me: ZN2.Dw L4m") << u"ZN2.Dw L4m"_s;
    QTest::newRow("a file without a code") << true << true << QByteArray("nothing\n") << u"keep me"_s;
  }
  void drops() {
    QFETCH(bool, onField);
    QFETCH(bool, asFile);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, field);
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"dropped.txt"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    TMainScreen w;
    w.show();
    w.ReplaceCode(u"keep me"_s);
    QMimeData data;
    if (asFile) data.setUrls({QUrl::fromLocalFile(path)});
    else data.setText(QString::fromUtf8(bytes));
    // Straight to the window's handlers: without a drag under way Qt delivers no drop.
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QObject* window = &w;
    if (onField) QVERIFY(window->eventFilter(ReaderControls(w).meZendric->viewport(), &drop));
    else window->event(&drop);
    QCOMPARE(ReaderControls(w).meZendric->toPlainText(), field);
  }

  // The command line names the file, so the window can read it through the finder.
  void startUpKeepsTheFileName() {
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"start.txt"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("> ZN2.Dw\n") == 9);
    file.close();
    const StartRequest got = ReadArguments({u"zendric"_s, path});
    QCOMPARE(got.File, path);
    QCOMPARE(ReadArguments({u"zendric"_s, u"ZN2.Dw"_s}).File, QString());
    TMainScreen w;
    QVERIFY(w.OpenText(got.Code, got.File));
    QCOMPARE(ReaderControls(w).meZendric->toPlainText(), u"ZN2.Dw"_s);
  }
};

QTEST_MAIN(FoundCodeTest)
#include "found_code_test.moc"
