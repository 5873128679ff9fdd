// Start-up: the command line, the application, the reader window with its remembered
// size, the hidden About box, the message loop.
#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "AboutDialogForm.h"
#include "Arguments.h"
#include "MainMenu.h"
#include "MainScreenForm.h"
#include "ProcessMemory.h"
#include "ReaderApplication.h"

namespace {

// Without a display Qt aborts with a long message about platform plugins; one plain
// line says what is wrong and what to do.
bool NoDisplayToShowOn() {
#if defined(__linux__)
  const auto unset = [](const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr || *value == '\0';
  };
  return unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY");
#else
  return false;
#endif
}

// How to start this very program again: by its name when the shell found it on the
// PATH, else by where it really is.
std::string ThisProgram(const char* argv0) {
  if (std::strchr(argv0, '/') == nullptr) return argv0;
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(argv0) : self.string();
}

void Print(std::FILE* to, const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), to);
}

}  // namespace

int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  zendric::StartRequest request = zendric::ReadArguments(arguments);
  if (request.What != zendric::StartRequest::Kind::OpenWindow) {
    Print(request.What == zendric::StartRequest::Kind::Print ? stdout : stderr, request.Output);
    return request.ExitStatus;
  }
  if (NoDisplayToShowOn()) {
    std::fprintf(stderr, "zendric: no display to show the window on; run it under a virtual one: xvfb-run -a %s\n",
                 ThisProgram(argc > 0 ? argv[0] : "zendric").c_str());
    return 1;
  }
  zendric::KeepFreedMemory();
  zendric::TReaderApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zendric 2 reader"));
  QApplication::setOrganizationName(QStringLiteral("zendric"));
  // Ties the windows to the menu entry (on Wayland, its icon and name) and gives them the emblem.
  QGuiApplication::setDesktopFileName(QStringLiteral("zendric"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/emblem.svg")));

  zendric::TMainScreen MainScreen;
  MainScreen.RememberLayoutIn(std::make_unique<QSettings>());
  zendric::TAboutDialog AboutDialog(&MainScreen);
  MainScreen.SetAboutDialog(&AboutDialog);
  MainScreen.show();
  // A file goes through the finder, as one opened from the window does.
  if (!request.File.isEmpty()) {
    // The file's text is not kept beside the field: a long log with one code leaves
    // nothing of itself behind.
    if (MainScreen.OpenText(std::exchange(request.Code, QString()), request.File))
      MainScreen.Menu().FileOpened(request.File);
    zendric::GiveBackFreedMemory();
  } else if (!request.Code.isEmpty()) {
    MainScreen.ReplaceCode(request.Code);
  }
  return QApplication::exec();
}
