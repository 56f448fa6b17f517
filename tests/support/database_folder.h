#pragma once
// A database folder for tests: a fresh working folder in the standalone or
// the host layout, its database written from records, opened through a
// FaultyEnv (so that any file operation can fail), and what the next start
// of the program finds there after a change that failed or was cut short.
#include <string>
#include <string_view>
#include <vector>

#include "core/database.h"
#include "tests/support/faulty_env.h"
#include "tests/support/scripted_prompt.h"
#include "tests/support/temp_folder.h"

namespace zenfaro::testing {

Record make_record(EntryList triggers, EntryList exclusions, EntryList lines);
// A record as commdb.dat and exchange files hold it: per list a count line
// in canonical form and its entry lines.
std::string stored(const Record& record);
// The records one after another, and the index of their starts.
std::string stored(const std::vector<Record>& records);
std::string index_of(const std::vector<Record>& records);

class DatabaseFolder {
 public:
  explicit DatabaseFolder(bool host = false);

  const Layout& layout() const { return db.layout; }
  // A file of the working folder, and one of the database folder.
  std::filesystem::path work(std::string_view name) const { return layout().work_file(name); }
  std::filesystem::path base(std::string_view name) const { return layout().database_file(name); }
  std::string data() const { return read_bytes(layout().data_file()); }
  std::string index() const { return read_bytes(layout().index_file()); }

  // Empties the folder, writes commdb.dat and commdb.idx (canonical, with a
  // matching index) and opens them.
  void store(const std::vector<Record>& records);
  // The same with the two files as given.
  void store_files(const std::string& data_bytes, const std::string& index_bytes);
  // Opens the database as it stands, through `env`.
  void reopen();
  // The stored records, read back through a fresh opening.
  std::vector<Record> records() const;

  enum class Outcome { old_database, new_database, broken };
  // What the next start finds: the database of the last store(), byte for
  // byte, or `expected` (with an index that matches its data file), or
  // anything else (or a journal still there).
  Outcome outcome(const std::vector<Record>& expected) const;

  TempFolder temp;
  FaultyEnv env;
  Database db;
  ScriptedPrompt prompt;

 private:
  std::string stored_data_;
  std::string stored_index_;
};

// An exchange file: the five header lines and the record count, then the
// records.
std::string exchange_header(long long records);
std::string exchange_of(const std::vector<Record>& records);

}  // namespace zenfaro::testing
