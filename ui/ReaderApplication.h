// The application object of the window. Memory can run out anywhere a long text is
// read or laid out; the event loop catches that, says so, and goes on, instead of
// ending the program with whatever the user had in the field.
#pragma once

#include <QApplication>

namespace zendric {

class TReaderApplication : public QApplication {
  Q_OBJECT

 public:
  TReaderApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

 signals:
  // After an event whose handling ran out of memory, once the loop is back.
  void OutOfMemory();

 private:
  void TellOutOfMemory();
};

}  // namespace zendric
