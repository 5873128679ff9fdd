// The builder window's page: the selected item's form as the core describes it, drawn
// field by field by its kind and hints. It names no kind of item: every choice goes
// back to the core as a value for a field's key.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "BuilderDialog.h"
#include "BuilderText.h"
#include "CodeEdit.h"

namespace zendric {
namespace {

const char* const KeyProperty = "formKey";
// The text a long field last gave the core or was given: a change of the document
// that leaves it (the field cutting its line into pieces) is no edit.
const char* const HeldProperty = "formText";
constexpr int LongFieldLines = 8;
constexpr int DepthRole = Qt::UserRole + 1;

QString KeyOf(const QObject* control) { return control->property(KeyProperty).toString(); }

// Everything about the fields but their values: while it stays, a choice only sets
// values, and the control in use keeps the keyboard.
std::string ShapeOf(int row, const std::vector<FormField>& fields) {
  std::string shape = std::to_string(row);
  for (const FormField& f : fields) {
    shape += '\x02' + std::string(KindName(f.Shape)) + '\x01' + f.Key + '\x01' + f.Group + '\x01' + f.Label + '\x01' +
             std::to_string(f.Hints);
    for (const FormOption& o : f.Options) shape += '\x01' + o.Text;
  }
  return shape;
}

// Draws an option of a tree indented by its depth; the names stay plain, so that typing
// a name finds it.
class TDepthDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem indented(option);
    indented.rect.adjust(index.data(DepthRole).toInt() * option.fontMetrics.averageCharWidth() * 2, 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
  }
};

// The ticked words of a menu of ticks, or "none".
QString TickedText(const QMenu* menu) {
  QStringList ticked;
  for (const QAction* a : menu->actions())
    if (a->isChecked()) ticked << a->text();
  return ticked.isEmpty() ? QStringLiteral("none") : ticked.join(QStringLiteral(", "));
}

void ShowTicked(QToolButton* button) {
  const QString text = TickedText(button->menu());
  button->setText(button->fontMetrics().elidedText(text, Qt::ElideRight, 240));
  button->setToolTip(text);
}

void SelectValue(QComboBox* box, const std::string& value) {
  const QSignalBlocker quiet(box);
  box->setCurrentIndex(box->findData(Qs(value)));
}

// A long field's whole text in place of what it holds, as one edit that is not the
// user's: the field has no undo of its own (the builder's steps are the undo).
void SetLongText(TCodeEdit* field, const QString& text) {
  field->setProperty(HeldProperty, text);
  QTextCursor cursor(field->document());
  cursor.select(QTextCursor::Document);
  field->InsertText(cursor, text);
}

// The caret of a field being typed into, to put back when the page is drawn again.
int CaretOf(const QWidget* focus) {
  if (const auto* line = qobject_cast<const QLineEdit*>(focus)) return line->cursorPosition();
  if (const auto* text = qobject_cast<const TCodeEdit*>(focus)) return text->textCursor().position();
  return -1;
}

void PutCaret(QWidget* field, int caret) {
  if (caret < 0) return;
  if (auto* line = qobject_cast<QLineEdit*>(field)) return line->setCursorPosition(caret);
  if (auto* text = qobject_cast<TCodeEdit*>(field)) {
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(std::min(caret, text->document()->characterCount() - 1));
    text->setTextCursor(cursor);
  }
}

}  // namespace

void TBuilderDialog::FillPage() {
  const Persona& persona = session.Current();
  const int row = lbItems->currentRow();
  const bool valid = row >= 0 && static_cast<std::size_t>(row) < persona.Items.size();
  std::vector<FormField> next = valid ? DescribeItem(persona.Items[static_cast<std::size_t>(row)]) : std::vector<FormField>();
  const std::string shape = ShapeOf(row, next);
  fields = std::move(next);
  if (pnPage != nullptr && row == pageRow && shape == drawn) return SetValues(nullptr);
  drawn = shape;
  DrawPage();
}

void TBuilderDialog::DrawPage() {
  // A page drawn again after a choice keeps the keyboard on the control of the same key,
  // and its place in the scroll area.
  const int row = lbItems->currentRow();
  QWidget* focus = QApplication::focusWidget();
  const bool same = row == pageRow && pnPage != nullptr;
  const QString focusName = same && focus != nullptr && pnPage->isAncestorOf(focus) ? focus->objectName() : QString();
  const int scrolled = same ? sbPage->verticalScrollBar()->value() : 0;
  const int caret = focusName.isEmpty() ? -1 : CaretOf(focus);
  pageRow = row;
  const Persona& persona = session.Current();

  pnPage = new QWidget;
  pnPage->setObjectName(QStringLiteral("pnPage"));
  pageLayout = new QVBoxLayout(pnPage);
  if (row >= 0 && static_cast<std::size_t>(row) < persona.Items.size()) {
    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(Title(persona.Items[static_cast<std::size_t>(row)]).toHtmlEscaped()), pnPage);
    pageLayout->addWidget(title);
  }
  QFormLayout* form = nullptr;
  const std::string* group = nullptr;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FormField& f = fields[i];
    if (form == nullptr || *group != f.Group) {
      group = &f.Group;
      form = new QFormLayout;
      if (f.Group.empty()) {
        pageLayout->addLayout(form);
      } else {
        auto* box = new QGroupBox(Qs(f.Group), pnPage);
        box->setLayout(form);
        pageLayout->addWidget(box);
      }
    }
    QWidget* control = nullptr;
    if (f.Shape == FormField::Kind::Check && (f.Hints & HintTicks) != 0) {
      // Ticks of one group stand together in one menu.
      std::vector<const FormField*> ticks;
      for (; i < fields.size() && fields[i].Shape == f.Shape && (fields[i].Hints & HintTicks) != 0 && fields[i].Group == f.Group; ++i)
        ticks.push_back(&fields[i]);
      --i;
      control = Ticks(ticks);
      form->addRow(new QLabel(QStringLiteral("Choose:"), pnPage), control);
      continue;
    }
    control = Control(f);
    const QString name = f.Group.empty() ? Qs(f.Label) : Qs(f.Group + ": " + f.Label);
    control->setAccessibleName(name);
    if (f.Shape == FormField::Kind::Check || f.Shape == FormField::Kind::Button) {
      form->addRow(control);
      continue;
    }
    auto* label = new QLabel(Qs(f.Label) + QLatin1Char(':'), pnPage);
    label->setWordWrap(true);
    label->setBuddy(control);
    if ((f.Hints & HintSearch) != 0 && f.Shape == FormField::Kind::Select)
      form->addRow(QStringLiteral("Search:"), Search(f, static_cast<QComboBox*>(control)));
    if (f.Shape == FormField::Kind::Note) {
      form->addRow(label, control);
      continue;
    }
    // Under the field, why it did not take a value, until it takes one.
    auto* cell = new QWidget(pnPage);
    auto* stack = new QVBoxLayout(cell);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    control->setParent(cell);
    stack->addWidget(control);
    auto* why = new QLabel(cell);
    why->setObjectName(Qs(f.Key) + QStringLiteral("/why"));
    why->setWordWrap(true);
    why->setTextFormat(Qt::PlainText);
    why->setStyleSheet(QStringLiteral("QLabel { color: #b71c1c; }"));
    why->hide();
    stack->addWidget(why);
    form->addRow(label, cell);
    if (const auto typed = refused.find(f.Key); typed != refused.end()) {
      if (auto* field = qobject_cast<QLineEdit*>(control)) field->setText(typed->second.Typed);
      else if (auto* text = qobject_cast<TCodeEdit*>(control)) SetLongText(text, typed->second.Typed);
      ShowWhy(f.Key, typed->second.Why);
    }
  }
  pageLayout->addStretch(1);
  // The old page may still be telling of the change that draws this one (a menu, say).
  if (QWidget* old = sbPage->takeWidget()) {
    old->hide();
    old->deleteLater();
  }
  sbPage->setWidget(pnPage);
  // A page is built apart from the window: its controls go between the item list's
  // buttons and the code in the tab order.
  QWidget* before = btnDown;
  for (QWidget* control : pnPage->findChildren<QWidget*>())
    if (!KeyOf(control).isEmpty() && (control->focusPolicy() & Qt::TabFocus) != 0) {
      setTabOrder(before, control);
      before = control;
    }
  setTabOrder(before, edCode);
  pageLayout->activate();
  sbPage->verticalScrollBar()->setValue(scrolled);
  if (focusName.isEmpty()) return;
  if (auto* again = pnPage->findChild<QWidget*>(focusName)) {
    again->setFocus();
    PutCaret(again, caret);
    sbPage->ensureWidgetVisible(again);
  }
}

QWidget* TBuilderDialog::Control(const FormField& f) {
  const std::string key = f.Key;
  QWidget* control = nullptr;
  switch (f.Shape) {
    case FormField::Kind::Select: {
      auto* box = new QComboBox(pnPage);
      auto* model = new QStandardItemModel(box);
      const std::string* heading = nullptr;
      for (const FormOption& o : f.Options) {
        if (!o.Heading.empty() && (heading == nullptr || *heading != o.Heading)) {
          heading = &o.Heading;
          auto* title = new QStandardItem(Qs(o.Heading));
          title->setFlags(Qt::NoItemFlags);
          QFont bold = box->font();
          bold.setBold(true);
          title->setFont(bold);
          model->appendRow(title);
        }
        auto* option = new QStandardItem(Qs(o.Text));
        option->setData(Qs(o.Value), Qt::UserRole);
        option->setData((f.Hints & HintTree) != 0 ? o.Depth + (o.Heading.empty() ? 0 : 1) : 0, DepthRole);
        model->appendRow(option);
      }
      box->setModel(model);
      box->setItemDelegate(new TDepthDelegate(box));
      SelectValue(box, f.Value);
      connect(box, &QComboBox::currentIndexChanged, this, [this, box, key] {
        const QVariant value = box->currentData();
        if (value.isValid()) Set(key, value.toString());
      });
      control = box;
      break;
    }
    case FormField::Kind::Number:
    case FormField::Kind::Text: {
      if ((f.Hints & HintLong) != 0) {
        control = LongField(f);
        break;
      }
      // Given its text once made: a line edit made with its text lays it out without its
      // layout cache, and a megabyte then costs a hundred times as much, on every paint.
      auto* field = new QLineEdit(pnPage);
      // A kept text of any length is edited whole: a line edit cuts at 32767 otherwise.
      field->setMaxLength(std::numeric_limits<int>::max());
      field->setText(Qs(f.Value));
      if (f.Shape == FormField::Kind::Number) field->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
      field->installEventFilter(this);
      connect(field, &QLineEdit::textEdited, this, [this, key](const QString& text) { Set(key, text, true); });
      // Leaving the field ends its step and shows what the code holds.
      connect(field, &QLineEdit::editingFinished, this, &TBuilderDialog::EndTyping);
      control = field;
      break;
    }
    case FormField::Kind::Check: {
      auto* check = new QCheckBox(Qs(f.Label), pnPage);
      check->setChecked(f.Value == "1");
      connect(check, &QCheckBox::toggled, this, [this, key](bool on) { Set(key, on ? QStringLiteral("1") : QStringLiteral("0")); });
      control = check;
      break;
    }
    case FormField::Kind::Button: {
      auto* button = new QPushButton(Qs(f.Label), pnPage);
      button->setAutoDefault(false);
      connect(button, &QPushButton::clicked, this, [this, key] { Set(key, QString()); });
      control = button;
      break;
    }
    case FormField::Kind::Note: {
      auto* note = new QLabel(Cut(f.Value), pnPage);
      note->setWordWrap(true);
      note->setTextFormat(Qt::PlainText);
      note->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
      note->setFocusPolicy(Qt::TabFocus);
      control = note;
      break;
    }
  }
  control->setObjectName(Qs(key));
  control->setProperty(KeyProperty, Qs(key));
  return control;
}

// A line edit shapes the whole of its text when it is given it, again when it first
// paints and on every key: a kept megabyte cost a third of a second to show and more
// than a tenth to type into. The code field lays out only the lines in view and holds
// a long line in pieces, so that a key lays out the piece it falls in. Like a line
// edit, it takes no line break (Enter goes to the window) and leaves Tab to the focus.
QWidget* TBuilderDialog::LongField(const FormField& f) {
  auto* field = new TCodeEdit(pnPage);
  field->setTabChangesFocus(true);
  field->document()->setUndoRedoEnabled(false);
  field->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const QMargins frame = field->contentsMargins();
  field->setFixedHeight(field->fontMetrics().lineSpacing() * LongFieldLines + 2 * qRound(field->document()->documentMargin()) +
                        frame.top() + frame.bottom());
  SetLongText(field, Qs(f.Value));
  field->installEventFilter(this);
  connect(field->document(), &QTextDocument::contentsChanged, this, [this, field, key = f.Key] {
    const QString text = QString::fromStdU16String(field->ModelText());
    if (text == field->property(HeldProperty).toString()) return;
    field->setProperty(HeldProperty, text);
    Set(key, text, true);
  });
  return field;
}

QWidget* TBuilderDialog::Ticks(const std::vector<const FormField*>& ticks) {
  auto* button = new QToolButton(pnPage);
  button->setPopupMode(QToolButton::InstantPopup);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  auto* menu = new QMenu(button);
  for (const FormField* f : ticks) {
    QAction* action = menu->addAction(Qs(f->Label));
    action->setCheckable(true);
    action->setChecked(f->Value == "1");
    action->setData(Qs(f->Key));
    connect(action, &QAction::triggered, this, [this, key = f->Key](bool on) { Set(key, on ? QStringLiteral("1") : QStringLiteral("0")); });
  }
  button->setMenu(menu);
  ShowTicked(button);
  const QString name = Qs(ticks.front()->Key) + QStringLiteral("/ticks");
  button->setObjectName(name);
  button->setProperty(KeyProperty, name);
  button->setAccessibleName(ticks.front()->Group.empty() ? QStringLiteral("Ticks") : Qs(ticks.front()->Group));
  return button;
}

// A search leaves in the list only the options holding what is typed; Enter picks the
// first of them.
QWidget* TBuilderDialog::Search(const FormField& f, QComboBox* box) {
  auto* search = new QLineEdit(pnPage);
  const QString key = Qs(f.Key) + QStringLiteral("/search");
  search->setObjectName(key);
  search->setProperty(KeyProperty, key);
  search->setPlaceholderText(QStringLiteral("Search: ") + Qs(f.Label).toLower());
  search->setAccessibleName(QStringLiteral("Search: ") + Qs(f.Group.empty() ? f.Label : f.Group + ": " + f.Label).toLower());
  search->setClearButtonEnabled(true);
  search->installEventFilter(this);
  const auto narrow = [this, box, key = f.Key](const QString& text) {
    searches[key] = text;
    auto* view = qobject_cast<QListView*>(box->view());
    for (int i = 0; i < box->count(); ++i) {
      const bool option = box->itemData(i).isValid();
      view->setRowHidden(i, option && !text.isEmpty() && !box->itemText(i).contains(text.trimmed(), Qt::CaseInsensitive));
    }
  };
  connect(search, &QLineEdit::textChanged, this, narrow);
  connect(search, &QLineEdit::returnPressed, this, [box] {
    auto* view = qobject_cast<QListView*>(box->view());
    for (int i = 0; i < box->count(); ++i)
      if (box->itemData(i).isValid() && !view->isRowHidden(i)) return box->setCurrentIndex(i);
  });
  const auto typed = searches.find(f.Key);
  if (typed != searches.end()) {
    search->setText(typed->second);
  }
  return search;
}

void TBuilderDialog::SetValues(const QWidget* except) {
  if (pnPage == nullptr) return;
  for (const FormField& f : fields) {
    auto* control = pnPage->findChild<QWidget*>(Qs(f.Key));
    if (control == nullptr || control == except || refused.count(f.Key) != 0) continue;
    if (auto* box = qobject_cast<QComboBox*>(control)) SelectValue(box, f.Value);
    else if (auto* check = qobject_cast<QCheckBox*>(control)) {
      const QSignalBlocker quiet(check);
      check->setChecked(f.Value == "1");
    } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
      if (field->text() != Qs(f.Value)) field->setText(Qs(f.Value));
    } else if (auto* text = qobject_cast<TCodeEdit*>(control)) {
      if (const QString value = Qs(f.Value); text->property(HeldProperty).toString() != value) SetLongText(text, value);
    } else if (auto* note = qobject_cast<QLabel*>(control)) note->setText(Cut(f.Value));
  }
  for (auto* button : pnPage->findChildren<QToolButton*>()) {
    if (button->menu() == nullptr) continue;
    for (QAction* action : button->menu()->actions())
      for (const FormField& f : fields)
        if (Qs(f.Key) == action->data().toString()) action->setChecked(f.Value == "1");
    ShowTicked(button);
  }
}

bool TBuilderDialog::Set(const std::string& key, const QString& value, bool typed) {
  const int row = lbItems->currentRow();
  if (row < 0) return false;
  const std::size_t at = static_cast<std::size_t>(row);
  const std::string text = value.toStdString();
  if (!typed) EndTyping();
  const FieldAnswer answer = typed ? session.Type(at, key, text) : session.Choose(at, key, text);
  if (!answer.Taken) {
    // What was typed stays where it was typed; a choice shows what the item holds.
    const QString why = answer.Why.empty() ? QStringLiteral("The code cannot hold this.") : Qs(answer.Why);
    if (typed) refused[key] = {value, why};
    ShowWhy(key, why);
    ShowUndoState();
    if (!typed) SetValues(nullptr);
    return false;
  }
  refused.erase(key);
  ShowWhy(key, QString());
  ShowRows();
  ShowCode();
  // A change of shape draws the page again once the control has finished telling of it:
  // the control is part of the page. A field being typed into is not drawn again under
  // the caret: the page follows once it loses the focus.
  std::vector<FormField> next = DescribeItem(session.Current().Items[at]);
  if (ShapeOf(row, next) != drawn) {
    if (typed) redrawAfterTyping = true;
    else RefillPageLater();
  } else {
    fields = std::move(next);
    SetValues(QApplication::focusWidget());
  }
  return true;
}

void TBuilderDialog::ShowWhy(const std::string& key, const QString& why) {
  if (pnPage == nullptr) return;
  auto* label = pnPage->findChild<QLabel*>(Qs(key) + QStringLiteral("/why"));
  auto* control = pnPage->findChild<QWidget*>(Qs(key));
  if (label == nullptr || control == nullptr) return;
  label->setText(why);
  label->setVisible(!why.isEmpty());
  // A reader of the screen hears it with the field; the frame shows it at a glance.
  control->setAccessibleDescription(why);
  control->setToolTip(why);
  if (qobject_cast<QLineEdit*>(control) != nullptr)
    control->setStyleSheet(why.isEmpty() ? QString() : QStringLiteral("QLineEdit { border: 2px solid #c62828; }"));
  else if (qobject_cast<TCodeEdit*>(control) != nullptr)
    control->setStyleSheet(why.isEmpty() ? QString() : QStringLiteral("QPlainTextEdit { border: 2px solid #c62828; }"));
}

void TBuilderDialog::EndTyping() {
  session.EndTyping();
  ShowUndoState();
  if (std::exchange(redrawAfterTyping, false)) return RefillPageLater();
  SetValues(nullptr);
}

}  // namespace zendric
