#pragma once
// The window's undo keys: Ctrl+Z undoes the last list command on the record
// on screen, Ctrl+Y and Ctrl+Shift+Z redo it. In the item box the keys stay
// the box's own (its typing is undone) while the box holds text; in an
// empty box, as after "Add To", they undo and redo the list commands.
#include <functional>

class QLineEdit;
class QWidget;

namespace zenfaro {

void add_undo_keys(QWidget* window, QLineEdit* item_box, std::function<void()> undo, std::function<void()> redo);

}  // namespace zenfaro
