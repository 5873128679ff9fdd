// The builder window driven through its widgets: it opens with the field's code and
// keeps it, its choices change the live code and reading, and "Use this code" puts the
// code into the reader's field as one undoable edit.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QToolButton>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "BuilderDialog.h"
#include "Controls.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

class BuilderDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // Any code comes back unchanged, items the builder cannot write included.
  void opensAndKeepsTheCode_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("kept");
    QTest::newRow("realistic") << u"ZN2.Dw+Hd Gm L12m Cbl|re,wgr Tc+[runes]"_s << 5 << 0;
    QTest::newRow("errors") << u"ZN2.Dw  Gx Ad W+"_s << 5 << 3;
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
      QVERIFY2(!reading.contains(u"position "_s), qPrintable(d.Code() + u"\n"_s + reading));
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
};

QTEST_MAIN(BuilderDialogTest)
#include "builder_dialog_test.moc"
