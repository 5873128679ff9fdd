// Red wavy underlines in the edit field under the characters where the errors were
// found, with the messages as a tooltip over each mark.
#pragma once

#include <QColor>
#include <QObject>
#include <QPlainTextEdit>
#include <QPainter>
#include <QRect>
#include <QStringList>
#include <QTextBlock>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "CodeEdit.h"
#include "FieldModel.h"

namespace zendric {

class TErrorMarks : public QObject {
  Q_OBJECT

 public:
  // One marked character and every message recorded at it, in the order of the list.
  // A code can hold a million errors: a mark is four numbers, and the messages stay
  // in the reading.
  struct Mark {
    int Start;  // code offsets in the field, as the field model counts them
    int End;
    std::uint32_t First;  // the mark's messages: messageOrder_[First, First + Count)
    std::uint32_t Count;
  };

  static constexpr QColor MarkColour{255, 0, 0};

  explicit TErrorMarks(TCodeEdit* field);

  // Replaces every mark by those of `field`, the field as it is now, read; the marks
  // share it. A code can hold a million errors: the marks are found for the part of the
  // field that is drawn or asked about, when it is.
  void Show(std::shared_ptr<const FieldModel> field);

  // Every mark of the field. It costs what the field's messages cost: for tests and
  // short codes.
  const std::vector<Mark>& Marks() const;
  // The indexes in the reading of the messages marked at the character at `offset`
  // (a code offset in the field); empty for none.
  std::span<const std::uint32_t> MessagesUnder(int offset) const;
  // How many marks are held now: those of the part of the field last drawn or asked about.
  std::size_t HeldMarks() const { return marks_.size(); }
  // The messages recorded at `mark`, in the order of the list and as it shows them.
  QStringList MessagesOf(const Mark& mark) const;
  // The indexes in the reading of the messages recorded at `mark`.
  std::span<const std::uint32_t> MessageIndexes(const Mark& mark) const {
    return {messageOrder_.data() + mark.First, mark.Count};
  }
  // Where `mark` stands in the field's viewport, its wave included.
  QRect MarkRect(const Mark& mark) const;
  // The layer over the field's viewport that the waves are drawn on.
  QWidget* Layer() const { return layer_; }
  // The messages of the mark under `point` (viewport coordinates), one per line.
  QString ToolTipAt(QPoint point) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class TMarkLayer;
  const Mark* MarkAt(QPoint point) const;
  void PaintMarks(QPainter& painter, const QRect& area) const;
  QPointF BlockOrigin(const QTextBlock& block) const;
  QRect RectIn(const Mark& mark, const QTextBlock& block, QPointF origin) const;
  QRect RunRect(const QTextBlock& block, QPointF origin, int start, int end) const;
  // Makes the marks of every character that overlaps `range` known.
  void Cover(FieldRange range) const;

  TCodeEdit* field_;
  QWidget* layer_;
  std::shared_ptr<const FieldModel> shown_;
  // The marks of the characters that overlap covered_, the part of the field last
  // drawn or asked about.
  mutable FieldRange covered_;
  mutable bool coveredAny_ = false;
  mutable std::vector<Mark> marks_;  // by Start, no two on one character
  mutable std::vector<std::uint32_t> messageOrder_;  // indexes of the reading's messages, by mark
};

}  // namespace zendric
