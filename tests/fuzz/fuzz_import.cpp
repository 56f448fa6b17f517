// Any bytes as an exchange file imported into a small database: the import must neither crash nor hang nor run
// out of memory; declined or refused, it leaves the database as it was; confirmed, it leaves a whole database
// whose index matches its data file. The first byte's lowest bit answers the confirmation; the rest is the file.
#include "core/check_database.h"
#include "exchange/import_commentary.h"
#include "tests/support/database_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zenfaro;
  using namespace zenfaro::testing;
  static DatabaseFolder folder;
  if (size < 1) return 0;
  folder.store({make_record({"goal"}, {}, {"What a strike", "In!"}), make_record({"a", "b"}, {}, {""}),
                make_record({"x"}, {}, {})});
  const std::string old_data = folder.data();
  write_bytes(folder.work("in.CMX"), std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  folder.prompt.answers = {(data[0] & 1) != 0};
  const ImportResult result = import_commentary(folder.db, folder.work("in.CMX").u8string(), folder.prompt).result;
  const bool completed = result == ImportResult::completed;
  if (completed &&
      ((data[0] & 1) == 0 || folder.db.record_count > kMaxRecords || !check_database(folder.db).findings.empty()))
    __builtin_trap();
  if (!completed && folder.data() != old_data) __builtin_trap();  // an import that did not complete changed it
  return 0;
}
