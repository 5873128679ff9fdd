// The builder window's form driven through its controls: the script of choices the page
// plays too gives the same codes, every sub-feature of an item is set by its controls and
// read back, every opened sub-feature shows in them, opened texts come back unchanged,
// Enter never closes the window, and no run of choices makes a code with a message.
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <random>

#include "BuilderDialog.h"
#include "BuilderForm.h"
#include "ChoiceTexts.h"
#include "Controls.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

QWidget* Page(const TBuilderDialog& d) {
  QCoreApplication::processEvents();  // a choice may have drawn the page again
  return Named<QWidget>(&d, "pnPage");
}

QString Reading(const std::string& code) {
  const ParseResult r = ParseCode(code);
  QString text;
  for (std::size_t i = 0; i < r.LineCount(); ++i) text += QString::fromStdString(std::string(r.Line(i))).replace(u'\r', u' ') + u'\n';
  return text;
}

// The key of the selected item's field of `group` and `label`, as the core describes it.
QString KeyOf(const TBuilderDialog& d, const QString& group, const QString& label) {
  const int row = Named<QListWidget>(&d, "lbItems")->currentRow();
  for (const FormField& f : DescribeItem(d.CurrentPersona().Items[static_cast<std::size_t>(row)]))
    if (QString::fromStdString(f.Group) == group && QString::fromStdString(f.Label) == label) return QString::fromStdString(f.Key);
  return {};
}

// The tick of `key` in one of the page's menus of ticks.
QAction* Tick(QWidget* page, const QString& key) {
  for (auto* button : page->findChildren<QToolButton*>())
    if (button->menu() != nullptr)
      for (QAction* action : button->menu()->actions())
        if (action->data().toString() == key) return action;
  return nullptr;
}

// Gives the field of `group` and `label` a value through its control, as a user would:
// an option by its text, a check "on" or "off", a text typed, a button clicked; a
// "search:" value is typed into the list's search and taken with Enter. The problem
// met, or an empty text.
QString Choose(const TBuilderDialog& d, const QString& group, const QString& label, const QString& value) {
  const QString key = KeyOf(d, group, label);
  if (key.isEmpty()) return u"no field "_s + group + u" / "_s + label;
  QWidget* page = Page(d);
  if (value.startsWith(u"search:"_s)) {
    auto* search = page->findChild<QLineEdit*>(key + u"/search"_s);
    if (search == nullptr) return u"no search for "_s + key;
    search->setFocus();
    QTest::keyClicks(search, value.mid(7));
    QTest::keyClick(search, Qt::Key_Return);
    return {};
  }
  if (QAction* tick = Tick(page, key)) {
    if (tick->isChecked() != (value == u"on"_s)) tick->trigger();
    return {};
  }
  QWidget* control = page->findChild<QWidget*>(key);
  if (auto* box = qobject_cast<QComboBox*>(control)) {
    for (int i = 0; i < box->count(); ++i)
      if (box->itemData(i).isValid() && box->itemText(i).trimmed() == value) {
        box->setCurrentIndex(i);
        return {};
      }
    return u"no option "_s + value + u" in "_s + key;
  }
  if (auto* check = qobject_cast<QCheckBox*>(control)) {
    if (check->isChecked() != (value == u"on"_s)) QTest::keyClick(check, Qt::Key_Space);
    return {};
  }
  if (auto* field = qobject_cast<QLineEdit*>(control)) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, value);
    return {};
  }
  if (auto* button = qobject_cast<QPushButton*>(control)) {
    button->click();
    return {};
  }
  return u"no control for "_s + key;
}

// Steps as "group|label|value".
void Play(const TBuilderDialog& d, const QStringList& steps) {
  for (const QString& step : steps) {
    const QStringList parts = step.split(u'|');
    const QString problem = Choose(d, parts[0], parts[1], parts.value(2));
    if (!problem.isEmpty()) qFatal("%s", qPrintable(problem));
  }
}

// What the control of a field shows, as the field's value: an option's value, "1" or
// "0", a text.
QString Shown(const TBuilderDialog& d, const QString& group, const QString& label) {
  const QString key = KeyOf(d, group, label);
  QWidget* page = Page(d);
  if (QAction* tick = Tick(page, key)) return tick->isChecked() ? u"1"_s : u"0"_s;
  QWidget* control = page->findChild<QWidget*>(key);
  if (auto* box = qobject_cast<QComboBox*>(control)) return box->currentData().toString();
  if (auto* check = qobject_cast<QCheckBox*>(control)) return check->isChecked() ? u"1"_s : u"0"_s;
  if (auto* field = qobject_cast<QLineEdit*>(control)) return field->text();
  return u"(no control for "_s + group + u" / "_s + label + u")"_s;
}

void AddTag(const TBuilderDialog& d, const QString& title) {
  auto* add = Named<QComboBox>(&d, "cbAddTag");
  for (int i = 0; i < add->count(); ++i)
    if (add->itemText(i).startsWith(title + u" ("_s)) add->setCurrentIndex(i);
  Named<QPushButton>(&d, "btnAdd")->click();
}

QJsonObject Script() {
  QFile file(QStringLiteral(ZENDRIC_BUILDER_SCRIPT));
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", ZENDRIC_BUILDER_SCRIPT);
  return QJsonDocument::fromJson(file.readAll()).object();
}

}  // namespace

class BuilderFieldsTest : public QObject {
  Q_OBJECT

 private slots:
  // The script the page plays too (builder_script_test.py): the same choices give the
  // same code, which reads without a message.
  void scriptGivesThePagesCodes() {
    for (const QJsonValue& value : Script()[u"cases"_s].toArray()) {
      const QJsonObject c = value.toObject();
      const QString tag = c[u"tag"_s].toString();
      TBuilderDialog d;
      d.Open(u"ZN2.D"_s);
      if (!tag.isEmpty()) AddTag(d, tag);
      for (const QJsonValue& step : c[u"steps"_s].toArray()) {
        const QJsonArray s = step.toArray();
        const QString problem = Choose(d, s[0].toString(), s[1].toString(), s[2].toString());
        QVERIFY2(problem.isEmpty(), qPrintable(tag + u": "_s + problem));
      }
      Page(d);
      const QString item = c[u"item"_s].toString();
      QCOMPARE(d.Code(), tag.isEmpty() ? u"ZN2."_s + item : u"ZN2.D "_s + item);
      QCOMPARE(ParseCode(d.Code().toStdString()).MessageCount(), 0u);
    }
  }

  // Random codes, codes full of errors and codes with U+2028 or U+2029 (the page opens
  // the same list) open and build again to the very same text.
  void openedTextsComeBackUnchanged() {
    TBuilderDialog d;
    const QJsonArray texts = Script()[u"unchanged"_s].toArray();
    QVERIFY(texts.size() >= 30);
    for (const QJsonValue& text : texts) {
      d.Open(text.toString());
      QCOMPARE(d.Code(), text.toString());
    }
  }

  // Enter takes a choice, a search's first match or a button, and never closes the
  // builder; Ctrl+Enter uses the code.
  void enterNeverCloses() {
    TBuilderDialog d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.Open(u"ZN2.Dw L12m"_s);
    QCOMPARE(Choose(d, u"Species"_s, u"Species"_s, u"search:hydra"_s), QString());
    QVERIFY(d.isVisible());
    QVERIFY2(d.Code() != u"ZN2.Dw L12m"_s, qPrintable(d.Code()));
    Named<QListWidget>(&d, "lbItems")->setCurrentRow(1);
    QCOMPARE(Choose(d, QString(), u"Number"_s, u"30"_s), QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(d.isVisible());
    QVERIFY2(d.Code().endsWith(u" L30m"_s), qPrintable(d.Code()));
    QTest::keyClick(Named<QListWidget>(&d, "lbItems"), Qt::Key_Enter);
    QVERIFY(d.isVisible());
    QTest::keyClick(Named<QListWidget>(&d, "lbItems"), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Accepted));
  }

  // Each sub-feature set through its controls gives the code, and its reading (without
  // a message) says what was chosen.
  void subFeaturesThroughTheControls_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("built");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("mix member") << u"ZN2.Dw"_s << 0 << QStringList{u"|Add a species to the mix|"_s, u"Species 2|Species|Dwarf"_s}
                                << u"ZN2.Dw+Hd"_s << QStringList{u"a mix of a Western Dragon, a Dwarf"_s};
    QTest::newRow("mix member searched") << u"ZN2.Dw"_s << 0
                                         << QStringList{u"|Add a species to the mix|"_s, u"Species 2|Species|search:Tiger"_s}
                                         << u"ZN2.Dw+Mft"_s << QStringList{u"a Western Dragon, a Tiger"_s};
    QTest::newRow("mix member removed") << u"ZN2.Dw+Hd+He"_s << 0 << QStringList{u"Species 2|Remove Species 2|"_s} << u"ZN2.Dw+He"_s
                                        << QStringList{u"a Western Dragon, an Elf"_s};
    QTest::newRow("looks like") << u"ZN2.Dw"_s << 0 << QStringList{u"And|And|who looks like:"_s, u"Looks like|Species|Dwarf"_s}
                                << u"ZN2.Dw^Hd"_s << QStringList{u"who looks like: a Dwarf"_s};
    QTest::newRow("trapped in two") << u"ZN2.Dw"_s << 0
                                    << QStringList{u"And|And|trapped in the body of:"_s, u"Trapped in|Species|Elf"_s,
                                                   u"|Add a species it is trapped in|"_s, u"Trapped in 2|Species|Dwarf"_s,
                                                   u"Trapped in 2|who changes shape occasionally|on"_s}
                                    << u"ZN2.Dw[He+Hd~]"_s << QStringList{u"trapped in the body of: a mix of"_s, u"a Dwarf who changes"_s};
    QTest::newRow("own name") << u"ZN2.D"_s << 0
                              << QStringList{u"Species|Which one|a name of my own (Dragon)"_s, u"Species|My own name|ember"_s}
                              << u"ZN2.D\"ember\""_s << QStringList{u"an ember (Dragon)"_s};
    QTest::newRow("unknown kind") << u"ZN2.Dw+Hd"_s << 0 << QStringList{u"Species 2|Species|Human"_s, u"Species 2|Which one|Unknown Human"_s}
                                  << u"ZN2.Dw+H?"_s << QStringList{u"an Unknown Human"_s};
    QTest::newRow("shapechanger forms") << u"ZN2.Dw"_s << 0
                                        << QStringList{u"What I am|What I am|a shapechanger"_s, u"|Add a form|"_s, u"Form 2|Species|Wolf"_s}
                                        << u"ZN2.~Dw/Mcw"_s << QStringList{u"a shapechanger who takes form of a Western Dragon, a Wolf"_s};
    QTest::newRow("mates, dead mate, conspiracy")
        << u"ZN2.Dw M+"_s << 1
        << QStringList{u"|How many mates (0: not said)|3"_s, u"|My mate is dead|on"_s, u"|Conspiracy|I'm a member of the XY conspiracy!"_s}
        << u"ZN2.Dw M+3_xy"_s << QStringList{u"I have 3 mates"_s, u"My mate is dead"_s, u"XY conspiracy"_s};
    QTest::newRow("hatchlings, adopted")
        << u"ZN2.Dw O+"_s << 1
        << QStringList{u"|Offspring|I have … hatchlings that are still home."_s, u"|How many hatchlings|4"_s, u"|My hatchlings are adopted.|on"_s}
        << u"ZN2.Dw Oa+4"_s << QStringList{u"I have 4 hatchlings that are still home."_s, u"My hatchlings are adopted."_s};
    QTest::newRow("virtual life added") << u"ZN2.Dw A+"_s << 1 << QStringList{u"|Add an entry for another life|"_s} << u"ZN2.Dw A(r+v+++!)"_s
                                        << QStringList{u"My real life age:"_s, u"My virtual age: Ancient"_s};
    QTest::newRow("real life removed") << u"ZN2.Dw J(r+v-)"_s << 1
                                       << QStringList{u"Entry 1|Remove entry 1|"_s, u"|For|real and virtual life alike"_s} << u"ZN2.Dw J-"_s
                                       << QStringList{u"My joviality: "_s};
    QTest::newRow("gender chain") << u"ZN2.Dw Gm"_s << 1
                                  << QStringList{u"|Add a gender|"_s, u"Gender 2|Then|changing into"_s, u"Gender 2|I'm|a female"_s}
                                  << u"ZN2.Dw Gm>f"_s << QStringList{u"I'm a male changing into a female"_s};
    QTest::newRow("gender description") << u"ZN2.Dw Gm/f"_s << 1
                                        << QStringList{u"Gender 2|I'm|a description of my own"_s, u"Gender 2|My own description|wise elf"_s}
                                        << u"ZN2.Dw Gm/\"wise elf\""_s << QStringList{u"but mentally I'm a wise elf"_s};
    QTest::newRow("variable gender") << u"ZN2.Dw Gm"_s << 1
                                     << QStringList{u"|I'm|variable"_s, u"Variable between|a female|on"_s, u"Variable between|a male|on"_s}
                                     << u"ZN2.Dw G~(fm)"_s << QStringList{u"I'm variable between a female, a male,"_s};
    QTest::newRow("length of a body part") << u"ZN2.Dw L12m"_s << 1
                                           << QStringList{u"|Add a body part|"_s, u"Body part|Number|3.5"_s, u"Body part|Body part|a … wingspan"_s}
                                           << u"ZN2.Dw L12m3.5w"_s << QStringList{u"a 3.5 metres wingspan"_s};
    // Each control changes its own choice only: the unit keeps the number, and the
    // number keeps the unit chosen before it on the same page.
    QTest::newRow("unit, then number") << u"ZN2.Dw L12.25m"_s << 1 << QStringList{u"|Unit|feet"_s, u"|Number|7"_s} << u"ZN2.Dw L7f"_s
                                       << QStringList{u"7 feet"_s};
    QTest::newRow("unit keeps the number") << u"ZN2.Dw L12.25m"_s << 1 << QStringList{u"|Unit|feet"_s} << u"ZN2.Dw L12.25f"_s
                                           << QStringList{u"12.25 feet"_s};
    QTest::newRow("colour modifiers") << u"ZN2.Dw Cbl"_s << 1 << QStringList{u"My colour|Shade|very dark"_s, u"My colour|metallic|on"_s}
                                      << u"ZN2.Dw Cbl--^"_s << QStringList{u"metallic very dark blue"_s};
    QTest::newRow("colour of a body part") << u"ZN2.Dw Cbl"_s << 1
                                           << QStringList{u"|Add a colour for a body part|"_s, u"My arms are|Body part|My belly is"_s,
                                                          u"My belly is|Colour|yellow"_s}
                                           << u"ZN2.Dw Cbl,bye"_s << QStringList{u"My belly is yellow"_s};
    QTest::newRow("nested patterns") << u"ZN2.Dw Cbl"_s << 1
                                     << QStringList{u"My colour|Pattern with the next colour|… with … stripes"_s, u"My colour, colour 2|Colour|red"_s,
                                                    u"My colour, colour 2|Pattern with the next colour|… with … spots"_s,
                                                    u"My colour, colour 3|Colour|green"_s}
                                     << u"ZN2.Dw Cbl|re:gr"_s << QStringList{u"blue with red with green spots stripes"_s};
    QTest::newRow("colour changing") << u"ZN2.Dw Cbl,wgr"_s << 1
                                     << QStringList{u"My wings are, changing to|changing to another colour|on"_s,
                                                    u"My wings are, changing to|Colour|red"_s}
                                     << u"ZN2.Dw Cbl,wgr>re"_s << QStringList{u"My wings are green changing to red"_s};
    QTest::newRow("breath adjective, shape, second weapon")
        << u"ZN2.Dw Bfl"_s << 1
        << QStringList{u"Breath weapon|A word in front (none when empty)|blue"_s, u"Breath weapon|Shape|clouds of beams of"_s,
                       u"|Add another breath weapon|"_s, u"Breath weapon 2|I breathe|ice"_s}
        << u"ZN2.Dw Bfl\"blue\"|#/ic"_s << QStringList{u"I breathe clouds of beams of blue flames or fire, ice"_s};
    QTest::newRow("breath of my own") << u"ZN2.Dw Bfl/ic"_s << 1
                                      << QStringList{u"Breath weapon 2|I breathe|a name of my own"_s, u"Breath weapon 2|My own name|sparkles"_s,
                                                     u"Breath weapon 1|Remove breath weapon 1|"_s}
                                      << u"ZN2.Dw B\"sparkles\""_s << QStringList{u"I breathe sparkles"_s};
    QTest::newRow("any food") << u"ZN2.Dw F"_s << 1
                              << QStringList{u"What I eat|I eat meat|on"_s, u"What I eat|I eat any meat|on"_s, u"What I eat|I eat vegetables|on"_s}
                              << u"ZN2.Dw Fc~v"_s << QStringList{u"I eat any meat, eat vegetables"_s};
    QTest::newRow("appendage counts") << u"ZN2.Dw Pw"_s << 1
                                      << QStringList{u"Appendage|How many|a number"_s, u"Appendage|Number|4"_s, u"Appendage|webbed|on"_s,
                                                     u"|Add an appendage|"_s, u"Appendage 2|Appendage|tail"_s, u"Appendage 2|How many|many"_s}
                                      << u"ZN2.Dw Pw4^t!"_s << QStringList{u"4 webbed wings, many tail"_s};
    QTest::newRow("skin of a body part") << u"ZN2.Dw Sks"_s << 1
                                         << QStringList{u"|Add a body part|"_s, u"My arms have|Body part|My wings have"_s,
                                                        u"My wings have|feathers|on"_s, u"My wings have|bark|off"_s}
                                         << u"ZN2.Dw Sks,wf"_s << QStringList{u"My wings have feathers for a skin"_s};
  }
  void subFeaturesThroughTheControls() {
    QFETCH(QString, code);
    QFETCH(int, item);
    QFETCH(QStringList, steps);
    QFETCH(QString, built);
    QFETCH(QStringList, said);
    TBuilderDialog d;
    d.Open(code);
    QVERIFY(!d.CurrentPersona().Items[static_cast<std::size_t>(item)].IsKept());
    Named<QListWidget>(&d, "lbItems")->setCurrentRow(item);
    Play(d, steps);
    Page(d);
    QCOMPARE(d.Code(), built);
    QCOMPARE(ParseCode(built.toStdString()).MessageCount(), 0u);
    const QString reading = Reading(built.toStdString());
    for (const QString& text : said) QVERIFY2(reading.contains(text), qPrintable(text + u" in\n"_s + reading));
  }

  // An opened code shows its sub-features in the controls, not as a kept text.
  void openedSubFeaturesShowInTheControls_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("shown");  // "group|label|value"
    QTest::newRow("mix, looks like") << u"ZN2.Dw+Hd^He~"_s << 0
                                     << QStringList{u"Species 2|Species|26"_s, u"And|And|1"_s, u"Looks like|Species|27"_s,
                                                    u"Looks like|who changes shape occasionally|1"_s};
    QTest::newRow("own name, unknown") << u"ZN2.D\"ember\"+Mf?"_s << 0 << QStringList{u"Species 1|My own name|ember"_s, u"Species 2|Which one|1"_s};
    QTest::newRow("mating group") << u"ZN2.Dw M(r+2_xxv-)"_s << 1
                                  << QStringList{u"Entry 1|How many mates (0: not said)|2"_s, u"Entry 1|My mate is dead|1"_s,
                                                 u"Entry 1|Conspiracy|x"_s, u"Entry 2|For|2"_s};
    QTest::newRow("offspring") << u"ZN2.Dw Oa-3"_s << 1 << QStringList{u"|How many hatchlings|3"_s, u"|My hatchlings are adopted.|1"_s};
    QTest::newRow("gender chain") << u"ZN2.Dw Gm>~(fh)/\"elf\""_s << 1
                                  << QStringList{u"Gender 2|Then|>"_s, u"Gender 2|I'm|variable"_s, u"Gender 2: variable between|a female|1"_s,
                                                 u"Gender 2: variable between|a hermaphrodite|1"_s, u"Gender 2: variable between|a male|0"_s,
                                                 u"Gender 3|Then|/"_s, u"Gender 3|My own description|elf"_s};
    QTest::newRow("body part length") << u"ZN2.Dw L3m2t"_s << 1 << QStringList{u"Body part|Number|2"_s};
    QTest::newRow("colour") << u"ZN2.Dw Cbl+^|re,wgr>ye"_s << 1
                            << QStringList{u"My colour|Shade|+"_s, u"My colour|metallic|1"_s, u"My colour, colour 2|Colour|26"_s,
                                           u"My wings are|Body part|13"_s, u"My wings are, changing to|changing to another colour|1"_s};
    QTest::newRow("shades beyond the menu") << u"ZN2.Dw Cbl+-!,wre+++"_s << 1
                                            << QStringList{u"My colour|Shade|+-"_s, u"My colour|glittery|1"_s, u"My wings are|Shade|+++"_s};
    QTest::newRow("breath") << u"ZN2.Dw Bfl\"blue\"|#/ic"_s << 1
                            << QStringList{u"Breath weapon 1|A word in front (none when empty)|blue"_s, u"Breath weapon 1|Shape||#"_s};
    QTest::newRow("diet") << u"ZN2.Dw Fc~v"_s << 1
                          << QStringList{u"What I eat|I eat any meat|1"_s, u"What I eat|I eat vegetables|1"_s, u"What I eat|I eat any vegetables|0"_s};
    QTest::newRow("appendages") << u"ZN2.Dw Pa4^t~"_s << 1
                                << QStringList{u"Appendage 1|How many|3"_s, u"Appendage 1|Number|4"_s, u"Appendage 1|webbed|1"_s,
                                               u"Appendage 2|How many|2"_s};
    QTest::newRow("skin") << u"ZN2.Dw Sks,wf"_s << 1 << QStringList{u"My wings have|Body part|6"_s, u"My wings have|feathers|1"_s};
  }
  void openedSubFeaturesShowInTheControls() {
    QFETCH(QString, code);
    QFETCH(int, item);
    QFETCH(QStringList, shown);
    TBuilderDialog d;
    d.Open(code);
    QVERIFY(!d.CurrentPersona().Items[static_cast<std::size_t>(item)].IsKept());
    Named<QListWidget>(&d, "lbItems")->setCurrentRow(item);
    for (const QString& row : shown) {
      const qsizetype first = row.indexOf(u'|'), second = row.indexOf(u'|', first + 1);
      QCOMPARE(Shown(d, row.left(first), row.mid(first + 1, second - first - 1)), row.mid(second + 1));
    }
    QCOMPARE(d.Code(), code);
  }

  // Whatever the controls are set to, in any order, the code reads without a message
  // and its reading holds the texts of the choices.
  void anyRunOfChoicesReadsClean_data() {
    QTest::addColumn<int>("tag");
    QTest::newRow("Species") << -1;
    for (std::size_t i = 0; i < TagCatalogue.size(); ++i) QTest::newRow(std::string(TagCatalogue[i].Title).c_str()) << static_cast<int>(i);
  }
  void anyRunOfChoicesReadsClean() {
    QFETCH(int, tag);
    TBuilderDialog d;
    d.Open(u"ZN2.Dw"_s);
    if (tag >= 0) {
      auto* add = Named<QComboBox>(&d, "cbAddTag");
      add->setCurrentIndex(add->findData(tag));
      Named<QPushButton>(&d, "btnAdd")->click();
    }
    const std::size_t item = tag < 0 ? 0 : 1;
    std::mt19937 random(static_cast<unsigned>(1000 + tag));
    const auto below = [&](int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random); };
    const QStringList texts{u"ember"_s, u"Ab \"c] d"_s, u"é~+"_s, u"wise"_s, u""_s};
    for (int step = 0; step < 200; ++step) {
      QList<QWidget*> controls;
      for (QWidget* w : Page(d)->findChildren<QWidget*>())
        if (w->isEnabled() && w->isVisibleTo(w->window()) && w->focusPolicy() != Qt::NoFocus && !w->objectName().isEmpty())
          controls << w;
      QVERIFY(!controls.isEmpty());
      QWidget* w = controls[below(static_cast<int>(controls.size()))];
      if (auto* box = qobject_cast<QComboBox*>(w)) box->setCurrentIndex(below(box->count()));
      else if (auto* check = qobject_cast<QCheckBox*>(w)) check->toggle();
      else if (auto* list = qobject_cast<QListWidget*>(w)) {
        QListWidgetItem* row = list->item(below(list->count()));
        row->setCheckState(row->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
      } else if (auto* field = qobject_cast<QLineEdit*>(w); field && !field->isReadOnly()) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QInputMethodEvent typed;  // as a keyboard beyond ASCII types
        typed.setCommitString(texts[below(static_cast<int>(texts.size()))]);
        QApplication::sendEvent(field, &typed);
      } else if (auto* menu = qobject_cast<QToolButton*>(w)) {
        menu->menu()->actions()[below(static_cast<int>(menu->menu()->actions().size()))]->trigger();
      } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->click();
      }
      Page(d);
      const std::string code = d.Code().toStdString();
      const ParseResult r = ParseCode(code);
      QVERIFY2(r.MessageCount() == 0, code.c_str());
      QVERIFY2(r.LineCount() > item, code.c_str());
      const std::string line(r.Line(item));
      for (const std::string& text : zendric::testing::ChoiceTexts(d.CurrentPersona().Items[item]))
        QVERIFY2(line.find(text) != std::string::npos, (code + " lacks " + text).c_str());
    }
  }

  // Every control of every page has a name for screen readers, and a page rebuilt
  // after a button keeps the keyboard on that button.
  void pagesSpeakAndKeepTheKeyboard() {
    TBuilderDialog d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.Open(u"ZN2.Dw+Hd+He^He+Hd M(r+2v-) O(r-3v+) G~(fm)>\"elf\"/\"orc\">~ L3m2t1w Cbl+|re,wgr>ye,bye>re Bfl\"blue\"|/ic Fc~ Pa4^t Sks,wf,b Tc+[runes] W-"_s);
    auto* list = Named<QListWidget>(&d, "lbItems");
    for (int row = 0; row < list->count(); ++row) {
      list->setCurrentRow(row);
      QStringList names;
      for (QWidget* w : Page(d)->findChildren<QWidget*>()) {
        // A spin box's own text field speaks for it.
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&d) || qobject_cast<QAbstractSpinBox*>(w->parentWidget())) continue;
        const QString where = list->item(row)->text() + u": "_s + w->accessibleName();
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(where + w->metaObject()->className()));
        QVERIFY2(!names.contains(w->accessibleName()), qPrintable(where + u" twice"_s));
        names << w->accessibleName();
      }
    }
    // Tab goes from the item list's buttons into the page, and on to the code.
    list->setCurrentRow(0);
    Named<QPushButton>(&d, "btnDown")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Named<QWidget>(Page(d), "What I am/What I am"));
    Named<QWidget>(&d, "edCode")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QVERIFY(Page(d)->isAncestorOf(QApplication::focusWidget()));
    auto* add = Named<QPushButton>(Page(d), "Add a species to the mix");
    add->setFocus();
    QTest::keyClick(add, Qt::Key_Space);
    QWidget* again = Named<QPushButton>(Page(d), "Add a species to the mix");
    QCOMPARE(QApplication::focusWidget(), again);
    QVERIFY2(d.Code().startsWith(u"ZN2.Dw+Hd+He+D^He+Hd "_s), qPrintable(d.Code()));
  }
};

QTEST_MAIN(BuilderFieldsTest)
#include "builder_fields_test.moc"
