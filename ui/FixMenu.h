// The fixes of the window: offered by a button on the selected error row, by the
// row's context menu, by the context menu over a red wave in the code field, and by
// Ctrl+. for the error at the caret. Fixes are found when asked for, never while
// typing, and each one applied is one edit that one undo takes back.
#pragma once

#include <QMenu>
#include <QObject>
#include <QPlainTextEdit>
#include <QToolButton>
#include <map>
#include <memory>
#include <vector>

#include "CodeEdit.h"
#include "ErrorList.h"
#include "ErrorMarks.h"
#include "FieldModel.h"
#include "Fixes.h"

namespace zendric {

class TFixOffer : public QObject {
  Q_OBJECT

 public:
  TFixOffer(TCodeEdit* field, TErrorList* list, const TErrorMarks* marks, QObject* parent);

  // The field's state shown now, with its reading.
  void SetReading(std::shared_ptr<const FieldModel> field);

  // The fixes of message `row`, found at the first request for this reading.
  const std::vector<Fix>& FixesOf(int row);
  // What the item of message `row` expects.
  QString Explanation(int row) const;
  // The message at the caret: one marked at the caret's character or just before it,
  // else one whose item holds it; -1 for none.
  int MessageAtCaret() const;
  // Fills `menu` with the fixes of `row` (a greyed line where there are none).
  void AddFixes(QMenu& menu, int row);
  // Opens the fixes of `row` as a menu at `where` (global); Ctrl+. and the row's button.
  void OpenMenu(int row, QPoint where);
  void OpenAtCaret();
  // Applies `fix` to the field as one edit and puts the caret behind it.
  void Apply(const Fix& fix);

  QToolButton* RowButton() const { return button_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PlaceButton();
  int MessageAtOffset(int offset) const;

  TCodeEdit* field_;
  TErrorList* list_;
  const TErrorMarks* marks_;
  QToolButton* button_;
  std::shared_ptr<const FieldModel> shown_;
  const ParseResult* reading_ = nullptr;  // shown_'s
  std::map<int, std::vector<Fix>> found_;
};

}  // namespace zendric
