#include "FmxUtils.h"

#include <QDesktopServices>
#include <QUrl>

namespace zendric {

bool ShellOpen(const QString& file) {
  // Strict parsing would reject a path with blanks; the tolerant mode takes it as typed.
  return QDesktopServices::openUrl(QUrl::fromUserInput(file));
}

}  // namespace zendric
