// Any record the editor can hold, saved and read back, is the same record,
// and the records around it are unchanged. The input is cut into entries at
// 0x00 bytes and into lists at 0x01 bytes; bytes an entry cannot hold (CR,
// 0x1A) are dropped and entries are cut to 4999 bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/check_database.h"
#include "core/write_record_set.h"
#include "tests/fuzz/fuzz_folder.h"

namespace {

zenfaro::Record record_from(const std::uint8_t* data, std::size_t size) {
  zenfaro::Record record;
  std::size_t list = 0;
  std::string entry;
  bool open_entry = false;
  auto finish_entry = [&] {
    if (open_entry) record.lists[list].push_back(entry.substr(0, zenfaro::kMaxEntryBytes));
    entry.clear();
    open_entry = false;
  };
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\0') {
      open_entry = true;
      finish_entry();
    } else if (c == '\x01') {
      finish_entry();
      list = (list + 1) % 3;
    } else if (c != '\r' && c != zenfaro::kEndOfData) {
      entry += c;
      open_entry = true;
    }
  }
  finish_entry();
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zenfaro;
  const Record record = record_from(data, size);
  if (record.empty()) return 0;
  fuzz::clear_folder();
  const Layout layout{fuzz::folder(), false};
  Database db;
  open_database(default_env(), layout, &db).ignore_error();
  Record before;
  before.list(ListKind::triggers) = {"before"};
  Record after;
  after.list(ListKind::lines) = {"after", ""};
  if (!write_record_set(db, 1, WriteMode::save, before).is_ok()) __builtin_trap();
  if (!write_record_set(db, 2, WriteMode::save, after).is_ok()) __builtin_trap();
  // Replace the second record, then append a copy.
  if (!write_record_set(db, 2, WriteMode::save, record).is_ok()) __builtin_trap();
  if (!write_record_set(db, 3, WriteMode::save, record).is_ok()) __builtin_trap();
  if (db.record_count != 3) __builtin_trap();
  if (read_record(db, 1) != before) __builtin_trap();
  if (read_record(db, 2) != record) __builtin_trap();
  if (read_record(db, 3) != record) __builtin_trap();
  if (!check_database(db).matches) __builtin_trap();
  return 0;
}
