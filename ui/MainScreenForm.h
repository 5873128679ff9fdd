// The reader window: an edit field for the code, the reading of every item below it,
// and the errors in a list at the bottom while there are any.
#pragma once

#include <QPlainTextEdit>
#include <QScrollArea>
#include <QToolButton>
#include <QWidget>
#include <memory>
#include <vector>

#include "ErrorList.h"
#include "ResultColumn.h"
#include "ZNParser.h"

namespace zendric {

class TAboutDialog;
class TErrorMarks;

class TMainScreen : public QWidget {
  Q_OBJECT

 public:
  static constexpr int SeparatorHeight = TResultColumn::SeparatorHeight;
  static constexpr int ErrorListHeight = 80;

  explicit TMainScreen(QWidget* parent = nullptr);
  ~TMainScreen() override;

  // The About box that btnAbout shows; created after the window, as at start-up.
  void SetAboutDialog(TAboutDialog* dialog) { AboutDialog = dialog; }

  // How many times the code has been read since the window was created.
  int ParseCount() const { return parseCount; }
  const ParseResult& Reading() const { return *reading; }
  // The red underlines under the errors in the edit field.
  const TErrorMarks& ErrorMarks() const { return *errorMarks; }
  // Labels and separators of the result column that exist, top to bottom: all of them
  // for a short column, those in and near the view for a long one.
  const std::vector<QWidget*>& CodeListControls() const { return resultColumn->Controls(); }
  const TResultColumn& ResultColumn() const { return *resultColumn; }

  QWidget* pnTop;
  QPlainTextEdit* meZendric;
  QWidget* pnButton;
  QToolButton* btnAbout;
  TErrorList* lbErrors;
  QScrollArea* sbCodeList;
  QWidget* Panel1;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void meZendricChange();
  void lbErrorsClick();
  void btnAboutClick();
  void FillCodeList();
  void ClearCodeList();
  void SplitLines();

  TAboutDialog* AboutDialog = nullptr;
  std::unique_ptr<TResultColumn> resultColumn;  // goes before the widgets it fills
  bool SplittingLines = false;
  // Shared with the result column and the error list, which show it.
  std::shared_ptr<const ParseResult> reading = std::make_shared<const ParseResult>();
  int parseCount = 0;
  TErrorMarks* errorMarks;
};

}  // namespace zendric
