// The window's fixes through its real controls: the row's button and context menu,
// the wave's context menu, Ctrl+. at the caret, one undo per fix; the positions of the
// rows; the boundary above the list, dragged and remembered.
#include <QApplication>
#include <QMenu>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "Controls.h"
#include "ErrorMarks.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

const QString Faulty = u"ZN2.Dw Gm L12q Cbl|zz"_s;

class FixMenuTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;

  // Runs `open` and, once its menu is up, notes the entries and picks entry `pick`
  // (from 0) with the arrow keys and Enter, as a person would.
  QStringList PickFromMenu(const std::function<void()>& open, int pick) {
    QStringList offered;
    QTimer::singleShot(0, this, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* action : menu->actions())
        if (!action->isSeparator()) offered << action->text();
      for (int k = 0; k <= pick; ++k) QTest::keyClick(menu, Qt::Key_Down);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    open();
    return offered;
  }

  // The code as pasted, the caret put behind it with the End key.
  void TypeCode(const QString& code) {
    ui->meZendric->setFocus();
    ui->meZendric->setPlainText(code);
    QTest::keyClick(ui->meZendric, Qt::Key_End, Qt::ControlModifier);
  }

 private slots:
  void init() {
    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
  }
  void cleanup() { w.reset(); }

  void rowsShowTheirPositions() {
    ui->meZendric->setPlainText(Faulty);
    const QAbstractItemModel* rows = ui->lbErrors->model();
    QCOMPARE(rows->rowCount(), 2);
    QCOMPARE(rows->index(0, 0).data(PositionTextRole).toString(), u"position 14"_s);
    QCOMPARE(rows->index(1, 0).data(PositionTextRole).toString(), u"position 22"_s);
    QCOMPARE(rows->index(1, 0).data(Qt::AccessibleTextRole).toString(),
             u"position 22: Error: Invalid colour code (zz)"_s);
    // the tooltip says what the item expects, from the catalogue
    const QString tip = rows->index(1, 0).data(Qt::ToolTipRole).toString();
    QVERIFY2(tip.startsWith(u"Cbl|zz\nColour (C): ag (silver)"_s), qPrintable(tip));
  }

  // Ctrl+. at the caret opens the fixes of the error there; the fix is one edit that
  // Ctrl+Z takes back.
  void ctrlPeriodFixesAndUndoTakesItBack_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("pick");
    QTest::addColumn<QString>("fixed");
    QTest::addColumn<QString>("label");
    QTest::newRow("colour code") << u"ZN2.Dw Cbl|zz"_s << 0 << u"ZN2.Dw Cbl|bz"_s << u"Replace zz with bz (bronze)"_s;
    QTest::newRow("second fix") << u"ZN2.Dw Cbl|zz"_s << 1 << u"ZN2.Dw Cbl|ag"_s << u"Replace zz with ag (silver)"_s;
    QTest::newRow("missing mark") << u"ZN2.Dw A(r+v-"_s << 0 << u"ZN2.Dw A(r+v-)"_s
                                  << u"Insert ) to close the age group"_s;
    QTest::newRow("prefix") << u"zn2.Dw"_s << 0 << u"ZN2.Dw"_s << u"Write ZN2. in capitals"_s;
  }
  void ctrlPeriodFixesAndUndoTakesItBack() {
    QFETCH(QString, code);
    QFETCH(int, pick);
    QFETCH(QString, fixed);
    QFETCH(QString, label);
    TypeCode(code);
    QCOMPARE(ui->meZendric->toPlainText(), code);
    const QStringList offered =
        PickFromMenu([&] { QTest::keyClick(ui->meZendric, Qt::Key_Period, Qt::ControlModifier); }, pick);
    QVERIFY(offered.size() > pick);
    QCOMPARE(offered.at(pick), label);
    QCOMPARE(ui->meZendric->toPlainText(), fixed);
    QCOMPARE(w->Reading().MessageCount(), 0u);
    QTest::keyClick(ui->meZendric, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(ui->meZendric->toPlainText(), code);
    QTest::keyClick(ui->meZendric, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(ui->meZendric->toPlainText(), fixed);
  }

  void rowButtonAndRowMenuOfferTheFixes() {
    TypeCode(Faulty);
    QToolButton* button = w->findChild<QToolButton*>(u"btnFixes"_s);
    QVERIFY(button);
    ui->lbErrors->setCurrentRow(1);
    QVERIFY(button->isVisible());
    QCOMPARE(button->geometry().center().y(), ui->lbErrors->RowRect(1).center().y());
    QStringList offered = PickFromMenu([&] { QTest::mouseClick(button, Qt::LeftButton); }, 0);
    QCOMPARE(offered.value(0), u"Replace zz with bz (bronze)"_s);
    QCOMPARE(ui->meZendric->toPlainText(), u"ZN2.Dw Gm L12q Cbl|bz"_s);

    // the row's own context menu: the unit of the length
    const QPoint at = ui->lbErrors->RowRect(0).center();
    offered = PickFromMenu(
        [&] {
          QContextMenuEvent click(QContextMenuEvent::Mouse, at, ui->lbErrors->viewport()->mapToGlobal(at));
          QApplication::sendEvent(ui->lbErrors->viewport(), &click);
        },
        0);
    QCOMPARE(offered.value(0), u"Replace q with m (metres)"_s);
    QCOMPARE(ui->meZendric->toPlainText(), u"ZN2.Dw Gm L12m Cbl|bz"_s);
    QVERIFY(ui->lbErrors->isHidden());
    QVERIFY(button->isHidden());
  }

  // Over a wave the field's own menu starts with the fixes; elsewhere it is its own.
  void waveMenuStartsWithTheFixes() {
    TypeCode(u"ZN2.Dw X Gm"_s);
    const auto& marks = w->ErrorMarks();
    QCOMPARE(marks.Marks().size(), 1u);
    const QPoint at = marks.MarkRect(marks.Marks().front()).center();
    const QStringList offered = PickFromMenu(
        [&] {
          QContextMenuEvent click(QContextMenuEvent::Mouse, at, ui->meZendric->viewport()->mapToGlobal(at));
          QApplication::sendEvent(ui->meZendric->viewport(), &click);
        },
        0);
    QCOMPARE(offered.value(0), u"Remove the stray X"_s);
    QVERIFY(offered.size() > 2);  // the field's own entries follow
    QCOMPARE(ui->meZendric->toPlainText(), u"ZN2.Dw  Gm"_s);
  }

  void boundaryAboveTheErrorsIsDraggedAndRemembered() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"reader.conf"_s);
    w->RememberLayoutIn(std::make_unique<QSettings>(file, QSettings::IniFormat));
    w->resize(700, 600);
    TypeCode(u"ZN2.Dw"_s + QString(u" X"_s).repeated(20));
    auto* split = w->findChild<QSplitter*>(u"spErrors"_s);
    QVERIFY(split);
    QWidget* handle = split->handle(1);
    const int before = ui->lbErrors->height();
    const int row = ui->lbErrors->RowHeight();
    QTest::mousePress(handle, Qt::LeftButton, {}, handle->rect().center());
    QTest::mouseMove(handle, handle->rect().center() - QPoint(0, 5 * row));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->rect().center() - QPoint(0, 5 * row));
    QApplication::processEvents();
    const int dragged = ui->lbErrors->height();
    QVERIFY2(dragged >= before + 4 * row, qPrintable(u"%1 -> %2"_s.arg(before).arg(dragged)));
    QCOMPARE(ui->lbErrors->viewport()->height() % row, 0);  // whole rows still
    w->close();

    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    w->RememberLayoutIn(std::make_unique<QSettings>(file, QSettings::IniFormat));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    ui->meZendric->setPlainText(u"ZN2.Dw"_s + QString(u" X"_s).repeated(20));
    QApplication::processEvents();
    QCOMPARE(ui->lbErrors->height(), dragged);
  }
};

}  // namespace

QTEST_MAIN(FixMenuTest)
#include "fix_menu_test.moc"
