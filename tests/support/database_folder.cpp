#include "tests/support/database_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

#include "core/check_database.h"
#include "core/replace_files.h"

namespace zenfaro::testing {

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = fs::temp_directory_path() / ("zenfaro-test-" + std::to_string(stamp) + "-" +
                                       std::to_string(std::random_device()()) + "-" + std::to_string(counter++));
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void write_bytes(const fs::path& path, std::string_view bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string index_bytes(std::initializer_list<std::int32_t> offsets) {
  std::string bytes;
  for (const std::int32_t offset : offsets)
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(static_cast<std::uint32_t>(offset) >> shift);
  return bytes;
}

Record make_record(EntryList triggers, EntryList exclusions, EntryList lines) {
  Record record;
  record.lists = {std::move(triggers), std::move(exclusions), std::move(lines)};
  return record;
}

std::string stored(const Record& record) {
  std::string bytes;
  for (const EntryList& list : record.lists) {
    bytes += count(static_cast<long long>(list.size()));
    for (const Entry& entry : list) bytes += line(entry);
  }
  return bytes;
}

std::string stored(const std::vector<Record>& records) {
  std::string bytes;
  for (const Record& record : records) bytes += stored(record);
  return bytes;
}

std::string index_of(const std::vector<Record>& records) {
  std::string bytes;
  std::int32_t offset = 0;
  for (const Record& record : records) {
    bytes += index_bytes({offset});
    offset += static_cast<std::int32_t>(stored(record).size());
  }
  return bytes;
}

std::string exchange_header(long long records) {
  return line("[Version]") + line("Handler=ZENFARO.EXE") + line("ExportFileVersion=99") + line("") +
         line("[Exported Commentary]") + count(records);
}

std::string exchange_of(const std::vector<Record>& records) {
  return exchange_header(static_cast<long long>(records.size())) + stored(records);
}

DatabaseFolder::DatabaseFolder(bool host) {
  db.env = &env;
  db.layout = Layout{temp.path(), host};
  if (host) write_bytes(host_marker(temp.path()), "game");
  reopen();
}

void DatabaseFolder::store_files(const std::string& data_bytes, const std::string& index_bytes) {
  fs::remove_all(temp.path());
  fs::create_directories(layout().database_folder());
  if (layout().host) write_bytes(host_marker(temp.path()), "game");
  write_bytes(layout().data_file(), stored_data_ = data_bytes);
  write_bytes(layout().index_file(), stored_index_ = index_bytes);
  reopen();
}

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

}  // namespace zenfaro::testing
