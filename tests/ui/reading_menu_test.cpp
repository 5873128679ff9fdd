// The window's menu bar: its keys bound once, the reading saved in each format, printed
// and exported as PDF (read back with pdftotext), copied as, and the recent files kept
// in a settings file of the test's own.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QProcess>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "Controls.h"
#include "MainMenu.h"
#include "MainScreenForm.h"
#include "ReadingText.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

// Markup characters in the code and in a quoted name, display lines and two messages.
const QString Code = u"ZN2.Dw B\"<b>[b]*_`&amp;\" Cgr^|bk,bye+ X A(r"_s;

QString PdfText(const QString& path) {
  QProcess pdftotext;
  pdftotext.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
  if (!pdftotext.waitForFinished(20000) || pdftotext.exitCode() != 0) return u"(pdftotext failed)"_s;
  return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* a : menu->actions())
    if (!a->isSeparator()) texts << a->text().section(u'\t', 0, 0);
  return texts;
}

}  // namespace

class ReadingMenuTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  std::unique_ptr<TMainScreen> w;
  QString savedAs, chosenFilter;  // what the stand-in save dialog answers

  QString Path(const QString& name) const { return dir.filePath(name); }
  std::unique_ptr<QSettings> Settings() const {
    return std::make_unique<QSettings>(Path(u"settings.conf"_s), QSettings::IniFormat);
  }
  void UseStandInDialogs(TMainScreen& window) {
    window.Menu().UseDialogs({.openFile = [](QWidget*, const QString&, const QString&, const QString&) { return QString(); },
                              .saveFile = [this](QWidget*, const QString&, const QString&, const QString&,
                                                 QString* chosen) {
                                if (!chosenFilter.isEmpty()) *chosen = chosenFilter;
                                return savedAs;
                              },
                              .print = [this](QPrinter* printer, QWidget*) {
                                printer->setOutputFormat(QPrinter::PdfFormat);
                                printer->setOutputFileName(Path(u"printed.pdf"_s));
                                return true;
                              }});
  }
  QAction* Action(const QString& menu, const QString& text) const {
    for (QMenu* m : w->Menu().findChildren<QMenu*>())
      if (m->title() == menu)
        for (QAction* a : m->actions())
          if (a->text().section(u'\t', 0, 0) == text) return a;
    return nullptr;
  }
  void Press(const QKeySequence& keys) { QTest::keySequence(ReaderControls(*w).meZendric, keys); }

 private slots:
  void init() {
    QFile::remove(Path(u"settings.conf"_s));
    w = std::make_unique<TMainScreen>();
    w->RememberLayoutIn(Settings());
    UseStandInDialogs(*w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    ReaderControls(*w).meZendric->setPlainText(Code);
  }
  void cleanup() { w.reset(); }

  void menusInTheUsualOrder() {
    QStringList menus;
    for (const QAction* a : w->Menu().actions()) menus << a->text();
    QCOMPARE(menus, (QStringList{u"&File"_s, u"&Edit"_s, u"&Help"_s}));
    const QList<QAction*> top = w->Menu().actions();
    QCOMPARE(MenuTexts(top[0]->menu()), (QStringList{u"&Open…"_s, u"Open &Recent"_s, u"&Save Reading As…"_s,
                                                     u"&Print…"_s, u"&Export as PDF…"_s, u"&Quit"_s}));
    QCOMPARE(MenuTexts(top[1]->menu()), (QStringList{u"&Undo"_s, u"&Redo"_s, u"Cu&t"_s, u"&Copy"_s, u"&Paste"_s,
                                                     u"Select &All"_s, u"Copy Reading &As"_s, u"&Make a Code…"_s}));
    QCOMPARE(MenuTexts(top[2]->menu()), QStringList{u"&About"_s});
  }

  // Every key of the window is bound once, by one action or shortcut, so none goes
  // ambiguous; the field's edit keys stay the field's.
  void eachKeyBoundOnce() {
    QMap<QString, int> bound;
    for (const QAction* a : w->findChildren<QAction*>())
      if (a->shortcutContext() != Qt::WidgetWithChildrenShortcut)
        for (const QKeySequence& k : a->shortcuts()) ++bound[k.toString()];
    for (const QShortcut* s : w->findChildren<QShortcut*>()) ++bound[s->key().toString()];
    for (auto it = bound.cbegin(); it != bound.cend(); ++it) QVERIFY2(it.value() == 1, qPrintable(it.key()));
    for (const char* keys : {"Ctrl+O", "Ctrl+S", "Ctrl+P", "Ctrl+N", "Ctrl+Q", "F1"})
      QVERIFY2(bound.value(QString::fromLatin1(keys)) == 1, keys);
    for (const char* keys : {"Ctrl+Z", "Ctrl+C", "Ctrl+V", "Ctrl+X", "Ctrl+A"})
      QVERIFY2(!bound.contains(QString::fromLatin1(keys)), keys);
  }

  void saveAs_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("format");
    QTest::newRow("text") << u"Plain text (*.txt)"_s << u"r.txt"_s << u"r.txt"_s << int(ReadingFormat::Text);
    QTest::newRow("markdown") << u"Markdown (*.md)"_s << u"r.md"_s << u"r.md"_s << int(ReadingFormat::Markdown);
    QTest::newRow("bbcode") << u"BBCode (*.bbcode)"_s << u"r.bbcode"_s << u"r.bbcode"_s << int(ReadingFormat::BBCode);
    QTest::newRow("html") << u"HTML (*.html)"_s << u"r.html"_s << u"r.html"_s << int(ReadingFormat::HtmlDocument);
    // The chosen type decides, and lends its extension to a name without one.
    QTest::newRow("no extension") << u"Markdown (*.md)"_s << u"plain"_s << u"plain.md"_s << int(ReadingFormat::Markdown);
    QTest::newRow("type over name") << u"BBCode (*.bbcode)"_s << u"post.txt"_s << u"post.txt"_s
                                    << int(ReadingFormat::BBCode);
  }
  void saveAs() {
    QFETCH(QString, filter);
    QFETCH(QString, name);
    QFETCH(QString, written);
    QFETCH(int, format);
    savedAs = Path(name);
    chosenFilter = filter;
    Press(QKeySequence::Save);
    QFile file(Path(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray code = Code.toUtf8();
    QCOMPARE(file.readAll(),
             QByteArray::fromStdString(RenderReading(ReadingFormat(format), code.toStdString(), w->Reading())));
    QCOMPARE(Settings()->value(u"files/folder"_s).toString(), dir.path());
  }

  // Print (through the stand-in dialog) and Export as PDF both write the reading, as
  // text, not as a picture: pdftotext finds the code, every line and every message.
  void printAndExport_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("print") << u"print"_s;
    QTest::newRow("export") << u"export"_s;
  }
  void printAndExport() {
    QFETCH(QString, way);
    QString pdf = Path(u"printed.pdf"_s);
    QFile::remove(pdf);
    if (way == u"print") {
      Press(QKeySequence::Print);
    } else {
      pdf = Path(u"exported.pdf"_s);
      savedAs = Path(u"exported"_s);  // the extension comes on
      Action(u"&File"_s, u"&Export as PDF…"_s)->trigger();
    }
    const QString text = PdfText(pdf).simplified();
    for (const QString& part : {Code, u"I breathe <b>[b]*_`&amp;"_s, u"My belly is light yellow"_s,
                                u"Error: Invalid code at position 39 (X)"_s,
                                u"position 44: Error: Missing ) in age tag"_s})
      QVERIFY2(text.contains(part), qPrintable(part + u" not in: "_s + text));
  }

  void copyReadingAs_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("format");
    QTest::newRow("text") << u"text"_s << int(ReadingFormat::Text);
    QTest::newRow("markdown") << u"markdown"_s << int(ReadingFormat::Markdown);
    QTest::newRow("bbcode") << u"bbcode"_s << int(ReadingFormat::BBCode);
    QTest::newRow("html: a fragment to paste") << u"html"_s << int(ReadingFormat::Html);
  }
  void copyReadingAs() {
    QFETCH(QString, key);
    QFETCH(int, format);
    w->Menu().findChild<QAction*>(u"actCopyAs_"_s + key)->trigger();
    QCOMPARE(QApplication::clipboard()->text(), ReadingAs(ReadingFormat(format), Code, w->Reading()));
  }

  // Opened files head the list, once each, kept for the next start; the title names
  // the file; a recent file opens from the menu.
  void recentFiles() {
    const auto write = [&](const QString& name, const QString& code) {
      QFile f(Path(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(code.toUtf8());
    };
    write(u"a.txt"_s, u"ZN2.Dw Gm"_s);
    write(u"b.txt"_s, u"-- \nZN2.Dw Gf"_s);
    write(u"none.txt"_s, u"no code here"_s);
    QVERIFY(w->OpenFile(Path(u"a.txt"_s)));
    QVERIFY(w->OpenFile(Path(u"b.txt"_s)));
    QVERIFY(w->OpenFile(Path(u"a.txt"_s)));
    QVERIFY(!w->OpenFile(Path(u"none.txt"_s)));
    const QStringList expected{Path(u"a.txt"_s), Path(u"b.txt"_s)};
    QCOMPARE(w->Menu().RecentFiles(), expected);
    QCOMPARE(w->windowTitle(), u"a.txt — Zendric 2 reader"_s);
    w.reset();

    w = std::make_unique<TMainScreen>();
    QCOMPARE(w->windowTitle(), u"Zendric 2 reader"_s);
    w->RememberLayoutIn(Settings());
    QCOMPARE(w->Menu().RecentFiles(), expected);
    QMenu* recent = nullptr;
    for (QMenu* m : w->Menu().findChildren<QMenu*>())
      if (m->title() == u"Open &Recent") recent = m;
    QVERIFY(recent);
    emit recent->aboutToShow();
    recent->actions().at(1)->trigger();  // b.txt
    QCOMPARE(ReaderControls(*w).meZendric->toPlainText(), u"ZN2.Dw Gf"_s);
    QCOMPARE(w->Menu().RecentFiles(), (QStringList{Path(u"b.txt"_s), Path(u"a.txt"_s)}));
  }
};

QTEST_MAIN(ReadingMenuTest)
#include "reading_menu_test.moc"
