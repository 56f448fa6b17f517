#pragma once
// The record navigator: a pair of arrows beside the record-number box. It
// takes no keyboard focus; the Up and Down keys step it while its buddy box
// has the focus. It only reports steps: where a step leads (within 1 to N+1,
// wrapping) is the editing model's business, and the window writes the
// result into the box.
#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;

namespace zenfaro {

class RecordNavigator final : public QWidget {
 public:
  explicit RecordNavigator(QWidget* parent);

  // Called with +1 (up arrow, Up key) or -1 (down arrow, Down key).
  std::function<void(int)> on_step;

  // Places the navigator at the left edge of `buddy`, as tall as the box,
  // narrows the box by the navigator's width and steps on its arrow keys.
  void attach(QLineEdit* buddy);

  QToolButton* up_button() const { return up_; }
  QToolButton* down_button() const { return down_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void step(int direction);
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace zenfaro
