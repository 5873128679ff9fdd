// A text label that behaves like a link: underlined, a pointing hand over it, blue at
// rest, red under the pointer, maroon while held down; a click opens its URL, and so
// do Enter and Space while it has the keyboard focus.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>
#include <functional>

namespace zendric {

class THyperLink : public QLabel {
  Q_OBJECT
  Q_PROPERTY(QString URL READ URL WRITE SetURL)

 public:
  // What a click does with the URL: true when the address went to a program that opens
  // it. Tests put their own in place of the desktop.
  using UrlOpener = std::function<bool(const QString&)>;

  static constexpr QColor RestColour{0, 0, 255};
  static constexpr QColor HoverColour{255, 0, 0};
  static constexpr QColor PressedColour{128, 0, 0};

  explicit THyperLink(QWidget* parent = nullptr);

  const QString& URL() const { return url_; }
  void SetURL(const QString& url) { url_ = url; }
  bool Pressed() const { return pressed_; }
  QColor Colour() const;
  void SetOpener(UrlOpener opener) { opener_ = std::move(opener); }
  // What a click does: hands the URL to the opener. When it cannot be opened, a small
  // message says so and shows the address, which goes to the clipboard.
  void Open();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void SetColour(const QColor& colour);
  // Strictly inside: the left column and the top row do not count, nor the far edges.
  bool StrictlyInside(QPointF point) const;

  QString url_;
  bool pressed_ = false;
  UrlOpener opener_;
};

}  // namespace zendric
