// The builder window driven through its widgets: it opens with the field's code and
// keeps it, its choices change the live code and reading, and "Use this code" puts the
// code into the reader's field as one undoable edit.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QToolButton>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "BuilderControls.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

QLabel* WhyOf(const TBuilderDialog& d, const QWidget* field) {
  return Named<QWidget>(&d, "pnPage")->findChild<QLabel*>(field->objectName() + u"/why"_s);
}

// Every button of the window stands whole inside it, as wide as its text wants.
void ButtonsWhole(const TBuilderDialog& d) {
  for (const char* name : {"btnAdd", "btnRemove", "btnUp", "btnDown", "btnRandom", "btnUndo", "btnRedo", "btnUse", "btnCancel"}) {
    auto* button = Named<QPushButton>(&d, name);
    const QRect where(button->mapTo(&d, QPoint(0, 0)), button->size());
    QVERIFY2(d.rect().contains(where), name);
    QVERIFY2(button->width() >= button->sizeHint().width(), name);
  }
}

}  // namespace

class BuilderDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Any code comes back unchanged, items the builder cannot write included.
  void opensAndKeepsTheCode_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("kept");
    QTest::newRow("realistic") << u"ZN2.Dw+Hd Gm L12m Cbl|re,wgr Tc+[runes]"_s << 5 << 0;
    QTest::newRow("errors") << u"ZN2.Dw  Gx Ad W+"_s << 4 << 2;  // the mistyped Gx is one item
    QTest::newRow("no code") << u"hello there"_s << 1 << 1;
    QTest::newRow("empty field") << u""_s << 1 << 0;
  }
  void opensAndKeepsTheCode() {
    QFETCH(QString, code);
    QFETCH(int, items);
    QFETCH(int, kept);
    TBuilderDialog d;
    d.Open(code);
    auto* list = Named<QListWidget>(&d, "lbItems");
    QCOMPARE(list->count(), items);
    int keptRows = 0;
    for (int i = 0; i < list->count(); ++i) keptRows += list->item(i)->text().startsWith(u"Kept as written"_s);
    QCOMPARE(keptRows, kept);
    if (!code.isEmpty()) QCOMPARE(d.Code(), code);
    if (code.isEmpty()) QCOMPARE(d.Code(), u"ZN2.D"_s);
    QCOMPARE(Named<QLineEdit>(&d, "edCode")->text(), d.Code());
  }

  // A rating chosen by its text changes the code and the reading at once.
  void ratingsInTheReadingsWords() {
    TBuilderDialog d;
    d.Open(u"ZN2.Dw W+"_s);
    Named<QListWidget>(&d, "lbItems")->setCurrentRow(1);
    auto* rating = Named<QComboBox>(&d, "Width");
    QCOMPARE(rating->currentText(), u"'I'm a little on the broad side!'"_s);
    rating->setCurrentIndex(rating->findText(u"'I am a perfect sphere!'"_s));
    QCOMPARE(d.Code(), u"ZN2.Dw W+++!"_s);
    QVERIFY(Named<QPlainTextEdit>(&d, "meReading")->toPlainText().contains(u"Concerning my width: 'I am a perfect sphere!'"_s));
  }

  // The species tree with its search; a tag added, moved and removed.
  void speciesTreeAndItemList() {
    TBuilderDialog d;
    d.Open(QString());
    auto* search = Named<QLineEdit>(&d, "Species/Species/search");
    QTest::keyClicks(search, u"tiger"_s);
    auto* tree = Named<QComboBox>(&d, "Species/Species");
    auto* view = qobject_cast<QListView*>(tree->view());
    const int tiger = tree->findText(u"Tiger"_s), wolf = tree->findText(u"Wolf"_s);
    QVERIFY(tiger >= 0 && wolf >= 0);
    QVERIFY(!view->isRowHidden(tiger));
    QVERIFY(view->isRowHidden(wolf));
    // Kinds below kinds stand deeper in the tree.
    QVERIFY(tree->itemData(tiger, Qt::UserRole + 1).toInt() > tree->itemData(tree->findText(u"Feline (cat)"_s), Qt::UserRole + 1).toInt());
    tree->setCurrentIndex(tiger);
    QCOMPARE(d.Code(), u"ZN2.Mft"_s);

    auto* add = Named<QComboBox>(&d, "cbAddTag");
    add->setCurrentIndex(add->findText(u"Gender (G)"_s));
    Named<QPushButton>(&d, "btnAdd")->click();
    add->setCurrentIndex(add->findText(u"Width (W)"_s));
    Named<QPushButton>(&d, "btnAdd")->click();
    QCOMPARE(d.Code(), u"ZN2.Mft Gf W+++!"_s);
    Named<QPushButton>(&d, "btnUp")->click();  // the width before the gender
    QCOMPARE(d.Code(), u"ZN2.Mft W+++! Gf"_s);
    Named<QPushButton>(&d, "btnUp")->click();  // never before the species
    QCOMPARE(d.Code(), u"ZN2.Mft W+++! Gf"_s);
    Named<QPushButton>(&d, "btnRemove")->click();
    QCOMPARE(d.Code(), u"ZN2.Mft Gf"_s);
  }

  // Every tag's page: added from the list, each of its choice boxes set to its last
  // entry and each tick list ticked through, the code still reads without a message.
  void everyTagsPageBuildsReadableCodes_data() {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < TagCatalogue.size(); ++i)
      QTest::newRow(std::string(TagCatalogue[i].Title).c_str()) << static_cast<int>(i);
  }
  void everyTagsPageBuildsReadableCodes() {
    QFETCH(int, row);
    TBuilderDialog d;
    d.Open(u"ZN2.Dw"_s);
    auto* add = Named<QComboBox>(&d, "cbAddTag");
    add->setCurrentIndex(add->findData(row));
    Named<QPushButton>(&d, "btnAdd")->click();
    QCOMPARE(Named<QListWidget>(&d, "lbItems")->currentRow(), 1);
    const auto readsClean = [&] {
      QCoreApplication::processEvents();  // some choices rebuild the page
      const ParseResult r = ParseCode(d.Code().toStdString());
      QVERIFY2(r.MessageCount() == 0, qPrintable(d.Code()));
      QCOMPARE(r.LineCount(), 2u);
    };
    // Taken afresh each turn: a rebuilt page has new boxes.
    const auto boxes = [&] { return Named<QWidget>(&d, "pnPage")->findChildren<QComboBox*>(); };
    for (qsizetype k = 0; k < boxes().size(); ++k) {
      QComboBox* box = boxes()[k];
      box->setCurrentIndex(box->count() - 1);
      readsClean();
    }
    for (int k = 0;; ++k) {
      QList<QMenu*> menus;
      for (auto* button : Named<QWidget>(&d, "pnPage")->findChildren<QToolButton*>())
        if (button->menu() != nullptr) menus << button->menu();
      if (k >= menus.size()) break;
      for (QAction* tick : menus[k]->actions()) {
        if (!tick->isChecked()) tick->trigger();
        readsClean();
      }
    }
  }

  // Random personas read without a message.
  void randomReadsWithoutMessages() {
    TBuilderDialog d;
    for (int i = 0; i < 20; ++i) {
      Named<QPushButton>(&d, "btnRandom")->click();
      const QString reading = Named<QPlainTextEdit>(&d, "meReading")->toPlainText();
      QVERIFY2(!reading.contains(u"position "_s, Qt::CaseInsensitive), qPrintable(d.Code() + u"\n"_s + reading));
      QVERIFY(Named<QListWidget>(&d, "lbItems")->count() >= 3);
    }
  }

  void remembersItsSize() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"settings.ini"_s);
    {
      TBuilderDialog d;
      d.RememberSizeIn(std::make_unique<QSettings>(file, QSettings::IniFormat));
      d.resize(701, 533);
      d.reject();
    }
    TBuilderDialog again;
    again.RememberSizeIn(std::make_unique<QSettings>(file, QSettings::IniFormat));
    QCOMPARE(again.size(), QSize(701, 533));
  }

  // Ctrl+N in the reader opens the builder with the field's code; "Use this code" puts
  // the new code in the field, and one undo gives the old one back.
  void useThisCodeFromTheReader() {
    TMainScreen w;
    ReaderControls ui(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ui.meZendric->setPlainText(u"ZN2.Dw W+"_s);
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
      auto* d = w.findChild<TBuilderDialog*>();
      QVERIFY(d != nullptr);
      QTRY_VERIFY(d->isVisible());
      QCOMPARE(d->Code(), u"ZN2.Dw W+"_s);
      Named<QListWidget>(d, "lbItems")->setCurrentRow(1);
      auto* rating = Named<QComboBox>(d, "Width");
      rating->setCurrentIndex(rating->findText(u"'I am two-dimensional!'"_s));
      ran = true;
      Named<QPushButton>(d, "btnUse")->click();
    });
    QTest::keyClick(ui.meZendric, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(ran);
    QCOMPARE(ui.meZendric->toPlainText(), u"ZN2.Dw W---!"_s);
    ui.meZendric->undo();
    QCOMPARE(ui.meZendric->toPlainText(), u"ZN2.Dw W+"_s);
  }

  // A post with two codes: the builder opens the one chosen in the found-code bar, and
  // "Use this code" changes only that code's characters, as one edit that Ctrl+Z takes
  // back; unchanged, the post stays as it was.
  void opensTheChosenCodeOfAPost_data() {
    QTest::addColumn<int>("chosen");
    QTest::addColumn<bool>("change");
    QTest::newRow("first, unchanged") << 0 << false;
    QTest::newRow("second, unchanged") << 1 << false;
    QTest::newRow("first, changed") << 0 << true;
    QTest::newRow("second, changed") << 1 << true;
  }
  void opensTheChosenCodeOfAPost() {
    QFETCH(int, chosen);
    QFETCH(bool, change);
    const QString before[] = {u"Hello all!\n\nMy code: "_s, u"\n\nand my mate's:\n"_s, u"\n\nCheers,\nAnn\n"_s};
    const QString codes[] = {u"ZN2.Dw Gm L12m"_s, u"ZN2.Mft~ Gf"_s};
    const QString post = before[0] + codes[0] + before[1] + codes[1] + before[2];
    TMainScreen w;
    ReaderControls ui(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ui.meZendric->setPlainText(post);
    auto* found = Named<QComboBox>(&w, "cbFound");
    QCOMPARE(found->count(), 2);
    found->setCurrentIndex(chosen);
    QString opened, built;
    QTimer::singleShot(0, this, [&] {
      auto* d = w.findChild<TBuilderDialog*>();
      QVERIFY(d != nullptr);
      QTRY_VERIFY(d->isVisible());
      opened = d->Code();
      if (change) {
        auto* add = Named<QComboBox>(d, "cbAddTag");
        add->setCurrentIndex(add->findText(u"Width (W)"_s));
        QTest::mouseClick(Named<QPushButton>(d, "btnAdd"), Qt::LeftButton);
      }
      built = d->Code();
      QTest::keyClick(Named<QListWidget>(d, "lbItems"), Qt::Key_Return, Qt::ControlModifier);
    });
    QTest::keyClick(ui.meZendric, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(opened, codes[chosen]);
    QString used[] = {codes[0], codes[1]};
    used[chosen] = built;
    QCOMPARE(ui.meZendric->toPlainText(), before[0] + used[0] + before[1] + used[1] + before[2]);
    if (!change) {
      QVERIFY(!ui.meZendric->document()->isUndoAvailable());
      return;
    }
    QVERIFY(built != codes[chosen]);
    QTest::keyClick(ui.meZendric, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ui.meZendric->toPlainText(), post);
  }

  // A kept item is edited in place: the list's row and the code follow every key, and
  // the field keeps the caret (the page is not drawn again under it). Leaving the field
  // ends one step, which one undo takes back whole.
  void keptItemsEditedInPlace_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("edited");
    QTest::newRow("an error") << u"ZN2.Dw L12q"_s << u"q"_s << u"ZN2.Dw L12qq"_s;
    QTest::newRow("a mistyped tag letter") << u"ZN2.Dw Gx"_s << u"yz"_s << u"ZN2.Dw Gxyz"_s;
  }
  void keptItemsEditedInPlace() {
    QFETCH(QString, code);
    QFETCH(QString, typed);
    QFETCH(QString, edited);
    TBuilderDialog d;
    QVERIFY(ShowActive(d));
    d.Open(code);
    auto* list = Named<QListWidget>(&d, "lbItems");
    QCOMPARE(list->count(), 2);
    list->setCurrentRow(1);
    auto* field = qobject_cast<QLineEdit*>(Field(d, u"As written"_s));
    QVERIFY(field != nullptr);
    field->setFocus();
    field->end(false);
    QString shown = code.mid(7);
    for (QChar key : typed) {
      QTest::keyClick(field, key.toLatin1());
      shown += key;
      QCoreApplication::processEvents();
      QCOMPARE(Field(d, u"As written"_s), field);
      QVERIFY(field->hasFocus());
      QCOMPARE(field->cursorPosition(), shown.size());
      QVERIFY2(list->item(1)->text().contains(shown), qPrintable(list->item(1)->text()));
      QCOMPARE(Named<QLineEdit>(&d, "edCode")->text(), u"ZN2.Dw "_s + shown);
    }
    QCOMPARE(d.Code(), edited);
    QTest::keyClick(field, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.Code(), code);
  }

  // A value a field does not take is said beside it, and what was typed stays, until
  // the field takes one again.
  void refusalsSaidBesideTheField_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("holds");  // the code once the last key was refused
    QTest::newRow("a quote in an own text") << u"ZN2.Dw G\"storm\""_s << u"My own description"_s << u"\""_s << u"ZN2.Dw G\"storm\""_s;
    QTest::newRow("a code in an own text") << u"ZN2.Dw G\"storm\""_s << u"My own description"_s << u" ZN2."_s
                                           << u"ZN2.Dw G\"storm ZN2\""_s;
    QTest::newRow("a letter in a number") << u"ZN2.Dw L12m"_s << u"Number"_s << u"e3"_s << u"ZN2.Dw L12m"_s;
  }
  void refusalsSaidBesideTheField() {
    QFETCH(QString, code);
    QFETCH(QString, label);
    QFETCH(QString, typed);
    QFETCH(QString, holds);
    TBuilderDialog d;
    QVERIFY(ShowActive(d));
    d.Open(code);
    Named<QListWidget>(&d, "lbItems")->setCurrentRow(1);
    auto* field = qobject_cast<QLineEdit*>(Field(d, label));
    QVERIFY(field != nullptr);
    const QString was = field->text();
    field->setFocus();
    field->end(false);
    QTest::keyClicks(field, typed);
    QLabel* why = WhyOf(d, field);
    QVERIFY(why != nullptr);
    QVERIFY(!why->isHidden() && !why->text().isEmpty());
    QCOMPARE(field->accessibleDescription(), why->text());
    QCOMPARE(field->text(), was + typed);
    QCOMPARE(d.Code(), holds);
    // Leaving the field keeps both.
    QTest::keyClick(field, Qt::Key_Tab);
    field = qobject_cast<QLineEdit*>(Field(d, label));
    QCOMPARE(field->text(), was + typed);
    QVERIFY(!WhyOf(d, field)->isHidden());
    field->setFocus();
    field->end(false);
    for (qsizetype i = 0; i < typed.size(); ++i) QTest::keyClick(field, Qt::Key_Backspace);
    QVERIFY(WhyOf(d, field)->isHidden());
    QVERIFY(field->accessibleDescription().isEmpty());
    QCOMPARE(d.Code(), code);
  }

  // The item list tells of a tag given twice in the row of the second, and its tooltip.
  void hintsInTheItemList() {
    TBuilderDialog d;
    d.Open(u"ZN2.Dw Gm L12m Gf"_s);
    auto* list = Named<QListWidget>(&d, "lbItems");
    for (int row = 0; row < list->count(); ++row) {
      const QString hint = QString::fromStdString(ItemHint(d.CurrentPersona(), static_cast<std::size_t>(row)));
      QCOMPARE(list->item(row)->text().contains(u'\n'), row == 3);
      QCOMPARE(list->item(row)->text().contains(u"readers see both"_s), row == 3);
      if (row == 3) QVERIFY(list->item(row)->toolTip().endsWith(hint));
    }
    // Removing the first gender item takes the hint from the other.
    list->setCurrentRow(1);
    Named<QPushButton>(&d, "btnRemove")->click();
    for (int row = 0; row < list->count(); ++row) QVERIFY(!list->item(row)->text().contains(u'\n'));
  }

  // A long kept text shows its start in its row, which wraps; the tooltip has it all.
  void longRowsShowTheirStart() {
    TBuilderDialog d;
    const QString text = u"ZN2.Dw "_s + QString(u"Lq"_s).repeated(200);
    d.Open(text);
    auto* list = Named<QListWidget>(&d, "lbItems");
    QCOMPARE(list->count(), 2);
    QVERIFY2(list->item(1)->text().size() < 200, qPrintable(list->item(1)->text()));
    QVERIFY(list->item(1)->text().endsWith(u"\u2026"_s));
    QCOMPARE(list->item(1)->toolTip(), text.mid(7));
  }

  // A code full of errors opens with as many widgets and shown characters at a
  // megabyte as at 64 KB: the reading's lines and messages, the note and the row are
  // cut. The kept item's own field holds all of it, and the code comes back whole.
  void megabyteOfErrorsShowsItsStart_data() {
    QTest::addColumn<QChar>("run");
    QTest::addColumn<QString>("lead");
    QTest::newRow("brace run") << QChar(u'{') << QString();  // one line of a display line per brace
    QTest::newRow("quote run") << QChar(u'"') << QString();  // one message quoting all of it
    QTest::newRow("NUL run") << QChar(u'\0') << QString();
    QTest::newRow("stray letters") << QChar(u'x') << u" "_s;
  }
  void megabyteOfErrorsShowsItsStart() {
    QFETCH(QChar, run);
    QFETCH(QString, lead);
    struct Shown {
      qsizetype widgets = 0, characters = 0;
    };
    const auto open = [&](TBuilderDialog& d, qsizetype size) {
      const QString code = u"ZN2.Dw"_s + lead + QString(size, run);
      d.Open(code);
      QCOMPARE(d.Code(), code);
      auto* list = Named<QListWidget>(&d, "lbItems");
      list->setCurrentRow(list->count() - 1);  // the kept run
      const QString text = TextOf(Field(d, u"As written"_s));
      QVERIFY(text.size() >= size);
      QVERIFY(code.endsWith(text));
    };
    const auto shown = [](const TBuilderDialog& d) {
      Shown s;
      s.widgets = Named<QWidget>(&d, "pnPage")->findChildren<QWidget*>().size();
      for (const QLabel* label : d.findChildren<QLabel*>()) s.characters += label->text().size();
      s.characters += Named<QPlainTextEdit>(&d, "meReading")->toPlainText().size();
      const auto* list = Named<QListWidget>(&d, "lbItems");
      for (int row = 0; row < list->count(); ++row) s.characters += list->item(row)->text().size();
      return s;
    };
    TBuilderDialog d;
    open(d, 64 << 10);
    const Shown small = shown(d);
    open(d, 1 << 20);
    const Shown large = shown(d);
    QCOMPARE(large.widgets, small.widgets);
    // Only the counts of what is left out grow, by a digit or two.
    QVERIFY2(large.characters <= small.characters + 8, qPrintable(u"%1 against %2"_s.arg(large.characters).arg(small.characters)));
    QVERIFY(large.characters < 64 << 10);
    // The code line shows the start of the code, not the end of the part kept.
    QCOMPARE(Named<QLineEdit>(&d, "edCode")->cursorPosition(), 0);
  }

  // A long kept text is edited in a field of several lines, as a line edit would be:
  // keys go into the code, Enter adds no line, Ctrl+Z takes the typing back whole.
  void longKeptTextEditedInItsField_data() {
    QTest::addColumn<QString>("keys");  // "\n": Enter, "\x1a": Ctrl+Z
    QTest::addColumn<QString>("added");  // behind the code opened
    QTest::newRow("typed") << u"ab"_s << u"ab"_s;
    QTest::newRow("enter") << u"a\n"_s << u"a"_s;
    QTest::newRow("undone") << u"ab\x1a"_s << QString();
  }
  void longKeptTextEditedInItsField() {
    QFETCH(QString, keys);
    QFETCH(QString, added);
    TBuilderDialog d;
    QVERIFY(ShowActive(d));
    const QString code = u"ZN2.Dw"_s + QString(100000, u'{');
    d.Open(code);
    QWidget* control = Field(d, u"As written"_s);
    QVERIFY(qobject_cast<QLineEdit*>(control) == nullptr);
    QCOMPARE(TextOf(control), code.mid(4));
    auto* field = qobject_cast<TCodeEdit*>(control);
    QVERIFY(field != nullptr);
    field->setFocus();
    field->moveCursor(QTextCursor::End);
    for (QChar key : keys) {
      if (key == u'\n') QTest::keyClick(field, Qt::Key_Return);
      else if (key == u'\x1a') QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
      else QTest::keyClicks(field, QString(key));
    }
    QCOMPARE(d.Code(), code + added);
    QCOMPARE(TextOf(Field(d, u"As written"_s)), code.mid(4) + added);
    QVERIFY(d.isVisible());
  }

  // A long list measures the rows it shows, not every row: the rows measured for a
  // hundred times the items stay about the same. Each row still has its hint.
  void longListsMeasureWhatTheyShow() {
    class TCounting : public QStyledItemDelegate {
     public:
      using QStyledItemDelegate::QStyledItemDelegate;
      mutable int measured = 0;
      QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        ++measured;
        return QStyledItemDelegate::sizeHint(option, index);
      }
    };
    const auto measured = [](int items) {
      TBuilderDialog d;
      auto* list = Named<QListWidget>(&d, "lbItems");
      auto* counting = new TCounting(list);
      list->setItemDelegate(counting);
      d.Open(u"ZN2.Dw"_s + QString(u" Gm"_s).repeated(items));
      d.show();
      QCoreApplication::processEvents();
      if (list->count() != items + 1) return -1;
      if (!list->item(items)->text().contains(u"a second gender item"_s)) return -2;
      return counting->measured;
    };
    const int few = measured(static_cast<int>(TBuilderDialog::ManyRows) + 1), many = measured(100 * static_cast<int>(TBuilderDialog::ManyRows));
    QVERIFY2(few > 0 && many > 0, qPrintable(u"%1, %2"_s.arg(few).arg(many)));
    QVERIFY2(many < 3 * few, qPrintable(u"%1 rows measured against %2"_s.arg(many).arg(few)));
  }

  // A choice in a long list shows in its row at once, as in a short one.
  void rowsFollowAChoice_data() {
    QTest::addColumn<int>("items");
    QTest::newRow("short list") << 3;
    QTest::newRow("long list") << static_cast<int>(TBuilderDialog::ManyRows) + 1;
  }
  void rowsFollowAChoice() {
    QFETCH(int, items);
    TBuilderDialog d;
    d.Open(u"ZN2.Dw"_s + QString(u" Gm"_s).repeated(items));
    auto* list = Named<QListWidget>(&d, "lbItems");
    list->setCurrentRow(1);
    const QString before = list->item(1)->text();
    QComboBox* box = nullptr;
    for (const FormField& f : DescribeItem(d.CurrentPersona().Items[1]))
      if (box == nullptr && f.Shape == FormField::Kind::Select) box = Named<QWidget>(&d, "pnPage")->findChild<QComboBox*>(QString::fromStdString(f.Key));
    QVERIFY(box != nullptr);
    const int other = box->currentIndex() + 1 < box->count() ? box->currentIndex() + 1 : 0;
    box->setCurrentIndex(other);
    QCoreApplication::processEvents();
    QVERIFY(d.Code() != u"ZN2.Dw"_s + QString(u" Gm"_s).repeated(items));
    const QString item = QString::fromStdString(BuildItem(d.CurrentPersona().Items[1]));
    QVERIFY2(list->item(1)->text() != before && list->item(1)->text().contains(u": "_s + item), qPrintable(list->item(1)->text()));
    QVERIFY(list->item(2)->text().contains(u"a second gender item"_s));
  }

  // The window fits its screen whatever size was remembered, can be made as small as
  // 640 x 480, and its buttons are never cut.
  void fitsItsScreen_data() {
    QTest::addColumn<QSize>("remembered");
    QTest::addColumn<QSize>("resized");
    QTest::newRow("larger than the screen") << QSize(5000, 4000) << QSize();
    QTest::newRow("too small to use") << QSize(40, 30) << QSize();
    QTest::newRow("made 640 x 480") << QSize(700, 500) << QSize(640, 480);
  }
  void fitsItsScreen() {
    QFETCH(QSize, remembered);
    QFETCH(QSize, resized);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"settings.ini"_s);
    QSettings(file, QSettings::IniFormat).setValue(u"builder/size"_s, remembered);
    TBuilderDialog d;
    d.RememberSizeIn(std::make_unique<QSettings>(file, QSettings::IniFormat));
    d.Open(u"ZN2.Dw+Hd Gm/f L12m6t20w Cbl+^|re:gr,wgr>ye Bfl|/ic A(r++v-) Fc/v+"_s);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    const QRect room = d.screen()->availableGeometry();
    QVERIFY2(room.contains(d.frameGeometry()), qPrintable(u"%1x%2"_s.arg(d.width()).arg(d.height())));
    if (resized.isValid()) {
      d.resize(resized);
      QCOMPARE(d.size(), resized);
    }
    ButtonsWhole(d);
  }

  // "Make a code…" is as wide as its text in any font, and "?" stays beside it.
  void makeButtonFitsItsFont_data() {
    QTest::addColumn<qreal>("scale");
    QTest::newRow("the font as it is") << 1.0;
    QTest::newRow("half as large again") << 1.5;
    QTest::newRow("twice as large") << 2.0;
  }
  void makeButtonFitsItsFont() {
    QFETCH(qreal, scale);
    TMainScreen w;
    ReaderControls ui(w);
    QFont larger = w.font();
    larger.setPointSizeF(larger.pointSizeF() * scale);
    w.setFont(larger);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(ui.btnMake->width() >= ui.btnMake->sizeHint().width());
    QVERIFY(ui.btnMake->height() >= ui.btnMake->sizeHint().height());
    QVERIFY(ui.btnMake->geometry().right() < ui.btnAbout->geometry().left());
    QVERIFY(ui.pnButton->rect().contains(ui.btnAbout->geometry()));
  }
};

QTEST_MAIN(BuilderDialogTest)
#include "builder_dialog_test.moc"
