// The panel for a text too large for the code field: a file, a drop or a paste over
// the field's limit. The text is never put into the field: the finder goes through it
// a piece at a time between events, the codes it meets are listed at once (a list that
// makes only the rows it shows), a progress bar and Cancel show for a search that takes
// longer than QuietMs, and choosing a code puts that code alone into the field.
#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "LargeText.h"

namespace zendric {

class TFoundCodeModel;

class TLargeText : public QWidget {
  Q_OBJECT

 public:
  static constexpr int TaskMs = 30;    // work between two looks at the event loop
  static constexpr int QuietMs = 500;  // before the progress bar and Cancel show
  static constexpr qint64 PieceBytes = qint64{1} << 20;
  static constexpr qsizetype PieceUnits = qsizetype{256} << 10;

  enum class State { Closed, Finding, Done, Stopped };

  explicit TLargeText(QWidget* parent = nullptr);
  ~TLargeText() override;

  // Starts on the regular file `path`; false, with `why`, when it cannot be opened.
  bool OpenFile(const QString& path, QString& why);
  // Starts on a pasted or dropped text; `what` names it ("pasted text").
  void TakeText(QString text, const QString& what);

  State Progress() const { return state; }
  const std::vector<FoundCode>& Found() const;

 signals:
  // The user chose this code, to be read alone.
  void ReadCode(const QString& code);

 private:
  void Start(std::uintmax_t bytes, std::uintmax_t size, const QString& what);
  void Pump();
  void ShowFound();
  void Finished();
  void Stop();
  void Cancel();
  void Close();
  void Choose(int row);

  QLabel* lbHeading = nullptr;
  QLabel* lbNote = nullptr;
  QWidget* pnProgress = nullptr;
  QProgressBar* pbSearched = nullptr;
  QPushButton* btnCancel = nullptr;
  QListView* lvFound = nullptr;
  QPushButton* btnReadThis = nullptr;
  QPushButton* btnClose = nullptr;
  TFoundCodeModel* model = nullptr;

  State state = State::Closed;
  std::unique_ptr<LargeTextFinder> finder;
  QFile file;
  QString text;            // a pasted text, until it has all been read
  std::uintmax_t bytes = 0;  // the text's size in bytes, as told
  std::uintmax_t size = 0;   // and in what is read: bytes of a file, units of a text
  std::uintmax_t done = 0;
  std::string what;
  QTimer pump;
  QElapsedTimer since;
};

}  // namespace zendric
