#include "FixMenu.h"

#include <QContextMenuEvent>
#include <QScrollBar>
#include <QTextBlock>

using namespace Qt::StringLiterals;

namespace zendric {

TFixOffer::TFixOffer(TCodeEdit* field, TErrorList* list, const TErrorMarks* marks, QObject* parent)
    : QObject(parent), field_(field), list_(list), marks_(marks), button_(new QToolButton(list->viewport())) {
  button_->setObjectName(u"btnFixes"_s);
  button_->setText(u"Fix\u2026"_s);
  button_->setToolTip(u"Fixes for this error (Ctrl+.)"_s);
  button_->setAccessibleName(u"Fixes"_s);
  button_->setAccessibleDescription(u"Edits of the code that would mend the selected error"_s);
  button_->setFocusPolicy(Qt::NoFocus);
  button_->hide();
  connect(button_, &QToolButton::clicked, this, [this] {
    OpenMenu(list_->currentRow(), button_->mapToGlobal(QPoint(0, button_->height())));
  });
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
    const QModelIndex index = list_->indexAt(at);
    if (!index.isValid()) return;
    list_->setCurrentRow(index.row());
    OpenMenu(index.row(), list_->viewport()->mapToGlobal(at));
  });
  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, &TFixOffer::PlaceButton);
  connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, &TFixOffer::PlaceButton);
  connect(list_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TFixOffer::PlaceButton);
  list_->viewport()->installEventFilter(this);
  field_->viewport()->installEventFilter(this);
  list_->SetExplanation([this](int row) { return Explanation(row); });
}

void TFixOffer::SetReading(std::shared_ptr<const FieldModel> field) {
  shown_ = std::move(field);
  reading_ = shown_ ? &shown_->Reading() : nullptr;
  found_.clear();
  PlaceButton();
}

const std::vector<Fix>& TFixOffer::FixesOf(int row) {
  static const std::vector<Fix> none;
  if (!reading_ || row < 0 || static_cast<std::size_t>(row) >= reading_->MessageCount()) return none;
  auto it = found_.find(row);
  if (it == found_.end()) it = found_.emplace(row, FixesFor(shown_->Code(), *reading_, static_cast<std::size_t>(row))).first;
  return it->second;
}

QString TFixOffer::Explanation(int row) const {
  if (!reading_ || row < 0 || static_cast<std::size_t>(row) >= reading_->MessageCount()) return {};
  return QString::fromStdString(ExplainMessage(shown_->Code(), *reading_, static_cast<std::size_t>(row)));
}

void TFixOffer::AddFixes(QMenu& menu, int row) {
  const std::vector<Fix>& fixes = FixesOf(row);
  if (fixes.empty()) {
    menu.addAction(u"No fix found for this error"_s)->setEnabled(false);
    return;
  }
  for (const Fix& fix : fixes) {
    const Fix copy = fix;
    // a label quotes the code, which may hold an ampersand
    QString label = QString::fromStdString(fix.Label);
    label.replace(u'&', u"&&"_s);
    connect(menu.addAction(label), &QAction::triggered, this, [this, copy] { Apply(copy); });
  }
}

void TFixOffer::OpenMenu(int row, QPoint where) {
  if (!reading_ || row < 0) return;
  QMenu menu(field_);
  menu.setObjectName(u"mnFixes"_s);
  menu.setAccessibleName(u"Fixes"_s);
  AddFixes(menu, row);
  menu.exec(where);
}

void TFixOffer::OpenAtCaret() {
  const int row = MessageAtCaret();
  if (row < 0) return;
  list_->setCurrentRow(row);
  const QRect caret = field_->cursorRect();
  OpenMenu(row, field_->viewport()->mapToGlobal(caret.bottomLeft()));
}

// The message whose mark covers the character at `offset` (the pointer's).
int TFixOffer::MessageAtOffset(int offset) const {
  if (!reading_) return -1;
  const auto indexes = marks_->MessagesUnder(offset);
  return indexes.empty() ? -1 : static_cast<int>(indexes.front());
}

int TFixOffer::MessageAtCaret() const {
  if (!reading_) return -1;
  return shown_->MessageAt(field_->ModelOffset(field_->textCursor().position()));
}

void TFixOffer::Apply(const Fix& fix) {
  if (!shown_) return;
  const FieldRange range = shown_->EditRange(fix.From, fix.To);
  QTextCursor edit(field_->document());
  edit.setPosition(field_->FieldPosition(range.Start, true));
  edit.setPosition(field_->FieldPosition(range.End), QTextCursor::KeepAnchor);
  field_->InsertText(edit, QString::fromStdString(fix.Text));  // one edit: one undo
  field_->setTextCursor(edit);
  field_->setFocus();
}

void TFixOffer::PlaceButton() {
  const int row = list_->currentRow();
  if (!reading_ || row < 0 || FixesOf(row).empty()) {
    button_->hide();
    return;
  }
  const QRect rect = list_->RowRect(row);
  const QSize size(button_->sizeHint().width(), rect.height());
  button_->setGeometry(list_->viewport()->width() - size.width(), rect.top(), size.width(), size.height());
  button_->show();
  button_->raise();
}

bool TFixOffer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport() && event->type() == QEvent::Resize) PlaceButton();
  if (watched == field_->viewport() && event->type() == QEvent::ContextMenu) {
    // over a wave the menu starts with the fixes of its error
    auto* asked = static_cast<QContextMenuEvent*>(event);
    const QPoint at = asked->pos();
    const int row = MessageAtOffset(field_->ModelOffset(field_->cursorForPosition(at).position()));
    if (row < 0) return false;
    std::unique_ptr<QMenu> menu(field_->createStandardContextMenu());
    menu->setObjectName(u"mnFieldFixes"_s);
    QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().front();
    QMenu fixes;
    AddFixes(fixes, row);
    for (QAction* action : fixes.actions()) {
      action->setParent(menu.get());
      menu->insertAction(first, action);
    }
    menu->insertSeparator(first);
    menu->exec(asked->globalPos());
    return true;
  }
  return false;
}

}  // namespace zendric
