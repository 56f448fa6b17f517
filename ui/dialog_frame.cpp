#include "ui/dialog_frame.h"

#include <QDialog>
#include <QKeyEvent>

#include "ui/icons.h"

namespace zenfaro {
namespace {

class EscapeFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      event->accept();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

PushButton::PushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setAutoDefault(false);
  setDefault(false);
}

void PushButton::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    click();
    event->accept();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void ignore_escape(QDialog& dialog) { dialog.installEventFilter(new EscapeFilter(&dialog)); }

DialogUnits set_up_dialog(QDialog& dialog, int width_units, int height_units, int icon_resource, const QFont* font) {
  const DialogUnits units = set_up_frame(dialog, width_units, height_units, icon_resource, font);
  ignore_escape(dialog);
  return units;
}

DialogUnits set_up_frame(QDialog& dialog, int width_units, int height_units, int icon_resource, const QFont* font) {
  const QWidget* owner = dialog.parentWidget();
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setFont(font != nullptr ? *font : owner != nullptr ? owner->font() : dialog_font());
  const DialogUnits units = dialog_units(dialog.font());
  dialog.setFixedSize(units.x(width_units), units.y(height_units));
  dialog.setWindowIcon(program_icon(icon_resource));
  dialog.setProperty("iconResource", icon_resource);
  return units;
}

}  // namespace zenfaro
