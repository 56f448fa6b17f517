// Any record the editor can hold is read back as saved, the records around it unchanged. Entries end at 0x00,
// lists at 0x01; bytes an entry cannot hold (CR, 0x1A) are dropped and entries cut to 4999 bytes.
#include "core/check_database.h"
#include "core/write_record_set.h"
#include "tests/support/database_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zenfaro;
  using namespace zenfaro::testing;
  static DatabaseFolder folder;
  Record record;
  std::size_t list = 0;
  std::string entry;
  bool open_entry = false;
  for (std::size_t i = 0; i <= size; ++i) {
    const char c = i < size ? static_cast<char>(data[i]) : '\x01';
    if ((c == '\0' || c == '\x01') && (open_entry || c == '\0')) {
      record.lists[list].push_back(entry.substr(0, kMaxEntryBytes));
      entry.clear();
      open_entry = false;
    } else if (c != '\r' && c != kEndOfData && c != '\x01') {
      entry += c;
      open_entry = true;
    }
    if (c == '\x01') list = (list + 1) % 3;
  }
  if (record.empty()) return 0;
  const Record before = make_record({"before"}, {}, {});
  const Record after = make_record({}, {}, {"after", ""});
  folder.store({before, after});
  if (!write_record_set(folder.db, 2, WriteMode::save, record).is_ok() ||  // replace the second record,
      !write_record_set(folder.db, 3, WriteMode::save, record).is_ok() ||  // then append a copy
      folder.records() != std::vector<Record>{before, record, record} || !check_database(folder.db).findings.empty())
    __builtin_trap();
  return 0;
}
