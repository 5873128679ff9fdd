// Figures for the builder window opening a code (Ctrl+N): the processor time from
// Open until the dialog has shown and laid out its first page, then that of closing it
// again, for the worst cases of the reader window at several sizes and a realistic
// code, and that of a key typed at the end of the long kept item's field (none where
// the page shows no such field). On the offscreen platform; one line per case.
//
//   build/bench/builder_bench                       every case at 64 KB, 256 KB and 1 MB
//   build/bench/builder_bench --sizes=65536,262144  other sizes, in bytes
//   build/bench/builder_bench --filter=brace        only the cases whose name holds it
//   build/bench/builder_bench --runs=N              the least of N opens (3 by default):
//                                                   the machine is shared
#include <QApplication>
#include <QListWidget>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BenchCodes.h"
#include "BuilderDialog.h"
#include "ProcessMemory.h"

namespace {

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

struct Case {
  const char* name;
  std::function<std::string(std::size_t)> make;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::vector<std::size_t> sizes = {64 * 1024, 256 * 1024, 1024 * 1024};
  std::string filter;
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--sizes=", 8) == 0) {
      sizes.clear();
      for (const char* p = argv[i] + 8; *p != '\0';) {
        char* end = nullptr;
        sizes.push_back(std::strtoull(p, &end, 10));
        p = *end == ',' ? end + 1 : end;
      }
    } else if (std::strncmp(argv[i], "--runs=", 7) == 0) {
      runs = std::max(1, std::atoi(argv[i] + 7));
    } else if (std::strncmp(argv[i], "--filter=", 9) == 0) {
      filter = argv[i] + 9;
    }
  }
  zendric::KeepFreedMemory();
  QApplication app(argc, argv);
  using zendric::bench::RunOf;
  const std::vector<Case> cases = {
      {"brace run", [](std::size_t n) { return RunOf('{', n); }},
      {"quote run", [](std::size_t n) { return RunOf('"', n); }},
      {"NUL run", [](std::size_t n) { return RunOf('\0', n); }},
      {"random bytes", [](std::size_t n) { return zendric::bench::RandomBytes(n); }},
      {"stray letters", [](std::size_t n) { return "ZN2.Dw " + std::string(n - 7, 'x'); }},
      {"realistic", [](std::size_t n) { return zendric::bench::RepeatTo(n); }},
  };
  // One dialog for every open, as the reader window keeps one.
  zendric::TBuilderDialog dialog;
  dialog.resize(820, 660);
  for (const Case& c : cases) {
    if (!filter.empty() && std::string(c.name).find(filter) == std::string::npos) continue;
    for (std::size_t size : sizes) {
      const std::string code = c.make(size);
      const QString field = QString::fromUtf8(code.data(), static_cast<qsizetype>(code.size()));
      // The window has read its field before the builder opens, and hands that over.
      const zendric::FieldModel read(field.toStdU16String());
      double open = 1e9, close = 1e9, key = 1e9;
      for (int run = 0; run < runs; ++run) {
        const double start = CpuSeconds();
        dialog.Open(field, -1, &read);
        dialog.show();
        Settle();
        double opened = CpuSeconds();
        open = std::min(open, opened - start);
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lbItems"));
        list->setCurrentRow(list->count() - 1);
        Settle();
        if (auto* kept = dialog.findChild<QPlainTextEdit*>(QStringLiteral("As written"))) {
          kept->setFocus();
          kept->moveCursor(QTextCursor::End);
          Settle();
          const double before = CpuSeconds();
          QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
          QApplication::sendEvent(kept, &press);
          Settle();
          key = std::min(key, CpuSeconds() - before);
        }
        opened = CpuSeconds();
        dialog.hide();
        dialog.Open(QString());
        Settle();
        close = std::min(close, CpuSeconds() - opened);
      }
      const auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lbItems"));
      std::printf("%-14s %8zu bytes: open %8.1f ms, close %8.1f ms, key %8.1f ms (processor time; %d items after close)\n",
                  c.name, code.size(), open * 1e3, close * 1e3, key < 1e9 ? key * 1e3 : 0.0, list != nullptr ? list->count() : -1);
      std::fflush(stdout);
    }
  }
  return 0;
}
