#pragma once
// The Modify Entry dialog: one edit box holding the entry's text, "&Cancel"
// and "&OK". It opens over the main window at (26, 24) dialog units from the
// window's client area and is modal. "&OK" hands the text to `accept_text`;
// when that refuses it (after telling the user why), the dialog stays open
// with the text as typed. "&Cancel" and the close box end it unchanged.
// An edit that would make the text longer than an entry can be is refused
// and told through `prompt` (see ui/entry_box.h).
#include <QDialog>
#include <functional>

#include "core/prompt.h"

class QLineEdit;

namespace zenfaro {

class ModifyEntryDialog final : public QDialog {
 public:
  ModifyEntryDialog(QWidget* owner, const QString& text, int icon_resource, Prompt& prompt,
                    std::function<bool(const QString&)> accept_text);

  QLineEdit* edit_box() const { return edit_; }
  QPushButton* cancel_button() const { return cancel_; }
  QPushButton* ok_button() const { return ok_; }

 private:
  QLineEdit* edit_;
  QPushButton* cancel_;
  QPushButton* ok_;
};

}  // namespace zenfaro
