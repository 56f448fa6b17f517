#include "ui/guarded_application.h"

#include <QMessageBox>
#include <exception>
#include <new>

#include "core/prompt.h"

namespace zenfaro {

void report_stopped_command(const char* what) {
  const QString text =
      what == nullptr ? QStringLiteral("There is not enough memory for this command. The database was not changed.")
                      : QStringLiteral("The command could not be finished: %1. The database was not changed.")
                            .arg(QString::fromLocal8Bit(what));
  QMessageBox::critical(nullptr, QString::fromLatin1(kDefaultCaption), text);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    report_stopped_command(nullptr);
  } catch (const std::exception& e) {
    report_stopped_command(e.what());
  }
  return false;
}

}  // namespace zenfaro
