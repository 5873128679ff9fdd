// What the command line asks of the window: a code to start with, the text of a file,
// or only the help or the version printed. Read before any window exists, so that
// --help works without a display and a file that cannot be read opens nothing.
#pragma once

#include <QString>
#include <QStringList>

namespace zendric {

struct StartRequest {
  enum class Kind {
    OpenWindow,  // with Code in the field (empty for none)
    Print,       // Output on standard output, then exit with ExitStatus
    Fail,        // Output (one line) on standard error, then exit with ExitStatus
  };
  Kind What = Kind::OpenWindow;
  QString Code;   // or, with File set, the text of that file
  QString File;   // the file named on the command line
  QString Output;
  int ExitStatus = 0;
};

// `arguments` as the program got them, its own name first. A single argument that
// names an existing file is that file; otherwise the arguments are a code, joined with
// blanks, as a shell splits a code typed without quotes.
StartRequest ReadArguments(const QStringList& arguments);

// A text file's text, decoded as the reader decodes files, or why it cannot be had: a
// file that is not a regular one is refused before it is opened.
bool ReadTextFile(const QString& path, QString& text, QString& why);

}  // namespace zendric
