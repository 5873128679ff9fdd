// The builder window's pages: one per kind of item, each offering every choice the
// builder core holds for that kind, in the words of the reading. Every control changes
// the choices through the core's model; the page never writes code text itself.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeWidget>
#include <QValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <map>

#include "BuilderDialog.h"
#include "BuilderText.h"

namespace zendric {
namespace {

// Parts of a page come in numbered rows; their controls are named by kind and number.
QString Id(const char* stem, std::size_t a) { return QString::fromLatin1(stem) + QString::number(a); }
QString Id(const char* stem, std::size_t a, std::size_t b) { return Id(stem, a) + QLatin1Char('_') + QString::number(b); }

template <class W>
W* Name(W* control, const QString& objectName, const QString& accessibleName) {
  control->setObjectName(objectName);
  control->setAccessibleName(accessibleName);
  return control;
}

// A screen reader tells repeated rows apart by their names.
template <class W>
W* Speaking(W* control, const QString& accessibleName) {
  if (control != nullptr) control->setAccessibleName(accessibleName);
  return control;
}

QComboBox* Combo(QWidget* parent, const QStringList& texts, int current) {
  auto* box = new QComboBox(parent);
  box->addItems(texts);
  box->setCurrentIndex(current);
  return box;
}

// The element `at` of a list, when a change reaches a row the list no longer has.
template <class V>
auto* At(V& list, std::size_t at) {
  return at < list.size() ? &list[at] : nullptr;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> controls) {
  auto* row = new QHBoxLayout;
  for (QWidget* control : controls)
    if (control != nullptr) row->addWidget(control, control->inherits("QAbstractButton") && !control->inherits("QToolButton") ? 0 : 1);
  // A lone button keeps its own width.
  if (controls.size() == 1 && row->count() == 1 && (*controls.begin())->inherits("QPushButton")) row->addStretch(1);
  return row;
}

// Refuses characters a text of the code cannot hold, so the field always shows what
// the code says.
class TCharValidator : public QValidator {
 public:
  TCharValidator(bool (*allows)(char32_t), QObject* parent) : QValidator(parent), allows_(allows) {}
  State validate(QString& text, int&) const override {
    const QList<uint> points = text.toUcs4();
    return std::all_of(points.begin(), points.end(), [this](uint ch) { return allows_(ch); }) ? Acceptable : Invalid;
  }

 private:
  bool (*allows_)(char32_t);
};

// Quoted texts end at their quote, a specialist field at its bracket; no text holds a
// line break.
bool QuotedAllows(char32_t ch) { return ch >= 0x20 && ch != 0x7F && ch != U'"'; }
bool FieldAllows(char32_t ch) { return ch >= 0x20 && ch != 0x7F && ch != U']'; }

QLineEdit* TextField(QWidget* parent, const std::string& text, bool (*allows)(char32_t), const QString& hint) {
  auto* field = new QLineEdit(QString::fromStdString(text), parent);
  field->setValidator(new TCharValidator(allows, field));
  field->setPlaceholderText(hint);
  return field;
}

// Numbers as the code writes them: no trailing zeros after the point.
QString NumberText(double value) {
  QString text = QString::number(value, 'f', 3);
  while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.')))) text.chop(1);
  return text;
}

class TNumberBox : public QDoubleSpinBox {
 public:
  explicit TNumberBox(QWidget* parent) : QDoubleSpinBox(parent) {
    setRange(0, 1e9);
    setDecimals(3);
  }
  QString textFromValue(double value) const override { return NumberText(value); }
};

// A button whose menu ticks words; it shows the ticked ones (or `none`), cut to fit.
QToolButton* TickMenu(QWidget* parent, const QStringList& words, const std::vector<bool>& ticked, const QString& none) {
  auto* button = new QToolButton(parent);
  button->setPopupMode(QToolButton::InstantPopup);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  auto* menu = new QMenu(button);
  QStringList shown;
  for (qsizetype i = 0; i < words.size(); ++i) {
    QAction* action = menu->addAction(words[i]);
    action->setCheckable(true);
    action->setChecked(ticked[static_cast<std::size_t>(i)]);
    action->setData(static_cast<int>(i));
    if (action->isChecked()) shown << words[i];
  }
  button->setMenu(menu);
  const QString text = shown.isEmpty() ? none : shown.join(QStringLiteral(", "));
  button->setText(button->fontMetrics().elidedText(text, Qt::ElideRight, 240));
  button->setToolTip(text);
  return button;
}

// The rows of `table` ticked in a menu, in table order.
std::vector<std::int32_t> TickedRows(const QMenu* menu) {
  std::vector<std::int32_t> rows;
  for (const QAction* action : menu->actions())
    if (action->isCheckable() && action->isChecked() && action->data().typeId() == QMetaType::Int) rows.push_back(action->data().toInt());
  return rows;
}

QString NodeName(std::int32_t node) { return Qs(SpeciesNodeName(node)); }

constexpr int DepthRole = Qt::UserRole + 1;

// Draws a species of the list indented by its depth in the tree. The names themselves
// stay plain, so that typing a name finds it.
class TDepthDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem indented(option);
    indented.rect.adjust(index.data(DepthRole).toInt() * option.fontMetrics.averageCharWidth() * 3, 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
  }
};

// A species chooser for the further species of a mix: every node, in tree order.
QComboBox* SpeciesBox(QWidget* parent, std::int32_t chosen) {
  auto* box = new QComboBox(parent);
  box->setItemDelegate(new TDepthDelegate(box));
  for (std::int32_t node : SpeciesNodes()) {
    box->addItem(NodeName(node), node);
    box->setItemData(box->count() - 1, static_cast<int>(SpeciesNodeCode(node).size()) - 1, DepthRole);
    if (node == chosen) box->setCurrentIndex(box->count() - 1);
  }
  return box;
}

void FillShapeBox(QComboBox* box, std::int32_t node, SpeciesPart::Form shape) {
  const QSignalBlocker quiet(box);
  box->clear();
  const QString name = NodeName(node);
  box->addItems({name, QStringLiteral("Unknown ") + name, QStringLiteral("a name of my own (%1)").arg(name)});
  box->setCurrentIndex(static_cast<int>(shape));
  box->setVisible(SpeciesNodeHasChildren(node));
}

// Shapes wrap a breath weapon from the inside out: "|#" reads "clouds of beams of".
QString ShapeText(const std::string& shapes) {
  QString text;
  for (char shape : shapes) text.prepend(shape == '|' ? QStringLiteral("beams of ") : QStringLiteral("clouds of "));
  return text.isEmpty() ? QStringLiteral("(no shape)") : text + QStringLiteral("…");
}

constexpr std::string_view Shades[] = {"", "+", "++", "-", "--"};
const QStringList ShadeWords = {QStringLiteral("no shade"), QStringLiteral("light"), QStringLiteral("very light"),
                                QStringLiteral("dark"), QStringLiteral("very dark")};

// A colour's modifiers: one shade and any of the other words, from a menu.
QToolButton* ModifierMenu(QWidget* parent, const std::string& keys) {
  std::string shade, others;
  for (char key : keys) (key == '+' || key == '-' ? shade : others) += key;
  auto* button = new QToolButton(parent);
  button->setPopupMode(QToolButton::InstantPopup);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  auto* menu = new QMenu(button);
  auto* shades = new QActionGroup(menu);
  QStringList shown;
  for (std::size_t i = 0; i < std::size(Shades); ++i) {
    QAction* action = menu->addAction(ShadeWords[static_cast<qsizetype>(i)]);
    action->setCheckable(true);
    action->setChecked(Shades[i] == shade);
    action->setData(QString::fromLatin1(Shades[i].data(), static_cast<qsizetype>(Shades[i].size())));
    shades->addAction(action);
    if (action->isChecked() && i > 0) shown << action->text();
  }
  // A shade the menu has no entry for ("+-", "+++") is still shown as it reads.
  if (!shade.empty() && std::find(std::begin(Shades), std::end(Shades), shade) == std::end(Shades)) {
    QString word = shade.front() == '+' ? QStringLiteral("light") : QStringLiteral("dark");
    for (std::size_t i = 1; i < shade.size(); ++i) word.prepend(QStringLiteral("very "));
    shown << word;
  }
  menu->addSeparator();
  for (const ColourModifier& m : ColourModifiers) {
    if (m.Shade) continue;
    QAction* action = menu->addAction(Plain(m.Word));
    action->setCheckable(true);
    action->setChecked(others.find(m.Key) != std::string::npos);
    action->setData(QChar::fromLatin1(m.Key));
    if (action->isChecked()) shown << action->text();
  }
  button->setMenu(menu);
  const QString text = shown.isEmpty() ? QStringLiteral("no modifier") : shown.join(QLatin1Char(' '));
  button->setText(button->fontMetrics().elidedText(text, Qt::ElideRight, 160));
  button->setToolTip(text);
  return button;
}

// The modifiers after a menu choice: the shade first, then the others as they were,
// a ticked word added at the end and an unticked one taken out.
std::string ChangedModifiers(const std::string& keys, const QAction* chosen) {
  std::string shade, others;
  for (char key : keys) (key == '+' || key == '-' ? shade : others) += key;
  if (chosen->data().typeId() == QMetaType::QString) {
    shade = chosen->data().toString().toStdString();
  } else {
    const char key = chosen->data().toChar().toLatin1();
    std::erase(others, key);
    if (chosen->isChecked()) others += key;
  }
  return shade + others;
}

}  // namespace

template <typename C, typename F>
void TBuilderDialog::Edit(F edit, bool rebuild) {
  const int row = lbItems->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= persona.Items.size()) return;
  const auto* now = std::get_if<C>(&persona.Items[static_cast<std::size_t>(row)].Choices);
  if (now == nullptr) return;
  C next = *now;
  edit(next);
  ChoicesChanged(std::move(next));
  if (rebuild) RefillPageLater();
}

template <typename C, typename F>
QPushButton* TBuilderDialog::EditButton(const QString& text, const QString& name, F edit) {
  auto* button = Name(new QPushButton(text, pnPage), name, text);
  connect(button, &QPushButton::clicked, this, [this, edit] { Edit<C>(edit, true); });
  return button;
}

void TBuilderDialog::FillPage() {
  // A page rebuilt after a choice keeps the keyboard on the control of the same name,
  // and its place in the scroll area.
  const int row = lbItems->currentRow();
  QWidget* focus = QApplication::focusWidget();
  const bool same = row == pageRow && pnPage != nullptr;
  const QString focusName = same && focus != nullptr && pnPage->isAncestorOf(focus) ? focus->objectName() : QString();
  const int scrolled = same ? sbPage->verticalScrollBar()->value() : 0;
  pageRow = row;

  pnPage = new QWidget;
  pnPage->setObjectName(QStringLiteral("pnPage"));
  pageLayout = new QVBoxLayout(pnPage);
  if (row >= 0 && static_cast<std::size_t>(row) < persona.Items.size()) {
    const PersonaItem& item = persona.Items[static_cast<std::size_t>(row)];
    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(Title(item).toHtmlEscaped()), pnPage);
    pageLayout->addWidget(title);
    const TagRow* tag = item.Tag;
    std::visit(
        [&](const auto& c) {
          using C = std::decay_t<decltype(c)>;
          if constexpr (std::is_same_v<C, std::monostate>) AddKeptPage(item);
          else if constexpr (std::is_same_v<C, SpeciesChoices>) AddSpeciesPage(c);
          else if constexpr (std::is_same_v<C, RatedChoices>) AddRatedPage(*tag, c);
          else if constexpr (std::is_same_v<C, SplitChoices>) AddSplitPage(*tag, c);
          else if constexpr (std::is_same_v<C, GenderChoices>) AddGenderPage(c);
          else if constexpr (std::is_same_v<C, MeasureChoices>) AddMeasurePage(*tag, c);
          else if constexpr (std::is_same_v<C, ColourChoices>) AddColourPage(c);
          else if constexpr (std::is_same_v<C, BreathChoices>) AddBreathPage(c);
          else if constexpr (std::is_same_v<C, DietChoices>) AddDietPage(*tag, c);
          else if constexpr (std::is_same_v<C, AppendageChoices>) AddAppendagesPage(c);
          else AddSkinPage(c);
        },
        item.Choices);
  }
  pageLayout->addStretch(1);
  // The old page may still be telling of the change that rebuilds it (a menu, say).
  if (QWidget* old = sbPage->takeWidget()) {
    old->hide();
    old->deleteLater();
  }
  sbPage->setWidget(pnPage);
  // A page is built apart from the window: its controls are put between the item
  // list's buttons and the code in the tab order.
  QWidget* before = btnDown;
  for (QObject* child : pnPage->children())
    if (auto* control = qobject_cast<QWidget*>(child); control != nullptr && (control->focusPolicy() & Qt::TabFocus) != 0) {
      setTabOrder(before, control);
      before = control;
    }
  setTabOrder(before, edCode);
  pageLayout->activate();
  sbPage->verticalScrollBar()->setValue(scrolled);
  if (focusName.isEmpty()) return;
  if (auto* again = pnPage->findChild<QWidget*>(focusName)) {
    again->setFocus();
    sbPage->ensureWidgetVisible(again);
  }
}

QComboBox* TBuilderDialog::RatingBox(const TagRow& tag, std::int32_t rating, const QString& name) {
  auto* box = Name(new QComboBox(pnPage), name, QStringLiteral("Rating"));
  for (std::size_t i = 0; i < tag.Scale.size(); ++i) {
    if (!RatingOffered(tag, static_cast<std::int32_t>(i))) continue;
    box->addItem(Plain(tag.Scale[i].Text), static_cast<int>(i));
    if (static_cast<std::int32_t>(i) == rating) box->setCurrentIndex(box->count() - 1);
  }
  return box;
}

// --- species ---

// The first species is chosen in the tree; further ones, the forms of a shapechanger
// and what the persona looks like or is trapped in, each in a list of every species.
void TBuilderDialog::AddSpeciesPage(const SpeciesChoices& c) {
  using Whole = SpeciesChoices::Whole;
  using Relation = SpeciesChoices::Relation;
  auto* kind = Name(Combo(pnPage,
                          {QStringLiteral("A species, or a mix of several"), QStringLiteral("A shapechanger"),
                           QStringLiteral("I don't know what I am")},
                          static_cast<int>(c.Kind)),
                    QStringLiteral("cbSpeciesKind"), QStringLiteral("What I am"));
  pageLayout->addWidget(kind);
  connect(kind, &QComboBox::currentIndexChanged, this, [this](int index) {
    Edit<SpeciesChoices>(
        [index](SpeciesChoices& s) {
          s.Kind = static_cast<Whole>(index);
          if (s.Kind != Whole::DontKnow && s.Members.empty()) s.Members.emplace_back();
          // Only a mix looks like or is trapped in something.
          if (s.Kind != Whole::Mix) s.Other = Relation::None, s.OtherMembers.clear();
        },
        true);
  });
  if (c.Kind == Whole::DontKnow) return;

  auto* search = Name(new QLineEdit(pnPage), QStringLiteral("edSpeciesSearch"), QStringLiteral("Search the species"));
  search->setPlaceholderText(QStringLiteral("Search the species"));
  auto* tree = Name(new QTreeWidget(pnPage), QStringLiteral("tvSpecies"),
                    c.Kind == Whole::Mix ? QStringLiteral("Species") : QStringLiteral("First form"));
  tree->setHeaderHidden(true);
  tree->setMinimumHeight(160);
  std::map<std::string, QTreeWidgetItem*> byCode;
  const std::int32_t chosen = c.Members.empty() ? 0 : c.Members.front().Node;
  for (std::int32_t node : SpeciesNodes()) {
    const std::string code = SpeciesNodeCode(node);
    const auto parent = byCode.find(code.substr(0, code.size() - 1));
    auto* item = parent == byCode.end() ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(parent->second);
    item->setText(0, NodeName(node));
    item->setData(0, Qt::UserRole, node);
    byCode[code] = item;
    if (node == chosen) tree->setCurrentItem(item);
  }
  pageLayout->addWidget(search);
  pageLayout->addWidget(tree);
  connect(search, &QLineEdit::textChanged, tree, [tree](const QString& text) {
    // A node shows when it or one below it matches.
    std::function<bool(QTreeWidgetItem*)> show = [&](QTreeWidgetItem* item) {
      bool any = item->text(0).contains(text, Qt::CaseInsensitive);
      for (int i = 0; i < item->childCount(); ++i) any = show(item->child(i)) || any;
      item->setHidden(!any);
      if (any && !text.isEmpty()) item->setExpanded(true);
      return any;
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) show(tree->topLevelItem(i));
  });
  if (!c.Members.empty()) {
    AddSpeciesPart(c.Members.front(), false, 0);
  }
  // The tree changes the first species in place: rebuilding would lose the search.
  connect(tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const std::int32_t node = item->data(0, Qt::UserRole).toInt();
    const bool hadNone = [&] {
      const auto* s = std::get_if<SpeciesChoices>(&persona.Items[static_cast<std::size_t>(lbItems->currentRow())].Choices);
      return s == nullptr || s->Members.empty();
    }();
    Edit<SpeciesChoices>(
        [node](SpeciesChoices& s) {
          if (s.Members.empty()) s.Members.emplace_back();
          s.Members.front().Node = node;
          if (!SpeciesNodeHasChildren(node)) s.Members.front().Shape = SpeciesPart::Form::Node;
        },
        hadNone);
    if (auto* shape = pnPage->findChild<QComboBox*>(QStringLiteral("cbMemberShape0"))) {
      const auto* s = std::get_if<SpeciesChoices>(&persona.Items[static_cast<std::size_t>(lbItems->currentRow())].Choices);
      FillShapeBox(shape, node, s->Members.front().Shape);
      if (auto* name = pnPage->findChild<QLineEdit*>(QStringLiteral("edMemberName0")))
        name->setVisible(s->Members.front().Shape == SpeciesPart::Form::OwnName);
    }
  });

  if (c.Members.size() > 1)
    pageLayout->addWidget(new QLabel(c.Kind == Whole::Mix ? QStringLiteral("Mixed with:") : QStringLiteral("Further forms:"), pnPage));
  for (std::size_t i = 1; i < c.Members.size(); ++i) AddSpeciesPart(c.Members[i], false, i);
  pageLayout->addLayout(Row({EditButton<SpeciesChoices>(
      c.Kind == Whole::Mix ? QStringLiteral("Add a species to the mix") : QStringLiteral("Add a form"),
      QStringLiteral("btnAddMember"), [](SpeciesChoices& s) { s.Members.emplace_back(); })}));
  if (c.Kind != Whole::Mix) return;

  auto* relation = Name(Combo(pnPage,
                              {QStringLiteral("(nothing more)"), QStringLiteral("who looks like:"),
                               QStringLiteral("trapped in the body of:")},
                              static_cast<int>(c.Other)),
                        QStringLiteral("cbRelation"), QStringLiteral("What I look like or am trapped in"));
  pageLayout->addWidget(relation);
  connect(relation, &QComboBox::currentIndexChanged, this, [this](int index) {
    Edit<SpeciesChoices>(
        [index](SpeciesChoices& s) {
          s.Other = static_cast<Relation>(index);
          if (s.Other == Relation::None) s.OtherMembers.clear();
          else if (s.OtherMembers.empty()) s.OtherMembers.emplace_back();
        },
        true);
  });
  if (c.Other == Relation::None) return;
  for (std::size_t i = 0; i < c.OtherMembers.size(); ++i) AddSpeciesPart(c.OtherMembers[i], true, i);
  pageLayout->addLayout(Row({EditButton<SpeciesChoices>(QStringLiteral("Add a species there"), QStringLiteral("btnAddOther"),
                                                        [](SpeciesChoices& s) { s.OtherMembers.emplace_back(); })}));
}

// One species of a mix or a form: which (unless the tree says), whether an unknown
// kind of it or a name of one's own, and whether it changes shape.
void TBuilderDialog::AddSpeciesPart(const SpeciesPart& part, bool other, std::size_t at) {
  const auto pick = [other, at](SpeciesChoices& s) { return At(other ? s.OtherMembers : s.Members, at); };
  const QString which = (other ? QStringLiteral("Other species %1") : QStringLiteral("Species %1")).arg(at + 1);
  const std::size_t count = [&] {
    const auto& s = std::get<SpeciesChoices>(persona.Items[static_cast<std::size_t>(lbItems->currentRow())].Choices);
    return (other ? s.OtherMembers : s.Members).size();
  }();
  if (other || at > 0) {
    auto* species = Name(SpeciesBox(pnPage, part.Node), Id(other ? "cbOther" : "cbMember", at), which);
    connect(species, &QComboBox::currentIndexChanged, this, [this, species, pick] {
      const std::int32_t node = species->currentData().toInt();
      Edit<SpeciesChoices>(
          [&](SpeciesChoices& s) {
            if (SpeciesPart* p = pick(s)) {
              p->Node = node;
              if (!SpeciesNodeHasChildren(node)) p->Shape = SpeciesPart::Form::Node;
            }
          },
          true);
    });
    QPushButton* remove = nullptr;
    if (count > 1)
      remove = EditButton<SpeciesChoices>(QStringLiteral("Remove"), Id(other ? "btnRemoveOther" : "btnRemoveMember", at),
                                          [other, at](SpeciesChoices& s) {
                                            auto& list = other ? s.OtherMembers : s.Members;
                                            if (at < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(at));
                                          });
    if (remove != nullptr) remove->setAccessibleName(QStringLiteral("Remove ") + which);
    pageLayout->addLayout(Row({species, remove}));
  }

  auto* shape = Name(new QComboBox(pnPage), Id(other ? "cbOtherShape" : "cbMemberShape", at),
                     which + QStringLiteral(": what kind"));
  FillShapeBox(shape, part.Node, part.Shape);
  auto* name = Name(TextField(pnPage, part.Name, OwnNameAllows, QStringLiteral("my own name, in small letters")),
                    Id(other ? "edOtherName" : "edMemberName", at), which + QStringLiteral(": my own name"));
  name->setVisible(part.Shape == SpeciesPart::Form::OwnName);
  auto* changes = Name(new QCheckBox(QStringLiteral("who changes shape occasionally"), pnPage),
                       Id(other ? "ckOtherChanges" : "ckMemberChanges", at), which + QStringLiteral(": changes shape"));
  changes->setChecked(part.ChangesShape);
  pageLayout->addLayout(Row({shape, name, changes}));
  connect(shape, &QComboBox::currentIndexChanged, this, [this, pick, name](int index) {
    if (index < 0) return;
    Edit<SpeciesChoices>([&](SpeciesChoices& s) {
      if (SpeciesPart* p = pick(s)) p->Shape = static_cast<SpeciesPart::Form>(index);
    });
    name->setVisible(index == static_cast<int>(SpeciesPart::Form::OwnName));
  });
  connect(name, &QLineEdit::textEdited, this, [this, pick](const QString& text) {
    Edit<SpeciesChoices>([&](SpeciesChoices& s) {
      if (SpeciesPart* p = pick(s)) p->Name = text.toStdString();
    });
  });
  connect(changes, &QCheckBox::toggled, this, [this, pick](bool on) {
    Edit<SpeciesChoices>([&](SpeciesChoices& s) {
      if (SpeciesPart* p = pick(s)) p->ChangesShape = on;
    });
  });
}

// --- ratings ---

void TBuilderDialog::AddRatedPage(const TagRow& tag, const RatedChoices& c) {
  QComboBox* box = RatingBox(tag, c.Rating);
  pageLayout->addWidget(box);
  connect(box, &QComboBox::currentIndexChanged, this, [this, box] {
    const int rating = box->currentData().toInt();
    Edit<RatedChoices>([&](RatedChoices& r) { r.Rating = rating; });
  });
  const auto mark = [&](std::string_view text, bool on, bool RatedChoices::*field, const char* name) {
    auto* check = Name(new QCheckBox(Plain(text), pnPage), QString::fromLatin1(name), Plain(text));
    check->setChecked(on);
    pageLayout->addWidget(check);
    connect(check, &QCheckBox::toggled, this, [this, field](bool value) { Edit<RatedChoices>([&](RatedChoices& r) { r.*field = value; }); });
  };
  if (tag.Kind == TagKind::Fruitiness) {
    mark(FruitinessJoinedText, c.Joined, &RatedChoices::Joined, "ckJoined");
    mark(FruitinessFlamedText, c.Flamed, &RatedChoices::Flamed, "ckFlamed");
  }
  if (tag.Kind == TagKind::Irritability) mark(BarbequeText, c.Barbeque, &RatedChoices::Barbeque, "ckBarbeque");
  if (tag.Kind == TagKind::Specialist) {
    auto* field = Name(TextField(pnPage, c.Field.value_or(""), FieldAllows, QStringLiteral("My specialist field (none when empty)")),
                       QStringLiteral("edField"), QStringLiteral("Specialist field"));
    pageLayout->addWidget(field);
    connect(field, &QLineEdit::textEdited, this, [this](const QString& text) {
      Edit<RatedChoices>([&](RatedChoices& r) {
        if (text.isEmpty()) r.Field.reset();
        else r.Field = text.toStdString();
      });
    });
  }
}

// --- real and virtual life ---

// One entry, or one per life; mating status adds mates, a dead mate and a
// conspiracy, offspring a count and adoption.
void TBuilderDialog::AddSplitPage(const TagRow& tag, const SplitChoices& c) {
  using Life = SplitEntry::Life;
  const bool mating = tag.ReadEntry == ReadMatingEntry;
  const bool offspring = tag.ReadEntry == ReadOffspringEntry;
  const bool group = c.Entries.size() > 1;
  for (std::size_t i = 0; i < c.Entries.size(); ++i) {
    const SplitEntry& e = c.Entries[i];
    if (i > 0) pageLayout->addSpacing(6);
    const auto pick = [i](SplitChoices& s) { return At(s.Entries, i); };
    QStringList lives;
    if (!group) lives << Plain(tag.Heading);
    lives << Plain(tag.RealLife) << Plain(tag.Virtual);
    // In a group every entry names its life; one alone may stand for both.
    const int first = group ? 1 : 0;
    const QString of = group ? QStringLiteral(", entry %1").arg(i + 1) : QString();
    auto* life = Name(Combo(pnPage, lives, std::max(static_cast<int>(e.Of) - first, 0)), Id("cbLife", i),
                      QStringLiteral("Life of entry %1").arg(i + 1));
    connect(life, &QComboBox::currentIndexChanged, this, [this, pick, first](int index) {
      Edit<SplitChoices>([&](SplitChoices& s) {
        if (SplitEntry* p = pick(s)) p->Of = static_cast<Life>(index + first);
      });
    });
    QPushButton* remove = group ? Speaking(EditButton<SplitChoices>(QStringLiteral("Remove"), Id("btnRemoveEntry", i),
                                                           [i](SplitChoices& s) {
                                                             if (i < s.Entries.size()) s.Entries.erase(s.Entries.begin() + static_cast<std::ptrdiff_t>(i));
                                                           }),
                                           QStringLiteral("Remove entry %1").arg(i + 1))
                                : nullptr;
    pageLayout->addLayout(Row({life, remove}));

    const bool counted = offspring && (e.CountSign == '+' || e.CountSign == '-');
    if (offspring) {
      auto* form = Name(Combo(pnPage,
                              {QStringLiteral("A rating"), QStringLiteral("I have … hatchlings that are still home."),
                               QStringLiteral("I have … hatchlings that have flown the coop.")},
                              e.CountSign == '+' ? 1 : e.CountSign == '-' ? 2 : 0),
                        Id("cbCountForm", i), QStringLiteral("Rating or number of hatchlings") + of);
      auto* count = Name(new QSpinBox(pnPage), Id("sbCount", i), QStringLiteral("Number of hatchlings") + of);
      count->setRange(0, 9999);
      count->setValue(e.Count);
      count->setVisible(counted);
      pageLayout->addLayout(Row({form, count}));
      connect(form, &QComboBox::currentIndexChanged, this, [this, pick](int index) {
        Edit<SplitChoices>(
            [&](SplitChoices& s) {
              if (SplitEntry* p = pick(s)) p->CountSign = index == 1 ? '+' : index == 2 ? '-' : '\0';
            },
            true);
      });
      connect(count, &QSpinBox::valueChanged, this, [this, pick](int value) {
        Edit<SplitChoices>([&](SplitChoices& s) {
          if (SplitEntry* p = pick(s)) p->Count = value;
        });
      });
    }
    if (!counted) {
      QComboBox* rating = Speaking(RatingBox(tag, e.Rating, i == 0 ? QStringLiteral("cbRating") : Id("cbRating", i)), QStringLiteral("Rating") + of);
      pageLayout->addWidget(rating);
      connect(rating, &QComboBox::currentIndexChanged, this, [this, rating, pick, mating] {
        const int value = rating->currentData().toInt();
        // Mates and a dead mate follow plusses only: the page shows whether they can.
        Edit<SplitChoices>(
            [&](SplitChoices& s) {
              if (SplitEntry* p = pick(s)) p->Rating = value;
            },
            mating);
      });
    }
    if (mating) {
      const bool plus = static_cast<std::size_t>(e.Rating) < tag.Scale.size() && tag.Scale[static_cast<std::size_t>(e.Rating)].Key.starts_with('+');
      auto* mates = Name(new QSpinBox(pnPage), Id("sbMates", i), QStringLiteral("Number of mates") + of);
      mates->setRange(0, 999);
      mates->setSpecialValueText(QStringLiteral("no number of mates"));
      mates->setPrefix(QStringLiteral("I have "));
      mates->setSuffix(QStringLiteral(" mates"));
      mates->setValue(e.Mates);
      mates->setEnabled(plus);
      auto* dead = Name(new QCheckBox(QStringLiteral("My mate is dead"), pnPage), Id("ckMateDead", i), QStringLiteral("My mate is dead") + of);
      dead->setChecked(e.MateDead);
      dead->setEnabled(plus);
      auto* conspiracy = Name(Combo(pnPage,
                                    {QStringLiteral("(no conspiracy)"), QStringLiteral("I'm a member of the XX conspiracy!"),
                                     QStringLiteral("I'm a member of the XY conspiracy!")},
                                    e.Conspiracy == 'x' ? 1 : e.Conspiracy == 'y' ? 2 : 0),
                              Id("cbConspiracy", i), QStringLiteral("Conspiracy") + of);
      pageLayout->addLayout(Row({mates, dead}));
      pageLayout->addWidget(conspiracy);
      connect(mates, &QSpinBox::valueChanged, this, [this, pick](int value) {
        Edit<SplitChoices>([&](SplitChoices& s) {
          if (SplitEntry* p = pick(s)) p->Mates = value;
        });
      });
      connect(dead, &QCheckBox::toggled, this, [this, pick](bool on) {
        Edit<SplitChoices>([&](SplitChoices& s) {
          if (SplitEntry* p = pick(s)) p->MateDead = on;
        });
      });
      connect(conspiracy, &QComboBox::currentIndexChanged, this, [this, pick](int index) {
        Edit<SplitChoices>([&](SplitChoices& s) {
          if (SplitEntry* p = pick(s)) p->Conspiracy = index == 1 ? 'x' : index == 2 ? 'y' : '\0';
        });
      });
    }
    if (offspring) {
      auto* adopted = Name(new QCheckBox(QStringLiteral("My hatchlings are adopted."), pnPage), Id("ckAdopted", i),
                           QStringLiteral("My hatchlings are adopted") + of);
      adopted->setChecked(e.Adopted);
      pageLayout->addWidget(adopted);
      connect(adopted, &QCheckBox::toggled, this, [this, pick](bool on) {
        Edit<SplitChoices>([&](SplitChoices& s) {
          if (SplitEntry* p = pick(s)) p->Adopted = on;
        });
      });
    }
  }
  if (c.Entries.size() < 4)
    pageLayout->addLayout(Row({EditButton<SplitChoices>(QStringLiteral("Add an entry for a life"), QStringLiteral("btnAddEntry"),
                                                        [](SplitChoices& s) {
                                                          for (SplitEntry& e : s.Entries)
                                                            if (e.Of == Life::Both) e.Of = Life::Real;
                                                          SplitEntry next;
                                                          next.Of = !s.Entries.empty() && s.Entries.back().Of == Life::Real ? Life::Virtual : Life::Real;
                                                          s.Entries.push_back(next);
                                                        })}));
}

// --- gender ---

void TBuilderDialog::AddGenderPage(const GenderChoices& c) {
  using Form = GenderPart::Form;
  const int own = static_cast<int>(GenderLetters.size());
  QStringList words;
  for (const GenderRow& row : GenderLetters) words << Qs(row.Phrase);
  for (std::size_t i = 0; i < c.Parts.size(); ++i) {
    const GenderPart& part = c.Parts[i];
    if (i > 0) pageLayout->addSpacing(6);
    const auto pick = [i](GenderChoices& g) { return At(g.Parts, i); };
    if (i > 0) {
      auto* join = Name(Combo(pnPage, {QStringLiteral("but mentally I'm"), QStringLiteral("changing into")}, part.Join == '>' ? 1 : 0),
                        Id("cbJoin", i), QStringLiteral("How gender %1 follows").arg(i + 1));
      connect(join, &QComboBox::currentIndexChanged, this, [this, pick](int index) {
        Edit<GenderChoices>([&](GenderChoices& g) {
          if (GenderPart* p = pick(g)) p->Join = index == 1 ? '>' : '/';
        });
      });
      pageLayout->addLayout(Row({join, Speaking(EditButton<GenderChoices>(QStringLiteral("Remove"), Id("btnRemoveGender", i), [i](GenderChoices& g) {
                                   if (i < g.Parts.size()) g.Parts.erase(g.Parts.begin() + static_cast<std::ptrdiff_t>(i));
                                 }), QStringLiteral("Remove gender %1").arg(i + 1))}));
    }
    const int current = part.Shape == Form::Free ? own : part.Shape == Form::Variable ? own + 1 : part.Letter;
    auto* box = Name(Combo(pnPage, words + QStringList{QStringLiteral("a description of my own"), QStringLiteral("variable")}, current),
                     Id("cbGender", i), QStringLiteral("Gender %1").arg(i + 1));
    pageLayout->addWidget(box);
    connect(box, &QComboBox::currentIndexChanged, this, [this, pick, own](int index) {
      Edit<GenderChoices>(
          [&](GenderChoices& g) {
            GenderPart* p = pick(g);
            if (p == nullptr) return;
            p->Shape = index == own ? Form::Free : index == own + 1 ? Form::Variable : Form::Letter;
            if (index < own) p->Letter = index;
          },
          true);
    });
    if (part.Shape == Form::Free) {
      auto* free = Name(TextField(pnPage, part.Text, QuotedAllows, QStringLiteral("my own description")), Id("edGender", i),
                        QStringLiteral("Gender %1: my own description").arg(i + 1));
      pageLayout->addWidget(free);
      connect(free, &QLineEdit::textEdited, this, [this, pick](const QString& text) {
        Edit<GenderChoices>([&](GenderChoices& g) {
          if (GenderPart* p = pick(g)) p->Text = text.toStdString();
        });
      });
    }
    if (part.Shape == Form::Variable) {
      std::vector<bool> ticked(GenderLetters.size());
      for (std::int32_t row : part.Among)
        if (row >= 0 && static_cast<std::size_t>(row) < ticked.size()) ticked[static_cast<std::size_t>(row)] = true;
      auto* among = Name(TickMenu(pnPage, words, ticked, QStringLiteral("(not saying between which)")), Id("btnBetween", i),
                         QStringLiteral("Gender %1: variable between").arg(i + 1));
      pageLayout->addLayout(Row({new QLabel(QStringLiteral("between"), pnPage), among}));
      connect(among->menu(), &QMenu::triggered, this, [this, pick, among] {
        const std::vector<std::int32_t> rows = TickedRows(among->menu());
        Edit<GenderChoices>(
            [&](GenderChoices& g) {
              if (GenderPart* p = pick(g)) p->Among = rows;
            },
            true);
      });
    }
  }
  pageLayout->addLayout(Row({EditButton<GenderChoices>(QStringLiteral("Add another gender"), QStringLiteral("btnAddGender"),
                                                       [](GenderChoices& g) { g.Parts.emplace_back(); })}));
}

// --- length and weight ---

void TBuilderDialog::AddMeasurePage(const TagRow& tag, const MeasureChoices& c) {
  auto* measured = Name(new QCheckBox(QStringLiteral("Give a number"), pnPage), QStringLiteral("ckMeasured"), QStringLiteral("Give a number"));
  measured->setChecked(!c.Rating);
  pageLayout->addWidget(measured);
  connect(measured, &QCheckBox::toggled, this, [this](bool on) {
    Edit<MeasureChoices>(
        [&](MeasureChoices& m) {
          if (on) m.Rating.reset();
          else m.Rating = 4;
        },
        true);
  });
  if (c.Rating) {
    QComboBox* box = RatingBox(tag, *c.Rating);
    pageLayout->addWidget(box);
    connect(box, &QComboBox::currentIndexChanged, this, [this, box] {
      const int rating = box->currentData().toInt();
      Edit<MeasureChoices>([&](MeasureChoices& m) { m.Rating = rating; });
    });
    return;
  }
  auto* number = Name(new TNumberBox(pnPage), QStringLiteral("sbNumber"), QStringLiteral("Number"));
  number->setValue(QString::fromStdString(c.Number).toDouble());
  QStringList units;
  for (const UnitRow& row : tag.Units) units << Qs(row.Word);
  auto* unit = Name(Combo(pnPage, units, c.Unit), QStringLiteral("cbUnit"), QStringLiteral("Unit"));
  pageLayout->addLayout(Row({number, unit}));
  // Each control changes only its own part: a number the box cannot show stays as written.
  connect(number, &QDoubleSpinBox::valueChanged, this, [this](double value) {
    Edit<MeasureChoices>([&](MeasureChoices& m) { m.Number = NumberText(value).toStdString(); });
  });
  // Body parts are measured in the same unit, and say so.
  connect(unit, &QComboBox::currentIndexChanged, this, [this, parts = !c.Parts.empty()](int index) {
    Edit<MeasureChoices>([&](MeasureChoices& m) { m.Unit = index; }, parts);
  });
  if (tag.BodyParts.empty()) return;

  QStringList parts;
  for (const BodyPartRow& row : tag.BodyParts) parts << Plain(row.After);
  for (std::size_t i = 0; i < c.Parts.size(); ++i) {
    const auto pick = [i](MeasureChoices& m) { return At(m.Parts, i); };
    auto* length = Name(new TNumberBox(pnPage), Id("sbPartNumber", i), QStringLiteral("Length of body part %1").arg(i + 1));
    length->setValue(QString::fromStdString(c.Parts[i].Number).toDouble());
    length->setSuffix(QLatin1Char(' ') + units.value(c.Unit));
    auto* part = Name(Combo(pnPage, parts, c.Parts[i].Row), Id("cbBodyPart", i), QStringLiteral("Body part %1").arg(i + 1));
    pageLayout->addLayout(Row({length, part, Speaking(EditButton<MeasureChoices>(QStringLiteral("Remove"), Id("btnRemovePart", i), [i](MeasureChoices& m) {
                                 if (i < m.Parts.size()) m.Parts.erase(m.Parts.begin() + static_cast<std::ptrdiff_t>(i));
                               }), QStringLiteral("Remove body part %1").arg(i + 1))}));
    connect(length, &QDoubleSpinBox::valueChanged, this, [this, pick](double value) {
      Edit<MeasureChoices>([&](MeasureChoices& m) {
        if (auto* p = pick(m)) p->Number = NumberText(value).toStdString();
      });
    });
    connect(part, &QComboBox::currentIndexChanged, this, [this, pick](int index) {
      Edit<MeasureChoices>([&](MeasureChoices& m) {
        if (auto* p = pick(m)) p->Row = index;
      });
    });
  }
  pageLayout->addLayout(Row({EditButton<MeasureChoices>(QStringLiteral("Add a body part"), QStringLiteral("btnAddPart"), [](MeasureChoices& m) {
    m.Parts.push_back({"1", static_cast<std::int32_t>(m.Parts.size() % LengthBodyParts.size())});
  })}));
}

// --- colour ---

// A small pattern editor per group: a colour with its modifiers, then a pattern and
// the next colour, which the pattern holds; optionally what it changes to.
void TBuilderDialog::AddColourPage(const ColourChoices& c) {
  QStringList parts;
  for (const ColourBodyPart& part : ColourBodyParts) parts << Plain(part.Heading);
  for (std::size_t g = 0; g < c.Groups.size(); ++g) {
    const ColourGroup& group = c.Groups[g];
    if (g == 0) {
      pageLayout->addWidget(new QLabel(Plain(FindTag("C")->Heading), pnPage));
    } else {
      pageLayout->addSpacing(8);
      auto* part = Name(Combo(pnPage, parts, std::max(group.BodyPart, 0)), Id("cbColourPart", g), QStringLiteral("Body part %1").arg(g));
      connect(part, &QComboBox::currentIndexChanged, this, [this, g](int index) {
        Edit<ColourChoices>([&](ColourChoices& s) {
          if (ColourGroup* p = At(s.Groups, g)) p->BodyPart = index;
        });
      });
      pageLayout->addLayout(Row({part, Speaking(EditButton<ColourChoices>(QStringLiteral("Remove"), Id("btnRemoveColourPart", g), [g](ColourChoices& s) {
                                   if (g < s.Groups.size()) s.Groups.erase(s.Groups.begin() + static_cast<std::ptrdiff_t>(g));
                                 }), QStringLiteral("Remove body part %1").arg(g))}));
    }
    AddColourChain(group.Colour, g, false);
    auto* changes = Name(new QCheckBox(QStringLiteral("changing to"), pnPage), Id("ckChanging", g),
                         QStringLiteral("Group %1 changing to another colour").arg(g + 1));
    changes->setChecked(!group.ChangesTo.empty());
    pageLayout->addWidget(changes);
    connect(changes, &QCheckBox::toggled, this, [this, g](bool on) {
      Edit<ColourChoices>(
          [&](ColourChoices& s) {
            if (ColourGroup* p = At(s.Groups, g)) p->ChangesTo = on ? std::vector<ColourLink>{ColourLink{}} : std::vector<ColourLink>{};
          },
          true);
    });
    if (!group.ChangesTo.empty()) AddColourChain(group.ChangesTo, g, true);
  }
  pageLayout->addLayout(Row({EditButton<ColourChoices>(QStringLiteral("Add a body part"), QStringLiteral("btnAddColourPart"), [](ColourChoices& s) {
    ColourGroup next;
    next.BodyPart = static_cast<std::int32_t>((s.Groups.size() + ColourBodyParts.size() - 2) % ColourBodyParts.size());
    next.Colour.emplace_back();
    s.Groups.push_back(std::move(next));
  })}));
}

// The deepest pattern offered: each pattern holds the rest of the chain.
constexpr std::size_t MostColourLinks = 6;

void TBuilderDialog::AddColourChain(const std::vector<ColourLink>& chain, std::size_t g, bool changesTo) {
  const auto links = [g, changesTo](ColourChoices& s) -> std::vector<ColourLink>* {
    ColourGroup* group = At(s.Groups, g);
    return group == nullptr ? nullptr : changesTo ? &group->ChangesTo : &group->Colour;
  };
  QStringList colours;
  for (const ColourEntry& entry : ColourTable) colours << Qs(entry.Name);
  QStringList patterns{QStringLiteral("(no pattern)")};
  for (const ColourCombiner& combiner : ColourCombiners)
    patterns << QStringLiteral("%1…%2…%3").arg(Qs(combiner.Join.Before), Qs(combiner.Join.Between), Qs(combiner.Join.After)).trimmed();
  const QString where = changesTo ? QStringLiteral("changed ") : QString();
  for (std::size_t k = 0; k < chain.size(); ++k) {
    const auto pick = [links, k](ColourChoices& s) {
      std::vector<ColourLink>* list = links(s);
      return list == nullptr ? nullptr : At(*list, k);
    };
    auto* colour = Name(Combo(pnPage, colours, chain[k].Colour), Id(changesTo ? "cbChangeColour" : "cbColour", g, k),
                        QStringLiteral("Colour %1 of %2group %3").arg(k + 1).arg(where).arg(g + 1));
    auto* modifiers = Name(ModifierMenu(pnPage, chain[k].Modifiers), Id(changesTo ? "btnChangeModifiers" : "btnModifiers", g, k),
                           QStringLiteral("Modifiers of colour %1 of %2group %3").arg(k + 1).arg(where).arg(g + 1));
    // The last colour offers a pattern only while the chain may grow.
    const bool last = k + 1 == chain.size();
    auto* pattern = Name(Combo(pnPage, last && chain.size() >= MostColourLinks ? patterns.mid(0, 1) : patterns, chain[k].Combiner + 1),
                         Id(changesTo ? "cbChangePattern" : "cbPattern", g, k),
                         QStringLiteral("Pattern after colour %1 of %2group %3").arg(k + 1).arg(where).arg(g + 1));
    QHBoxLayout* row = Row({colour, modifiers, pattern});
    // What a colour changes to stands under it.
    if (changesTo) row->setContentsMargins(24, 0, 0, 0);
    pageLayout->addLayout(row);
    connect(colour, &QComboBox::currentIndexChanged, this, [this, pick](int index) {
      Edit<ColourChoices>([&](ColourChoices& s) {
        if (ColourLink* p = pick(s)) p->Colour = index;
      });
    });
    connect(modifiers->menu(), &QMenu::triggered, this, [this, pick](QAction* chosen) {
      Edit<ColourChoices>(
          [&](ColourChoices& s) {
            if (ColourLink* p = pick(s)) p->Modifiers = ChangedModifiers(p->Modifiers, chosen);
          },
          true);
    });
    connect(pattern, &QComboBox::currentIndexChanged, this, [this, links, k](int index) {
      Edit<ColourChoices>(
          [&](ColourChoices& s) {
            std::vector<ColourLink>* list = links(s);
            if (list == nullptr || k >= list->size()) return;
            (*list)[k].Combiner = index - 1;
            if (index == 0) list->resize(k + 1);
            else if (k + 1 == list->size()) list->push_back(ColourLink{});
          },
          true);
    });
  }
}

// --- breath ---

void TBuilderDialog::AddBreathPage(const BreathChoices& c) {
  QStringList names;
  for (const BreathWeapon& w : BreathWeapons) names << Qs(w.Name);
  names << QStringLiteral("a name of my own");
  const std::vector<std::string> shapes{"", "|", "#", "|#", "#|"};
  for (std::size_t i = 0; i < c.Weapons.size(); ++i) {
    const BreathPart& w = c.Weapons[i];
    if (i > 0) pageLayout->addSpacing(6);
    const auto pick = [i](BreathChoices& b) { return At(b.Weapons, i); };
    const QString which = QStringLiteral("Breath weapon %1").arg(i + 1);
    auto* box = Name(Combo(pnPage, names, w.Weapon < 0 ? static_cast<int>(BreathWeapons.size()) : w.Weapon), Id("cbBreath", i), which);
    QPushButton* remove = c.Weapons.size() > 1 ? Speaking(EditButton<BreathChoices>(QStringLiteral("Remove"), Id("btnRemoveBreath", i), [i](BreathChoices& b) {
      if (i < b.Weapons.size()) b.Weapons.erase(b.Weapons.begin() + static_cast<std::ptrdiff_t>(i));
    }), QStringLiteral("Remove ") + which.toLower())
                                               : nullptr;
    pageLayout->addLayout(Row({box, remove}));
    connect(box, &QComboBox::currentIndexChanged, this, [this, pick](int index) {
      Edit<BreathChoices>(
          [&](BreathChoices& b) {
            if (BreathPart* p = pick(b)) p->Weapon = index == static_cast<int>(BreathWeapons.size()) ? -1 : index;
          },
          true);
    });
    if (w.Weapon < 0) {
      auto* name = Name(TextField(pnPage, w.Name, QuotedAllows, QStringLiteral("what I breathe")), Id("edBreathName", i),
                        which + QStringLiteral(": my own name"));
      pageLayout->addWidget(name);
      connect(name, &QLineEdit::textEdited, this, [this, pick](const QString& text) {
        Edit<BreathChoices>([&](BreathChoices& b) {
          if (BreathPart* p = pick(b)) p->Name = text.toStdString();
        });
      });
    }
    auto* adjective = Name(TextField(pnPage, w.Adjective, QuotedAllows, QStringLiteral("a word in front of it (none when empty)")),
                           Id("edAdjective", i), which + QStringLiteral(": a word in front of it"));
    std::vector<std::string> offered = shapes;
    if (std::find(offered.begin(), offered.end(), w.Shapes) == offered.end()) offered.push_back(w.Shapes);
    QStringList shapeTexts;
    for (const std::string& s : offered) shapeTexts << ShapeText(s);
    auto* shape = Name(Combo(pnPage, shapeTexts, static_cast<int>(std::find(offered.begin(), offered.end(), w.Shapes) - offered.begin())),
                       Id("cbShape", i), which + QStringLiteral(": beams or clouds"));
    pageLayout->addLayout(Row({adjective, shape}));
    connect(adjective, &QLineEdit::textEdited, this, [this, pick](const QString& text) {
      Edit<BreathChoices>([&](BreathChoices& b) {
        if (BreathPart* p = pick(b)) p->Adjective = text.toStdString();
      });
    });
    connect(shape, &QComboBox::currentIndexChanged, this, [this, pick, offered](int index) {
      if (index < 0) return;
      Edit<BreathChoices>([&](BreathChoices& b) {
        if (BreathPart* p = pick(b)) p->Shapes = offered[static_cast<std::size_t>(index)];
      });
    });
  }
  pageLayout->addLayout(Row({EditButton<BreathChoices>(QStringLiteral("Add a breath weapon"), QStringLiteral("btnAddBreath"),
                                                       [](BreathChoices& b) { b.Weapons.emplace_back(); })}));
}

// --- diet ---

// A food is ticked, and "any" of it ticked beside it.
void TBuilderDialog::AddDietPage(const TagRow& tag, const DietChoices& c) {
  QComboBox* box = RatingBox(tag, c.Rating);
  pageLayout->addWidget(box);
  connect(box, &QComboBox::currentIndexChanged, this, [this, box] {
    const int rating = box->currentData().toInt();
    Edit<DietChoices>([&](DietChoices& d) { d.Rating = rating; });
  });
  auto* grid = new QGridLayout;
  for (std::size_t row = 0; row < FoodTable.size(); ++row) {
    const FoodEntry& food = FoodTable[row];
    const auto found = std::find_if(c.Foods.begin(), c.Foods.end(), [row](const DietChoices::Food& f) { return f.Row == static_cast<std::int32_t>(row); });
    const QString words = QStringLiteral("I ") + Qs(food.Verb) + Qs(food.Food);
    auto* eats = Name(new QCheckBox(words, pnPage), Id("ckFood", row), words);
    eats->setChecked(found != c.Foods.end());
    grid->addWidget(eats, static_cast<int>(row), 0);
    connect(eats, &QCheckBox::toggled, this, [this, row](bool on) {
      Edit<DietChoices>(
          [&](DietChoices& d) {
            std::erase_if(d.Foods, [row](const DietChoices::Food& f) { return f.Row == static_cast<std::int32_t>(row); });
            if (on) d.Foods.push_back({static_cast<std::int32_t>(row), false});
          },
          true);
    });
    // "Any anything" says nothing more.
    if (row == 0) continue;
    auto* any = Name(new QCheckBox(QStringLiteral("any ") + Qs(food.Food), pnPage), Id("ckAnyFood", row),
                     QStringLiteral("I ") + Qs(food.Verb) + QStringLiteral("any ") + Qs(food.Food));
    any->setChecked(found != c.Foods.end() && found->Any);
    any->setEnabled(found != c.Foods.end());
    grid->addWidget(any, static_cast<int>(row), 1);
    connect(any, &QCheckBox::toggled, this, [this, row](bool on) {
      Edit<DietChoices>([&](DietChoices& d) {
        for (DietChoices::Food& f : d.Foods)
          if (f.Row == static_cast<std::int32_t>(row)) f.Any = on;
      });
    });
  }
  pageLayout->addLayout(grid);
}

// --- appendages and skin ---

void TBuilderDialog::AddAppendagesPage(const AppendageChoices& c) {
  using Count = AppendageChoices::Entry::Count;
  QStringList nouns;
  for (const AppendageRow& row : Appendages) nouns << Qs(row.Noun);
  for (std::size_t i = 0; i < c.Entries.size(); ++i) {
    const AppendageChoices::Entry& e = c.Entries[i];
    if (i > 0) pageLayout->addSpacing(6);
    const auto pick = [i](AppendageChoices& a) { return At(a.Entries, i); };
    const QString which = QStringLiteral("Appendage %1").arg(i + 1);
    const QString usual = Plain(Appendages[static_cast<std::size_t>(e.Row)].DefaultPhrase);
    auto* count = Name(Combo(pnPage,
                             {usual, QStringLiteral("many"), QStringLiteral("a variable amount of"), QStringLiteral("a number of")},
                             static_cast<int>(e.Says)),
                       Id("cbHowMany", i), which + QStringLiteral(": how many"));
    auto* number = Name(new QSpinBox(pnPage), Id("sbHowMany", i), which + QStringLiteral(": number"));
    number->setRange(0, 999);
    number->setValue(e.Number);
    number->setVisible(e.Says == Count::Number);
    auto* webbed = Name(new QCheckBox(QStringLiteral("webbed"), pnPage), Id("ckWebbed", i), which + QStringLiteral(": webbed"));
    webbed->setChecked(e.Webbed);
    auto* noun = Name(Combo(pnPage, nouns, e.Row), Id("cbAppendage", i), which);
    QPushButton* remove = c.Entries.size() > 1 ? Speaking(EditButton<AppendageChoices>(QStringLiteral("Remove"), Id("btnRemoveAppendage", i), [i](AppendageChoices& a) {
      if (i < a.Entries.size()) a.Entries.erase(a.Entries.begin() + static_cast<std::ptrdiff_t>(i));
    }), QStringLiteral("Remove ") + which.toLower())
                                               : nullptr;
    pageLayout->addLayout(Row({count, number, webbed}));
    pageLayout->addLayout(Row({noun, remove}));
    connect(count, &QComboBox::currentIndexChanged, this, [this, pick](int index) {
      Edit<AppendageChoices>(
          [&](AppendageChoices& a) {
            if (auto* p = pick(a)) p->Says = static_cast<Count>(index);
          },
          true);
    });
    connect(number, &QSpinBox::valueChanged, this, [this, pick](int value) {
      Edit<AppendageChoices>([&](AppendageChoices& a) {
        if (auto* p = pick(a)) p->Number = value;
      });
    });
    connect(webbed, &QCheckBox::toggled, this, [this, pick](bool on) {
      Edit<AppendageChoices>([&](AppendageChoices& a) {
        if (auto* p = pick(a)) p->Webbed = on;
      });
    });
    // The usual count ("a pair of", "a") belongs to the appendage.
    connect(noun, &QComboBox::currentIndexChanged, this, [this, pick](int index) {
      Edit<AppendageChoices>(
          [&](AppendageChoices& a) {
            if (auto* p = pick(a)) p->Row = index;
          },
          true);
    });
  }
  pageLayout->addLayout(Row({EditButton<AppendageChoices>(QStringLiteral("Add an appendage"), QStringLiteral("btnAddAppendage"),
                                                          [](AppendageChoices& a) {
                                                            AppendageChoices::Entry next;
                                                            next.Row = static_cast<std::int32_t>(a.Entries.size() % Appendages.size());
                                                            a.Entries.push_back(next);
                                                          })}));
}

void TBuilderDialog::AddSkinPage(const SkinChoices& c) {
  QStringList words;
  for (const SkinType& type : SkinTypes) words << Qs(type.Word);
  const auto ticks = [&](const std::vector<std::int32_t>& rows) {
    std::vector<bool> ticked(SkinTypes.size());
    for (std::int32_t r : rows)
      if (r >= 0 && static_cast<std::size_t>(r) < ticked.size()) ticked[static_cast<std::size_t>(r)] = true;
    return ticked;
  };
  // The whole body as a list to tick; each body part that differs as a menu.
  auto* list = Name(new QListWidget(pnPage), QStringLiteral("lbSkin"), QStringLiteral("My skin"));
  const std::vector<bool> whole = ticks(c.Types);
  for (qsizetype i = 0; i < words.size(); ++i) {
    auto* row = new QListWidgetItem(words[i], list);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(whole[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
  }
  list->setMinimumHeight(120);
  pageLayout->addWidget(list);
  connect(list, &QListWidget::itemChanged, this, [this, list] {
    std::vector<std::int32_t> rows;
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->checkState() == Qt::Checked) rows.push_back(i);
    Edit<SkinChoices>([&](SkinChoices& s) { s.Types = rows; });
  });
  QStringList parts;
  for (const SkinBodyPart& part : SkinBodyParts) parts << Plain(part.Opener);
  for (std::size_t g = 0; g < c.Groups.size(); ++g) {
    auto* part = Name(Combo(pnPage, parts, c.Groups[g].Part), Id("cbSkinPart", g), QStringLiteral("Body part %1").arg(g + 1));
    auto* types = Name(TickMenu(pnPage, words, ticks(c.Groups[g].Types), QStringLiteral("no skin")), Id("btnSkinTypes", g),
                       QStringLiteral("Skin of body part %1").arg(g + 1));
    pageLayout->addLayout(Row({part, types, Speaking(EditButton<SkinChoices>(QStringLiteral("Remove"), Id("btnRemoveSkinPart", g), [g](SkinChoices& s) {
                                 if (g < s.Groups.size()) s.Groups.erase(s.Groups.begin() + static_cast<std::ptrdiff_t>(g));
                               }), QStringLiteral("Remove body part %1").arg(g + 1))}));
    connect(part, &QComboBox::currentIndexChanged, this, [this, g](int index) {
      Edit<SkinChoices>([&](SkinChoices& s) {
        if (auto* p = At(s.Groups, g)) p->Part = index;
      });
    });
    connect(types->menu(), &QMenu::triggered, this, [this, g, types] {
      const std::vector<std::int32_t> rows = TickedRows(types->menu());
      Edit<SkinChoices>(
          [&](SkinChoices& s) {
            if (auto* p = At(s.Groups, g)) p->Types = rows;
          },
          true);
    });
  }
  pageLayout->addLayout(Row({EditButton<SkinChoices>(QStringLiteral("Add a body part"), QStringLiteral("btnAddSkinPart"), [](SkinChoices& s) {
    s.Groups.push_back({static_cast<std::int32_t>(s.Groups.size() % SkinBodyParts.size()), {}});
  })}));
}

// An item kept as written: its text, and what reading it alone says.
void TBuilderDialog::AddKeptPage(const PersonaItem& item) {
  auto* text = Name(new QLineEdit(Qs(item.Kept), pnPage), QStringLiteral("edKept"), QStringLiteral("The item as written"));
  text->setReadOnly(true);
  pageLayout->addWidget(text);
  const ParseResult r = ParseCode("ZN2. " + item.Kept);
  QString messages;
  for (std::size_t i = 0; i < r.MessageCount(); ++i) messages += Qs(std::string(r.Message(i))) + "\n";
  auto* said = new QLabel(messages.isEmpty() ? QStringLiteral("Kept as written: the builder writes this item another way.")
                                             : messages.trimmed(),
                          pnPage);
  said->setObjectName(QStringLiteral("lbKeptMessages"));
  said->setWordWrap(true);
  said->setTextFormat(Qt::PlainText);
  pageLayout->addWidget(said);
}

}  // namespace zendric
