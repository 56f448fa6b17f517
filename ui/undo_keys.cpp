#include "ui/undo_keys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace zenfaro {
namespace {

const QKeyCombination kUndo = Qt::CTRL | Qt::Key_Z;
const QKeyCombination kRedo[] = {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z};

// A line edit claims its undo keys before the window's shortcuts see them
// (ShortcutOverride); an empty item box leaves them to the window.
class EmptyBoxPassesUndo final : public QObject {
 public:
  explicit EmptyBoxPassesUndo(QLineEdit* box) : QObject(box), box_(box) { box->installEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != box_ || event->type() != QEvent::ShortcutOverride || !box_->text().isEmpty()) return false;
    const QKeyCombination keys = static_cast<QKeyEvent*>(event)->keyCombination();
    if (keys != kUndo && keys != kRedo[0] && keys != kRedo[1]) return false;
    event->ignore();  // not the box's: the window's shortcut runs
    return true;
  }

 private:
  QLineEdit* box_;
};

}  // namespace

void add_undo_keys(QWidget* window, QLineEdit* item_box, std::function<void()> undo, std::function<void()> redo) {
  new QShortcut(QKeySequence(kUndo), window, std::move(undo));
  for (const QKeyCombination keys : kRedo) new QShortcut(QKeySequence(keys), window, redo);
  new EmptyBoxPassesUndo(item_box);
}

}  // namespace zenfaro
