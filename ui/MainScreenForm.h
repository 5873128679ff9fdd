// The reader window: an edit field for the code, the reading of every item below it,
// and the errors in a list at the bottom while there are any.
#pragma once

#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QMimeData>
#include <QWidget>
#include <memory>
#include <vector>

#include "ErrorList.h"
#include "FieldModel.h"
#include "ProcessMemory.h"
#include "ResultColumn.h"
#include "ZNParser.h"

namespace zendric {

class TAboutDialog;
class TCodeEdit;
class TBuilderDialog;
class TErrorMarks;
class TFixOffer;
class TFoundCodeBar;
class TLargeText;
class TMainMenu;

class TMainScreen : public QWidget {
  Q_OBJECT

 public:
  static constexpr int SeparatorHeight = TResultColumn::SeparatorHeight;
  static constexpr int ErrorListHeight = 80;
  static constexpr QSize FirstSize{558, 315};
  static constexpr int FirstCodeHeight = 57;
  // Lines and messages from which the window lets a reading go before it makes the next.
  static constexpr std::size_t LargeReading = 100000;

  explicit TMainScreen(QWidget* parent = nullptr);
  ~TMainScreen() override;

  // The About box that btnAbout shows; created after the window, as at start-up.
  void SetAboutDialog(TAboutDialog* dialog) { AboutDialog = dialog; }

  // Takes the window's size, place and the split between code and reading from
  // `settings` (the first start keeps the first size, centred), and keeps them there
  // when the window closes.
  void RememberLayoutIn(std::unique_ptr<QSettings> settings);

  // Puts `code` in the field in place of all it holds, as one edit that one undo takes
  // back: whatever the user had typed is never lost to the program's own writes.
  void ReplaceCode(const QString& code);

  // Opens a text file as Ctrl+O, a dropped file and the command line do: see OpenText.
  // A file that cannot be read is said so in a message, the field left as it was.
  // True when something was opened: the file then heads the recent files.
  bool OpenFile(const QString& path);
  // Looks for codes in `text` from `source` (a file's name): one code goes into the
  // field; with several the text goes in and the bar above the reading offers them;
  // with none a message says so and the field is left as it was. False for none.
  bool OpenText(const QString& text, const QString& source);

  // The menu bar, which holds the window's keys.
  TMainMenu& Menu() const { return *mbMain; }

  // How many times the code has been read since the window was created.
  int ParseCount() const { return parseCount; }
  const ParseResult& Reading() const { return *reading; }
  // The red underlines under the errors in the edit field.
  const TErrorMarks& ErrorMarks() const { return *errorMarks; }
  // Labels and separators of the result column that exist, top to bottom: all of them
  // for a short column, those in and near the view for a long one.
  const std::vector<QWidget*>& CodeListControls() const { return resultColumn->Controls(); }
  const TResultColumn& ResultColumn() const { return *resultColumn; }
  // The field ranges [start, end) of the light mark of the item under the pointer in the
  // reading, and of the item of the selected error row; {0, 0} when there is none.
  FieldRange HoverMark() const { return hoverMark; }
  FieldRange ErrorItemMark() const { return errorItemMark; }

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateTopPanel();
  void PlaceButtons();
  void CreateCodeList();
  void CreateErrorList();
  void LayOutControls();
  void CreateShortcuts();
  void DescribeControls();
  void ConnectControls();
  void PlaceOnScreen();

  void meZendricChange();
  void lbErrorsClick();
  void btnAboutClick();
  void btnMakeClick();
  void OfferFoundCodes(std::u16string_view before);
  std::shared_ptr<FieldModel> LetGoOfReading();
  void Tell(const QString& message);
  bool TakeDrop(const QMimeData* data);
  void FillCodeList();
  void ClearCodeList();
  void ShowCaretItem(bool scroll);
  void MarkHoveredLine(std::ptrdiff_t line);
  void SelectLineItem(std::size_t line);
  void MarkErrorItem();
  FieldRange ItemRange(Span item) const;
  void ShowItemMarks();
  void SetErrorListHeight(int height);

  QSplitter* spReading = nullptr;
  QSplitter* spErrors = nullptr;  // the reading above, the errors below
  int errorListHeight = ErrorListHeight;  // as dragged or remembered; shown in whole rows
  bool settingErrorListHeight = false;
  TFixOffer* fixOffer = nullptr;
  QWidget* pnTop = nullptr;
  TCodeEdit* meZendric = nullptr;
  QWidget* pnButton = nullptr;
  QToolButton* btnAbout = nullptr;
  QToolButton* btnMake = nullptr;
  TErrorList* lbErrors = nullptr;
  QWidget* pnReading = nullptr;
  TFoundCodeBar* pnFound = nullptr;
  TLargeText* pnLarge = nullptr;  // for a text too large for the field
  QScrollArea* sbCodeList = nullptr;
  QWidget* Panel1 = nullptr;

  TAboutDialog* AboutDialog = nullptr;
  TBuilderDialog* BuilderDialog = nullptr;  // made when first asked for
  std::unique_ptr<QSettings> Settings;
  std::unique_ptr<TResultColumn> resultColumn;  // goes before the widgets it fills
  // The field as last read, and its reading, which the result column, the error list and
  // the marks share.
  std::shared_ptr<FieldModel> field = std::make_shared<FieldModel>();
  std::shared_ptr<const ParseResult> reading{field, &field->Reading()};
  int parseCount = 0;
  bool codesFound = false;  // the found-code bar holds every code found in the field
  std::size_t caretFirst = 0, caretLast = 0;  // the lines of the caret's item
  int caretShownAt = -1;  // the field offset they were found for, -1 after a new reading
  FieldRange hoverMark, errorItemMark;
  TFreedMemory freedMemory;
  QTimer giveBackWhenIdle;  // after a reading of a long code
  TErrorMarks* errorMarks = nullptr;
  TMainMenu* mbMain = nullptr;
};

}  // namespace zendric
