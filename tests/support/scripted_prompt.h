#pragma once
// A Prompt for tests: answers questions from a script and records every
// question and message.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/prompt.h"

namespace zenfaro::testing {

class ScriptedPrompt final : public Prompt {
 public:
  std::deque<bool> answers;                     // next answers; No when empty
  std::deque<std::optional<std::string>> files; // next chosen files; cancel when empty
  std::vector<Question> questions;
  std::vector<Message> messages;
  std::vector<FileRequest> file_requests;

  bool ask(const Question& question) override {
    questions.push_back(question);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void tell(const Message& message) override { messages.push_back(message); }
  std::optional<std::string> choose_file(const FileRequest& request) override {
    file_requests.push_back(request);
    if (files.empty()) return std::nullopt;
    std::optional<std::string> file = files.front();
    files.pop_front();
    return file;
  }

  int errors() const {
    int n = 0;
    for (const Message& m : messages) n += m.icon == Icon::error ? 1 : 0;
    return n;
  }
};

}  // namespace zenfaro::testing
