// The builder window's pages driven through their controls: every sub-feature of an
// item is set by its controls and read back, every opened sub-feature shows in them,
// and no run of choices makes a code with a message.
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <random>

#include "BuilderDialog.h"
#include "ChoiceTexts.h"
#include "Controls.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

QWidget* Page(const TBuilderDialog& d) {
  QCoreApplication::processEvents();  // a choice may have rebuilt the page
  return Named<QWidget>(&d, "pnPage");
}

QString Reading(const std::string& code) {
  const ParseResult r = ParseCode(code);
  QString text;
  for (std::size_t i = 0; i < r.LineCount(); ++i) text += QString::fromStdString(std::string(r.Line(i))).replace(u'\r', u' ') + u'\n';
  return text;
}

// One step: "name" clicks a button; "name=value" picks a combo box entry or a menu
// entry by its text, sets "on"/"off" or a number; "name:text" types into a control.
void Apply(const TBuilderDialog& d, const QString& step) {
  const qsizetype cut = step.indexOf(QRegularExpression(u"[=:]"_s));
  const QString name = cut < 0 ? step : step.left(cut);
  const QString value = cut < 0 ? QString() : step.mid(cut + 1);
  QWidget* control = Named<QWidget>(Page(d), name.toLatin1().constData());
  if (cut >= 0 && step[cut] == u':') {
    QTest::keyClicks(control, value);
  } else if (auto* box = qobject_cast<QComboBox*>(control)) {
    int found = -1;
    for (int i = 0; i < box->count(); ++i)
      if (box->itemText(i).trimmed() == value) found = i;
    if (found < 0) qFatal("%s has no entry %s", qPrintable(name), qPrintable(value));
    box->setCurrentIndex(found);
  } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
    check->setChecked(value == u"on"_s);
  } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
    spin->setValue(value.toInt());
  } else if (auto* number = qobject_cast<QDoubleSpinBox*>(control)) {
    number->setValue(value.toDouble());
  } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
    QTest::keyClicks(field, value);
  } else if (auto* menu = qobject_cast<QToolButton*>(control)) {
    const QList<QAction*> actions = menu->menu()->actions();
    const auto action = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == value; });
    if (action == actions.end()) qFatal("%s has no entry %s", qPrintable(name), qPrintable(value));
    (*action)->trigger();
  } else if (auto* button = qobject_cast<QPushButton*>(control)) {
    button->click();
  }
}

// What a control shows, in the words of Apply.
QString Shown(QWidget* control) {
  if (auto* box = qobject_cast<QComboBox*>(control)) return box->currentText().trimmed();
  if (auto* check = qobject_cast<QCheckBox*>(control)) return check->isChecked() ? u"on"_s : u"off"_s;
  if (auto* spin = qobject_cast<QSpinBox*>(control)) return QString::number(spin->value());
  if (auto* number = qobject_cast<QDoubleSpinBox*>(control)) return QString::number(number->value());
  if (auto* field = qobject_cast<QLineEdit*>(control)) return field->text();
  if (auto* menu = qobject_cast<QToolButton*>(control)) return menu->toolTip();
  return {};
}

}  // namespace

class BuilderPagesTest : public QObject {
  Q_OBJECT

 private slots:
  // Each sub-feature set through its controls gives the code, and its reading (without
  // a message) says what was chosen.
  void subFeaturesThroughTheControls_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("built");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("mix member") << u"ZN2.Dw"_s << 0 << QStringList{u"btnAddMember"_s, u"cbMember1=Dwarf"_s} << u"ZN2.Dw+Hd"_s
                                << QStringList{u"a mix of a Western Dragon, a Dwarf"_s};
    QTest::newRow("mix member typed") << u"ZN2.Dw"_s << 0 << QStringList{u"btnAddMember"_s, u"cbMember1:Tiger"_s} << u"ZN2.Dw+Mft"_s
                                      << QStringList{u"a Western Dragon, a Tiger"_s};
    QTest::newRow("mix member removed") << u"ZN2.Dw+Hd+He"_s << 0 << QStringList{u"btnRemoveMember1"_s} << u"ZN2.Dw+He"_s
                                        << QStringList{u"a Western Dragon, an Elf"_s};
    QTest::newRow("looks like") << u"ZN2.Dw"_s << 0 << QStringList{u"cbRelation=who looks like:"_s, u"cbOther0=Dwarf"_s}
                                << u"ZN2.Dw^Hd"_s << QStringList{u"who looks like: a Dwarf"_s};
    QTest::newRow("trapped in two") << u"ZN2.Dw"_s << 0
                                    << QStringList{u"cbRelation=trapped in the body of:"_s, u"cbOther0=Elf"_s, u"btnAddOther"_s,
                                                   u"cbOther1=Dwarf"_s, u"ckOtherChanges1=on"_s}
                                    << u"ZN2.Dw[He+Hd~]"_s << QStringList{u"trapped in the body of: a mix of"_s, u"a Dwarf who changes"_s};
    QTest::newRow("own name") << u"ZN2.D"_s << 0
                              << QStringList{u"cbMemberShape0=a name of my own (Dragon)"_s, u"edMemberName0:emBer \"x\""_s}
                              << u"ZN2.D\"emerx\""_s << QStringList{u"an emerx (Dragon)"_s};
    QTest::newRow("unknown kind") << u"ZN2.Dw+Hd"_s << 0 << QStringList{u"cbMember1=Human"_s, u"cbMemberShape1=Unknown Human"_s}
                                  << u"ZN2.Dw+H?"_s << QStringList{u"an Unknown Human"_s};
    QTest::newRow("shapechanger forms") << u"ZN2.Dw"_s << 0
                                        << QStringList{u"cbSpeciesKind=A shapechanger"_s, u"btnAddMember"_s, u"cbMember1=Wolf"_s}
                                        << u"ZN2.~Dw/Mcw"_s << QStringList{u"a shapechanger who takes form of a Western Dragon, a Wolf"_s};
    QTest::newRow("mates, dead mate, conspiracy")
        << u"ZN2.Dw M+"_s << 1 << QStringList{u"sbMates0=3"_s, u"ckMateDead0=on"_s, u"cbConspiracy0=I'm a member of the XY conspiracy!"_s}
        << u"ZN2.Dw M+3_xy"_s << QStringList{u"I have 3 mates"_s, u"My mate is dead"_s, u"XY conspiracy"_s};
    QTest::newRow("hatchlings, adopted")
        << u"ZN2.Dw O+"_s << 1
        << QStringList{u"cbCountForm0=I have … hatchlings that are still home."_s, u"sbCount0=4"_s, u"ckAdopted0=on"_s}
        << u"ZN2.Dw Oa+4"_s << QStringList{u"I have 4 hatchlings that are still home."_s, u"My hatchlings are adopted."_s};
    QTest::newRow("virtual life added") << u"ZN2.Dw A+"_s << 1 << QStringList{u"btnAddEntry"_s} << u"ZN2.Dw A(r+v+++!)"_s
                                        << QStringList{u"My real life age:"_s, u"My virtual age: Ancient"_s};
    QTest::newRow("real life removed") << u"ZN2.Dw J(r+v-)"_s << 1 << QStringList{u"btnRemoveEntry0"_s, u"cbLife0=My joviality:"_s}
                                       << u"ZN2.Dw J-"_s << QStringList{u"My joviality: "_s};
    QTest::newRow("gender chain") << u"ZN2.Dw Gm"_s << 1 << QStringList{u"btnAddGender"_s, u"cbJoin1=changing into"_s, u"cbGender1=a female"_s}
                                  << u"ZN2.Dw Gm>f"_s << QStringList{u"I'm a male changing into a female"_s};
    QTest::newRow("gender description") << u"ZN2.Dw Gm/f"_s << 1
                                        << QStringList{u"cbGender1=a description of my own"_s, u"edGender1:wise \"elf\""_s}
                                        << u"ZN2.Dw Gm/\"wise elf\""_s << QStringList{u"but mentally I'm a wise elf"_s};
    QTest::newRow("variable gender") << u"ZN2.Dw Gm"_s << 1 << QStringList{u"cbGender0=variable"_s, u"btnBetween0=a male"_s, u"btnBetween0=a female"_s}
                                     << u"ZN2.Dw G~(fm)"_s << QStringList{u"I'm variable between a female, a male,"_s};
    QTest::newRow("length of a body part") << u"ZN2.Dw L12m"_s << 1 << QStringList{u"btnAddPart"_s, u"sbPartNumber0=3.5"_s, u"cbBodyPart0=wingspan"_s}
                                           << u"ZN2.Dw L12m3.5w"_s << QStringList{u"a 3.5 metres wingspan"_s};
    // Each control changes its own choice only: the unit keeps the number, and the
    // number keeps the unit chosen before it on the same page.
    QTest::newRow("unit, then number") << u"ZN2.Dw L12.25m"_s << 1 << QStringList{u"cbUnit=feet"_s, u"sbNumber=7"_s} << u"ZN2.Dw L7f"_s
                                       << QStringList{u"7 feet"_s};
    QTest::newRow("unit keeps the number") << u"ZN2.Dw L12.25m"_s << 1 << QStringList{u"cbUnit=feet"_s} << u"ZN2.Dw L12.25f"_s
                                           << QStringList{u"12.25 feet"_s};
    QTest::newRow("colour modifiers") << u"ZN2.Dw Cbl"_s << 1 << QStringList{u"btnModifiers0_0=very dark"_s, u"btnModifiers0_0=metallic"_s}
                                      << u"ZN2.Dw Cbl--^"_s << QStringList{u"metallic very dark blue"_s};
    QTest::newRow("colour of a body part") << u"ZN2.Dw Cbl"_s << 1
                                           << QStringList{u"btnAddColourPart"_s, u"cbColourPart1=My belly is"_s, u"cbColour1_0=yellow"_s}
                                           << u"ZN2.Dw Cbl,bye"_s << QStringList{u"My belly is yellow"_s};
    QTest::newRow("nested patterns") << u"ZN2.Dw Cbl"_s << 1
                                     << QStringList{u"cbPattern0_0=… with … stripes"_s, u"cbColour0_1=red"_s, u"cbPattern0_1=… with … spots"_s,
                                                    u"cbColour0_2=green"_s}
                                     << u"ZN2.Dw Cbl|re:gr"_s << QStringList{u"blue with red with green spots stripes"_s};
    QTest::newRow("colour changing") << u"ZN2.Dw Cbl,wgr"_s << 1 << QStringList{u"ckChanging1=on"_s, u"cbChangeColour1_0=red"_s}
                                     << u"ZN2.Dw Cbl,wgr>re"_s << QStringList{u"My wings are green changing to red"_s};
    QTest::newRow("breath adjective, shape, second weapon")
        << u"ZN2.Dw Bfl"_s << 1 << QStringList{u"edAdjective0:blue"_s, u"cbShape0=clouds of beams of …"_s, u"btnAddBreath"_s, u"cbBreath1=ice"_s}
        << u"ZN2.Dw Bfl\"blue\"|#/ic"_s << QStringList{u"I breathe clouds of beams of blue flames or fire, ice"_s};
    QTest::newRow("breath of my own") << u"ZN2.Dw Bfl/ic"_s << 1
                                      << QStringList{u"cbBreath1=a name of my own"_s, u"edBreathName1:spark\"les"_s, u"btnRemoveBreath0"_s}
                                      << u"ZN2.Dw B\"sparkles\""_s << QStringList{u"I breathe sparkles"_s};
    QTest::newRow("any food") << u"ZN2.Dw F"_s << 1 << QStringList{u"ckFood1=on"_s, u"ckAnyFood1=on"_s, u"ckFood7=on"_s} << u"ZN2.Dw Fc~v"_s
                              << QStringList{u"I eat any meat, eat vegetables"_s};
    QTest::newRow("appendage counts") << u"ZN2.Dw Pw"_s << 1
                                      << QStringList{u"cbHowMany0=a number of"_s, u"sbHowMany0=4"_s, u"ckWebbed0=on"_s, u"btnAddAppendage"_s,
                                                     u"cbAppendage1=tail"_s, u"cbHowMany1=many"_s}
                                      << u"ZN2.Dw Pw4^t!"_s << QStringList{u"4 webbed wings, many tail"_s};
    QTest::newRow("skin of a body part") << u"ZN2.Dw Sks"_s << 1
                                         << QStringList{u"btnAddSkinPart"_s, u"cbSkinPart0=My wings have"_s, u"btnSkinTypes0=feathers"_s}
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
    for (const QString& step : steps) Apply(d, step);
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
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("mix, looks like") << u"ZN2.Dw+Hd^He~"_s << 0
                                     << QStringList{u"cbMember1=Dwarf"_s, u"cbRelation=who looks like:"_s, u"cbOther0=Elf"_s, u"ckOtherChanges0=on"_s};
    QTest::newRow("own name, unknown") << u"ZN2.D\"ember\"+Mf?"_s << 0
                                       << QStringList{u"edMemberName0=ember"_s, u"cbMemberShape1=Unknown Feline (cat)"_s};
    QTest::newRow("mating group") << u"ZN2.Dw M(r+2_xxv-)"_s << 1
                                  << QStringList{u"sbMates0=2"_s, u"ckMateDead0=on"_s, u"cbConspiracy0=I'm a member of the XX conspiracy!"_s,
                                                 u"cbLife1=My virtual mating status:"_s};
    QTest::newRow("offspring") << u"ZN2.Dw Oa-3"_s << 1
                               << QStringList{u"cbCountForm0=I have … hatchlings that have flown the coop."_s, u"sbCount0=3"_s, u"ckAdopted0=on"_s};
    QTest::newRow("gender chain") << u"ZN2.Dw Gm>~(fh)/\"elf\""_s << 1
                                  << QStringList{u"cbJoin1=changing into"_s, u"cbGender1=variable"_s, u"btnBetween1=a female, a hermaphrodite"_s,
                                                 u"cbJoin2=but mentally I'm"_s, u"edGender2=elf"_s};
    QTest::newRow("body part length") << u"ZN2.Dw L3m2t"_s << 1 << QStringList{u"cbBodyPart0=long tail"_s, u"sbPartNumber0=2"_s};
    QTest::newRow("colour") << u"ZN2.Dw Cbl+^|re,wgr>ye"_s << 1
                            << QStringList{u"btnModifiers0_0=light metallic"_s, u"cbPattern0_0=… with … stripes"_s, u"cbColour0_1=red"_s,
                                           u"cbColourPart1=My wings are"_s, u"cbChangeColour1_0=yellow"_s};
    QTest::newRow("shades beyond the menu") << u"ZN2.Dw Cbl+-!,wre+++"_s << 1
                                            << QStringList{u"btnModifiers0_0=very light glittery"_s, u"btnModifiers1_0=very very light"_s};
    QTest::newRow("breath") << u"ZN2.Dw Bfl\"blue\"|#/ic"_s << 1
                            << QStringList{u"edAdjective0=blue"_s, u"cbShape0=clouds of beams of …"_s, u"cbBreath1=ice"_s};
    QTest::newRow("diet") << u"ZN2.Dw Fc~v"_s << 1 << QStringList{u"ckAnyFood1=on"_s, u"ckFood7=on"_s, u"ckAnyFood7=off"_s};
    QTest::newRow("appendages") << u"ZN2.Dw Pa4^t~"_s << 1
                                << QStringList{u"cbHowMany0=a number of"_s, u"sbHowMany0=4"_s, u"ckWebbed0=on"_s, u"cbHowMany1=a variable amount of"_s};
    QTest::newRow("skin") << u"ZN2.Dw Sks,wf"_s << 1 << QStringList{u"cbSkinPart0=My wings have"_s, u"btnSkinTypes0=feathers"_s};
  }
  void openedSubFeaturesShowInTheControls() {
    QFETCH(QString, code);
    QFETCH(int, item);
    QFETCH(QStringList, shown);
    TBuilderDialog d;
    d.Open(code);
    QVERIFY(!d.CurrentPersona().Items[static_cast<std::size_t>(item)].IsKept());
    Named<QListWidget>(&d, "lbItems")->setCurrentRow(item);
    for (const QString& pair : shown) {
      const QString name = pair.section(u'=', 0, 0);
      QCOMPARE(Shown(Named<QWidget>(Page(d), name.toLatin1().constData())), pair.section(u'=', 1));
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
      else if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) spin->stepBy(below(12) - 3);
      else if (auto* tree = qobject_cast<QTreeWidget*>(w)) tree->setCurrentItem(tree->topLevelItem(below(tree->topLevelItemCount()))->child(0));
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
    QCOMPARE(QApplication::focusWidget(), Named<QWidget>(Page(d), "cbSpeciesKind"));
    Named<QWidget>(&d, "edCode")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QVERIFY(Page(d)->isAncestorOf(QApplication::focusWidget()));
    auto* add = Named<QPushButton>(Page(d), "btnAddMember");
    add->setFocus();
    QTest::keyClick(add, Qt::Key_Space);
    QWidget* again = Named<QPushButton>(Page(d), "btnAddMember");
    QCOMPARE(QApplication::focusWidget(), again);
    QVERIFY2(d.Code().startsWith(u"ZN2.Dw+Hd+He+D^He+Hd "_s), qPrintable(d.Code()));
  }
};

QTEST_MAIN(BuilderPagesTest)
#include "builder_pages_test.moc"
