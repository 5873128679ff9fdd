// The two windows from the keyboard alone and through a screen reader: the tab order,
// errors taken from the list by Enter or a double click, the About box by its key, the
// links by Enter and Space, and a name and a description on every control.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <memory>

#include "AboutDialogForm.h"
#include "ErrorMarks.h"
#include "MainScreenForm.h"

using namespace zendric;
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
    about = new TAboutDialog(w.get());
    w->SetAboutDialog(about);
    opened.clear();
    for (THyperLink* link : {about->HyperLink1, about->HyperLink2})
      link->SetOpener([this](const QString& url) { opened << url; });
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
    w->meZendric->setPlainText(code);
    QList<QWidget*> want = {w->meZendric, w->btnAbout};
    if (withErrors) want << w->lbErrors;
    want << w->sbCodeList;
    QCOMPARE(TabCycle(w->meZendric), want);
  }

  // The result column shows a frame in the highlight colour while it has the focus.
  void columnShowsTheFocus() {
    w->meZendric->setPlainText(u"ZN2. W+ H-"_s);
    auto* frame = w->sbCodeList->findChild<QWidget*>(u"focusFrame"_s);
    QVERIFY(frame);
    const QColor highlight = w->palette().color(QPalette::Active, QPalette::Highlight);
    auto edge = [this] { return w->sbCodeList->grab().toImage().pixelColor(0, w->sbCodeList->height() / 2); };
    QVERIFY(frame->isHidden());
    QVERIFY(edge() != highlight);
    w->btnAbout->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w->btnAbout, Qt::Key_Tab);  // no errors: the list is hidden
    QVERIFY(w->sbCodeList->hasFocus());
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->geometry(), w->sbCodeList->rect());
    QCOMPARE(edge(), highlight);
    w->resize(400, 500);
    QApplication::processEvents();
    QCOMPARE(frame->geometry(), w->sbCodeList->rect());
    QTest::keyClick(w->sbCodeList, Qt::Key_Tab);
    QVERIFY(w->meZendric->hasFocus());
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
    w->meZendric->setPlainText(u"ZN2. X\nW+ Wq"_s);  // errors at 6 and 11, the second after the break
    w->meZendric->moveCursor(QTextCursor::Start);
    const int parses = w->ParseCount();
    w->lbErrors->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w->lbErrors, Qt::Key_Down);
    QTest::keyClick(w->lbErrors, Qt::Key_Down);
    QCOMPARE(w->lbErrors->currentRow(), 1);
    // Moving through the list alone leaves the caret where it was.
    QCOMPARE(w->meZendric->textCursor().position(), 0);
    QVERIFY(w->lbErrors->hasFocus());
    if (how == "enter") QTest::keyClick(w->lbErrors, Qt::Key_Return);
    if (how == "keypad") QTest::keyClick(w->lbErrors, Qt::Key_Enter, Qt::KeypadModifier);
    // A double click as it arrives: a click, then the second press as a double click.
    if (how == "double") QTest::mouseClick(w->lbErrors->viewport(), Qt::LeftButton, {},
                                           w->lbErrors->RowRect(1).center());
    if (how == "double")
      QTest::mouseDClick(w->lbErrors->viewport(), Qt::LeftButton, {},
                         w->lbErrors->RowRect(1).center());
    QCOMPARE(w->meZendric->textCursor().position(), 12);
    QVERIFY(!w->meZendric->textCursor().hasSelection());
    QTRY_VERIFY(w->meZendric->hasFocus());
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
    QWidget* start = from == "field" ? static_cast<QWidget*>(w->meZendric) : w->sbCodeList;
    start->setFocus();
    QTRY_VERIFY(start->hasFocus());
    WithAboutOpen([&] { QTest::keyClick(start, Qt::Key_F1); },
                  [&] {
                    QVERIFY(about->OKButton->hasFocus());
                    QTest::keyClick(about->OKButton, Qt::Key_Escape);
                    QVERIFY(about->isHidden());
                  });
    QVERIFY(about->isHidden());
    // The window keeps its focus for when it is active again.
    QCOMPARE(w->focusWidget(), start);
    QVERIFY(w->btnAbout->toolTip().contains(u"F1"_s));
  }

  // In the About box Tab goes Close, Read, then the two links; Enter or Space on a link
  // opens it and leaves the box open.
  void aboutBoxFromTheKeyboard() {
    WithAboutOpen([&] { w->btnAbout->click(); },
                  [&] {
                    const QList<QWidget*> want = {about->OKButton, about->btnRead, about->HyperLink1,
                                                  about->HyperLink2};
                    QCOMPARE(TabCycle(about->OKButton), want);
                    about->HyperLink1->setFocus(Qt::TabFocusReason);
                    QTest::keyClick(about->HyperLink1, Qt::Key_Return);
                    about->HyperLink2->setFocus(Qt::TabFocusReason);
                    QTest::keyClick(about->HyperLink2, Qt::Key_Space);
                    QTest::keyClick(about->HyperLink2, Qt::Key_A);  // other keys open nothing
                    QCOMPARE(opened, (QStringList{about->HyperLink1->URL(), about->HyperLink2->URL()}));
                    QVERIFY(about->isVisible());
                    // Read by its access key (the button shows its press first), without leaving the box.
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
                    QTRY_COMPARE(w->meZendric->toPlainText(),
                             QString::fromUtf8(SampleCode.data(), static_cast<qsizetype>(SampleCode.size())));
                    QVERIFY(about->isVisible());
                  });
    // The links keep their colours: the focus shows as a frame, not as a colour.
    QCOMPARE(about->HyperLink2->Colour(), QColor(0, 0, 255));
  }

  // Screen readers announce each control by name and role and can tell what it is for.
  void readerControlsHaveNamesAndDescriptions() {
    w->meZendric->setPlainText(u"ZN2. Cgr^|bk,bye+ X"_s);
    struct Control {
      QWidget* widget;
      QString name;
      QAccessible::Role role;
    };
    const QList<Control> controls = {
        {w.get(), u"Zendric 2 reader"_s, QAccessible::NoRole},
        {w->meZendric, u"Code"_s, QAccessible::EditableText},
        {w->sbCodeList, u"Reading"_s, QAccessible::NoRole},
        {w->lbErrors, u"Errors"_s, QAccessible::List},
        {w->btnAbout, u"About"_s, QAccessible::Button},
        {w->pnTop, u"Code and About"_s, QAccessible::NoRole},
        {w->pnButton, u"About button"_s, QAccessible::NoRole},
        {w->Panel1, u"Reading text"_s, QAccessible::NoRole},
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
    const QList<QWidget*> controls = {about,          about->bvIcon,     about->imIcon,    about->Label1,
                                      about->Label4,  about->Label2,     about->HyperLink1, about->Label3,
                                      about->HyperLink2, about->Label5,  about->lbZendric, about->btnRead,
                                      about->meAbout, about->OKButton};
    for (QWidget* c : controls) {
      QVERIFY2(!AccessibleText(c, QAccessible::Name).isEmpty(), c->metaObject()->className());
      QVERIFY2(AccessibleText(c, QAccessible::Description).size() > 10, qPrintable(AccessibleText(c, QAccessible::Name)));
    }
    QCOMPARE(AccessibleText(about->btnRead, QAccessible::Name), u"Read"_s);
    QCOMPARE(AccessibleText(about->OKButton, QAccessible::Name), u"Close"_s);
    QCOMPARE(AccessibleText(about->Label1, QAccessible::Name), u"Zendric 2 reader"_s);
    // The links are links: named by their caption, valued by their address, and pressable.
    for (THyperLink* link : {about->HyperLink1, about->HyperLink2}) {
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
    QCOMPARE(opened, (QStringList{about->HyperLink1->URL(), about->HyperLink2->URL()}));
  }
};

QTEST_MAIN(KeyboardAccessTest)
#include "keyboard_access_test.moc"
