#include "ui/details_question.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace zenfaro {
namespace {

QStyle::StandardPixmap icon_pixmap(Icon icon) {
  switch (icon) {
    case Icon::question: return QStyle::SP_MessageBoxQuestion;
    case Icon::warning: return QStyle::SP_MessageBoxWarning;
    case Icon::error: return QStyle::SP_MessageBoxCritical;
    case Icon::none: break;
  }
  return QStyle::SP_CustomBase;
}

// The view opens this many lines high and characters wide.
constexpr int kShownLines = 20;
constexpr int kShownColumns = 80;

}  // namespace

DetailsQuestion::DetailsQuestion(const Question& question)
    : QDialog(nullptr),
      details_(new QPlainTextEdit(this)),
      details_button_(new QPushButton(QStringLiteral("Show Details..."), this)),
      yes_(new QPushButton(QStringLiteral("&Yes"), this)),
      no_(new QPushButton(QStringLiteral("&No"), this)) {
  setWindowTitle(QString::fromStdString(question.caption));
  setSizeGripEnabled(true);
  auto* layout = new QGridLayout(this);
  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  if (question.icon != Icon::none) {
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(icon_pixmap(question.icon), nullptr, this).pixmap(size, size));
  }
  auto* text = new QLabel(QString::fromStdString(question.text), this);
  text->setObjectName(QStringLiteral("text"));
  text->setWordWrap(true);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(details_button_, QDialogButtonBox::ActionRole);
  buttons->addButton(yes_, QDialogButtonBox::YesRole);
  buttons->addButton(no_, QDialogButtonBox::NoRole);
  (question.default_yes ? yes_ : no_)->setDefault(true);
  details_->setObjectName(QStringLiteral("details"));
  details_->setReadOnly(true);
  details_->setLineWrapMode(QPlainTextEdit::NoWrap);
  details_->setPlainText(QString::fromStdString(question.details));
  details_->hide();
  layout->addWidget(icon, 0, 0, Qt::AlignTop);
  layout->addWidget(text, 0, 1);
  layout->addWidget(buttons, 1, 0, 1, 2);
  layout->addWidget(details_, 2, 0, 1, 2);
  layout->setRowStretch(2, 1);
  layout->setColumnStretch(1, 1);
  connect(details_button_, &QPushButton::clicked, this, [this] { toggle_details(); });
  connect(yes_, &QPushButton::clicked, this, &QDialog::accept);
  connect(no_, &QPushButton::clicked, this, &QDialog::reject);
}

void DetailsQuestion::toggle_details() {
  const bool show = !details_->isVisible();
  details_->setVisible(show);
  details_button_->setText(show ? QStringLiteral("Hide Details...") : QStringLiteral("Show Details..."));
  if (show) {
    const QFontMetrics metrics(details_->font());
    resize(std::max(width(), metrics.averageCharWidth() * kShownColumns),
           height() + metrics.lineSpacing() * kShownLines);
  } else {
    adjustSize();
  }
}

}  // namespace zenfaro
