// The edit field for the code: a plain-text field whose word wrap survives any paste.
// Word wrap breaks a line between words, and a run of characters without a blank has no
// such place: laying one out takes time that grows with the square of its length (half
// a minute for a pasted megabyte of one letter). While the field holds a run longer than
// LongRun, it breaks lines anywhere, which is how such a run shows in any case; the
// choice is made before the field lays out what changed, whatever changed it (a key, a
// paste, undo or a program).
#pragma once

#include <QPlainTextEdit>

namespace zendric {

class TCodeEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  static constexpr int LongRun = 10000;

  explicit TCodeEdit(QWidget* parent = nullptr);
};

}  // namespace zendric
