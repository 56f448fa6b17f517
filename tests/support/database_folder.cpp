#include "tests/support/database_folder.h"

#include "core/check_database.h"
#include "core/replace_files.h"

namespace zenfaro::testing {

DatabaseFolder::DatabaseFolder(bool host) {
  db.env = &env;
  db.layout = Layout{temp.path(), host};
  if (host) write_bytes(host_marker(temp.path()), "game");
  reopen();
}

void DatabaseFolder::store(const std::vector<Record>& records) {
  std::string data_bytes;
  std::string index_bytes;
  for (const Record& record : records) {
    const auto offset = static_cast<std::uint32_t>(data_bytes.size());
    for (int shift = 0; shift < 32; shift += 8) index_bytes += static_cast<char>((offset >> shift) & 0xFF);
    data_bytes += stored(record);
  }
  store_files(data_bytes, index_bytes);
}

void DatabaseFolder::store_files(const std::string& data_bytes, const std::string& index_bytes) {
  std::filesystem::remove_all(temp.path());
  std::filesystem::create_directories(layout().database_folder());
  if (layout().host) write_bytes(host_marker(temp.path()), "game");
  write_bytes(layout().data_file(), data_bytes);
  write_bytes(layout().index_file(), index_bytes);
  stored_data_ = data_bytes;
  stored_index_ = index_bytes;
  reopen();
}

void DatabaseFolder::reopen() { open_database(env, layout(), &db).ignore_error(); }

std::vector<Record> DatabaseFolder::records() const {
  Database fresh;
  open_database(default_env(), layout(), &fresh).ignore_error();
  std::vector<Record> result;
  for (std::int32_t n = 1; n <= fresh.record_count; ++n) result.push_back(read_record(fresh, n));
  return result;
}

DatabaseFolder::Outcome DatabaseFolder::outcome(const std::vector<Record>& expected) const {
  Database fresh;
  open_database(default_env(), layout(), &fresh).ignore_error();
  if (is_file(journal_file(layout())) || !check_database(fresh).matches) return Outcome::broken;
  if (data() == stored_data_ && index() == stored_index_) return Outcome::old_database;
  return records() == expected ? Outcome::new_database : Outcome::broken;
}

std::string exchange_header(long long records) {
  return line("[Version]") + line("Handler=ZENFARO.EXE") + line("ExportFileVersion=99") + line("") +
         line("[Exported Commentary]") + count(records);
}

std::string exchange_of(const std::vector<Record>& records) {
  std::string bytes = exchange_header(static_cast<long long>(records.size()));
  for (const Record& record : records) bytes += stored(record);
  return bytes;
}

}  // namespace zenfaro::testing
