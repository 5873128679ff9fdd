// Start-up: the application, the reader window, the hidden About box, the message loop.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "AboutDialogForm.h"
#include "MainScreenForm.h"
#include "ProcessMemory.h"

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

}  // namespace

int main(int argc, char* argv[]) {
  if (NoDisplayToShowOn()) {
    std::fputs("zendric: no display to show the window on; run it under a virtual one: "
               "xvfb-run -a build/app/zendric\n",
               stderr);
    return 1;
  }
  zendric::KeepFreedMemory();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zendric 2 reader"));
  // Ties the windows to the menu entry (on Wayland, its icon and name) and gives them the emblem.
  QGuiApplication::setDesktopFileName(QStringLiteral("zendric"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/emblem.svg")));

  zendric::TMainScreen MainScreen;
  zendric::TAboutDialog AboutDialog(&MainScreen);
  MainScreen.SetAboutDialog(&AboutDialog);
  MainScreen.show();
  return QApplication::exec();
}
