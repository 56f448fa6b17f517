#include "ui/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace zenfaro {

BusyCursor::BusyCursor(bool busy) : set_(busy) {
  if (set_) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor() {
  if (set_) QGuiApplication::restoreOverrideCursor();
}

IdleCursor::IdleCursor() : set_(QGuiApplication::overrideCursor() != nullptr) {
  if (set_) QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
}

IdleCursor::~IdleCursor() {
  if (set_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace zenfaro
