#pragma once
// What the program's two dialogs (the main window and Modify Entry) share:
// a fixed-size frame with a caption and a close box, the dialog font, and
// the keyboard rules. No push button is a default button and none is a
// cancel button: Escape does nothing, and Enter presses a push button only
// while that button has the focus.
#include <QPushButton>

#include "ui/dialog_units.h"

class QDialog;

namespace zenfaro {

// A push button that is never the default button and that Enter presses
// while it has the focus (as Space does).
class PushButton final : public QPushButton {
 public:
  PushButton(const QString& text, QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// Gives `dialog` the frame, the dialog font, a client area of the given
// size in dialog units and the large icon `icon_resource` (1 or 2, kept in
// the property "iconResource"), and makes Escape do nothing. Returns the
// units. The dialog font is its owner's (which may have been made smaller to
// fit the screen), or dialog_font() for a dialog without owner unless
// `font` is given.
DialogUnits set_up_dialog(QDialog& dialog, int width_units, int height_units, int icon_resource,
                          const QFont* font = nullptr);

// The same frame, font, size and icon, for a dialog that Escape may close.
DialogUnits set_up_frame(QDialog& dialog, int width_units, int height_units, int icon_resource,
                         const QFont* font = nullptr);

// Makes Escape do nothing in `dialog` (it would otherwise close it).
void ignore_escape(QDialog& dialog);

}  // namespace zenfaro
