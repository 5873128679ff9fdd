// The desktop's open operation: a document or an address goes to whatever program
// the desktop has registered for it (browser, mail program, ...).
#pragma once

#include <QString>

namespace zendric {

// Opens `file` (a URL such as "https://..." or "mailto:...", or a local path) with the
// desktop's default action for it. Returns false when the desktop refused it.
bool ShellOpen(const QString& file);

}  // namespace zendric
