#include "ui/record_navigator.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace zenfaro {
namespace {

QToolButton* make_arrow(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoRepeat(true);
  button->setAutoRaise(false);
  button->setIconSize(QSize(6, 6));
  return button;
}

}  // namespace

RecordNavigator::RecordNavigator(QWidget* parent)
    : QWidget(parent), up_(make_arrow(Qt::UpArrow, this)), down_(make_arrow(Qt::DownArrow, this)) {
  setFocusPolicy(Qt::NoFocus);
  QObject::connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
  QObject::connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void RecordNavigator::attach(QLineEdit* buddy) {
  const QRect box = buddy->geometry();
  setGeometry(box.x(), box.y(), width(), box.height());
  buddy->setGeometry(box.x() + width(), box.y(), box.width() - width(), box.height());
  buddy->installEventFilter(this);
}

void RecordNavigator::resizeEvent(QResizeEvent*) {
  const int upper = height() / 2;
  up_->setGeometry(0, 0, width(), upper);
  down_->setGeometry(0, upper, width(), height() - upper);
}

bool RecordNavigator::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      step(key == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void RecordNavigator::step(int direction) {
  if (on_step) on_step(direction);
}

}  // namespace zenfaro
