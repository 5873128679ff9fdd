// Opening what is not a text file, through every way the window opens files, and
// running out of memory in the middle of an event. A FIFO that the window wrongly
// opened would block the test: a helper thread then plays the writer, so that such a
// fault fails the test instead of hanging it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QThread>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <atomic>
#include <new>
#include <thread>

#include "Arguments.h"
#include "Controls.h"
#include "MainScreenForm.h"
#include "ReaderApplication.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

// Opens the FIFO's other end once someone waits on it, after a grace time.
class FifoWatchdog {
 public:
  explicit FifoWatchdog(const QByteArray& path)
      : thread_([this, path] {
          for (int tries = 0; tries < 100 && !stop_; ++tries) QThread::msleep(20);
          while (!stop_) {
            const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
              ::close(fd);
              return;
            }
            QThread::msleep(20);
          }
        }) {}
  ~FifoWatchdog() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Throws as an allocation too large for the memory there is would.
class OutOfMemoryOnKey : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) throw std::bad_alloc();
    return false;
  }
};

}  // namespace

class FileOpenTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir;

  // A path of each kind, made in the test's folder.
  QString Made(const QString& kind) {
    const QString path = dir.filePath(kind);
    if (QFile::exists(path)) return path;
    if (kind == u"fifo"_s) {
      if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0) qFatal("no FIFO");
    } else if (kind == u"zero"_s) {
      QFile::link(u"/dev/zero"_s, path);
    }
    return path;
  }

  QString PathOf(const QString& kind) { return kind.startsWith(u'/') ? kind : Made(kind); }

 private slots:
  void initTestCase() { QVERIFY(dir.isValid()); }

  // Each way in, each kind of file that is not text: a message, the field as it was.
  void notRegularFiles_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    for (const QString& how : {u"command line"_s, u"open"_s, u"drop"_s}) {
      QTest::addRow("%s, FIFO", qPrintable(how)) << how << u"fifo"_s << u"not a regular file"_s;
      QTest::addRow("%s, /dev/zero", qPrintable(how)) << how << u"/dev/zero"_s << u"not a regular file"_s;
      QTest::addRow("%s, link to /dev/zero", qPrintable(how)) << how << u"zero"_s << u"not a regular file"_s;
      QTest::addRow("%s, folder", qPrintable(how)) << how << u"/"_s << u"is a folder"_s;
    }
  }
  void notRegularFiles() {
    QFETCH(QString, how);
    QFETCH(QString, kind);
    QFETCH(QString, why);
    const QString path = PathOf(kind);
    const FifoWatchdog watchdog(QFile::encodeName(Made(u"fifo"_s)));
    if (how == u"command line"_s) {
      const StartRequest got = ReadArguments({u"zendric"_s, path});
      QCOMPARE(got.What, StartRequest::Kind::Fail);
      QCOMPARE(got.ExitStatus, 2);
      QCOMPARE(got.Output, u"zendric: cannot read %1: %2\n"_s.arg(path, why));
      return;
    }
    TMainScreen w;
    w.show();
    w.ReplaceCode(u"ZN2.Dw Gm"_s);
    if (how == u"open"_s) {
      w.OpenFile(path);
    } else {
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(path)});
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      static_cast<QObject&>(w).event(&drop);
    }
    QCOMPARE(ReaderControls(w).meZendric->toPlainText(), u"ZN2.Dw Gm"_s);
    auto* box = w.findChild<QMessageBox*>(u"mbTell"_s);
    QVERIFY(box);
    QCOMPARE(box->text(), u"Cannot read %1: %2"_s.arg(path, why));
  }

  // Files in the encodings a mark names reach the field as text.
  void encodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("field");
    const QString code = u"ZN2.Dw Gm \u00e9"_s;
    QByteArray little("\xFF\xFE"), big("\xFE\xFF");
    for (const QChar ch : code) {
      little += char(ch.unicode() & 0xFF);
      little += char(ch.unicode() >> 8);
      big += char(ch.unicode() >> 8);
      big += char(ch.unicode() & 0xFF);
    }
    QTest::newRow("UTF-16LE") << little << code;
    QTest::newRow("UTF-16BE") << big << code;
    QTest::newRow("UTF-8 with a mark") << ("\xEF\xBB\xBF" + code.toUtf8()) << code;
    QTest::newRow("ill-formed UTF-8") << QByteArray("ZN2.Dw \xC3(") << u"ZN2.Dw \ufffd("_s;
  }
  void encodings() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, field);
    const QString path = dir.filePath(u"encoded.txt"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    TMainScreen w;
    w.OpenFile(path);
    QCOMPARE(ReaderControls(w).meZendric->toPlainText(), field);
    QCOMPARE(ReadArguments({u"zendric"_s, path}).Code, field);
  }

  // Memory that runs out while a key is handled: a message, and the field as it was.
  void outOfMemoryInAnEvent() {
    TMainScreen w;
    w.show();
    w.ReplaceCode(u"ZN2.Dw"_s);
    QPlainTextEdit* field = ReaderControls(w).meZendric;
    OutOfMemoryOnKey failing;
    field->installEventFilter(&failing);
    QTest::keyClick(field, Qt::Key_X);
    QCOMPARE(field->toPlainText(), u"ZN2.Dw"_s);
    const auto told = [] {
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == u"mbOutOfMemory"_s) return qobject_cast<QMessageBox*>(top);
        if (auto* box = top->findChild<QMessageBox*>(u"mbOutOfMemory"_s)) return box;
      }
      return static_cast<QMessageBox*>(nullptr);
    };
    QTRY_VERIFY(told() != nullptr);
    QVERIFY(told()->text().startsWith(u"There was not enough memory"_s));
    delete told();
    // The window goes on taking keys.
    field->removeEventFilter(&failing);
    QTest::keyClick(field, Qt::Key_X);
    QCOMPARE(field->toPlainText(), u"ZN2.Dwx"_s);
  }

  // A remembered geometry too small for the controls, or larger than the screen, gives
  // way to the first-start size.
  void corruptGeometry_data() {
    QTest::addColumn<QSize>("saved");
    QTest::addColumn<bool>("kept");
    QTest::newRow("cut off") << QSize(212, 98) << false;
    QTest::newRow("larger than the screen") << QSize(40000, 30000) << false;
    QTest::newRow("a size of the user's") << QSize(700, 500) << true;
  }
  void corruptGeometry() {
    QFETCH(QSize, saved);
    QFETCH(bool, kept);
    const QString file = dir.filePath(u"layout.conf"_s);
    QFile::remove(file);
    {
      TMainScreen before;
      before.resize(saved);
      QSettings(file, QSettings::IniFormat).setValue(u"window/geometry"_s, before.saveGeometry());
    }
    TMainScreen w;
    w.RememberLayoutIn(std::make_unique<QSettings>(file, QSettings::IniFormat));
    QCOMPARE(w.size(), kept ? saved : TMainScreen::FirstSize);
  }
};

int main(int argc, char** argv) {
  TReaderApplication application(argc, argv);
  FileOpenTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "file_open_test.moc"
