#include "ReaderApplication.h"

#include <QMessageBox>
#include <QMetaObject>
#include <new>

#include "ProcessMemory.h"

namespace zendric {

TReaderApplication::TReaderApplication(int& argc, char** argv) : QApplication(argc, argv) {
  connect(this, &TReaderApplication::OutOfMemory, this, &TReaderApplication::TellOutOfMemory, Qt::QueuedConnection);
}

bool TReaderApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    // What the failed step had taken is freed by now; the message waits for the loop,
    // where there is memory for it again.
    GiveBackFreedMemory();
    emit OutOfMemory();
    return false;
  }
}

void TReaderApplication::TellOutOfMemory() {
  QWidget* over = activeWindow();
  auto* box = new QMessageBox(QMessageBox::Warning, applicationName(),
                              QStringLiteral("There was not enough memory to finish that. The reader goes on "
                                             "without it."),
                              QMessageBox::Ok, over);
  box->setObjectName(QStringLiteral("mbOutOfMemory"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace zendric
