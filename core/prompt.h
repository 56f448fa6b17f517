#pragma once
// The seam for questions to the user and messages: the window answers with
// message boxes and file dialogs, the command-line tool on the terminal, and
// tests with scripted answers. Texts are UTF-8.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zenfaro {

// The caption of a message box that is given none.
inline constexpr const char* kDefaultCaption = "Pelmar 7 Ostrin Commentary Engine";

enum class Icon { none, question, warning, error };

struct Question {
  std::string text;
  std::string caption;
  Icon icon = Icon::none;
  bool default_yes = false;  // Yes or No is the default button
  // More about what the answer will do, shown on request (the window's
  // message box offers it as its detailed text; the terminal prints it
  // before the question). Empty when there is nothing more to say.
  std::string details;
  // The answers of a question that has more than Yes and No (Prompt::choose):
  // the buttons' captions in order, with their mnemonics ("&Replace"). The
  // last one is the cancel: the default, and what closing the box means.
  std::vector<std::string> answers = {};
};

struct Message {
  std::string text;
  std::string caption = kDefaultCaption;
  Icon icon = Icon::none;
};

enum class FileDialogKind { open, save };

struct FileRequest {
  FileDialogKind kind = FileDialogKind::open;
  std::string title;
  std::string filter_name;        // "Cross References"
  std::string pattern;            // "*.CMX"
  std::string default_extension;  // "CMX"
  bool confirm_overwrite = false;
};

class Prompt {
 public:
  virtual ~Prompt() = default;
  // True only when the user answered Yes.
  virtual bool ask(const Question& question) = 0;
  // A question with the answers in `question.answers`: the number (from 0)
  // of the answer given. A prompt that cannot offer them all asks Yes or No,
  // Yes giving the first answer and No the last.
  virtual std::size_t choose(const Question& question) {
    return ask(question) || question.answers.empty() ? 0 : question.answers.size() - 1;
  }
  virtual void tell(const Message& message) = 0;
  // The chosen file's full path, or nothing when the user cancelled.
  virtual std::optional<std::string> choose_file(const FileRequest& request) = 0;
};

}  // namespace zenfaro
