#include "HyperLink.h"

#include <QAccessibleWidget>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "FmxUtils.h"

namespace zendric {
namespace {

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

}  // namespace

THyperLink::THyperLink(QWidget* parent)
    : QLabel(parent), opener_(&ShellOpen) {
  static const bool factoryInstalled = (QAccessible::installFactory(&HyperLinkAccessible), true);
  (void)factoryInstalled;
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);  // reached by Tab; a click opens it without taking the focus
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  SetColour(RestColour);
}

QColor THyperLink::Colour() const { return palette().color(QPalette::WindowText); }

void THyperLink::SetColour(const QColor& colour) {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, colour);
  setPalette(p);
}

bool THyperLink::StrictlyInside(QPointF point) const {
  return point.x() > 0 && point.x() < width() && point.y() > 0 && point.y() < height();
}

void THyperLink::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  SetColour(pressed_ ? PressedColour : HoverColour);
}

void THyperLink::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  SetColour(RestColour);
}

void THyperLink::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  SetColour(PressedColour);
}

// The label holds the mouse while the button is down, and Qt sends no enter or leave
// then; moves tell when the pointer goes out and comes back.
void THyperLink::mouseMoveEvent(QMouseEvent* event) {
  QLabel::mouseMoveEvent(event);
  if (pressed_) SetColour(StrictlyInside(event->position()) ? PressedColour : RestColour);
}

void THyperLink::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  SetColour(RestColour);
  if (StrictlyInside(event->position())) Open();
}

void THyperLink::Open() {
  if (!opener_ || opener_(url_)) return;
  QGuiApplication::clipboard()->setText(url_);
  QMessageBox message(QMessageBox::Information, QStringLiteral("Link not opened"),
                      QStringLiteral("No program on this desktop opened this address; it is on the clipboard now:\n\n") + url_,
                      QMessageBox::Ok, window());
  message.setObjectName(QStringLiteral("linkNotOpened"));
  message.setTextFormat(Qt::PlainText);
  message.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  message.exec();
}

void THyperLink::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        Open();
        return;
      }
      break;
    default:
      break;
  }
  QLabel::keyPressEvent(event);
}

// A label draws no focus of its own: the usual dotted frame shows where Tab has got to.
void THyperLink::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QStylePainter painter(this);
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  focus.backgroundColor = palette().color(QPalette::Window);
  painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
}

}  // namespace zendric
