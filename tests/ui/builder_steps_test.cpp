// The builder window's steps through the real keys: every kind of step undone to the
// start and redone to the end, a typed field as one step, Enter in every kind of field,
// and Escape, Cancel and the close button asking before changes are thrown away.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "BuilderControls.h"

using namespace zendric;
using namespace zendric::testing;
using namespace Qt::StringLiterals;

namespace {

void Select(TBuilderDialog& d, int row) {
  auto* list = Named<QListWidget>(&d, "lbItems");
  list->setFocus();
  list->setCurrentRow(row);
}

// Answers the discard question once it shows, with a button's text or a key; tells
// what the question said.
struct Answer {
  QString Text;
  QStringList Buttons;
  QString Default;
  bool Asked = false;
};
void AnswerWhenAsked(QObject* owner, const QString& how, Answer& answer) {
  auto* timer = new QTimer(owner);
  QObject::connect(timer, &QTimer::timeout, owner, [timer, how, &answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || box->objectName() != u"mbDiscard"_s) return;
    timer->stop();
    timer->deleteLater();
    answer.Asked = true;
    answer.Text = box->text();
    for (QAbstractButton* b : box->buttons()) answer.Buttons << b->text();
    answer.Default = box->defaultButton() != nullptr ? box->defaultButton()->text() : QString();
    if (how == u"Escape"_s) return QTest::keyClick(box, Qt::Key_Escape);
    if (how == u"Return"_s) return QTest::keyClick(box, Qt::Key_Return);
    for (QAbstractButton* b : box->buttons())
      if (b->text() == how) return b->click();
  });
  timer->start(5);
}

}  // namespace

class BuilderStepsTest : public QObject {
  Q_OBJECT

 private slots:
  // Each kind of step through the keys and buttons a user has; then every step undone
  // to the start and redone to the end, the code checked at each.
  void everyKindOfStepUndoneAndRedone() {
    TBuilderDialog d;
    QVERIFY(ShowActive(d));
    d.Open(u"ZN2.Dw W+ L12m"_s);
    QApplication::clipboard()->setText(u"Hello!\n\nMy code: ZN2.Mft Gf B-\n"_s);
    QString removed;  // the row Remove took away
    const struct {
      const char* what;
      std::function<void()> take;
    } steps[] = {
        {"choice", [&] {
           Select(d, 1);
           auto* width = Field(d, u"Width"_s);
           width->setFocus();
           QTest::keyClick(width, Qt::Key_Down);
         }},
        {"typed text, ended by Tab", [&] {
           Select(d, 2);
           auto* number = Field(d, u"Number"_s);
           number->setFocus();
           QTest::keyClick(number, Qt::Key_A, Qt::ControlModifier);
           QTest::keyClicks(number, u"30"_s);
           QTest::keyClick(number, Qt::Key_Tab);
         }},
        {"Add", [&] {
           auto* tags = Named<QComboBox>(&d, "cbAddTag");
           tags->setCurrentIndex(tags->findText(u"Gender (G)"_s));
           QTest::mouseClick(Named<QPushButton>(&d, "btnAdd"), Qt::LeftButton);
         }},
        {"Move", [&] { QTest::mouseClick(Named<QPushButton>(&d, "btnUp"), Qt::LeftButton); }},
        {"Remove", [&] {
           Select(d, 1);
           removed = Named<QListWidget>(&d, "lbItems")->currentItem()->text();
           QTest::mouseClick(Named<QPushButton>(&d, "btnRemove"), Qt::LeftButton);
         }},
        {"Random", [&] { QTest::mouseClick(Named<QPushButton>(&d, "btnRandom"), Qt::LeftButton); }},
        {"opening a pasted post", [&] {
           auto* list = Named<QListWidget>(&d, "lbItems");
           list->setFocus();
           QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
         }},
    };
    QStringList codes{d.Code()};
    for (const auto& step : steps) {
      step.take();
      QVERIFY2(d.Code() != codes.back(), step.what);
      codes << d.Code();
    }
    QVERIFY2(codes[1].endsWith(u" L12m"_s) && codes[2].endsWith(u" L30m"_s), qPrintable(codes[2]));
    QCOMPARE(codes.back(), u"ZN2.Mft Gf B-"_s);

    auto* list = Named<QListWidget>(&d, "lbItems");
    auto* undo = Named<QPushButton>(&d, "btnUndo");
    auto* redo = Named<QPushButton>(&d, "btnRedo");
    auto* shown = Named<QLineEdit>(&d, "edCode");
    QVERIFY(undo->isEnabled() && !redo->isEnabled());
    for (qsizetype k = codes.size() - 1; k > 0; --k) {
      if (k % 2 == 0) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
      } else {
        QTest::mouseClick(undo, Qt::LeftButton);
      }
      QCOMPARE(d.Code(), codes[k - 1]);
      QCOMPARE(shown->text(), codes[k - 1]);
      // The item Remove took away comes back selected.
      if (k == 5) QCOMPARE(list->currentItem()->text(), removed);
    }
    QVERIFY(!undo->isEnabled() && redo->isEnabled());
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.Code(), codes[0]);

    const QKeyCombination redoKeys[] = {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y};
    for (qsizetype k = 1; k < codes.size(); ++k) {
      if (k % 3 == 0) {
        QTest::mouseClick(redo, Qt::LeftButton);
      } else {
        list->setFocus();
        QTest::keyClick(list, redoKeys[k % 3 - 1].key(), redoKeys[k % 3 - 1].keyboardModifiers());
      }
      QCOMPARE(d.Code(), codes[k]);
    }
    QVERIFY(undo->isEnabled() && !redo->isEnabled());
  }

  // Undo with the keyboard in a field being typed into ends the typing and takes back
  // all of it, not a letter; redo gives it back whole.
  void undoInsideATypedField_data() {
    QTest::addColumn<QKeyCombination>("redoKey");
    QTest::newRow("Ctrl+Shift+Z") << (Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    QTest::newRow("Ctrl+Y") << (Qt::CTRL | Qt::Key_Y);
  }
  void undoInsideATypedField() {
    QFETCH(QKeyCombination, redoKey);
    TBuilderDialog d;
    QVERIFY(ShowActive(d));
    d.Open(u"ZN2.Dw L12m"_s);
    Select(d, 1);
    auto* number = qobject_cast<QLineEdit*>(Field(d, u"Number"_s));
    QVERIFY(number != nullptr);
    number->setFocus();
    QTest::keyClick(number, Qt::Key_End);
    QTest::keyClicks(number, u"45"_s);
    QCOMPARE(d.Code(), u"ZN2.Dw L1245m"_s);
    QTest::keyClick(number, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.Code(), u"ZN2.Dw L12m"_s);
    // The builder's undo, not the line edit's own: the builder can redo it.
    QVERIFY(Named<QPushButton>(&d, "btnRedo")->isEnabled());
    QVERIFY(!Named<QPushButton>(&d, "btnUndo")->isEnabled());
    number = qobject_cast<QLineEdit*>(Field(d, u"Number"_s));
    QCOMPARE(number->text(), u"12"_s);
    number->setFocus();
    QTest::keyClick(number, redoKey.key(), redoKey.keyboardModifiers());
    QCOMPARE(d.Code(), u"ZN2.Dw L1245m"_s);
    QCOMPARE(qobject_cast<QLineEdit*>(Field(d, u"Number"_s))->text(), u"1245"_s);
  }

  // Enter in any kind of field never closes the builder; in a search it picks the
  // first match.
  void enterInEveryKindOfField_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");  // the code after Enter
    QTest::newRow("species search") << u"ZN2.Dw"_s << 0 << u"Species/Species/search"_s << u"hydra"_s << QString();
    QTest::newRow("choice list") << u"ZN2.Dw W+"_s << 1 << u"Width"_s << QString() << u"ZN2.Dw W+"_s;
    QTest::newRow("number") << u"ZN2.Dw L12m"_s << 1 << u"Number"_s << u"0"_s << u"ZN2.Dw L120m"_s;
    QTest::newRow("own text") << u"ZN2.Dw G\"storm\""_s << 1 << u"My own description"_s << u"s"_s << u"ZN2.Dw G\"storms\""_s;
    QTest::newRow("kept as written") << u"ZN2.Dw L12q"_s << 1 << u"As written"_s << QString() << u"ZN2.Dw L12q"_s;
    QTest::newRow("button of the page") << u"ZN2.Dw Gm"_s << 1 << u"Add a gender"_s << QString() << u"ZN2.Dw Gm"_s;
    QTest::newRow("item list") << u"ZN2.Dw Gm"_s << 1 << u"lbItems"_s << QString() << u"ZN2.Dw Gm"_s;
    QTest::newRow("code") << u"ZN2.Dw Gm"_s << 1 << u"edCode"_s << QString() << u"ZN2.Dw Gm"_s;
  }
  void enterInEveryKindOfField() {
    QFETCH(QString, code);
    QFETCH(int, row);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    TBuilderDialog d;
    QVERIFY(ShowActive(d));
    d.Open(code);
    Select(d, row);
    QWidget* control = Field(d, field);
    QVERIFY2(control != nullptr, qPrintable(field));
    control->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(control)) line->end(false);
    QTest::keyClicks(control, typed);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
      QTest::keyClick(QApplication::focusWidget(), key);
      QVERIFY(d.isVisible());
    }
    if (field.contains(u"search"_s)) QVERIFY2(d.Code() != code, qPrintable(d.Code()));
    else QCOMPARE(d.Code(), after);
  }

  // Escape, Cancel and the close button close at once without changes; with changes
  // they ask, and only Discard closes. Random is a change; a change undone is none.
  void closingAsksWhenChanged_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("Escape, nothing changed") << u"Escape"_s << u"none"_s << QString() << false << true;
    QTest::newRow("Cancel, nothing changed") << u"Cancel"_s << u"none"_s << QString() << false << true;
    QTest::newRow("close, nothing changed") << u"close"_s << u"none"_s << QString() << false << true;
    QTest::newRow("Escape, change undone") << u"Escape"_s << u"undone"_s << QString() << false << true;
    QTest::newRow("Escape, Discard") << u"Escape"_s << u"choice"_s << u"Discard"_s << true << true;
    QTest::newRow("Escape, Keep editing") << u"Escape"_s << u"choice"_s << u"Keep editing"_s << true << false;
    QTest::newRow("Cancel, Escape in the question") << u"Cancel"_s << u"choice"_s << u"Escape"_s << true << false;
    QTest::newRow("Cancel after Random, Discard") << u"Cancel"_s << u"random"_s << u"Discard"_s << true << true;
    QTest::newRow("close, Return in the question") << u"close"_s << u"random"_s << u"Return"_s << true << false;
    QTest::newRow("close, Discard") << u"close"_s << u"choice"_s << u"Discard"_s << true << true;
  }
  void closingAsksWhenChanged() {
    QFETCH(QString, how);
    QFETCH(QString, change);
    QFETCH(QString, answer);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    TBuilderDialog d;
    QVERIFY(ShowActive(d));
    d.Open(u"ZN2.Dw W+"_s);
    auto* list = Named<QListWidget>(&d, "lbItems");
    if (change != u"none"_s && change != u"random"_s) {
      Select(d, 1);
      QWidget* width = Field(d, u"Width"_s);
      width->setFocus();
      QTest::keyClick(width, Qt::Key_Down);
      QVERIFY(d.Code() != u"ZN2.Dw W+"_s);
    }
    if (change == u"random"_s) QTest::mouseClick(Named<QPushButton>(&d, "btnRandom"), Qt::LeftButton);
    if (change == u"undone"_s) QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    const QString built = d.Code();

    Answer said;
    QObject asking;  // its watch ends with the test
    AnswerWhenAsked(&asking, answer, said);
    if (how == u"Escape"_s) {
      list->setFocus();
      QTest::keyClick(list, Qt::Key_Escape);
    } else if (how == u"Cancel"_s) {
      QTest::mouseClick(Named<QPushButton>(&d, "btnCancel"), Qt::LeftButton);
    } else {
      d.close();
    }
    QCOMPARE(said.Asked, asked);
    if (asked) {
      QCOMPARE(said.Text, u"Discard the changes?"_s);
      said.Buttons.sort();
      QCOMPARE(said.Buttons, QStringList({u"Discard"_s, u"Keep editing"_s}));
      QCOMPARE(said.Default, u"Keep editing"_s);
    }
    QCOMPARE(d.isVisible(), !closed);
    if (closed) QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(d.Code(), built);  // keeping on editing keeps every choice
  }
};

QTEST_MAIN(BuilderStepsTest)
#include "builder_steps_test.moc"
