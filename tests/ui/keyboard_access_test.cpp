// The two windows from the keyboard alone and through a screen reader: the tab order,
// errors taken from the list by Enter or a double click, the About box by its key, the
// links by Enter and Space, and a name and a description on every control.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <memory>

#include "AboutDialogForm.h"
#include "ErrorMarks.h"
#include "Controls.h"
#include "MainScreenForm.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

QString AccessibleText(QWidget* widget, QAccessible::Text which) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face ? face->text(which) : u"(no interface)"_s;
}

QAccessible::Role RoleOf(QWidget* widget) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face ? face->role() : QAccessible::NoRole;
}

// The widgets that Tab visits from `start` until it comes back.
QList<QWidget*> TabCycle(QWidget* start) {
  QList<QWidget*> visited;
  start->setFocus(Qt::TabFocusReason);
  for (int turn = 0; turn < 12; ++turn) {
    QWidget* now = QApplication::focusWidget();
    if (!now || (turn > 0 && now == start)) break;
    visited << now;
    QTest::keyClick(now, Qt::Key_Tab);
  }
  return visited;
}

}  // namespace

class KeyboardAccessTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TMainScreen> w;
  std::unique_ptr<ReaderControls> ui;
  std::unique_ptr<AboutControls> aboutUi;
  TAboutDialog* about = nullptr;  // owned by the reader window
  QStringList opened;

  // Runs `inside` once the About box is up; `open` is what brings it up.
  void WithAboutOpen(const std::function<void()>& open, const std::function<void()>& inside) {
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
      QTRY_VERIFY(about->isVisible());
      about->activateWindow();
      QTRY_COMPARE(QApplication::activeWindow(), about);
      inside();
      ran = true;
      if (about->isVisible()) about->reject();
    });
    open();
    QVERIFY(ran);
  }

 private slots:
  void init() {
    w = std::make_unique<TMainScreen>();
    ui = std::make_unique<ReaderControls>(*w);
    about = new TAboutDialog(w.get());
    aboutUi = std::make_unique<AboutControls>(*about);
    w->SetAboutDialog(about);
    opened.clear();
    for (THyperLink* link : {aboutUi->HyperLink1, aboutUi->HyperLink2})
      link->SetOpener([this](const QString& url) {
        opened << url;
        return true;
      });
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
  }
  void cleanup() { w.reset(); }

  // Error list, result column, edit field, then the About button; a hidden list is skipped.
  void readerTabOrder_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("withErrors");
    QTest::newRow("with errors") << u"ZN2. W+ X"_s << true;
    QTest::newRow("without errors") << u"ZN2. W+"_s << false;
  }
  void readerTabOrder() {
    QFETCH(QString, code);
    QFETCH(bool, withErrors);
    ui->meZendric->setPlainText(code);
    QList<QWidget*> want = {ui->meZendric, ui->btnMake, ui->btnAbout};
    if (withErrors) want << ui->lbErrors;
    want << ui->sbCodeList;
    QCOMPARE(TabCycle(ui->meZendric), want);
  }

  // Every control shows the focus the same way: a frame in the highlight colour at its
  // edge (the error list at its current row), and no other control shows one then.
  void everyControlShowsTheFocusAlike_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("code field") << u"field"_s;
    QTest::newRow("About button") << u"about"_s;
    QTest::newRow("reading") << u"column"_s;
    QTest::newRow("a paragraph of the reading") << u"paragraph"_s;
    QTest::newRow("error list, current row") << u"list"_s;
  }
  void everyControlShowsTheFocusAlike() {
    QFETCH(QString, control);
    ui->meZendric->setPlainText(u"ZN2.Dw W+ X Y"_s);
    const QColor highlight = w->palette().color(QPalette::Active, QPalette::Highlight);
    const QList<QWidget*> framed = {ui->meZendric, ui->btnAbout, ui->sbCodeList};
    QWidget* focus = control == "field"    ? static_cast<QWidget*>(ui->meZendric)
                     : control == "about"  ? static_cast<QWidget*>(ui->btnAbout)
                     : control == "list"   ? static_cast<QWidget*>(ui->lbErrors)
                                           : static_cast<QWidget*>(ui->sbCodeList);
    focus->setFocus(Qt::TabFocusReason);
    if (control == "paragraph") {
      QTest::keyClick(ui->sbCodeList, Qt::Key_Return);
      QVERIFY(ui->Panel1->isAncestorOf(QApplication::focusWidget()));
    }
    if (control == "list") QTest::keyClick(ui->lbErrors, Qt::Key_Down);
    QApplication::processEvents();
    for (QWidget* target : framed) {
      auto* frame = target->findChild<QWidget*>(u"focusFrame"_s, Qt::FindDirectChildrenOnly);
      QVERIFY(frame);
      const bool shown = target == focus;
      QCOMPARE(frame->isVisible(), shown);
      if (!shown) continue;
      QCOMPARE(frame->geometry(), target->rect());
      const QImage image = target->grab().toImage();
      for (QPoint edge : {QPoint(0, image.height() / 2), QPoint(image.width() / 2, 1), QPoint(image.width() - 1, 3)})
        QCOMPARE(image.pixelColor(edge), highlight);
    }
    if (control == "list") {
      const QRect row = ui->lbErrors->RowRect(ui->lbErrors->currentRow());
      const QImage image = ui->lbErrors->viewport()->grab().toImage();
      QCOMPARE(image.pixelColor(row.left(), row.center().y()), highlight);
      QCOMPARE(image.pixelColor(row.left() + 40, row.top()), highlight);
      // Inside the frame the row is lit less, so that the frame shows on a selected row.
      QVERIFY(image.pixelColor(row.left() + 4, row.center().y()) != highlight);
      // The row that is not current has no frame.
      const QRect other = ui->lbErrors->RowRect(1 - ui->lbErrors->currentRow());
      QVERIFY(image.pixelColor(other.left(), other.center().y()) != highlight);
    }
  }

  // The result column shows a frame in the highlight colour while it has the focus.
  void columnShowsTheFocus() {
    ui->meZendric->setPlainText(u"ZN2. W+ H-"_s);
    auto* frame = ui->sbCodeList->findChild<QWidget*>(u"focusFrame"_s);
    QVERIFY(frame);
    const QColor highlight = w->palette().color(QPalette::Active, QPalette::Highlight);
    auto edge = [this] { return ui->sbCodeList->grab().toImage().pixelColor(0, ui->sbCodeList->height() / 2); };
    QVERIFY(frame->isHidden());
    QVERIFY(edge() != highlight);
    ui->btnAbout->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ui->btnAbout, Qt::Key_Tab);  // no errors: the list is hidden
    QVERIFY(ui->sbCodeList->hasFocus());
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->geometry(), ui->sbCodeList->rect());
    QCOMPARE(edge(), highlight);
    w->resize(400, 500);
    QApplication::processEvents();
    QCOMPARE(frame->geometry(), ui->sbCodeList->rect());
    QTest::keyClick(ui->sbCodeList, Qt::Key_Tab);
    QVERIFY(ui->meZendric->hasFocus());
    QVERIFY(frame->isHidden());
  }

  // Enter, the keypad's Enter and a double click on a selected error do what a click does.
  void errorsFromTheKeyboard_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Enter") << u"enter"_s;
    QTest::newRow("keypad Enter") << u"keypad"_s;
    QTest::newRow("double click") << u"double"_s;
  }
  void errorsFromTheKeyboard() {
    QFETCH(QString, how);
    ui->meZendric->setPlainText(u"ZN2. X\nW+ Wq"_s);  // errors at 6 and 11, the second after the break
    ui->meZendric->moveCursor(QTextCursor::Start);
    const int parses = w->ParseCount();
    ui->lbErrors->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ui->lbErrors, Qt::Key_Down);
    QTest::keyClick(ui->lbErrors, Qt::Key_Down);
    QCOMPARE(ui->lbErrors->currentRow(), 1);
    // Moving through the list alone leaves the caret where it was.
    QCOMPARE(ui->meZendric->textCursor().position(), 0);
    QVERIFY(ui->lbErrors->hasFocus());
    if (how == "enter") QTest::keyClick(ui->lbErrors, Qt::Key_Return);
    if (how == "keypad") QTest::keyClick(ui->lbErrors, Qt::Key_Enter, Qt::KeypadModifier);
    // A double click as it arrives: a click, then the second press as a double click.
    if (how == "double") QTest::mouseClick(ui->lbErrors->viewport(), Qt::LeftButton, {},
                                           ui->lbErrors->RowRect(1).center());
    if (how == "double")
      QTest::mouseDClick(ui->lbErrors->viewport(), Qt::LeftButton, {},
                         ui->lbErrors->RowRect(1).center());
    QCOMPARE(ui->meZendric->textCursor().position(), 12);
    QVERIFY(!ui->meZendric->textCursor().hasSelection());
    QTRY_VERIFY(ui->meZendric->hasFocus());
    QCOMPARE(w->ParseCount(), parses);
  }

  // The help key opens the About box from anywhere in the window; Escape closes it and
  // the focus comes back to where it was.
  void helpKeyOpensAboutAndEscapeClosesIt_data() {
    QTest::addColumn<QString>("from");
    QTest::newRow("edit field") << u"field"_s;
    QTest::newRow("result column") << u"column"_s;
  }
  void helpKeyOpensAboutAndEscapeClosesIt() {
    QFETCH(QString, from);
    QWidget* start = from == "field" ? static_cast<QWidget*>(ui->meZendric) : ui->sbCodeList;
    start->setFocus();
    QTRY_VERIFY(start->hasFocus());
    WithAboutOpen([&] { QTest::keyClick(start, Qt::Key_F1); },
                  [&] {
                    QVERIFY(aboutUi->OKButton->hasFocus());
                    QTest::keyClick(aboutUi->OKButton, Qt::Key_Escape);
                    QVERIFY(about->isHidden());
                  });
    QVERIFY(about->isHidden());
    // The window keeps its focus for when it is active again.
    QCOMPARE(w->focusWidget(), start);
    QVERIFY(ui->btnAbout->toolTip().contains(u"F1"_s));
  }

  // In the About box Tab goes Close, Read, then the two links; Enter or Space on a link
  // opens it and leaves the box open.
  void aboutBoxFromTheKeyboard() {
    WithAboutOpen([&] { ui->btnAbout->click(); },
                  [&] {
                    const QList<QWidget*> want = {aboutUi->OKButton, aboutUi->btnRead, aboutUi->HyperLink1,
                                                  aboutUi->HyperLink2};
                    QCOMPARE(TabCycle(aboutUi->OKButton), want);
                    aboutUi->HyperLink1->setFocus(Qt::TabFocusReason);
                    QTest::keyClick(aboutUi->HyperLink1, Qt::Key_Return);
                    aboutUi->HyperLink2->setFocus(Qt::TabFocusReason);
                    QTest::keyClick(aboutUi->HyperLink2, Qt::Key_Space);
                    QTest::keyClick(aboutUi->HyperLink2, Qt::Key_A);  // other keys open nothing
                    QCOMPARE(opened, (QStringList{aboutUi->HyperLink1->URL(), aboutUi->HyperLink2->URL()}));
                    QVERIFY(about->isVisible());
                    // Read by its access key (the button shows its press first), without leaving the box.
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
                    QTRY_COMPARE(ui->meZendric->toPlainText(),
                             QString::fromUtf8(SampleCode.data(), static_cast<qsizetype>(SampleCode.size())));
                    QVERIFY(about->isVisible());
                  });
    // The links keep their colours: the focus shows as a frame, not as a colour.
    QCOMPARE(aboutUi->HyperLink2->Colour(), QColor(0, 0, 255));
  }

  // Screen readers announce each control by name and role and can tell what it is for.
  void readerControlsHaveNamesAndDescriptions() {
    ui->meZendric->setPlainText(u"ZN2. Cgr^|bk,bye+ X"_s);
    struct Control {
      QWidget* widget;
      QString name;
      QAccessible::Role role;
    };
    const QList<Control> controls = {
        {w.get(), u"Zendric 2 reader"_s, QAccessible::NoRole},
        {ui->meZendric, u"Code"_s, QAccessible::EditableText},
        {ui->sbCodeList, u"Reading"_s, QAccessible::NoRole},
        {ui->lbErrors, u"Errors"_s, QAccessible::List},
        {ui->btnAbout, u"About"_s, QAccessible::Button},
        {ui->btnMake, u"Make a code"_s, QAccessible::Button},
        {ui->pnTop, u"Code and About"_s, QAccessible::NoRole},
        {ui->pnButton, u"About button"_s, QAccessible::NoRole},
        {ui->Panel1, u"Reading text"_s, QAccessible::NoRole},
        {w->ErrorMarks().Layer(), u"Error marks"_s, QAccessible::NoRole},
    };
    for (const Control& c : controls) {
      QCOMPARE(AccessibleText(c.widget, QAccessible::Name), c.name);
      QVERIFY2(AccessibleText(c.widget, QAccessible::Description).size() > 10, qPrintable(c.name));
      if (c.role != QAccessible::NoRole) QCOMPARE(RoleOf(c.widget), c.role);
    }
    // Every widget of the window is named, the result paragraphs by what they say.
    for (QWidget* widget : w->findChildren<QWidget*>()) {
      if (!widget->isVisibleTo(w.get()) || widget->focusPolicy() == Qt::NoFocus) continue;
      QVERIFY2(!AccessibleText(widget, QAccessible::Name).isEmpty(), widget->metaObject()->className());
    }
    for (QWidget* control : w->CodeListControls())
      if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(AccessibleText(label, QAccessible::Name), label->text());
  }

  void aboutControlsHaveNamesAndDescriptions() {
    const QList<QWidget*> controls = {about,          aboutUi->bvIcon,     aboutUi->imIcon,    aboutUi->Label1,
                                      aboutUi->Label4,  aboutUi->Label2,     aboutUi->HyperLink1, aboutUi->Label3,
                                      aboutUi->HyperLink2, aboutUi->Label5,  aboutUi->lbZendric, aboutUi->btnRead,
                                      aboutUi->meAbout, aboutUi->OKButton};
    for (QWidget* c : controls) {
      QVERIFY2(!AccessibleText(c, QAccessible::Name).isEmpty(), c->metaObject()->className());
      QVERIFY2(AccessibleText(c, QAccessible::Description).size() > 10, qPrintable(AccessibleText(c, QAccessible::Name)));
    }
    QCOMPARE(AccessibleText(aboutUi->btnRead, QAccessible::Name), u"Read"_s);
    QCOMPARE(AccessibleText(aboutUi->OKButton, QAccessible::Name), u"Close"_s);
    QCOMPARE(AccessibleText(aboutUi->Label1, QAccessible::Name), u"Zendric 2 reader"_s);
    // The links are links: named by their caption, valued by their address, and pressable.
    for (THyperLink* link : {aboutUi->HyperLink1, aboutUi->HyperLink2}) {
      QAccessibleInterface* face = QAccessible::queryAccessibleInterface(link);
      QVERIFY(face);
      QCOMPARE(face->role(), QAccessible::Link);
      QCOMPARE(face->text(QAccessible::Name), link->text());
      QCOMPARE(face->text(QAccessible::Value), link->URL());
      QAccessibleActionInterface* actions = face->actionInterface();
      QVERIFY(actions);
      QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
      actions->doAction(QAccessibleActionInterface::pressAction());
    }
    QCOMPARE(opened, (QStringList{aboutUi->HyperLink1->URL(), aboutUi->HyperLink2->URL()}));
  }
};

QTEST_MAIN(KeyboardAccessTest)
#include "keyboard_access_test.moc"
