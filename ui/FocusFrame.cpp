#include "FocusFrame.h"

#include <QApplication>
#include <QEvent>

namespace zendric {

void PaintFocusFrame(QPainter& painter, const QRect& area, const QPalette& palette) {
  painter.save();
  painter.setPen(palette.color(QPalette::Active, QPalette::Highlight));
  painter.setBrush(Qt::NoBrush);
  for (int i = 0; i < TFocusFrame::Width; ++i) painter.drawRect(area.adjusted(i, i, -1 - i, -1 - i));
  painter.restore();
}

TFocusFrame::TFocusFrame(QWidget* target) : QWidget(target), Target(target) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  setObjectName(QStringLiteral("focusFrame"));
  setAccessibleName(QStringLiteral("Focus frame"));
  setAccessibleDescription(QStringLiteral("Shows which control has the keyboard focus"));
  setGeometry(Target->rect());
  Target->installEventFilter(this);
  hide();
  // The focus may be on the control or on something inside it (a paragraph of the reading).
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    setVisible(now && (now == Target || Target->isAncestorOf(now)));
    if (isVisible()) raise();  // over the children the control made since
  });
}

bool TFocusFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Target) {
    if (event->type() == QEvent::Resize) setGeometry(Target->rect());
  }
  return QWidget::eventFilter(watched, event);
}

void TFocusFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintFocusFrame(painter, rect(), palette());
}

}  // namespace zendric
