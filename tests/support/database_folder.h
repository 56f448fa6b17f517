#pragma once
// What the tests share: a fresh folder, whole files as bytes, records in their stored form, scripted answers
// to the user's questions, and a database folder in either layout, opened through a FaultyEnv, with what the
// next start finds there after a change that failed or was cut short.
#include <algorithm>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/database.h"
#include "core/prompt.h"
#include "tests/support/faulty_env.h"

namespace zenfaro::testing {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }
  fs::path operator/(std::string_view name) const { return path_ / fs::path(name); }

 private:
  fs::path path_;
};

std::string read_bytes(const fs::path& path);
void write_bytes(const fs::path& path, std::string_view bytes);  // creates the folders
inline bool is_file(const fs::path& path) { return fs::is_regular_file(path); }
inline std::string count(long long value) { return " " + std::to_string(value) + " \r\n"; }
inline std::string line(std::string_view text) { return std::string(text) + "\r\n"; }
std::string index_bytes(std::initializer_list<std::int32_t> offsets);  // 4 bytes each, little-endian

Record make_record(EntryList triggers, EntryList exclusions, EntryList lines);
std::string stored(const Record& record);  // as commdb.dat and exchange files hold it
std::string stored(const std::vector<Record>& records);
std::string index_of(const std::vector<Record>& records);
std::string exchange_header(long long records);  // the five header lines and the count
std::string exchange_of(const std::vector<Record>& records);

// Answers questions from a script (No when it runs out) and keeps every question, message and file request.
class ScriptedPrompt final : public Prompt {
 public:
  std::deque<bool> answers;
  std::deque<std::optional<std::string>> files;  // the chosen files; a cancel when empty
  std::vector<Question> questions;
  std::vector<Message> messages;
  std::vector<FileRequest> file_requests;

  bool ask(const Question& question) override {
    questions.push_back(question);
    return next(answers, false);
  }
  void tell(const Message& message) override { messages.push_back(message); }
  std::optional<std::string> choose_file(const FileRequest& request) override {
    file_requests.push_back(request);
    return next(files, std::optional<std::string>());
  }
  int errors() const {
    return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                          [](const Message& m) { return m.icon == Icon::error; }));
  }

 private:
  template <typename T>
  static T next(std::deque<T>& script, T otherwise) {
    if (script.empty()) return otherwise;
    T answer = script.front();
    script.pop_front();
    return answer;
  }
};

class DatabaseFolder {
 public:
  explicit DatabaseFolder(bool host = false);

  const Layout& layout() const { return db.layout; }
  fs::path work(std::string_view name) const { return layout().work_file(name); }      // working folder
  fs::path base(std::string_view name) const { return layout().database_file(name); }  // database folder
  std::string data() const { return read_bytes(layout().data_file()); }
  std::string index() const { return read_bytes(layout().index_file()); }

  // Empties the folder, writes the database (canonical, with a matching index, or the two files as given)
  // and opens it through `env`.
  void store(const std::vector<Record>& records) { store_files(stored(records), index_of(records)); }
  void store_files(const std::string& data_bytes, const std::string& index_bytes);
  void reopen() { open_database(env, layout(), &db).ignore_error(); }
  std::vector<Record> records() const;  // read back through a fresh opening

  enum class Outcome { old_database, new_database, broken };
  // What the next start finds: the database of the last store(), byte for byte, or `expected` with an index
  // that matches, or anything else (or a journal still there).
  Outcome outcome(const std::vector<Record>& expected) const;

  TempFolder temp;
  FaultyEnv env;
  Database db;
  ScriptedPrompt prompt;

 private:
  std::string stored_data_, stored_index_;
};

}  // namespace zenfaro::testing
