#include "ui/modify_entry_dialog.h"

#include <QLineEdit>

#include "ui/dialog_frame.h"
#include "ui/entry_box.h"

namespace zenfaro {

ModifyEntryDialog::ModifyEntryDialog(QWidget* owner, const QString& text, int icon_resource, Prompt& prompt,
                                     std::function<bool(const QString&)> accept_text)
    : QDialog(owner) {
  const DialogUnits du = set_up_dialog(*this, 300, 36, icon_resource);
  setWindowTitle(QStringLiteral("Modify Entry"));
  setModal(true);

  // Created in tab order: the edit box, "&Cancel", "&OK", each carrying its
  // fixed identifier (101, 102, 103) as the main window's controls do.
  edit_ = new QLineEdit(this);
  edit_->setProperty("controlId", 101);
  edit_->setObjectName(QStringLiteral("entry"));
  edit_->setGeometry(du.rect(0, 3, 300, 12));
  edit_->setText(text);
  refuse_overlong_edits(edit_, prompt);
  cancel_ = new PushButton(QStringLiteral("&Cancel"), this);
  cancel_->setObjectName(QStringLiteral("cancel"));
  cancel_->setProperty("controlId", 102);
  cancel_->setGeometry(du.rect(218, 19, 40, 14));
  ok_ = new PushButton(QStringLiteral("&OK"), this);
  ok_->setObjectName(QStringLiteral("ok"));
  ok_->setProperty("controlId", 103);
  ok_->setGeometry(du.rect(259, 19, 40, 14));

  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(ok_, &QPushButton::clicked, this, [this, accept_text = std::move(accept_text)] {
    if (accept_text(edit_->text())) accept();
  });
  if (owner != nullptr) move(owner->mapToGlobal(du.point(26, 24)));
  edit_->setFocus();
}

}  // namespace zenfaro
