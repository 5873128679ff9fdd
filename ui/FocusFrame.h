// One look for the keyboard focus on every control: a frame in the highlight colour.
// Styles draw focus in many ways or not at all (a scroll box shows nothing, a flat
// button a faint line), so the window draws its own.
#pragma once

#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace zendric {

// Draws the frame just inside `area`.
void PaintFocusFrame(QPainter& painter, const QRect& area, const QPalette& palette);

// A frame over `target` while the keyboard focus is on it or inside it. It lies over the control's
// edge, follows its size and lets the mouse through.
class TFocusFrame : public QWidget {
 public:
  static constexpr int Width = 2;

  explicit TFocusFrame(QWidget* target);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* Target;
};

}  // namespace zendric
