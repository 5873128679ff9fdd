// Figures for the reader window. On the offscreen platform, for one change of the edit
// field: "handling", from the field's change notification until the result column and
// the error list are rebuilt, and "to painted", from the edit itself (the field's own
// layout of the change included) until the window has painted the result. Then the
// real program's start-up under a private virtual X server (Xvfb): from starting the
// process until its window is mapped, and its resident memory half a second later. And
// the real program given pastes of a megabyte: Ctrl+V (from a copy of this program
// holding the clipboard) and a key are timed until the program stops using CPU, then
// the CPU it uses while left alone, and its memory with the code and once cleared.
//
//   build/bench/window_bench                   all of it
//   build/bench/window_bench --no-startup      the offscreen figures only
//   build/bench/window_bench --startup-only    start-up and memory only
//   build/bench/window_bench --startup-runs=N  starts of the program (5 by default)
//   build/bench/window_bench --real-only       the real program's pastes only
//   build/bench/window_bench --no-real         all but those
//   build/bench/window_bench --real-filter=T   only the pastes whose label holds T
//   build/bench/window_bench --idle-seconds=S  idle time after each paste (10 by default)
//   build/bench/window_bench --program=PATH    another build of the program
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
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
#include <iterator>
#include <sstream>
#include <thread>

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
  // The field cuts a long line it was given whole into pieces on the next turn of the
  // event loop, and reads the code again.
  QApplication::processEvents();
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

double StatusMb(const char* key) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  double kb = 0;
  const std::size_t length = std::strlen(key);
  while (std::fgets(line, sizeof line, status))
    if (std::strncmp(line, key, length) == 0) kb = std::atof(line + length);
  std::fclose(status);
  return kb / 1024;
}

// A file opened as Ctrl+O opens it, until its codes are listed and painted: a text too
// large for the field is read in pieces, and the window's panel for it says "Found"
// when done (a window without that panel puts the text in the field at once). With
// the peak of resident memory above what it was before, the kernel's peak reset first.
void OpenLarge(benchmark::State& state, WindowProbe* probe, const std::string* path) {
  double toPainted = 0, peakMb = 0;
  for (auto _ : state) {
    probe->field->setPlainText(QStringLiteral("keep me"));
    QApplication::processEvents();
    zendric::GiveBackFreedMemory();
    if (std::FILE* reset = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", reset);
      std::fclose(reset);
    }
    const double before = StatusMb("VmRSS:");
    const auto start = Clock::now();
    probe->window.OpenFile(QString::fromStdString(*path));
    const auto* heading = probe->window.findChild<QLabel*>(QStringLiteral("lbLargeHeading"));
    while (heading && !heading->text().startsWith(QStringLiteral("Found"))) QApplication::processEvents();
    QApplication::processEvents();
    const double seconds = Seconds(Clock::now() - start);
    state.SetIterationTime(seconds);
    toPainted += seconds;
    peakMb = std::max(peakMb, StatusMb("VmHWM:") - before);
  }
  state.counters["peak_mb_above_start"] = peakMb;
  Report(state, toPainted);
  probe->field->clear();
  QApplication::processEvents();
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

// A started program and its main window, once mapped.
struct Launched {
  pid_t pid = -1;
  xcb_window_t window = 0;
  double seconds = 0;  // from the start until the window was mapped
};

// Starts `program` on `display` and waits until its main window is mapped; the caller
// ends the process.
std::optional<Launched> Launch(const std::string& display, const char* program) {
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
  Launched app;
  app.pid = Spawn({program}, env);
  if (app.pid < 0) {
    xcb_disconnect(x);
    return std::nullopt;
  }
  bool mapped = false;
  const auto deadline = start + std::chrono::seconds(20);
  while (!mapped && Clock::now() < deadline && waitpid(app.pid, nullptr, WNOHANG) == 0) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
      if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !mapped) {
        const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
        if (WindowName(x, map->window) == "Zendric 2 reader") {
          app.seconds = Seconds(Clock::now() - start);
          app.window = map->window;
          mapped = true;
        }
      }
      free(event);
    }
    pollfd ready{xcb_get_file_descriptor(x), POLLIN, 0};
    if (!mapped) poll(&ready, 1, 50);
  }
  xcb_disconnect(x);
  if (mapped) return app;
  kill(app.pid, SIGTERM);
  waitpid(app.pid, nullptr, 0);
  return std::nullopt;
}

void End(pid_t pid) {
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

std::optional<StartUp> StartOnce(const std::string& display, const char* program) {
  const std::optional<Launched> app = Launch(display, program);
  if (!app) return std::nullopt;
  usleep(500 * 1000);  // the first paint and whatever follows it
  const StartUp result{app->seconds, ResidentMb(app->pid)};
  End(app->pid);
  return result;
}

// CPU time (user and system) the process `pid` has used, in seconds.
double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t after = text.rfind(')');  // the name may hold blanks
  if (after == std::string::npos) return 0;
  std::istringstream fields(text.substr(after + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i == 14 || i == 15) ticks += std::stod(field);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Waits until `pid` has used no CPU for a while; returns when it last did, from `since`.
double UntilQuiet(pid_t pid, Clock::time_point since) {
  constexpr auto step = std::chrono::milliseconds(50);
  constexpr int quietSteps = 8;  // 400 ms without a clock tick of work
  auto lastBusy = since;
  double cpu = CpuSeconds(pid);
  int quiet = 0;
  while (quiet < quietSteps && Clock::now() - since < std::chrono::seconds(300)) {
    std::this_thread::sleep_for(step);
    const double now = CpuSeconds(pid);
    if (now > cpu) {
      lastBusy = Clock::now();
      quiet = 0;
    } else {
      ++quiet;
    }
    cpu = now;
  }
  return Seconds(lastBusy - since);
}

void RunXdotool(const std::string& display, const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  const pid_t tool = Spawn(argv, Environment({"DISPLAY"}, {"DISPLAY=" + display}));
  if (tool > 0) waitpid(tool, nullptr, 0);
}

// This program again, holding `file`'s text on the display's clipboard until ended.
pid_t HoldClipboard(const std::string& display, const std::string& file) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t holder = Spawn({"/proc/self/exe", "--hold-clipboard=" + file, "--ready-fd=" + std::to_string(ready[1])},
                             Environment({"DISPLAY", "QT_QPA_PLATFORM"}, {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"}));
  close(ready[1]);
  char ch = 0;
  if (holder > 0 && read(ready[0], &ch, 1) != 1) {
    End(holder);
    close(ready[0]);
    return -1;
  }
  close(ready[0]);
  return holder;
}

// What the real program does with one pasted code, under the virtual display.
struct RealFigures {
  double pasteSeconds = 0;     // from Ctrl+V until the program stops working
  double pasteCpuSeconds = 0;  // and the CPU it used meanwhile
  double keySeconds = 0;       // from a key until the program stops working
  double keyCpuSeconds = 0;
  double idleCpuSeconds = 0;   // CPU used in the idle time after the paste
  double pastedMb = 0;         // resident memory with the code shown
  double restingMb = 0;        // and after the idle time
  double keyedMb = 0;          // and after the key
  double clearedMb = 0;        // and after the field was cleared
};

std::optional<RealFigures> MeasureRealPaste(const std::string& display, const Launched& app, const std::string& code,
                                            double idleSeconds) {
  char path[] = "/tmp/window_bench_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return std::nullopt;
  const bool written = write(fd, code.data(), code.size()) == static_cast<ssize_t>(code.size());
  close(fd);
  const pid_t holder = written ? HoldClipboard(display, path) : -1;
  unlink(path);
  if (holder < 0) return std::nullopt;

  const std::string window = std::to_string(app.window);
  RunXdotool(display, {"mousemove", "--window", window, "100", "20", "click", "1"});  // into the field
  UntilQuiet(app.pid, Clock::now());
  RealFigures f;
  const double startMb = ResidentMb(app.pid);
  double cpu = CpuSeconds(app.pid);
  auto start = Clock::now();
  RunXdotool(display, {"key", "ctrl+v"});
  f.pasteSeconds = UntilQuiet(app.pid, start);
  f.pasteCpuSeconds = CpuSeconds(app.pid) - cpu;
  f.pastedMb = ResidentMb(app.pid);
  if (f.pastedMb - startMb < 2) {  // the transfer timed out on a busy machine: nothing came
    End(holder);
    return std::nullopt;
  }
  cpu = CpuSeconds(app.pid);
  std::this_thread::sleep_for(std::chrono::duration<double>(idleSeconds));
  f.idleCpuSeconds = CpuSeconds(app.pid) - cpu;
  f.restingMb = ResidentMb(app.pid);
  cpu = CpuSeconds(app.pid);
  start = Clock::now();
  RunXdotool(display, {"key", "x"});
  f.keySeconds = UntilQuiet(app.pid, start);
  f.keyCpuSeconds = CpuSeconds(app.pid) - cpu;
  f.keyedMb = ResidentMb(app.pid);
  RunXdotool(display, {"key", "ctrl+a", "Delete"});
  UntilQuiet(app.pid, Clock::now());
  f.clearedMb = ResidentMb(app.pid);
  End(holder);
  return f;
}

#endif

#ifdef ZENDRIC_HAVE_XCB
// The clipboard holder's whole life: the file's text on the clipboard, a byte to
// `readyFd` once it is there, then serving it until ended.
int HoldClipboardMain(int argc, char** argv, const std::string& file, int readyFd) {
  QApplication application(argc, argv);
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  QApplication::clipboard()->setText(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
  QApplication::processEvents();
  if (write(readyFd, "1", 1) != 1) return 1;
  close(readyFd);
  return QApplication::exec();
}
#endif

// Medians of `runs` starts, or nothing (and why) when the program cannot be started.
std::optional<StartUp> MeasureStartUp(int runs, const char* program, std::string& why) {
#ifdef ZENDRIC_HAVE_XCB
  if (access(program, X_OK) != 0) {
    why = std::string("no program at ") + program;
    return std::nullopt;
  }
  VirtualDisplay display;
  if (display.name.empty()) {
    why = "Xvfb could not be started";
    return std::nullopt;
  }
  std::vector<double> times, memory;
  for (int i = 0; i < runs; ++i) {
    const auto once = StartOnce(display.name, program);
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
  (void)program;
  why = "built without the X client library";
  return std::nullopt;
#endif
}

struct NamedCode {
  const char* label;
  const std::string* code;
};

// The real program under a virtual display: each code pasted, left alone, a key
// typed, the field cleared. Prints a table; says why when it cannot.
void MeasureRealPastes(const char* program, const std::vector<NamedCode>& codes, double idleSeconds,
                       const std::string& only) {
#ifdef ZENDRIC_HAVE_XCB
  VirtualDisplay display;
  if (display.name.empty()) {
    std::printf("real pastes not measured: Xvfb could not be started\n");
    return;
  }
  std::printf("\nthe real program (%s), started afresh for each paste; idle CPU over %.0f s after it\n", program,
              idleSeconds);
  std::printf("(s: until it stops working; CPU s: what it used meanwhile)\n");
  std::printf("(MB resident: at start, with the code shown, after the idle time, after the key, cleared)\n");
  std::printf("%-20s %8s %8s %8s %8s %8s %9s %9s %8s %8s %10s\n", "paste", "paste s", "CPU s", "key s", "CPU s",
              "idle CPU", "start MB", "shown MB", "idle MB", "key MB", "cleared MB");
  for (const NamedCode& c : codes) {
    if (std::string(c.label).find(only) == std::string::npos) continue;
    std::optional<RealFigures> f;
    double startMb = 0;
    for (int attempt = 0; attempt < 3 && !f; ++attempt) {
      const std::optional<Launched> app = Launch(display.name, program);
      if (!app) break;
      UntilQuiet(app->pid, Clock::now());
      startMb = ResidentMb(app->pid);
      f = MeasureRealPaste(display.name, *app, *c.code, idleSeconds);
      End(app->pid);
    }
    if (!f) {
      std::printf("%-20s not measured: the program did not start, or no paste reached it\n", c.label);
      continue;
    }
    std::printf("%-20s %8.2f %8.2f %8.2f %8.2f %8.2f %9.1f %9.1f %8.1f %8.1f %10.1f\n", c.label, f->pasteSeconds,
                f->pasteCpuSeconds, f->keySeconds, f->keyCpuSeconds, f->idleCpuSeconds, startMb, f->pastedMb, f->restingMb,
                f->keyedMb, f->clearedMb);
    std::fflush(stdout);
  }
#else
  (void)program;
  (void)codes;
  (void)idleSeconds;
  (void)only;
  std::printf("real pastes not measured: built without the X client library\n");
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
#ifdef ZENDRIC_HAVE_XCB
  std::string holdFile, readyFd;
  if (TakeFlag(argc, argv, "--hold-clipboard=", &holdFile) && TakeFlag(argc, argv, "--ready-fd=", &readyFd))
    return HoldClipboardMain(argc, argv, holdFile, std::atoi(readyFd.c_str()));
#endif
  std::string program = ZENDRIC_PROGRAM, idleText;
  TakeFlag(argc, argv, "--program=", &program);
  const double idleSeconds = TakeFlag(argc, argv, "--idle-seconds=", &idleText) ? std::atof(idleText.c_str()) : 10.0;
  const bool realOnly = TakeFlag(argc, argv, "--real-only");
  std::string realFilter;
  TakeFlag(argc, argv, "--real-filter=", &realFilter);
  const bool noReal = TakeFlag(argc, argv, "--no-real");
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
  const std::string brace1m = zendric::bench::RunOf('{', 1000000);
  const std::string quote1m = zendric::bench::RunOf('"', 1000000);
  const std::string nul1m = zendric::bench::RunOf('\0', 1000000);
  const std::string random1m = zendric::bench::RandomBytes(1000000);
  if (!startUpOnly && !realOnly) {
    WindowProbe probe;
    const auto timed = [](benchmark::internal::Benchmark* b) { return b->UseManualTime()->Unit(benchmark::kMillisecond); };
    timed(benchmark::RegisterBenchmark("Keystroke/realistic", Keystroke, &probe, &Realistic));
    timed(benchmark::RegisterBenchmark("Keystroke/1m", Keystroke, &probe, &long1m))->Iterations(10);
    timed(benchmark::RegisterBenchmark("BareField/1m", BareField, &probe, &long1m))->Iterations(10);
    timed(benchmark::RegisterBenchmark("Paste/10k", Paste, &probe, &long10k));
    timed(benchmark::RegisterBenchmark("Paste/1m", Paste, &probe, &long1m))->Iterations(2);
    timed(benchmark::RegisterBenchmark("Paste/1m_stray", Paste, &probe, &stray1m))->Iterations(2);
    timed(benchmark::RegisterBenchmark("PageDown/1m", PageDown, &probe, &long1m));
    const std::pair<const char*, const std::string*> worst[] = {
        {"1m_brace", &brace1m}, {"1m_quote", &quote1m}, {"1m_nul", &nul1m}, {"1m_random", &random1m}};
    for (const auto& [name, code] : worst) {
      timed(benchmark::RegisterBenchmark((std::string("Paste/") + name).c_str(), Paste, &probe, code))->Iterations(1);
      timed(benchmark::RegisterBenchmark((std::string("Keystroke/") + name).c_str(), Keystroke, &probe, code))->Iterations(4);
    }
    // A field of 20 000 codes, one a line (under the field's limit), and a 50 MB log
    // with 3 codes in it.
    std::string codes20k;
    for (int i = 0; i < 20000; ++i) codes20k += "ZN2.Dw Gm L" + std::to_string(i % 90 + 10) + "m W+ Cbl+\n";
    codes20k.pop_back();
    timed(benchmark::RegisterBenchmark("Keystroke/20k_codes", Keystroke, &probe, &codes20k))->Iterations(4);
    const std::string log50m = "/tmp/window_bench_log50m.txt";
    {
      std::FILE* log = std::fopen(log50m.c_str(), "wb");
      const std::string prose = "2026-12-09 06:00:00 nothing to read in this line of a long log, only words\n";
      for (int part = 0; part < 3 && log; ++part) {
        std::fputs(("here is mine: ZN2.Dw Gm L" + std::to_string(part + 4) + "m\n").c_str(), log);
        for (std::size_t written = 0; written < (std::size_t{50} << 20) / 3; written += prose.size())
          std::fputs(prose.c_str(), log);
      }
      if (log) std::fclose(log);
    }
    timed(benchmark::RegisterBenchmark("OpenLarge/50m_3codes", OpenLarge, &probe, &log50m))->Iterations(1);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::remove(log50m.c_str());
  }
  benchmark::Shutdown();

  std::string why;
  const std::optional<StartUp> start = noStartUp || realOnly ? std::nullopt : MeasureStartUp(runs, program.c_str(), why);

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
                      {"page down, 1 MB column", "PageDown/1m", "-"},
                      {"paste 1 MB '{' run", "Paste/1m_brace", "-"},
                      {"  a key in it", "Keystroke/1m_brace", "1 s"},
                      {"paste 1 MB '\"' run", "Paste/1m_quote", "-"},
                      {"  a key in it", "Keystroke/1m_quote", "1 s"},
                      {"paste 1 MB NUL run", "Paste/1m_nul", "-"},
                      {"  a key in it", "Keystroke/1m_nul", "1 s"},
                      {"paste 1 MB random bytes", "Paste/1m_random", "-"},
                      {"  a key in it", "Keystroke/1m_random", "1 s"},
                      {"keystroke, 20 000 codes", "Keystroke/20k_codes", "100 ms"},
                      {"open 50 MB, 3 codes", "OpenLarge/50m_3codes", "3 s"}};
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
  } else if (!noStartUp && !realOnly) {
    std::printf("start-up not measured: %s\n", why.c_str());
  }
  if (!noStartUp && !startUpOnly && !noReal)
    MeasureRealPastes(program.c_str(),
                      {{"1 MB of items", &long1m}, {"1 MB '{' run", &brace1m}, {"1 MB '\"' run", &quote1m},
                       {"1 MB NUL run", &nul1m}, {"1 MB random bytes", &random1m}, {"1 MB stray chars", &stray1m}},
                      idleSeconds, realFilter);
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
