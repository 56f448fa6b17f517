#pragma once
// The window's prompt: questions and messages as message boxes with no owner
// window (a question with details as a DetailsQuestion, whose details can be
// read at any length), file requests as the toolkit's open and save dialogs
// owned by the window they come from. Each shows the ordinary cursor while
// a command's busy cursor is up.
#include <QString>
#include <memory>

#include "core/prompt.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace zenfaro {

class QtPrompt final : public Prompt {
 public:
  // Yes and No; the default button and the icon as the question says.
  bool ask(const Question& question) override;
  // One button per answer, the last (the cancel) the default and Esc's.
  std::size_t choose(const Question& question) override;
  // One OK button.
  void tell(const Message& message) override;
  // The chosen file as a full UTF-8 path. The dialog is owned by the active
  // modal window (the editor window) or else the active window. The
  // process's working folder is the same afterwards as before, whatever the
  // dialog did with it.
  std::optional<std::string> choose_file(const FileRequest& request) override;
};

// The boxes and the dialog as shown, for tests to look at without running them.
// A question with details is shown as a DetailsQuestion instead.
std::unique_ptr<QMessageBox> question_box(const Question& question);
std::unique_ptr<QMessageBox> choice_box(const Question& question);
std::unique_ptr<QMessageBox> message_box(const Message& message);
// Opens on the working folder with `request`'s pattern in the name box; the
// filter is "NAME (PATTERN)". A typed name without an extension gets the
// default one; the save dialog asks before replacing a file. Neither dialog
// demands that the file exist.
std::unique_ptr<QFileDialog> file_dialog(const FileRequest& request, QWidget* owner = nullptr);

}  // namespace zenfaro
