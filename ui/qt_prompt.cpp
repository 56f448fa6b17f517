#include "ui/qt_prompt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <filesystem>

#include "ui/busy_cursor.h"
#include "ui/details_question.h"

namespace zenfaro {
namespace {

QMessageBox::Icon box_icon(Icon icon) {
  switch (icon) {
    case Icon::question: return QMessageBox::Question;
    case Icon::warning: return QMessageBox::Warning;
    case Icon::error: return QMessageBox::Critical;
    case Icon::none: break;
  }
  return QMessageBox::NoIcon;
}

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

// Puts the process's working folder back when it goes out of scope.
class KeepWorkingFolder {
 public:
  KeepWorkingFolder() : folder_(std::filesystem::current_path(error_)) {}
  ~KeepWorkingFolder() {
    if (error_) return;
    std::error_code ignored;
    if (std::filesystem::current_path(ignored) != folder_) std::filesystem::current_path(folder_, ignored);
  }
  KeepWorkingFolder(const KeepWorkingFolder&) = delete;
  KeepWorkingFolder& operator=(const KeepWorkingFolder&) = delete;

 private:
  std::error_code error_;
  std::filesystem::path folder_;
};

}  // namespace

std::unique_ptr<QMessageBox> question_box(const Question& question) {
  auto box = std::make_unique<QMessageBox>(box_icon(question.icon), text(question.caption), text(question.text),
                                           QMessageBox::Yes | QMessageBox::No);
  box->setDefaultButton(question.default_yes ? QMessageBox::Yes : QMessageBox::No);
  return box;
}

std::unique_ptr<QMessageBox> choice_box(const Question& question) {
  auto box = std::make_unique<QMessageBox>(box_icon(question.icon), text(question.caption), text(question.text),
                                           QMessageBox::NoButton);
  for (std::size_t i = 0; i < question.answers.size(); ++i) {
    const bool last = i + 1 == question.answers.size();
    QPushButton* button =
        box->addButton(text(question.answers[i]), last ? QMessageBox::RejectRole : QMessageBox::ActionRole);
    button->setProperty("answer", static_cast<int>(i));
    if (last) {
      box->setDefaultButton(button);
      box->setEscapeButton(button);
    }
  }
  if (!question.details.empty()) box->setDetailedText(text(question.details));
  return box;
}

std::unique_ptr<QMessageBox> message_box(const Message& message) {
  auto box =
      std::make_unique<QMessageBox>(box_icon(message.icon), text(message.caption), text(message.text), QMessageBox::Ok);
  box->setDefaultButton(QMessageBox::Ok);
  return box;
}

std::unique_ptr<QFileDialog> file_dialog(const FileRequest& request, QWidget* owner) {
  const QString filter = text(request.filter_name) + QStringLiteral(" (") + text(request.pattern) + QStringLiteral(")");
  auto dialog = std::make_unique<QFileDialog>(owner, text(request.title), QDir::currentPath(), filter);
  const bool save = request.kind == FileDialogKind::save;
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setDefaultSuffix(text(request.default_extension));
  dialog->setOption(QFileDialog::DontConfirmOverwrite, !(save && request.confirm_overwrite));
  dialog->selectFile(text(request.pattern));
  return dialog;
}

bool QtPrompt::ask(const Question& question) {
  const IdleCursor idle;
  if (!question.details.empty()) return DetailsQuestion(question).exec() == QDialog::Accepted;
  return question_box(question)->exec() == QMessageBox::Yes;
}

std::size_t QtPrompt::choose(const Question& question) {
  const IdleCursor idle;
  const std::unique_ptr<QMessageBox> box = choice_box(question);
  box->exec();
  const QAbstractButton* clicked = box->clickedButton();
  const QVariant answer = clicked != nullptr ? clicked->property("answer") : QVariant();
  return answer.isValid() ? static_cast<std::size_t>(answer.toInt()) : question.answers.size() - 1;
}

void QtPrompt::tell(const Message& message) {
  const IdleCursor idle;
  message_box(message)->exec();
}

std::optional<std::string> QtPrompt::choose_file(const FileRequest& request) {
  const IdleCursor idle;
  const KeepWorkingFolder keep;
  // The window the request comes from: the editor window, which runs modally.
  QWidget* owner = QApplication::activeModalWidget();
  if (owner == nullptr) owner = QApplication::activeWindow();
  const std::unique_ptr<QFileDialog> dialog = file_dialog(request, owner);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(chosen.front()).toStdString();
}

}  // namespace zenfaro
