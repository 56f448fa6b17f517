#pragma once
// What the tests share: a fresh folder, files as bytes, records in stored form, scripted answers, and a database
// folder in either layout, opened through a FaultyEnv, with what the next start finds there after a change.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/check_database.h"
#include "core/database.h"
#include "core/prompt.h"
#include "core/replace_files.h"
#include "tests/support/faulty_env.h"

namespace zenfaro::testing {

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() / ("zenfaro-test-" + std::to_string(stamp) + "-" +
                                         std::to_string(std::random_device()()) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }
  fs::path operator/(std::string_view name) const { return path_ / fs::path(name); }

 private:
  fs::path path_;
};

inline std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}
inline void write_bytes(const fs::path& path, std::string_view bytes) {  // creates the folders
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
inline bool is_file(const fs::path& path) { return fs::is_regular_file(path); }
inline std::string count(long long value) { return " " + std::to_string(value) + " \r\n"; }
inline std::string line(std::string_view text) { return std::string(text) + "\r\n"; }
inline std::string index_bytes(std::initializer_list<std::int32_t> offsets) {  // 4 bytes each, little-endian
  std::string bytes;
  for (const std::int32_t offset : offsets)
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(static_cast<std::uint32_t>(offset) >> shift);
  return bytes;
}

inline Record make_record(EntryList triggers, EntryList exclusions, EntryList lines) {
  Record record;
  record.lists = {std::move(triggers), std::move(exclusions), std::move(lines)};
  return record;
}
inline const Record kGoal = make_record({"goal", "shot"}, {}, {"What a strike"});  // the worked example, 42 bytes
inline std::vector<Record> numbered(int count) {  // record k holds the trigger "tk" and the commentary line "line k"
  std::vector<Record> records;
  for (int k = 1; k <= count; ++k)
    records.push_back(make_record({"t" + std::to_string(k)}, {}, {"line " + std::to_string(k)}));
  return records;
}
inline std::string stored(const Record& record) {  // as commdb.dat and exchange files hold it
  std::string bytes;
  for (const EntryList& list : record.lists) {
    bytes += count(static_cast<long long>(list.size()));
    for (const Entry& entry : list) bytes += line(entry);
  }
  return bytes;
}
inline std::string stored(const std::vector<Record>& records) {
  std::string bytes;
  for (const Record& record : records) bytes += stored(record);
  return bytes;
}
inline std::string index_of(const std::vector<Record>& records) {
  std::string bytes;
  std::int32_t offset = 0;
  for (const Record& record : records) {
    bytes += index_bytes({offset});
    offset += static_cast<std::int32_t>(stored(record).size());
  }
  return bytes;
}
inline std::string exchange_header(long long records) {  // the five header lines and the count
  return line("[Version]") + line("Handler=ZENFARO.EXE") + line("ExportFileVersion=99") + line("") +
         line("[Exported Commentary]") + count(records);
}
inline std::string exchange_of(const std::vector<Record>& records) {
  return exchange_header(static_cast<long long>(records.size())) + stored(records);
}

// Answers questions from a script (No when it runs out; a choice's last answer, the cancel) and keeps every
// question, message and file request.
class ScriptedPrompt final : public Prompt {
 public:
  std::deque<bool> answers;
  std::deque<std::size_t> choices;
  std::deque<std::optional<std::string>> files;  // the chosen files; a cancel when empty
  std::vector<Question> questions;
  std::vector<Message> messages;
  std::vector<FileRequest> file_requests;

  bool ask(const Question& question) override {
    questions.push_back(question);
    return next(answers, false);
  }
  std::size_t choose(const Question& question) override {
    questions.push_back(question);
    return next(choices, question.answers.size() - 1);
  }
  void tell(const Message& message) override { messages.push_back(message); }
  std::optional<std::string> choose_file(const FileRequest& request) override {
    file_requests.push_back(request);
    return next(files, std::optional<std::string>());
  }
  int errors() const {
    return static_cast<int>(
        std::count_if(messages.begin(), messages.end(), [](const Message& m) { return m.icon == Icon::error; }));
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
  explicit DatabaseFolder(bool host = false) {
    db.env = &env;
    db.layout = Layout{temp.path(), host};
    if (host) write_bytes(host_marker(temp.path()), "game");
    reopen();
  }

  const Layout& layout() const { return db.layout; }
  fs::path work(std::string_view name) const { return layout().work_file(name); }      // working folder
  fs::path base(std::string_view name) const { return layout().database_file(name); }  // database folder
  std::string data() const { return read_bytes(layout().data_file()); }
  std::string index() const { return read_bytes(layout().index_file()); }

  // Empties the folder, writes the database (canonical, or the two files as given) and opens it through `env`.
  void store(const std::vector<Record>& records) { store_files(stored(records), index_of(records)); }
  void store_files(const std::string& data_bytes, const std::string& index_bytes) {
    fs::remove_all(temp.path());
    fs::create_directories(layout().database_folder());
    if (layout().host) write_bytes(host_marker(temp.path()), "game");
    write_bytes(layout().data_file(), stored_data_ = data_bytes);
    write_bytes(layout().index_file(), stored_index_ = index_bytes);
    reopen();
  }
  void reopen() { open_database(env, layout(), &db).ignore_error(); }
  Database fresh() const {  // the database as another program opens it
    Database fresh;
    open_database(default_env(), layout(), &fresh).ignore_error();
    return fresh;
  }
  std::vector<Record> records() const {  // read back through a fresh opening
    const Database opened = fresh();
    std::vector<Record> result;
    for (std::int32_t n = 1; n <= opened.record_count; ++n) result.push_back(read_record(opened, n));
    return result;
  }

  enum class Outcome { old_database, new_database, broken };
  // What the next start finds: the last store() byte for byte, `expected` with a matching index, or else broken.
  Outcome outcome(const std::vector<Record>& expected) const {
    const Database opened = fresh();  // which finishes what a change cut short left
    if (is_file(journal_file(layout())) || !check_database(opened).findings.empty()) return Outcome::broken;
    if (data() == stored_data_ && index() == stored_index_) return Outcome::old_database;
    return records() == expected ? Outcome::new_database : Outcome::broken;
  }

  TempFolder temp;
  FaultyEnv env;
  Database db;
  ScriptedPrompt prompt;

 private:
  std::string stored_data_, stored_index_;
};

}  // namespace zenfaro::testing
