#include "ui/find_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/dialog_frame.h"

namespace zenfaro {

FindDialog::FindDialog(QWidget* owner, int icon_resource, std::function<void(FindDirection)> find) : QDialog(owner) {
  const DialogUnits du = set_up_frame(*this, 200, 66, icon_resource);
  setWindowTitle(QStringLiteral("Find"));
  setModal(false);

  // Created in tab order; each label's mnemonic leads to the control after it.
  auto* text_label = new QLabel(QStringLiteral("Fin&d what:"), this);
  text_label->setGeometry(du.rect(4, 6, 40, 8));
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("findText"));
  text_->setGeometry(du.rect(46, 4, 96, 12));
  text_label->setBuddy(text_);
  auto* list_label = new QLabel(QStringLiteral("&Look in:"), this);
  list_label->setGeometry(du.rect(4, 23, 40, 8));
  list_ = new QComboBox(this);
  list_->setObjectName(QStringLiteral("findList"));
  list_->setGeometry(du.rect(46, 20, 96, 14));
  list_->addItems({QStringLiteral("All lists"), QStringLiteral("Triggers"), QStringLiteral("Exclusion triggers"),
                   QStringLiteral("Commentary lines")});
  list_label->setBuddy(list_);
  match_case_ = new QCheckBox(QStringLiteral("Match &case"), this);
  match_case_->setObjectName(QStringLiteral("findMatchCase"));
  match_case_->setGeometry(du.rect(46, 39, 96, 10));
  next_ = new QPushButton(QStringLiteral("Find &Next"), this);
  next_->setObjectName(QStringLiteral("findNext"));
  next_->setGeometry(du.rect(148, 4, 48, 14));
  next_->setDefault(true);
  previous_ = new QPushButton(QStringLiteral("Find &Previous"), this);
  previous_->setObjectName(QStringLiteral("findPrevious"));
  previous_->setGeometry(du.rect(148, 21, 48, 14));
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("findClose"));
  close->setGeometry(du.rect(148, 38, 48, 14));
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("findNote"));
  note_->setGeometry(du.rect(4, 55, 192, 8));

  auto enable = [this] {
    next_->setEnabled(!text_->text().isEmpty());
    previous_->setEnabled(!text_->text().isEmpty());
  };
  enable();
  connect(text_, &QLineEdit::textChanged, this, enable);
  connect(next_, &QPushButton::clicked, this, [find] { find(FindDirection::next); });
  connect(previous_, &QPushButton::clicked, this, [find] { find(FindDirection::previous); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void FindDialog::present() {
  show();
  raise();
  activateWindow();
  text_->setFocus(Qt::ShortcutFocusReason);
  text_->selectAll();
}

QString FindDialog::text() const { return text_->text(); }

std::optional<ListKind> FindDialog::list() const {
  if (list_->currentIndex() <= 0) return std::nullopt;
  return static_cast<ListKind>(list_->currentIndex() - 1);
}

bool FindDialog::match_case() const { return match_case_->isChecked(); }

void FindDialog::set_note(const QString& note) { note_->setText(note); }

}  // namespace zenfaro
