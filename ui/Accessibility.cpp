#include "Accessibility.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>
#include <QShortcut>

#include "AboutDialogForm.h"
#include "MainScreenForm.h"

namespace zendric {
namespace {

void Describe(QWidget* control, const QString& name, const QString& description) {
  if (!name.isEmpty()) control->setAccessibleName(name);
  control->setAccessibleDescription(description);
}

QString KeyText(QKeySequence::StandardKey key) {
  return QKeySequence(key).toString(QKeySequence::NativeText);
}

// A link label is announced as a link, by its caption, and can be pressed.
class THyperLinkAccessible : public QAccessibleWidget {
 public:
  explicit THyperLinkAccessible(THyperLink* link) : QAccessibleWidget(link, QAccessible::Link) {}

  QString text(QAccessible::Text t) const override {
    const auto* link = static_cast<const THyperLink*>(widget());
    if (t == QAccessible::Name && link->accessibleName().isEmpty()) return link->text();
    if (t == QAccessible::Value) return link->URL();
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& action) override {
    if (action == pressAction()) static_cast<THyperLink*>(widget())->Open();
  }
};

QAccessibleInterface* HyperLinkAccessible(const QString& className, QObject* object) {
  if (className == QLatin1String(THyperLink::staticMetaObject.className()))
    if (auto* link = qobject_cast<THyperLink*>(object)) return new THyperLinkAccessible(link);
  return nullptr;
}

// A frame in the highlight colour around a scroll area while it has the keyboard focus:
// the result column shows nothing of its own then, and Tab seems to vanish into it.
// It lies over the area's edge and lets the mouse through.
class TFocusFrame : public QWidget {
 public:
  static constexpr int Width = 2;

  explicit TFocusFrame(QAbstractScrollArea* area) : QWidget(area), area_(area) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("focusFrame"));
    setAccessibleName(QStringLiteral("Focus frame"));
    setAccessibleDescription(QStringLiteral("Shows that the reading has the keyboard focus"));
    area_->installEventFilter(this);
    hide();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == area_) {
      switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
          setVisible(area_->hasFocus());
          break;
        case QEvent::Resize:
          setGeometry(area_->rect());
          break;
        default:
          break;
      }
      if (isVisible()) raise();
    }
    return QWidget::eventFilter(watched, event);
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QColor colour = palette().color(QPalette::Active, QPalette::Highlight);
    for (int i = 0; i < Width; ++i) {
      painter.setPen(colour);
      painter.drawRect(rect().adjusted(i, i, -1 - i, -1 - i));
    }
  }

 private:
  QAbstractScrollArea* area_;
};

}  // namespace

void MakeReaderAccessible(TMainScreen& w) {
  const QString copyKeys = KeyText(QKeySequence::Copy);
  Describe(&w, QStringLiteral("Zendric 2 reader"),
           QStringLiteral("Reads a Zendric 2 code and says in plain English what each of its items describes"));
  Describe(w.pnTop, QStringLiteral("Code and About"), QStringLiteral("The code to read and the About button"));
  Describe(w.meZendric, QStringLiteral("Code"),
           QStringLiteral("The Zendric 2 code to read: type or paste it here. Errors are underlined in red"));
  Describe(w.pnButton, QStringLiteral("About button"), QStringLiteral("Holds the About button"));
  Describe(w.sbCodeList, QStringLiteral("Reading"),
           QStringLiteral("What each item of the code says, one paragraph per item. %1 copies it all").arg(copyKeys));
  Describe(w.Panel1, QStringLiteral("Reading text"), QStringLiteral("The paragraphs of the reading"));
  new TFocusFrame(w.sbCodeList);
  Describe(w.lbErrors, QStringLiteral("Errors"),
           QStringLiteral("The errors found in the code. Enter puts the caret at the selected error"));

  // The key that asks for help opens the box that explains the program.
  const QKeySequence help = KeyText(QKeySequence::HelpContents).isEmpty() ? QKeySequence(Qt::Key_F1)
                                                                           : QKeySequence(QKeySequence::HelpContents);
  auto* openAbout = new QShortcut(help, &w);
  QObject::connect(openAbout, &QShortcut::activated, w.btnAbout, &QToolButton::click);
  const QString helpKey = help.toString(QKeySequence::NativeText);
  w.btnAbout->setToolTip(QStringLiteral("About (%1)").arg(helpKey));
  Describe(w.btnAbout, QStringLiteral("About"),
           QStringLiteral("Shows the program's name and version and a sample code (%1)").arg(helpKey));
}

void MakeAboutAccessible(TAboutDialog& d) {
  static const bool factoryInstalled = (QAccessible::installFactory(&HyperLinkAccessible), true);
  (void)factoryInstalled;

  Describe(&d, QStringLiteral("About"), QStringLiteral("About the Zendric 2 reader"));
  Describe(d.bvIcon, QStringLiteral("Emblem frame"), QStringLiteral("The frame around the emblem"));
  Describe(d.imIcon, QStringLiteral("Emblem"),
           QStringLiteral("A dark-red winged dragon above a white plate marked ZN2"));
  // Labels are announced by their own text: only what they are for is added.
  Describe(d.Label1, {}, QStringLiteral("The program's name"));
  Describe(d.Label4, {}, QStringLiteral("The program's version"));
  Describe(d.Label2, {}, QStringLiteral("Who wrote the program"));
  Describe(d.HyperLink1, {}, QStringLiteral("Link: writes a mail to the author"));
  Describe(d.Label3, {}, QStringLiteral("Licence and year"));
  Describe(d.HyperLink2, {}, QStringLiteral("Link: opens the home page of the Zendric 2 code"));
  Describe(d.Label5, {}, QStringLiteral("Introduces the sample code below"));
  Describe(d.lbZendric, {}, QStringLiteral("The author's own Zendric 2 code, which Read loads into the reader window"));
  Describe(d.btnRead, {}, QStringLiteral("Loads the sample code into the reader window"));
  Describe(d.meAbout, QStringLiteral("About this program"), QStringLiteral("What the program does"));
  Describe(d.OKButton, {}, QStringLiteral("Closes this box (Enter or Escape)"));

  // The links come after the two buttons.
  QWidget::setTabOrder(d.btnRead, d.HyperLink1);
  QWidget::setTabOrder(d.HyperLink1, d.HyperLink2);
}

}  // namespace zendric
