// Figures for the reader window. On the offscreen platform, for one change of the edit
// field: "handling", from the field's change notification until the result column and
// the error list are rebuilt, and "to painted", from the edit itself (the field's own
// layout of the change included) until the window has painted the result. Then the
// real program's start-up under a private virtual X server (Xvfb): from starting the
// process until its window is mapped, and its resident memory half a second later.
//
//   build/bench/window_bench                   all of it
//   build/bench/window_bench --no-startup      the window figures only
//   build/bench/window_bench --startup-only    start-up and memory only
//   build/bench/window_bench --startup-runs=N  starts of the program (5 by default)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "BenchCodes.h"
#include "BenchOutput.h"
#include "MainScreenForm.h"
#include "ProcessMemory.h"

#ifdef ZENDRIC_HAVE_XCB
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <fstream>

extern char** environ;
#endif

namespace {

using Clock = std::chrono::steady_clock;
using zendric::bench::Realistic;
using zendric::bench::RepeatTo;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The window being measured, and when its last change was noticed and finished.
class WindowProbe {
 public:
  WindowProbe() {
    window.show();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    // The document tells of a change as soon as it is made; the field then lays it out
    // and passes it on to the window, so handling includes the field's own layout of
    // the changed paragraph (for a long code in one paragraph, most of the time: see
    // BareField).
    QObject::connect(field->document(), &QTextDocument::contentsChange, [this] {
      if (!noticed) start = Clock::now();
      noticed = true;
    });
    // Connected after the window's own handler, so it runs when that has returned; the
    // window's line splitting raises nested notifications, and the outermost ends last.
    QObject::connect(field, &QPlainTextEdit::textChanged, [this] { end = Clock::now(); });
  }

  // Makes `edit` and paints; returns the handling time and adds the time to painted.
  double Change(const std::function<void()>& edit, double& toPainted) {
    noticed = false;
    const auto before = Clock::now();
    edit();
    const double handling = noticed ? Seconds(end - start) : 0.0;
    QApplication::processEvents();
    toPainted += Seconds(Clock::now() - before);
    return handling;
  }

  zendric::TMainScreen window;
  // The window keeps its widgets to itself; the benchmark finds them by name.
  QPlainTextEdit* const field = window.findChild<QPlainTextEdit*>(QStringLiteral("meZendric"));
  QScrollArea* const column = window.findChild<QScrollArea*>(QStringLiteral("sbCodeList"));

 private:
  bool noticed = false;
  Clock::time_point start, end;
};

void Report(benchmark::State& state, double toPainted) {
  state.counters["to_painted_ms"] = benchmark::Counter(toPainted * 1e3, benchmark::Counter::kAvgIterations);
}

// One key at the end of `code`: a letter, then Backspace, and again.
void Keystroke(benchmark::State& state, WindowProbe* probe, const std::string* code) {
  QPlainTextEdit* field = probe->field;
  field->setPlainText(QString::fromStdString(*code));
  while (!probe->window.ResultColumn().AllMeasured()) QApplication::processEvents();
  double toPainted = 0;
  bool typed = false;
  for (auto _ : state) {
    const double handling = probe->Change([&] {
      QTextCursor cursor(field->document());
      cursor.movePosition(QTextCursor::End);
      if (typed) cursor.deletePreviousChar();
      else cursor.insertText(QStringLiteral("x"));
    }, toPainted);
    typed = !typed;
    state.SetIterationTime(handling);
  }
  Report(state, toPainted);
}

// The same keystrokes in a lone edit field set up like the window's and holding the
// same text: what the field's own layout costs, apart from the reading and the rebuild.
void BareField(benchmark::State& state, WindowProbe* probe, const std::string* code) {
  QPlainTextEdit* model = probe->field;
  QPlainTextEdit field;
  field.setFont(model->font());
  field.setLineWrapMode(model->lineWrapMode());
  field.setWordWrapMode(model->wordWrapMode());
  field.setVerticalScrollBarPolicy(model->verticalScrollBarPolicy());
  field.resize(model->size());
  field.setPlainText(QString::fromStdString(*code));
  field.setWordWrapMode(model->wordWrapMode());
  field.show();
  QApplication::processEvents();
  double toPainted = 0;
  bool typed = false;
  for (auto _ : state) {
    const auto before = Clock::now();
    QTextCursor cursor(field.document());
    cursor.movePosition(QTextCursor::End);
    if (typed) cursor.deletePreviousChar();
    else cursor.insertText(QStringLiteral("x"));
    typed = !typed;
    state.SetIterationTime(Seconds(Clock::now() - before));
    QApplication::processEvents();
    toPainted += Seconds(Clock::now() - before);
  }
  Report(state, toPainted);
}

// A paste of `code` into the empty field, as Ctrl+V does it.
void Paste(benchmark::State& state, WindowProbe* probe, const std::string* code) {
  QPlainTextEdit* field = probe->field;
  field->clear();
  QApplication::clipboard()->setText(QString::fromStdString(*code));
  QApplication::processEvents();
  double toPainted = 0;
  for (auto _ : state) {
    state.SetIterationTime(probe->Change([&] { field->paste(); }, toPainted));
    field->clear();
    QApplication::processEvents();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * code->size()));
  Report(state, toPainted);
}

// A page down in the column of a megabyte's reading, back to the top at the end.
void PageDown(benchmark::State& state, WindowProbe* probe, const std::string* code) {
  probe->field->setPlainText(QString::fromStdString(*code));
  while (!probe->window.ResultColumn().AllMeasured()) QApplication::processEvents();
  QScrollBar* bar = probe->column->verticalScrollBar();
  double toPainted = 0;
  for (auto _ : state) {
    const auto before = Clock::now();
    bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
    state.SetIterationTime(Seconds(Clock::now() - before));
    QApplication::processEvents();
    toPainted += Seconds(Clock::now() - before);
  }
  Report(state, toPainted);
  probe->field->clear();
}

// Keeps the median of each benchmark for the table printed at the end.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;
  struct Figure {
    double handling = 0, toPainted = 0;  // seconds
  };
  std::map<std::string, Figure> figures;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      Figure& f = figures[run.run_name.function_name];
      f.handling = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      const auto counter = run.counters.find("to_painted_ms");
      if (counter != run.counters.end()) f.toPainted = counter->second.value / 1e3;
    }
  }
};

struct StartUp {
  double seconds = 0;
  double residentMb = 0;
};

#ifdef ZENDRIC_HAVE_XCB

// Starts `argv[0]` (looked up in PATH) with `env`, its output thrown away; -1 if it
// cannot. A spawn, not a fork: this process has Qt's threads, and a forked child must
// not take a lock one of them may hold.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  std::vector<char*> args, vars;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  for (const std::string& v : env) vars.push_back(const_cast<char*>(v.c_str()));
  args.push_back(nullptr);
  vars.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), vars.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// This process's environment with `drop` left out and `add` put in.
std::vector<std::string> Environment(const std::vector<std::string>& drop, const std::vector<std::string>& add) {
  std::vector<std::string> env;
  for (char** v = environ; *v; ++v) {
    const std::string var = *v;
    const std::string name = var.substr(0, var.find('='));
    if (std::find(drop.begin(), drop.end(), name) == drop.end()) env.push_back(var);
  }
  env.insert(env.end(), add.begin(), add.end());
  return env;
}

// A private X server for as long as the object lives.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    int ready[2];
    if (pipe(ready) != 0) return;
    server = Spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
                   Environment({}, {}));
    close(ready[1]);
    std::string number;
    char ch;
    while (server > 0 && read(ready[0], &ch, 1) == 1 && ch != '\n') number += ch;  // written once it listens
    close(ready[0]);
    if (!number.empty()) name = ":" + number;
  }
  ~VirtualDisplay() {
    if (server > 0) {
      kill(server, SIGTERM);
      waitpid(server, nullptr, 0);
    }
  }
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  std::string name;  // empty when no server could be started

 private:
  pid_t server = -1;
};

double ResidentMb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  double kb = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> kb;
      break;
    }
    status.ignore(1 << 12, '\n');
  }
  return kb / 1024;
}

std::string WindowName(xcb_connection_t* x, xcb_window_t window) {
  const auto cookie = xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 64);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(x, cookie, nullptr);
  if (!reply) return {};
  std::string name(static_cast<const char*>(xcb_get_property_value(reply)),
                   static_cast<std::size_t>(xcb_get_property_value_length(reply)));
  free(reply);
  return name;
}

// Starts `program` on `display` and waits until its main window is mapped.
std::optional<StartUp> StartOnce(const std::string& display, const char* program) {
  xcb_connection_t* x = xcb_connect(display.c_str(), nullptr);
  if (xcb_connection_has_error(x)) {
    xcb_disconnect(x);
    return std::nullopt;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;  // maps of top-level windows
  xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
  free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));  // the server has it

  const std::vector<std::string> env =
      Environment({"DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY"}, {"DISPLAY=" + display});
  const auto start = Clock::now();
  const pid_t app = Spawn({program}, env);
  if (app < 0) {
    xcb_disconnect(x);
    return std::nullopt;
  }
  std::optional<StartUp> result;
  const auto deadline = start + std::chrono::seconds(20);
  while (!result && Clock::now() < deadline && waitpid(app, nullptr, WNOHANG) == 0) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
      if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !result) {
        const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
        if (WindowName(x, map->window) == "Zendric 2 reader") result = StartUp{Seconds(Clock::now() - start), 0};
      }
      free(event);
    }
    pollfd ready{xcb_get_file_descriptor(x), POLLIN, 0};
    if (!result) poll(&ready, 1, 50);
  }
  if (result) {
    usleep(500 * 1000);  // the first paint and whatever follows it
    result->residentMb = ResidentMb(app);
  }
  kill(app, SIGTERM);
  waitpid(app, nullptr, 0);
  xcb_disconnect(x);
  return result;
}

#endif

// Medians of `runs` starts, or nothing (and why) when the program cannot be started.
std::optional<StartUp> MeasureStartUp(int runs, std::string& why) {
#ifdef ZENDRIC_HAVE_XCB
  if (access(ZENDRIC_PROGRAM, X_OK) != 0) {
    why = "no program at " ZENDRIC_PROGRAM;
    return std::nullopt;
  }
  VirtualDisplay display;
  if (display.name.empty()) {
    why = "Xvfb could not be started";
    return std::nullopt;
  }
  std::vector<double> times, memory;
  for (int i = 0; i < runs; ++i) {
    const auto once = StartOnce(display.name, ZENDRIC_PROGRAM);
    if (!once) {
      why = "the window did not show on " + display.name;
      return std::nullopt;
    }
    times.push_back(once->seconds);
    memory.push_back(once->residentMb);
  }
  const auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  return StartUp{median(times), median(memory)};
#else
  (void)runs;
  why = "built without the X client library";
  return std::nullopt;
#endif
}

bool TakeFlag(int& argc, char** argv, const char* flag, std::string* value = nullptr) {
  const std::size_t length = std::strlen(flag);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], flag, length) != 0) continue;
    if (value) *value = argv[i] + length;
    std::copy(argv + i + 1, argv + argc, argv + i);
    --argc;
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const bool startUpOnly = TakeFlag(argc, argv, "--startup-only");
  const bool noStartUp = TakeFlag(argc, argv, "--no-startup");
  std::string runsText;
  const int runs = TakeFlag(argc, argv, "--startup-runs=", &runsText) ? std::max(1, std::atoi(runsText.c_str())) : 5;

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The offscreen platform says so for every window it cannot hint a size for.
  static QtMessageHandler qtsOwn = nullptr;
  qtsOwn = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QStringLiteral("propagateSizeHints"))) qtsOwn(type, context, message);
  });
  zendric::KeepFreedMemory();  // as the program does
  QApplication application(argc, argv);
  MedianReporter reporter(zendric::bench::TableOptions(argc, argv));
  benchmark::Initialize(&argc, argv);

  const std::string long10k = RepeatTo(10 * 1024);
  const std::string long1m = RepeatTo(1024 * 1024);
  const std::string stray1m = "ZN2. " + std::string(1024 * 1024, 'x');
  if (!startUpOnly) {
    WindowProbe probe;
    const auto timed = [](benchmark::internal::Benchmark* b) { return b->UseManualTime()->Unit(benchmark::kMillisecond); };
    timed(benchmark::RegisterBenchmark("Keystroke/realistic", Keystroke, &probe, &Realistic));
    timed(benchmark::RegisterBenchmark("Keystroke/1m", Keystroke, &probe, &long1m))->Iterations(10);
    timed(benchmark::RegisterBenchmark("BareField/1m", BareField, &probe, &long1m))->Iterations(10);
    timed(benchmark::RegisterBenchmark("Paste/10k", Paste, &probe, &long10k));
    timed(benchmark::RegisterBenchmark("Paste/1m", Paste, &probe, &long1m))->Iterations(2);
    timed(benchmark::RegisterBenchmark("Paste/1m_stray", Paste, &probe, &stray1m))->Iterations(2);
    timed(benchmark::RegisterBenchmark("PageDown/1m", PageDown, &probe, &long1m));
    benchmark::RunSpecifiedBenchmarks(&reporter);
  }
  benchmark::Shutdown();

  std::string why;
  const std::optional<StartUp> start = noStartUp ? std::nullopt : MeasureStartUp(runs, why);

  struct Row {
    const char* label;
    const char* name;
    const char* target;
  };
  const Row rows[] = {{"keystroke (~300 B)", "Keystroke/realistic", "3 ms"},
                      {"keystroke in 1 MB", "Keystroke/1m", "-"},
                      {"  the field alone", "BareField/1m", "-"},
                      {"paste 10 KB", "Paste/10k", "100 ms"},
                      {"paste 1 MB of items", "Paste/1m", "-"},
                      {"paste 1 MB stray chars", "Paste/1m_stray", "-"},
                      {"page down, 1 MB column", "PageDown/1m", "-"}};
  auto& f = reporter.figures;
  const auto handling = [&](const char* name) { return f.count(name) ? f[name].handling * 1e3 : -1.0; };
  if (!f.empty()) {
    std::printf("\n%-24s %12s %14s %8s\n", "change", "handling ms", "to painted ms", "target");
    for (const Row& r : rows)
      if (f.count(r.name))
        std::printf("%-24s %12.2f %14.2f %8s\n", r.label, f[r.name].handling * 1e3, f[r.name].toPainted * 1e3, r.target);
  }
  if (start) {
    std::printf("%-24s %12.0f %14s %8s\n", "start-up to window ms", start->seconds * 1e3, "", "300 ms");
    std::printf("%-24s %12.1f %14s %8s\n", "resident memory MB", start->residentMb, "", "60 MB");
  } else if (!noStartUp) {
    std::printf("start-up not measured: %s\n", why.c_str());
  }
  std::string summary;
  char part[200];
  if (!f.empty()) {
    std::snprintf(part, sizeof part, " keystroke %.2f ms (target 3), 10 KB paste %.1f ms (target 100), 1 MB paste %.0f ms, 1 MB stray %.0f ms, keystroke in 1 MB %.0f ms,",
                  handling("Keystroke/realistic"), handling("Paste/10k"), handling("Paste/1m"), handling("Paste/1m_stray"), handling("Keystroke/1m"));
    summary += part;
  }
  if (start) {
    std::snprintf(part, sizeof part, " start-up %.0f ms (target 300), memory %.1f MB (target 60),", start->seconds * 1e3,
                  start->residentMb);
    summary += part;
  }
  if (!summary.empty()) std::printf("summary:%s\n", summary.substr(0, summary.size() - 1).c_str());
  return 0;
}
