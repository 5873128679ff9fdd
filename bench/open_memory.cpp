// The reader window's resident memory after a large text is opened and its code read:
// a file (as Ctrl+O, a drop or the command line open it) or a paste of the file's
// text, then "Read this code" on the first code found, then the window left alone.
// On the offscreen platform.
//
//   build/bench/open_memory FILE            the file, then its text pasted
//   build/bench/open_memory FILE --file     the file only
//   build/bench/open_memory FILE --paste    the paste only
//   build/bench/open_memory --builder        a megabyte of "{" in the field, the builder
//                                           opened on it (Ctrl+N) and closed (Escape)
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "BuilderDialog.h"
#include "LargeTextPanel.h"
#include "MainScreenForm.h"
#include "ProcessMemory.h"

namespace {

double StatusMb(const char* key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(std::strlen(key))) / 1024.0;
  return -1;
}

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Until the search has ended, then the first code read.
void ReadFirstCode(zendric::TMainScreen& w) {
  auto* large = w.findChild<zendric::TLargeText*>(QStringLiteral("pnLarge"));
  while (large != nullptr && large->Progress() == zendric::TLargeText::State::Finding) QApplication::processEvents();
  if (auto* read = w.findChild<QPushButton*>(QStringLiteral("btnLargeRead")); read != nullptr && read->isEnabled()) read->click();
  Settle(500);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc < 2) {
    std::fprintf(stderr, "usage: open_memory FILE [--file|--paste]\n");
    return 2;
  }
  if (std::strcmp(argv[1], "--builder") == 0) {
    zendric::KeepFreedMemory();
    QApplication app(argc, argv);
    zendric::TMainScreen w;
    w.show();
    Settle(300);
    w.ReplaceCode(QStringLiteral("ZN2.Dw") + QString(1 << 20, u'{'));
    Settle(300);
    std::printf("megabyte of { read:        %7.1f MB resident\n", StatusMb("VmRSS:"));
    QAction* make = nullptr;
    for (QAction* a : w.findChildren<QAction*>())
      if (a->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_N)) make = a;
    if (make == nullptr) return 1;
    double open = 0;
    QTimer::singleShot(0, [&] {
      open = StatusMb("VmRSS:");
      if (auto* d = w.findChild<zendric::TBuilderDialog*>()) d->reject();
    });
    make->trigger();
    Settle(300);
    std::printf("builder open:              %7.1f MB resident\n", open);
    std::printf("builder closed:            %7.1f MB resident, %7.1f MB peak\n", StatusMb("VmRSS:"), StatusMb("VmHWM:"));
    return 0;
  }
  const QString path = QString::fromLocal8Bit(argv[1]);
  const bool file = argc < 3 || std::strcmp(argv[2], "--paste") != 0;
  const bool paste = argc < 3 || std::strcmp(argv[2], "--file") != 0;
  zendric::KeepFreedMemory();
  QApplication app(argc, argv);
  zendric::TMainScreen w;
  w.show();
  Settle(300);
  std::printf("started:            %7.1f MB resident\n", StatusMb("VmRSS:"));
  if (file) {
    w.OpenFile(path);
    ReadFirstCode(w);
    std::printf("file opened:        %7.1f MB resident, %7.1f MB peak, field %lld characters\n", StatusMb("VmRSS:"),
                StatusMb("VmHWM:"), static_cast<long long>(w.findChild<QPlainTextEdit*>()->toPlainText().size()));
  }
  if (paste) {
    {
      QFile in(path);
      if (!in.open(QIODevice::ReadOnly)) return 1;
      QApplication::clipboard()->setText(QString::fromUtf8(in.readAll()));
    }
    for (auto* field : w.findChildren<QPlainTextEdit*>())
      if (field->objectName() == QStringLiteral("meZendric")) {
        field->selectAll();
        field->paste();
      }
    QApplication::clipboard()->clear();
    ReadFirstCode(w);
    std::printf("pasted, clipboard cleared: %7.1f MB resident, %7.1f MB peak\n", StatusMb("VmRSS:"), StatusMb("VmHWM:"));
  }
  return 0;
}
