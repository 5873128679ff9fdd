#include "BuilderDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <map>

namespace zendric {
namespace {

QString Qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A reading text as one line of a list: display-line breaks become blanks.
QString Plain(std::string_view text) { return Qs(text).replace(QLatin1Char('\r'), QLatin1Char(' ')).trimmed(); }

QString ItemTitle(const PersonaItem& item) {
  if (item.IsSpecies()) return QStringLiteral("Species");
  if (item.Tag != nullptr && !item.IsKept()) return Qs(item.Tag->Title);
  return QStringLiteral("As written");
}

// A checkable list of table rows, checked where `has` says so; `changed` gets the
// checked rows, in table order.
template <typename Has, typename Changed>
QListWidget* CheckList(QWidget* parent, const std::vector<QString>& words, Has has, Changed changed) {
  auto* list = new QListWidget(parent);
  for (std::size_t i = 0; i < words.size(); ++i) {
    auto* row = new QListWidgetItem(words[i], list);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(has(static_cast<std::int32_t>(i)) ? Qt::Checked : Qt::Unchecked);
  }
  list->setMinimumHeight(120);
  QObject::connect(list, &QListWidget::itemChanged, list, [list, changed] {
    std::vector<std::int32_t> rows;
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->checkState() == Qt::Checked) rows.push_back(i);
    changed(rows);
  });
  return list;
}

}  // namespace

TBuilderDialog::TBuilderDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("BuilderDialog"));
  setWindowTitle(QStringLiteral("Make a code"));
  resize(820, 600);
  CreateItemList();
  CreateLiveArea();
  CreateButtons();
  DescribeControls();
  Open(QString());
}

TBuilderDialog::~TBuilderDialog() = default;

// The items at the left with what adds, removes and moves them; the page at the right.
void TBuilderDialog::CreateItemList() {
  auto* top = new QSplitter(Qt::Horizontal);
  auto* left = new QWidget(top);
  auto* leftColumn = new QVBoxLayout(left);
  leftColumn->setContentsMargins(0, 0, 0, 0);
  lbItems = new QListWidget(left);
  lbItems->setObjectName(QStringLiteral("lbItems"));
  leftColumn->addWidget(lbItems, 1);

  cbAddTag = new QComboBox(left);
  cbAddTag->setObjectName(QStringLiteral("cbAddTag"));
  cbAddTag->addItem(QStringLiteral("Species"), -1);
  for (std::size_t i = 0; i < TagCatalogue.size(); ++i)
    cbAddTag->addItem(QStringLiteral("%1 (%2)").arg(Qs(TagCatalogue[i].Title), Qs(TagCatalogue[i].Letters)),
                      static_cast<int>(i));
  btnAdd = new QPushButton(QStringLiteral("&Add"), left);
  btnAdd->setObjectName(QStringLiteral("btnAdd"));
  auto* addRow = new QHBoxLayout;
  addRow->addWidget(cbAddTag, 1);
  addRow->addWidget(btnAdd);
  leftColumn->addLayout(addRow);

  btnRemove = new QPushButton(QStringLiteral("Re&move"), left);
  btnRemove->setObjectName(QStringLiteral("btnRemove"));
  btnUp = new QPushButton(QStringLiteral("&Up"), left);
  btnUp->setObjectName(QStringLiteral("btnUp"));
  btnDown = new QPushButton(QStringLiteral("&Down"), left);
  btnDown->setObjectName(QStringLiteral("btnDown"));
  auto* editRow = new QHBoxLayout;
  editRow->addWidget(btnRemove);
  editRow->addWidget(btnUp);
  editRow->addWidget(btnDown);
  leftColumn->addLayout(editRow);

  sbPage = new QScrollArea(top);
  sbPage->setObjectName(QStringLiteral("sbPage"));
  sbPage->setWidgetResizable(true);
  sbPage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  top->addWidget(left);
  top->addWidget(sbPage);
  top->setStretchFactor(1, 2);

  auto* whole = new QVBoxLayout(this);
  whole->addWidget(top, 3);

  connect(lbItems, &QListWidget::currentRowChanged, this, &TBuilderDialog::lbItemsChange);
  connect(btnAdd, &QPushButton::clicked, this, &TBuilderDialog::btnAddClick);
  connect(btnRemove, &QPushButton::clicked, this, &TBuilderDialog::btnRemoveClick);
  connect(btnUp, &QPushButton::clicked, this, [this] { btnMoveClick(-1); });
  connect(btnDown, &QPushButton::clicked, this, [this] { btnMoveClick(+1); });
}

// The code and its reading, live.
void TBuilderDialog::CreateLiveArea() {
  edCode = new QLineEdit(this);
  edCode->setObjectName(QStringLiteral("edCode"));
  edCode->setReadOnly(true);
  meReading = new QPlainTextEdit(this);
  meReading->setObjectName(QStringLiteral("meReading"));
  meReading->setReadOnly(true);
  meReading->setTabChangesFocus(true);
  auto* form = new QFormLayout;
  auto* codeLabel = new QLabel(QStringLiteral("&Code:"), this);
  codeLabel->setBuddy(edCode);
  auto* readingLabel = new QLabel(QStringLiteral("&Reading:"), this);
  readingLabel->setBuddy(meReading);
  form->addRow(codeLabel, edCode);
  form->addRow(readingLabel, meReading);
  static_cast<QVBoxLayout*>(layout())->addLayout(form, 2);
}

void TBuilderDialog::CreateButtons() {
  btnRandom = new QPushButton(QStringLiteral("R&andom"), this);
  btnRandom->setObjectName(QStringLiteral("btnRandom"));
  btnUse = new QPushButton(QStringLiteral("U&se this code"), this);
  btnUse->setObjectName(QStringLiteral("btnUse"));
  btnUse->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  auto* row = new QHBoxLayout;
  row->addWidget(btnRandom);
  row->addStretch(1);
  row->addWidget(btnUse);
  row->addWidget(btnCancel);
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
  connect(btnRandom, &QPushButton::clicked, this, &TBuilderDialog::btnRandomClick);
  connect(btnUse, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TBuilderDialog::DescribeControls() {
  struct Description {
    QWidget* control;
    const char* name;
    const char* description;
  };
  const Description descriptions[] = {
      {lbItems, "Items", "The items of the code in code order; the selected one is shown at the right"},
      {cbAddTag, "Tag to add", "Every tag by its heading"},
      {btnAdd, "Add", "Adds the chosen tag behind the selected item"},
      {btnRemove, "Remove", "Removes the selected item"},
      {btnUp, "Up", "Moves the selected item one place towards the start"},
      {btnDown, "Down", "Moves the selected item one place towards the end"},
      {sbPage, "Choices", "The choices of the selected item, in the words of the reading"},
      {edCode, "Code", "The code as built now"},
      {meReading, "Reading", "The reading of the code as built now, and its messages"},
      {btnRandom, "Random", "Makes a random persona"},
      {btnUse, "Use this code", "Puts the code into the reader's field"},
      {btnCancel, "Cancel", "Closes without changing the reader's field"},
  };
  for (const Description& d : descriptions) {
    d.control->setAccessibleName(QString::fromUtf8(d.name));
    d.control->setAccessibleDescription(QString::fromUtf8(d.description));
    d.control->setToolTip(QString::fromUtf8(d.description));
  }
}

void TBuilderDialog::Open(const QString& code) {
  const std::string text = code.toStdString();
  if (text.empty()) {
    persona = Persona();
    persona.Items.push_back(NewItem(nullptr));
  } else {
    persona = OpenCode(text);
  }
  FillItemList(0);
}

QString TBuilderDialog::Code() const { return QString::fromStdString(BuildCode(persona)); }

void TBuilderDialog::RememberSizeIn(std::unique_ptr<QSettings> settings) {
  Settings = std::move(settings);
  if (!Settings) return;
  const QSize size = Settings->value(QStringLiteral("builder/size")).toSize();
  if (size.isValid()) resize(size);
}

void TBuilderDialog::done(int result) {
  if (Settings) {
    Settings->setValue(QStringLiteral("builder/size"), size());
    Settings->sync();
  }
  QDialog::done(result);
}

void TBuilderDialog::FillItemList(int select) {
  const QSignalBlocker quiet(lbItems);
  lbItems->clear();
  for (const PersonaItem& item : persona.Items)
    lbItems->addItem(QStringLiteral("%1: %2").arg(ItemTitle(item), Qs(BuildItem(item))));
  if (!persona.Items.empty()) lbItems->setCurrentRow(std::clamp(select, 0, static_cast<int>(persona.Items.size()) - 1));
  FillPage();
  ShowCode();
}

void TBuilderDialog::lbItemsChange() { FillPage(); }

// A choice that changes what the page shows rebuilds it once its control has finished
// telling of the change: the control is part of the page.
void TBuilderDialog::RefillPageLater() { QMetaObject::invokeMethod(this, &TBuilderDialog::FillPage, Qt::QueuedConnection); }

void TBuilderDialog::btnAddClick() {
  const int row = cbAddTag->currentData().toInt();
  const TagRow* tag = row < 0 ? nullptr : &TagCatalogue[static_cast<std::size_t>(row)];
  // The species stands first; a tag goes behind the selected item.
  const bool hasSpecies = !persona.Items.empty() && persona.Items.front().IsSpecies();
  if (tag == nullptr && hasSpecies) {
    FillItemList(0);
    return;
  }
  const std::size_t at = tag == nullptr ? 0 : static_cast<std::size_t>(lbItems->currentRow() + 1);
  InsertItem(persona, at, NewItem(tag));
  FillItemList(static_cast<int>(std::min(at, persona.Items.size() - 1)));
}

void TBuilderDialog::btnRemoveClick() {
  const int row = lbItems->currentRow();
  if (row < 0) return;
  RemoveItem(persona, static_cast<std::size_t>(row));
  FillItemList(row);
}

void TBuilderDialog::btnMoveClick(int step) {
  const int row = lbItems->currentRow();
  const int to = row + step;
  if (row < 0 || to < 0 || to >= static_cast<int>(persona.Items.size())) return;
  // The species stays right behind "ZN2.".
  if (persona.Items[static_cast<std::size_t>(row)].IsSpecies() || persona.Items[static_cast<std::size_t>(to)].IsSpecies()) return;
  MoveItem(persona, static_cast<std::size_t>(row), static_cast<std::size_t>(to));
  FillItemList(to);
}

void TBuilderDialog::btnRandomClick() {
  persona = RandomPersona(random);
  FillItemList(0);
}

void TBuilderDialog::ChoicesChanged(ItemChoices choices) {
  const int row = lbItems->currentRow();
  if (row < 0) return;
  ReplaceChoices(persona, static_cast<std::size_t>(row), std::move(choices));
  const PersonaItem& item = persona.Items[static_cast<std::size_t>(row)];
  lbItems->item(row)->setText(QStringLiteral("%1: %2").arg(ItemTitle(item), Qs(BuildItem(item))));
  ShowCode();
}

void TBuilderDialog::ShowCode() {
  const std::string code = BuildCode(persona);
  edCode->setText(Qs(code));
  const ParseResult r = ParseCode(code);
  QString text;
  for (std::size_t i = 0; i < r.LineCount(); ++i)
    text += Qs(std::string(r.Line(i))).replace(QLatin1Char('\r'), QStringLiteral("\n    ")) + "\n";
  for (std::size_t i = 0; i < r.MessageCount(); ++i)
    text += QStringLiteral("position %1: %2\n").arg(r.MessagePosition(i)).arg(Qs(std::string(r.Message(i))));
  meReading->setPlainText(text.trimmed());
}

// --- pages ---

void TBuilderDialog::FillPage() {
  pnPage = new QWidget;
  pnPage->setObjectName(QStringLiteral("pnPage"));
  pageLayout = new QVBoxLayout(pnPage);
  const int row = lbItems->currentRow();
  if (row >= 0 && static_cast<std::size_t>(row) < persona.Items.size()) {
    const PersonaItem& item = persona.Items[static_cast<std::size_t>(row)];
    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(ItemTitle(item).toHtmlEscaped()), pnPage);
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
  sbPage->setWidget(pnPage);  // the old page goes with its widgets
}

QComboBox* TBuilderDialog::RatingBox(const TagRow& tag, std::int32_t rating) {
  auto* box = new QComboBox(pnPage);
  box->setObjectName(QStringLiteral("cbRating"));
  box->setAccessibleName(QStringLiteral("Rating"));
  for (std::size_t i = 0; i < tag.Scale.size(); ++i) {
    if (!RatingOffered(tag, static_cast<std::int32_t>(i))) continue;
    box->addItem(Plain(tag.Scale[i].Text), static_cast<int>(i));
    if (static_cast<std::int32_t>(i) == rating) box->setCurrentIndex(box->count() - 1);
  }
  return box;
}

void TBuilderDialog::AddSpeciesPage(const SpeciesChoices& c) {
  auto* kind = new QComboBox(pnPage);
  kind->setObjectName(QStringLiteral("cbSpeciesKind"));
  kind->setAccessibleName(QStringLiteral("What I am"));
  kind->addItems({QStringLiteral("A species (or a mix)"), QStringLiteral("A shapechanger"),
                  QStringLiteral("I don't know what I am")});
  kind->setCurrentIndex(static_cast<int>(c.Kind));
  pageLayout->addWidget(kind);
  connect(kind, &QComboBox::currentIndexChanged, this, [this, c](int index) {
    SpeciesChoices next = c;
    next.Kind = static_cast<SpeciesChoices::Whole>(index);
    if (next.Members.empty()) next.Members.emplace_back();
    ChoicesChanged(next);
  });

  auto* search = new QLineEdit(pnPage);
  search->setObjectName(QStringLiteral("edSpeciesSearch"));
  search->setPlaceholderText(QStringLiteral("Search the species"));
  search->setAccessibleName(QStringLiteral("Search the species"));
  auto* tree = new QTreeWidget(pnPage);
  tree->setObjectName(QStringLiteral("tvSpecies"));
  tree->setAccessibleName(QStringLiteral("Species"));
  tree->setHeaderHidden(true);
  tree->setMinimumHeight(220);
  std::map<std::string, QTreeWidgetItem*> byCode;
  const std::int32_t chosen = c.Members.empty() ? 0 : c.Members.front().Node;
  for (std::int32_t node : SpeciesNodes()) {
    const std::string code = SpeciesNodeCode(node);
    const auto parent = byCode.find(code.substr(0, code.size() - 1));
    auto* item = parent == byCode.end() ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(parent->second);
    item->setText(0, Qs(SpeciesNodeName(node)));
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
  connect(tree, &QTreeWidget::currentItemChanged, this, [this, c](QTreeWidgetItem* item) {
    if (item == nullptr) return;
    SpeciesChoices next = c;
    if (next.Members.empty()) next.Members.emplace_back();
    next.Members.front().Node = item->data(0, Qt::UserRole).toInt();
    if (!SpeciesNodeHasChildren(next.Members.front().Node)) next.Members.front().Shape = SpeciesPart::Form::Node;
    ChoicesChanged(next);
  });
  auto* changes = new QCheckBox(QStringLiteral("who changes shape occasionally"), pnPage);
  changes->setObjectName(QStringLiteral("ckChangesShape"));
  changes->setChecked(!c.Members.empty() && c.Members.front().ChangesShape);
  pageLayout->addWidget(changes);
  connect(changes, &QCheckBox::toggled, this, [this, c](bool on) {
    SpeciesChoices next = c;
    if (next.Members.empty()) next.Members.emplace_back();
    next.Members.front().ChangesShape = on;
    ChoicesChanged(next);
  });
}

void TBuilderDialog::AddRatedPage(const TagRow& tag, const RatedChoices& c) {
  QComboBox* box = RatingBox(tag, c.Rating);
  pageLayout->addWidget(box);
  connect(box, &QComboBox::currentIndexChanged, this, [this, box, c] {
    RatedChoices next = c;
    next.Rating = box->currentData().toInt();
    ChoicesChanged(next);
  });
  const auto mark = [&](std::string_view text, bool on, bool RatedChoices::*field) {
    auto* check = new QCheckBox(Plain(text), pnPage);
    check->setChecked(on);
    pageLayout->addWidget(check);
    connect(check, &QCheckBox::toggled, this, [this, c, field](bool value) {
      RatedChoices next = c;
      next.*field = value;
      ChoicesChanged(next);
    });
  };
  if (tag.Kind == TagKind::Fruitiness) {
    mark(FruitinessJoinedText, c.Joined, &RatedChoices::Joined);
    mark(FruitinessFlamedText, c.Flamed, &RatedChoices::Flamed);
  }
  if (tag.Kind == TagKind::Irritability) mark(BarbequeText, c.Barbeque, &RatedChoices::Barbeque);
  if (tag.Kind == TagKind::Specialist) {
    auto* field = new QLineEdit(QString::fromStdString(c.Field.value_or("")), pnPage);
    field->setObjectName(QStringLiteral("edField"));
    field->setPlaceholderText(QStringLiteral("My specialist field (none when empty)"));
    field->setAccessibleName(QStringLiteral("Specialist field"));
    pageLayout->addWidget(field);
    connect(field, &QLineEdit::textEdited, this, [this, c](const QString& text) {
      RatedChoices next = c;
      if (text.isEmpty()) next.Field.reset();
      else next.Field = text.toStdString();
      ChoicesChanged(next);
    });
  }
}

void TBuilderDialog::AddSplitPage(const TagRow& tag, const SplitChoices& c) {
  for (std::size_t i = 0; i < c.Entries.size(); ++i) {
    const SplitEntry& e = c.Entries[i];
    if (c.Entries.size() > 1 || e.Of != SplitEntry::Life::Both)
      pageLayout->addWidget(new QLabel(Plain(e.Of == SplitEntry::Life::Virtual ? tag.Virtual : tag.RealLife), pnPage));
    QComboBox* box = RatingBox(tag, e.Rating);
    pageLayout->addWidget(box);
    connect(box, &QComboBox::currentIndexChanged, this, [this, box, c, i] {
      SplitChoices next = c;
      next.Entries[i].Rating = box->currentData().toInt();
      next.Entries[i].CountSign = '\0';
      ChoicesChanged(next);
    });
  }
}

void TBuilderDialog::AddGenderPage(const GenderChoices& c) {
  for (std::size_t i = 0; i < c.Parts.size(); ++i) {
    const GenderPart& part = c.Parts[i];
    auto* box = new QComboBox(pnPage);
    box->setAccessibleName(QStringLiteral("Gender"));
    for (const GenderRow& row : GenderLetters) box->addItem(Qs(row.Phrase));
    box->addItem(QStringLiteral("a description of my own"));
    box->setCurrentIndex(part.Shape == GenderPart::Form::Free ? static_cast<int>(GenderLetters.size()) : part.Letter);
    pageLayout->addWidget(box);
    auto* free = new QLineEdit(QString::fromStdString(part.Text), pnPage);
    free->setAccessibleName(QStringLiteral("My own description"));
    free->setVisible(part.Shape == GenderPart::Form::Free);
    pageLayout->addWidget(free);
    connect(box, &QComboBox::currentIndexChanged, this, [this, c, i](int index) {
      GenderChoices next = c;
      const bool own = index == static_cast<int>(GenderLetters.size());
      next.Parts[i].Shape = own ? GenderPart::Form::Free : GenderPart::Form::Letter;
      if (!own) next.Parts[i].Letter = index;
      ChoicesChanged(next);
      RefillPageLater();
    });
    connect(free, &QLineEdit::textEdited, this, [this, c, i](const QString& text) {
      GenderChoices next = c;
      next.Parts[i].Text = text.toStdString();
      ChoicesChanged(next);
    });
  }
}

void TBuilderDialog::AddMeasurePage(const TagRow& tag, const MeasureChoices& c) {
  auto* measured = new QCheckBox(QStringLiteral("Give a number"), pnPage);
  measured->setObjectName(QStringLiteral("ckMeasured"));
  measured->setChecked(!c.Rating);
  pageLayout->addWidget(measured);
  connect(measured, &QCheckBox::toggled, this, [this, c](bool on) {
    MeasureChoices next = c;
    if (on) next.Rating.reset();
    else next.Rating = 4;
    ChoicesChanged(next);
    RefillPageLater();
  });
  if (c.Rating) {
    QComboBox* box = RatingBox(tag, *c.Rating);
    pageLayout->addWidget(box);
    connect(box, &QComboBox::currentIndexChanged, this, [this, box, c] {
      MeasureChoices next = c;
      next.Rating = box->currentData().toInt();
      ChoicesChanged(next);
    });
    return;
  }
  auto* number = new QDoubleSpinBox(pnPage);
  number->setObjectName(QStringLiteral("sbNumber"));
  number->setAccessibleName(QStringLiteral("Number"));
  number->setRange(0, 1e9);
  number->setDecimals(1);
  number->setValue(QString::fromStdString(c.Number).toDouble());
  auto* unit = new QComboBox(pnPage);
  unit->setObjectName(QStringLiteral("cbUnit"));
  unit->setAccessibleName(QStringLiteral("Unit"));
  for (const UnitRow& row : tag.Units) unit->addItem(Qs(row.Word));
  unit->setCurrentIndex(c.Unit);
  auto* row = new QHBoxLayout;
  row->addWidget(number, 1);
  row->addWidget(unit, 1);
  pageLayout->addLayout(row);
  const auto changed = [this, c, number, unit] {
    MeasureChoices next = c;
    next.Number = QString::number(number->value(), 'f', number->value() == static_cast<double>(static_cast<long long>(number->value())) ? 0 : 1).toStdString();
    next.Unit = unit->currentIndex();
    ChoicesChanged(next);
  };
  connect(number, &QDoubleSpinBox::valueChanged, this, changed);
  connect(unit, &QComboBox::currentIndexChanged, this, changed);
}

// A small pattern editor per group: a colour, then "and" a pattern and the next colour.
void TBuilderDialog::AddColourPage(const ColourChoices& c) {
  for (std::size_t g = 0; g < c.Groups.size(); ++g) {
    const ColourGroup& group = c.Groups[g];
    pageLayout->addWidget(new QLabel(InTableText(group.BodyPart), pnPage));
    for (std::size_t k = 0; k < group.Colour.size(); ++k) {
      auto* colour = new QComboBox(pnPage);
      colour->setAccessibleName(QStringLiteral("Colour"));
      for (const ColourEntry& entry : ColourTable) colour->addItem(Qs(entry.Name));
      colour->setCurrentIndex(group.Colour[k].Colour);
      auto* pattern = new QComboBox(pnPage);
      pattern->setAccessibleName(QStringLiteral("Pattern"));
      pattern->addItem(QStringLiteral("(no pattern)"), -1);
      for (std::size_t p = 0; p < ColourCombiners.size(); ++p) {
        const ColourJoin& join = ColourCombiners[p].Join;
        pattern->addItem(QStringLiteral("%1…%2…%3").arg(Qs(join.Before), Qs(join.Between), Qs(join.After)).trimmed(),
                         static_cast<int>(p));
      }
      pattern->setCurrentIndex(group.Colour[k].Combiner + 1);
      auto* row = new QHBoxLayout;
      row->addWidget(colour, 1);
      row->addWidget(pattern, 1);
      pageLayout->addLayout(row);
      connect(colour, &QComboBox::currentIndexChanged, this, [this, c, g, k](int index) {
        ColourChoices next = c;
        next.Groups[g].Colour[k].Colour = index;
        ChoicesChanged(next);
      });
      connect(pattern, &QComboBox::currentIndexChanged, this, [this, c, g, k, pattern] {
        ColourChoices next = c;
        auto& chain = next.Groups[g].Colour;
        const int combiner = pattern->currentData().toInt();
        chain[k].Combiner = combiner;
        if (combiner < 0) chain.resize(k + 1);
        else if (k + 1 == chain.size() && chain.size() < 6) chain.push_back(ColourLink{});
        ChoicesChanged(next);
        RefillPageLater();
      });
    }
  }
}

QString TBuilderDialog::InTableText(std::int32_t bodyPart) const {
  if (bodyPart < 0 || static_cast<std::size_t>(bodyPart) >= ColourBodyParts.size()) return QStringLiteral("My colour:");
  return Plain(ColourBodyParts[static_cast<std::size_t>(bodyPart)].Heading);
}

void TBuilderDialog::AddBreathPage(const BreathChoices& c) {
  for (std::size_t i = 0; i < c.Weapons.size(); ++i) {
    auto* box = new QComboBox(pnPage);
    box->setAccessibleName(QStringLiteral("Breath weapon"));
    for (const BreathWeapon& w : BreathWeapons) box->addItem(Qs(w.Name));
    box->addItem(QStringLiteral("a name of my own"));
    const std::int32_t weapon = c.Weapons[i].Weapon;
    box->setCurrentIndex(weapon < 0 ? static_cast<int>(BreathWeapons.size()) : weapon);
    pageLayout->addWidget(box);
    connect(box, &QComboBox::currentIndexChanged, this, [this, c, i](int index) {
      BreathChoices next = c;
      next.Weapons[i].Weapon = index == static_cast<int>(BreathWeapons.size()) ? -1 : index;
      ChoicesChanged(next);
      RefillPageLater();
    });
    if (weapon < 0) {
      auto* name = new QLineEdit(QString::fromStdString(c.Weapons[i].Name), pnPage);
      name->setAccessibleName(QStringLiteral("Breath weapon name"));
      pageLayout->addWidget(name);
      connect(name, &QLineEdit::textEdited, this, [this, c, i](const QString& text) {
        BreathChoices next = c;
        next.Weapons[i].Name = text.toStdString();
        ChoicesChanged(next);
      });
    }
  }
}

void TBuilderDialog::AddDietPage(const TagRow& tag, const DietChoices& c) {
  QComboBox* box = RatingBox(tag, c.Rating);
  pageLayout->addWidget(box);
  connect(box, &QComboBox::currentIndexChanged, this, [this, box, c] {
    DietChoices next = c;
    next.Rating = box->currentData().toInt();
    ChoicesChanged(next);
  });
  std::vector<QString> words;
  for (const FoodEntry& f : FoodTable) words.push_back(Qs(f.Verb) + Qs(f.Food));
  const auto has = [c](std::int32_t row) {
    return std::any_of(c.Foods.begin(), c.Foods.end(), [row](const DietChoices::Food& f) { return f.Row == row; });
  };
  pageLayout->addWidget(CheckList(pnPage, words, has, [this, c](const std::vector<std::int32_t>& rows) {
    DietChoices next = c;
    next.Foods.clear();
    for (std::int32_t r : rows) next.Foods.push_back({r, false});
    ChoicesChanged(next);
  }));
}

void TBuilderDialog::AddAppendagesPage(const AppendageChoices& c) {
  std::vector<QString> words;
  for (const AppendageRow& row : Appendages) words.push_back(Qs(row.DefaultPhrase) + Qs(row.Noun));
  const auto has = [c](std::int32_t row) {
    return std::any_of(c.Entries.begin(), c.Entries.end(), [row](const AppendageChoices::Entry& e) { return e.Row == row; });
  };
  pageLayout->addWidget(CheckList(pnPage, words, has, [this, c](const std::vector<std::int32_t>& rows) {
    AppendageChoices next;
    for (std::int32_t r : rows) {
      const auto old = std::find_if(c.Entries.begin(), c.Entries.end(), [r](const AppendageChoices::Entry& e) { return e.Row == r; });
      next.Entries.push_back(old != c.Entries.end() ? *old : AppendageChoices::Entry{r});
    }
    ChoicesChanged(next);
  }));
}

void TBuilderDialog::AddSkinPage(const SkinChoices& c) {
  std::vector<QString> words;
  for (const SkinType& type : SkinTypes) words.push_back(Qs(type.Word));
  const auto has = [c](std::int32_t row) { return std::find(c.Types.begin(), c.Types.end(), row) != c.Types.end(); };
  pageLayout->addWidget(CheckList(pnPage, words, has, [this, c](const std::vector<std::int32_t>& rows) {
    SkinChoices next = c;
    next.Types = rows;
    ChoicesChanged(next);
  }));
}

// An item kept as written: its text, and what reading it alone says.
void TBuilderDialog::AddKeptPage(const PersonaItem& item) {
  auto* text = new QLineEdit(Qs(item.Kept), pnPage);
  text->setObjectName(QStringLiteral("edKept"));
  text->setReadOnly(true);
  text->setAccessibleName(QStringLiteral("The item as written"));
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
